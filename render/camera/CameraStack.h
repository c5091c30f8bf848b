// The renderer's camera stack: camera component ids, the newest (back) being
// the active camera. The renderer pushes its default camera at Init and keeps
// it at the bottom; the level editor pushes and pops its own. Owned by the
// GraphicsSystem's RenderLists. Main thread only.
#pragma once
#include <deque>

#include "core/Types.h"

class Camera;

class CameraStack {
public:
    void Push(u32 cameraId) { ids_.push_back(cameraId); }
    // Nothing when empty.
    void Pop() {
        if (!ids_.empty()) ids_.pop_back();
    }
    // The back id, or 0 when empty; not checked against the registry.
    u32 GetActiveId() const { return ids_.empty() ? 0 : ids_.back(); }
    // The newest camera still registered: ids of removed cameras are popped on
    // the way. Null when none is left.
    Camera* ResolveActive();

    bool Empty() const { return ids_.empty(); }
    const std::deque<u32>& Ids() const { return ids_; }

private:
    std::deque<u32> ids_;
};
