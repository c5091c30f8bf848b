// Round trip of a reflected component through its value text, as scene and
// archetype files store it: written in full as MemberText, run as Lua
// ("return <text>") and read back into a second object member by member.
// Shared by the light, sky box and screen text tests.
#pragma once
#include <gtest/gtest.h>

#include <lua.hpp>

#include <string>

#include "core/TypeId.h"
#include "reflection/DataError.h"
#include "reflection/MemberText.h"
#include "reflection/Meta.h"
#include "reflection/MetaRegistry.h"

// The full text of `object` (T must be registered).
template <class T>
std::string FullText(const T& object) {
    const IMetaClass* metaClass = MetaRegistry::Instance()->GetByTypeId(TypeId<T>::Get());
    return metaClass ? MemberText::WriteFull(*metaClass, &object) : std::string();
}

// Reads `text` (a Lua table literal) into `object`; false when the text does
// not run or cannot be read.
template <class T>
bool ReadText(const std::string& text, T& object) {
    lua_State* L = luaL_newstate();
    const std::string chunk = "return " + text;
    bool ok = luaL_loadbuffer(L, chunk.data(), chunk.size(), "text") == 0 && lua_pcall(L, 0, 1, 0) == 0;
    if (ok) {
        try {
            Meta<T>::Get()->FromLua(&object, L);
        } catch (const DataError&) {
            ok = false;
        }
    }
    lua_close(L);
    return ok;
}
