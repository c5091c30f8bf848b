// Small reflected types shared by the reflection tests: a three-float vector
// with a panel type, a record nesting it, a class with every scalar and
// container kind, and a class whose members appear after its registration.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "reflection/MetaRegistry.h"

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

struct Pose {
    Vec3 pos;
    Vec3 dir{0, 0, 1};
};

struct Everything {
    int count = 0;
    unsigned mask = 0;
    float speed = 0;
    bool on = false;
    std::string text;
    Vec3 where;
    std::vector<float> speeds;
    std::deque<Vec3> path;
    std::vector<Pose> poses;
    bool flags[5] = {};
    std::string names[5];
    int hidden = 0;

    Everything();
};

// Registered before any instance exists; its constructor adds the members.
struct LateMembers {
    float camSpeed = 1;
    bool rotateMode = false;
    Vec3 axisLocks;
    LateMembers();
};

// Fresh registry entries for every test type (the member records are made once).
void RegisterTestTypes(MetaRegistry& registry);
