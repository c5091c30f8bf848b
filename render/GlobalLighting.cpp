#include "render/GlobalLighting.h"

#include "core/TypeId.h"
#include "reflection/MetaMemVar.h"

GlobalLighting::GlobalLighting() : IComponent(TypeId<GlobalLighting>::Get()) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    using M = MetaMemVar<GlobalLighting>;
    M::Add("DirectionalLightingDirection", this, directionalLightingDirection);
    M::Add("DirectionalLightColor", this, directionalLightColor);
    M::Add("DirectionalLightIntensity", this, directionalLightIntensity);
    M::Add("AmbientIntensity", this, ambientIntensity);
}

GlobalLighting::GlobalLighting(const GlobalLighting& other)
    : IComponent(other.GetTypeId()),
      directionalLightingDirection(other.directionalLightingDirection),
      directionalLightColor(other.directionalLightColor),
      directionalLightIntensity(other.directionalLightIntensity),
      ambientIntensity(other.ambientIntensity) {}

IComponent* GlobalLighting::Clone() {
    return new GlobalLighting(*this);
}
