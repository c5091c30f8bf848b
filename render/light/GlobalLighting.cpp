#include "render/light/GlobalLighting.h"

void GlobalLighting::Reflect(MemberList<GlobalLighting>& members) {
    members.Add("DirectionalLightingDirection", &GlobalLighting::directionalLightingDirection);
    members.Add("DirectionalLightColor", &GlobalLighting::directionalLightColor);
    members.Add("DirectionalLightIntensity", &GlobalLighting::directionalLightIntensity);
    members.Add("AmbientIntensity", &GlobalLighting::ambientIntensity);
}
