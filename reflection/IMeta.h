// Descriptor of one value type: name, type id, Lua literal text, reading back
// from the top of the Lua stack, comparison, the differences text and the
// tweak-panel binding. Exactly one descriptor per type (Meta<T>::Get()), made
// on first use and kept for the whole run; descriptors are never deleted.
// Main thread only.
#pragma once
#include <string>

#include "core/Types.h"
#include "port/panels/TweakPanels.h"

struct lua_State;
struct TweakVarParams;

class IMeta {
public:
    virtual std::string GetName() const = 0;
    virtual u32 GetTypeId() const = 0;
    // Lua literal text of the value.
    virtual std::string ToString(const void* value) const = 0;
    // Reads the value on the stack top into *value and pops it. Throws
    // DataError when the Lua value cannot stand for this type (a table type
    // given a non-table); scalars convert as Lua converts.
    virtual void FromLua(void* value, lua_State* L) const = 0;
    virtual int GetTweakType() const = 0;
    // Adds the panel entries that show *value; the entry's unique name is
    // name + suffix.
    virtual void AddToTweakBar(void* value, TwBar* bar, const std::string& name, TweakVarParams& params,
                               const std::string& suffix) const = 0;
    virtual bool Equals(const void* a, const void* b) const = 0;
    // Text of a in the differences form against b, "" when nothing differs.
    virtual std::string ToStringIfDifferent(const void* a, const void* b) const = 0;
    // The bytes the value holds beyond its own size: list elements at their
    // size, string bytes, and what those hold (MemberBudget counts them).
    virtual u64 HeldBytes(const void*) const { return 0; }
    // The least the value on the Lua stack top (not popped) will hold once
    // read: a list's Lua length in elements, a string's bytes; only lists
    // and strings say more than 0 (IsCounted).
    virtual u64 LuaBytes(lua_State*) const { return 0; }
    virtual bool IsCounted() const { return false; }

protected:
    ~IMeta() = default;
};
