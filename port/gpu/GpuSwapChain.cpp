#include "port/gpu/GpuSwapChain.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include "port/gpu/GpuContext.h"
#include "port/gpu/GpuDevice.h"
#include "port/window/DisplayLoss.h"
#include "port/window/DisplayServer.h"
#include "port/window/PortWindow.h"

GpuSwapChain::GpuSwapChain(std::shared_ptr<GpuDevice> device, void* window, std::uint32_t width, std::uint32_t height)
    : device_(std::move(device)), window_(window) {
    glCreateFramebuffers(1, &readFramebuffer_);
    ResizeBuffers(width, height);
}

GpuSwapChain::~GpuSwapChain() {
    if (readFramebuffer_ && GpuContext::AnyCurrent()) glDeleteFramebuffers(1, &readFramebuffer_);
}

void GpuSwapChain::ResizeBuffers(std::uint32_t width, std::uint32_t height) {
    GpuTextureDesc desc;
    desc.width = width ? width : 1;
    desc.height = height ? height : 1;
    desc.format = GpuFormat::R8G8B8A8_UNORM;
    desc.bindFlags = GpuBindRenderTarget | GpuBindShaderResource;
    buffer_ = device_->CreateTexture(desc);
}

void GpuSwapChain::CopyToWindow() {
    SDL_Window* window = static_cast<SDL_Window*>(window_);
    if (!window || !buffer_) return;
    int windowWidth = 0, windowHeight = 0;
    DisplayServer::Current().DrawableSize(window, &windowWidth, &windowHeight);
    // That size was one round trip to the window's server: a server gone is
    // found there. The GL driver would wait for ever for its answers, so the
    // window is not drawn to again.
    if (DisplayLoss::LostDisplay()) return;
    const GLint w = static_cast<GLint>(buffer_->GetDesc().width), h = static_cast<GLint>(buffer_->GetDesc().height);
    glNamedFramebufferTexture(readFramebuffer_, GL_COLOR_ATTACHMENT0, buffer_->GlName(), 0);
    glNamedFramebufferReadBuffer(readFramebuffer_, GL_COLOR_ATTACHMENT0);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    // Row 0 of the back buffer is the top of the picture; the window's row 0 is its bottom.
    glBlitNamedFramebuffer(readFramebuffer_, 0, 0, 0, w, h, 0, windowHeight, windowWidth, 0, GL_COLOR_BUFFER_BIT,
                           (w == windowWidth && h == windowHeight) ? GL_NEAREST : GL_LINEAR);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    glNamedFramebufferTexture(readFramebuffer_, GL_COLOR_ATTACHMENT0, 0, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    copied_ = true;
}

void GpuSwapChain::Present() {
    SDL_Window* window = static_cast<SDL_Window*>(window_);
    if (!window || !buffer_) return;
    if (!copied_) CopyToWindow();
    if (!copied_) return;  // the window's server is gone
    copied_ = false;
    SDL_GL_SwapWindow(window);
    glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
}

bool GpuSwapChain::SetFullscreenState(bool fullScreen) {
    fullScreen_ = fullScreen;
    // The program's window keeps a resting pointer on what it points at.
    PortWindow* own = PortWindow::Current();
    if (own && own->NativeWindow() == window_) return own->RequestFullScreen(fullScreen);
    return DisplayServer::Current().RequestFullScreen(window_, fullScreen);
}
