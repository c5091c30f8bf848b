// Delivers at once, to the subscribers of (type, argument), a message with
// the action's sender, no target and a heap copy of the payload, freed after
// delivery. One template for every payload type the controls send (u32,
// float, vectors, rays, sound events...). Owned by its Control.
#pragma once

#include "controls/ControlAction.h"
#include "engine/MessageHub.h"
#include "engine/Types.h"

// The fixed (type, argument) of a payload type whose actions always send the
// same message; the header that defines such a type specialises it, e.g.
// template <> struct MessageActionKind<SoundEventData> { static constexpr u32
// type = 1, argument = 17; }; (the play-sound event).
template <class T>
struct MessageActionKind;

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
