#include "port/window/DragDrop.h"

#include "port/window/PortWindow.h"

#include <cstring>

void DragAcceptFiles(uint64_t window, bool accept) {
    if (PortWindow* w = PortWindow::FromHandle(window)) w->SetAcceptFiles(accept);
}

unsigned DragQueryFileA(const DropFiles* drop, unsigned index, char* buffer, unsigned bufferSize) {
    if (!drop) return 0;
    if (index == 0xFFFFFFFFu) return static_cast<unsigned>(drop->fileCount);
    if (index >= static_cast<unsigned>(drop->fileCount)) return 0;
    const char* file = drop->files[index];
    size_t length = std::strlen(file);
    if (!buffer) return static_cast<unsigned>(length);
    if (bufferSize == 0) return 0;
    size_t copied = length < bufferSize - 1 ? length : bufferSize - 1;
    std::memcpy(buffer, file, copied);
    buffer[copied] = '\0';
    return static_cast<unsigned>(copied);
}

bool DragQueryPoint(const DropFiles* drop, int32_t* x, int32_t* y) {
    if (!drop) return false;
    if (x) *x = drop->pointX;
    if (y) *y = drop->pointY;
    return drop->pointInClient;
}
