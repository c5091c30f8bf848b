// The engine-wide message hub: the queue of posted messages, drained by the
// Engine at the start of every frame, and the subscription table
// type -> argument -> subscriber id -> resolver (subscribers served in
// ascending id). Created first at start-up and destroyed last; messages still
// queued then are freed without delivery. Main thread only, no lock.
#pragma once
#include <cstddef>
#include <deque>
#include <map>
#include <string>

#include "core/Singleton.h"
#include "core/Types.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Resolvers.h"

class IComponent;
class ISystem;

class MessageHub : public Singleton<MessageHub> {
public:
    MessageHub();
    ~MessageHub();

    // Files subscriberId under (type, argument); an id already filed there
    // keeps its first resolver.
    void SubscribeResolver(u32 type, u32 argument, u32 subscriberId, MessageResolver resolver);
    // Erases that one entry; nothing when absent.
    void Unsubscribe(u32 type, u32 argument, u32 subscriberId);
    // Appends (type, argument) to the system's subscription list (duplicates
    // kept) and files the system under its type id with ResolveSystem.
    void Subscribe(ISystem* system, u32 type, u32 argument);
    bool IsSubscribed(u32 type, u32 argument, u32 subscriberId);

    // Appends a copy of the record to the queue; the queue owns its payload.
    void Post(const Message& message);
    // Delivers every queued message in FIFO order, including those posted
    // while the drain runs; returns when the queue is empty.
    void DispatchQueued();
    std::size_t QueuedCount() const { return queue_.size(); }

    // Delivers to the subscribers of (type, argument) in ascending id; a
    // subscriber that resolves to null is skipped. The caller frees the
    // payload. Handlers may subscribe and unsubscribe meanwhile: a subscriber
    // filed during the walk with a higher id than the current one is served
    // too, one erased before it is reached is not.
    void DeliverToSubscribers(Message* message);

    // Immediate, no payload, given addressing.
    static void Send(MessageResolver resolver, u32 target, u32 sender, u32 type, u32 argument);
    // Immediate to a component, type 48 argument 2, no payload.
    static void SendToComponent(u32 targetComponentId, u32 senderComponentId);
    // Immediate to a system, type 35 argument 5 (game over), no payload.
    static void SendToSystem(u32 systemTypeId, u32 senderComponentId);
    // To the subscribers of (type, 0) at once, sender = the component's id.
    static void Broadcast(const IComponent* component, u32 type);
    // To the subscribers of (type, argument) at once, no payload.
    static void BroadcastFrom(u32 sender, u32 argument, u32 type);

private:
    using SubscriberMap = std::map<u32, MessageResolver>;
    // The subscribers of (type, argument), or null when none were ever filed.
    SubscriberMap* FindSubscribers(u32 type, u32 argument);

    // Argument maps and subscriber maps are never erased, so pointers to
    // them stay valid while handlers change the table during a delivery.
    std::map<u32, std::map<u32, SubscriberMap>> table_;
    std::deque<Message> queue_;
};

// Immediate delivery of a filled record to its target (resolver(target)),
// then its deleter, in every case.
void SendNow(Message& message);
// Immediate delivery to the subscribers of the record's (type, argument),
// then its deleter.
void BroadcastNow(Message& message);
// Queues the record (delivered in the next drain, or in the running one);
// without a hub the payload is freed at once.
void PostLater(const Message& message);

inline Message MakeMessage(MessageResolver resolver, u32 target, u32 sender, u32 type, u32 argument) {
    Message message;
    message.resolver = resolver;
    message.target = target;
    message.sender = sender;
    message.type = type;
    message.argument = argument;
    return message;
}

// A record carrying a heap copy of value with the matching deleter.
template <class T>
Message MakeMessage(MessageResolver resolver, u32 target, u32 sender, u32 type, u32 argument, const T& value) {
    Message message = MakeMessage(resolver, target, sender, type, argument);
    message.payload = MakePayload(value);
    message.deleter = message.payload ? PayloadDeleterFor<T>() : &DeleteNoPayload;
    return message;
}

// Immediate, payload copy, given resolver and target.
template <class T>
void SendMessage(MessageResolver resolver, u32 target, u32 sender, u32 type, u32 argument, const T& value) {
    Message message = MakeMessage(resolver, target, sender, type, argument, value);
    SendNow(message);
}

// Immediate to a component, type 48.
template <class T>
void SendToComponent(u32 targetComponentId, u32 senderComponentId, u32 argument, const T& value) {
    SendMessage(&ResolveComponent, targetComponentId, senderComponentId, kMsgTypeComponentCommand, argument, value);
}

// Immediate to a system by its type id.
template <class T>
void SendToSystem(u32 systemTypeId, u32 sender, u32 type, u32 argument, const T& value) {
    SendMessage(&ResolveSystem, systemTypeId, sender, type, argument, value);
}

// Immediate to a system, type 34 argument 0: the payload is a heap copy of
// the full pointer, a void* (the receiver reads Message::PointerPayload()).
void SendPointerToSystem(u32 systemTypeId, u32 sender, void* pointer);
// Immediate to a system, type 32 argument 28 (camera name), std::string payload.
void SendStringToSystem(u32 systemTypeId, u32 sender, const std::string& text);
// To the subscribers of (35, 0) at once, u32 payload.
void BroadcastTriggerCode(u32 sender, u32 code);

// To the subscribers of (type, argument) at once, payload copy.
template <class T>
void Broadcast(u32 sender, u32 type, u32 argument, const T& value) {
    Message message = MakeMessage(nullptr, 0, sender, type, argument, value);
    BroadcastNow(message);
}

// Queued to the subscribers of (type, argument), payload copy.
template <class T>
void PostMessage(u32 sender, u32 type, u32 argument, const T& value) {
    PostLater(MakeMessage(nullptr, 0, sender, type, argument, value));
}

// Queued to a system by its type id, payload copy.
template <class T>
void PostToSystem(u32 systemTypeId, u32 sender, u32 type, u32 argument, const T& value) {
    PostLater(MakeMessage(&ResolveSystem, systemTypeId, sender, type, argument, value));
}
