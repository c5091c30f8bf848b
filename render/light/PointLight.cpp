#include "render/light/PointLight.h"

void PointLight::Reflect(MemberList<PointLight>& members) {
    members.Add("mRange", &PointLight::mRange);
    members.Add("mDiffuse", &PointLight::mDiffuse);
}
