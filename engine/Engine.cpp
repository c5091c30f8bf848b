#include "engine/Engine.h"

#include <chrono>

#include "core/Assert.h"
#include "engine/Graveyard.h"
#include "engine/Logger.h"
#include "port/os/QuitSignals.h"

namespace {
using Clock = std::chrono::steady_clock;

double SecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}
}  // namespace

Engine::Engine() : ISystem(TypeId<Engine>::Get()) {}

// The loop deletes the systems when it ends; an Engine whose loop never ran
// (start-up cut short) still frees what it owns.
Engine::~Engine() {
    DeleteSystems();
    systems_.clear();
}

void Engine::Deactivate() {
    UnsubscribeAll();
}

void Engine::AddSystem(ISystem* system) {
    if (!system) return;
    // Messages and GetSystem reach a system by its type id: a second one
    // under the same id would be unreachable.
    DD_ASSERT(!systems_.count(system->GetTypeId()), "a second system with the same type id");
    ISystem::AddSystem(system);
    systems_[system->GetTypeId()] = system;
    cursor_ = GetChildHead();
}

void Engine::RemoveSystem(ISystem* system) {
    if (!DetachNode(this, system)) return;
    systems_.erase(system->GetTypeId());
    delete system;
    cursor_ = GetChildHead();
}

ISystem* Engine::GetSystem(u32 typeId) {
    if (typeId == GetTypeId()) return this;
    auto found = systems_.find(typeId);
    if (found != systems_.end()) return found->second;
    for (const auto& [id, system] : systems_) {
        if (system->GetChildCount() == 0) continue;
        for (ISystem* child = system->GetChildHead(); child; child = child->GetNext())
            if (child->GetTypeId() == typeId) return child;
    }
    return nullptr;
}

void Engine::ActivateSystem(u32 typeId) {
    ISystem* system = GetSystem(typeId);
    if (!system) return;
    system->SetActive(true);
    system->Activate();
}

void Engine::TogglePauseSystem(u32 typeId) {
    ISystem* system = GetSystem(typeId);
    if (!system) return;
    system->SetPaused(!system->IsPaused());
}

void Engine::Init() {
    for (ISystem* system = GetChildHead(); system; system = system->GetNext()) {
        system->Init();
        if (system->IsActive()) {
            system->SetActive(true);
            system->Activate();
        }
    }
    SetActive(true);
    Activate();
}

void Engine::Clear() {
    for (ISystem* system = GetChildHead(); system; system = system->GetNext()) system->Clear();
}

void Engine::Update(float) {
    if (IsActive()) {
        MarkFrameLoopStarted();
        float dt = fixedFrameSeconds_ > 0.0f ? fixedFrameSeconds_ : 0.0f;
        do {
            const Clock::time_point frameStart = Clock::now();
            if (frameStartHook_) frameStartHook_();
            if (MessageHub* hub = MessageHub::Instance()) hub->DispatchQueued();

            cursor_ = GetChildHead();
            while (cursor_) {
                if (cursor_->IsActive()) {
                    const Clock::time_point t0 = Clock::now();
                    cursor_->Update(dt);
                    const Clock::time_point t1 = Clock::now();
                    // The update may have removed the last top-level system.
                    if (!cursor_) break;
                    Log("PERF: %s ran %f ms", cursor_->GetName(), SecondsBetween(t0, t1) * 1000.0);
                }
                cursor_ = cursor_->GetNext();
            }

            const double frameSeconds = SecondsBetween(frameStart, Clock::now());
            Log("FRAMETIME: %f", frameSeconds * 1000.0);
            lastFrameSeconds_ = static_cast<float>(frameSeconds);
            dt = fixedFrameSeconds_ > 0.0f ? fixedFrameSeconds_ : lastFrameSeconds_;

            if (Graveyard* graveyard = Graveyard::Instance()) graveyard->Collect(lastFrameSeconds_);
            if (Logger* logger = Logger::Instance()) {
                logger->FlushFrame(10);
                logger->IncrementFrame();
            }
            if (QuitSignalReceived()) SetActive(false);
        } while (IsActive());
    }
    DeleteSystems();
}

void Engine::DeleteSystems() {
    cursor_ = nullptr;
    while (GetChildCount() != 0) {
        ISystem* last = GetChildHead();
        for (u32 i = 1; i < GetChildCount() && last->GetNext(); ++i) last = last->GetNext();
        DetachNode(this, last);
        // Forget it before it goes, so lookups during the remaining teardown
        // never return a freed system.
        auto entry = systems_.find(last->GetTypeId());
        if (entry != systems_.end() && entry->second == last) systems_.erase(entry);
        delete last;
    }
}
