// Particles through the whole frame: an emitter in front of the default
// camera lights pixels within a few frames, and none once its run is over.
#include <gtest/gtest.h>

#include <algorithm>

#include "render/particle/ParticleEmmiter.h"
#include "tests/render/FrameTestRig.h"

namespace {

class ParticleFrameGLTest : public FrameTestRig {
protected:
    // Brightness of the middle of the picture above what an empty frame shows.
    double Lit(const Picture& picture) const {
        return picture.Mean(picture.Width() / 2, picture.Height() / 2, 20) - baseline_;
    }
    void TakeBaseline() { baseline_ = Draw(0.1f).Mean(160, 120, 20); }

private:
    double baseline_ = 0;
};

}  // namespace

TEST_F(ParticleFrameGLTest, EmitterSeenByTheDefaultCameraLightsPixelsUntilItsRunEnds) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0));
    auto* emitter = new ParticleEmmiter();
    emitter->SetTiming(0.5f, 0.1f);
    Particle burst;
    burst.count = 16;
    burst.maxAge = 0.4f;
    burst.velocity = 0.5f;
    burst.sizeScale = 2.0f;
    burst.colorRange.EndVal = D3DXCOLOR(1, 1, 1, 1);
    emitter->GetParticles().push_back(burst);
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {emitter});
    emitter->Init();
    TakeBaseline();  // not started: nothing drawn

    SendToComponent(kMsgEmitterStart, emitter->GetId(), 0);
    double firstFrames = 0;
    for (int frame = 0; frame < 3; ++frame) firstFrames = std::max(firstFrames, Lit(Draw(0.1f)));
    EXPECT_GT(firstFrames, 5.0);

    for (int frame = 0; frame < 6; ++frame) Draw(0.1f);
    EXPECT_FALSE(emitter->IsActive());
    EXPECT_NEAR(Lit(Draw(0.1f)), 0.0, 0.5);
}
