#include "port/window/WindowMessageBox.h"

#include "port/os/MessageBox.h"
#include "port/window/PortWindow.h"

#include <SDL.h>

#include <cstdio>

void PresentWindowMessageBox(const char* text, const char* caption) {
    const char* shownCaption = caption && *caption ? caption : "Error";
    const char* shownText = text ? text : "";
    PortWindow* window = PortWindow::Current();
    SDL_Window* parent = window ? static_cast<SDL_Window*>(window->NativeWindow()) : nullptr;
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, shownCaption, shownText, parent) != 0) {
        std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
        std::fflush(stderr);
    }
}

void InstallWindowMessageBox() {
    SetMessageBoxPresenter(&PresentWindowMessageBox);
}
