// The engine system that owns the program's one window: Init makes it, every
// Update pumps its events (first thing of the frame) into InputSystem state
// and into engine messages delivered at once, and kMsgSetWindowSize resizes it. The
// tweak panels see every event first and keep the ones they use. Created last
// by the start-up code, so initialised and updated first; the window lives
// until the system is deleted. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/Types.h"
#include "engine/ISystem.h"
#include "port/window/WindowEvent.h"

class PortWindow;

// Payload of kMsgWindowCreated: the program instance handle and the window handle
// (PortWindow::Handle()), both full 64-bit values.
struct WindowCreatedData {
    u64 instance = 0;
    u64 window = 0;
};

// kMsgFilesDropped: the payload is a heap copy of a const DropFiles*
// (read with port/window/DragDrop.h); the record belongs to the window and is
// valid during delivery only.

class WindowsSystem : public ISystem {
public:
    static constexpr int kStartWidth = 1024;
    static constexpr int kStartHeight = 768;

    explicit WindowsSystem(u64 instanceHandle = 0);
    ~WindowsSystem() override;

    // kMsgSetWindowSize: the wanted client width and height.
    void HandleMessage(Message* message) override;
    // The event pump; never waits. Once the window's display is lost (its X
    // server went away) it logs that, once, and ends the frame loop instead.
    void Update(float dt) override;
    // Makes the 1024x768 window, subscribes to kMsgSetWindowSize, announces
    // kMsgWindowCreated and kMsgClientRect.
    void Init() override;

    // The window procedure: one event after the tweak panels passed it on.
    void WindowProc(const WindowEvent& event);
    // Asked when the window is closed (its close button, Alt+F4): false
    // keeps the program running, and a close repeated in the same pump (the
    // question's own box hands one back) is let go. None (the default): a
    // close ends the run. Quit signals, a scripted quit and a lost display
    // never ask. The asker clears it before it goes.
    void SetCloseQuestion(std::function<bool()> question) { closeQuestion_ = std::move(question); }

    u64 GetWindowHandle() const;
    // Whether the window is full screen now, as the window system has it
    // (false without a window).
    bool IsFullScreen() const;
    PortWindow* GetWindow() const { return window_.get(); }
    // Why Init made no window ("" when it made one).
    const std::string& WindowError() const { return windowError_; }

private:
    void Quit();
    // The close question, with the window told it is being asked.
    bool AskAboutClose();
    void SendChar(u32 character);

    std::unique_ptr<PortWindow> window_;
    std::string windowError_;
    u64 instance_;
    std::function<bool()> closeQuestion_;
    bool quitPosted_ = false;
    bool displayLost_ = false;
};
