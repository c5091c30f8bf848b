// The curve under every track: a uniform Catmull-Rom curve through control
// points, open or closed, turned by Rebuild into a table of samples ordered
// by arc length, and looked up by distance travelled (bisection, so a
// look-up costs O(log samples)). A plain value (copies are deep); the
// PlayerPath component owns the one the game rides. Single-precision float
// throughout. Main thread only.
#pragma once
#include <vector>

#include "game/track/SplineFrame.h"
#include "game/track/SplineSample.h"
#include "port/math/D3DX.h"

class Spline {
public:
    // The most frames BuildFrames makes; finer steps are refused.
    static constexpr size_t kMaxFrames = 100000;
    // The most control points (sample records index them in 16 bits).
    static constexpr size_t kMaxPoints = 65535;

    virtual ~Spline() = default;

    // Empties the samples and the control points.
    void Clear();
    // Rebuilds the samples from the control points: 1 + 101 per segment.
    // Fewer than 2 points change nothing and give false; more than
    // kMaxPoints, or points or lengths that are not finite, empty the table
    // and give false.
    bool Rebuild();

    // The point at distance d and the point `ahead` further on. A closed
    // curve wraps both distances onto the loop; an open one fails when
    // either lies outside [0, total) (point is still written when only the
    // ahead point is off the end).
    bool GetPositions(float d, float ahead, D3DXVECTOR3* point, D3DXVECTOR3* aheadPoint) const;
    // The point at d and, when frame is given, the frame there turned
    // toward the next sample. Fails like the first point of GetPositions.
    bool GetPointAndFrame(float d, D3DXVECTOR3* point, SplineFrame* frame) const;
    // The curve's derivative at d (not normalised).
    bool GetTangent(float d, D3DXVECTOR3* tangent) const;
    // Frames every `step` along the curve, the first at its start, each
    // transported from the one before, and one just before the end. Empty
    // (and one log row) for a step that is not a positive number or would
    // make more than kMaxFrames frames; empty for a curve without length.
    std::vector<SplineFrame> BuildFrames(float step) const;

    // The arc length of the last sample; 0 before the first build.
    float GetTotalLength() const { return samples.empty() ? 0.0f : samples.back().arcLength; }

    std::vector<D3DXVECTOR3> points;
    std::vector<SplineSample> samples;
    bool closed = false;

private:
    // d moved onto the loop of a closed curve, in [0, total).
    float Wrap(float d) const;
    // Index of the first sample whose arcLength is above d; samples.size()
    // when none. Searches the coarse index, then one block of samples.
    size_t FindAbove(float d) const;
    // Index of the first sample from `from` on whose arcLength is at least
    // d, galloping forward (the ahead point is usually a few samples on).
    size_t FindAtLeastFrom(size_t from, float d) const;
    // The curve at d, interpolated between samples hi - 1 and hi.
    D3DXVECTOR3 Evaluate(size_t hi, float d) const;
    // The curve parameter at d between samples hi - 1 and hi.
    float ParameterAt(size_t hi, float d) const;
    // The four control points of a sample, indices wrapped.
    void ControlPoints(const SplineSample& s, const D3DXVECTOR3* out[4]) const;
    // d as a look-up distance, or false when it lies off an open curve.
    bool LookupDistance(float d, float* out) const;

    // Every kBlock-th sample's arcLength, made by Rebuild: a search touches
    // this small array and one block of the large table, not the whole table.
    static constexpr size_t kBlock = 16;
    std::vector<float> coarse_;
};

// The exact derivative of the uniform Catmull-Rom polynomial at t.
D3DXVECTOR3 CatmullRomTangent(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2,
                              const D3DXVECTOR3& p3, float t);
