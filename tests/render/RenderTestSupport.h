// The render tests' fixture: the engine-wide services of tests/support, a
// sender to one component, and a vector comparison. RecordingComponent and
// RecordingSystem are the probes of tests/support.
#pragma once
#include <gtest/gtest.h>

#include "engine/GameObject.h"
#include "port/math/D3DX.h"
#include "tests/support/Probes.h"
#include "tests/support/TestServices.h"

using RecordingComponent = ProbeComponent;
using RecordingSystem = ProbeSystem;

class RenderFixture : public ServicesTest {
protected:
    // Delivers a message (with a payload copy, if given) to a registered component now.
    template <class P, class... V>
    requires PayloadArguments<P, V...>
    void SendTo(IComponent* component, const Kind<P>& kind, const V&... payload) {
        SendToComponent(kind, component->GetId(), 0, payload...);
    }
};

inline void ExpectVecNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float eps = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}
