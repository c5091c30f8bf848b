// The OpenGL 4.5 core context made on the program's SDL window, shared by the
// device and by every GPU object (each holds a reference, as Direct3D objects
// hold their device), so objects released after the GraphicsSystem still find
// their context. Also keeps the framebuffer objects made for render-target
// combinations. Main thread only.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class GpuContext {
public:
    // Makes a 4.5 core context on `window` (an SDL_Window*) and makes it current.
    // Null with the reason in `error` when the window or the driver cannot.
    static std::shared_ptr<GpuContext> Create(void* window, std::string* error);
    ~GpuContext();
    // True while some GL context is current on this thread. GPU objects that
    // outlive the window (released by engine services after it closed) skip
    // their GL deletes then: their names go with the context.
    static bool AnyCurrent();
    GpuContext(const GpuContext&) = delete;
    GpuContext& operator=(const GpuContext&) = delete;

    void* Window() const { return window_; }
    void* NativeContext() const { return context_; }
    bool HasS3tc() const { return hasS3tc_; }

    // Numbers render-target and depth views for the framebuffer cache.
    std::uint64_t NewSerial() { return ++serial_; }

    // The framebuffer with these attachments (GL texture names with the view
    // serials as key), made on first use.
    struct Attachment {
        std::uint64_t serial = 0;
        unsigned texture = 0;
    };
    unsigned Framebuffer(const Attachment* colors, unsigned colorCount, const Attachment& depth);
    // A view goes away: every framebuffer that uses it goes with it.
    void ForgetAttachment(std::uint64_t serial);

    // Bound when no input layout is set: core profile draws need a vertex array.
    unsigned EmptyVertexArray() const { return emptyVao_; }

private:
    GpuContext() = default;

    void* window_ = nullptr;
    void* context_ = nullptr;
    bool hasS3tc_ = false;
    unsigned emptyVao_ = 0;
    std::uint64_t serial_ = 0;
    std::map<std::vector<std::uint64_t>, unsigned> framebuffers_;
};
