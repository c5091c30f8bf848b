// The level trigger that broadcasts trigger codes at listed times: codes[i]
// once its clock has reached times[i] (seconds, ascending), at most one code
// per update. The clock starts at construction (a clone goes on from its
// source's clock). BehaviorSystem steps every TimeLord; Physics also steps
// the last one announced, whose clock then runs on both. Owned by its
// object; main thread only.
#pragma once
#include <vector>

#include "engine/Component.h"

class TimeLord : public Component<TimeLord> {
public:
    TimeLord() = default;
    static void Reflect(MemberList<TimeLord>& members);

    // Adds step seconds, then sends the next code whose time has come. A
    // time that is not a number is passed over with a log row; times
    // without a code send nothing (one log row).
    void Update(float step) override;

    // Reflected, in file order.
    std::vector<float> times;
    std::vector<i32> codes;

    double elapsed = 0.0;  // seconds
    u32 index = 0;         // the next entry
};
