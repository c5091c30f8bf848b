// Ctrl+B: joins two objects vertex to vertex. Press on a vertex of the first
// object, release over a vertex of another: the first object moves so that
// its vertex lands on the second's. The vertex nearest the mouse hit on the
// picked object's mesh is marked while looking. Escape cancels. Each step,
// and why a press or release took no vertex, is said on the status lines.
// Capturing; keeps the picked object and the mouse ray. Owned by the
// GuiSystem; main thread only.
#pragma once
#include <string>

#include "controls/Control.h"
#include "engine/Ray.h"
#include "port/math/D3DX.h"

class VertexSnapControl : public Control {
public:
    // A chosen vertex: its object, its index (-1: none) and its position in
    // the mesh's own space.
    struct SnapPoint {
        u32 objectId = 0;
        int vertex = -1;
        D3DXVECTOR3 position{0, 0, 0};
    };

    VertexSnapControl();

    // kMsgPickedObject and kMsgMouseRay.
    void OnMessage(Message* message) override;
    void OnActivate() override;
    void UpdateActive(float dt) override;

    // The vertex of the object's mesh nearest to where the ray (in world
    // space) hits it; vertex -1 when the object has no mesh data or the ray
    // misses.
    static SnapPoint FindVertex(u32 objectId, const Ray& ray);
    // Moves the first point's object so that its vertex meets the second's,
    // both taken to world space once by their objects' world matrices.
    static void Snap(const SnapPoint& first, const SnapPoint& second);

    const SnapPoint& GetFirst() const { return first_; }

private:
    // The line to the status lines, unless it is the one said last.
    void Tell(const std::string& text);
    // Why no vertex of the object is under the pointer.
    static std::string Missing(u32 objectId);

    std::string lastNotice_;
    u32 pickedObject_ = 0;
    Ray ray_{};
    SnapPoint first_;
    SnapPoint second_;
};
