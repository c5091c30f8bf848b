#include "engine/IComponent.h"

#include "core/IdCounter.h"
#include "engine/Overlord.h"

IComponent::IComponent(u32 typeId) : id_(NewId()), typeId_(typeId) {}

IComponent::IComponent(const IComponent& other) : IMessaging(other), id_(NewId()), typeId_(other.typeId_) {}

IComponent::~IComponent() {
    if (Overlord* overlord = Overlord::Instance()) overlord->ForgetComponent(this);
    // A component deleted without being unregistered (prototypes, tests)
    // leaves nothing filed either.
    Overlord::ForgetSubscriptions(id_);
    MemberBudget::GiveBack(memberBytes_);
}

void IComponent::HandleMessage(Message*) {}

void IComponent::Update(float) {}

void IComponent::Init() {}

void IComponent::Shutdown() {}

void IComponent::DebugDraw() {}

u32 IComponent::GetAliasTypeId() {
    return 0;
}

void IComponent::AddTweakBarVars(TwBar*, const TweakVarParams&) {}

void IComponent::AddTweakBarButtons(TwBar*) {}

void IComponent::OnEnable() {}

void IComponent::OnDisable() {}

void IComponent::OnOwnerParentChanged(u32, bool) {}

void IComponent::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled)
        OnEnable();
    else
        OnDisable();
}

void IComponent::SubscribeId(u32 type, u32 argument) const {
    if (MessageHub* hub = MessageHub::Instance()) hub->SubscribeResolver(type, argument, id_, &ResolveComponent);
}

void IComponent::UnsubscribeId(u32 type, u32 argument) const {
    if (MessageHub* hub = MessageHub::Instance()) hub->Unsubscribe(type, argument, id_);
}
