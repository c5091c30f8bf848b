#include "game/track/Spline.h"

#include <algorithm>
#include <cmath>

#include "engine/Logger.h"

namespace {

bool IsFinite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    const D3DXVECTOR3 d = a - b;
    return D3DXVec3Length(&d);
}

}  // namespace

D3DXVECTOR3 CatmullRomTangent(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2,
                              const D3DXVECTOR3& p3, float t) {
    return 0.5f * ((p2 - p0) + 2.0f * (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t +
                   3.0f * (-p0 + 3.0f * p1 - 3.0f * p2 + p3) * t * t);
}

void Spline::Clear() {
    samples.clear();
    points.clear();
    coarse_.clear();
}

bool Spline::Rebuild() {
    if (points.size() < 2) return false;
    samples.clear();
    coarse_.clear();
    if (points.size() > kMaxPoints || !std::all_of(points.begin(), points.end(), IsFinite)) return false;
    std::vector<D3DXVECTOR3> copy = points;
    if (closed) copy.push_back(points.front());
    const size_t n = copy.size();
    samples.reserve(1 + 101 * (n - 1));

    float total = 0.0f;
    auto append = [&](float t, u32 segment, const D3DXVECTOR3& position, const u16(&index)[4]) {
        const SplineSample& last = samples.back();
        const float chord = Distance(position, last.position);
        total += chord;
        SplineSample s;
        s.distance = last.distance + chord;
        s.arcLength = total;
        s.t = t;
        s.segment = segment;
        s.position = position;
        s.p0 = index[0];
        s.p1 = index[1];
        s.p2 = index[2];
        s.p3 = index[3];
        samples.push_back(s);
    };
    for (size_t i = 0; i + 1 < n; ++i) {
        const size_t p0 = i > 0 ? i - 1 : (closed ? n - 2 : 0);
        const size_t p3 = i + 2 < n ? i + 2 : (closed ? 1 : i + 1);
        const u16 index[4] = {static_cast<u16>(p0), static_cast<u16>(i), static_cast<u16>(i + 1), static_cast<u16>(p3)};
        if (i == 0) {
            // The start sample carries the first segment's points, so the
            // tangent at distance 0 is the curve's.
            SplineSample start;
            start.distance = start.arcLength = start.t = 0.0f;
            start.position = copy[0];
            start.p0 = index[0];
            start.p1 = index[1];
            start.p2 = index[2];
            start.p3 = index[3];
            samples.push_back(start);
        }
        const u32 segment = static_cast<u32>(i);
        for (float t = 0.01f; t < 1.0f; t += 0.01f) {
            D3DXVECTOR3 position;
            D3DXVec3CatmullRom(&position, &copy[p0], &copy[i], &copy[i + 1], &copy[p3], t);
            append(t, segment, position, index);
        }
        append(1.0f, segment, copy[i + 1], index);
    }
    if (!std::isfinite(total)) {
        samples.clear();
        return false;
    }
    coarse_.reserve(samples.size() / kBlock + 1);
    for (size_t i = 0; i < samples.size(); i += kBlock) coarse_.push_back(samples[i].arcLength);
    return true;
}

float Spline::Wrap(float d) const {
    const float total = GetTotalLength();
    if (!(total > 0.0f)) return 0.0f;
    float r = std::fmod(d, total);
    if (r < 0.0f) r += total;
    return r < total ? r : 0.0f;  // a tiny negative rest can round up to the total
}

bool Spline::LookupDistance(float d, float* out) const {
    if (samples.size() < 2 || !std::isfinite(d)) return false;
    if (closed) {
        *out = Wrap(d);
        return true;
    }
    if (d < 0.0f || d >= GetTotalLength()) return false;
    *out = d;
    return true;
}

size_t Spline::FindAbove(float d) const {
    auto above = [](float value, const SplineSample& s) { return value < s.arcLength; };
    if (coarse_.size() != (samples.size() + kBlock - 1) / kBlock) {  // table filled by hand
        return static_cast<size_t>(std::upper_bound(samples.begin(), samples.end(), d, above) - samples.begin());
    }
    // Block b holds samples [b * kBlock, (b + 1) * kBlock); the answer lies
    // in the block before the first whose first sample is above d.
    const size_t b = static_cast<size_t>(std::upper_bound(coarse_.begin(), coarse_.end(), d) - coarse_.begin());
    if (b == 0) return 0;
    const auto first = samples.begin() + static_cast<std::ptrdiff_t>((b - 1) * kBlock);
    const auto last = samples.begin() + static_cast<std::ptrdiff_t>(std::min(b * kBlock, samples.size()));
    return static_cast<size_t>(std::upper_bound(first, last, d, above) - samples.begin());
}

size_t Spline::FindAtLeastFrom(size_t from, float d) const {
    size_t lo = from, step = 1;
    while (lo + step < samples.size() && samples[lo + step].arcLength < d) {
        lo += step;
        step *= 2;
    }
    const auto first = samples.begin() + static_cast<std::ptrdiff_t>(lo);
    const auto last = samples.begin() + static_cast<std::ptrdiff_t>(std::min(lo + step + 1, samples.size()));
    return static_cast<size_t>(
        std::lower_bound(first, last, d, [](const SplineSample& s, float value) { return s.arcLength < value; }) -
        samples.begin());
}

void Spline::ControlPoints(const SplineSample& s, const D3DXVECTOR3* out[4]) const {
    const size_t count = points.size();
    const size_t p2 = s.p2 >= count ? 0 : s.p2;
    const size_t p3 = s.p3 < count ? s.p3 : (s.p3 == count ? 0 : 1);
    out[0] = &points[s.p0];
    out[1] = &points[s.p1];
    out[2] = &points[p2];
    out[3] = &points[p3];
}

float Spline::ParameterAt(size_t hi, float d) const {
    const SplineSample& h = samples[hi];
    const SplineSample& l = samples[hi - 1];
    const float span = h.arcLength - l.arcLength;
    const float f = span > 0.0f ? (d - l.arcLength) / span : 1.0f;
    const float lt = l.t > h.t ? 0.0f : l.t;  // l closed the previous segment
    return (1.0f - f) * lt + f * h.t;
}

D3DXVECTOR3 Spline::Evaluate(size_t hi, float d) const {
    const D3DXVECTOR3* p[4];
    ControlPoints(samples[hi], p);
    D3DXVECTOR3 out;
    D3DXVec3CatmullRom(&out, p[0], p[1], p[2], p[3], ParameterAt(hi, d));
    return out;
}

bool Spline::GetPositions(float d, float ahead, D3DXVECTOR3* point, D3DXVECTOR3* aheadPoint) const {
    float at;
    if (!LookupDistance(d, &at) || !std::isfinite(ahead)) return false;
    const size_t hi = FindAbove(at);
    if (hi >= samples.size()) return false;
    *point = Evaluate(hi, at);

    float d2 = at + ahead;
    if (closed) {
        d2 = Wrap(d2);
    } else if (d2 >= GetTotalLength() || d2 < 0.0f) {
        return false;
    }
    size_t hi2 = hi;
    if (d2 > samples[hi].arcLength) {
        hi2 = FindAtLeastFrom(hi + 1, d2);
    } else if (d2 < samples[hi - 1].arcLength) {
        hi2 = FindAbove(d2);
    }
    if (hi2 >= samples.size()) return false;
    *aheadPoint = Evaluate(hi2, d2);
    return true;
}

bool Spline::GetPointAndFrame(float d, D3DXVECTOR3* point, SplineFrame* frame) const {
    float at;
    if (!LookupDistance(d, &at)) return false;
    const size_t hi = FindAbove(at);
    if (hi >= samples.size()) return false;
    const SplineSample& lo = samples[hi - 1];
    if (at == lo.arcLength) {
        *point = lo.position;
        if (frame) {
            *frame = SplineFrame();
            frame->position = *point;
        }
        return true;
    }
    *point = Evaluate(hi, at);
    if (frame) *frame = SplineFrame::Transport(SplineFrame(), *point, samples[hi].position - *point);
    return true;
}

bool Spline::GetTangent(float d, D3DXVECTOR3* tangent) const {
    float at;
    if (!LookupDistance(d, &at)) return false;
    const size_t hi = FindAbove(at);
    if (hi >= samples.size()) return false;
    const SplineSample& lo = samples[hi - 1];
    const bool exact = at == lo.arcLength;
    const D3DXVECTOR3* p[4];
    ControlPoints(exact ? lo : samples[hi], p);
    *tangent = CatmullRomTangent(*p[0], *p[1], *p[2], *p[3], exact ? lo.t : ParameterAt(hi, at));
    return true;
}

std::vector<SplineFrame> Spline::BuildFrames(float step) const {
    std::vector<SplineFrame> frames;
    const float total = GetTotalLength();
    if (!std::isfinite(step) || !(step > 0.0f) || total / step > static_cast<float>(kMaxFrames - 2)) {
        Log("Spline::BuildFrames: step %g over length %g is not a positive step giving at most %zu frames", step, total,
            kMaxFrames);
        return frames;
    }
    D3DXVECTOR3 p0, p1, q1, q2;
    if (!GetPositions(0.0f, step, &p0, &p1)) return frames;
    q1 = p1;
    q2 = p1;
    GetPositions(step, step, &q1, &q2);
    SplineFrame first = SplineFrame::FromDirection(p1 - p0, (q2 - q1) - (p1 - p0));
    first.position = p0;
    frames.push_back(first);
    for (float d = step; d < total; d += step) {
        D3DXVECTOR3 p, q;
        if (GetPositions(d, step, &p, &q)) frames.push_back(SplineFrame::Transport(frames.back(), p, q - p));
    }
    const float e = total - 0.01f;
    D3DXVECTOR3 p, v;
    if (GetPointAndFrame(e, &p, nullptr) && GetTangent(e, &v)) {
        frames.push_back(SplineFrame::Transport(frames.back(), p, v));
    }
    return frames;
}
