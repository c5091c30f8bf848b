// What the rest of the program uses of the renderer: the camera stack, the
// picture's size, client rectangle and projection, the glow switch, the
// device's presence and swap chain. The GraphicsSystem implements it; its
// render lists and frame resources stay inside render/. Debug lines and
// spheres, draw-this-frame requests and the chase target are messages sent to
// TypeId<GraphicsSystem>::Get() (a declaration of the class is enough for
// its type id). Main thread only.
#pragma once
#include <string>
#include <vector>

#include "core/TypeId.h"
#include "core/Types.h"
#include "port/math/D3DX.h"
#include "port/window/WindowEvent.h"

class Engine;
class GpuSwapChain;
class GraphicsSystem;
class ISystem;

class IGraphics {
public:
    // The engine's GraphicsSystem; null without an engine or without one.
    static IGraphics* Find(Engine* engine);
    // The GraphicsSystem seen through its face; null for null or another system.
    static IGraphics* Of(ISystem* system);

    // Camera stack (the back is the active camera, a Camera component id).
    virtual void PushCamera(u32 cameraId) = 0;
    virtual void PopCamera() = 0;
    virtual u32 GetActiveCameraId() const = 0;
    // The object the chase view follows with its camera (0 when none).
    virtual u32 GetChaseCameraObject() const = 0;
    // Takes back this frame's request to draw the pause menu's overlay object
    // (the editor's pointer is the system's own).
    virtual void SkipOverlayThisFrame() = 0;

    // The render window's handle; 0 until the window is made.
    virtual u64 GetWindow() const = 0;
    // Whether Init made a render device, and why not ("" when it did).
    virtual bool HasDevice() const = 0;
    virtual const std::string& DeviceError() const = 0;
    // The chain whose back buffer holds the last presented picture; null without a device.
    virtual GpuSwapChain* GetSwapChain() const = 0;
    // The picture's size in pixels (see GraphicsSystem::GetWidth).
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // The window's client rectangle (0 x 0 while minimised or without a window).
    virtual const ClientRect& GetClientRect() const = 0;
    virtual const D3DXMATRIX& GetProjection() const = 0;
    virtual bool IsGlowOn() const = 0;
    virtual void SetGlow(bool glow) = 0;

    // Makes at once what the start leaves for after its first pictures (the
    // deferred and particle effects, their targets and textures), for a tool
    // that draws one picture; nothing without a device.
    virtual void FinishStart() = 0;
    // The names of the effect files that did not load ("DeferredShader"); none
    // without a device.
    virtual std::vector<std::string> MissingEffects() const = 0;

protected:
    ~IGraphics() = default;
};
