// The bound on the contacts one collision pass reports in a physics step (a
// log row and a collision message each): a level's handful of contacts is
// far below it, while colliders heaped at one spot would otherwise report a
// million pairs a step. Past it the step's further contacts are not reported,
// with one log row per scene. Owned by the pass (Physics's cylinder handler,
// the CollisionSystem); main thread only.
#pragma once
#include "core/Types.h"

class ContactBudget {
public:
    // Contacts reported per pass and step; the shipped levels, played
    // through, reach 3 sphere and 1 cylinder contacts in a step.
    static constexpr u32 kPerStep = 256;

    // `pass` names the contacts in the row ("cylinder", "sphere").
    explicit ContactBudget(const char* pass) : pass_(pass) {}

    // A new step: its count starts at 0.
    void StartStep() { used_ = 0; }
    // True while the step has room for one more contact, which it then
    // counts; false past the bound, logging one row the first time a scene
    // passes it.
    bool Take();
    // The scene was cleared: the next step past the bound is logged again.
    void NewScene() { reported_ = false; }
    u32 Used() const { return used_; }

private:
    const char* pass_;
    u32 used_ = 0;
    bool reported_ = false;
};
