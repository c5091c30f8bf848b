#include "editor/links/MultiCloneControl.h"

#include <cmath>

#include "controls/KeyTrigger.h"
#include "controls/MouseTrigger.h"
#include "editor/select/ObjectSelectedTrigger.h"
#include "editor/select/PickGeometry.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "render/mesh/Model.h"
#include "scene/SceneManager.h"

namespace {
constexpr u32 kKeyE = 0x45;

}  // namespace

MultiCloneControl::MultiCloneControl() : Control("MultiCloneControl", kCategoryCapturing) {
    AddActivateTrigger(new ObjectSelectedTrigger());
    AddActivateTrigger(new KeyTrigger(kKeyE, KeyTrigger::kModePressed, true));
    AddDeactivateTrigger(new MouseTrigger(0, MouseTrigger::kModeReleased));
    Subscribe(kMsgSelectedObject);
    Subscribe(kMsgMouseRay);
    Subscribe(kMsgActiveCamera);
}

MultiCloneControl::~MultiCloneControl() {
    Overlord* overlord = Overlord::Instance();
    for (u32 id : copies_)
        if (overlord && overlord->GetGameObject(id)) overlord->UnregisterGameObject(id);
}

void MultiCloneControl::OnMessage(Message* message) {
    if (const u32* selected = message->Read(kMsgSelectedObject))
        selectedObject_ = *selected;
    else if (const Ray* ray = message->Read(kMsgMouseRay))
        ray_ = *ray;
    else if (const u32* camera = message->Read(kMsgActiveCamera))
        cameraId_ = *camera;
}

void MultiCloneControl::OnActivate() {
    source_ = 0;
    capLogged_ = false;
    GameObject* source = Overlord::FindObject(selectedObject_);
    const Model* model = source ? source->GetComponent<Model>() : nullptr;
    Transform* transform = source ? source->GetComponent<Transform>() : nullptr;
    if (!model || !transform) {
        SetState(false);
        return;
    }
    source_ = selectedObject_;
    transform->Update(0.0f);
    step_ = model->extent * transform->scale;
    start_ = transform->worldPosition;
}

void MultiCloneControl::UpdateActive(float) {
    D3DXVECTOR3 hit;
    if (source_ == 0 || !RayPlaneIntersect(ray_.origin, ray_.direction, start_, {0, 1, 0}, &hit)) return;
    Reach(hit);
}

void MultiCloneControl::Reach(const D3DXVECTOR3& hit) {
    GameObject* source = Overlord::FindObject(source_);
    Transform* sourceTransform = source ? source->GetComponent<Transform>() : nullptr;
    if (!sourceTransform) return;
    // The row runs along world z; its spacing is the size turned by the
    // inverse of the source's rotation (conj(r) s r), signed: a source turned
    // +90 degrees about y with extent (1, 1, 3) lays its copies 2 apart
    // toward +z.
    const D3DXVECTOR3 turned = RotateByInverse(sourceTransform->GetWorldRotation(), step_);
    const float spacing = 2.0f * turned.z;
    const D3DXVECTOR3 reach = hit - start_;
    double wanted = 0.0;
    if (spacing != 0.0f) wanted = std::floor(D3DXVec3Length(&reach) / std::fabs(spacing));
    if (!std::isfinite(wanted)) wanted = 0.0;
    if (wanted > kMaxCopies) {
        if (!capLogged_)
            Log("MultiCloneControl: %.0f copies asked for, %u made (the most a row)", wanted,
                static_cast<unsigned>(kMaxCopies));
        capLogged_ = true;
        wanted = kMaxCopies;
    }
    const size_t count = static_cast<size_t>(wanted);
    Overlord* overlord = Overlord::Instance();
    while (copies_.size() < count) {
        const Transform* last = copies_.empty() ? sourceTransform : Overlord::FindComponent<Transform>(copies_.back());
        const D3DXVECTOR3 base = last ? last->worldPosition : start_;
        GameObject* copy = source->Clone();
        if (source->GetParent() != 0 && Overlord::FindObject(source->GetParent())) copy->SetParent(source->GetParent());
        copy->Init();
        copy->AnnounceComponents();
        Log("Placing object at %f, %f, %f", static_cast<double>(base.x), static_cast<double>(base.y),
            static_cast<double>(base.z));
        if (Transform* transform = copy->GetComponent<Transform>()) {
            transform->SetWorldPosition(base + D3DXVECTOR3(0, 0, spacing));
            transform->Update(0.0f);
        }
        copies_.push_back(copy->GetId());
    }
    while (copies_.size() > count) {
        if (overlord && overlord->GetGameObject(copies_.back())) overlord->UnregisterGameObject(copies_.back());
        copies_.pop_back();
    }
}

void MultiCloneControl::OnDeactivate() {
    const std::vector<u32> copies = std::move(copies_);
    copies_.clear();
    SceneManager* scene = SceneManager::Instance();
    for (u32 id : copies)
        if (scene && Overlord::FindObject(id)) scene->AddObject(id, true);
    source_ = 0;
}
