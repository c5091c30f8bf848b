#include "port/gpu/GpuRenderTargetView.h"

#include "port/gpu/GpuContext.h"

GpuRenderTargetView::GpuRenderTargetView(std::shared_ptr<GpuTexture> texture) : texture_(std::move(texture)) {
    if (texture_) serial_ = texture_->Context()->NewSerial();
}

GpuRenderTargetView::~GpuRenderTargetView() {
    if (texture_) texture_->Context()->ForgetAttachment(serial_);
}
