#include "engine/Transform.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "core/TypeId.h"
#include "engine/DebugLine.h"
#include "engine/GameObject.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "reflection/TweakBinding.h"
#include "reflection/TweakVarParams.h"

class GraphicsSystem;

namespace {
constexpr float kDegreesToRadians = 0.017453292519943295f;
constexpr double kRadiansToDegrees = 57.29577951308232;

D3DXVECTOR3 Xyz(const D3DXVECTOR4& v) {
    return D3DXVECTOR3(v.x, v.y, v.z);
}

D3DXVECTOR3 TransformPoint(const D3DXVECTOR3& p, const D3DXMATRIX& m) {
    D3DXVECTOR4 out;
    D3DXVec3Transform(&out, &p, &m);
    return Xyz(out);
}

D3DXMATRIX RotationMatrix(const D3DXQUATERNION& q) {
    D3DXMATRIX m;
    D3DXMatrixRotationQuaternion(&m, &q);
    return m;
}

D3DXMATRIX Transposed(const D3DXMATRIX& m) {
    D3DXMATRIX t;
    D3DXMatrixTranspose(&t, &m);
    return t;
}

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The inverse of m when it has one that gives finite values.
bool Invert(const D3DXMATRIX& m, D3DXMATRIX* inverse) {
    float determinant = 0.0f;
    if (!D3DXMatrixInverse(inverse, &determinant, &m)) return false;
    if (determinant == 0.0f || !std::isfinite(determinant)) return false;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(inverse->m[r][c])) return false;
    return true;
}

void SetEulerCallback(const void* value, void* clientData) {
    static_cast<Transform*>(clientData)->SetRotationEulerDegrees(*static_cast<const D3DXVECTOR3*>(value));
}

void GetEulerCallback(void* value, void* clientData) {
    *static_cast<D3DXVECTOR3*>(value) = static_cast<Transform*>(clientData)->GetRotationEulerDegrees();
}

std::map<u32, VelocitySource>& VelocitySources() {
    static std::map<u32, VelocitySource> sources;
    return sources;
}

// The rotation whose matrix has the rows r, u, f (or, transposed, the columns).
D3DXQUATERNION FromAxes(const D3DXVECTOR3& r, const D3DXVECTOR3& u, const D3DXVECTOR3& f, bool asColumns) {
    D3DXMATRIX m(r.x, r.y, r.z, 0, u.x, u.y, u.z, 0, f.x, f.y, f.z, 0, 0, 0, 0, 1);
    if (asColumns) m = Transposed(m);
    D3DXQUATERNION q;
    D3DXQuaternionRotationMatrix(&q, &m);
    D3DXQuaternionNormalize(&q, &q);
    return q;
}

// Forward, right and up for looking from `from` to `to`; false when the two
// points coincide.
bool LookAxes(const D3DXVECTOR3& from, const D3DXVECTOR3& to, D3DXVECTOR3* r, D3DXVECTOR3* u, D3DXVECTOR3* f,
              bool normaliseUp) {
    const D3DXVECTOR3 d = to - from;
    if (D3DXVec3LengthSq(&d) == 0.0f || !Finite(d)) return false;
    D3DXVec3Normalize(f, &d);
    const D3DXVECTOR3 worldUp(0, 1, 0);
    D3DXVECTOR3 right;
    D3DXVec3Cross(&right, &worldUp, f);
    if (D3DXVec3LengthSq(&right) < 1e-12f) right = D3DXVECTOR3(1, 0, 0);  // straight up or down
    D3DXVec3Normalize(r, &right);
    D3DXVec3Cross(u, f, r);
    if (normaliseUp) D3DXVec3Normalize(u, u);
    return true;
}
}  // namespace

Transform::Transform() {
    RebuildMatrices();
}

void Transform::Reflect(MemberList<Transform>& members) {
    members.Add("position", &Transform::position);
    members.Add("rotation", &Transform::rotation);
    members.Add("scale", &Transform::scale);
    members.Add("isInScreenSpace", &Transform::isInScreenSpace);
}

Transform* Transform::GetParentTransform() const {
    return Overlord::FindComponent<Transform>(parentId);
}

void Transform::RebuildMatrices() {
    D3DXMatrixScaling(&scalingMatrix, scale, scale, scale);
    D3DXMatrixRotationQuaternion(&rotationMatrix, &rotation);
    D3DXMatrixTranslation(&translationMatrix, position.x, position.y, position.z);
}

namespace {

// What GetWorldMatrix and GetWorldRotation give for a transform whose chain
// has just been brought up to date.
struct WorldPlacement {
    D3DXMATRIX matrix;
    D3DXQUATERNION rotation;
};

// Transform::Update of t and, first, of every ancestor, root first; `out`
// (when given) receives t's world matrix and rotation. Each level hands these
// down, so a chain of depth n multiplies n matrices instead of asking each
// parent to walk the chain above it again; the products are the same ones in
// the same order, so the results are too.
void UpdateChain(Transform& t, WorldPlacement* out) {
    t.RebuildMatrices();
    // A broken link cuts the chain as GetWorldMatrix cuts it; the world values stay.
    Transform* parent = t.parentId == 0 ? nullptr : t.GetParentTransform();
    WorldPlacement above;
    if (t.parentId == 0) {
        t.worldPosition = t.position;
        t.worldRotation = t.rotation;
        t.worldScale = t.scale;
    } else if (parent) {
        UpdateChain(*parent, &above);
        t.worldPosition = TransformPoint(t.position, above.matrix);
        D3DXQuaternionMultiply(&t.worldRotation, &t.rotation, &above.rotation);
        t.worldScale = t.scale * parent->worldScale;
    }
    if (!out) return;
    const D3DXMATRIX local = t.scalingMatrix * t.rotationMatrix * t.translationMatrix;
    out->matrix = parent ? local * above.matrix : local;
    out->rotation = parent ? t.worldRotation : t.rotation;
}

}  // namespace

void Transform::Update(float) {
    UpdateChain(*this, nullptr);
}

void Transform::Init() {
    D3DXQuaternionNormalize(&rotation, &rotation);
    if (parentId == 0) {
        worldPosition = position;
        worldRotation = rotation;
        worldScale = scale;
    }
    RebuildMatrices();
}

D3DXMATRIX Transform::GetWorldMatrix() const {
    D3DXMATRIX local = scalingMatrix * rotationMatrix * translationMatrix;
    if (const Transform* parent = GetParentTransform()) return local * parent->GetWorldMatrix();
    return local;
}

D3DXQUATERNION Transform::GetWorldRotation() const {
    const Transform* parent = GetParentTransform();
    if (!parent) return rotation;
    const D3DXQUATERNION parentRotation = parent->GetWorldRotation();
    D3DXQUATERNION world;
    D3DXQuaternionMultiply(&world, &rotation, &parentRotation);
    return world;
}

float Transform::GetWorldScale() const {
    const Transform* parent = GetParentTransform();
    return parent ? scale * parent->GetWorldScale() : scale;
}

void Transform::SetPosition(float x, float y, float z) {
    if (parentId == 0) {
        position = worldPosition = D3DXVECTOR3(x, y, z);
        return;
    }
    SetWorldPosition(D3DXVECTOR3(x, y, z));
}

D3DXVECTOR3 Transform::SetPositionAndUpdate(float x, float y, float z) {
    SetPosition(x, y, z);
    Update(0.0f);
    return worldPosition;
}

void Transform::SetWorldPosition(const D3DXVECTOR3& p) {
    if (parentId == 0) {
        position = worldPosition = p;
        return;
    }
    Transform* parent = GetParentTransform();
    if (!parent) return;
    parent->Update(0.0f);
    D3DXMATRIX inverse;
    if (Invert(parent->GetWorldMatrix(), &inverse)) {
        const D3DXVECTOR3 local = TransformPoint(p, inverse);
        if (Finite(local)) {
            position = local;
            worldPosition = p;
            return;
        }
    }
    Update(0.0f);  // a collapsed parent: the object stays where the parent puts it
}

void Transform::SetRotation(const D3DXQUATERNION& q) {
    if (parentId == 0) {
        rotation = worldRotation = q;
        return;
    }
    SetWorldRotation(q);
}

void Transform::SetWorldRotation(const D3DXQUATERNION& q) {
    if (parentId == 0) {
        rotation = worldRotation = q;
        return;
    }
    Transform* parent = GetParentTransform();
    if (!parent) return;
    const D3DXMATRIX local = RotationMatrix(q) * Transposed(RotationMatrix(parent->GetWorldRotation()));
    D3DXQuaternionRotationMatrix(&rotation, &local);
    worldRotation = q;
}

D3DXQUATERNION RotationFromEulerDegrees(const D3DXVECTOR3& e) {
    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, e.y * kDegreesToRadians, e.x * kDegreesToRadians, e.z * kDegreesToRadians);
    D3DXQuaternionNormalize(&q, &q);
    return q;
}

D3DXVECTOR3 EulerDegreesFromRotation(const D3DXQUATERNION& q) {
    // The rotation matrix is roll (Z) x pitch (X) x yaw (Y): its third row is
    // (cos p sin y, -sin p, cos p cos y), its second column (sin r cos p,
    // cos r cos p, -sin p).
    const D3DXMATRIX m = RotationMatrix(q);
    const double sinPitch = std::clamp(-static_cast<double>(m.m[2][1]), -1.0, 1.0);
    const double pitch = std::asin(sinPitch);
    double yaw = 0.0, roll = 0.0;
    if (std::fabs(sinPitch) < 0.99999) {
        yaw = std::atan2(m.m[2][0], m.m[2][2]);
        roll = std::atan2(m.m[0][1], m.m[1][1]);
    } else {
        // Straight up or down: yaw and roll turn about the same axis; all of
        // it is yaw, read from the first row (cos y, 0, -sin y).
        yaw = std::atan2(-m.m[0][2], m.m[0][0]);
    }
    // + 0.0 turns a -0 (asin of -0) into 0: the panel shows "0", not "-0".
    return D3DXVECTOR3(static_cast<float>(pitch * kRadiansToDegrees + 0.0),
                       static_cast<float>(yaw * kRadiansToDegrees + 0.0),
                       static_cast<float>(roll * kRadiansToDegrees + 0.0));
}

void Transform::SetRotationEulerDegrees(const D3DXVECTOR3& e) {
    rotation = RotationFromEulerDegrees(e);
    if (const Transform* parent = parentId == 0 ? nullptr : GetParentTransform()) {
        const D3DXQUATERNION parentRotation = parent->GetWorldRotation();
        D3DXQuaternionMultiply(&worldRotation, &rotation, &parentRotation);
    } else {
        worldRotation = rotation;
    }
    RebuildMatrices();
    eulerDegrees_ = e;
    eulerRotation_ = rotation;
}

D3DXVECTOR3 Transform::GetRotationEulerDegrees() const {
    // The angles last typed, while the rotation is still the one they made:
    // 200 degrees of yaw stay 200, not -160 or a pitch and roll of 180.
    if (std::memcmp(&rotation, &eulerRotation_, sizeof rotation) == 0) return eulerDegrees_;
    return EulerDegreesFromRotation(rotation);
}

D3DXVECTOR3 Transform::GetForward() {
    Update(0.0f);
    return TransformPoint(D3DXVECTOR3(0, 0, 1), RotationMatrix(GetWorldRotation()));
}

D3DXVECTOR3 Transform::GetUp() const {
    return RotateByInverse(GetWorldRotation(), D3DXVECTOR3(0, 1, 0));
}

void Transform::MakeRelativeTo(Transform& parent) {
    Update(0.0f);
    parent.Update(0.0f);
    const D3DXMATRIX parentRotationT = Transposed(RotationMatrix(parent.GetWorldRotation()));
    const D3DXMATRIX local = RotationMatrix(rotation) * parentRotationT;
    D3DXQuaternionRotationMatrix(&rotation, &local);
    D3DXMATRIX inverse;
    if (Invert(parent.GetWorldMatrix(), &inverse)) {
        const D3DXVECTOR3 relative = TransformPoint(worldPosition, inverse);
        const float parentScale = parent.GetWorldScale();
        if (Finite(relative) && parentScale != 0.0f && std::isfinite(scale / parentScale)) {
            position = relative;
            scale /= parentScale;
        }
    }
}

void Transform::DebugDraw() {
    const D3DXMATRIX world = GetWorldMatrix();
    const D3DXVECTOR3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        const D3DXVECTOR3 tip = TransformPoint(axes[i], world);
        const D3DXCOLOR& c = axisColors[i];
        const DebugLine line{
            {worldPosition.x, worldPosition.y, worldPosition.z}, {tip.x, tip.y, tip.z}, {c.r, c.g, c.b, c.a}};
        SendToSystem(kMsgDebugLineB, TypeId<GraphicsSystem>::Get(), GetOwner(), line);
    }
}

void Transform::AddTweakBarVars(TwBar* bar, const TweakVarParams& group) {
    TwAddVarRO(bar, ("TransformedPosition" + group.nameSuffix).c_str(), TW_TYPE_DIR3F, &worldPosition,
               MakeTweakDefinition(group, "Transformed Position").c_str());
    TwAddVarCB(bar, ("RotationEulerDegrees" + group.nameSuffix).c_str(), TW_TYPE_DIR3F, &SetEulerCallback,
               &GetEulerCallback, this, MakeTweakDefinition(group, "Rotation (Degrees)").c_str());
}

void Transform::OnOwnerParentChanged(u32 newParentId, bool rebuild) {
    parentId = newParentId;
    if (rebuild) Update(0.0f);
}

D3DXVECTOR3 RotateByInverse(const D3DXQUATERNION& q, const D3DXVECTOR3& v) {
    const D3DXQUATERNION pure(v.x, v.y, v.z, 0.0f);
    D3DXQUATERNION conjugate, step, result;
    D3DXQuaternionConjugate(&conjugate, &q);
    D3DXQuaternionMultiply(&step, &q, &pure);
    D3DXQuaternionMultiply(&result, &step, &conjugate);
    return D3DXVECTOR3(result.x, result.y, result.z);
}

D3DXQUATERNION LookRotation(const D3DXVECTOR3& from, const D3DXVECTOR3& to) {
    D3DXVECTOR3 r, u, f;
    if (!LookAxes(from, to, &r, &u, &f, true)) return D3DXQUATERNION(0, 0, 0, 1);
    return FromAxes(r, u, f, false);
}

D3DXQUATERNION LookRotationInverse(const D3DXVECTOR3& from, const D3DXVECTOR3& to) {
    D3DXVECTOR3 r, u, f;
    if (!LookAxes(from, to, &r, &u, &f, false)) return D3DXQUATERNION(0, 0, 0, 1);
    return FromAxes(r, u, f, true);
}

void SetVelocitySource(u32 componentTypeId, VelocitySource source) {
    if (source)
        VelocitySources()[componentTypeId] = source;
    else
        VelocitySources().erase(componentTypeId);
}

D3DXVECTOR3 GetObjectVelocity(u32 objectId) {
    D3DXVECTOR3 total(0, 0, 0);
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return total;
    // Ancestors first; the chain is bounded in case links were broken.
    std::vector<const GameObject*> chain;
    for (u32 id = objectId; id != 0 && chain.size() < 100000;) {
        const GameObject* object = overlord->GetGameObject(id);
        if (!object) break;
        chain.push_back(object);
        id = object->GetParent();
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const auto& [typeId, source] : VelocitySources())
            if (const IComponent* component = (*it)->GetComponentByTypeId(typeId)) total += source(*component);
    return total;
}
