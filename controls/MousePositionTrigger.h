// Holds while the mouse lies in a rectangle given relative to the centre of
// the GuiSystem's screen rectangle (y down): left + W/2 <= x < right + W/2 and
// top + H/2 <= y < bottom + H/2. The GuiSystem is looked up once, at
// construction; without one the screen counts as empty. Owned by its Control.
#pragma once

#include "controls/ControlTrigger.h"
#include "core/Types.h"

class GuiSystem;

class MousePositionTrigger : public ControlTrigger {
public:
    MousePositionTrigger(float left, float top, float right, float bottom);
    bool IsTriggered() override;
    ControlTrigger* Clone() const override { return new MousePositionTrigger(*this); }
    virtual void SetRect(float left, float top, float right, float bottom);
    // The same four values from their 32-bit patterns, copied unchanged.
    virtual void SetRectBits(u32 left, u32 top, u32 right, u32 bottom);

    float GetLeft() const { return left_; }
    float GetTop() const { return top_; }
    float GetRight() const { return right_; }
    float GetBottom() const { return bottom_; }

private:
    float left_;
    float top_;
    float right_;
    float bottom_;
    GuiSystem* gui_;
};
