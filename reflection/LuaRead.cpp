#include "reflection/LuaRead.h"

#include <cmath>
#include <limits>

#include <lua.hpp>

#include "reflection/DataError.h"

namespace lua_read {

double ToNumber(lua_State* L, int idx) {
    return lua_tonumber(L, idx);
}

int RoundToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int>::min();
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) rounded = below + 1.0;
    return static_cast<int>(rounded);
}

u32 TruncateToUnsigned(double value) {
    if (std::isnan(value)) return 0;
    i64 whole;
    if (value >= 9223372036854775808.0)
        whole = std::numeric_limits<i64>::max();
    else if (value < -9223372036854775808.0)
        whole = std::numeric_limits<i64>::min();
    else
        whole = static_cast<i64>(value);
    return static_cast<u32>(static_cast<u64>(whole));
}

float ToFloat(double value) {
    if (std::isfinite(value) && std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
        // Values past the largest float still round to it within half a step.
        const double limit = 3.4028235677973366e38;  // FLT_MAX + half an ulp
        if (std::fabs(value) >= limit)
            return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
        return value > 0 ? std::numeric_limits<float>::max() : -std::numeric_limits<float>::max();
    }
    return static_cast<float>(value);
}

namespace {
// Whether Lua's "chunk:" place in front of the message is the file's: its
// whole path, or (as Lua shortens a long one from the left) "..." and the
// path's end.
bool PlaceNamesFile(const std::string& message, const std::string& path) {
    if (message.compare(0, path.size(), path) == 0 && message.size() > path.size() && message[path.size()] == ':')
        return true;
    if (message.compare(0, 3, "...") != 0) return false;
    for (std::size_t colon = message.find(':', 3); colon != std::string::npos; colon = message.find(':', colon + 1)) {
        const std::size_t length = colon - 3;
        if (length > 0 && length <= path.size() && path.compare(path.size() - length, length, message, 3, length) == 0)
            return true;
    }
    return false;
}
}  // namespace

std::string FileError(lua_State* L, const std::string& path) {
    const char* text = lua_tostring(L, -1);
    const std::string message = text ? text : "an error value of type " + TypeName(L, -1);
    return PlaceNamesFile(message, path) ? message : path + ": " + message;
}

bool IsPrecompiled(const char* text, std::size_t size) {
    return size > 0 && text[0] == LUA_SIGNATURE[0];
}

int LoadSource(lua_State* L, const char* text, std::size_t size, const std::string& chunkName) {
    if (IsPrecompiled(text, size)) {
        lua_pushstring(L, kPrecompiledRefused);
        return LUA_ERRSYNTAX;
    }
    return luaL_loadbuffer(L, text, size, chunkName.c_str());
}

u64 TableLength(lua_State* L) {
    return lua_istable(L, -1) ? lua_objlen(L, -1) : 0;
}

u64 StringLength(lua_State* L) {
    return lua_type(L, -1) == LUA_TSTRING ? lua_objlen(L, -1) : 0;
}

std::string TypeName(lua_State* L, int idx) {
    return lua_typename(L, lua_type(L, idx));
}

void EnsureStack(lua_State* L, int slots) {
    if (!lua_checkstack(L, slots)) throw DataError(": values nested too deeply");
}

bool ForEachValue(lua_State* L, const std::string& typeName, std::size_t limit, ValueReader read, void* context) {
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        return false;
    }
    if (!lua_istable(L, -1)) throw DataError(": table expected for " + typeName + ", got " + TypeName(L, -1));
    EnsureStack(L, 4);
    const int table = lua_gettop(L);
    lua_pushnil(L);
    std::size_t index = 0;
    while (index < limit && lua_next(L, table) != 0) {
        try {
            read(context, L, index);
        } catch (const DataError& e) {
            throw e.Within("[" + std::to_string(index + 1) + "]");
        }
        lua_settop(L, table + 1);  // the key stays for lua_next
        ++index;
    }
    lua_settop(L, table - 1);
    return true;
}

}  // namespace lua_read
