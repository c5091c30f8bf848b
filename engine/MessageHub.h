// The engine-wide message hub: the queue of posted messages, drained by the
// Engine at the start of every frame, and the subscription table
// type -> argument -> subscriber id -> resolver (subscribers served in
// ascending id), with an index subscriber id -> its pairs so that everything
// a dying component filed can be taken out at once. Created first at start-up and destroyed last; messages still
// queued then are freed without delivery. Main thread only, no lock.
#pragma once
#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/Singleton.h"
#include "core/Types.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Resolvers.h"

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
    // Erases every entry filed under subscriberId (a component that is
    // unregistered); a delivery running meanwhile skips it from then on.
    void UnsubscribeAll(u32 subscriberId);
    // The (type, argument) pairs filed under subscriberId.
    std::vector<std::pair<u32, u32>> GetSubscriptionsOf(u32 subscriberId) const;
    // Appends (type, argument) to the system's subscription list (duplicates
    // kept) and files the system under its type id with ResolveSystem.
    void Subscribe(ISystem* system, u32 type, u32 argument);
    bool IsSubscribed(u32 type, u32 argument, u32 subscriberId);
    template <class P>
    bool IsSubscribed(const Kind<P>& kind, u32 subscriberId) {
        return IsSubscribed(kind.type, kind.argument, subscriberId);
    }

    // Appends a copy of the record to the queue; the queue owns its payload.
    void Post(const Message& message);
    // Delivers every queued message in FIFO order, including those posted
    // while the drain runs; returns when the queue is empty.
    void DispatchQueued();
    std::size_t QueuedCount() const { return queue_.size(); }

    // Delivers to the subscribers of (type, argument) in ascending id; a
    // subscriber that resolves to null is skipped. The caller frees the
    // payload. Handlers may subscribe and unsubscribe meanwhile: a subscriber
    // filed during the walk first hears the next message (so a handler that
    // makes subscribers of its own kind cannot keep a delivery going), one
    // erased before it is reached is not served.
    void DeliverToSubscribers(Message* message);

private:
    struct Subscription {
        MessageResolver resolver = nullptr;
        u64 filed = 0;  // the filing count when it was filed
    };
    using SubscriberMap = std::map<u32, Subscription>;
    // The subscribers of (type, argument), or null when none were ever filed.
    SubscriberMap* FindSubscribers(u32 type, u32 argument);

    // Argument maps and subscriber maps are never erased, so pointers to
    // them stay valid while handlers change the table during a delivery.
    std::map<u32, std::map<u32, SubscriberMap>> table_;
    // subscriber id -> the pairs it is filed under (each once).
    std::unordered_map<u32, std::vector<std::pair<u32, u32>>> bySubscriber_;
    std::deque<Message> queue_;
    u64 filings_ = 0;  // subscriptions filed so far
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

// ---- Typed senders. Each takes the kind first, then the receiver (where
// there is one), the sender's id and the payload, which must be of the kind's
// type (PayloadOf): a wrong type does not compile. Leaving the payload out is
// allowed for every kind; the receivers' Read then gives null. "At once"
// delivers before returning (nested HandleMessage); "queued" delivers in the
// hub's next drain. Every payload is a heap copy freed after delivery.

// A record of the kind with a heap copy of the payload, if one is given. The
// caller delivers it (SendNow, BroadcastNow, PostLater) or frees its payload.
template <class P, class... V>
requires PayloadArguments<P, V...> Message MakeMessage(const Kind<P>& kind, MessageResolver resolver, u32 target,
                                                       u32 sender, const V&... payload) {
    Message message;
    message.resolver = resolver;
    message.target = target;
    message.sender = sender;
    message.type = kind.type;
    message.argument = kind.argument;
    if constexpr (sizeof...(V) == 1) {
        message.payload = MakePayload<P>(static_cast<const P&>(payload)...);
        if (message.payload) {
            message.deleter = PayloadDeleterFor<P>();
            message.payloadSize = sizeof(P);
        }
    }
    return message;
}

// To the subscribers of the kind, at once.
template <class P, class... V>
requires PayloadArguments<P, V...>
void Broadcast(const Kind<P>& kind, u32 sender, const V&... payload) {
    Message message = MakeMessage(kind, nullptr, 0, sender, payload...);
    BroadcastNow(message);
}

// To the subscribers of the kind, queued.
template <class P, class... V>
requires PayloadArguments<P, V...>
void Post(const Kind<P>& kind, u32 sender, const V&... payload) {
    PostLater(MakeMessage(kind, nullptr, 0, sender, payload...));
}

// To the engine system with this type id, at once.
template <class P, class... V>
requires PayloadArguments<P, V...>
void SendToSystem(const Kind<P>& kind, u32 systemTypeId, u32 sender, const V&... payload) {
    Message message = MakeMessage(kind, &ResolveSystem, systemTypeId, sender, payload...);
    SendNow(message);
}

// To the engine system with this type id, queued.
template <class P, class... V>
requires PayloadArguments<P, V...>
void PostToSystem(const Kind<P>& kind, u32 systemTypeId, u32 sender, const V&... payload) {
    PostLater(MakeMessage(kind, &ResolveSystem, systemTypeId, sender, payload...));
}

// To the component registered under this id, at once.
template <class P, class... V>
requires PayloadArguments<P, V...>
void SendToComponent(const Kind<P>& kind, u32 componentId, u32 sender, const V&... payload) {
    Message message = MakeMessage(kind, &ResolveComponent, componentId, sender, payload...);
    SendNow(message);
}

// To the game object registered under this id (which hands it to each of its
// components), at once.
template <class P, class... V>
requires PayloadArguments<P, V...>
void SendToObject(const Kind<P>& kind, u32 objectId, u32 sender, const V&... payload) {
    Message message = MakeMessage(kind, &ResolveGameObject, objectId, sender, payload...);
    SendNow(message);
}
