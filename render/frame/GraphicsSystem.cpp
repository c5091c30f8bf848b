#include "render/frame/GraphicsSystem.h"

#include <algorithm>
#include <cstdint>

#include "engine/Logger.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "platform/WindowsSystem.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/os/CRand.h"
#include "port/os/MessageBox.h"
#include "port/panels/TweakPanels.h"
#include "port/window/PortWindow.h"
#include "render/camera/Camera.h"
#include "render/effect/EffectLoader.h"
#include "render/frame/FramePipeline.h"
#include "render/frame/RenderDevice.h"
#include "render/frame/RenderResources.h"
#include "render/light/Skybox.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelCache.h"
#include "render/mesh/NoiseGenerator.h"
#include "render/mesh/PrimitiveMeshCache.h"
#include "render/particle/ParticleEffect.h"
#include "render/text/ScreenText.h"
#include "scene/ObjectFactory.h"

class Model;
class PointLight;
class ScreenText;
class ParticleEmmiter;
class Skybox;
class GlobalLighting;

GraphicsSystem::GraphicsSystem() : ISystem(TypeId<GraphicsSystem>::Get()) {
    SetName("GraphicsSystem");
    D3DXMatrixIdentity(&projection_);
    pipeline_ = std::make_unique<FramePipeline>(*this);
    Subscribe(kMsgWindowCreated);
    Subscribe(kMsgOverlayObject);
    Subscribe(ComponentAnnounced(TypeId<Model>::Get()));
    Subscribe(DrawThisFrame(TypeId<Model>::Get()));
    Subscribe(DrawThisFrame(TypeId<ScreenText>::Get()));
    Subscribe(ModelNotice(TypeId<Model>::Get()));
    Subscribe(kMsgGraphicsIgnored);
    Subscribe(kMsgSelectedObject);
    Subscribe(ComponentAnnounced(TypeId<PointLight>::Get()));
    Subscribe(ComponentAnnounced(TypeId<ScreenText>::Get()));
    Subscribe(ComponentAnnounced(TypeId<ParticleEmmiter>::Get()));
    Subscribe(ComponentAnnounced(TypeId<Skybox>::Get()));
    Subscribe(ComponentAnnounced(TypeId<GlobalLighting>::Get()));
    Subscribe(kMsgToggleFullScreen);
    Subscribe(kMsgSetFullScreen);
    Subscribe(kMsgClearFullScreen);
}

GraphicsSystem::~GraphicsSystem() {
    if (panelsStarted_) TwTerminate();
    if (device_) device_->ClearState();
    frame_.effects.Release();
    frame_.targets.Release();
    randomVectors_.reset();
    frame_.geometryLayout.reset();
    frame_.lightLayout.reset();
    frame_.particleStreamLayout.reset();
    frame_.particleDrawLayout.reset();
    frame_.lineBuffer.reset();
    frame_.lightInstanceBuffer.reset();
    frame_.lightViewBuffer.reset();
    swapChain_.reset();
    if (Overlord* overlord = Overlord::Instance())
        for (u32 id : {defaultCameraId_, frame_.sphereModelId, frame_.quadModelId})
            if (IComponent* component = id ? overlord->GetComponentById(id) : nullptr)
                overlord->UnregisterComponent(component);
    device_.reset();
}

void GraphicsSystem::HandleMessage(Message* message) {
    if (!message) return;
    if (frame_.lists.HandleMessage(*message)) {
        // What a scene brings is made ready to draw as it arrives (while the
        // scene loads), not in its first frame.
        const u32* id = message->type == kMsgTypeComponentAnnounced
                            ? message->Read(ComponentAnnounced(message->argument))
                        : message->type == kMsgTypeDrawThisFrame ? message->Read(DrawThisFrame(message->argument))
                                                                 : nullptr;
        if (id && message->argument == TypeId<Model>::Get())
            pipeline_->WarmUpFor(*id, message->type == kMsgTypeDrawThisFrame);
        else if (id && message->type == kMsgTypeComponentAnnounced && message->argument == TypeId<Skybox>::Get())
            pipeline_->WarmUpSkybox();
        return;
    }
    switch (message->type) {
        case kMsgTypeEvent:
            if (message->argument == kMsgWindowCreated.argument) {
                if (const WindowCreatedData* created = message->Read(kMsgWindowCreated)) window_ = created->window;
            } else if (message->argument == kMsgClientRect.argument) {
                onResize();
            }
            break;
        case kMsgToggleFullScreen.type:
            fullScreen_ = !fullScreen_;
            ApplyFullScreen();
            break;
        case kMsgSetFullScreen.type:
            fullScreen_ = true;
            ApplyFullScreen();
            break;
        case kMsgClearFullScreen.type:
            fullScreen_ = false;
            ApplyFullScreen();
            break;
        default:
            break;
    }
}

void GraphicsSystem::Update(float dt) {
    pipeline_->Run(dt);
}

const D3DXMATRIX& GraphicsSystem::GetView() const {
    return pipeline_->Matrices().view;
}

void GraphicsSystem::SetFrameRecorder(FrameRecorder recorder) {
    pipeline_->SetRecorder(std::move(recorder));
}

void GraphicsSystem::Init() {
    frame_.lists.chase = ChaseView();
    clientRect_ = ReadClientRect();
    width_ = clientRect_.right - clientRect_.left;
    height_ = clientRect_.bottom - clientRect_.top;
    device_.reset();
    swapChain_.reset();
    frame_.targets.Release();

    CreateDeviceAndSwapChain();
    if (!device_) return;  // no window or no GL 4.5: the program goes on without drawing

    if (RenderDevice* particles = RenderDevice::Instance()) particles->SetDevice(device_);
    if (ModelCache* models = ModelCache::Instance()) models->SetDevice(device_);
    if (RenderResources* resources = RenderResources::Instance()) resources->SetDevice(device_);
    if (EffectLoader* loader = EffectLoader::Instance()) loader->SetDevice(device_);

    // The other two effects and what goes with them wait for FinishStart.
    if (EffectLoader::Instance())
        LoadEffect(EffectId::UIShader);
    else
        Log("GraphicsSystem: no effect loader");
    // Drawn now, so that the numbers the shared sequence gives later callers
    // do not depend on when the texture is made.
    randomTexels_.resize(kRandomVectorTexels * 4);
    for (float& component : randomTexels_) component = (static_cast<float>(CRand()) / 32767.0f) * 2.0f - 1.0f;
    CreateInputLayouts();

    Subscribe(DrawThisFrame(0));
    Subscribe(kMsgDebugDraw);

    GpuBufferDesc instances;
    instances.byteWidth = kMaxLightInstances * sizeof(LightInstance);
    instances.usage = GpuUsage::Dynamic;
    instances.bindFlags = GpuBindVertexBuffer;
    instances.cpuAccessFlags = GpuCpuAccessWrite;
    frame_.lightInstanceBuffer = device_->CreateBuffer(instances);
    GpuBufferDesc views = instances;
    views.byteWidth = kMaxLightInstances * sizeof(PointLightView);
    views.bindFlags = GpuBindConstantBuffer;
    frame_.lightViewBuffer = device_->CreateBuffer(views);
    frame_.lightInstances.assign(kMaxLightInstances, LightInstance{});

    // The light volume and the full-screen quad: registered, never announced,
    // so no render list takes them.
    if (Overlord* overlord = Overlord::Instance()) {
        if (Model* sphere = MeshBuilder::Sphere(20, 50, 1.0f, 1.0f, 1.0f)) {
            overlord->RegisterComponent(sphere);
            frame_.sphereModelId = sphere->GetId();
        }
        if (Model* quad = MeshBuilder::Quad(1.0f, 1.0f, D3DXCOLOR(0, 0, 1, 1))) {
            overlord->RegisterComponent(quad);
            frame_.quadModelId = quad->GetId();
        }
    }

    if (TwInit(TW_OPENGL_CORE, device_.get())) {
        panelsStarted_ = true;
        TwWindowSize(width_, height_);
    }

    frame_.lists.linesA.Reset();
    frame_.lists.linesB.Reset();
    GpuBufferDesc lines;
    lines.byteWidth = kLineBufferBytes;
    lines.usage = GpuUsage::Dynamic;
    lines.bindFlags = GpuBindVertexBuffer;
    lines.cpuAccessFlags = GpuCpuAccessWrite;
    frame_.lineBuffer = device_->CreateBuffer(lines);

    // The default camera: a clone of the factory's Camera prototype (a plain
    // Camera when there is no prototype), at the bottom of the stack.
    if (Overlord* overlord = Overlord::Instance()) {
        ObjectFactory* factory = ObjectFactory::Instance();
        IComponent* camera = factory ? factory->Create<Camera>() : nullptr;
        if (!camera) camera = new Camera();
        overlord->RegisterComponent(camera);
        camera->Init();
        defaultCameraId_ = camera->GetId();
        frame_.lists.cameras.Push(defaultCameraId_);
    }
}

void GraphicsSystem::Clear() {
    frame_.lists.Clear();
    if (RenderResources* resources = RenderResources::Instance()) resources->ForgetFailures();
    if (ModelCache* models = ModelCache::Instance()) models->ForgetFailures();
    PrimitiveMeshCache::Get().NewScene();
    if (NoiseGenerator* noise = NoiseGenerator::Instance()) noise->NewScene();
    // A new scene: a spent budget is reported again.
    ParticleEffect::ResetBudget();
    ScreenText::ResetBudget();
    if (RenderDevice* particles = RenderDevice::Instance()) particles->ForgetRefusals();
}

void GraphicsSystem::SkipOverlayThisFrame() {
    if (frame_.lists.chase.OverlayObject() != 0)
        std::erase(frame_.lists.frameModels, frame_.lists.chase.OverlayObject());
}

ClientRect GraphicsSystem::ReadClientRect() const {
    const PortWindow* window = PortWindow::FromHandle(window_);
    return window ? window->GetClientRect() : ClientRect{};
}

void GraphicsSystem::CreateDeviceAndSwapChain() {
    const PortWindow* window = PortWindow::FromHandle(window_);
    std::string error;
    u32 w = 0, h = 0;
    // The first back buffer is bounded like every later one (onResize).
    RenderTargets::FitSize(static_cast<u32>(std::max(width_, 1)), static_cast<u32>(std::max(height_, 1)), 0, &w, &h);
    if (!window || !GpuCreateDeviceAndSwapChain(window->NativeWindow(), w, h, &device_, &swapChain_, &error)) {
        deviceError_ = window ? error : "no window";
        Log("GraphicsSystem: no render device: %s", deviceError_.c_str());
        device_.reset();
        swapChain_.reset();
        return;
    }
    ApplyFullScreen();
    onResize();
    Subscribe(kMsgClientRect);
}

void GraphicsSystem::onResize() {
    clientRect_ = ReadClientRect();
    width_ = clientRect_.right - clientRect_.left;
    height_ = clientRect_.bottom - clientRect_.top;
    if (width_ <= 0 || height_ <= 0) width_ = height_ = 1;
    const float aspect = static_cast<float>(width_) / static_cast<float>(height_);
    Log("GraphicsSystem::onResize() %i, %i, AR: %f", width_, height_, aspect);
    D3DXMatrixPerspectiveFovLH(&projection_, kFieldOfView, aspect, kNearPlane, kFarPlane);
    Broadcast(kMsgProjectionMatrix, &projection_);

    pictureWidth_ = width_;
    pictureHeight_ = height_;
    if (!device_ || !swapChain_) return;
    u32 w = 0, h = 0;
    RenderTargets::FitSize(static_cast<u32>(width_), static_cast<u32>(height_), device_->MaxRenderTargetSide(), &w, &h);
    if (w != static_cast<u32>(width_) || h != static_cast<u32>(height_))
        Log("GraphicsSystem: the %i x %i window is drawn at %u x %u and scaled (render targets at most %u on a side)",
            width_, height_, w, h, std::min(RenderTargets::kMaxSide, device_->MaxRenderTargetSide()));
    pictureWidth_ = static_cast<int>(w);
    pictureHeight_ = static_cast<int>(h);
    frame_.targets.Release();
    swapChain_->ResizeBuffers(w, h);
    frame_.targets.Create(*device_, *swapChain_, w, h, startFinished_);
    GpuViewport viewport;
    viewport.width = static_cast<float>(w);
    viewport.height = static_cast<float>(h);
    viewport.minDepth = 0.0f;
    viewport.maxDepth = 1.0f;
    device_->RSSetViewports(1, &viewport);
}

void GraphicsSystem::ApplyFullScreen() {
    if (swapChain_ && !swapChain_->SetFullscreenState(fullScreen_) && fullScreen_)
        Log("GraphicsSystem: full screen is not available here (no window manager to keep it); the window keeps its "
            "size");
}

std::vector<std::string> GraphicsSystem::MissingEffects() const {
    std::vector<std::string> missing;
    if (!swapChain_) return missing;
    for (u32 e = 0; e < EffectTable::kEffects; ++e) {
        const EffectId id = static_cast<EffectId>(e);
        if (!frame_.effects.Effect(id)) missing.push_back(EffectTable::EffectName(id));
    }
    return missing;
}

void GraphicsSystem::FinishStart() {
    if (startFinished_ || !device_) return;
    startFinished_ = true;
    if (RenderResources* resources = RenderResources::Instance()) resources->LoadParticleTextures();
    if (EffectLoader::Instance()) {
        for (EffectId id : {EffectId::DeferredShader, EffectId::ParticleIntegration})
            if (!frame_.effects.Effect(id)) LoadEffect(id);
    }
    BindEffectTextures();
    CreateInputLayouts();
    // The geometry layout was made from its format alone: a geometry pass
    // that reads more than it gives is named in the log.
    GpuEffectPass* geometry = frame_.effects.Technique(TechniqueId::DeferredGeometryBuffer)->GetPassByIndex(0);
    if (geometry->IsValid()) {
        const VertexFormat& format = GetVertexFormat(kGeometryFormatRow);
        std::string error;
        if (!device_->CreateInputLayout(format.elements, format.elementCount, geometry, &error))
            Log("GraphicsSystem: %s: %s", EffectTable::TechniqueName(TechniqueId::DeferredGeometryBuffer),
                error.c_str());
    }
    if (frame_.targets.backBuffer && !frame_.targets.HasDeferred()) frame_.targets.CreateDeferred(*device_);
}

void GraphicsSystem::LoadEffect(EffectId id) {
    // A failed effect is reported and left out; its techniques and variables
    // stay invalid and nothing is looked up in it.
    frame_.effects.LoadOne(id, EffectLoader::Get(),
                           [](const std::string& errors) { ShowMessageBox(errors.c_str(), ""); });
}

void GraphicsSystem::LoadEffects() {
    if (!EffectLoader::Instance()) {
        Log("GraphicsSystem: no effect loader");
        return;
    }
    for (u32 e = 0; e < EffectTable::kEffects; ++e) LoadEffect(static_cast<EffectId>(e));
    BindEffectTextures();
}

void GraphicsSystem::BindEffectTextures() {
    const EffectTable& effects = frame_.effects;
    RenderResources* resources = RenderResources::Instance();
    if (resources && effects.Effect(EffectId::DeferredShader))
        effects.Variable(EffectVarId::RandomNormals)->SetResource(resources->GetTexture("randnormals"));
    if (!effects.Effect(EffectId::ParticleIntegration)) return;
    if (!randomVectors_) CreateRandomVectors();
    effects.Variable(EffectVarId::randomTexture)->SetResource(randomVectors_.get());
    if (resources) {
        if (!resources->GetParticleTextureArray()) resources->LoadParticleTextures();
        effects.Variable(EffectVarId::particleAlphaTexture)->SetResource(resources->GetParticleTextureArray());
    }
}

void GraphicsSystem::CreateRandomVectors() {
    if (!device_ || randomTexels_.size() != kRandomVectorTexels * 4) return;
    GpuTextureDesc desc;
    desc.dimension = GpuTextureDimension::Texture1D;
    desc.width = kRandomVectorTexels;
    desc.height = 1;
    desc.mipLevels = 1;
    desc.arraySize = 1;
    desc.format = GpuFormat::R32G32B32A32_FLOAT;
    desc.usage = GpuUsage::Immutable;
    desc.bindFlags = GpuBindShaderResource;
    const GpuSubresourceData data{randomTexels_.data(), kRandomVectorTexels * 16, kRandomVectorTexels * 16};
    GpuSrvDesc view;
    view.dimension = GpuSrvDimension::Texture1D;
    view.mipLevels = 1;
    randomVectors_ = device_->CreateShaderResourceView(device_->CreateTexture(desc, &data), &view);
}

void GraphicsSystem::CreateInputLayouts() {
    if (!device_) return;
    auto make = [&](std::shared_ptr<GpuInputLayout>& layout, u32 row, const GpuEffectPass* signature,
                    const char* name) {
        if (layout) return;
        const VertexFormat& format = GetVertexFormat(row);
        std::string error;
        layout = device_->CreateInputLayout(format.elements, format.elementCount, signature, &error);
        if (!layout) Log("GraphicsSystem: %s: %s", name, error.c_str());
    };
    make(frame_.geometryLayout, kGeometryFormatRow, nullptr, "geometry layout");
    auto checked = [&](std::shared_ptr<GpuInputLayout>& layout, TechniqueId technique, u32 row) {
        const EffectId effect = EffectTable::EffectOf(technique);
        if (!frame_.effects.Effect(effect)) return;
        GpuEffectPass* pass = frame_.effects.Technique(technique)->GetPassByIndex(0);
        if (!pass->IsValid()) return;
        make(layout, row, pass, EffectTable::TechniqueName(technique));
    };
    checked(frame_.lightLayout, TechniqueId::DeferredLightingBuffer, kInstancedLightFormatRow);
    checked(frame_.particleStreamLayout, TechniqueId::StreamOutTech, kParticleFormatRow);
    checked(frame_.particleDrawLayout, TechniqueId::ParticleDrawTech, kParticleFormatRow);
}
