// A message kind: the (type, argument) pair that receivers are filed under,
// tagged with the C++ type of the payload its senders attach (NoPayload for
// none). Kinds are plain constants, named once in engine/MessageTypes.h; the
// tag only steers the compiler (the senders' payload parameter and
// Message::Read), nothing of it travels with the message.
#pragma once
#include <type_traits>

#include "core/Types.h"

struct NoPayload {};

template <class Payload>
struct Kind {
    using PayloadType = Payload;
    u32 type = 0;
    u32 argument = 0;
};

// What a sender may hand over as the payload of a Kind<Payload>: exactly that
// type (a float never slips into a u32 kind, nor an int into a bool one), or
// for pointer kinds any pointer that converts to it (a derived control's).
template <class Value, class Payload>
concept PayloadOf = !std::is_same_v<Payload, NoPayload> &&
                    (std::is_pointer_v<Payload> ? std::is_convertible_v<std::decay_t<Value>, Payload>
                                                : std::is_same_v<std::remove_cvref_t<Value>, Payload>);

// No payload, or one that fits the kind.
template <class Payload, class... Values>
concept PayloadArguments = sizeof...(Values) == 0 || (sizeof...(Values) == 1 && (PayloadOf<Values, Payload> && ...));
