// The level editor's mode system: while active it owns the scene instead of
// the game's logic, switches the game systems off, shows the cursor, installs
// the editor's key bindings, shows its own camera and serves the editor's
// command messages (select, pick, delete, add a component). It keeps the
// selection (object ids) and its two cameras, and owns five child systems
// made in Init. Made at start-up inactive and deleted by the Engine; "-e"
// activates it. Main thread only.
#pragma once
#include <deque>
#include <string>

#include "core/Types.h"
#include "engine/SceneSystem.h"
#include "port/math/D3DX.h"

class Control;
class EditorMenuSystem;
class EditorMoveUndoSystem;
class EditorProxySystem;
class EditorUISystem;
class GameObject;
class ObjectSelectionSystem;
struct DropFiles;
struct Ray;

class Editor : public SceneSystem {
public:
    static constexpr float kCameraSpeedStep = 10.0f;

    Editor();
    // Deletes the children (selection, proxy, menu, UI, undo) and unregisters
    // its camera objects.
    ~Editor() override;

    void HandleMessage(Message* message) override;
    void Update(float dt) override;
    // Makes the two camera objects and the five children.
    void Init() override;
    // Empties the "Selected" panel and the selection.
    void Clear() override;
    void Activate() override;
    void Deactivate() override;

    // Lights, sky boxes and HUDs go to the "SceneComponents" panel, every
    // other object gets its proxy.
    void OnSceneLoaded() override;
    void OnSceneCleared() override;
    // As OnSceneLoaded for one object; unless flag is set the object is then
    // placed in front of the current camera.
    void OnObjectAdded(u32 objectId, bool flag) override;

    // Makes the object the selection (0: none) and rebuilds the "Selected"
    // panel; a change is announced as kMsgSelectObject (and kMsgPickObject
    // when the picked object changes with it).
    void SelectObject(u32 objectId);
    // The picked object (the selection's proxy, or the object itself),
    // announced as kMsgPickObject when it changes.
    void SetPickedObject(u32 objectId);

    void BuildObjectControls();
    void BuildCameraControls();

    // Camera and track commands. Home: the active editor camera above and
    // behind the selection (its mesh or its proxy's), or back to its start
    // with nothing selected. Ortho step: the free camera onto the next (or,
    // for a negative step, the previous) coordinate axis through the picked
    // target, at its distance, looking at it. Cycle: the next editor camera.
    // Add waypoint: a waypoint in front of the camera, appended to the
    // selected track. Each does nothing without what it needs.
    void CameraHome();
    void OrthoCameraStep(const D3DXVECTOR3& step);
    void CycleCamera();
    void AddWaypoint();
    // Every file of the drop that landed in the client area.
    void FilesDropped(const DropFiles& drop);
    // A dropped ".bin" model file of the model folder becomes a new scene
    // object where the mouse ray through client pixel (x, y) meets the
    // ground (y = 0; the origin without a hit), selected and picked.
    void OnFilesDropped(const std::string& path, int x, int y);
    // The ray through client pixel (x, y) of the current camera's view.
    Ray PickRay(int x, int y) const;

    u32 GetSelectedObject() const { return selectedObject_; }
    u32 GetPickedObject() const { return pickedObject_; }
    u32 GetCurrentCamera() const { return currentCamera_; }
    u32 GetFreeRoamCamera() const { return freeRoamCamera_; }
    u32 GetIsoCamera() const { return isoCamera_; }
    const std::deque<u32>& GetCameras() const { return cameras_; }
    u64 GetWindowHandle() const { return windowHandle_; }
    float GetCameraSpeedStep() const { return cameraSpeedStep_; }

    EditorProxySystem* GetProxySystem() const { return proxySystem_; }
    ObjectSelectionSystem* GetSelectionSystem() const { return selectionSystem_; }
    EditorMenuSystem* GetMenuSystem() const { return menuSystem_; }
    EditorMoveUndoSystem* GetUndoSystem() const { return undoSystem_; }
    EditorUISystem* GetUISystem() const { return uiSystem_; }

    // Whether the object is listed in the "SceneComponents" panel rather than
    // picked through a proxy: it has a GlobalLighting, a Skybox or a HUD.
    static bool IsSceneComponentObject(const GameObject& object);

private:
    // The selection change itself; announce: tell the kMsgSelectObject
    // listeners (not when the change came as that message).
    void ChangeSelection(u32 objectId, bool announce);
    void DeleteSelection();
    // The one way objects are deleted (Delete, the panel's "Delete Object"):
    // out of the scene, its markers gone, deselected when selected, and said
    // on the status lines. Its children leave it kept where they are drawn,
    // the carriers bound to it are bound to no track, and those its
    // components made (a track's tunnel) go with it.
    void DeleteObject(u32 objectId);
    // Says on the status lines what places the object anew at every load
    // (its Player, its bound SplineCrawler), when anything does.
    void TellLoadPlacement(u32 objectId);
    void AddComponent(const std::string& className);
    // A new camera object with a clone of the camera class's prototype and a
    // Transform, initialised; the camera component's id (0 without prototypes).
    u32 MakeCamera(u32 cameraTypeId);
    void AddEditorControl(Control* control);
    // Physics, GameLogic, BehaviorSystem, AudioSystem and PauseMenu, where present.
    void SwitchGameSystems(bool on);
    // Whether closing the window first asks to save a changed scene (while
    // edit mode lasts).
    void AskBeforeClosing(bool ask);
    // Takes what the panels changed in the objects they show (the selected
    // object, the scene components): world positions refreshed, model and
    // sky box file names and texture names loaded, the proxy made anew for
    // a reloaded model.
    void LoadPanelEdits();

    EditorProxySystem* proxySystem_ = nullptr;
    ObjectSelectionSystem* selectionSystem_ = nullptr;
    EditorMenuSystem* menuSystem_ = nullptr;
    EditorMoveUndoSystem* undoSystem_ = nullptr;
    EditorUISystem* uiSystem_ = nullptr;
    u32 selectedObject_ = 0;
    u32 pickedObject_ = 0;  // the selected object's proxy, or the object itself
    u32 orthoAxis_ = 0;
    D3DXVECTOR3 orthoUpVector_{1, 1, 1};
    u64 windowHandle_ = 0;
    std::deque<u32> cameras_;  // camera component ids in cycling order
    u32 currentCamera_ = 0;
    u32 freeRoamCamera_ = 0;
    float cameraSpeedStep_ = kCameraSpeedStep;
    u32 isoCamera_ = 0;
    std::deque<u32> cameraObjects_;  // the two camera objects, owned
};
