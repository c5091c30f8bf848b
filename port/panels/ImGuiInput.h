// Window input kept for the next ImGui frame: held keys and buttons plus the
// presses since the last frame (a press and release between two frames is
// still seen as one click), typed characters, wheel and pointer. One per
// ImGui context (the tweak panels, a file dialog). Main thread only.
#pragma once

#include "port/window/WindowEvent.h"

#include <vector>

struct ImGuiIO;

class ImGuiInput {
public:
    // Records the event (characters only when takeCharacters is set).
    void Record(const WindowEvent& event, bool takeCharacters);
    // Writes the state into io for a new frame and clears the per-frame part.
    void Apply(ImGuiIO& io);
    // The key map of window key codes that ImGui needs, and the system
    // clipboard (SDL) for copy and paste in text fields.
    static void MapKeys(ImGuiIO& io);

    float MouseX() const { return mouseX_; }
    float MouseY() const { return mouseY_; }

private:
    bool mouseHeld_[3] = {};
    bool mousePressed_[3] = {};
    float mouseX_ = -1.0f;
    float mouseY_ = -1.0f;
    float wheel_ = 0.0f;
    bool keyHeld_[512] = {};
    bool keyPressed_[512] = {};
    std::vector<unsigned> chars_;
};
