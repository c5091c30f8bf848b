// The scalar descriptors. Their panel bindings are in TweakBinding.cpp.
#include "reflection/Meta.h"

#include <cstring>

#include <lua.hpp>

#include "reflection/ValueText.h"

// int ---------------------------------------------------------------------
std::string Meta<int>::GetName() const {
    return "int";
}
std::string Meta<int>::ToString(const void* value) const {
    return std::to_string(*static_cast<const int*>(value));
}
void Meta<int>::FromLua(void* value, lua_State* L) const {
    if (!lua_isnil(L, -1)) *static_cast<int*>(value) = lua_read::RoundToInt(lua_read::ToNumber(L, -1));
    lua_pop(L, 1);
}
int Meta<int>::GetTweakType() const {
    return 10;
}
bool Meta<int>::Equals(const void* a, const void* b) const {
    return *static_cast<const int*>(a) == *static_cast<const int*>(b);
}

// unsigned ----------------------------------------------------------------
std::string Meta<unsigned>::GetName() const {
    return "unsigned";
}
std::string Meta<unsigned>::ToString(const void* value) const {
    return std::to_string(*static_cast<const unsigned*>(value));
}
void Meta<unsigned>::FromLua(void* value, lua_State* L) const {
    if (!lua_isnil(L, -1)) *static_cast<unsigned*>(value) = lua_read::TruncateToUnsigned(lua_read::ToNumber(L, -1));
    lua_pop(L, 1);
}
int Meta<unsigned>::GetTweakType() const {
    return 11;
}
bool Meta<unsigned>::Equals(const void* a, const void* b) const {
    return *static_cast<const unsigned*>(a) == *static_cast<const unsigned*>(b);
}

// float -------------------------------------------------------------------
std::string Meta<float>::GetName() const {
    return "float";
}
std::string Meta<float>::ToString(const void* value) const {
    return value_text::FormatFloat(*static_cast<const float*>(value));
}
void Meta<float>::FromLua(void* value, lua_State* L) const {
    if (!lua_isnil(L, -1)) *static_cast<float*>(value) = lua_read::ToFloat(lua_read::ToNumber(L, -1));
    lua_pop(L, 1);
}
int Meta<float>::GetTweakType() const {
    return 12;
}
bool Meta<float>::Equals(const void* a, const void* b) const {
    return *static_cast<const float*>(a) == *static_cast<const float*>(b);
}

// bool --------------------------------------------------------------------
std::string Meta<bool>::GetName() const {
    return "bool";
}
std::string Meta<bool>::ToString(const void* value) const {
    unsigned char byte;
    std::memcpy(&byte, value, 1);
    return byte ? "true" : "false";
}
void Meta<bool>::FromLua(void* value, lua_State* L) const {
    *static_cast<bool*>(value) = lua_toboolean(L, -1) != 0;
    lua_pop(L, 1);
}
int Meta<bool>::GetTweakType() const {
    return 1;
}
bool Meta<bool>::Equals(const void* a, const void* b) const {
    return std::memcmp(a, b, 1) == 0;
}

// std::string -------------------------------------------------------------
std::string Meta<std::string>::GetName() const {
    return "std::string";
}
std::string Meta<std::string>::ToString(const void* value) const {
    return value_text::Quote(*static_cast<const std::string*>(value));
}
// Strings and numbers (as Lua's text of them) are read, up to the first NUL,
// their bytes charged to the scene's MemberBudget before they are copied;
// any other non-nil value leaves the string as it was.
void Meta<std::string>::FromLua(void* value, lua_State* L) const {
    const int type = lua_type(L, -1);
    if (type == LUA_TSTRING || type == LUA_TNUMBER) {
        const char* text = lua_tostring(L, -1);
        const std::size_t length = std::strlen(text);
        MemberBudget::ChargeRead(length);
        static_cast<std::string*>(value)->assign(text, length);
    }
    lua_pop(L, 1);
}
int Meta<std::string>::GetTweakType() const {
    return 0x2fff001c;
}
bool Meta<std::string>::Equals(const void* a, const void* b) const {
    return *static_cast<const std::string*>(a) == *static_cast<const std::string*>(b);
}

// NullType: the sentinel's type; nothing to write, read or compare. ---------
std::string Meta<NullType>::GetName() const {
    return "NullType";
}
std::string Meta<NullType>::ToString(const void*) const {
    return "";
}
void Meta<NullType>::FromLua(void*, lua_State*) const {}
int Meta<NullType>::GetTweakType() const {
    return 0;
}
bool Meta<NullType>::Equals(const void*, const void*) const {
    return true;
}
