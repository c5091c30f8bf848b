// Holds when its inner trigger does not; owns the inner trigger and passes
// messages and registration on to it.
#pragma once

#include "controls/ControlTrigger.h"

class InvertTriggerLogic : public ControlTrigger {
public:
    explicit InvertTriggerLogic(ControlTrigger* inner) : inner_(inner) {}
    ~InvertTriggerLogic() override { delete inner_; }
    InvertTriggerLogic(const InvertTriggerLogic&) = delete;
    InvertTriggerLogic& operator=(const InvertTriggerLogic&) = delete;

    // A missing inner trigger counts as never holding.
    bool IsTriggered() override { return !(inner_ && inner_->IsTriggered()); }
    ControlTrigger* Clone() const override { return new InvertTriggerLogic(inner_ ? inner_->Clone() : nullptr); }
    void HandleMessage(Message* message) override {
        if (inner_) inner_->HandleMessage(message);
    }
    void Register(Control* control) override {
        if (inner_) inner_->Register(control);
    }

private:
    ControlTrigger* inner_;
};
