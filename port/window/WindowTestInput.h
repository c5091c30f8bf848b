// Tests only: puts events into SDL's queue as the window system would, for
// the live PortWindow (keys by virtual-key code, text, mouse, focus, size,
// close, file drops). The window's next PollEvent sees them. Main thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

void TestPushKey(uint32_t vk, bool down, bool repeat = false);
void TestPushText(const char* utf8);
void TestPushMouseMove(int32_t x, int32_t y);
void TestPushMouseButton(uint32_t button, bool down, int32_t x, int32_t y);
void TestPushMouseWheel(int32_t notches);
void TestPushFocus(bool gained);
void TestPushMinimised();
void TestPushRestored();
void TestPushClose();
void TestPushQuit();
// One drop of several files, as SDL reports it: begin, one event per file,
// complete. When the event queue refuses a push (it holds some 65,000
// events) the drop's events are taken back out and freed, nothing is
// dropped, and false comes back with *error saying so.
bool TestPushDrop(const std::vector<std::string>& files, std::string* error = nullptr);

// A GL context on the live window for tests that draw without the renderer,
// made current; destroyed by TestDestroyGLContext. Clearing and reading back
// a pixel (client coordinates, y down) go through SDL's GL entry points.
bool TestMakeGLContext();
void TestDestroyGLContext();
void TestClearFrame(float r, float g, float b);
bool TestReadPixel(int x, int y, unsigned char rgba[4]);
