// Test access to the tweak panels: what bars and variables exist with which
// parameters, their values as text, and edits and button presses as a user
// would make them (the same path as ImGui edits: set callbacks and buttons run
// after the edit, the bar may be deleted by its own button). Main thread only.
#pragma once

#include "port/panels/TweakPanels.h"

#include <map>
#include <string>
#include <vector>

enum class TweakVarKind { ReadWrite, ReadOnly, Callback, Button, Separator };

struct TweakVarInfo {
    std::string name;
    TweakVarKind kind = TweakVarKind::ReadWrite;
    TwType type = TW_TYPE_UNDEF;
    const void* address = nullptr;  // ReadWrite / ReadOnly
    void* clientData = nullptr;     // Callback / Button
    std::string label;              // as defined (empty when none)
    std::string group;
    std::string help;
    bool visible = true;
    bool readOnly = false;                      // ReadOnly, a callback variable without set, or readonly=true
    std::map<std::string, std::string> params;  // every parameter, keys in lower case
};

struct TweakBarInfo {
    std::string name;
    std::string label;
    bool visible = true;
    bool iconified = false;
    int positionX = -1, positionY = -1;  // -1: not set
    int sizeX = -1, sizeY = -1;          // -1: not set
    int valuesWidth = -1;                // -1: not set, -2: fit
    std::map<std::string, std::string> params;
    std::vector<TweakVarInfo> vars;  // in the order added
};

// Names of the live bars, in creation order.
std::vector<std::string> TwInspectBarNames();
// The bar of that name, or null.
TwBar* TwInspectFindBar(const char* barName);
bool TwInspectBar(const TwBar* bar, TweakBarInfo* out);
bool TwInspectVar(const TwBar* bar, const char* varName, TweakVarInfo* out);
// Parameters set on a group of the bar (keys in lower case).
std::map<std::string, std::string> TwInspectGroupParams(const TwBar* bar, const char* groupName);
// Parameters set with "GLOBAL ...".
std::map<std::string, std::string> TwInspectGlobalParams();

// Value of a variable as text: booleans "true"/"false", integers in decimal,
// floats "%g", vectors/colours/quaternions their floats blank-separated,
// strings as they stand, enumerations their numeric value. Reads through the
// get callback for callback variables.
bool TwInspectReadValue(const TwBar* bar, const char* varName, std::string* out);
// Writes a value from the same text form, as a user edit (refused for
// read-only variables). Set callbacks run at once.
bool TwInspectWriteValue(TwBar* bar, const char* varName, const char* text);
// Presses a button (runs its callback; the callback may delete bars).
bool TwInspectPressButton(TwBar* bar, const char* buttonName);
// Enumeration values defined under a type code.
std::vector<TwEnumVal> TwInspectEnum(TwType type);
// Label of an enumeration type code, or "" when the code is not an enumeration.
std::string TwInspectEnumName(TwType type);
// Where an entry or a bar was laid out in the last TwDraw (client pixels);
// false when it was not drawn.
bool TwInspectItemRect(const TwBar* bar, const char* varName, float* x, float* y, float* w, float* h);
// The part of an entry a click edits: a button whole, the box of a check
// box, the text part of an integer (not its - and + buttons), the first field
// of a row of numbers, the value box of the other kinds (not the label).
bool TwInspectItemFieldRect(const TwBar* bar, const char* varName, float* x, float* y, float* w, float* h);
// True when the entry took the pointer in the last TwDraw: a button or box
// held down, a field being edited.
bool TwInspectItemHeld(const TwBar* bar, const char* varName);
bool TwInspectBarRect(const TwBar* bar, float* x, float* y, float* w, float* h);
// The part of the bar that showed its entries (below the title, inside the frame).
bool TwInspectBarInnerRect(const TwBar* bar, float* x, float* y, float* w, float* h);
// True when TwInit found a GL context to draw with.
bool TwInspectDrawsWithGl();
// Drops every bar, enumeration, global parameter and the error handler.
void TwInspectReset();
