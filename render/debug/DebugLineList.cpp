#include "render/debug/DebugLineList.h"

DebugLineList::DebugLineList() : vertices_(new DebugLineVertex[kCapacity]) {}

void DebugLineList::Add(const D3DXVECTOR3& start, const D3DXVECTOR3& end, const D3DXCOLOR& colour) {
    if (count_ + 2 > kFrameLimit) return;
    const D3DXVECTOR3 rgb(colour.r, colour.g, colour.b);
    vertices_[count_++] = DebugLineVertex{start, rgb, {}};
    vertices_[count_++] = DebugLineVertex{end, rgb, {}};
}
