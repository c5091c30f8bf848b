// The component that gives an object GPU particles: a list of particle
// descriptions (each one seed vertex), the timing of a run (active,
// emitting, elapsed against emitterDuration, fallOff) and the start, stop
// and move messages (kMsgEmitterStart, Stop, Move). It holds buffers lent by
// RenderDevice only while it is active: an idle emitter holds none, and a
// start takes them again, seeded afresh. Owned by its GameObject; main thread only.
#pragma once
#include <vector>

#include "engine/Component.h"
#include "port/math/D3DX.h"
#include "render/particle/Particle.h"

struct EmitterBuffers;

// The payload of kMsgEmitterStart, Stop and Move (a null payload is accepted: the
// position and flag are then left alone).
struct EmitterCommand {
    D3DXVECTOR3 position;
    bool flag = false;
};

class ParticleEmmiter : public Component<ParticleEmmiter> {
public:
    ParticleEmmiter() = default;
    // The descriptions and the settings; not the buffers nor the run: the
    // copy is emitting, at elapsed 0, and builds its own buffers at Init.
    ParticleEmmiter(const ParticleEmmiter& other);
    ~ParticleEmmiter() override;

    static void Reflect(MemberList<ParticleEmmiter>& members);

    void HandleMessage(Message* message) override;
    // The run's clock (non-continuous runs): spawning stops once elapsed
    // passes emitterDuration - fallOff, the emitter deactivates once it
    // passes emitterDuration; an inactive emitter gives its buffers back
    // (Shutdown); an inactive orphan removes its object.
    void Update(float dt) override;
    // Once: subscribes to the start, stop and move kinds and, when active,
    // builds its buffers.
    void Init() override;
    // Hands the buffers back. The descriptions are kept, so a later start
    // builds the same particles again.
    void Shutdown() override;
    void AddTweakBarVars(TwBar* bar, const TweakVarParams& group) override;
    void OnEnable() override;
    void OnDisable() override;

    // elapsed := 0; the buffers go back and, when active, a fresh record is
    // seeded from the descriptions (one default description when there are
    // none; an idle emitter is seeded when it starts).
    void Rebuild();
    // An initialised, active emitter without buffers takes them, seeded
    // from its descriptions (the particle pass asks before each update, so
    // an emitter made active by other means draws too). One refused for the
    // budget (RenderDevice::kMaxLent) draws nothing and asks again the next
    // frame; the first refusal until the scene is cleared logs one row
    // naming its object.
    void TakeBuffersIfRunning();

    EmitterBuffers* GetBuffers() const { return buffers_; }
    bool IsActive() const { return active_; }
    bool IsEmitting() const { return emitting_; }
    bool IsContinuous() const { return continuous_; }
    bool DiesOnStop() const { return dieOnStop_; }
    float GetElapsed() const { return elapsed_; }
    float GetDuration() const { return emitterDuration_; }
    float GetFallOff() const { return fallOff_; }
    std::vector<Particle>& GetParticles() { return particles_; }
    void SetActive(bool active) { active_ = active; }
    void SetEmitting(bool emitting) { emitting_ = emitting; }
    void SetContinuous(bool continuous) { continuous_ = continuous; }
    void SetDieOnStop(bool dieOnStop) { dieOnStop_ = dieOnStop; }
    void SetTiming(float duration, float fallOff) { emitterDuration_ = duration, fallOff_ = fallOff; }

    // Its effect is gone: a running emitter plays its run out; an idle one
    // (and a continuous one, which nothing would stop now) gives its buffers
    // back at once. The first update that finds it idle removes its object
    // (the renderer's particle pass updates idle orphans too).
    void Orphan();
    bool IsOrphaned() const { return orphaned_; }

    // The tweak panel's buttons, given the emitter's component id.
    static void AddEmitterButton(void* clientData);
    static void StartEmitterButton(void* clientData);
    static void StopEmitterButton(void* clientData);
    static void NoParticlesButton(void* clientData);

private:
    void Start(const EmitterCommand* command);
    // Borrows a record seeded from the descriptions (elapsed is left alone).
    void TakeBuffers();
    // Moves the owner's Transform; an owner without one is left alone.
    void MoveOwner(const D3DXVECTOR3& position);
    // Unregisters the owner object (the Graveyard deletes it, and this
    // component with it, at the end of the frame).
    void RemoveObject();

    EmitterBuffers* buffers_ = nullptr;  // lent by RenderDevice
    bool active_ = false;
    float emitterDuration_ = 2.0f;
    bool emitting_ = true;
    float elapsed_ = 0.0f;
    float fallOff_ = 0.2f;
    bool continuous_ = false;
    bool dieOnStop_ = false;
    std::vector<Particle> particles_;
    bool initialised_ = false;
    bool orphaned_ = false;
};
