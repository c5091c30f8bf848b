// Helpers of the value readers for the Lua stack: number conversion with
// defined results for NaN, infinities and out-of-range values, type names for
// error texts, and the walk over a table's values that the container readers
// share. Every helper leaves the stack as its comment says. Main thread only.
#pragma once
#include <cstddef>
#include <string>

#include "core/Types.h"

struct lua_State;

namespace lua_read {

// The value at idx as Lua converts it to a number (numbers, numeric strings
// with blanks and hexadecimal); 0 for anything else.
double ToNumber(lua_State* L, int idx);
// Nearest integer, ties to even; NaN gives 0, out-of-range values the nearest
// end of the int range.
int RoundToInt(double value);
// Truncated toward zero to 64 bits (clamped; NaN gives 0), low 32 bits kept.
u32 TruncateToUnsigned(double value);
// The nearest float; beyond the float range the infinity of its sign.
float ToFloat(double value);
// The Lua length of the table, or of the string, on the stack top; 0 for
// any other value.
u64 TableLength(lua_State* L);
u64 StringLength(lua_State* L);
// "number", "table"... of the value at idx.
std::string TypeName(lua_State* L, int idx);
// Throws DataError when the stack cannot grow by `slots`.
void EnsureStack(lua_State* L, int slots);
// The error a failed load or protected call of the file `path` left on the
// stack top (not popped), worded so that it names the file: a message with
// Lua's "path:line:" in front (the path maybe shortened to "...<its end>")
// stays as it is; others (a budget hook's text, "not enough memory", an
// error value that is no string) get "path: " in front.
std::string FileError(lua_State* L, const std::string& path);

// Why LoadSource refused a text: Lua 5.1 does not verify precompiled chunks,
// so a crafted one can corrupt the interpreter's memory.
inline constexpr const char* kPrecompiledRefused = "precompiled chunks are not accepted";
// Whether the text starts with Lua's binary signature.
bool IsPrecompiled(const char* text, std::size_t size);
// Compiles `size` bytes of Lua source as the chunk `chunkName`: the function,
// or the error text, is left on the stack top and Lua's status is returned
// (0 on success). A precompiled chunk is refused unread with the error
// kPrecompiledRefused. Every reader of data files loads through this.
int LoadSource(lua_State* L, const char* text, std::size_t size, const std::string& chunkName);

using ValueReader = void (*)(void* context, lua_State* L, std::size_t index);

// Reads the table on the stack top value by value (lua_next order): for each
// of the first `limit` values, read(context, L, index) runs with the value on
// the top and must pop it. Pops the table. A nil on the top is popped and
// false returned; anything else that is no table throws DataError naming
// `typeName`.
bool ForEachValue(lua_State* L, const std::string& typeName, std::size_t limit, ValueReader read, void* context);

}  // namespace lua_read
