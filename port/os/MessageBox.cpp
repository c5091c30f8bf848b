#include "port/os/MessageBox.h"

#include <unistd.h>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "port/os/OsFile.h"

namespace {
std::atomic<MessageBoxPresenter> gPresenter{nullptr};
std::atomic<MessageBoxPresenter> gLogSink{nullptr};

bool EnvSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

bool EnvIs(const char* name, const char* expected) {
    const char* value = std::getenv(name);
    return value != nullptr && std::strcmp(value, expected) == 0;
}

// Only write(2): the crash handler reaches this from a signal handler.
void WriteToStderr(const char* text, const char* caption) {
    if (caption[0] != '\0') {
        WriteAllToDescriptor(STDERR_FILENO, caption, std::strlen(caption));
        WriteAllToDescriptor(STDERR_FILENO, ": ", 2);
    }
    WriteAllToDescriptor(STDERR_FILENO, text, std::strlen(text));
    WriteAllToDescriptor(STDERR_FILENO, "\n", 1);
}
}  // namespace

bool IsUnattendedRun() {
    if (EnvSet("CI")) return true;
    if (EnvIs("SDL_VIDEODRIVER", "offscreen") || EnvIs("SDL_VIDEODRIVER", "dummy")) return true;
    return !EnvSet("DISPLAY") && !EnvSet("WAYLAND_DISPLAY");
}

void ShowMessageBox(const char* text, const char* caption) {
    if (text == nullptr) text = "";
    if (caption == nullptr) caption = "";
    MessageBoxPresenter presenter = gPresenter.load();
    if (presenter != nullptr && !IsUnattendedRun()) {
        presenter(text, caption);
        return;
    }
    RecordMessage(text, caption);
}

void RecordMessage(const char* text, const char* caption) {
    if (text == nullptr) text = "";
    if (caption == nullptr) caption = "";
    WriteToStderr(text, caption);
    if (MessageBoxPresenter sink = gLogSink.load()) sink(text, caption);
}

void SetMessageBoxPresenter(MessageBoxPresenter presenter) {
    gPresenter.store(presenter);
}

void SetMessageBoxLogSink(MessageBoxPresenter sink) {
    gLogSink.store(sink);
}
