// For the frame tests: a GraphicsSystem initialised on a small offscreen
// window (windowed, 320 x 240 unless asked otherwise), scene objects made
// and announced as a loaded scene's would be, the default camera placed by
// message, and the finished picture read back from the back buffer.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "engine/Transform.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuPicture.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/gpu/GpuTexture.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderDevice.h"
#include "render/frame/RenderResources.h"
#include "render/light/GlobalLighting.h"
#include "render/light/PointLight.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/MeshGeometry.h"
#include "render/mesh/Model.h"
#include "render/particle/ParticleEmmiter.h"
#include "render/text/FontManager.h"
#include "tests/render/GraphicsTestRig.h"

struct Rgb {
    int r = 0, g = 0, b = 0;
    int Sum() const { return r + g + b; }
};

// The back buffer's bytes, rows top first.
class Picture {
public:
    Picture() = default;
    Picture(std::vector<std::uint8_t> bytes, int width, int height)
        : bytes_(std::move(bytes)), width_(width), height_(height) {}
    Rgb At(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 4;
        return {bytes_[i], bytes_[i + 1], bytes_[i + 2]};
    }
    // Mean brightness (r + g + b) of the square of half-size `half` around (x, y).
    double Mean(int x, int y, int half = 2) const {
        double sum = 0;
        int n = 0;
        for (int j = y - half; j <= y + half; ++j)
            for (int i = x - half; i <= x + half; ++i) {
                if (i < 0 || j < 0 || i >= width_ || j >= height_) continue;
                sum += At(i, j).Sum();
                ++n;
            }
        return n ? sum / n : 0.0;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    int width_ = 0;
    int height_ = 0;
};

class FrameTestRig : public GraphicsTestRig {
protected:
    void Start(int width = 320, int height = 240) {
        graphics = new GraphicsSystem;
        engine->AddSystem(graphics);
        OpenWindow(width, height);
        SendToSystem(kMsgClearFullScreen, graphics->GetTypeId(), 0);
        graphics->Init();
        ASSERT_NE(graphics->GetDevice(), nullptr);
    }

    // Everything holding GPU objects goes while the window's context lives:
    // the systems, then the scene objects, then what they queued for deletion.
    void TearDown() override {
        engine.reset();
        overlord.reset();
        graveyard.reset();
        fonts.reset();
        renderDevice.reset();
        GraphicsTestRig::TearDown();
    }

    // Places the default camera (kMsgCameraPosition and kMsgCameraLookAt reach every Camera).
    void LookFrom(const D3DXVECTOR3& eye, const D3DXVECTOR3& at) {
        ::Broadcast(kMsgCameraPosition, 0, eye);
        ::Broadcast(kMsgCameraLookAt, 0, at);
    }

    // A registered object with a Transform at `position` of uniform `scale`
    // and the given components; its components are announced.
    GameObject* AddObject(const D3DXVECTOR3& position, float scale, std::initializer_list<IComponent*> components) {
        auto* object = new GameObject();
        auto* transform = new Transform();
        transform->position = position;
        transform->scale = scale;
        object->AddComponent(transform);
        for (IComponent* component : components) object->AddComponent(component);
        transform->Init();
        transform->Update(0.0f);
        object->AnnounceComponents();
        return object;
    }

    // A model whose every texture slot is a solid colour.
    static Model* Coloured(Model* model, const D3DXCOLOR& diffuse, const D3DXCOLOR& glow = D3DXCOLOR(0, 0, 0, 1)) {
        RenderResources* resources = RenderResources::Instance();
        model->material.diffuse = resources->GetSolidColorTexture(diffuse.r, diffuse.g, diffuse.b, diffuse.a);
        model->material.glow = resources->GetSolidColorTexture(glow.r, glow.g, glow.b, glow.a);
        model->material.diffuseLocked = model->material.glowLocked = true;
        return model;
    }

    // A flat one-sided rectangle: corners clockwise as seen from the side it
    // faces (top left, top right, bottom right, bottom left), one normal.
    static Model* FlatQuad(const D3DXVECTOR3 (&corners)[4]) {
        D3DXVECTOR3 normal;
        const D3DXVECTOR3 across = corners[1] - corners[0], down = corners[3] - corners[0];
        D3DXVec3Cross(&normal, &across, &down);
        D3DXVec3Normalize(&normal, &normal);
        MeshGeometry geometry;
        const D3DXVECTOR2 uv[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int i = 0; i < 4; ++i) geometry.mesh.vertices.push_back({corners[i], normal, uv[i]});
        geometry.mesh.indices = {0, 1, 2, 0, 2, 3};
        geometry.triangleCount = 2;
        geometry.mesh.ComputeBounds(geometry.center, geometry.extent);
        Model* model = new Model();
        MeshBuilder::Fill(*model, geometry);
        return model;
    }

    // A screen-space quad of half-size `scale` pixels in `colour` at the
    // picture's centre, asked for the next frame as the menus' pictures are.
    GameObject* AskScreenQuad(float scale, const D3DXCOLOR& colour) {
        auto* object = new GameObject();
        auto* transform = new Transform();
        transform->isInScreenSpace = true;
        transform->scale = scale;
        object->AddComponent(transform);
        object->AddComponent(Coloured(MeshBuilder::Quad(1.0f, 1.0f, colour), colour));
        transform->Init();
        transform->Update(0.0f);
        SendToSystem(DrawThisFrame(TypeId<Model>::Get()), graphics->GetTypeId(), 0, object->GetId());
        return object;
    }

    PointLight* AddLight(const D3DXVECTOR3& position, float range, const D3DXCOLOR& colour) {
        auto* light = new PointLight();
        light->mRange = range;
        light->mDiffuse = colour;
        AddObject(position, 1.0f, {light});
        return light;
    }

    // An emitter of one white burst of 16 particles, initialised but not
    // started (kMsgEmitterStart starts it); its run lasts `duration` s.
    ParticleEmmiter* AddBurstEmitter(const D3DXVECTOR3& position, float duration, float maxAge, float sizeScale) {
        auto* emitter = new ParticleEmmiter();
        emitter->SetTiming(duration, 0.1f);
        Particle burst;
        burst.count = 16;
        burst.maxAge = maxAge;
        burst.velocity = 0.5f;
        burst.sizeScale = sizeScale;
        burst.colorRange.EndVal = D3DXCOLOR(1, 1, 1, 1);
        emitter->GetParticles().push_back(burst);
        AddObject(position, 1.0f, {emitter});
        emitter->Init();
        return emitter;
    }

    GlobalLighting* AddGlobalLight(const D3DXVECTOR3& towardsLight, float intensity, float ambient) {
        auto* light = new GlobalLighting();
        light->directionalLightingDirection = towardsLight;
        light->directionalLightIntensity = intensity;
        light->ambientIntensity = ambient;
        AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {light});
        return light;
    }

    // With DD_FRAME_PICTURES set to a folder, every drawn frame is also
    // saved there as <test name>-<n>.png, to look at.
    Picture Draw(float dt = 0.0f) {
        graphics->Update(dt);
        if (const char* folder = std::getenv("DD_FRAME_PICTURES")) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            GpuPicture::SavePng(*graphics->GetSwapChain()->GetBuffer(),
                                std::string(folder) + "/" + info->name() + "-" + std::to_string(drawn_++) + ".png");
        }
        return Grab();
    }

    Picture Grab() const {
        std::vector<std::uint8_t> bytes;
        const GpuTexture& buffer = *graphics->GetSwapChain()->GetBuffer();
        EXPECT_TRUE(buffer.ReadBack(0, &bytes));
        return Picture(std::move(bytes), static_cast<int>(buffer.GetDesc().width),
                       static_cast<int>(buffer.GetDesc().height));
    }

    // The builders make their buffers on its device.
    std::unique_ptr<RenderDevice> renderDevice = std::make_unique<RenderDevice>();
    std::unique_ptr<FontManager> fonts;  // made by the text tests
    GraphicsSystem* graphics = nullptr;

private:
    int drawn_ = 0;
};
