#include "engine/MessageHub.h"

#include "engine/IMessaging.h"
#include "engine/ISystem.h"

MessageHub::MessageHub() = default;

MessageHub::~MessageHub() {
    // Never delivered at shutdown, but every payload is freed once.
    while (!queue_.empty()) {
        Message message = queue_.front();
        queue_.pop_front();
        message.FreePayload();
    }
}

void MessageHub::SubscribeResolver(u32 type, u32 argument, u32 subscriberId, MessageResolver resolver) {
    table_[type][argument].emplace(subscriberId, resolver);
}

MessageHub::SubscriberMap* MessageHub::FindSubscribers(u32 type, u32 argument) {
    auto byType = table_.find(type);
    if (byType == table_.end()) return nullptr;
    auto byArgument = byType->second.find(argument);
    return byArgument == byType->second.end() ? nullptr : &byArgument->second;
}

void MessageHub::Unsubscribe(u32 type, u32 argument, u32 subscriberId) {
    if (SubscriberMap* subscribers = FindSubscribers(type, argument)) subscribers->erase(subscriberId);
}

void MessageHub::Subscribe(ISystem* system, u32 type, u32 argument) {
    if (!system) return;
    system->subscriptions_.emplace_back(type, argument);
    SubscribeResolver(type, argument, system->GetTypeId(), &ResolveSystem);
}

bool MessageHub::IsSubscribed(u32 type, u32 argument, u32 subscriberId) {
    const SubscriberMap* subscribers = FindSubscribers(type, argument);
    return subscribers && subscribers->count(subscriberId) != 0;
}

void MessageHub::Post(const Message& message) {
    queue_.push_back(message);
}

void MessageHub::DispatchQueued() {
    while (!queue_.empty()) {
        Message message = queue_.front();
        queue_.pop_front();
        if (message.target != 0) {
            IMessaging* receiver = message.resolver ? message.resolver(message.target) : nullptr;
            if (receiver) receiver->HandleMessage(&message);
        } else {
            DeliverToSubscribers(&message);
        }
        message.FreePayload();
    }
}

void MessageHub::DeliverToSubscribers(Message* message) {
    const SubscriberMap* subscribers = FindSubscribers(message->type, message->argument);
    if (!subscribers) return;
    // Re-seek after every call: the handler may have changed this very map.
    for (auto it = subscribers->begin(); it != subscribers->end();) {
        const u32 id = it->first;
        IMessaging* receiver = it->second ? it->second(id) : nullptr;
        if (receiver) receiver->HandleMessage(message);
        it = subscribers->upper_bound(id);
    }
}

void SendNow(Message& message) {
    IMessaging* receiver = (message.resolver && message.target != 0) ? message.resolver(message.target) : nullptr;
    if (receiver) receiver->HandleMessage(&message);
    message.FreePayload();
}

void BroadcastNow(Message& message) {
    if (MessageHub* hub = MessageHub::Instance()) hub->DeliverToSubscribers(&message);
    message.FreePayload();
}

void PostLater(const Message& message) {
    if (MessageHub* hub = MessageHub::Instance()) {
        hub->Post(message);
        return;
    }
    Message dropped = message;
    dropped.FreePayload();
}
