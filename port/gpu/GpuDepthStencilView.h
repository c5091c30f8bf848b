// Mip 0 of a depth-stencil texture as the depth-stencil target (see GpuAttachmentView).
#pragma once
#include "port/gpu/GpuAttachmentView.h"

class GpuDepthStencilView : public GpuAttachmentView {
public:
    using GpuAttachmentView::GpuAttachmentView;
};
