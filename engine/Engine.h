// The Engine: the top-level system that owns every engine system, finds them
// by type id, initialises them and runs the frame loop. Created by the program
// entry before any system; its frame loop deletes the systems when it ends
// (first-created first; the destructor frees any left when the loop never
// ran), the entry destroys the Engine afterwards. Reached
// through Engine::Instance(). Main thread only.
#pragma once
#include <functional>
#include <map>

#include "core/Singleton.h"
#include "engine/ISystem.h"

class Engine : public ISystem, public Singleton<Engine> {
public:
    Engine();
    ~Engine() override;

    using Singleton<Engine>::Instance;

    // The frame loop: returns once the active flag is cleared (by the window's
    // quit, a quit control or a quit signal) and the systems are deleted.
    // The argument is not used.
    void Update(float dt) override;
    // Init each top-level system in list order, activating each active one at
    // once; then the Engine sets its own active flag and activates itself.
    void Init() override;
    // Clear of each top-level system in list order.
    void Clear() override;
    void Deactivate() override;
    void AddSystem(ISystem* system) override;
    void RemoveSystem(ISystem* system) override;

    // The Engine itself, a top-level system, or a direct child of a top-level
    // system; null when none has the type id.
    ISystem* GetSystem(u32 typeId);
    template <class T>
    T* GetSystem() {
        return static_cast<T*>(GetSystem(TypeId<T>::Get()));
    }
    // Sets the system's active flag and calls its Activate; nothing when absent.
    void ActivateSystem(u32 typeId);
    // Flips the paused flag through the system's own SetPaused; nothing when absent.
    void TogglePauseSystem(u32 typeId);

    // The previous frame's measured time in seconds (0 before the first frame ends).
    float GetLastFrameSeconds() const { return lastFrameSeconds_; }

    // Runs at the start of every frame, before the message drain; none in a
    // plain run. A hook that clears the Engine's active flag ends the loop
    // after that frame.
    void SetFrameStartHook(std::function<void()> hook) { frameStartHook_ = std::move(hook); }
    // Every frame's dt, the first one's too, becomes `seconds` when above 0
    // (0 gives back the measured time). "FRAMETIME:", the Graveyard's budget
    // and GetLastFrameSeconds keep the measured time.
    void SetFixedFrameTime(float seconds) { fixedFrameSeconds_ = seconds; }

private:
    void DeleteSystems();

    std::map<u32, ISystem*> systems_;
    // A field, not a local: a system that adds or removes a top-level system
    // during its update resets it to the list head.
    ISystem* cursor_ = nullptr;
    float lastFrameSeconds_ = 0.0f;
    float fixedFrameSeconds_ = 0.0f;
    std::function<void()> frameStartHook_;
};
