#include "render/PointLight.h"

#include "core/TypeId.h"
#include "reflection/MetaMemVar.h"

PointLight::PointLight() : IComponent(TypeId<PointLight>::Get()) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    using M = MetaMemVar<PointLight>;
    M::Add("mRange", this, mRange);
    M::Add("mDiffuse", this, mDiffuse);
}

PointLight::PointLight(const PointLight& other)
    : IComponent(other.GetTypeId()), mDiffuse(other.mDiffuse), mRange(other.mRange) {}

IComponent* PointLight::Clone() {
    return new PointLight(*this);
}
