// One entry of the editor's move history: an object and the world position
// it had at the moment the record was taken (before a move, or before an
// undo or redo changed it). A plain value, copied into the undo and redo
// stacks; the payload of kMsgMoveRecord.
#pragma once
#include "core/Types.h"

struct MoveRecord {
    u32 objectId = 0;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};
