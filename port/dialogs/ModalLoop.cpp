#include "port/dialogs/ModalLoop.h"

#include "port/os/MessageBox.h"
#include "port/panels/ImGuiInput.h"
#include "port/window/PortWindow.h"

#include <SDL.h>
#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool gForceInteractive = false;

// The GL state the dialog changes while it draws over the window.
constexpr unsigned kDrawFramebufferBinding = 0x8CA6;
constexpr unsigned kViewport = 0x0BA2;
constexpr unsigned kFramebuffer = 0x8D40;
constexpr unsigned kColorBufferBit = 0x4000;
using GetIntegervFn = void (*)(unsigned, int*);
using BindFramebufferFn = void (*)(unsigned, unsigned);
using ViewportFn = void (*)(int, int, int, int);
using ClearColorFn = void (*)(float, float, float, float);
using ClearFn = void (*)(unsigned);

}  // namespace

bool ModalDialogsUnattended() {
    if (gForceInteractive) return false;
    if (IsUnattendedRun()) return true;
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : nullptr;
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

void ModalDialogsForceInteractive(bool interactive) {
    gForceInteractive = interactive;
}

void RunModalLoop(ModalContent& content) {
    PortWindow* window = PortWindow::Current();
    if (!window || !SDL_GL_GetCurrentContext()) {
        content.Cancel();
        return;
    }
    auto* sdlWindow = static_cast<SDL_Window*>(window->NativeWindow());
    auto getIntegerv = reinterpret_cast<GetIntegervFn>(SDL_GL_GetProcAddress("glGetIntegerv"));
    auto bindFramebuffer = reinterpret_cast<BindFramebufferFn>(SDL_GL_GetProcAddress("glBindFramebuffer"));
    auto viewport = reinterpret_cast<ViewportFn>(SDL_GL_GetProcAddress("glViewport"));
    auto clearColor = reinterpret_cast<ClearColorFn>(SDL_GL_GetProcAddress("glClearColor"));
    auto clear = reinterpret_cast<ClearFn>(SDL_GL_GetProcAddress("glClear"));
    int savedFramebuffer = 0;
    int savedViewport[4] = {};
    getIntegerv(kDrawFramebufferBinding, &savedFramebuffer);
    getIntegerv(kViewport, savedViewport);

    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGuiContext* context = ImGui::CreateContext();
    ImGui::SetCurrentContext(context);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    ImGuiInput::MapKeys(io);
    const bool gl = ImGui_ImplOpenGL3_Init("#version 410 core");
    if (!gl) content.Cancel();

    ImGuiInput input;
    std::vector<WindowEvent> handOn;  // quit and releases go back to the game
    Uint32 last = SDL_GetTicks();
    Uint32 shownAt = 0;  // when the first frame went to the screen; 0 before
    int frame = 0;
    int idleFrames = 0;
    while (content.IsOpen()) {
        // One input event per frame (pointer moves merged) after the first two
        // frames, so that every key and click meets the widgets it is meant for.
        WindowEvent event;
        bool anyEvent = false;
        while (frame >= 2 && window->PollEvent(&event)) {
            anyEvent = true;
            if (event.kind == WindowEventKind::Quit) {
                const bool unseen = shownAt == 0 || static_cast<int32_t>(event.closedAtMs - shownAt) <
                                                        static_cast<int32_t>(kSameCloseMs);
                if (window->AnsweringClose() && event.closedAtMs != 0 && unseen) continue;
                handOn.push_back(event);
                content.Cancel();
                break;
            }
            if (event.kind == WindowEventKind::KeyUp || event.kind == WindowEventKind::ButtonUp)
                handOn.push_back(event);
            input.Record(event, true);
            if (event.kind != WindowEventKind::MouseMove) break;
        }
        if (!content.IsOpen()) break;
        // A test driving the dialog never waits long for events it did not push.
        idleFrames = anyEvent || frame < 2 ? 0 : idleFrames + 1;
        if (gForceInteractive && idleFrames > 200) {
            content.Cancel();
            break;
        }
        ClientRect rect = window->GetClientRect();
        io.DisplaySize =
            ImVec2(static_cast<float>(std::max(1, rect.right)), static_cast<float>(std::max(1, rect.bottom)));
        const Uint32 now = SDL_GetTicks();
        io.DeltaTime = std::max(0.001f, static_cast<float>(now - last) / 1000.0f);
        last = now;
        input.Apply(io);
        ImGui_ImplOpenGL3_NewFrame();
        ImGui::NewFrame();
        content.Frame();
        ImGui::Render();
        bindFramebuffer(kFramebuffer, 0);
        viewport(0, 0, rect.right, rect.bottom);
        clearColor(0.08f, 0.08f, 0.1f, 1.0f);
        clear(kColorBufferBit);
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
        SDL_GL_SwapWindow(sdlWindow);
        if (shownAt == 0) shownAt = std::max<Uint32>(1, SDL_GetTicks());
        ++frame;
        SDL_Delay(5);
    }
    if (gl) ImGui_ImplOpenGL3_Shutdown();
    ImGui::DestroyContext(context);
    ImGui::SetCurrentContext(previous);
    bindFramebuffer(kFramebuffer, static_cast<unsigned>(savedFramebuffer));
    viewport(savedViewport[0], savedViewport[1], savedViewport[2], savedViewport[3]);
    window->PutBack(handOn);
}
