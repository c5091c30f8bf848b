// The empty value type of a reflected class's sentinel member record: writes
// nothing, reads nothing, is equal to everything.
#pragma once

struct NullType {};
