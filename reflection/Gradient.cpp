#include "reflection/Gradient.h"

void Gradient::Reflect() {
    ReflectOnce<Gradient>();
}

void Gradient::Reflect(MemberList<Gradient>& members) {
    members.Add("StartVal", &Gradient::StartVal);
    members.Add("EndVal", &Gradient::EndVal);
}
