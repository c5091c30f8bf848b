// The Editor's camera, track and file-drop commands (the rest of the Editor
// is in Editor.cpp).
#include <filesystem>

#include "editor/mode/Editor.h"
#include "editor/mode/FocusPoint.h"
#include "editor/proxy/EditorProxySystem.h"
#include "editor/select/PickGeometry.h"
#include "engine/Engine.h"
#include "engine/FilePath.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/track/PlayerPath.h"
#include "port/window/DragDrop.h"
#include "reflection/Waypoint.h"
#include "render/IGraphics.h"
#include "render/camera/Camera.h"
#include "render/camera/FreeRoamCamera.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelCache.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"

namespace {
IGraphics* Graphics() {
    Engine* engine = Engine::Instance();
    return IGraphics::Find(engine);
}

Camera* CameraById(u32 componentId) {
    Overlord* overlord = Overlord::Instance();
    return overlord && componentId != 0 ? dynamic_cast<Camera*>(overlord->GetComponentById(componentId)) : nullptr;
}

// A world position and, when given, a rotation, refreshed at once.
void Place(Transform& transform, const D3DXVECTOR3& position, const D3DXQUATERNION* rotation = nullptr) {
    transform.SetPosition(position.x, position.y, position.z);
    if (rotation) transform.SetRotation(*rotation);
    transform.Update(0.0f);
}

// The world position of the object's Transform, refreshed; null without one.
Transform* RefreshedTransform(GameObject* object) {
    Transform* transform = object ? object->GetComponent<Transform>() : nullptr;
    if (transform) transform->Update(0.0f);
    return transform;
}

// The camera orientation that looks from one point at another. The editor
// cameras turn their local axes by the inverse of their rotation, so this is
// the inverse of an object's LookRotation (straight up and down included).
D3DXQUATERNION CameraFacing(const D3DXVECTOR3& from, const D3DXVECTOR3& to) {
    const D3DXQUATERNION look = LookRotation(from, to);
    D3DXQUATERNION facing;
    D3DXQuaternionConjugate(&facing, &look);
    return facing;
}

// Below this distance (world units) the camera stands on its target and has no direction to keep.
constexpr float kOnTarget = 1e-4f;
}  // namespace

void Editor::CameraHome() {
    IGraphics* graphics = Graphics();
    const u32 active = graphics ? graphics->GetActiveCameraId() : 0;
    if (active == 0 || (active != freeRoamCamera_ && active != isoCamera_)) return;
    Camera* camera = CameraById(active);
    Transform* eye = camera ? Overlord::FindComponent<Transform>(camera->GetOwner()) : nullptr;
    if (!eye) return;
    const bool free = active == freeRoamCamera_;
    if (selectedObject_ == 0) {
        const D3DXQUATERNION identity(0, 0, 0, 1);
        if (free)
            Place(*eye, D3DXVECTOR3(0, 0, 0), &identity);
        else
            Place(*eye, D3DXVECTOR3(0, 10, -10));
        return;
    }
    GameObject* selected = Overlord::FindObject(selectedObject_);
    GameObject* target = selected && selected->GetComponent<Model>() ? selected : Overlord::FindObject(pickedObject_);
    const Model* model = target ? target->GetComponent<Model>() : nullptr;
    const Transform* transform = RefreshedTransform(target);
    if (!model || !transform) return;
    const D3DXVECTOR3 size = model->extent * 2.0f * transform->scale;
    const float length = D3DXVec3Length(&size);
    const float distance = length > 10.0f ? length : 10.0f;
    const D3DXVECTOR3 at = transform->worldPosition;
    const D3DXVECTOR3 position(at.x, at.y + distance, at.z - distance);
    if (free) {
        const D3DXQUATERNION look = CameraFacing(position, at);
        Place(*eye, position, &look);
    } else {
        Place(*eye, position);
    }
}

void Editor::OrthoCameraStep(const D3DXVECTOR3& step) {
    if (pickedObject_ == 0) return;
    GameObject* picked = Overlord::FindObject(pickedObject_);
    const Transform* target =
        RefreshedTransform(picked && picked->GetComponent<Model>() ? picked : Overlord::FindObject(selectedObject_));
    IGraphics* graphics = Graphics();
    auto* camera = graphics ? dynamic_cast<FreeRoamCamera*>(CameraById(graphics->GetActiveCameraId())) : nullptr;
    Transform* eye = camera ? Overlord::FindComponent<Transform>(camera->GetOwner()) : nullptr;
    if (!target || !eye) return;
    const D3DXVECTOR3 at = target->worldPosition;
    const D3DXVECTOR3 offset = camera->GetPosition() - at;
    const float distance = D3DXVec3Length(&offset);
    if (distance < kOnTarget) return;
    if (step == orthoUpVector_)
        orthoAxis_ = orthoAxis_ == 2 ? 0 : orthoAxis_ + 1;
    else
        orthoAxis_ = orthoAxis_ == 0 ? 2 : orthoAxis_ - 1;
    D3DXVECTOR3 axis(0, 0, 0);
    const float sign = orthoAxis_ == 0 ? step.x : orthoAxis_ == 1 ? step.y : step.z;
    (orthoAxis_ == 0 ? axis.x : orthoAxis_ == 1 ? axis.y : axis.z) = sign;
    const D3DXVECTOR3 position = at + axis * distance;
    const D3DXQUATERNION look = CameraFacing(position, at);
    Place(*eye, position, &look);
}

void Editor::CycleCamera() {
    if (!cameras_.empty()) cameras_.pop_front();
    cameras_.push_back(currentCamera_);
    currentCamera_ = cameras_.front();
    if (IGraphics* graphics = Graphics()) {
        graphics->PopCamera();
        graphics->PushCamera(currentCamera_);
    }
}

void Editor::AddWaypoint() {
    GameObject* track = Overlord::FindObject(selectedObject_);
    PlayerPath* path = track ? track->GetComponent<PlayerPath>() : nullptr;
    Camera* camera = CameraById(currentCamera_);
    if (!path || !camera) return;
    D3DXVECTOR3 point = FocusPoint(camera->GetPosition(), camera->GetLookAt(), D3DXVECTOR3(1, 1, 1));
    // The path keeps its waypoints in its object's space.
    if (const Transform* transform = RefreshedTransform(track)) {
        D3DXMATRIX inverse;
        const D3DXMATRIX world = transform->GetWorldMatrix();
        if (D3DXMatrixInverse(&inverse, nullptr, &world)) D3DXVec3TransformCoord(&point, &point, &inverse);
    }
    Waypoint waypoint;
    waypoint.pos = point;
    path->wps.push_back(waypoint);
    path->needsRebuild = true;
    if (proxySystem_)
        proxySystem_->CreateWaypointProxy(track->GetId(), waypoint, static_cast<u32>(path->wps.size() - 1));
    path->Update(0.0f);
}

void Editor::FilesDropped(const DropFiles& drop) {
    const unsigned count = DragQueryFileA(&drop, 0xFFFFFFFFu, nullptr, 0);
    for (unsigned i = 0; i < count; ++i) {
        std::string name(DragQueryFileA(&drop, i, nullptr, 0), '\0');
        if (name.empty()) continue;
        std::vector<char> buffer(name.size() + 1);
        name.assign(buffer.data(), DragQueryFileA(&drop, i, buffer.data(), static_cast<unsigned>(buffer.size())));
        i32 x = 0, y = 0;
        if (DragQueryPoint(&drop, &x, &y)) OnFilesDropped(name, x, y);
    }
}

Ray Editor::PickRay(int x, int y) const {
    IGraphics* graphics = Graphics();
    Camera* camera = CameraById(graphics ? graphics->GetActiveCameraId() : 0);
    if (!camera) camera = CameraById(currentCamera_);
    D3DXMATRIX view, inverseView, projection;
    D3DXMatrixIdentity(&view);
    D3DXMatrixIdentity(&projection);
    float width = 1.0f, height = 1.0f;
    if (camera) view = camera->BuildView();
    if (graphics) {
        projection = graphics->GetProjection();
        // The drop point is in client pixels; the picture may be smaller.
        const ClientRect& rect = graphics->GetClientRect();
        const bool client = rect.right > rect.left && rect.bottom > rect.top;
        width = static_cast<float>(client ? rect.right - rect.left : graphics->GetWidth());
        height = static_cast<float>(client ? rect.bottom - rect.top : graphics->GetHeight());
    }
    if (!D3DXMatrixInverse(&inverseView, nullptr, &view)) D3DXMatrixIdentity(&inverseView);
    return MouseToWorldRay(static_cast<float>(x), static_cast<float>(y), width, height, projection, inverseView);
}

void Editor::OnFilesDropped(const std::string& path, int x, int y) {
    if (path.empty()) return;
    FilePath parts;
    const std::string base = parts.Split(path);
    ObjectFactory* factory = ObjectFactory::Instance();
    ModelCache* cache = ModelCache::Instance();
    std::error_code error;
    if (parts.extension != ".bin" || base.empty() || std::filesystem::is_directory(path, error) || !Graphics() ||
        !factory || !cache)
        return;
    Model* model = factory->Create<Model>();
    if (!model) return;
    model->filename = base;
    if (!cache->LoadModel(*model)) {
        Log("Editor: the dropped file \"%s\" names no model of the model folder", path.c_str());
        delete model;
        return;
    }
    model->LoadTextures();
    Transform* transform = factory->Create<Transform>();
    const Ray ray = PickRay(x, y);
    D3DXVECTOR3 ground(0, 0, 0);
    if (!RayPlaneIntersect(ray.origin, ray.direction, D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0), &ground))
        ground = D3DXVECTOR3(0, 0, 0);
    transform->SetPosition(ground.x, ground.y, ground.z);
    GameObject* object = factory->NewGameObject();
    object->AddComponent(model);
    object->AddComponent(transform);
    object->Init();
    object->AnnounceComponents();
    // In the scene like every other new object: saved, cleared with it, one proxy.
    if (SceneManager* scene = SceneManager::Instance()) scene->AddObject(object->GetId(), true);
    SelectObject(object->GetId());
    SetPickedObject(proxySystem_ ? proxySystem_->FindProxy(object->GetId()) : 0);
}
