// Named message kinds: every (type, argument) pair the engine, renderer,
// gameplay, front end and editor exchange. Each entry says its payload, who
// sends it, who receives it, and whether it is delivered at once or queued.
// Pointers and handles in payloads are full 64-bit values (a heap copy of the
// pointer); ids are u32. Types whose argument is a component class's type id
// have only a type constant.
#pragma once
#include "engine/Types.h"

struct MessageKind {
    u32 type;
    u32 argument;
};

// ---- type 1: window, application and audio events ---------------------------
constexpr u32 kMsgTypeApp = 1;
// window record {u64 instance handle, u64 window handle}; WindowsSystem ->
// subscribers (GraphicsSystem); at once, when the window is made.
constexpr MessageKind kMsgWindowCreated{1, 0};
// 16-byte client rectangle {i32 left, top, right, bottom}; WindowsSystem ->
// subscribers (GuiSystem, GraphicsSystem, cameras); at once, when the window
// is made and on every resize.
constexpr MessageKind kMsgClientRect{1, 4};
// 16-byte client rectangle; GraphicsSystem -> subscribers; at once, every frame.
constexpr MessageKind kMsgFrameRect{1, 5};
// u64 address of the view matrix (read during delivery only); GraphicsSystem
// -> subscribers (GuiSystem); at once, every frame.
constexpr MessageKind kMsgViewMatrix{1, 6};
// u64 address of the projection matrix (read during delivery only);
// GraphicsSystem -> subscribers (GuiSystem); at once, every frame and after
// every resize.
constexpr MessageKind kMsgProjectionMatrix{1, 7};
// bool (1 byte) debug drawing on/off; Editor -> GraphicsSystem; at once.
constexpr MessageKind kMsgDebugDraw{1, 12};
// u32 active camera component id; GraphicsSystem -> subscribers; at once,
// every frame.
constexpr MessageKind kMsgActiveCamera{1, 13};
// no payload; WindowsSystem -> subscribers; at once, application deactivated.
constexpr MessageKind kMsgAppDeactivated{1, 15};
// no payload; WindowsSystem -> subscribers; at once, application activated.
constexpr MessageKind kMsgAppActivated{1, 16};
// SoundEventData; any -> AudioSystem; queued (PostToSystem).
constexpr MessageKind kMsgPlaySound{1, 17};
// {std::string name, float volume}; any -> AudioSystem; queued.
constexpr MessageKind kMsgPlayMusic{1, 18};
// two floats {width, height}; options menu -> WindowsSystem; at once.
constexpr MessageKind kMsgSetWindowSize{1, 22};

// ---- type 2: requests to one system ------------------------------------------
constexpr u32 kMsgTypeRequest = 2;
// DebugLine, ten floats {start xyz, end xyz, colour rgba}; any -> GraphicsSystem;
// at once (line list A).
constexpr MessageKind kMsgDebugLineA{2, 6};
// 32-byte sphere record {centre xyz, radius, colour rgba}; any ->
// GraphicsSystem; at once.
constexpr MessageKind kMsgDebugSphere{2, 7};
// u32 object id to highlight this frame; any -> GraphicsSystem; at once.
constexpr MessageKind kMsgHighlightObject{2, 8};
// 32-byte marker record {point xyz, size, four unused floats}; any ->
// GraphicsSystem; at once.
constexpr MessageKind kMsgDebugMarker{2, 9};
// u32 chase-target object id; Player -> GraphicsSystem; at once.
constexpr MessageKind kMsgChaseTarget{2, 39};
// DebugLine; Transform::DebugDraw, Model bounds, gameplay -> GraphicsSystem;
// at once (line list B).
constexpr MessageKind kMsgDebugLineB{2, 50};
// u32 chase-camera object id; GameCamera::Init -> GraphicsSystem; at once.
constexpr MessageKind kMsgChaseCamera{2, 56};

// ---- type 3: collisions --------------------------------------------------------
// no payload; one object of a colliding pair -> the other object; at once for
// sphere pairs, queued for cylinder pairs.
constexpr MessageKind kMsgCollision{3, 1};

// ---- type 5: component announcements --------------------------------------------
// argument: the component's type id; u32 component id; GameObject -> the
// subscribers of (5, type id); at once.
constexpr u32 kMsgTypeComponentAnnounced = 5;

// ---- type 10: draw for one frame ---------------------------------------------------
// argument TypeId<Model> or TypeId<ScreenText>; u32 object id; any ->
// GraphicsSystem; at once.
constexpr u32 kMsgTypeDrawThisFrame = 10;

// ---- type 24: selection -----------------------------------------------------------
// u32 selected object id; editor -> GraphicsSystem; at once.
constexpr MessageKind kMsgSelectObject{24, 0};

// ---- type 29: fire -------------------------------------------------------------------
// Ray (24 bytes: origin, direction); fire control -> GameObject, which passes a
// copy to each child object; at once.
constexpr MessageKind kMsgFire{29, 0};

// ---- type 32: string commands and editor requests -------------------------------------
// std::string command; any -> one system; at once (SendStringToSystem).
constexpr MessageKind kMsgStringCommand{32, 28};

// ---- type 34: controls ----------------------------------------------------------------
// u64 Control pointer (the GuiSystem takes ownership); a system -> GuiSystem;
// at once (ISystem::AddControl).
constexpr MessageKind kMsgAddControl{34, 0};
// u32 control id; a system -> GuiSystem; queued (ISystem::RemoveControls).
constexpr MessageKind kMsgRemoveControl{34, 1};

// ---- type 35: triggers and overlay ------------------------------------------------------
// u32 trigger code; any -> subscribers; at once (BroadcastTriggerCode).
constexpr MessageKind kMsgTriggerCode{35, 0};
// no payload; a component -> one system; at once (MessageHub::SendToSystem).
constexpr MessageKind kMsgComponentToSystem{35, 5};
// u32 overlay object id; pause menu -> GraphicsSystem; at once.
constexpr MessageKind kMsgOverlayObject{35, 6};

// ---- types 36 to 38: full screen -----------------------------------------------------------
// no payload; any -> GraphicsSystem; at once: toggle, set, clear full screen.
constexpr MessageKind kMsgToggleFullScreen{36, 0};
constexpr MessageKind kMsgSetFullScreen{37, 0};
constexpr MessageKind kMsgClearFullScreen{38, 0};

// ---- type 43: object unregistered ------------------------------------------------------------
// u32 object id; Overlord::UnregisterGameObject -> subscribers; queued.
constexpr MessageKind kMsgObjectUnregistered{43, 0};

// ---- type 48: component to component ----------------------------------------------------------
// no payload (argument 2) or a payload copy (other arguments); a component ->
// one component; at once.
constexpr u32 kMsgTypeComponentToComponent = 48;
constexpr MessageKind kMsgComponentPing{48, 2};

// ---- type 49: unblended draw for one frame ----------------------------------------------------
// u32 object id; RenderAction -> GraphicsSystem; at once.
constexpr u32 kMsgTypeDrawUnblendedThisFrame = 49;

// ---- type 60: refresh ------------------------------------------------------------------------
// no payload; any -> GameObject, which passes it to each child object; at once.
constexpr MessageKind kMsgRefresh{60, 0};

// ---- type 71: float events -------------------------------------------------------------------
// float; a component -> subscribers; queued (PostMessage<float>).
constexpr MessageKind kMsgFloatEvent{71, 0};
