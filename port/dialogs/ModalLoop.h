// The in-window modal loop shared by the file dialogs and the question box:
// what it shows (a ModalContent) gets one ImGui frame at a time over the port
// window, with one input event a frame, until it closes. Quit and releases go
// back to the window's queue for the program. Main thread only.
#pragma once

class ModalContent {
public:
    virtual ~ModalContent() = default;
    virtual bool IsOpen() const = 0;
    virtual void Cancel() = 0;
    // Builds the content's ImGui windows for the current frame.
    virtual void Frame() = 0;
};

// Runs until the content closes; cancels it when there is no window or GL
// context, or when the window is closed, except while the program asks about
// a close: a close that comes before the box has been on screen for
// kSameCloseMs (a double click on the close button) is that same request and
// leaves the box to be answered.
constexpr unsigned kSameCloseMs = 500;
void RunModalLoop(ModalContent& content);
// True when nobody could answer an in-window dialog (unattended run, SDL's
// offscreen or dummy driver) and the dialogs are not forced interactive.
bool ModalDialogsUnattended();
// Tests that drive a dialog with pushed events: the dialogs run although the
// run looks unattended, and one left idle for 200 frames cancels itself.
void ModalDialogsForceInteractive(bool interactive);
