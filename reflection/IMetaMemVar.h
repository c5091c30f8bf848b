// One reflected member of a class: its name (the key in every data file),
// byte offset, value descriptor and whether panels show it. Records form a
// list per class, newest first, behind the class's sentinel record; they live
// until the program ends. Main thread only.
#pragma once
#include <string>

#include "core/Types.h"
#include "reflection/IMeta.h"

class IMetaMemVar {
public:
    virtual u32 GetOffset() const = 0;
    virtual IMetaMemVar* Next() const = 0;
    virtual const std::string& GetName() const = 0;
    // "name = value" for a pointer to the member itself.
    virtual std::string ToString(const void* member) const = 0;
    // "name = value, " when the member of a differs from the member of b, else "".
    virtual std::string ToStringIfDifferent(const void* a, const void* b) const = 0;
    // Looks the member name up in the table on the stack top; a non-nil value
    // is read into the member. The table stays on the stack.
    virtual void ReadFromLua(void* object, lua_State* L) const = 0;
    virtual void AddToTweakBar(void* object, TwBar* bar, TweakVarParams& params, const std::string& prefix) const = 0;
    virtual bool Equals(const void* a, const void* b) const = 0;

    virtual const IMeta* GetType() const = 0;
    virtual bool IsShown() const = 0;

protected:
    ~IMetaMemVar() = default;
};
