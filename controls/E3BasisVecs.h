// The three basis axes as the payload of kMsgAxisLock: 0 x, 1 y, 2 z. Four
// bytes, an unsigned int on the wire (the editor's axis-lock keys send it
// with MessageAction<E3BasisVecs>).
#pragma once

#include "core/Types.h"

enum E3BasisVecs : u32 {
    E3BasisX = 0,
    E3BasisY = 1,
    E3BasisZ = 2,
};

static_assert(sizeof(E3BasisVecs) == sizeof(u32), "an axis travels as a 4-byte unsigned int");
