#include "platform/InputSystem.h"

#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "platform/WindowsSystem.h"
#include "port/window/AsyncKeyState.h"

namespace {
const MouseButtonRecord kNoButton{};
}

InputSystem::InputSystem() : ISystem(TypeId<InputSystem>::Get()) {
    SetName("InputSystem");
    Subscribe(kMsgWindowCreated);
}

InputSystem::~InputSystem() = default;

void InputSystem::HandleMessage(Message* message) {
    if (const WindowCreatedData* created = message ? message->Read(kMsgWindowCreated) : nullptr)
        windowHandle_ = created->window;
}

void InputSystem::Update(float) {
    released_.clear();
    pressed_.clear();
    pressedWithCtrl_.clear();
    for (u32 i = 0; i < kButtonCount; ++i) previous_[i] = current_[i];
}

void InputSystem::KeyPressed(u32 vk) {
    if (IsCtrlHeld()) pressedWithCtrl_.insert(vk);
    held_.insert(vk);
    pressed_.insert(vk);
}

void InputSystem::KeyReleased(u32 vk) {
    held_.erase(vk);
    released_.insert(vk);
}

void InputSystem::MouseMoved(i32 x, i32 y, u32 buttonFlags) {
    previousMouseX_ = mouseX_;
    previousMouseY_ = mouseY_;
    mouseX_ = x;
    mouseY_ = y;
    if (buttonFlags == 1) current_[0].dragged = true;
    if (buttonFlags == 2) current_[1].dragged = true;
}

void InputSystem::ButtonDown(u32 button, i32 x, i32 y) {
    if (button >= kButtonCount) return;
    current_[button].down = true;
    current_[button].x = x;
    current_[button].y = y;
}

void InputSystem::ButtonUp(u32 button) {
    if (button >= kButtonCount) return;
    current_[button] = MouseButtonRecord();
}

bool InputSystem::IsKeyDown(u32 vk) const {
    if (vk == 0x10 || vk == 0xA0 || vk == 0xA1) return (GetAsyncKeyState(static_cast<int>(vk)) & 0x8000) != 0;
    return held_.count(vk) != 0;
}

const MouseButtonRecord& InputSystem::Button(u32 button) const {
    return button < kButtonCount ? current_[button] : kNoButton;
}

const MouseButtonRecord& InputSystem::PreviousButton(u32 button) const {
    return button < kButtonCount ? previous_[button] : kNoButton;
}
