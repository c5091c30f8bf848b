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
    if (table_[type][argument].emplace(subscriberId, Subscription{resolver, ++filings_}).second)
        bySubscriber_[subscriberId].emplace_back(type, argument);
}

MessageHub::SubscriberMap* MessageHub::FindSubscribers(u32 type, u32 argument) {
    auto byType = table_.find(type);
    if (byType == table_.end()) return nullptr;
    auto byArgument = byType->second.find(argument);
    return byArgument == byType->second.end() ? nullptr : &byArgument->second;
}

void MessageHub::Unsubscribe(u32 type, u32 argument, u32 subscriberId) {
    SubscriberMap* subscribers = FindSubscribers(type, argument);
    if (!subscribers || subscribers->erase(subscriberId) == 0) return;
    auto filed = bySubscriber_.find(subscriberId);
    if (filed == bySubscriber_.end()) return;
    std::vector<std::pair<u32, u32>>& pairs = filed->second;
    for (auto it = pairs.begin(); it != pairs.end(); ++it) {
        if (it->first == type && it->second == argument) {
            *it = pairs.back();
            pairs.pop_back();
            break;
        }
    }
    if (pairs.empty()) bySubscriber_.erase(filed);
}

void MessageHub::UnsubscribeAll(u32 subscriberId) {
    auto filed = bySubscriber_.find(subscriberId);
    if (filed == bySubscriber_.end()) return;
    const std::vector<std::pair<u32, u32>> pairs = std::move(filed->second);
    bySubscriber_.erase(filed);
    for (const auto& [type, argument] : pairs)
        if (SubscriberMap* subscribers = FindSubscribers(type, argument)) subscribers->erase(subscriberId);
}

std::vector<std::pair<u32, u32>> MessageHub::GetSubscriptionsOf(u32 subscriberId) const {
    auto filed = bySubscriber_.find(subscriberId);
    return filed == bySubscriber_.end() ? std::vector<std::pair<u32, u32>>{} : filed->second;
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
    // Those filed after this point wait for the next message.
    const u64 filedBefore = filings_;
    // Re-seek after every call: the handler may have changed this very map.
    for (auto it = subscribers->begin(); it != subscribers->end();) {
        const u32 id = it->first;
        const Subscription& subscription = it->second;
        IMessaging* receiver = nullptr;
        if (subscription.filed <= filedBefore && subscription.resolver) receiver = subscription.resolver(id);
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
