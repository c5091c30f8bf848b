// What the steps of an input script act on: the running program's input
// queue, systems, picture and frame loop (ProgramScriptTarget), or a stand-in
// in tests. Made by whoever makes the InputDriver and outlives it. Main
// thread only.
#pragma once
#include <string>

#include "core/Types.h"

class ScriptTarget {
public:
    virtual ~ScriptTarget() = default;

    // A key by virtual-key code, as the window reports it.
    virtual void Key(u32 vk, bool down) = 0;
    // The pointer to client pixel (x, y).
    virtual void MovePointer(int x, int y) = 0;
    // Button 0 (left) or 1 (right), at the pointer.
    virtual void Button(u32 button, bool down) = 0;
    // The active and paused flags of the system of that name; false when
    // there is none.
    virtual bool SystemFlags(const std::string& name, bool* active, bool* paused) = 0;
    // Saves the last drawn frame under the name; false with the reason.
    virtual bool SaveShot(const std::string& name, std::string* error) = 0;
    // Ends the frame loop once the present frame is done.
    virtual void Quit() = 0;
};
