// The interface of every message receiver: engine systems, components, game
// objects and controls. A receiver may read the message's payload only during
// the call; the payload belongs to the message. Main thread only.
#pragma once

struct Message;

class IMessaging {
public:
    virtual ~IMessaging() = default;
    virtual void HandleMessage(Message* message) = 0;
};
