// Mip 0 of a 2D texture as a colour render target (see GpuAttachmentView).
#pragma once
#include "port/gpu/GpuAttachmentView.h"

class GpuRenderTargetView : public GpuAttachmentView {
public:
    using GpuAttachmentView::GpuAttachmentView;
};
