// Reads a reflected component from value text as scene and archetype files
// store it: run as Lua ("return <text>") and read member by member. Used by
// the screen text tests.
#pragma once
#include <gtest/gtest.h>

#include <lua.hpp>

#include <string>

#include "reflection/DataError.h"
#include "reflection/Meta.h"

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
