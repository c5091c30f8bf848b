// The off-screen back buffer (R8G8B8A8, top row first) and its presentation:
// Present copies it to the window, turned the right way up, and swaps. Also
// switches the window to and from full screen (desktop resolution). Owned by
// the GraphicsSystem. Main thread only.
#pragma once
#include <memory>

#include "port/gpu/GpuTexture.h"

class GpuDevice;

class GpuSwapChain {
public:
    GpuSwapChain(std::shared_ptr<GpuDevice> device, void* window, std::uint32_t width, std::uint32_t height);
    ~GpuSwapChain();
    GpuSwapChain(const GpuSwapChain&) = delete;
    GpuSwapChain& operator=(const GpuSwapChain&) = delete;

    // The present back buffer; bindable as a render target and shader resource.
    std::shared_ptr<GpuTexture> GetBuffer() const { return buffer_; }
    // A new back buffer of this size (sizes of 0 become 1); holders of the old
    // one keep it until they let go.
    void ResizeBuffers(std::uint32_t width, std::uint32_t height);
    // Copies the back buffer to the window and leaves the window bound for
    // drawing over it in plain OpenGL conventions (lower-left origin): the
    // tweak panels draw there. Present follows.
    void CopyToWindow();
    // Copies (unless CopyToWindow already did this frame) and shows the frame.
    // Once the window's X server has gone away (DisplayLoss) neither touches
    // the window.
    void Present();

    // Asks for full screen at the desktop's resolution, or windowed. The
    // window's size change, if the window system makes one, reaches the
    // program as a resize; the copy to the window always fills the window's
    // real drawable. The state is kept as asked; returns false when the
    // window system cannot carry the request out and it was not made.
    bool SetFullscreenState(bool fullScreen);
    bool GetFullscreenState() const { return fullScreen_; }

private:
    std::shared_ptr<GpuDevice> device_;
    void* window_ = nullptr;
    std::shared_ptr<GpuTexture> buffer_;
    unsigned readFramebuffer_ = 0;
    bool fullScreen_ = false;
    bool copied_ = false;
};
