#include <gtest/gtest.h>

#include <cmath>

#include "game/track/Spline.h"

namespace {

Spline Open(std::vector<D3DXVECTOR3> points) {
    Spline s;
    s.points = std::move(points);
    s.Rebuild();
    return s;
}

Spline Closed(std::vector<D3DXVECTOR3> points) {
    Spline s;
    s.points = std::move(points);
    s.closed = true;
    s.Rebuild();
    return s;
}

Spline ClosedTriangle() {
    return Closed({{0, 0, 0}, {100, 0, 0}, {0, 100, 0}});
}

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Unit axes, at right angles, side = forward x up, rotation finite.
void ExpectOrthonormal(const SplineFrame& f) {
    ASSERT_TRUE(Finite(f.forward) && Finite(f.up) && Finite(f.side));
    EXPECT_NEAR(D3DXVec3Length(&f.forward), 1.0f, 1e-4f);
    EXPECT_NEAR(D3DXVec3Length(&f.up), 1.0f, 1e-4f);
    EXPECT_NEAR(D3DXVec3Dot(&f.forward, &f.up), 0.0f, 1e-4f);
    D3DXVECTOR3 side;
    D3DXVec3Cross(&side, &f.forward, &f.up);
    ExpectNear(f.side, side, 1e-4f);
    EXPECT_TRUE(std::isfinite(f.rotation.x + f.rotation.y + f.rotation.z + f.rotation.w));
}

}  // namespace

TEST(SplineTest, TwoPointsTenApartGiveOneSampledSegmentEndingOnTheSecondPoint) {
    const Spline s = Open({{0, 0, 0}, {10, 0, 0}});
    ASSERT_EQ(s.samples.size(), 102u);
    EXPECT_EQ(s.samples.front().arcLength, 0.0f);
    EXPECT_EQ(s.samples.back().position, D3DXVECTOR3(10, 0, 0));
    EXPECT_EQ(s.samples.back().t, 1.0f);
    EXPECT_NEAR(s.GetTotalLength(), 10.0f, 1e-4f);
    for (size_t i = 1; i < s.samples.size(); ++i) {
        EXPECT_GE(s.samples[i].arcLength, s.samples[i - 1].arcLength);
        EXPECT_EQ(s.samples[i].distance, s.samples[i].arcLength);
    }
}

TEST(SplineTest, OpenLookUpsFindPointsAndFailOffEitherEnd) {
    const Spline s = Open({{0, 0, 0}, {10, 0, 0}});
    D3DXVECTOR3 p, q;
    ASSERT_TRUE(s.GetPositions(5, 2, &p, &q));
    ExpectNear(p, D3DXVECTOR3(5, 0, 0), 1e-3f);
    ExpectNear(q, D3DXVECTOR3(7, 0, 0), 1e-3f);
    // The ahead point lands past a later sample than the first point's.
    ASSERT_TRUE(s.GetPositions(1, 7.5f, &p, &q));
    ExpectNear(q, D3DXVECTOR3(8.5f, 0, 0), 1e-3f);

    p = D3DXVECTOR3(-1, -1, -1);
    EXPECT_FALSE(s.GetPositions(8, 2, &p, &q));
    ExpectNear(p, D3DXVECTOR3(8, 0, 0), 1e-3f);  // the point is still written
    EXPECT_FALSE(s.GetPositions(s.GetTotalLength(), 0, &p, &q));
    EXPECT_FALSE(s.GetPositions(-1, 2, &p, &q));
    EXPECT_FALSE(s.GetPositions(NAN, 1, &p, &q));
    EXPECT_FALSE(s.GetPointAndFrame(s.GetTotalLength(), &p, nullptr));
    D3DXVECTOR3 tangent;
    EXPECT_FALSE(s.GetTangent(s.GetTotalLength(), &tangent));
    ASSERT_TRUE(s.GetTangent(0, &tangent));  // the start sample knows its segment
    EXPECT_GT(tangent.x, 0.0f);
}

TEST(SplineTest, ClosedTriangleSamplesThreeSegmentsBackToTheStart) {
    const Spline s = ClosedTriangle();
    ASSERT_EQ(s.samples.size(), 304u);
    EXPECT_NEAR(s.GetTotalLength(), 357.067f, 0.01f);
    const SplineSample& last = s.samples.back();
    EXPECT_EQ(last.position, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(last.p1, 2);
    EXPECT_EQ(last.p3, 1);
    // Every sample is found again at its own distance (wrapped indices on the
    // last two segments evaluate the same curve).
    for (const SplineSample& sample : s.samples) {
        D3DXVECTOR3 p, q;
        if (sample.arcLength >= s.GetTotalLength()) continue;
        ASSERT_TRUE(s.GetPositions(sample.arcLength, 0.5f, &p, &q)) << sample.arcLength;
        ExpectNear(p, sample.position, 1e-3f);
    }
}

TEST(SplineTest, ClosedCurvesWrapEveryDistance) {
    const Spline s = ClosedTriangle();
    const float total = s.GetTotalLength();
    D3DXVECTOR3 p, q, ref, refAhead;
    ASSERT_TRUE(s.GetPositions(5, 2, &ref, &refAhead));
    ASSERT_TRUE(s.GetPositions(0, 2, &p, &q));
    ExpectNear(p, D3DXVECTOR3(0, 0, 0), 1e-4f);
    ASSERT_TRUE(s.GetPositions(total + 5, 2, &p, &q));
    ExpectNear(p, ref, 1e-2f);
    ASSERT_TRUE(s.GetPositions(5 - 10 * total, 2, &p, &q));
    ExpectNear(p, ref, 1e-2f);
    ExpectNear(q, refAhead, 1e-2f);
    // An ahead point past the end comes round the loop.
    ASSERT_TRUE(s.GetPositions(total - 1, 6, &p, &q));
    ExpectNear(q, ref, 1e-2f);
    SplineFrame frame;
    EXPECT_TRUE(s.GetPointAndFrame(total, &p, &frame));
    D3DXVECTOR3 tangent;
    EXPECT_TRUE(s.GetTangent(total + 1, &tangent));
}

TEST(SplineTest, RebuildRefusesTooFewOrBrokenPoints) {
    Spline s = Open({{0, 0, 0}, {10, 0, 0}});
    s.points = {{1, 2, 3}};
    EXPECT_FALSE(s.Rebuild());
    EXPECT_EQ(s.samples.size(), 102u);  // one point keeps the old table

    for (const D3DXVECTOR3& bad : {D3DXVECTOR3(NAN, 0, 0), D3DXVECTOR3(0, INFINITY, 0), D3DXVECTOR3(3e38f, 0, 0)}) {
        s.points = {{0, 0, 0}, bad, {-3e38f, 0, 0}};
        EXPECT_FALSE(s.Rebuild());
        EXPECT_TRUE(s.samples.empty());
        D3DXVECTOR3 p, q;
        EXPECT_FALSE(s.GetPositions(0, 0, &p, &q));
        EXPECT_TRUE(s.BuildFrames(1).empty());
    }
}

TEST(SplineTest, CoincidentPointsGiveNoDivisionByZero) {
    const Spline s = Open({{0, 0, 0}, {0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {20, 0, 0}});
    for (float d = 0; d < s.GetTotalLength(); d += 0.37f) {
        D3DXVECTOR3 p, q;
        if (s.GetPositions(d, 0.5f, &p, &q)) {
            ASSERT_TRUE(Finite(p) && Finite(q)) << d;
        }
    }
    for (const SplineFrame& f : s.BuildFrames(1)) ExpectOrthonormal(f);
    EXPECT_TRUE(Open({{4, 4, 4}, {4, 4, 4}}).BuildFrames(1).empty());  // no length, no frames
}

TEST(SplineTest, TangentIsTheDerivativeOfTheCurve) {
    const D3DXVECTOR3 p0(1, 2, 3), p1(4, -1, 0), p2(7, 5, 2), p3(2, 9, -4);
    for (float t : {0.0f, 0.25f, 0.5f, 0.9f}) {
        const float h = 1e-3f;
        D3DXVECTOR3 a, b;
        D3DXVec3CatmullRom(&a, &p0, &p1, &p2, &p3, t - h);
        D3DXVec3CatmullRom(&b, &p0, &p1, &p2, &p3, t + h);
        ExpectNear(CatmullRomTangent(p0, p1, p2, p3, t), (b - a) / (2 * h), 0.02f);
    }
}

TEST(SplineTest, FramesOfAStraightTrackStartAtItsStart) {
    const D3DXVECTOR3 start(3, 4, 5);
    const Spline s = Open({start, start + D3DXVECTOR3(105, 0, 0)});
    const std::vector<SplineFrame> frames = s.BuildFrames(10);
    ASSERT_EQ(frames.size(), 11u);
    ExpectNear(frames.front().position, start, 1e-4f);
    ExpectNear(frames[1].position, start + D3DXVECTOR3(10, 0, 0), 1e-2f);
    for (const SplineFrame& f : frames) {
        ExpectOrthonormal(f);
        ExpectNear(f.forward, D3DXVECTOR3(1, 0, 0), 1e-4f);
    }
}

TEST(SplineTest, BuildFramesRefusesStepsThatNeverEnd) {
    const Spline s = Open({{0, 0, 0}, {100, 0, 0}});
    for (float step : {0.0f, -1.0f, NAN, INFINITY, -INFINITY, 1e-5f, 1e-30f}) {
        EXPECT_TRUE(s.BuildFrames(step).empty()) << step;
    }
    const size_t fine = s.BuildFrames(0.01f).size();  // fine steps well under the cap still build
    EXPECT_GT(fine, 9990u);
    EXPECT_LT(fine, 10010u);
}

TEST(SplineFrameTest, TransportTurnsTheDefaultFrameOntoTheDirection) {
    const SplineFrame f = SplineFrame::Transport(SplineFrame(), D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(0, 0, 5));
    EXPECT_EQ(f.position, D3DXVECTOR3(1, 2, 3));
    ExpectNear(f.forward, D3DXVECTOR3(0, 0, 1), 1e-6f);
    ExpectNear(f.up, D3DXVECTOR3(0, 1, 0), 1e-6f);
    ExpectNear(f.side, D3DXVECTOR3(-1, 0, 0), 1e-6f);
    EXPECT_NEAR(f.rotation.x, 0.0f, 1e-5f);
    EXPECT_NEAR(f.rotation.y, 0.0f, 1e-5f);
    EXPECT_NEAR(f.rotation.z, 0.70711f, 1e-5f);
    EXPECT_NEAR(f.rotation.w, 0.70711f, 1e-5f);
}

TEST(SplineFrameTest, DegenerateDirectionsKeepAFrame) {
    SplineFrame turned = SplineFrame::Transport(SplineFrame(), D3DXVECTOR3(), D3DXVECTOR3(0, 1, 1));
    // Reversal: half a turn about up; zero direction: orientation kept.
    const SplineFrame back = SplineFrame::Transport(turned, D3DXVECTOR3(), -turned.forward);
    ExpectOrthonormal(back);
    ExpectNear(back.forward, -turned.forward, 1e-5f);
    ExpectNear(back.up, turned.up, 1e-5f);
    const SplineFrame still = SplineFrame::Transport(turned, D3DXVECTOR3(7, 0, 0), D3DXVECTOR3());
    EXPECT_EQ(still.forward, turned.forward);
    EXPECT_EQ(still.position, D3DXVECTOR3(7, 0, 0));

    struct Case {
        D3DXVECTOR3 direction, hint;
    } cases[] = {{{2, 0, 0}, {4, 0, 0}},  {{0, 3, 0}, {0, 0, 0}}, {{0, 0, -1}, {0, 0, 1}},
                 {{-1, 0, 0}, {1, 0, 0}}, {{0, 0, 0}, {0, 1, 0}}, {{1, 1, 0}, {1, 1, 1e-9f}}};
    for (const Case& c : cases) {
        const SplineFrame f = SplineFrame::FromDirection(c.direction, c.hint);
        ExpectOrthonormal(f);
        D3DXVECTOR3 n;
        D3DXVec3Normalize(&n, &c.direction);
        if (n != D3DXVECTOR3()) ExpectNear(f.forward, n, 1e-5f);
    }
    // A usable hint gives the up across the direction.
    const SplineFrame f = SplineFrame::FromDirection(D3DXVECTOR3(0, 0, 2), D3DXVECTOR3(1, 1, 0));
    ExpectNear(f.up, D3DXVECTOR3(0.70711f, 0.70711f, 0), 1e-5f);
}

TEST(SplineFrameTest, ManyNearParallelChordsNeverGiveNaN) {
    // Off the axes, where rounding makes f.n of unit vectors exceed 1.
    SplineFrame frame = SplineFrame::Transport(SplineFrame(), D3DXVECTOR3(), D3DXVECTOR3(1.0f, 0.7f, 0.3f));
    unsigned state = 1;
    auto jitter = [&state] {
        state = state * 214013u + 2531011u;
        return (static_cast<float>((state >> 16) & 0x7FFF) / 32767.0f - 0.5f) * 2e-6f;
    };
    for (int i = 0; i < 200000; ++i) {
        const D3DXVECTOR3 direction = frame.forward + frame.up * jitter() + frame.side * jitter();
        frame = SplineFrame::Transport(frame, frame.position + direction, direction);
        ASSERT_TRUE(Finite(frame.up) && Finite(frame.side) && Finite(frame.forward)) << "chord " << i;
    }
    ExpectOrthonormal(frame);
}
