#include "TestTypes.h"

Everything::Everything() {
    static bool first = true;
    if (!first) return;
    first = false;
    using M = MetaMemVar<Everything>;
    M::Add("count", this, count);
    M::Add("mask", this, mask);
    M::Add("speed", this, speed);
    M::Add("on", this, on);
    M::Add("text", this, text);
    M::Add("where", this, where);
    M::Add("speeds", this, speeds);
    M::Add("path", this, path);
    M::Add("poses", this, poses);
    M::Add("flags", this, flags);
    M::Add("names", this, names);
    M::Add("hidden", this, hidden, false);
}

LateMembers::LateMembers() {
    static bool first = true;
    if (!first) return;
    first = false;
    using M = MetaMemVar<LateMembers>;
    M::Add("camSpeed", this, camSpeed);
    M::Add("rotateMode", this, rotateMode);
    M::Add("axisLocks", this, axisLocks);
}

void RegisterTestTypes(MetaRegistry& registry) {
    static bool members = [] {
        MetaMemVar<Vec3>::AddAt<float>("x", 0);
        MetaMemVar<Vec3>::AddAt<float>("y", 4);
        MetaMemVar<Vec3>::AddAt<float>("z", 8);
        MetaMemVar<Pose>::AddAt<Vec3>("pos", 0);
        MetaMemVar<Pose>::AddAt<Vec3>("dir", 12);
        Everything prototype;
        return true;
    }();
    (void)members;
    registry.Register<Vec3>("Vec3")->SetTweakType(TW_TYPE_DIR3F);
    registry.Register<Pose>("Pose");
    registry.Register<Everything>("Everything");
    registry.Register<LateMembers>("LateMembers");
    LateMembers late;  // first construction after registration adds its members
}
