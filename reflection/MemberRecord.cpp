// Member operations. The panel binding is in TweakBinding.cpp.
#include "reflection/MemberRecord.h"

#include <lua.hpp>

#include "reflection/DataError.h"
#include "reflection/LuaRead.h"

namespace {
const char* At(const void* object, u32 offset) {
    return static_cast<const char*>(object) + offset;
}
}  // namespace

std::string MemberRecord::ToString(const void* member) const {
    return name_ + " = " + type_->ToString(member);
}

std::string MemberRecord::ToStringIfDifferent(const void* a, const void* b) const {
    const std::string text = type_->ToStringIfDifferent(At(a, offset_), At(b, offset_));
    return text.empty() ? text : name_ + " = " + text + ", ";
}

void MemberRecord::ReadFromLua(void* object, lua_State* L) const {
    if (!lua_istable(L, -1)) throw DataError(": table expected, got " + lua_read::TypeName(L, -1));
    lua_read::EnsureStack(L, 3);
    const int top = lua_gettop(L);
    lua_pushlstring(L, name_.data(), name_.size());
    lua_gettable(L, -2);
    if (!lua_isnil(L, -1)) {
        try {
            type_->FromLua(const_cast<char*>(At(object, offset_)), L);
        } catch (const DataError& e) {
            throw e.Within(name_);
        }
    }
    lua_settop(L, top);
}

bool MemberRecord::Equals(const void* a, const void* b) const {
    return type_->Equals(At(a, offset_), At(b, offset_));
}
