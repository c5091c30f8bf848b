// Holds when the first trigger holds and then the second (tested only after
// the first); owns both. Messages and registration are not passed on.
#pragma once

#include "controls/ControlTrigger.h"

class LogicalAnd : public ControlTrigger {
public:
    LogicalAnd(ControlTrigger* first, ControlTrigger* second) : first_(first), second_(second) {}
    ~LogicalAnd() override {
        delete first_;
        delete second_;
    }
    LogicalAnd(const LogicalAnd&) = delete;
    LogicalAnd& operator=(const LogicalAnd&) = delete;

    bool IsTriggered() override { return first_ && first_->IsTriggered() && second_ && second_->IsTriggered(); }
    ControlTrigger* Clone() const override {
        return new LogicalAnd(first_ ? first_->Clone() : nullptr, second_ ? second_->Clone() : nullptr);
    }
    // Takes over the trigger as first operand, deleting a previous one.
    void SetFirst(ControlTrigger* first) {
        if (first == first_) return;
        delete first_;
        first_ = first;
    }
    ControlTrigger* GetFirst() const { return first_; }
    ControlTrigger* GetSecond() const { return second_; }

private:
    ControlTrigger* first_;
    ControlTrigger* second_;
};

// A LogicalAnd whose second operand is a clone of trigger; the caller sets the
// first (SetFirst). The given trigger stays the caller's.
inline LogicalAnd* MakeLogicalAnd(const ControlTrigger& trigger) {
    return new LogicalAnd(nullptr, trigger.Clone());
}
