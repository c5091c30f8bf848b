// A window system that ignores full-screen requests, as an X server without
// a window manager does: SDL takes a request as carried out (its own size,
// and a size event, say the desktop's) while the window keeps its size, the
// one this stand-in reports. In place of the real one while it lives.
#pragma once
#include "port/window/DisplayServer.h"

class IgnoresFullScreen : public DisplayServer {
public:
    IgnoresFullScreen(int w, int h) : width(w), height(h) { DisplayServer::SetForTest(this); }
    ~IgnoresFullScreen() override { DisplayServer::SetForTest(nullptr); }
    IgnoresFullScreen(const IgnoresFullScreen&) = delete;
    IgnoresFullScreen& operator=(const IgnoresFullScreen&) = delete;

    void ClientSize(void*, int* w, int* h) override {
        *w = width;
        *h = height;
    }
    void DrawableSize(void* window, int* w, int* h) override { ClientSize(window, w, h); }

    int width;
    int height;
};
