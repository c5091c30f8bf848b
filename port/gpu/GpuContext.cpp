#include "port/gpu/GpuContext.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <epoxy/gl.h>
#include <link.h>

#include <cstring>

namespace {

// The GL driver stays loaded for the rest of the process once a context has
// been made: unloading it with each context costs a reload and leaves its own
// allocations unnamed in leak reports (the suppressions name the driver).
void KeepGlDriverLoaded() {
    static bool done = false;
    if (done) return;
    done = true;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) -> int {
            const char* name = info->dlpi_name;
            if (name && (std::strstr(name, "_dri.so") || std::strstr(name, "libgallium") ||
                         std::strstr(name, "libEGL_mesa") || std::strstr(name, "libGLX_mesa")))
                dlopen(name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

}  // namespace

std::shared_ptr<GpuContext> GpuContext::Create(void* window, std::string* error) {
    auto fail = [&](const std::string& why) -> std::shared_ptr<GpuContext> {
        if (error) *error = why;
        return nullptr;
    };
    if (!window) return fail("no window for the GL context");
    SDL_Window* sdlWindow = static_cast<SDL_Window*>(window);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GLContext context = SDL_GL_CreateContext(sdlWindow);
    if (!context) return fail(std::string("SDL_GL_CreateContext failed: ") + SDL_GetError());
    if (SDL_GL_MakeCurrent(sdlWindow, context) != 0 || epoxy_gl_version() < 45) {
        std::string why = std::string("OpenGL 4.5 core is not available: ") + SDL_GetError();
        SDL_GL_DeleteContext(context);
        return fail(why);
    }
    SDL_GL_SetSwapInterval(0);
    KeepGlDriverLoaded();

    std::shared_ptr<GpuContext> self(new GpuContext);
    self->window_ = window;
    self->context_ = context;
    self->hasS3tc_ = epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc");
    glCreateVertexArrays(1, &self->emptyVao_);
    // Direct3D conventions: clip depth 0..1, and row 0 of every render target is
    // the top of the picture (clip y = +1), as in Direct3D. Present flips once.
    glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    return self;
}

bool GpuContext::AnyCurrent() {
    return SDL_GL_GetCurrentContext() != nullptr;
}

GpuContext::~GpuContext() {
    // The window may already be gone (it made the context not current then);
    // the context's objects go with the context either way.
    if (SDL_GL_GetCurrentContext() == context_) {
        for (auto& entry : framebuffers_) glDeleteFramebuffers(1, &entry.second);
        glDeleteVertexArrays(1, &emptyVao_);
    }
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
}

unsigned GpuContext::Framebuffer(const Attachment* colors, unsigned colorCount, const Attachment& depth) {
    std::vector<std::uint64_t> key;
    key.reserve(colorCount + 1);
    key.push_back(depth.serial);
    for (unsigned i = 0; i < colorCount; ++i) key.push_back(colors[i].serial);
    auto found = framebuffers_.find(key);
    if (found != framebuffers_.end()) return found->second;

    GLuint fbo = 0;
    glCreateFramebuffers(1, &fbo);
    GLenum drawBuffers[8];
    for (unsigned i = 0; i < colorCount && i < 8; ++i) {
        drawBuffers[i] = GL_NONE;
        if (colors[i].texture) {
            glNamedFramebufferTexture(fbo, GL_COLOR_ATTACHMENT0 + i, colors[i].texture, 0);
            drawBuffers[i] = GL_COLOR_ATTACHMENT0 + i;
        }
    }
    glNamedFramebufferDrawBuffers(fbo, static_cast<GLsizei>(colorCount < 8 ? colorCount : 8), drawBuffers);
    if (colorCount == 0) glNamedFramebufferDrawBuffer(fbo, GL_NONE);
    if (depth.texture) glNamedFramebufferTexture(fbo, GL_DEPTH_STENCIL_ATTACHMENT, depth.texture, 0);
    framebuffers_.emplace(std::move(key), fbo);
    return fbo;
}

void GpuContext::ForgetAttachment(std::uint64_t serial) {
    for (auto it = framebuffers_.begin(); it != framebuffers_.end();) {
        bool uses = false;
        for (std::uint64_t s : it->first) uses = uses || s == serial;
        if (uses) {
            if (AnyCurrent()) glDeleteFramebuffers(1, &it->second);
            it = framebuffers_.erase(it);
        } else {
            ++it;
        }
    }
}
