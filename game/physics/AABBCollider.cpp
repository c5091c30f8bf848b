#include "game/physics/AABBCollider.h"

#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "render/IGraphics.h"

AABBCollider::AABBCollider(const AABBCollider& other)
    : Component<AABBCollider>(other), boxMin(other.boxMin), boxMax(other.boxMax), colour(other.colour) {}

void AABBCollider::DebugDraw() {
    const Transform* transform = Overlord::FindComponent<Transform>(GetOwner());
    if (!transform) return;
    if (edges_.empty()) {
        const D3DXVECTOR3 lo = boxMin, hi = boxMax;
        auto corner = [&](int i) {
            return D3DXVECTOR3((i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z);
        };
        // Corners i and j share an edge when their indices differ in one bit.
        for (int i = 0; i < 8; ++i)
            for (int bit = 1; bit < 8; bit <<= 1)
                if (!(i & bit)) edges_.push_back(DebugLine{corner(i), corner(i | bit), {0, 0, 0, 1}});
    }
    const D3DXMATRIX world = transform->GetWorldMatrix();
    for (const DebugLine& edge : edges_) {
        DebugLine line;
        D3DXVec3TransformCoord(&line.start, &edge.start, &world);
        D3DXVec3TransformCoord(&line.end, &edge.end, &world);
        line.colour = colour;
        SendToSystem(kMsgDebugLineA, TypeId<GraphicsSystem>::Get(), GetId(), line);
    }
}
