// Struct descriptors. Their panel binding is in TweakBinding.cpp.
#include "reflection/StructMeta.h"

#include <lua.hpp>

#include "reflection/DataError.h"
#include "reflection/IMetaClass.h"
#include "reflection/LuaRead.h"
#include "reflection/MemberBudget.h"
#include "reflection/MemberText.h"
#include "reflection/MetaRegistry.h"

const IMetaClass* StructMeta::Class() const {
    MetaRegistry* registry = MetaRegistry::Instance();
    return registry ? registry->GetByTypeId(GetTypeId()) : nullptr;
}

std::string StructMeta::GetName() const {
    const IMetaClass* c = Class();
    return c ? c->GetName() : std::string();
}

std::string StructMeta::ToString(const void* value) const {
    const IMetaClass* c = Class();
    return c ? MemberText::WriteFull(*c, value) : std::string("{  }");
}

void StructMeta::FromLua(void* value, lua_State* L) const {
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        return;
    }
    if (!lua_istable(L, -1))
        throw DataError(": table expected for " + GetName() + ", got " + lua_read::TypeName(L, -1));
    const int table = lua_gettop(L);
    if (const IMetaClass* c = Class())
        for (IMetaMemVar* m = FirstWalkedMember(*c); m; m = m->Next()) m->ReadFromLua(value, L);
    lua_settop(L, table - 1);
}

int StructMeta::GetTweakType() const {
    const IMetaClass* c = Class();
    return c ? c->GetTweakType() : 0;
}

bool StructMeta::Equals(const void* a, const void* b) const {
    const IMetaClass* c = Class();
    if (!c) return true;
    for (IMetaMemVar* m = FirstWalkedMember(*c); m; m = m->Next())
        if (!m->Equals(a, b)) return false;
    return true;
}

std::string StructMeta::ToStringIfDifferent(const void* a, const void* b) const {
    const IMetaClass* c = Class();
    return c ? MemberText::WriteDifferences(*c, a, b) : std::string();
}

u64 StructMeta::HeldBytes(const void* value) const {
    const IMetaClass* c = Class();
    return c ? MemberBudget::Measure(*c, value) : 0;
}
