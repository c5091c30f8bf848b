#include "port/gpu/GpuDepthStencilView.h"

#include "port/gpu/GpuContext.h"

GpuDepthStencilView::GpuDepthStencilView(std::shared_ptr<GpuTexture> texture) : texture_(std::move(texture)) {
    if (texture_) serial_ = texture_->Context()->NewSerial();
}

GpuDepthStencilView::~GpuDepthStencilView() {
    if (texture_) texture_->Context()->ForgetAttachment(serial_);
}
