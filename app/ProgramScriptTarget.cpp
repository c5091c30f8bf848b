#include "app/ProgramScriptTarget.h"

#include "engine/Engine.h"
#include "port/gpu/GpuPicture.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/window/PortWindow.h"
#include "port/window/WindowTestInput.h"
#include "render/GraphicsSystem.h"

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
    GraphicsSystem* graphics = engine_.GetSystem<GraphicsSystem>();
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
