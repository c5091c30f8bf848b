#include "app/ProgramScriptTarget.h"

#include <algorithm>

#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/IComponent.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/dialogs/FileDialogScript.h"
#include "port/dialogs/QuestionBoxScript.h"
#include "port/gpu/GpuPicture.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/panels/TweakPanelsProbe.h"
#include "port/window/PortWindow.h"
#include "port/window/WindowTestInput.h"
#include "render/IGraphics.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"

ProgramScriptTarget::ProgramScriptTarget(Engine& engine, std::string shotFolder)
    : engine_(engine), shotFolder_(std::move(shotFolder)) {}

void ProgramScriptTarget::Key(u32 vk, bool down) {
    TestPushKey(vk, down);
}

void ProgramScriptTarget::MovePointer(int x, int y) {
    pointer_ = {x, y};
    TestPushMouseMove(x, y);
}

void ProgramScriptTarget::Button(u32 button, bool down) {
    std::pair<int, int> at{0, 0};
    if (pointer_)
        at = *pointer_;
    else if (PortWindow* window = PortWindow::Current())
        at = {window->MouseX(), window->MouseY()};
    TestPushMouseButton(button, down, at.first, at.second);
}

ISystem* ProgramScriptTarget::FindSystem(const std::string& name) const {
    for (ISystem* system = engine_.GetChildHead(); system; system = system->GetNext()) {
        if (name == system->GetName()) return system;
        for (ISystem* child = system->GetChildHead(); child; child = child->GetNext())
            if (name == child->GetName()) return child;
    }
    return nullptr;
}

bool ProgramScriptTarget::SystemFlags(const std::string& name, bool* active, bool* paused) {
    ISystem* system = FindSystem(name);
    if (!system) return false;
    *active = system->IsActive();
    *paused = system->IsPaused();
    return true;
}

bool ProgramScriptTarget::SaveShot(const std::string& name, std::string* error) {
    if (shotFolder_.empty()) {
        *error = "DD_SHOT_DIR is not set";
        return false;
    }
    const IGraphics* graphics = IGraphics::Find(&engine_);
    GpuSwapChain* swapChain = graphics ? graphics->GetSwapChain() : nullptr;
    if (!swapChain || !swapChain->GetBuffer()) {
        *error = "no frame has been drawn";
        return false;
    }
    return GpuPicture::SavePng(*swapChain->GetBuffer(), shotFolder_ + "/" + name + ".png", error);
}

void ProgramScriptTarget::Quit() {
    engine_.SetActive(false);
}

bool ProgramScriptTarget::PanelEntryCentre(const std::string& barName, const std::string& entry, int* x, int* y,
                                           std::string* why) {
    TwBar* bar = TwInspectFindBar(barName.c_str());
    TweakVarInfo info;
    if (!bar) {
        *why = "no panel bar is named " + barName;
        return false;
    }
    if (!TwInspectVar(bar, entry.c_str(), &info)) {
        *why = "the bar " + barName + " has no entry named " + entry;
        return false;
    }
    float ex, ey, ew, eh, bx, by, bw, bh;
    if (!TwInspectItemFieldRect(bar, entry.c_str(), &ex, &ey, &ew, &eh) ||
        !TwInspectBarInnerRect(bar, &bx, &by, &bw, &bh)) {
        *why = "the entry " + entry + " of the bar " + barName + " was not drawn";
        return false;
    }
    const float cx = ex + ew * 0.5f, cy = ey + eh * 0.5f;
    if (cx < bx || cy < by || cx >= bx + bw || cy >= by + bh) {
        *why = "the entry " + entry + " lies outside the visible part of the bar " + barName;
        return false;
    }
    *x = static_cast<int>(cx);
    *y = static_cast<int>(cy);
    return true;
}

bool ProgramScriptTarget::PanelEntryHeld(const std::string& barName, const std::string& entry, std::string* why) {
    TwBar* bar = TwInspectFindBar(barName.c_str());
    if (bar && TwInspectItemHeld(bar, entry.c_str())) return true;
    TweakVarInfo info;
    if (bar && TwInspectVar(bar, entry.c_str(), &info) && info.readOnly)
        *why = "the entry " + entry + " of the bar " + barName + " is read-only";
    else
        *why = "the click did not reach the entry " + entry + " of the bar " + barName;
    return false;
}

void ProgramScriptTarget::AnswerDialog(const std::string& path) {
    FileDialogScriptAnswer(path);
}

void ProgramScriptTarget::CancelDialog() {
    FileDialogScriptCancel();
}

void ProgramScriptTarget::ClickAnswer(const std::string& label) {
    QuestionBoxScriptClick(label);
}

void ProgramScriptTarget::CloseWindow() {
    TestPushClose();
}

int ProgramScriptTarget::PanelScrollToward(const std::string& barName, const std::string& entry, int* x, int* y) {
    TwBar* bar = TwInspectFindBar(barName.c_str());
    float ex, ey, ew, eh, bx, by, bw, bh;
    if (!bar || !TwInspectItemFieldRect(bar, entry.c_str(), &ex, &ey, &ew, &eh) ||
        !TwInspectBarInnerRect(bar, &bx, &by, &bw, &bh))
        return 0;
    *x = static_cast<int>(bx + bw * 0.5f);
    *y = static_cast<int>(by + bh * 0.5f);
    const float cy = ey + eh * 0.5f;
    return cy >= by + bh ? -1 : cy < by ? 1 : 0;
}

void ProgramScriptTarget::Wheel(int notches) {
    TestPushMouseWheel(notches);
}

void ProgramScriptTarget::Type(const std::string& text) {
    // A text event holds at most 31 bytes; UTF-8 sequences are not cut.
    for (size_t at = 0; at < text.size();) {
        size_t end = std::min(text.size(), at + 31);
        while (end < text.size() && end > at && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        TestPushText(text.substr(at, end - at).c_str());
        at = end;
    }
}

bool ProgramScriptTarget::DropFiles(const std::vector<std::string>& files, std::string* why) {
    return TestPushDrop(files, why);
}

bool ProgramScriptTarget::ComponentPlace(const std::string& className, float place[3], std::string* why) {
    ObjectFactory* factory = ObjectFactory::Instance();
    const IComponent* prototype = factory ? factory->GetPrototype(className) : nullptr;
    SceneManager* scene = SceneManager::Instance();
    if (!prototype || !scene) {
        *why = "no component class is named " + className;
        return false;
    }
    for (u32 id : scene->GetObjectIds()) {
        const GameObject* object = Overlord::FindObject(id);
        if (!object || !object->GetComponentByTypeId(prototype->GetTypeId())) continue;
        const Transform* transform = object->GetComponent<Transform>();
        if (!transform) continue;
        place[0] = transform->position.x;
        place[1] = transform->position.y;
        place[2] = transform->position.z;
        return true;
    }
    *why = "no scene object with a Transform holds a " + className;
    return false;
}
