// Particles through the whole frame: an emitter in front of the default
// camera lights pixels within a few frames, and none once its run is over.
#include <gtest/gtest.h>

#include <algorithm>

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
    ParticleEmmiter* emitter = AddBurstEmitter(D3DXVECTOR3(0, 0, 0), 0.5f, 0.4f, 2.0f);
    TakeBaseline();  // not started: nothing drawn

    SendToComponent(kMsgEmitterStart, emitter->GetId(), 0);
    double firstFrames = 0;
    for (int frame = 0; frame < 3; ++frame) firstFrames = std::max(firstFrames, Lit(Draw(0.1f)));
    EXPECT_GT(firstFrames, 5.0);

    for (int frame = 0; frame < 6; ++frame) Draw(0.1f);
    EXPECT_FALSE(emitter->IsActive());
    EXPECT_NEAR(Lit(Draw(0.1f)), 0.0, 0.5);
}

// A run that has ended gives its buffers back; a start takes them again and
// the burst lights the same middle of the picture as the first run did.
TEST_F(ParticleFrameGLTest, EmitterWhoseRunEndedDrawsAgainWhenRestarted) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0));
    ParticleEmmiter* emitter = AddBurstEmitter(D3DXVECTOR3(0, 0, 0), 0.5f, 0.4f, 2.0f);
    TakeBaseline();
    double runs[2] = {0, 0};
    for (double& lit : runs) {
        SendToComponent(kMsgEmitterStart, emitter->GetId(), 0);
        for (int frame = 0; frame < 3; ++frame) lit = std::max(lit, Lit(Draw(0.1f)));
        for (int frame = 0; frame < 6; ++frame) Draw(0.1f);
        EXPECT_FALSE(emitter->IsActive());
        EXPECT_EQ(emitter->GetBuffers(), nullptr);
    }
    EXPECT_GT(runs[0], 5.0);
    EXPECT_GT(runs[1], 0.5 * runs[0]);
}
