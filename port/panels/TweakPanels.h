// Tweak panels: named bars of editable variables, buttons and separators that
// the editor and the component panels build and the renderer draws over the
// frame (Dear ImGui). A C-style interface so callers read like the panel calls
// they were designed against. Main thread only. Bars live from TwNewBar until
// TwDeleteBar / TwDeleteAllBars / TwTerminate; a TwBar* is a handle that is
// never reused, so a stale or null handle is reported, never dereferenced.
#pragma once

#include <cstddef>

struct WindowEvent;

// Opaque bar handle.
typedef struct TweakBarHandle TwBar;

// Variable type codes. Built-in codes keep the numbers callers store in their
// reflection records; TwDefineEnum hands out new codes for enumerations.
typedef int TwType;
constexpr TwType TW_TYPE_UNDEF = 0;
constexpr TwType TW_TYPE_BOOLCPP = 1;  // bool (one byte)
constexpr TwType TW_TYPE_BOOL8 = 2;    // 8-bit boolean (char)
constexpr TwType TW_TYPE_BOOL16 = 3;   // 16-bit boolean
constexpr TwType TW_TYPE_BOOL32 = 4;   // 32-bit boolean: any non-zero bits read as true, writes 1 or 0
constexpr TwType TW_TYPE_CHAR = 5;
constexpr TwType TW_TYPE_INT8 = 6;
constexpr TwType TW_TYPE_UINT8 = 7;
constexpr TwType TW_TYPE_INT16 = 8;
constexpr TwType TW_TYPE_UINT16 = 9;
constexpr TwType TW_TYPE_INT32 = 10;
constexpr TwType TW_TYPE_UINT32 = 11;
constexpr TwType TW_TYPE_FLOAT = 12;
constexpr TwType TW_TYPE_DOUBLE = 13;
constexpr TwType TW_TYPE_COLOR32 = 14;   // packed 0xAARRGGBB
constexpr TwType TW_TYPE_COLOR3F = 15;   // float r, g, b
constexpr TwType TW_TYPE_COLOR4F = 16;   // float r, g, b, a
constexpr TwType TW_TYPE_CDSTRING = 17;  // C string; read-write only through callbacks
constexpr TwType TW_TYPE_QUAT4F = 19;    // float x, y, z, w rotation
constexpr TwType TW_TYPE_QUAT4D = 20;
constexpr TwType TW_TYPE_DIR3F = 21;  // float x, y, z direction / vector
constexpr TwType TW_TYPE_DIR3D = 22;
// A std::string object: 0x2fff0000 plus the string object's size on the
// platform the code was first written for (28); the address is a std::string*.
constexpr TwType TW_TYPE_STDSTRING = 0x2fff001c;

// Graphics interface passed to TwInit (OpenGL core on the current context).
typedef int TwGraphAPI;
constexpr TwGraphAPI TW_OPENGL_CORE = 5;

// Value kinds of TwSetParam.
typedef int TwParamValueType;
constexpr TwParamValueType TW_PARAM_INT32 = 0;
constexpr TwParamValueType TW_PARAM_FLOAT = 1;
constexpr TwParamValueType TW_PARAM_DOUBLE = 2;
constexpr TwParamValueType TW_PARAM_CSTRING = 3;

struct TwEnumVal {
    int Value;
    const char* Label;
};

// Set callback: value points to a value of the variable's type (for
// TW_TYPE_CDSTRING: to a const char* holding the new text).
typedef void (*TwSetVarCallback)(const void* value, void* clientData);
// Get callback: fill value (for TW_TYPE_CDSTRING: value is the library's
// char* slot; fill it with TwCopyCDStringToLibrary).
typedef void (*TwGetVarCallback)(void* value, void* clientData);
typedef void (*TwButtonCallback)(void* clientData);
typedef void (*TwErrorHandler)(const char* errorMessage);

// Lifetime and drawing. TwInit sets up drawing on the current GL context and
// the port window; without it the panels still exist and can be edited through
// TweakPanelsProbe.h, TwDraw then draws nothing. Results: 1 = ok, 0 = error.
int TwInit(TwGraphAPI graphAPI, void* device);
int TwTerminate();
int TwWindowSize(int width, int height);
// Draws every visible bar over the current frame, then runs the callbacks of
// the buttons pressed and the set callbacks of values edited in this frame.
int TwDraw();
// Feeds one window event to the panels; non-zero when a panel used it (the
// pointer is over a panel, or a panel has keyboard focus): the caller then
// keeps the event from the game.
int TwEventWin(const WindowEvent& event);

// Errors: the handler receives every error text as it happens (null restores
// the default, which only records it). TwGetLastError returns the last one,
// or null when the last call succeeded.
void TwHandleErrors(TwErrorHandler handler);
const char* TwGetLastError();

// Bars.
TwBar* TwNewBar(const char* barName);
int TwDeleteBar(TwBar* bar);
int TwDeleteAllBars();
const char* TwGetBarName(const TwBar* bar);
int TwRemoveAllVars(TwBar* bar);

// Variables. name must be unique within its bar; def is a definition text
// (" label='x' group=G help='h' step=0.1 min=0 max=1 visible=false ...").
int TwAddVarRW(TwBar* bar, const char* name, TwType type, void* var, const char* def);
int TwAddVarRO(TwBar* bar, const char* name, TwType type, const void* var, const char* def);
int TwAddVarCB(TwBar* bar, const char* name, TwType type, TwSetVarCallback setCallback, TwGetVarCallback getCallback,
               void* clientData, const char* def);
int TwAddButton(TwBar* bar, const char* name, TwButtonCallback callback, void* clientData, const char* def);
int TwAddSeparator(TwBar* bar, const char* name, const char* def);
int TwRemoveVar(TwBar* bar, const char* name);

// Definitions: "barName param=value ...", "barName/varOrGroup param=value ...",
// "GLOBAL param=value ..."; one definition per line; names with blanks in
// backquotes. Values may be quoted with ' " or `.
int TwDefine(const char* def);
// Defines (or redefines, keeping its code) the enumeration named name.
TwType TwDefineEnum(const char* name, const TwEnumVal* enumValues, unsigned int nbValues);
// Sets one parameter of a bar (varName null) or of one of its variables or groups.
int TwSetParam(TwBar* bar, const char* varName, const char* paramName, TwParamValueType paramValueType,
               unsigned int inValueCount, const void* inValues);

// Copies the client's text into the library's string slot (the value pointer
// a TW_TYPE_CDSTRING get callback receives). The library owns the copy.
void TwCopyCDStringToLibrary(char** destinationLibraryStringPtr, const char* sourceClientString);
