// Delivers at once, to the subscribers of its kind, a message with the
// action's sender, no target and a heap copy of the payload, freed after
// delivery. One template for every payload type the controls send (u32,
// float, vectors, rays, sound events...; NoPayload sends none); the kind's type and argument may be
// changed after construction, its payload type may not. Owned by its Control.
#pragma once

#include <type_traits>

#include "controls/ControlAction.h"
#include "core/Types.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "platform/SoundEventData.h"
#include "port/math/D3DXVector.h"

// The kind of a payload type whose actions always send the same message
// (MessageAction(sender, payload)).
template <class T>
struct MessageActionKind;

// A sound event is always the AudioSystem's kMsgPlaySound.
template <>
struct MessageActionKind<SoundEventData> {
    static constexpr Kind<SoundEventData> kind = kMsgPlaySound;
};

template <class T>
class MessageAction : public ControlAction {
public:
    MessageAction(u32 sender, const Kind<T>& kind, const T& payload)
        : sender_(sender), kind_(kind), payload_(payload) {}
    // For payload types with a MessageActionKind.
    MessageAction(u32 sender, const T& payload) : MessageAction(sender, MessageActionKind<T>::kind, payload) {}

    bool Execute() override {
        if constexpr (std::is_same_v<T, NoPayload>)
            ::Broadcast(kind_, sender_);
        else
            ::Broadcast(kind_, sender_, payload_);
        return true;
    }
    ControlAction* Clone() const override { return new MessageAction(*this); }
    virtual void SetType(u32 type) { kind_.type = type; }
    virtual void SetArgument(u32 argument) { kind_.argument = argument; }
    virtual void SetPayload(const T& payload) { payload_ = payload; }
    // The two floats of a D3DXVECTOR2 payload (a window size, a point).
    void SetPayload(float x, float y) requires std::is_same_v<T, D3DXVECTOR2> { payload_ = D3DXVECTOR2(x, y); }
    virtual void SetSender(u32 sender) { sender_ = sender; }

    u32 GetSender() const { return sender_; }
    u32 GetType() const { return kind_.type; }
    u32 GetArgument() const { return kind_.argument; }
    const T& GetPayload() const { return payload_; }

private:
    u32 sender_;
    Kind<T> kind_;
    T payload_;
};
