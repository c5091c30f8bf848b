// The engine system that owns the GPU device and everything the deferred
// renderer draws into: the device and back buffer made on the program's
// window, the size-dependent targets and states (remade at every resize),
// full-screen switching, the three effects with their techniques and
// variables, the input layouts of the vertex-format table, the random-vector
// texture and the long-lived buffers. Messages fill its render lists. Created
// by the start-up code, initialised after the WindowsSystem has made the
// window; Init makes what the first pictures need, FinishStart the rest.
// Owned by the Engine. Main thread only.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/ISystem.h"
#include "port/math/D3DX.h"
#include "port/window/WindowEvent.h"
#include "render/IGraphics.h"
#include "render/frame/FramePass.h"
#include "render/frame/FrameResources.h"

class GpuBuffer;
class GpuDevice;
class GpuInputLayout;
class GpuShaderResourceView;
class GpuSwapChain;
class FramePipeline;

class GraphicsSystem : public ISystem, public IGraphics {
public:
    static constexpr u32 kLineBufferBytes = 320000;
    static constexpr u32 kMaxLightInstances = 2000;
    static constexpr u32 kRandomVectorTexels = 1024;
    static constexpr float kFieldOfView = 0.785398185f;  // pi / 4
    static constexpr float kNearPlane = 1.0f;
    static constexpr float kFarPlane = 2000.0f;

    // Name "GraphicsSystem", active, glow and full screen on, matrices
    // identity; subscribes to its messages.
    GraphicsSystem();
    // Shuts the tweak panels down, clears the device state and releases every
    // device object it made.
    ~GraphicsSystem() override;

    void HandleMessage(Message* message) override;
    // Draws and presents one frame (FramePipeline); nothing without a device.
    void Update(float dt) override;
    // Makes the device on the window with the back buffer, the depth buffer
    // and the states, the UI effect, the geometry layout, the buffers, the
    // two meshes, the tweak panels and the default camera: what a picture
    // without models, lights or particles draws with (the splash's, the
    // menus'). Draws the random vectors' numbers from the shared sequence.
    void Init() override;
    // Makes, once, what only the deferred steps and the particles use: the
    // deferred and particle effects (a failure is reported as one at Init),
    // their input layouts, the G-buffer targets, the random-normal and
    // random-vector textures and the particle masks. The pipeline runs it
    // after the second picture, or earlier for the first frame or arrival
    // that needs it; nothing without a device.
    void FinishStart() override;
    bool StartFinished() const { return startFinished_; }
    // A scene was cleared: empties the render lists (see RenderLists::Clear)
    // and lets the render resources look again for textures found missing.
    void Clear() override;

    void CreateDeviceAndSwapChain();
    // Reads the client size (0 x 0 becomes 1 x 1), sets the projection,
    // broadcasts it (kMsgProjectionMatrix), then remakes the size-dependent objects.
    void onResize();
    // Asks the window for the full-screen state of the flag; a request the
    // window system cannot carry out is logged and the window keeps its size.
    void ApplyFullScreen();
    // Loads the three effects again and binds the textures their variables take.
    void LoadEffects();
    // Makes each input layout not made yet: the geometry layout from its
    // format alone (the UI, text and debug passes draw with it too), the
    // others once their effect is loaded, checked against its pass.
    void CreateInputLayouts();

    // Camera stack (the back is the active camera).
    void PushCamera(u32 cameraId) override { frame_.lists.cameras.Push(cameraId); }
    void PopCamera() override { frame_.lists.cameras.Pop(); }
    u32 GetActiveCameraId() const override { return frame_.lists.cameras.GetActiveId(); }
    u32 GetChaseCameraObject() const override { return frame_.lists.chase.ChaseCameraObject(); }
    void SkipOverlayThisFrame() override;

    // The render window's handle (kMsgWindowCreated); 0 until the window is made.
    u64 GetWindow() const override { return window_; }
    GpuDevice* GetDevice() const { return device_.get(); }
    bool HasDevice() const override { return device_ != nullptr; }
    // Why Init made no device ("" when it made one).
    const std::string& DeviceError() const override { return deviceError_; }
    GpuSwapChain* GetSwapChain() const override { return swapChain_.get(); }
    const RenderTargets& GetTargets() const { return frame_.targets; }
    const EffectTable& GetEffects() const { return frame_.effects; }
    std::vector<std::string> MissingEffects() const override;
    RenderLists& GetLists() { return frame_.lists; }
    // What the frame draws with (the pipeline, its context and the passes).
    FrameResources& GetFrameResources() { return frame_; }
    // The picture's size in pixels (the back buffer and every render target):
    // the window's client size, or within RenderTargets::FitSize's bound a
    // smaller one of the same shape that the swap chain scales to the window.
    int GetWidth() const override { return pictureWidth_; }
    int GetHeight() const override { return pictureHeight_; }
    bool IsFullScreen() const { return fullScreen_; }
    const D3DXMATRIX& GetProjection() const override { return projection_; }
    // The view matrix of the latest frame (identity before the first).
    const D3DXMATRIX& GetView() const;
    GpuShaderResourceView* GetRandomVectors() const { return randomVectors_.get(); }
    u32 GetDefaultCameraId() const { return defaultCameraId_; }
    const ClientRect& GetClientRect() const override { return clientRect_; }
    bool IsGlowOn() const override { return glow_; }
    void SetGlow(bool glow) override { glow_ = glow; }
    FramePipeline& GetPipeline() { return *pipeline_; }
    // Watches each step of the frames to come (tests, tools); empty to stop.
    void SetFrameRecorder(FrameRecorder recorder);

protected:
    // The window's client rectangle (0 x 0 while minimised or without a window).
    virtual ClientRect ReadClientRect() const;

private:
    // Loads one effect in place of the one held; a failure shows its message box.
    void LoadEffect(EffectId id);
    // Binds the random-normal, random-vector and particle-mask textures to the
    // loaded effects' variables, making each texture on its first use.
    void BindEffectTextures();
    void CreateRandomVectors();

    // Device side.
    bool glow_ = true;
    std::shared_ptr<GpuDevice> device_;
    std::string deviceError_;
    int width_ = 1;  // the window's client size
    int height_ = 1;
    int pictureWidth_ = 1;
    int pictureHeight_ = 1;
    ClientRect clientRect_;
    u64 window_ = 0;
    bool fullScreen_ = true;
    std::unique_ptr<GpuSwapChain> swapChain_;
    std::shared_ptr<GpuShaderResourceView> randomVectors_;
    // The random vectors' components, drawn at Init; the texture is made from them later.
    std::vector<float> randomTexels_;
    bool startFinished_ = false;
    u32 defaultCameraId_ = 0;
    bool panelsStarted_ = false;

    // Targets, effects, layouts, buffers and the lists filled by messages;
    // the pipeline borrows it, so it is declared first.
    FrameResources frame_;

    // The frame's other matrices live in the pipeline.
    D3DXMATRIX projection_;
    std::unique_ptr<FramePipeline> pipeline_;
};
