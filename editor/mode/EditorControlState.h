// The editor's manipulation settings: rotate or move, steps and speeds, axis
// locks, move modes and the ids the selection traffic last named. Kept by the
// EditorMenuSystem (its panel edits the reflected members) and sent whole,
// every frame, as the payload of kMsgEditorSettings; receivers read it in
// this member order. A plain reflected structure; main thread only.
#pragma once
#include "core/Types.h"
#include "port/math/D3DX.h"
#include "reflection/MemberList.h"

struct EditorControlState {
    // Registers the reflected members on the first construction.
    EditorControlState();

    // Builds the member records once.
    static void Reflect();
    static void Reflect(MemberList<EditorControlState>& members);

    float camSpeed = 1.0f;
    float rotateStepAngleDegrees = 1.0f;  // degrees per rotation key press
    float objectMoveSpeed = 1.0f;         // world units per keyboard move step
    bool rotateMode = false;              // the manipulators rotate (true) or move (false)
    D3DXVECTOR3 axisLocks{0, 0, 0};       // per axis: non-zero = the axis may be used
    u32 copiedObject = 0;                 // last kMsgCopyObject payload; not reflected
    u32 selectedObject = 0;               // last kMsgSelectObject payload; not reflected
    u32 pickedObject = 0;                 // last kMsgPickObject payload; not reflected
    bool orthoMode = false;               // shown as "Orthogonal Movement"
    bool objectMoveMode = false;          // keyboard movers use world axes
    bool constrainMoveInteger = false;    // no panel entry
};
