// The component that places a game object: local position, rotation and
// uniform scale relative to the parent object (found by id through the
// Overlord), the matrices built from them and cached world values. World
// values follow the parent chain, root first. Reflected as "Transform"
// ("position", "rotation", "scale", "isInScreenSpace"). Owned by its object;
// main thread only. Also the free functions for rotations and object motion.
#pragma once
#include <string>

#include "engine/Component.h"
#include "port/math/D3DX.h"

class Transform : public Component<Transform> {
public:
    Transform();

    static void Reflect(MemberList<Transform>& members);

    // Rebuilds the matrices and the world values; dt is not used.
    void Update(float dt) override;
    // Normalises the rotation; a root copies its local values to the world
    // values; rebuilds the matrices.
    void Init() override;
    // Three axis lines from the world position to the tips of the world
    // matrix's axes, to the renderer.
    void DebugDraw() override;
    // "TransformedPosition" (read-only world position) and
    // "RotationEulerDegrees" (the local rotation's angles, labelled
    // "Rotation (Degrees)"), both with the object's name suffix.
    void AddTweakBarVars(TwBar* bar, const TweakVarParams& group) override;
    // Takes the owner's new parent id; rebuild updates the world values at once.
    void OnOwnerParentChanged(u32 parentId, bool rebuild) override;

    // scaling, rotation and translation matrices from scale, rotation, position.
    void RebuildMatrices();
    // scaling x rotation x translation, times the parent's world matrix (the
    // stored matrices, as they are).
    D3DXMATRIX GetWorldMatrix() const;
    // The rotation followed by the parent's world rotation.
    D3DXQUATERNION GetWorldRotation() const;
    // The scale times the parent's world scale.
    float GetWorldScale() const;
    // A root takes the values as local and world position; a child takes
    // them as its world position.
    void SetPosition(float x, float y, float z);
    D3DXVECTOR3 SetPositionAndUpdate(float x, float y, float z);
    // The local position that puts the object at p, through the inverse of
    // the parent's world matrix (exact under scaled and rotated ancestors).
    // Under a parent of zero scale every local position lands on the parent,
    // so the position is kept.
    void SetWorldPosition(const D3DXVECTOR3& p);
    void SetRotation(const D3DXQUATERNION& q);
    void SetWorldRotation(const D3DXQUATERNION& q);
    // The local rotation from angles in degrees about X (pitch), Y (yaw) and
    // Z (roll), as RotationFromEulerDegrees; the world rotation follows.
    void SetRotationEulerDegrees(const D3DXVECTOR3& e);
    // The angles of the local rotation: those last set while the rotation is
    // still theirs, else EulerDegreesFromRotation. Inverse of the setter.
    D3DXVECTOR3 GetRotationEulerDegrees() const;
    // (0, 0, 1) and (0, 1, 0) turned by the world rotation (up: by its inverse).
    D3DXVECTOR3 GetForward();
    D3DXVECTOR3 GetUp() const;
    // Re-expresses the current world placement relative to parent (the
    // current rotation is taken as the world rotation); the world position
    // is kept.
    void MakeRelativeTo(Transform& parent);

    u32 GetParentId() const { return parentId; }
    // The parent object's Transform, or null.
    Transform* GetParentTransform() const;

    D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};
    D3DXQUATERNION rotation{0.0f, 0.0f, 0.0f, 1.0f};
    D3DXVECTOR3 worldPosition{0.0f, 0.0f, 0.0f};
    D3DXQUATERNION worldRotation{0.0f, 0.0f, 0.0f, 1.0f};
    float scale = 1.0f;
    // The scale times the parent's world scale at the last Update (kept, as
    // the world position and rotation are, when the parent is gone).
    float worldScale = 1.0f;
    D3DXMATRIX scalingMatrix;
    D3DXMATRIX rotationMatrix;
    D3DXMATRIX translationMatrix;
    bool isInScreenSpace = false;
    u32 parentId = 0;
    D3DXCOLOR axisColors[3] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};

private:
    // The angles the panel last set and the local rotation they made.
    D3DXVECTOR3 eulerDegrees_{0.0f, 0.0f, 0.0f};
    D3DXQUATERNION eulerRotation_{0.0f, 0.0f, 0.0f, 1.0f};
};

// Degrees about X, Y and Z (e.x, e.y, e.z) to a normalised rotation: roll
// about Z first, then pitch about X, then yaw about Y.
D3DXQUATERNION RotationFromEulerDegrees(const D3DXVECTOR3& e);
// Its inverse: pitch in [-90, 90], yaw and roll in [-180, 180]; straight up
// or down all of the turn about Y is yaw.
D3DXVECTOR3 EulerDegreesFromRotation(const D3DXQUATERNION& q);

// v turned by the inverse of q: conj(q) (x) (v, 0) (x) q.
D3DXVECTOR3 RotateByInverse(const D3DXQUATERNION& q, const D3DXVECTOR3& v);
// The rotation whose rows are right, up and forward for looking from `from`
// to `to`. Looking straight up or down uses the x axis as right; from == to
// gives the identity.
D3DXQUATERNION LookRotation(const D3DXVECTOR3& from, const D3DXVECTOR3& to);
// The inverse of LookRotation (the same axes as columns).
D3DXQUATERNION LookRotationInverse(const D3DXVECTOR3& from, const D3DXVECTOR3& to);

// Motion of one component of an object (a body's forces, a crawler's
// motion), installed by the classes that have one.
using VelocitySource = D3DXVECTOR3 (*)(const IComponent& component);
void SetVelocitySource(u32 componentTypeId, VelocitySource source);
// The sum of the sources over the object and all its ancestors; (0, 0, 0)
// for an unknown id.
D3DXVECTOR3 GetObjectVelocity(u32 objectId);
