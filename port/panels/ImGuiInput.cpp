#include "port/panels/ImGuiInput.h"

#include <SDL.h>
#include <imgui.h>

#include <algorithm>
#include <cfloat>
#include <iterator>
#include <string>

void ImGuiInput::MapKeys(ImGuiIO& io) {
    const int keys[][2] = {
        {ImGuiKey_Tab, 0x09},         {ImGuiKey_LeftArrow, 0x25}, {ImGuiKey_RightArrow, 0x27},
        {ImGuiKey_UpArrow, 0x26},     {ImGuiKey_DownArrow, 0x28}, {ImGuiKey_PageUp, 0x21},
        {ImGuiKey_PageDown, 0x22},    {ImGuiKey_Home, 0x24},      {ImGuiKey_End, 0x23},
        {ImGuiKey_Insert, 0x2D},      {ImGuiKey_Delete, 0x2E},    {ImGuiKey_Backspace, 0x08},
        {ImGuiKey_Space, 0x20},       {ImGuiKey_Enter, 0x0D},     {ImGuiKey_Escape, 0x1B},
        {ImGuiKey_KeyPadEnter, 0x0D}, {ImGuiKey_A, 0x41},         {ImGuiKey_C, 0x43},
        {ImGuiKey_V, 0x56},           {ImGuiKey_X, 0x58},         {ImGuiKey_Y, 0x59},
        {ImGuiKey_Z, 0x5A},
    };
    for (const auto& k : keys) io.KeyMap[k[0]] = k[1];
    // Text fields copy and paste through the system clipboard (text only).
    io.SetClipboardTextFn = [](void*, const char* text) { SDL_SetClipboardText(text ? text : ""); };
    io.GetClipboardTextFn = [](void*) -> const char* {
        static std::string held;  // ImGui reads the text before the next call
        char* text = SDL_GetClipboardText();
        held = text ? text : "";
        SDL_free(text);
        return held.c_str();
    };
}

void ImGuiInput::Record(const WindowEvent& event, bool takeCharacters) {
    switch (event.kind) {
        case WindowEventKind::MouseMove:
            mouseX_ = static_cast<float>(event.x);
            mouseY_ = static_cast<float>(event.y);
            break;
        case WindowEventKind::ButtonDown:
            mouseX_ = static_cast<float>(event.x);
            mouseY_ = static_cast<float>(event.y);
            if (event.button < 3) mouseHeld_[event.button] = mousePressed_[event.button] = true;
            break;
        case WindowEventKind::ButtonUp:
            if (event.button < 3) mouseHeld_[event.button] = false;
            break;
        case WindowEventKind::MouseWheel:
            wheel_ += static_cast<float>(event.wheel);
            break;
        case WindowEventKind::KeyDown:
            if (event.vk < 512) {
                keyHeld_[event.vk] = true;
                if (!event.repeat) keyPressed_[event.vk] = true;
            }
            if (event.genericVk) keyHeld_[event.genericVk] = true;
            break;
        case WindowEventKind::KeyUp:
            if (event.vk < 512) keyHeld_[event.vk] = false;
            if (event.genericVk) keyHeld_[event.genericVk] = false;
            break;
        case WindowEventKind::Char:
            if (takeCharacters && event.character >= 32) chars_.push_back(event.character);
            break;
        default:
            break;
    }
}

void ImGuiInput::Apply(ImGuiIO& io) {
    io.MousePos = mouseX_ < 0 ? ImVec2(-FLT_MAX, -FLT_MAX) : ImVec2(mouseX_, mouseY_);
    for (int i = 0; i < 3; ++i) io.MouseDown[i] = mouseHeld_[i] || mousePressed_[i];
    io.MouseWheel = wheel_;
    for (int i = 0; i < 512; ++i) io.KeysDown[i] = keyHeld_[i] || keyPressed_[i];
    io.KeyCtrl = io.KeysDown[0x11];
    io.KeyShift = io.KeysDown[0x10];
    io.KeyAlt = io.KeysDown[0x12];
    for (unsigned c : chars_) io.AddInputCharacter(c);
    chars_.clear();
    wheel_ = 0.0f;
    std::fill(std::begin(mousePressed_), std::end(mousePressed_), false);
    std::fill(std::begin(keyPressed_), std::end(keyPressed_), false);
}
