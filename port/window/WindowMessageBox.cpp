#include "port/window/WindowMessageBox.h"

#include "port/os/MessageBox.h"
#include "port/window/PortWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {
// The box's font is some 8 to 9 pixels a character; the box keeps to three
// quarters of the window, and to a line that reads as one.
constexpr int kPixelsPerCharacter = 9;
constexpr int kFewestColumns = 40;
constexpr int kMostColumns = 90;
constexpr int kWidthWithoutWindow = 1024;

// The characters a line of the box holds for a window of that client width
// (0: no window).
int MessageBoxColumns(int windowWidth) {
    const int width = windowWidth > 0 ? windowWidth : kWidthWithoutWindow;
    return std::clamp(width * 3 / 4 / kPixelsPerCharacter, kFewestColumns, kMostColumns);
}

// The text with its blanks broken into lines of at most `columns` characters
// (a longer word stands alone); its own line breaks stay.
std::string WrapMessageBoxText(const std::string& text, int columns) {
    std::string wrapped;
    size_t lineStart = 0;  // in wrapped
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '\n') {
            wrapped += '\n';
            lineStart = wrapped.size();
            ++at;
            continue;
        }
        // The next word with the blanks before it.
        size_t wordStart = at;
        while (wordStart < text.size() && text[wordStart] == ' ') ++wordStart;
        size_t wordEnd = wordStart;
        while (wordEnd < text.size() && text[wordEnd] != ' ' && text[wordEnd] != '\n') ++wordEnd;
        const size_t lineLength = wrapped.size() - lineStart;
        if (lineLength > 0 && wordEnd > wordStart &&
            lineLength + (wordEnd - at) > static_cast<size_t>(std::max(columns, 1))) {
            wrapped += '\n';
            lineStart = wrapped.size();
            at = wordStart;  // the blanks the break stands for go
        }
        wrapped.append(text, at, wordEnd - at);
        at = wordEnd;
    }
    return wrapped;
}
}  // namespace

void PresentWindowMessageBox(const char* text, const char* caption) {
    const char* shownCaption = caption && *caption ? caption : "Error";
    PortWindow* window = PortWindow::Current();
    SDL_Window* parent = window ? static_cast<SDL_Window*>(window->NativeWindow()) : nullptr;
    const std::string wrapped =
        WrapMessageBoxText(text ? text : "", MessageBoxColumns(window ? window->GetClientRect().right : 0));
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, shownCaption, wrapped.c_str(), parent) != 0) {
        std::fprintf(stderr, "%s: %s\n", shownCaption, text ? text : "");
        std::fflush(stderr);
    }
}

void InstallWindowMessageBox() {
    SetMessageBoxPresenter(&PresentWindowMessageBox);
}
