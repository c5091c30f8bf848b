#include "port/gpu/GpuAttachmentView.h"

#include "port/gpu/GpuContext.h"

GpuAttachmentView::GpuAttachmentView(std::shared_ptr<GpuTexture> texture) : texture_(std::move(texture)) {
    if (texture_) serial_ = texture_->Context()->NewSerial();
}

GpuAttachmentView::~GpuAttachmentView() {
    if (texture_) texture_->Context()->ForgetAttachment(serial_);
}
