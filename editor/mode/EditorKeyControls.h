// Builders of the level editor's one-key controls. Each returns a new Control
// (group 0, the caller owns it until it hands it to the GuiSystem) that
// activates when its key is pressed this frame and falls back to inactive at
// the next update (deactivation trigger: always), so one press sends one
// message, at once to the subscribers, with `sender` as sender. Main thread
// only.
#pragma once
#include "core/Types.h"
#include "engine/MessageTypes.h"

class Control;

// The key pressed with Ctrl in the state `ctrl`; sends the kind with payload.
Control* MakeKeyMessageControl(u32 key, const char* name, u32 category, const Kind<u32>& kind, bool ctrl, u32 payload,
                               u32 sender);
// Category 2; the key pressed (Ctrl up) sends kMsgAxisLock with the axis
// (0 x, 1 y, 2 z).
Control* MakeAxisKeyControl(u32 key, const char* name, u32 axis, u32 sender);
// Category 1; the key pressed (Ctrl up) sends kMsgCameraSpeed with the factor.
Control* MakeKeyFloatControl(u32 key, const char* name, float factor, u32 sender);
// Category 1; the key pressed (Ctrl up) sends (kMsgTypeCommand, argument)
// with the vector.
Control* MakeKeyVectorControl(u32 key, const char* name, u32 argument, const D3DXVECTOR3& vector, u32 sender);
