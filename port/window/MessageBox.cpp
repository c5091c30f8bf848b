#include "port/window/MessageBox.h"

#include "port/window/PortWindow.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

MessageBoxLogSink gSink = nullptr;

bool EnvSet(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

bool IsHeadlessDriver(const char* driver) {
  return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

}  // namespace

void SetMessageBoxLogSink(MessageBoxLogSink sink) { gSink = sink; }

bool MessageBoxIsUnattended() {
  if (EnvSet("CI")) return true;
  if (IsHeadlessDriver(std::getenv("SDL_VIDEODRIVER"))) return true;
  if (SDL_WasInit(SDL_INIT_VIDEO) && IsHeadlessDriver(SDL_GetCurrentVideoDriver())) return true;
  return !EnvSet("DISPLAY") && !EnvSet("WAYLAND_DISPLAY");
}

void ShowMessageBox(const char* text, const char* caption) {
  const char* shownCaption = caption ? caption : "Error";
  const char* shownText = text ? text : "";
  if (MessageBoxIsUnattended()) {
    std::string line = std::string("Message box [") + shownCaption + "]: " + shownText;
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    if (gSink) gSink(line.c_str());
    return;
  }
  PortWindow* window = PortWindow::Current();
  SDL_Window* parent = window ? static_cast<SDL_Window*>(window->NativeWindow()) : nullptr;
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, shownCaption, shownText, parent) != 0) {
    // No box could be shown: never lose the text.
    std::fprintf(stderr, "Message box [%s]: %s\n", shownCaption, shownText);
    if (gSink) gSink((std::string("Message box [") + shownCaption + "]: " + shownText).c_str());
  }
}
