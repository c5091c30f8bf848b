// A bound on how much of one thing (vertices, track samples, lights) the
// objects of a scene may hold at once, and the shares that hold it: a share is
// taken only when it keeps what is in use within the bound, and given back
// when its holder lets go of it or is destroyed. NewScene starts the count
// afresh (shares taken before it give nothing back). Budgets are static for
// the run (they outlive every holder); main thread only.
#pragma once
#include "core/Types.h"

class SceneBudget {
public:
    // One holder's part of a budget; not copied (a copy holds nothing).
    class Share {
    public:
        Share() = default;
        Share(const Share&) {}
        Share& operator=(const Share&) { return *this; }
        ~Share() { Release(); }
        // Gives back what is held, then takes `amount` when it fits; false
        // (holding nothing) when it would take the budget past its bound.
        bool Take(SceneBudget& budget, u64 amount);
        void Release();
        u64 Amount() const { return budget_ ? amount_ : 0; }
        // Whether it holds a part of its budget's current scene.
        bool Current() const { return budget_ && scene_ == budget_->scene_; }

    private:
        SceneBudget* budget_ = nullptr;
        u64 amount_ = 0;
        u64 scene_ = 0;  // the budget's scene count when taken
    };

    constexpr explicit SceneBudget(u64 bound) : bound_(bound) {}

    u64 Bound() const { return bound_; }
    u64 InUse() const { return inUse_; }
    // Whether `amount` more would stay within the bound.
    bool Fits(u64 amount) const { return amount <= bound_ && inUse_ <= bound_ - amount; }
    // Which scene is counted: a new number at every NewScene.
    u64 Scene() const { return scene_; }
    // True for the first refusal since the last NewScene, false after it:
    // makers that log once per scene ask this.
    bool FirstRefusal();
    // A scene was cleared: nothing is in use, and the next refusal is
    // reported again.
    void NewScene();

private:
    u64 bound_;
    u64 inUse_ = 0;
    u64 scene_ = 0;
    bool reported_ = false;
};
