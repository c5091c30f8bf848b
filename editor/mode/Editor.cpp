#include "editor/mode/Editor.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "controls/Control.h"
#include "controls/GuiSystem.h"
#include "controls/KeyTrigger.h"
#include "controls/MessageAction.h"
#include "editor/links/LinkControls.h"
#include "editor/links/ParentObjectControl.h"
#include "editor/menus/EditorMenuSystem.h"
#include "editor/menus/EditorUISystem.h"
#include "editor/menus/MenuControls.h"
#include "editor/mode/EditorControlTable.h"
#include "editor/mode/EditorKeyControls.h"
#include "editor/mode/EditorNotice.h"
#include "editor/mode/FocusPoint.h"
#include "editor/mode/ModeControls.h"
#include "editor/move/EditorMoveUndoSystem.h"
#include "editor/move/MoveControls.h"
#include "editor/proxy/EditorProxyObject.h"
#include "editor/proxy/EditorProxySystem.h"
#include "editor/proxy/WaypointProxyVisualization.h"
#include "editor/select/ObjectSelectionSystem.h"
#include "editor/select/SelectControls.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "platform/AudioSystem.h"
#include "platform/WindowsSystem.h"
#include "port/window/Cursor.h"
#include "port/window/DragDrop.h"
#include "render/IGraphics.h"
#include "render/camera/Camera.h"
#include "render/camera/FreeRoamCamera.h"
#include "render/camera/IsoCamera.h"
#include "render/light/GlobalLighting.h"
#include "render/light/Skybox.h"
#include "render/mesh/Model.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"

// The game systems edit mode switches off; only their type ids are needed,
// and a system the program does not have is skipped.
class Physics;
class GameLogic;
class BehaviorSystem;
class PauseMenu;

namespace {
// The type id of a component class by its registered name; 0 when the
// program has no such class.
u32 ClassTypeId(const char* className) {
    ObjectFactory* factory = ObjectFactory::Instance();
    IComponent* prototype = factory ? factory->GetPrototype(className) : nullptr;
    return prototype ? prototype->GetTypeId() : 0;
}

// The placement size of an object without a model of its own or of its
// proxy: that of the default proxy marker, a sphere of radius 1.
const D3DXVECTOR3 kMarkerSize{2.0f, 2.0f, 2.0f};

// The objects among `objectIds` whose spline crawlers ride the track of
// `trackObject`, each crawler now bound to none: a carrier stays where it
// is, and no saved link names the deleted track.
std::vector<u32> UnbindCarriers(const std::vector<u32>& objectIds, u32 trackObject) {
    std::vector<u32> carriers;
    for (u32 id : objectIds) {
        const GameObject* object = Overlord::FindObject(id);
        if (!object) continue;
        bool bound = false;
        for (IComponent* component : object->GetComponents()) {
            if (component->GetTypeId() != TypeId<SplineCrawler>::Get()) continue;
            auto* crawler = static_cast<SplineCrawler*>(component);
            if (crawler->splineGameObjectID != trackObject) continue;
            crawler->splineGameObjectID = 0;
            bound = true;
        }
        if (bound) carriers.push_back(id);
    }
    return carriers;
}

// How a deletion's notice names a child that the object's components made
// and that goes with it: a track's tunnel by that name.
std::string PartLabel(const GameObject& owner, u32 child) {
    const PlayerPath* path = owner.GetComponent<PlayerPath>();
    if (path && std::ranges::find(path->tunnelObjectIds, child) != path->tunnelObjectIds.end()) return "its tunnel";
    return ObjectLabel(child);
}
}  // namespace

Editor::Editor() : SceneSystem(TypeId<Editor>::Get()) {
    SetName("Editor");
    SetActive(false);
}

Editor::~Editor() {
    AskBeforeClosing(false);
    for (ISystem* child :
         std::initializer_list<ISystem*>{selectionSystem_, proxySystem_, menuSystem_, uiSystem_, undoSystem_})
        if (child) RemoveSystem(child);
    if (Overlord* overlord = Overlord::Instance())
        for (u32 objectId : cameraObjects_)
            if (overlord->GetGameObject(objectId)) overlord->UnregisterGameObject(objectId);
}

bool Editor::IsSceneComponentObject(const GameObject& object) {
    if (object.GetComponent<GlobalLighting>() || object.GetComponent<Skybox>()) return true;
    const u32 hud = ClassTypeId("HUDComponent");
    return hud != 0 && object.GetComponentByTypeId(hud);
}

u32 Editor::MakeCamera(u32 cameraTypeId) {
    ObjectFactory* factory = ObjectFactory::Instance();
    IComponent* prototype = factory ? factory->GetPrototype(cameraTypeId) : nullptr;
    if (!prototype) return 0;
    GameObject* object = factory->NewGameObject();
    IComponent* camera = prototype->Clone();
    object->AddComponent(camera);
    if (Transform* transform = factory->Create<Transform>()) object->AddComponent(transform);
    object->Init();
    cameraObjects_.push_back(object->GetId());
    return camera->GetId();
}

void Editor::Init() {
    if (menuSystem_) return;
    selectedObject_ = 0;
    pickedObject_ = 0;
    freeRoamCamera_ = MakeCamera(TypeId<FreeRoamCamera>::Get());
    isoCamera_ = MakeCamera(TypeId<IsoCamera>::Get());
    cameras_ = {freeRoamCamera_, isoCamera_};
    currentCamera_ = cameras_.front();
    selectionSystem_ = new ObjectSelectionSystem();
    proxySystem_ = new EditorProxySystem();
    menuSystem_ = new EditorMenuSystem(GetTypeId());
    undoSystem_ = new EditorMoveUndoSystem();
    uiSystem_ = new EditorUISystem();
    AddSystem(selectionSystem_);
    AddSystem(proxySystem_);
    AddSystem(menuSystem_);
    AddSystem(undoSystem_);
    AddSystem(uiSystem_);
    menuSystem_->Init();
    undoSystem_->Init();
    uiSystem_->Init();
}

void Editor::Clear() {
    if (menuSystem_) menuSystem_->Clear();
    SelectObject(0);
    SetPickedObject(0);
}

void Editor::Update(float dt) {
    LoadPanelEdits();
    for (ISystem* child = GetChildHead(); child; child = child->GetNext()) child->Update(dt);
    // The game's cursor picture is asked to be drawn in every frame; in edit
    // mode the system pointer is the cursor, so the request is taken back.
    Engine* engine = Engine::Instance();
    if (IGraphics* graphics = IGraphics::Find(engine)) graphics->SkipOverlayThisFrame();
    // A selection deleted by any other way than Delete is let go of: no
    // panel entry may stay bound to its freed components.
    if (selectedObject_ != 0 && !Overlord::FindObject(selectedObject_)) SelectObject(0);
    Broadcast(kMsgSelectedObject, selectedObject_);
    Broadcast(kMsgSelectedProxy, pickedObject_);
    GameObject* object = Overlord::FindObject(selectedObject_);
    if (!object) return;
    if (IComponent* movement = object->GetComponentByTypeId(ClassTypeId("Movement"))) movement->DebugDraw();
    if (Transform* transform = object->GetComponent<Transform>()) transform->DebugDraw();
    const std::vector<u32> children = object->GetChildren();
    for (u32 child : children)
        if (Transform* transform = Overlord::FindComponent<Transform>(child)) transform->DebugDraw();
    // The marker is drawn selected: an object without a model, or whose model draws nothing yet.
    if (!object->GetComponent<Model>() ||
        (pickedObject_ != selectedObject_ && Overlord::FindComponent<Model>(pickedObject_)))
        SendToSystem(kMsgSelectedObject, TypeId<GraphicsSystem>::Get(), GetTypeId(), pickedObject_);
    if (PlayerPath* path = object->GetComponent<PlayerPath>()) {
        path->Update(0.0f);
        path->DebugDraw();
    }
}

void Editor::LoadPanelEdits() {
    std::vector<u32> shown = menuSystem_ ? menuSystem_->GetSceneComponentIds() : std::vector<u32>();
    shown.push_back(selectedObject_);
    for (u32 id : shown) {
        GameObject* object = Overlord::FindObject(id);
        if (!object) continue;
        // The panel's "Transformed Position" row shows the world position.
        if (Transform* transform = object->GetComponent<Transform>()) transform->Update(0.0f);
        bool reloaded = false;
        for (IComponent* component : object->GetComponents())
            if (auto* model = dynamic_cast<Model*>(component)) reloaded = model->LoadChangedNames() || reloaded;
        // New bounds to pick by, or a marker while the model draws nothing.
        if (reloaded && proxySystem_ && !IsSceneComponentObject(*object) && proxySystem_->FindProxy(id) != 0) {
            const bool picked = pickedObject_ == proxySystem_->FindProxy(id);
            proxySystem_->RemoveProxiesOf(id);
            proxySystem_->CreateProxy(*object);
            if (picked && id == selectedObject_) SetPickedObject(proxySystem_->FindProxy(id));
        }
    }
}

void Editor::SwitchGameSystems(bool on) {
    Engine* engine = Engine::Instance();
    if (!engine) return;
    for (u32 typeId : {TypeId<Physics>::Get(), TypeId<GameLogic>::Get(), TypeId<BehaviorSystem>::Get(),
                       TypeId<AudioSystem>::Get(), TypeId<PauseMenu>::Get()}) {
        ISystem* system = engine->GetSystem(typeId);
        if (!system) continue;
        system->SetActive(on);
        if (on)
            system->Activate();
        else
            system->Deactivate();
    }
}

void Editor::Activate() {
    Post(kMsgDebugDraw, GetTypeId(), true);
    ShowCursor(true);
    SendToSystem(kMsgEnableGroup, TypeId<GuiSystem>::Get(), GetTypeId(), 1u);
    SendToSystem(kMsgDisableGroup, TypeId<GuiSystem>::Get(), GetTypeId(), 2u);
    BuildObjectControls();
    BuildCameraControls();
    SwitchGameSystems(false);
    Engine* engine = Engine::Instance();
    if (IGraphics* graphics = IGraphics::Find(engine)) {
        windowHandle_ = graphics->GetWindow();
        if (windowHandle_ != 0) DragAcceptFiles(windowHandle_, true);
        if (currentCamera_ != 0) graphics->PushCamera(currentCamera_);
    }
    AskBeforeClosing(true);
    SceneManager* scene = SceneManager::Instance();
    if (scene) scene->SetOwner(this);
    if (GetSubscriptions().empty()) {
        Subscribe(kMsgFilesDropped);
        Subscribe(kMsgClientRect);
        Subscribe(kMsgWindowCreated);
        Subscribe(kMsgSelectObject);
        Subscribe(kMsgPickObject);
        Subscribe(kMsgAddWaypoint);
        Subscribe(kMsgRemoveWaypoint);
        Subscribe(kMsgCameraHome);
        Subscribe(kMsgOrthoCameraStep);
        Subscribe(kMsgCycleCameras);
        Subscribe(kMsgToggleRotateMode);
        Subscribe(kMsgAxisLock);
        Subscribe(kMsgEditorUnused);
        Subscribe(kMsgDeleteSelection);
        Subscribe(kMsgAddComponent);
    } else {
        SubscribeAll();
    }
    for (ISystem* child = GetChildHead(); child; child = child->GetNext()) child->Activate();
    if (scene) scene->ReloadScene();
}

void Editor::Deactivate() {
    AskBeforeClosing(false);
    if (windowHandle_ != 0) DragAcceptFiles(windowHandle_, false);
    RemoveControls();
    if (menuSystem_) {
        menuSystem_->SetActive(false);
        menuSystem_->Deactivate();
    }
    ShowCursor(false);
    UnsubscribeAll();
    for (ISystem* child = GetChildHead(); child; child = child->GetNext()) child->Deactivate();
    Engine* engine = Engine::Instance();
    if (IGraphics* graphics = IGraphics::Find(engine)) graphics->PopCamera();
    Broadcast(kMsgDebugDraw, false);
    SwitchGameSystems(true);
}

void Editor::AskBeforeClosing(bool ask) {
    Engine* engine = Engine::Instance();
    WindowsSystem* windows = engine ? engine->GetSystem<WindowsSystem>() : nullptr;
    if (!windows) return;
    if (ask)
        windows->SetCloseQuestion([this] { return !menuSystem_ || menuSystem_->MayQuit(); });
    else
        windows->SetCloseQuestion(nullptr);
}

void Editor::HandleMessage(Message* message) {
    if (const WindowCreatedData* created = message->Read(kMsgWindowCreated)) {
        windowHandle_ = created->window;
    } else if (const u32* selected = message->Read(kMsgSelectObject)) {
        ChangeSelection(*selected, false);
    } else if (const u32* picked = message->Read(kMsgPickObject)) {
        pickedObject_ = *picked;
    } else if (const std::string* className = message->Read(kMsgAddComponent)) {
        AddComponent(*className);
    } else if (message->Is(kMsgDeleteSelection)) {
        DeleteSelection();
    } else if (const u32* doomed = message->Read(kMsgDeleteObject)) {
        DeleteObject(*doomed);
    } else if (message->Is(kMsgForwardMoveToSelected)) {
        if (selectedObject_ != 0) SendToObject(kMsgEmitterMove, selectedObject_, 0);
    } else if (message->Is(kMsgForwardStartToSelected)) {
        if (selectedObject_ != 0) SendToObject(kMsgEmitterStart, selectedObject_, 0);
    } else if (const DropFiles* const* drop = message->Read(kMsgFilesDropped)) {
        if (*drop) FilesDropped(**drop);
    } else if (message->Is(kMsgAddWaypoint)) {
        AddWaypoint();
    } else if (message->Is(kMsgCameraHome)) {
        CameraHome();
    } else if (const D3DXVECTOR3* step = message->Read(kMsgOrthoCameraStep)) {
        OrthoCameraStep(*step);
    } else if (message->Is(kMsgCycleCameras)) {
        CycleCamera();
    }
}

void Editor::SelectObject(u32 objectId) {
    ChangeSelection(objectId, true);
}

void Editor::ChangeSelection(u32 objectId, bool announce) {
    if (objectId == selectedObject_) return;
    // A deleted object is never selected (a pick made before its deletion).
    if (objectId != 0 && !Overlord::FindObject(objectId)) {
        Log("Editor: object %u no longer exists; the selection stays", objectId);
        return;
    }
    selectedObject_ = objectId;
    const u32 previousPick = pickedObject_;
    if (objectId == 0) {
        pickedObject_ = 0;
        if (menuSystem_) menuSystem_->ClearSelectedBar();
    } else if (menuSystem_) {
        menuSystem_->ShowSelected(objectId);
    }
    if (uiSystem_) uiSystem_->SetCurrentObject(objectId);
    if (announce) Broadcast(kMsgSelectObject, objectId);
    if (pickedObject_ != previousPick) Broadcast(kMsgPickObject, pickedObject_);
}

void Editor::SetPickedObject(u32 objectId) {
    if (objectId == pickedObject_) return;
    pickedObject_ = objectId;
    Broadcast(kMsgPickObject, objectId);
}

void Editor::DeleteSelection() {
    if (pickedObject_ == 0) {
        PostEditorNotice(GetTypeId(), "Delete: nothing selected");
        return;
    }
    GameObject* picked = Overlord::FindObject(pickedObject_);
    if (const auto* link = picked ? picked->GetComponent<WaypointProxyVisualization>() : nullptr) {
        // A waypoint of a track: the track loses it and its waypoint proxies
        // are made again with the new indices. A stale index removes nothing.
        const auto* tag = picked->GetComponent<EditorProxyObject>();
        GameObject* track = tag ? Overlord::FindObject(tag->proxiedObjectId) : nullptr;
        PlayerPath* path = track ? track->GetComponent<PlayerPath>() : nullptr;
        if (path && link->waypointIndex < path->wps.size()) {
            PostEditorNotice(GetTypeId(), "Delete: waypoint " + std::to_string(link->waypointIndex) + " of " +
                                              ObjectLabel(track->GetId()) + " removed");
            path->RemoveWaypoint(link->waypointIndex);
            if (proxySystem_) {
                proxySystem_->RemoveProxiesOf(track->GetId());
                proxySystem_->CreateProxy(*track);
            }
        }
        SelectObject(0);
        return;
    }
    DeleteObject(selectedObject_);
    SelectObject(0);
}

void Editor::DeleteObject(u32 doomed) {
    GameObject* object = Overlord::FindObject(doomed);
    if (!object) return;
    std::string notice = "Delete: " + ObjectLabel(doomed) + " deleted";
    SceneManager* scene = SceneManager::Instance();
    // The others keep their order: Tab, the save and the next load go by it.
    if (scene) std::erase(scene->GetObjectIds(), doomed);
    if (proxySystem_) proxySystem_->RemoveProxiesOf(doomed);
    // Its children stay where they are drawn, as objects of their own: none
    // is left linked to an object the scene no longer holds. Those its
    // components made are not the scene's and go with it.
    std::vector<std::string> parts;
    std::size_t kept = 0;
    for (u32 child : std::vector<u32>(object->GetChildren())) {
        const GameObject* found = Overlord::FindObject(child);
        if (!found || found->GetComponent<EditorProxyObject>()) continue;  // its markers go with it
        if (scene && std::ranges::find(scene->GetObjectIds(), child) == scene->GetObjectIds().end()) {
            parts.push_back(PartLabel(*object, child));
            continue;
        }
        ParentObjectControl::Unparent(child);
        ++kept;
    }
    // Nor does its own parent keep it among its children.
    object->DetachFromParent();
    const std::vector<u32> carriers = scene ? UnbindCarriers(scene->GetObjectIds(), doomed) : std::vector<u32>();
    for (std::size_t i = 0; i < parts.size(); ++i) notice += (i == 0 ? ", " : " and ") + parts[i];
    if (!parts.empty()) notice += " with it";
    if (kept == 1) notice += "; its child stays where it is, without a parent";
    if (kept > 1) notice += "; its " + std::to_string(kept) + " children stay where they are, without a parent";
    if (carriers.size() == 1) notice += "; its carrier " + ObjectLabel(carriers[0]) + " is bound to no track";
    if (carriers.size() > 1 && carriers.size() <= 3) {
        notice += "; its carriers ";
        for (std::size_t i = 0; i < carriers.size(); ++i)
            notice += (i == 0 ? "" : i + 1 == carriers.size() ? " and " : ", ") + ObjectLabel(carriers[i]);
        notice += " are bound to no track";
    }
    if (carriers.size() > 3) notice += "; its " + std::to_string(carriers.size()) + " carriers are bound to no track";
    PostEditorNotice(GetTypeId(), notice);
    // Deselected first: no panel entry may stay bound to the freed components.
    if (selectedObject_ == doomed) SelectObject(0);
    Overlord::Instance()->UnregisterGameObject(doomed);
    if (menuSystem_) menuSystem_->ForgetSceneComponent(doomed);
}

void Editor::AddComponent(const std::string& className) {
    ObjectFactory* factory = ObjectFactory::Instance();
    IComponent* prototype = factory ? factory->GetPrototype(className) : nullptr;
    if (!prototype) {
        Log("Editor: no component class is named \"%s\"; nothing added", className.c_str());
        return;
    }
    const u32 typeId = prototype->GetTypeId();
    if (selectedObject_ == 0) {
        GameObject* object = factory->NewGameObject();
        object->AddComponent(prototype->Clone());
        if (typeId != TypeId<Transform>::Get() && !IsSceneComponentObject(*object))
            if (Transform* transform = factory->Create<Transform>()) object->AddComponent(transform);
        object->Init();
        object->AnnounceComponents();
        if (SceneManager* scene = SceneManager::Instance()) scene->AddObject(object->GetId(), false);
        return;
    }
    GameObject* object = Overlord::FindObject(selectedObject_);
    if (!object) return;
    if (!object->GetComponentByTypeId(typeId)) {
        IComponent* component = prototype->Clone();
        object->AddComponent(component);
        component->Init();
        ::Broadcast(ComponentAnnounced(typeId), object->GetId(), component->GetId());
        // The panel shows the new component's members too.
        if (menuSystem_) menuSystem_->ShowSelected(object->GetId());
        TellLoadPlacement(object->GetId());
    }
    if (!IsSceneComponentObject(*object) && proxySystem_) {
        proxySystem_->RemoveProxiesOf(object->GetId());
        proxySystem_->CreateProxy(*object);
        // The selection is drawn through its proxy: the new one takes the place of the one just removed.
        if (pickedObject_ != 0 && !Overlord::FindObject(pickedObject_))
            SetPickedObject(proxySystem_->FindProxy(object->GetId()));
    }
}

void Editor::OnSceneLoaded() {
    SceneManager* scene = SceneManager::Instance();
    if (!scene) return;
    const std::vector<u32> ids = scene->GetObjectIds();
    for (u32 id : ids) {
        GameObject* object = Overlord::FindObject(id);
        if (!object) continue;
        if (IsSceneComponentObject(*object)) {
            if (menuSystem_) menuSystem_->AddSceneComponent(*object);
        } else if (proxySystem_) {
            proxySystem_->CreateProxy(*object);
        }
    }
    if (menuSystem_) menuSystem_->RememberSavedScene();
}

void Editor::OnSceneCleared() {
    if (proxySystem_) proxySystem_->ClearProxies();
    if (selectionSystem_) selectionSystem_->Clear();
    if (menuSystem_) menuSystem_->RememberSavedScene();
}

void Editor::OnObjectAdded(u32 objectId, bool flag) {
    GameObject* object = Overlord::FindObject(objectId);
    if (!object) return;
    if (IsSceneComponentObject(*object)) {
        if (menuSystem_) menuSystem_->AddSceneComponent(*object);
        return;
    }
    if (proxySystem_) proxySystem_->CreateProxy(*object);
    // The size of what is seen: the model, or the marker that stands in for
    // an object without one or whose model draws nothing yet.
    Model* model = object->GetComponent<Model>();
    if ((!model || D3DXVec3LengthSq(&model->extent) == 0.0f) && proxySystem_)
        if (Model* marker = Overlord::FindComponent<Model>(proxySystem_->FindProxy(objectId))) model = marker;
    Transform* transform = object->GetComponent<Transform>();
    Overlord* overlord = Overlord::Instance();
    Camera* camera = overlord ? dynamic_cast<Camera*>(overlord->GetComponentById(currentCamera_)) : nullptr;
    if (!flag && transform && camera) {
        const D3DXVECTOR3 size = model ? model->extent * 2.0f : kMarkerSize;
        const D3DXVECTOR3 point = FocusPoint(camera->GetPosition(), camera->GetLookAt(), size);
        if (transform->GetParentId() != 0) {
            transform->SetWorldPosition(point);
        } else {
            transform->position = point;
            transform->worldPosition = point;
        }
    }
    TellLoadPlacement(objectId);
}

void Editor::TellLoadPlacement(u32 objectId) {
    if (const std::string placement = LoadPlacement(objectId); !placement.empty())
        PostEditorNotice(GetTypeId(), "Add: " + ObjectLabel(objectId) + " is placed by " + placement +
                                          " at every load, not where the editor puts it");
}

void Editor::AddEditorControl(Control* control) {
    if (!control) return;
    Engine* engine = Engine::Instance();
    if (!engine || !engine->GetSystem<GuiSystem>()) {
        delete control;  // nobody to own it
        return;
    }
    AddControl(control);
}

// Each feature folder adds its rows; they are made and registered in row order.
void Editor::BuildObjectControls() {
    const u32 me = GetTypeId();
    EditorControlTable table;
    BuildModeControls(table, me, cameraSpeedStep_);
    BuildSelectControls(table, me);
    BuildMoveControls(table, me);
    BuildMenuControls(table, me);
    BuildLinkControls(table);
    for (Control* control : table.MakeInRowOrder()) AddEditorControl(control);
}

void Editor::BuildCameraControls() {
    const u32 me = GetTypeId();
    AddEditorControl(
        MakeKeyMessageControl(0x43, "CameraToggleControl", Control::kCategoryNormal, kMsgCycleCameras, false, 0, me));
    // M: the movement keys switch between the camera (group 1) and the
    // selected object (group 2).
    Control* toggle = MakeKeyMessageControl(0x4D, "CameraMoveControlGroupToggle", Control::kCategoryAlways,
                                            kMsgToggleGroup, false, 1, me);
    toggle->AddActivateAction(new MessageAction<u32>(me, kMsgToggleGroup, 2));
    toggle->AddActivateAction(new MessageAction<u32>(me, kMsgToggleObjectMoveMode, 0));
    AddEditorControl(toggle);
    struct Pan {
        u32 key;
        D3DXVECTOR3 direction;
    };
    const Pan pans[] = {
        {0x25, {-1, 0, 0}}, {0x41, {-1, 0, 0}}, {0x27, {1, 0, 0}},  {0x44, {1, 0, 0}},
        {0x26, {0, 1, 0}},  {0x57, {0, 1, 0}},  {0x28, {0, -1, 0}}, {0x53, {0, -1, 0}},
    };
    for (const Pan& pan : pans) {
        auto* control = new Control("freeCamControl", Control::kCategoryNormal);
        control->SetGroup(1);
        // A press let go within the frame pans for that one frame.
        control->AddActivateTrigger(new KeyTrigger(pan.key, KeyTrigger::kModeDownThisFrame, false));
        control->AddDeactivateTrigger(new KeyTrigger(pan.key, KeyTrigger::kModeUp, false));
        control->AddActiveAction(
            new MessageAction<D3DXVECTOR3>(TypeId<GuiSystem>::Get(), kMsgCameraPan, pan.direction));
        AddEditorControl(control);
    }
}
