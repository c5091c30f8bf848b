// The particle effect on the GPU: the stream-out step matches its CPU copy
// record for record over several steps, emitters that die in their update
// are skipped, and a live emitter lights pixels until its particles age out.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ParticleStepReference.h"
#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "engine/Resolvers.h"
#include "engine/Transform.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSwapChain.h"
#include "render/effect/EffectTable.h"
#include "render/frame/RenderDevice.h"
#include "render/mesh/VertexFormat.h"
#include "render/particle/EmitterBuffers.h"
#include "render/particle/ParticleEmmiter.h"
#include "scene/ObjectFactory.h"
#include "tests/render/GraphicsTestRig.h"
#include "tools/particletex/ParticleArchetypes.h"

namespace {

constexpr u32 kSentinel = 0xFFFFFFFFu;

class ParticleStreamGLTest : public GraphicsTestRig {
protected:
    void SetUp() override {
        OpenWindow(64, 64);
        std::string error;
        ASSERT_TRUE(GpuCreateDeviceAndSwapChain(window->NativeWindow(), 64, 64, &device, &swapChain, &error)) << error;
        loader->SetDevice(device);
        resources->SetDevice(device);
        std::vector<std::string> reports;
        table.Load(*loader, [&](const std::string& text) { reports.push_back(text); });
        ASSERT_TRUE(reports.empty()) << reports.front();
        const VertexFormat& format = GetVertexFormat(kParticleFormatRow);
        layout = device->CreateInputLayout(format.elements, format.elementCount,
                                           table.Technique(TechniqueId::StreamOutTech)->GetPassByIndex(0), &error);
        ASSERT_TRUE(layout) << error;
        MakeRandomTexture();
        renderDevice->SetDevice(device);

        handles.streamOut = table.Technique(TechniqueId::StreamOutTech);
        handles.draw = table.Technique(TechniqueId::ParticleDrawTech);
        handles.gameTime = Var(EffectVarId::gameTime);
        handles.emitterAlive = Var(EffectVarId::emitterAlive);
        handles.emitterPosition = Var(EffectVarId::emitterPosition);
        handles.worldTransform = Var(EffectVarId::worldTransform);
        handles.layout = layout.get();
    }
    void TearDown() override {
        overlord.reset();  // emitters hand their records back first
        renderDevice.reset();
        layout.reset();
        randomView.reset();
        table.Release();
        swapChain.reset();
        device.reset();
        GraphicsTestRig::TearDown();
    }

    GpuEffectVariable* Var(EffectVarId id) { return table.Variable(id); }

    // A registered object with a Transform and an emitter of these
    // descriptions (one default description when none), initialised.
    static ParticleEmmiter* MakeEmitter(const std::vector<Particle>& particles = {}) {
        auto* object = new GameObject();
        object->AddComponent(new Transform());
        auto* emitter = new ParticleEmmiter();
        emitter->GetParticles() = particles;
        object->AddComponent(emitter);
        object->Init();
        return emitter;
    }

    void MakeRandomTexture() {
        u32 state = 7;
        random.resize(1024 * 4);
        for (float& f : random) {
            state = state * 1664525u + 1013904223u;
            f = static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
        }
        GpuTextureDesc desc;
        desc.dimension = GpuTextureDimension::Texture1D;
        desc.width = 1024;
        desc.format = GpuFormat::R32G32B32A32_FLOAT;
        desc.usage = GpuUsage::Immutable;
        GpuSubresourceData data{random.data(), 16384, 16384};
        auto texture = device->CreateTexture(desc, &data);
        GpuSrvDesc view;
        view.dimension = GpuSrvDimension::Texture1D;
        randomView = device->CreateShaderResourceView(texture, &view);
        Var(EffectVarId::randomTexture)->SetResource(randomView.get());
    }

    // The records the last step wrote, up to the sentinel left before it.
    std::vector<ParticleVertex> Written(const EmitterBuffers& b) {
        std::vector<std::uint8_t> bytes;
        EXPECT_TRUE(b.streamBuffers[b.readIndex]->ReadBack(0, EmitterBuffers::kStreamBufferBytes, &bytes));
        std::vector<ParticleVertex> records;
        for (size_t at = 0; at + sizeof(ParticleVertex) <= bytes.size(); at += sizeof(ParticleVertex)) {
            ParticleVertex v;
            std::memcpy(&v, &bytes[at], sizeof v);
            if (v.type == kSentinel) break;
            records.push_back(v);
        }
        return records;
    }
    void FillWithSentinels(GpuBuffer& buffer) {
        const std::vector<std::uint8_t> ones(EmitterBuffers::kStreamBufferBytes, 0xFF);
        buffer.Update(ones.data(), 0, EmitterBuffers::kStreamBufferBytes);
    }

    std::shared_ptr<GpuDevice> device;
    std::unique_ptr<GpuSwapChain> swapChain;
    EffectTable table;
    std::shared_ptr<GpuInputLayout> layout;
    std::vector<float> random;
    std::shared_ptr<GpuShaderResourceView> randomView;
    std::unique_ptr<RenderDevice> renderDevice = std::make_unique<RenderDevice>();
    RenderDevice::ParticleEffectHandles handles;
};

void ExpectSameRecord(const ParticleVertex& gpu, const ParticleVertex& cpu, size_t step, size_t index) {
    ASSERT_EQ(gpu.type, cpu.type) << "step " << step << " record " << index;
    EXPECT_EQ(gpu.alphaTex, cpu.alphaTex) << "step " << step << " record " << index;
    float g[32], c[32];
    std::memcpy(g, &gpu, sizeof g);
    std::memcpy(c, &cpu, sizeof c);
    for (int i = 0; i < 32; ++i) {
        const float tolerance = 1e-4f * std::max(1.0f, std::fabs(c[i]));
        EXPECT_NEAR(g[i], c[i], tolerance) << "step " << step << " record " << index << " float " << i;
    }
}

}  // namespace

TEST_F(ParticleStreamGLTest, StreamOutMatchesTheCpuStepRecordForRecord) {
    std::vector<Particle> particles(2);
    Particle& a = particles[0];
    a.count = 30;  // more than one step may start: the rest follow a step later
    a.spawnRate = 4.0f;
    a.maxAge = 0.45f;
    a.sizeScale = 0.5f;
    a.velocityDir = D3DXVECTOR3(1, 2, 0);
    a.velocity = 2.0f;
    a.accelDir = D3DXVECTOR3(0, -1, 0);
    a.acceleration = 9.8f;
    a.alphaMaskIdx = 2;
    Particle& b = particles[1];
    b.count = 3;
    b.maxAge = 10.0f;
    b.velocityDir = D3DXVECTOR3(0, 0, 1);
    b.attractorParticle = D3DXVECTOR3(0, 5, 0);
    b.attractorStrength = 1.5f;

    EmitterBuffers* buffers = renderDevice->AddEmitter(particles);
    ASSERT_TRUE(buffers && buffers->seedBuffer && buffers->streamBuffers[0] && buffers->streamBuffers[1]);
    RenderDevice::ParticleEffectHandles streamOnly = handles;
    streamOnly.draw = nullptr;

    std::vector<ParticleVertex> cpu;
    for (const Particle& p : particles) cpu.push_back(ParticleVertex::FromParticle(p));
    ParticleStepInputs in;
    in.emitterPosition[0] = 1, in.emitterPosition[1] = 2, in.emitterPosition[2] = 3;
    in.timeStep = 0.1f;
    in.randomTexels = random.data();
    Var(EffectVarId::emitterPosition)->SetFloatVector(in.emitterPosition);
    Var(EffectVarId::timeStep)->SetFloat(in.timeStep);

    size_t mostRecords = 0;
    for (size_t step = 0; step < 13; ++step) {
        in.gameTime = 0.37f + 0.1f * static_cast<float>(step);
        in.emitterAlive = step < 7;
        Var(EffectVarId::gameTime)->SetFloat(in.gameTime);
        Var(EffectVarId::emitterAlive)->SetBool(in.emitterAlive);
        FillWithSentinels(*buffers->streamBuffers[buffers->writeIndex]);
        renderDevice->StreamAndDraw(*buffers, streamOnly);
        EXPECT_FALSE(buffers->seedPending);

        cpu = ParticleStepReference(cpu, in);
        const std::vector<ParticleVertex> gpu = Written(*buffers);
        ASSERT_EQ(gpu.size(), cpu.size()) << "step " << step;
        for (size_t i = 0; i < cpu.size(); ++i) ExpectSameRecord(gpu[i], cpu[i], step, i);
        mostRecords = std::max(mostRecords, cpu.size());
    }
    EXPECT_GT(mostRecords, 30u);  // the bursts really ran
    // After the emitter stopped and maxAge passed, only the seeds and the
    // long-lived particles of the second description remain.
    EXPECT_EQ(cpu.size(), 2u + 3u);
    EXPECT_EQ(device->DrainErrors(), 0u);
}

namespace {
// A 64 x 64 colour target and the camera looking at the origin from -z.
struct ParticleView {
    std::shared_ptr<GpuTexture> texture;
    std::shared_ptr<GpuRenderTargetView> target;

    ParticleView(GpuDevice& device, EffectTable& table) {
        GpuTextureDesc desc;
        desc.width = 64;
        desc.height = 64;
        desc.bindFlags = GpuBindRenderTarget | GpuBindShaderResource;
        texture = device.CreateTexture(desc);
        target = device.CreateRenderTargetView(texture);
        const D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
        D3DXMATRIX view, projection;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, 0.785398185f, 1.0f, 1.0f, 2000.0f);
        const D3DXMATRIX viewProjection = view * projection;
        table.Variable(EffectVarId::viewMatrix)->SetMatrix(&viewProjection._11);
        table.Variable(EffectVarId::CamPosition)->SetFloatVector(&eye.x);
    }
    void Bind(GpuDevice& device) {
        GpuRenderTargetView* rtv = target.get();
        device.OMSetRenderTargets(1, &rtv, nullptr);
        GpuViewport viewport;
        viewport.width = viewport.height = 64;
        device.RSSetViewports(1, &viewport);
        const float black[4] = {0, 0, 0, 0};
        device.ClearRenderTargetView(target.get(), black);
    }
    int LitPixels() const {
        std::vector<std::uint8_t> bytes;
        texture->ReadBack(0, &bytes);
        int lit = 0;
        for (size_t i = 0; i + 3 < bytes.size(); i += 4) lit += (bytes[i] | bytes[i + 1] | bytes[i + 2]) != 0;
        return lit;
    }
};
}  // namespace

TEST_F(ParticleStreamGLTest, EmitterLightsPixelsUntilItsParticlesAgeOut) {
    resources->LoadParticleTextures();
    ASSERT_EQ(resources->ListEntries().size(), 4u);  // the masks of assets/particle
    Var(EffectVarId::particleAlphaTexture)->SetResource(resources->GetParticleTextureArray());
    ParticleView view(*device, table);

    Particle burst;
    burst.count = 8;
    burst.maxAge = 0.45f;
    burst.velocity = 0.5f;
    burst.sizeScale = 2.0f;
    ParticleEmmiter* emitter = MakeEmitter({burst});
    emitter->SetContinuous(true);
    emitter->SetActive(true);

    const std::vector<u32> ids{emitter->GetId()};
    float gameTime = 0;
    std::vector<int> lit;
    for (int frame = 0; frame < 10; ++frame) {
        view.Bind(*device);
        gameTime += 0.1f;
        Var(EffectVarId::timeStep)->SetFloat(0.1f);
        renderDevice->RunEmitters(ids, 0.1f, gameTime, handles);
        lit.push_back(view.LitPixels());
    }
    EXPECT_GT(lit[0] + lit[1] + lit[2], 0) << "no particle drawn in the first frames";
    EXPECT_TRUE(emitter->IsActive());  // continuous: still running,
    EXPECT_EQ(lit.back(), 0);          // but its one burst has aged out
    EXPECT_EQ(device->DrainErrors(), 0u);
}

TEST_F(ParticleStreamGLTest, EmitterThatDiesInItsUpdateIsSkippedAndCanStartAgain) {
    ParticleView view(*device, table);
    ParticleEmmiter* emitter = MakeEmitter();
    EmitterCommand start;
    start.flag = true;  // die on stop
    SendToComponent(kMsgEmitterStart, emitter->GetId(), 0, start);
    // An emitter without a Transform and an id that is no emitter ride along.
    auto* bare = new GameObject();
    auto* orphan = new ParticleEmmiter();
    bare->AddComponent(orphan);
    bare->Init();
    orphan->SetActive(true);
    const std::vector<u32> ids{emitter->GetId(), orphan->GetId(), emitter->GetOwner(), 999999u};

    view.Bind(*device);
    renderDevice->RunEmitters(ids, 0.5f, 0.5f, handles);
    EXPECT_NE(emitter->GetBuffers(), nullptr);
    view.Bind(*device);
    renderDevice->RunEmitters(ids, 5.0f, 5.5f, handles);  // times out: buffers go back in the update
    EXPECT_FALSE(emitter->IsActive());
    EXPECT_EQ(emitter->GetBuffers(), nullptr);
    EXPECT_EQ(view.LitPixels(), 0);

    SendToComponent(kMsgEmitterStart, emitter->GetId(), 0, start);
    ASSERT_NE(emitter->GetBuffers(), nullptr);
    int lit = 0;
    for (int frame = 0; frame < 3; ++frame) {
        view.Bind(*device);
        renderDevice->RunEmitters(ids, 0.05f, 6.0f + 0.05f * static_cast<float>(frame), handles);
        lit += view.LitPixels();
    }
    EXPECT_GT(lit, 0);
    EXPECT_EQ(device->DrainErrors(), 0u);
}

TEST_F(ParticleStreamGLTest, EmitterListedTwiceRunsOncePerFrame) {
    ParticleView view(*device, table);
    ParticleEmmiter* emitter = MakeEmitter();
    emitter->SetActive(true);
    view.Bind(*device);
    EXPECT_EQ(renderDevice->RunEmitters({emitter->GetId(), emitter->GetId()}, 0.5f, 0.5f, handles), 1u);
    EXPECT_FLOAT_EQ(emitter->GetElapsed(), 0.5f);  // one update, not two
}

TEST_F(ParticleStreamGLTest, StreamPastItsCapacityKeepsTheFirstRecordsAndRaisesNoError) {
    Particle flood;
    flood.count = 5000;
    flood.spawnRate = 100.0f;
    flood.maxAge = 100.0f;
    std::vector<Particle> particles{flood};
    EmitterBuffers* buffers = renderDevice->AddEmitter(particles);
    RenderDevice::ParticleEffectHandles streamOnly = handles;
    streamOnly.draw = nullptr;
    Var(EffectVarId::timeStep)->SetFloat(0.02f);
    Var(EffectVarId::emitterAlive)->SetBool(true);
    for (int step = 0; step < 260; ++step) {  // 23 starts a step: more than 5000 records
        Var(EffectVarId::gameTime)->SetFloat(0.02f * static_cast<float>(step));
        renderDevice->StreamAndDraw(*buffers, streamOnly);
    }
    FillWithSentinels(*buffers->streamBuffers[buffers->writeIndex]);
    renderDevice->StreamAndDraw(*buffers, streamOnly);
    const std::vector<ParticleVertex> records = Written(*buffers);
    EXPECT_EQ(records.size(), EmitterBuffers::kStreamCapacity);
    EXPECT_EQ(records.front().type, ParticleVertex::kEmitter);
    EXPECT_EQ(device->DrainErrors(), 0u);
}

// The shipped "Explosion" (a one-shot run of 1.3 s) spawned every 0.05 s for
// 30 s, as a spawner on a timer makes it: each run ends and gives its stream
// buffers back, so the GPU bytes held after 600 spawns peak where they do
// after 150 (about 27 runs at once), whether the archetype runs from its
// data or is started after each spawn.
TEST_F(ParticleStreamGLTest, SpawnedOneShotEmittersHoldAfter600SpawnsWhatTheyHoldAfter150) {
    RenderDevice::ParticleEffectHandles streamOnly = handles;
    streamOnly.draw = nullptr;
    for (const bool activeInData : {false, true}) {
        SCOPED_TRACE(activeInData ? "active in its data" : "started after each spawn");
        renderDevice = std::make_unique<RenderDevice>();  // an empty pool
        renderDevice->SetDevice(device);
        ObjectFactory factory;
        const ParticleArchetype* explosion = nullptr;
        for (const ParticleArchetype& a : ParticleArchetypes())
            if (a.name == "Explosion") explosion = &a;
        ASSERT_NE(explosion, nullptr);
        GameObject* prototype = explosion->design();
        prototype->GetComponent<ParticleEmmiter>()->SetActive(activeInData);
        factory.AddArchetypeByName(prototype);

        std::vector<u32> objects, emitters;
        std::size_t peakAt150 = 0, peak = 0;
        for (int spawn = 1; spawn <= 600; ++spawn) {
            objects.push_back(factory.Instantiate("Explosion", false));
            auto* emitter = overlord->GetComponent<ParticleEmmiter>(objects.back());
            ASSERT_NE(emitter, nullptr);
            if (!activeInData) SendToComponent(kMsgEmitterStart, emitter->GetId(), 0);
            emitters.push_back(emitter->GetId());
            renderDevice->RunEmitters(emitters, 0.05f, 0.05f * static_cast<float>(spawn), streamOnly);
            peak = std::max(peak, renderDevice->HeldBufferBytes());
            if (spawn == 150) peakAt150 = peak;
        }
        EXPECT_GT(peakAt150, 20 * 2 * std::size_t{EmitterBuffers::kStreamBufferBytes}) << "some 27 runs at once";
        EXPECT_LE(peak, peakAt150 + peakAt150 / 4);
        EXPECT_EQ(device->DrainErrors(), 0u);
        for (u32 object : objects) overlord->UnregisterGameObject(object);
        graveyard->Collect(1000.0f);
    }
}
