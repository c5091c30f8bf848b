// One message record: payload, its deleter, sender, target, argument, resolver
// and type. Records are plain values (the hub's queue copies them); the payload
// is a heap block owned by the message and freed by its deleter exactly once,
// after delivery, whether or not anybody received it. Main thread only.
#pragma once
#include <new>
#include <string>
#include <type_traits>

#include "core/Types.h"

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
    u32 sender = 0;                             // 0: anonymous
    u32 target = 0;                             // 0: the subscribers of (type, argument)
    u32 argument = 0;
    MessageResolver resolver = nullptr;  // null in subscriber messages
    u32 type = 0;

    template <class T>
    const T* PayloadAs() const {
        return static_cast<const T*>(payload);
    }
    // The pointer carried by a pointer payload (SendPointerToSystem), or null.
    void* PointerPayload() const { return payload ? *static_cast<void* const*>(payload) : nullptr; }
    // Runs the deleter once and forgets the payload.
    void FreePayload() {
        if (deleter) deleter(payload);
        payload = nullptr;
        deleter = &DeleteNoPayload;
    }
};
