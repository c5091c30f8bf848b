// Named message kinds: every (type, argument) pair that the engine, renderer,
// gameplay, front end and editor exchange, grouped by type, each with the
// type of its payload (NoPayload: none). Each entry gives the payload's
// meaning, sender -> receiver, and delivery ("at once" = immediate, nested
// HandleMessage; "queued" = posted, delivered in the next drain). Payloads are
// heap copies owned by the message; pointers in them are full 64-bit values,
// ids are u32. Payload records are defined by the folder that sends them and
// only declared here, except plain records of numbers (ColliderRecord). Where the argument is a component class's type
// id, a function of the type id gives the kind. Naming: kMsgTypeXxx for a type number, kMsgXxx for a kind.
#pragma once
#include <string>

#include "core/Types.h"
#include "engine/MessageKind.h"

// Payload records, each defined in the folder named above it.
// engine/
struct DebugLine;
struct Ray;
// port/math, port/window
struct ClientRect;
struct D3DXMATRIX;
struct D3DXQUATERNION;
struct D3DXVECTOR2;
struct D3DXVECTOR3;
struct DropFiles;
// platform/
struct MusicEventData;
struct SoundEventData;
struct WindowCreatedData;
// controls/
enum E3BasisVecs : u32;
// render/
struct DebugMarkerRecord;
struct DebugSphereRecord;
struct EmitterCommand;
// the level editor's, still to be written
struct EditorControlState;
struct MoveRecord;
struct SelectionFilter;

// ---- 1: window, application and audio events (MsgEvent) -------------------
constexpr u32 kMsgTypeEvent = 1;
// {u64 instance handle, u64 window handle}; WindowsSystem (sender 0) ->
// subscribers (InputSystem, GraphicsSystem, Editor); at once, window made.
constexpr Kind<WindowCreatedData> kMsgWindowCreated{1, 0};
// client rectangle {i32 left, top, right, bottom}; WindowsSystem -> subscribers
// (GraphicsSystem, GuiSystem, GameLogic, Player, Editor); at once, window made
// and every resize.
constexpr Kind<ClientRect> kMsgClientRect{1, 4};
// client rectangle; GraphicsSystem -> subscribers (PathFollowCamera); at once,
// every frame.
constexpr Kind<ClientRect> kMsgFrameClientRect{1, 5};
// address of the view matrix (read during delivery only); GraphicsSystem
// -> subscribers (GuiSystem); at once, every frame.
constexpr Kind<const D3DXMATRIX*> kMsgViewMatrix{1, 6};
// address of the projection matrix (read during delivery only);
// GraphicsSystem -> subscribers (GuiSystem); at once, every frame and resize.
constexpr Kind<const D3DXMATRIX*> kMsgProjectionMatrix{1, 7};
// bool (1 byte) debug drawing; Editor -> subscribers (GraphicsSystem,
// GameLogic, BehaviorSystem, Physics); queued on activation (true), at once on
// deactivation (false).
constexpr Kind<bool> kMsgDebugDraw{1, 12};
// u32 active camera component id; GraphicsSystem -> subscribers (editor's
// mouse-over control, AudioSystem's listener); at once, every frame.
constexpr Kind<u32> kMsgActiveCamera{1, 13};
// i32 wParam; WindowsSystem -> subscribers; at once, application deactivated.
constexpr Kind<i32> kMsgAppDeactivated{1, 15};
// i32 wParam; WindowsSystem -> subscribers; at once, application activated.
constexpr Kind<i32> kMsgAppActivated{1, 16};
// SoundEventData; any -> AudioSystem by type id; queued (PostToSystem).
constexpr Kind<SoundEventData> kMsgPlaySound{1, 17};
// {std::string name, float volume}; menus -> AudioSystem by type id; queued.
constexpr Kind<MusicEventData> kMsgPlayMusic{1, 18};
// none; front end -> AudioSystem by type id; queued: stop all sound.
constexpr Kind<NoPayload> kMsgStopAllSound{1, 19};
// none; options menu -> subscribers (AudioSystem); sound off.
constexpr Kind<NoPayload> kMsgSoundOff{1, 20};
// none; options menu -> subscribers (AudioSystem); sound on.
constexpr Kind<NoPayload> kMsgSoundOn{1, 21};
// two floats {width, height} of the wanted client area; options menu ->
// subscribers (WindowsSystem); at once.
constexpr Kind<D3DXVECTOR2> kMsgSetWindowSize{1, 22};

// ---- 2: requests to the GraphicsSystem (by its type id) --------------------
constexpr u32 kMsgTypeRequest = 2;
// DebugLine, ten floats {start xyz, end xyz, colour rgba}; gameplay debug
// drawing, Model bounds -> GraphicsSystem; at once (line list A); Weapon and
// WeaponSpline aim lines queued.
constexpr Kind<DebugLine> kMsgDebugLineA{2, 6};
// sphere record, eight floats {centre xyz, radius, colour rgba};
// SphereCollision -> GraphicsSystem; at once.
constexpr Kind<DebugSphereRecord> kMsgDebugSphere{2, 7};
// u32 object id highlighted this frame; any -> GraphicsSystem; at once.
constexpr Kind<u32> kMsgHighlightObject{2, 8};
// marker record, eight floats {point xyz, size, four unused}; any ->
// GraphicsSystem; at once.
constexpr Kind<DebugMarkerRecord> kMsgDebugMarker{2, 9};
// u32 object id of the chase target; Player Init -> GraphicsSystem; queued.
constexpr Kind<u32> kMsgChaseTarget{2, 39};
// DebugLine; Transform::DebugDraw -> GraphicsSystem; at once (line list B).
constexpr Kind<DebugLine> kMsgDebugLineB{2, 50};
// u32 object id of the chase camera; GameCamera Init -> GraphicsSystem; queued.
constexpr Kind<u32> kMsgChaseCamera{2, 56};

// ---- 3: collisions ---------------------------------------------------------
// none; sender = one object of a colliding pair -> the other object (its
// Health); queued for cylinder pairs (Physics), at once for sphere pairs
// (CollisionSystem).
constexpr Kind<NoPayload> kMsgCollision{3, 1};

// ---- 5: component announcements ---------------------------------------------
// argument = the component's type id; u32 component id; GameObject (sender =
// object id), Primitive -> subscribers of ComponentAnnounced(type id)
// (systems managing that class); at once. A Camera announcement may also be
// sent straight to the GraphicsSystem or GuiSystem.
constexpr u32 kMsgTypeComponentAnnounced = 5;
constexpr Kind<u32> ComponentAnnounced(u32 typeId) {
    return {kMsgTypeComponentAnnounced, typeId};
}

// ---- 10: draw for one frame ------------------------------------------------
// argument TypeId<Model> or TypeId<ScreenText>; u32 object id; RenderAction,
// SubmitObjectTextForFrame -> GraphicsSystem by type id; at once.
// DrawThisFrame(0) is subscribed by the GraphicsSystem and ignored.
constexpr u32 kMsgTypeDrawThisFrame = 10;
constexpr Kind<u32> DrawThisFrame(u32 typeId) {
    return {kMsgTypeDrawThisFrame, typeId};
}

// ---- 12, 13, 25, 26, 27: camera settings (a camera component) --------------
// none; any -> one camera component directly; at once: switch on / off.
constexpr Kind<NoPayload> kMsgCameraSwitchOn{12, 0};
constexpr Kind<NoPayload> kMsgCameraSwitchOff{13, 0};
// u32 switch value; any -> subscribers (Camera); at once.
constexpr Kind<u32> kMsgCameraSwitch{25, 0};
// D3DXVECTOR3 look-at point; any -> subscribers (Camera); at once.
constexpr Kind<D3DXVECTOR3> kMsgCameraLookAt{26, 0};
// D3DXVECTOR3 camera position; any -> subscribers (Camera); at once.
constexpr Kind<D3DXVECTOR3> kMsgCameraPosition{27, 0};

// ---- 19, 20, 55: editor camera motion ---------------------------------------
// D3DXVECTOR3 pan; editor camera controls -> subscribers (FreeRoamCamera,
// IsoCamera); at once.
constexpr Kind<D3DXVECTOR3> kMsgCameraPan{19, 0};
// D3DXQUATERNION rotation; editor camera controls -> subscribers; at once.
constexpr Kind<D3DXQUATERNION> kMsgCameraRotate{20, 0};
// float speed factor; editor keys -> subscribers (FreeRoamCamera, IsoCamera,
// EditorUISystem); at once.
constexpr Kind<float> kMsgCameraSpeed{55, 0};

// ---- 21, 22: subscribed by the GraphicsSystem, no effect --------------------
// argument TypeId<Model>; u32 id; accepted and ignored by the GraphicsSystem.
constexpr u32 kMsgTypeModelNotice = 21;
constexpr Kind<u32> ModelNotice(u32 typeId) {
    return {kMsgTypeModelNotice, typeId};
}
// subscribed by the GraphicsSystem and ignored.
constexpr Kind<NoPayload> kMsgGraphicsIgnored{22, 0};

// ---- 24: selection ---------------------------------------------------------
// u32 selected object id; Editor (sender its id) -> subscribers
// (BehaviorSystem, editor triggers and systems), and straight to the
// GraphicsSystem for objects without a Model; at once, every frame.
constexpr Kind<u32> kMsgSelectedObject{24, 0};

// ---- 29: fire --------------------------------------------------------------
// Ray {D3DXVECTOR3 origin, direction} (24 bytes); fire controls, Brain ->
// the ship's GameObject, which passes its own copy to each child object
// (Weapon, WeaponSpline); at once.
constexpr Kind<Ray> kMsgFire{29, 0};

// ---- 30, 44: power-ups -----------------------------------------------------
// none; PowerUp -> subscribers; queued.
constexpr Kind<NoPayload> kMsgPowerUpTaken{30, 0};
// none; nothing sends it; PowerUp answers with kMsgPowerUpTaken.
constexpr Kind<NoPayload> kMsgPowerUpTouched{44, 0};

// ---- 31: typed characters (MsgCharInput), WindowsSystem -> subscribers, at once
constexpr Kind<NoPayload> kMsgCharBackspace{31, 0};  // none
constexpr Kind<u8> kMsgCharTyped{31, 1};             // 1 byte: the character (a tab gives four blanks)
constexpr Kind<NoPayload> kMsgCharReturn{31, 2};     // none: carriage return
constexpr Kind<NoPayload> kMsgCharEscape{31, 3};     // none: line feed or escape

// ---- 32: system commands (MsgSystemCommand), mostly the level editor's ------
// Editor commands go to the subscribers at once unless said otherwise.
constexpr u32 kMsgTypeCommand = 32;
// u32 object id to select (0 = none); selection controls, menus -> Editor,
// EditorMenuSystem, EditorProxySystem.
constexpr Kind<u32> kMsgSelectObject{32, 2};
// u32 picked object id; selection controls -> Editor, menus, proxies.
constexpr Kind<u32> kMsgPickObject{32, 3};
// std::string component class name; EditorMenuSystem -> Editor.
constexpr Kind<std::string> kMsgAddComponent{32, 4};
// u32 (0, unread); "DeleteSelected" key -> Editor.
constexpr Kind<u32> kMsgDeleteSelection{32, 5};
// none; sent straight to the Editor, which sends kMsgEmitterMove /
// kMsgEmitterStart without payload to the selected object.
constexpr Kind<NoPayload> kMsgForwardMoveToSelected{32, 7};
constexpr Kind<NoPayload> kMsgForwardStartToSelected{32, 8};
// u64 drop handle; WindowsSystem (WM_DROPFILES) -> subscribers (Editor).
constexpr Kind<const DropFiles*> kMsgFilesDropped{32, 9};
// none; PlayerPath "AddWaypoint" button (sender its id) -> Editor.
constexpr Kind<NoPayload> kMsgAddWaypoint{32, 10};
// none; PlayerPath "RemoveWaypoint" button -> Editor (no effect).
constexpr Kind<NoPayload> kMsgRemoveWaypoint{32, 11};
// none; PlayerPath (sender the path object) -> subscribers (waypoint proxies).
constexpr Kind<NoPayload> kMsgPathRebuilt{32, 12};
// MoveRecord; manipulation controls -> EditorMoveUndoSystem.
constexpr Kind<MoveRecord> kMsgMoveRecord{32, 13};
// u32 (0); undo / redo keys -> EditorMoveUndoSystem.
constexpr Kind<u32> kMsgUndoMove{32, 14};
constexpr Kind<u32> kMsgRedoMove{32, 15};
// D3DXVECTOR3 (ignored); "CameraHome" key -> Editor.
constexpr Kind<D3DXVECTOR3> kMsgCameraHome{32, 16};
// D3DXVECTOR3 step; Page Up / Down keys -> Editor.
constexpr Kind<D3DXVECTOR3> kMsgOrthoCameraStep{32, 17};
// axis (0 x, 1 y, 2 z); axis-lock keys -> EditorMenuSystem.
constexpr Kind<E3BasisVecs> kMsgAxisLock{32, 18};
// subscribed by the Editor and the EditorMenuSystem; no effect.
constexpr Kind<NoPayload> kMsgEditorUnused{32, 19};
// u32 (0); "CameraToggleControl" -> Editor: cycle cameras.
constexpr Kind<u32> kMsgCycleCameras{32, 20};
// u32 (0); toggles -> EditorMenuSystem, EditorUISystem: rotate or move.
constexpr Kind<u32> kMsgToggleRotateMode{32, 21};
// u32 (0); "ToggleOrthoMoveMode" -> EditorMenuSystem, EditorUISystem.
constexpr Kind<u32> kMsgToggleOrthoMove{32, 22};
// u32 (0); "CameraMoveControlGroupToggle" -> EditorMenuSystem, EditorUISystem.
constexpr Kind<u32> kMsgToggleObjectMoveMode{32, 23};
// u32; "CopySelected" -> EditorMenuSystem, EditorUISystem: copy.
constexpr Kind<u32> kMsgCopyObject{32, 24};
// u32 (0); "PasteCopiedObject" / "PasteTransform" -> EditorUISystem.
constexpr Kind<u32> kMsgPasteObject{32, 25};
constexpr Kind<u32> kMsgPasteTransform{32, 26};
// D3DXVECTOR3 camera position; FreeRoamCamera, IsoCamera -> EditorUISystem by
// type id; at once, every camera update.
constexpr Kind<D3DXVECTOR3> kMsgEditorCameraPosition{32, 27};
// std::string camera display name; FreeRoamCamera, IsoCamera -> EditorUISystem
// by type id; at once, every camera update.
constexpr Kind<std::string> kMsgEditorCameraName{32, 28};
// none; EditorMenuSystem HUD-select button -> ObjectSelectionSystem.
constexpr Kind<NoPayload> kMsgToggleHudSelect{32, 29};
// none; EditorMenuSystem delete button -> EditorMenuSystem by type id.
constexpr Kind<NoPayload> kMsgRebuildSceneComponents{32, 30};
// EditorControlState; EditorMenuSystem -> subscribers (editor controls);
// at once, every frame.
constexpr Kind<EditorControlState> kMsgEditorSettings{32, 31};
// SelectionFilter; -> ObjectSelectionSystem.
constexpr Kind<SelectionFilter> kMsgPickFilter{32, 32};
// u32 (1 next, 0 previous); Tab / Ctrl+Tab -> EditorProxySystem.
constexpr Kind<u32> kMsgSelectNextPrevious{32, 33};
// std::string, one line for the designer: what an editor command did or why it
// refused; editor controls, Editor, EditorMenuSystem -> EditorUISystem (the
// status lines); at once.
constexpr Kind<std::string> kMsgEditorNotice{32, 34};
// u32 object id: the object was moved or linked to another parent by other
// means than a move of the selection (undo and redo, vertex snap, parenting);
// it and everything below it may stand elsewhere. Those editor controls and
// systems -> subscribers (ObjectSelectionSystem); at once.
constexpr Kind<u32> kMsgObjectPlaced{32, 35};
// u32 object id to delete, as Delete deletes the selection (its children kept
// where they are); the "SceneComponents" panel's "Delete Object" -> Editor by
// type id; at once.
constexpr Kind<u32> kMsgDeleteObject{32, 36};

// ---- 34: controls and the GuiSystem ------------------------------------------
constexpr u32 kMsgTypeControl = 34;
// the control, as void* (ISystem hands over any class with GetId(); the
// GuiSystem takes ownership of a Control); a system -> GuiSystem by type id;
// at once (ISystem::AddControl).
constexpr Kind<void*> kMsgAddControl{34, 0};
// u32 control id; a system -> GuiSystem by type id; queued (RemoveControls).
constexpr Kind<u32> kMsgRemoveControl{34, 1};
// Ray mouse pick ray; editor mouse-over control -> subscribers
// (ObjectSelectionSystem, editor controls); at once, every frame.
constexpr Kind<Ray> kMsgMouseRay{34, 2};
// u32 picked object id; ObjectSelectionSystem -> subscribers; at once.
constexpr Kind<u32> kMsgPickedObject{34, 3};
// u32 picked proxy id; ObjectSelectionSystem -> subscribers; at once.
constexpr Kind<u32> kMsgPickedProxy{34, 4};
// u32 selected proxy id; Editor -> subscribers; at once, every frame.
constexpr Kind<u32> kMsgSelectedProxy{34, 5};
// u32 group number; menus, editor keys -> GuiSystem: toggle / enable /
// disable a control group; at once.
constexpr Kind<u32> kMsgToggleGroup{34, 6};
constexpr Kind<u32> kMsgEnableGroup{34, 7};
constexpr Kind<u32> kMsgDisableGroup{34, 8};

// ---- 35: game flow ---------------------------------------------------------
// int trigger code (-1 = level complete); TimeLord, DistanceLord,
// PlayerPositionTrigger (sender their object) -> subscribers (GameLogic,
// spawners); at once (BroadcastTriggerCode).
constexpr Kind<i32> kMsgTriggerCode{35, 0};
// u32 player object id; GameLogic -> subscribers (WeaponSpline, spawners,
// DistanceLord, HUD); at once, every frame.
constexpr Kind<u32> kMsgPlayerObject{35, 2};
// none; the ship's Health -> its own object (Player); at once: ship died.
constexpr Kind<NoPayload> kMsgShipDied{35, 4};
// none; Player -> GameLogic by type id; at once.
constexpr Kind<NoPayload> kMsgGameOver{35, 5};
// u32 overlay object id; PauseMenu Init -> subscribers (GraphicsSystem,
// cameras); at once.
constexpr Kind<u32> kMsgOverlayObject{35, 6};

// ---- 36 to 38: full screen, any -> subscribers (GraphicsSystem), none --------
constexpr Kind<NoPayload> kMsgToggleFullScreen{36, 0};
constexpr Kind<NoPayload> kMsgSetFullScreen{37, 0};
constexpr Kind<NoPayload> kMsgClearFullScreen{38, 0};

// ---- 39: focus object --------------------------------------------------------
// u32 player object id; Player Init -> subscribers (Physics, CollisionSystem,
// Sataleye, Brain) at once, and to the CollisionSystem queued.
constexpr Kind<u32> kMsgFocusObject{39, 0};

// ---- 40 to 42: particle emitters ---------------------------------------------
// {D3DXVECTOR3 position, bool flag}; ParticleEffect -> the emitter's object (its
// ParticleEmmiter) or subscribers; at once: start, stop, move. The Editor also
// sends start and move without payload to the selected object: receivers must
// accept a null payload.
constexpr Kind<EmitterCommand> kMsgEmitterStart{40, 0};
constexpr Kind<EmitterCommand> kMsgEmitterStop{41, 0};
constexpr Kind<EmitterCommand> kMsgEmitterMove{42, 0};

// ---- 43: object unregistered -------------------------------------------------
// u32 object id; Overlord::UnregisterGameObject -> subscribers (editor
// proxies); queued.
constexpr Kind<u32> kMsgObjectUnregistered{43, 0};

// ---- 45 to 47, 70, 71: score and energy --------------------------------------
// int points; MysteryBox -> subscribers (Player); queued.
constexpr Kind<i32> kMsgPoints{45, 0};
// none; Health -> its own object (MysteryBox); at once: object died.
constexpr Kind<NoPayload> kMsgObjectDied{46, 0};
// none; Health -> the other object (MysteryBox); at once: player collided.
constexpr Kind<NoPayload> kMsgPlayerCollided{47, 0};
// none; Health -> its own object (MysteryBox), after kMsgObjectDied; at once.
constexpr Kind<NoPayload> kMsgEnergyReward{70, 0};
// float energy change; MysteryBox, Health -> subscribers (Player); queued
// (Post).
constexpr Kind<float> kMsgEnergyChange{71, 0};

// ---- 48: component commands ----------------------------------------------------
// The argument is the command; ParticleEffect subscribes to the first five
// (its effect slots) through ComponentCommand(slot).
constexpr u32 kMsgTypeComponentCommand = 48;
constexpr Kind<D3DXVECTOR3> ComponentCommand(u32 command) {
    return {kMsgTypeComponentCommand, command};
}
// D3DXVECTOR3 world position; Health, Player -> own object (ParticleEffect);
// at once: death effect.
constexpr Kind<D3DXVECTOR3> kMsgEffectAtPosition{48, 0};
// D3DXVECTOR3; Lifetime -> one component; at once: lifetime expired.
constexpr Kind<D3DXVECTOR3> kMsgLifetimeExpired{48, 1};
// none; a component -> one component; at once (SendToComponent).
constexpr Kind<NoPayload> kMsgComponentPing{48, 2};
// D3DXVECTOR3; Health -> one component (ParticleEffect slot 3); at once: hit.
constexpr Kind<D3DXVECTOR3> kMsgHitEffect{48, 3};
// D3DXVECTOR3 weapon position; Weapon, WeaponSpline (sender the owner object)
// -> subscribers (ParticleEffect slot 4); at once: shot.
constexpr Kind<D3DXVECTOR3> kMsgShotEffect{48, 4};

// ---- 49: unblended draw for one frame ------------------------------------------
// argument: the drawn class's type id (RenderAction sends TypeId<Model>, the
// GraphicsSystem reads every argument alike); u32 object id; RenderAction,
// PlayerPath -> GraphicsSystem by type id; at once.
constexpr u32 kMsgTypeDrawUnblendedThisFrame = 49;
constexpr Kind<u32> DrawUnblendedThisFrame(u32 typeId) {
    return {kMsgTypeDrawUnblendedThisFrame, typeId};
}

// ---- 52, 53, 72: steering, player controls -> subscribers (Player), at once ----
// u32 (meaningless) payload from the key actions.
constexpr Kind<u32> kMsgSteerLeft{52, 0};
constexpr Kind<u32> kMsgSteerRight{53, 0};
constexpr Kind<u32> kMsgSteerStop{72, 0};

// ---- 56: game camera -------------------------------------------------------------
// u32 camera object id; GameCamera Init -> subscribers (Player); queued.
constexpr Kind<u32> kMsgGameCameraObject{56, 0};

// ---- 58, 59, 78: track speed, -> subscribers (SplineCrawler), at once ------------
// float speed bonus; Player, Health.
constexpr Kind<float> kMsgSpeedBonus{58, 0};
// none; restore the crawler's initial speed.
constexpr Kind<NoPayload> kMsgRestoreSpeed{59, 0};
// float speed; Health: set the speed.
constexpr Kind<float> kMsgSetSpeed{78, 0};

// ---- 60, 61, 79: colliders ----------------------------------------------------------
// none; Physics, SplineMultiSpawner -> the moved object (its SphereCollision),
// which a GameObject also passes to each child object; at once: refresh.
constexpr Kind<NoPayload> kMsgRefresh{60, 0};
// ColliderRecord; SphereCollision (sender its object) -> subscribers
// (CollisionSystem); at once, every refresh.
struct ColliderRecord {
    u32 reserved[3] = {0, 0, 0};    // zero
    float position[3] = {0, 0, 0};  // world position
    float radius = 0.0f;            // the collider's radius (the CollisionSystem keeps its own)
    u32 objectId = 0;               // the collider's object
};
static_assert(sizeof(ColliderRecord) == 32);
constexpr Kind<ColliderRecord> kMsgColliderMoved{61, 0};
// u32 object id; CollisionSystem -> itself by type id; queued: collider gone.
constexpr Kind<u32> kMsgColliderGone{79, 0};

// ---- 62: circling angle ----------------------------------------------------------------
// float angle, degrees; level data through Event actions -> subscribers
// (Brain); at once.
constexpr Kind<float> kMsgCirclingAngle{62, 0};

// ---- 63 to 69: player abilities, player controls -> subscribers (Player), at once --
// u32 (meaningless) payload from the key actions.
constexpr Kind<u32> kMsgBoostPressed{63, 0};
constexpr Kind<u32> kMsgBoostHeld{64, 0};
constexpr Kind<u32> kMsgBoostReleased{65, 0};  // also read by SplineCrawler
constexpr Kind<u32> kMsgShieldOn{66, 0};
constexpr Kind<u32> kMsgShieldOff{67, 0};
constexpr Kind<u32> kMsgRechargeBlocked{68, 0};
constexpr Kind<u32> kMsgRechargeUnblocked{69, 0};

// ---- 73, 74: level start ----------------------------------------------------------------
// none; SplineMultiSpawner (lastTrigger) -> subscribers (HUDComponent); at once.
constexpr Kind<NoPayload> kMsgLevelStart{73, 0};
// none; HUDComponent countdown -> subscribers (Player); at once: go.
constexpr Kind<NoPayload> kMsgCountdownOver{74, 0};

// ---- 75 to 77: abilities disabled, Player -> subscribers (GameLogic) -------------
// bool disabled flag.
constexpr Kind<bool> kMsgShieldDisabled{75, 0};
constexpr Kind<bool> kMsgWeaponDisabled{76, 0};
constexpr Kind<bool> kMsgBoostDisabled{77, 0};

// ---- 80, 81: announcements of the track ------------------------------------------------
// u32 crawler's object id; SplineCrawler Init -> subscribers (DistanceLord,
// Projectile, Player, HUDComponent); queued.
constexpr Kind<u32> kMsgCrawlerAnnounced{80, 0};
// u32 component id; WeaponSpline Init -> subscribers (Player); queued.
constexpr Kind<u32> kMsgSplineWeaponAnnounced{81, 0};
