// What the steps of an input script act on: the running program's input
// queue, systems, picture and frame loop (ProgramScriptTarget), or a stand-in
// in tests. Made by whoever makes the InputDriver and outlives it. Main
// thread only.
#pragma once
#include <string>
#include <vector>

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
    // The centre (client pixels) of the part of a tweak-panel entry that a
    // click edits (a button, a check box's box, the text part of a number
    // field, the first field of a row), as the last drawn frame showed it;
    // false with the reason when the bar or the entry is missing, was not
    // drawn or lies outside its bar's visible area.
    virtual bool PanelEntryCentre(const std::string& bar, const std::string& entry, int* x, int* y,
                                  std::string* why) = 0;
    // True when the entry took the pointer's press in the last drawn frame
    // (a button held down, a field being edited); false with the reason.
    virtual bool PanelEntryHeld(const std::string& bar, const std::string& entry, std::string* why) = 0;
    // For an entry drawn outside its bar's visible part: the wheel notches
    // that scroll toward it (1 up, -1 down) and the bar's centre, where the
    // pointer turns the wheel; 0 when scrolling cannot bring it in sight.
    virtual int PanelScrollToward(const std::string& bar, const std::string& entry, int* x, int* y) = 0;
    // The mouse wheel turned by notches (positive: away from the user) at the pointer.
    virtual void Wheel(int notches) = 0;
    // Text typed into whatever has the keyboard, as the window reports it.
    virtual void Type(const std::string& text) = 0;
    // The answer the next file dialog gives: a path (a bare name is taken in
    // the dialog's starting folder), or a cancel.
    virtual void AnswerDialog(const std::string& path) = 0;
    virtual void CancelDialog() = 0;
    // The next question box is answered by a click on its button of that
    // label, where the box draws it.
    virtual void ClickAnswer(const std::string& label) = 0;
    // The window closed as its close button closes it.
    virtual void CloseWindow() = 0;
    // Files dropped on the window at the pointer, in one drop; false, with
    // the reason, when the window cannot take them all (nothing is dropped).
    virtual bool DropFiles(const std::vector<std::string>& files, std::string* why) = 0;
    // The own position (its Transform's, relative to its parent) of the first
    // scene object, in scene order, that holds a component of the class;
    // false, with the reason, when there is none.
    virtual bool ComponentPlace(const std::string& className, float place[3], std::string* why) = 0;
};
