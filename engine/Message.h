// One message record: payload, its deleter, sender, target, argument, resolver
// and type. Records are plain values (the hub's queue copies them); the payload
// is a heap block owned by the message and freed by its deleter exactly once,
// after delivery, whether or not anybody received it. Main thread only.
#pragma once
#include <new>
#include <string>
#include <type_traits>

#include "core/Types.h"
#include "engine/MessageKind.h"

class IMessaging;

// Turns a target or subscriber id into its receiver; null when nothing lives
// under the id (any more).
using MessageResolver = IMessaging* (*)(u32 id);
using PayloadDeleter = void (*)(void* payload);

// Frees a plain block made by MakePayload of a trivially destructible type.
void DeletePayload(void* payload);
// Destroys the std::string payload and frees its block.
void DeleteStringPayload(void* payload);
// The deleter of messages without payload.
void DeleteNoPayload(void* payload);

template <class T>
void DeleteTypedPayload(void* payload) {
    delete static_cast<T*>(payload);
}

// A heap copy of value, or null when the allocation fails (the message then
// goes out without payload).
template <class T>
void* MakePayload(const T& value) {
    if constexpr (std::is_trivially_destructible_v<T>) {
        void* block = ::operator new(sizeof(T), std::nothrow);
        return block ? new (block) T(value) : nullptr;
    } else {
        return new (std::nothrow) T(value);
    }
}

// The deleter that matches MakePayload<T>.
template <class T>
PayloadDeleter PayloadDeleterFor() {
    if constexpr (std::is_trivially_destructible_v<T>) {
        return &DeletePayload;
    } else if constexpr (std::is_same_v<T, std::string>) {
        return &DeleteStringPayload;
    } else {
        return &DeleteTypedPayload<T>;
    }
}

struct Message {
    void* payload = nullptr;                    // null: no payload
    PayloadDeleter deleter = &DeleteNoPayload;  // never null
    u32 payloadSize = 0;                        // bytes of the payload's type; 0 without payload
    u32 sender = 0;                             // 0: anonymous
    u32 target = 0;                             // 0: the subscribers of (type, argument)
    u32 argument = 0;
    MessageResolver resolver = nullptr;  // null in subscriber messages
    u32 type = 0;

    template <class P>
    bool Is(const Kind<P>& kind) const {
        return type == kind.type && argument == kind.argument;
    }
    // The payload as the kind's type, or null unless the message is of that
    // kind and carries a payload of that type's size.
    template <class P>
    const P* Read(const Kind<P>& kind) const {
        static_assert(!std::is_same_v<P, NoPayload>, "a kind without payload has nothing to read");
        if (!payload || !Is(kind) || payloadSize != sizeof(P)) return nullptr;
        return static_cast<const P*>(payload);
    }
    // Runs the deleter once and forgets the payload.
    void FreePayload() {
        if (deleter) deleter(payload);
        payload = nullptr;
        deleter = &DeleteNoPayload;
        payloadSize = 0;
    }
};
