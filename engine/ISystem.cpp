#include "engine/ISystem.h"

ISystem::ISystem(u32 typeId) : typeId_(typeId) {}

ISystem::~ISystem() = default;

void ISystem::HandleMessage(Message*) {}

void ISystem::Update(float) {}

void ISystem::Init() {}

void ISystem::Clear() {}

void ISystem::Activate() {}

void ISystem::Deactivate() {}

void ISystem::SetPaused(bool paused) {
    paused_ = paused;
}

void ISystem::AddSystem(ISystem* child) {
    if (!child) return;
    ++childCount_;
    child->next_ = childHead_;
    if (childHead_) childHead_->previous_ = child;
    childHead_ = child;
    child->previous_ = nullptr;
    child->parent_ = this;
}

void ISystem::RemoveSystem(ISystem* child) {
    if (!DetachNode(this, child)) return;
    child->parent_ = nullptr;
    delete child;
}

bool ISystem::DetachNode(ISystem* list, ISystem* node) {
    if (!list || !node) return false;
    bool member = false;
    for (ISystem* it = list->childHead_; it; it = it->next_) {
        if (it == node) {
            member = true;
            break;
        }
    }
    if (!member) return false;
    if (list->childCount_ != 0) {
        --list->childCount_;
        if (list->childHead_ == node) list->childHead_ = node->next_;
        if (node->previous_) node->previous_->next_ = node->next_;
        if (node->next_) node->next_->previous_ = node->previous_;
    } else {
        list->childHead_ = nullptr;
    }
    node->next_ = nullptr;
    node->previous_ = nullptr;
    return true;
}

void ISystem::Subscribe(u32 type, u32 argument) {
    if (MessageHub* hub = MessageHub::Instance()) hub->Subscribe(this, type, argument);
}

void ISystem::UnsubscribeAll() {
    MessageHub* hub = MessageHub::Instance();
    if (!hub) return;
    for (const auto& [type, argument] : subscriptions_) hub->Unsubscribe(type, argument, typeId_);
}

void ISystem::SubscribeAll() {
    MessageHub* hub = MessageHub::Instance();
    if (!hub) return;
    for (const auto& [type, argument] : subscriptions_) hub->SubscribeResolver(type, argument, typeId_, &ResolveSystem);
}

void ISystem::HandOverControl(void* control, u32 controlId) {
    SendToSystem(kMsgAddControl, TypeId<GuiSystem>::Get(), typeId_, control);
    controlIds_.push_back(controlId);
}

void ISystem::RemoveControls() {
    const u32 gui = TypeId<GuiSystem>::Get();
    for (u32 id : controlIds_) PostToSystem(kMsgRemoveControl, gui, typeId_, id);
}
