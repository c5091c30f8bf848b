// The window the in-window dialogs draw on in GL tests: a 320 x 240 port
// window with a GL context, the events an earlier test left in SDL's queue
// drained, and the dialogs forced to run although the run looks unattended.
// Close undoes it all.
#pragma once

#include "port/dialogs/FileDialogScript.h"
#include "port/window/PortWindow.h"
#include "port/window/WindowTestInput.h"

#include <memory>
#include <string>

struct DialogWindow {
    // False with the reason when the window or its GL context cannot be made.
    bool Open(std::string* error) {
        window = PortWindow::Create("Q4nto", 320, 240, error);
        if (!window) return false;
        if (!TestMakeGLContext()) {
            *error = "no GL context";
            return false;
        }
        WindowEvent stale;
        while (window->PollEvent(&stale)) {
        }
        FileDialogForceInteractive(true);
        return true;
    }
    void Close() {
        FileDialogForceInteractive(false);
        TestDestroyGLContext();
        window.reset();
    }

    std::unique_ptr<PortWindow> window;
};
