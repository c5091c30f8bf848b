// The program's one window (SDL2): video start-up, the window with OpenGL 4.5
// core attributes (port/gpu makes its context on it), and the event pump
// translated into WindowEvents. Owned by the WindowsSystem from its Init to
// the end of the run; PortWindow::Current() reaches it from the rest of the
// port layer. Main thread only.
#pragma once

#include "port/window/WindowEvent.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

class PortWindow {
public:
    // Starts SDL video and opens a shown window whose client area is exactly
    // clientWidth x clientHeight. On failure returns null with *error set.
    static std::unique_ptr<PortWindow> Create(const char* title, int clientWidth, int clientHeight, std::string* error);
    ~PortWindow();
    PortWindow(const PortWindow&) = delete;
    PortWindow& operator=(const PortWindow&) = delete;

    // The live window, or null.
    static PortWindow* Current();
    // A non-zero 64-bit handle naming this window in engine messages.
    uint64_t Handle() const;
    static PortWindow* FromHandle(uint64_t handle);
    // The SDL_Window*, for port/gpu and port/panels only.
    void* NativeWindow() const { return window_; }

    // Next event of the queue, or false when it is empty. A drop record
    // handed out by the previous call is freed by this one. The calls up to a
    // false are one pump: a button released in the pump that pressed it ends
    // the pump before its release, which opens the next one, so a quick click
    // reads as a slow one (pressed in one frame, released in the next). A
    // pump never waits, but one that opens while the window is minimised
    // (since an earlier pump) waits for the window's next event, in waits of
    // at most kMinimisedWaitMs between which it looks for a quit signal, so
    // a minimised program runs no frames.
    bool PollEvent(WindowEvent* out);
    static constexpr int kMinimisedWaitMs = 17;

    // Puts events back at the front of the queue, in the given order (a modal
    // loop that took them hands on what it did not use: quit, releases).
    void PutBack(const std::vector<WindowEvent>& events);

    // Client rectangle: (0, 0, width, height) of the window as the window
    // system has it (DisplayServer), whatever was asked for; empty while
    // minimised. Every change of it comes as one Resized event.
    ClientRect GetClientRect() const;
    // Resizes the client area to exactly width x height, keeping the window
    // centred on the same point of the screen (moved only as far as its frame
    // must to stay on the screen's usable area), and shows it. The Resized
    // event follows. In full screen the size is kept for when the window is
    // windowed again, and the window then comes back centred on the screen's
    // point the full-screen window was centred on, by the same rule. After
    // this and after RequestFullScreen, a pointer resting in the client area
    // is kept at the same place from the centre once the new size comes (put
    // there if the window system moved it elsewhere), so it stays on what is
    // drawn there: the button clicked.
    void SetClientSize(int width, int height);
    // Asks the window system for full screen or windowed (DisplayServer);
    // returns whether the request was made.
    bool RequestFullScreen(bool fullScreen);
    // Whether the window is full screen now, as the window system has it.
    bool IsFullScreen() const;
    // The start of the window's client area along one axis after a resize
    // from oldSize to newSize, with the frame's widths before and after it
    // and the screen's usable area (a size of 0: no area known).
    static int PlaceKeepingCentre(int oldStart, int oldSize, int newSize, int frameBefore, int frameAfter,
                                  int areaStart, int areaSize);

    // Key and button state as of the events pumped so far (left/right and
    // generic modifier codes, VK_LBUTTON 1, VK_RBUTTON 2, VK_MBUTTON 4).
    bool IsKeyHeld(uint32_t vk) const;
    int32_t MouseX() const { return mouseX_; }
    int32_t MouseY() const { return mouseY_; }

    // Whether dropped files are reported (off until switched on).
    void SetAcceptFiles(bool accept) { acceptFiles_ = accept; }
    bool AcceptsFiles() const { return acceptFiles_; }

    uint32_t SdlWindowId() const { return windowId_; }

    // Whether the program is asking if a close may end the run (set by the
    // WindowsSystem around its question): a box it shows then takes one more
    // close, come before the box could be seen, as that same request.
    void SetAnsweringClose(bool answering) { answeringClose_ = answering; }
    bool AnsweringClose() const { return answeringClose_; }

private:
    PortWindow() = default;
    void Translate(const void* sdlEvent);
    void Push(const WindowEvent& event) { pending_.push_back(event); }
    void KeyEvent(const void* sdlEvent, bool down);
    void WindowChange(const void* sdlEvent);
    void TextInput(const char* utf8);
    void MouseButton(const void* sdlEvent);
    void DroppedFile(const void* sdlEvent);
    void FinishDrop();
    uint32_t MouseFlags() const;
    // Until an event of this window is pending or a quit signal has come.
    void WaitWhileMinimised();
    // A Resized event when the client size differs from the last announced.
    void AnnounceSizeIfChanged();
    // Notes where a pointer resting in the client area is from the centre,
    // before a size change the program asks for.
    void AnchorPointer();
    // Puts an anchored pointer back at its place from the new centre, and
    // keeps it on that client point for a moment while the window settles.
    void KeepAnchoredPointer(const ClientRect& rect);
    void WarpToKeptPoint();
    // Moves the window so that a client area of width x height is centred on
    // the screen point (centreX, centreY), by PlaceKeepingCentre's rule;
    // false when it is there already.
    bool PlaceCentredOn(int centreX, int centreY, int width, int height);
    // Places the window on its kept centre once it is windowed again with the
    // size picked in full screen, and keeps it there until placingUntilMs_.
    void PlaceIfBackFromFullScreen();
    // A MouseMove event when the window system puts the resting pointer
    // elsewhere in the client area than the last motion said (the window
    // moved or resized under it).
    void FollowPointer();

    struct DropRecord {
        DropFiles view;
        std::vector<std::string> files;
        std::vector<const char*> pointers;
    };

    struct SDL_Window* window_ = nullptr;
    uint32_t windowId_ = 0;
    std::deque<WindowEvent> pending_;
    std::deque<std::unique_ptr<DropRecord>> pendingDrops_;  // made, not yet handed out
    std::unique_ptr<DropRecord> collecting_;                // between drop begin and complete
    std::unique_ptr<DropRecord> delivered_;                 // handed out by the last PollEvent
    std::set<uint32_t> heldKeys_;                           // specific codes of the keys held
    uint32_t buttons_ = 0;                                  // bit per button: 1 left, 2 right, 4 middle
    uint32_t pressedThisPump_ = 0;                          // the same bits: presses handed out in this pump
    bool pumpOpen_ = false;                                 // a pump has begun and not yet ended
    int32_t mouseX_ = 0;
    int32_t mouseY_ = 0;
    bool minimised_ = false;
    bool answeringClose_ = false;
    bool pointerAnchored_ = false;  // a size change was asked for with the pointer inside
    int anchorX_ = 0;               // the pointer then, from the client area's centre
    int anchorY_ = 0;
    // After a size change, the client point the pointer is kept on until
    // keptUntilMs_ (SDL ticks, ms; 0 when none): a window manager that moves
    // the window a moment later does not take the pointer off its button.
    static constexpr uint64_t kKeepAfterResizeMs = 1000;
    int keptX_ = 0;
    int keptY_ = 0;
    uint64_t keptUntilMs_ = 0;
    // A size picked in full screen (keptWidth_ x keptHeight_) and the screen
    // point its window is centred on once windowed again.
    bool placeWhenWindowed_ = false;
    int keptCentreX_ = 0;
    int keptCentreY_ = 0;
    int keptWidth_ = 0;
    int keptHeight_ = 0;
    static constexpr int kMostPlacesAfterFullScreen = 4;
    uint64_t placingUntilMs_ = 0;  // SDL ticks, ms; 0 when not placing
    int placesLeft_ = 0;
    int announcedWidth_ = -1;
    int announcedHeight_ = -1;
    bool acceptFiles_ = false;
};
