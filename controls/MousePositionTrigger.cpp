#include "controls/MousePositionTrigger.h"

#include <cstring>

#include "controls/GuiSystem.h"
#include "engine/Engine.h"
#include "platform/InputSystem.h"

MousePositionTrigger::MousePositionTrigger(float left, float top, float right, float bottom)
    : left_(left), top_(top), right_(right), bottom_(bottom), gui_(nullptr) {
    if (Engine* engine = Engine::Instance()) gui_ = engine->GetSystem<GuiSystem>();
}

bool MousePositionTrigger::IsTriggered() {
    InputSystem* input = InputSystem::Instance();
    if (!input) return false;
    // The GuiSystem may be gone at shutdown: ask the Engine whether it still is ours.
    ClientRect screen;
    Engine* engine = Engine::Instance();
    if (gui_ && engine && engine->GetSystem<GuiSystem>() == gui_) screen = gui_->GetScreenRect();
    const float halfW = static_cast<float>(screen.right - screen.left) / 2.0f;
    const float halfH = static_cast<float>(screen.bottom - screen.top) / 2.0f;
    const float x = static_cast<float>(input->MouseX());
    const float y = static_cast<float>(input->MouseY());
    return left_ + halfW <= x && x < right_ + halfW && top_ + halfH <= y && y < bottom_ + halfH;
}

void MousePositionTrigger::SetRect(float left, float top, float right, float bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

void MousePositionTrigger::SetRectBits(u32 left, u32 top, u32 right, u32 bottom) {
    std::memcpy(&left_, &left, sizeof left_);
    std::memcpy(&top_, &top, sizeof top_);
    std::memcpy(&right_, &right, sizeof right_);
    std::memcpy(&bottom_, &bottom, sizeof bottom_);
}
