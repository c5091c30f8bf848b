// Delivers at once, to the subscribers of (type, argument), a message with
// the action's sender, no target and a heap copy of the payload, freed after
// delivery. One template for every payload type the controls send (u32,
// float, vectors, rays, sound events...). Owned by its Control.
#pragma once

#include "controls/ControlAction.h"
#include "engine/MessageHub.h"
#include "engine/Types.h"

template <class T>
class MessageAction : public ControlAction {
public:
    MessageAction(u32 sender, u32 type, u32 argument, const T& payload)
        : sender_(sender), type_(type), argument_(argument), payload_(payload) {}

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
