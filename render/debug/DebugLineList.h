// One of the renderer's two per-frame debug line lists: a fixed array of
// vertices allocated once with the GraphicsSystem (no allocation per line),
// filled by line messages during a frame and emptied by the debug pass.
// Owned by RenderLists. Main thread only.
#pragma once
#include <memory>

#include "core/Types.h"
#include "render/debug/DebugRecords.h"

class DebugLineList {
public:
    static constexpr u32 kCapacity = 10000;   // vertices allocated
    static constexpr u32 kFrameLimit = 5000;  // vertices drawn per frame (2500 lines)

    DebugLineList();

    // Appends a line (two vertices, colour r, g, b); dropped silently once the
    // frame's limit is reached.
    void Add(const D3DXVECTOR3& start, const D3DXVECTOR3& end, const D3DXCOLOR& colour);
    // Vertices to draw this frame (at most kFrameLimit).
    u32 Count() const { return count_ < kFrameLimit ? count_ : kFrameLimit; }
    const DebugLineVertex* Vertices() const { return vertices_.get(); }
    void Reset() { count_ = 0; }

private:
    std::unique_ptr<DebugLineVertex[]> vertices_;
    u32 count_ = 0;
};
