// Delivers at once, to the subscribers of (type, argument), a message with
// the action's sender, no target and a heap copy of the payload, freed after
// delivery. One template for every payload type the controls send (u32,
// float, vectors, rays, sound events...). Owned by its Control.
#pragma once

#include <type_traits>

#include "controls/ControlAction.h"
#include "core/Types.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "platform/SoundEventData.h"
#include "port/math/D3DXVector.h"

// The fixed (type, argument) of a payload type whose actions always send the
// same message (MessageAction(sender, payload)).
template <class T>
struct MessageActionKind;

// A sound event is always the AudioSystem's play-sound event (1, 17).
template <>
struct MessageActionKind<SoundEventData> {
    static constexpr u32 type = kMsgPlaySound.type;
    static constexpr u32 argument = kMsgPlaySound.argument;
};

template <class T>
class MessageAction : public ControlAction {
public:
    MessageAction(u32 sender, u32 type, u32 argument, const T& payload)
        : sender_(sender), type_(type), argument_(argument), payload_(payload) {}
    // For payload types with a MessageActionKind.
    MessageAction(u32 sender, const T& payload)
        : MessageAction(sender, MessageActionKind<T>::type, MessageActionKind<T>::argument, payload) {}

    bool Execute() override {
        ::Broadcast(sender_, type_, argument_, payload_);
        return true;
    }
    ControlAction* Clone() const override { return new MessageAction(*this); }
    virtual void SetType(u32 type) { type_ = type; }
    virtual void SetArgument(u32 argument) { argument_ = argument; }
    virtual void SetPayload(const T& payload) { payload_ = payload; }
    // The two floats of a D3DXVECTOR2 payload (a window size, a point).
    void SetPayload(float x, float y) requires std::is_same_v<T, D3DXVECTOR2> { payload_ = D3DXVECTOR2(x, y); }
    virtual void SetSender(u32 sender) { sender_ = sender; }

    u32 GetSender() const { return sender_; }
    u32 GetType() const { return type_; }
    u32 GetArgument() const { return argument_; }
    const T& GetPayload() const { return payload_; }

private:
    u32 sender_;
    u32 type_;
    u32 argument_;
    T payload_;
};
