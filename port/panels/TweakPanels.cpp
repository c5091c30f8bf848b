// The Tw* functions: the panel model (TweakPanelLibrary) and its drawing
// (TweakPanelRenderer).
#include "port/panels/TweakPanels.h"

#include "port/panels/TweakPanelLibrary.h"
#include "port/panels/TweakPanelRenderer.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

TweakPanelLibrary& Lib() {
    TweakPanelLibrary& lib = TweakPanelLibrary::Get();
    lib.BeginCall();
    return lib;
}

std::string Name(const char* name) {
    return name ? name : "";
}

}  // namespace

void TwHandleErrors(TwErrorHandler handler) {
    TweakPanelLibrary::Get().SetErrorHandler(handler);
}

const char* TwGetLastError() {
    return TweakPanelLibrary::Get().LastError();
}

TwBar* TwNewBar(const char* barName) {
    return Lib().NewBar(barName);
}

int TwDeleteBar(TwBar* bar) {
    return Lib().DeleteBar(bar) ? 1 : 0;
}

int TwDeleteAllBars() {
    Lib().DeleteAllBars();
    return 1;
}

const char* TwGetBarName(const TwBar* bar) {
    TweakPanelLibrary::Bar* b = Lib().Find(bar, "TwGetBarName");
    return b ? b->name.c_str() : nullptr;
}

int TwRemoveAllVars(TwBar* bar) {
    TweakPanelLibrary::Bar* b = Lib().Find(bar, "TwRemoveAllVars");
    if (!b) return 0;
    b->vars.clear();
    b->groups.clear();
    return 1;
}

int TwRemoveVar(TwBar* bar, const char* name) {
    TweakPanelLibrary& lib = Lib();
    TweakPanelLibrary::Bar* b = lib.Find(bar, "TwRemoveVar");
    if (!b) return 0;
    for (auto it = b->vars.begin(); it != b->vars.end(); ++it) {
        if (it->name == Name(name)) {
            b->vars.erase(it);
            return 1;
        }
    }
    lib.Error("TwRemoveVar: no variable \"" + Name(name) + "\" in bar \"" + b->name + "\"");
    return 0;
}

int TwAddVarRW(TwBar* bar, const char* name, TwType type, void* var, const char* def) {
    TweakPanelLibrary::Var v;
    v.name = Name(name);
    v.kind = TweakVarKind::ReadWrite;
    v.type = type;
    v.address = var;
    return Lib().AddVar(bar, std::move(v), def) ? 1 : 0;
}

int TwAddVarRO(TwBar* bar, const char* name, TwType type, const void* var, const char* def) {
    TweakPanelLibrary::Var v;
    v.name = Name(name);
    v.kind = TweakVarKind::ReadOnly;
    v.type = type;
    v.address = const_cast<void*>(var);  // never written: read-only variables are not edited
    return Lib().AddVar(bar, std::move(v), def) ? 1 : 0;
}

int TwAddVarCB(TwBar* bar, const char* name, TwType type, TwSetVarCallback setCallback, TwGetVarCallback getCallback,
               void* clientData, const char* def) {
    TweakPanelLibrary::Var v;
    v.name = Name(name);
    v.kind = TweakVarKind::Callback;
    v.type = type;
    v.setCallback = setCallback;
    v.getCallback = getCallback;
    v.clientData = clientData;
    return Lib().AddVar(bar, std::move(v), def) ? 1 : 0;
}

int TwAddButton(TwBar* bar, const char* name, TwButtonCallback callback, void* clientData, const char* def) {
    TweakPanelLibrary::Var v;
    v.name = Name(name);
    v.kind = TweakVarKind::Button;
    v.buttonCallback = callback;  // null: the button is shown as a text line
    v.clientData = clientData;
    return Lib().AddVar(bar, std::move(v), def) ? 1 : 0;
}

int TwAddSeparator(TwBar* bar, const char* name, const char* def) {
    TweakPanelLibrary& lib = Lib();
    TweakPanelLibrary::Var v;
    v.kind = TweakVarKind::Separator;
    v.name = Name(name);
    if (v.name.empty()) {
        // Unnamed separators are allowed: give each a name of its own.
        static unsigned counter = 0;
        v.name = "__separator" + std::to_string(++counter);
    }
    return lib.AddVar(bar, std::move(v), def) ? 1 : 0;
}

int TwDefine(const char* def) {
    return Lib().Define(def) ? 1 : 0;
}

TwType TwDefineEnum(const char* name, const TwEnumVal* enumValues, unsigned int nbValues) {
    return Lib().DefineEnum(name, enumValues, nbValues);
}

int TwSetParam(TwBar* bar, const char* varName, const char* paramName, TwParamValueType paramValueType,
               unsigned int inValueCount, const void* inValues) {
    TweakPanelLibrary& lib = Lib();
    TweakPanelLibrary::Bar* b = lib.Find(bar, "TwSetParam");
    if (!b) return 0;
    if (!paramName || !*paramName || !inValues || inValueCount == 0) {
        lib.Error("TwSetParam: missing parameter name or value");
        return 0;
    }
    std::string value;
    switch (paramValueType) {
        case TW_PARAM_CSTRING:
            value = static_cast<const char*>(inValues);
            break;
        case TW_PARAM_INT32:
            for (unsigned k = 0; k < inValueCount; ++k)
                value += (k ? " " : "") + std::to_string(static_cast<const int*>(inValues)[k]);
            break;
        case TW_PARAM_FLOAT:
        case TW_PARAM_DOUBLE:
            for (unsigned k = 0; k < inValueCount; ++k) {
                double d = paramValueType == TW_PARAM_FLOAT ? static_cast<const float*>(inValues)[k]
                                                            : static_cast<const double*>(inValues)[k];
                char buffer[64];
                std::snprintf(buffer, sizeof buffer, "%g", d);
                value += (k ? " " : "") + std::string(buffer);
            }
            break;
        default:
            lib.Error("TwSetParam: unknown value type");
            return 0;
    }
    std::string key = paramName;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string item = varName ? varName : "";
    return lib.ApplyParam(b, item, key, value) ? 1 : 0;
}

void TwCopyCDStringToLibrary(char** destinationLibraryStringPtr, const char* sourceClientString) {
    if (!destinationLibraryStringPtr) return;
    std::free(*destinationLibraryStringPtr);
    const char* text = sourceClientString ? sourceClientString : "";
    size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    if (copy) std::memcpy(copy, text, size);
    *destinationLibraryStringPtr = copy;
}

int TwInit(TwGraphAPI, void*) {
    return TweakPanelRenderer::Create() ? 1 : 0;
}

int TwTerminate() {
    TweakPanelRenderer::Destroy();
    TweakPanelLibrary::Get().DeleteAllBars();
    return 1;
}

int TwWindowSize(int width, int height) {
    TweakPanelLibrary& lib = Lib();
    if (width <= 0 || height <= 0) {
        lib.Error("TwWindowSize: empty window");
        return 0;
    }
    lib.windowWidth = width;
    lib.windowHeight = height;
    return 1;
}

int TwDraw() {
    if (TweakPanelRenderer* renderer = TweakPanelRenderer::Get())
        renderer->Draw();
    else
        TweakPanelLibrary::Get().RunPending();
    return 1;
}

int TwEventWin(const WindowEvent& event) {
    TweakPanelRenderer* renderer = TweakPanelRenderer::Get();
    return renderer && renderer->Event(event) ? 1 : 0;
}
