// The descriptor work shared by every struct and pointer type: it finds the
// type's class in the MetaRegistry by type id and works member by member.
// A type without a registered class has no members: it writes "{  }", equals
// everything, and refuses to be read from a non-empty table. Main thread only.
#pragma once
#include "reflection/IMeta.h"

class IMetaClass;

class StructMeta : public IMeta {
public:
    std::string GetName() const override;
    std::string ToString(const void* value) const override;
    void FromLua(void* value, lua_State* L) const override;
    int GetTweakType() const override;
    void AddToTweakBar(void* value, TwBar* bar, const std::string& name, TweakVarParams& params,
                       const std::string& suffix) const override;
    bool Equals(const void* a, const void* b) const override;
    std::string ToStringIfDifferent(const void* a, const void* b) const override;
    u64 HeldBytes(const void* value) const override;

protected:
    ~StructMeta() = default;
    const IMetaClass* Class() const;
};
