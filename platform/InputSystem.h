// Keyboard and mouse state of the current frame: keys held, keys pressed and
// released in this frame (Windows virtual-key codes), the mouse position and
// three button records. Written by the WindowsSystem's pump at the start of
// a frame, read by controls and systems during it, edges cleared by its own
// Update at the end (it is updated last). Engine system and singleton,
// created first at start-up. Main thread only.
#pragma once

#include <set>

#include "core/Singleton.h"
#include "core/Types.h"
#include "engine/ISystem.h"

struct MouseButtonRecord {
    bool down = false;
    bool dragged = false;  // a mouse move arrived while this button alone was held
    i32 x = 0;             // where the button went down
    i32 y = 0;
};

class InputSystem : public ISystem, public Singleton<InputSystem> {
public:
    static constexpr u32 kButtonCount = 3;  // 0 left, 1 right, 2 third

    InputSystem();
    ~InputSystem() override;

    using Singleton<InputSystem>::Instance;

    // kMsgWindowCreated: keeps the window handle of the announcement.
    void HandleMessage(Message* message) override;
    // Clears the per-frame edges and moves the button records to "previous".
    void Update(float dt) override;

    // Written by the window pump.
    void KeyPressed(u32 vk);
    void KeyReleased(u32 vk);
    // buttonFlags: MK_* style; exactly 1 (left alone) or 2 (right alone) marks that button dragged.
    void MouseMoved(i32 x, i32 y, u32 buttonFlags);
    void ButtonDown(u32 button, i32 x, i32 y);
    void ButtonUp(u32 button);

    // Shift (16, 160, 161) is read from the physical key state at the call;
    // every other key from the held set.
    bool IsKeyDown(u32 vk) const;
    bool IsKeyUp(u32 vk) const { return !IsKeyDown(vk); }
    // Membership of the held set alone (no physical Shift query).
    bool HoldsKey(u32 vk) const { return held_.count(vk) != 0; }
    bool WasKeyPressed(u32 vk) const { return pressed_.count(vk) != 0; }
    bool WasKeyReleased(u32 vk) const { return released_.count(vk) != 0; }
    // Ctrl (17) in the held set.
    bool IsCtrlHeld() const { return held_.count(0x11) != 0; }
    // Pressed in this frame while Ctrl was held: a quick Ctrl+key whose Ctrl
    // is let go before the frame is read still counts as one.
    bool WasKeyPressedWithCtrl(u32 vk) const { return pressedWithCtrl_.count(vk) != 0; }
    bool IsButtonDown(u32 button) const { return button < kButtonCount && current_[button].down; }
    bool IsButtonDragged(u32 button) const { return button < kButtonCount && current_[button].dragged; }
    // Down at the end of the previous frame, up now.
    bool MouseButtonReleased(u32 button) const {
        return button < kButtonCount && previous_[button].down && !current_[button].down;
    }

    i32 MouseX() const { return mouseX_; }
    i32 MouseY() const { return mouseY_; }
    i32 PreviousMouseX() const { return previousMouseX_; }
    i32 PreviousMouseY() const { return previousMouseY_; }
    // The record of a button (a cleared one for an index of 3 or more).
    const MouseButtonRecord& Button(u32 button) const;
    const MouseButtonRecord& PreviousButton(u32 button) const;
    u64 GetWindowHandle() const { return windowHandle_; }

private:
    std::set<u32> held_;
    std::set<u32> released_;
    std::set<u32> pressed_;
    std::set<u32> pressedWithCtrl_;  // the presses of pressed_ made while Ctrl was held
    i32 previousMouseX_ = 0;
    i32 previousMouseY_ = 0;
    i32 mouseX_ = 0;
    i32 mouseY_ = 0;
    MouseButtonRecord previous_[kButtonCount];
    MouseButtonRecord current_[kButtonCount];
    u64 windowHandle_ = 0;
};
