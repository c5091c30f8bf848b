#include "tools/picturetool/Raster.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kPi = 3.14159265358979f;

struct Vec {
    float x, y;
};

float Length(float x, float y) {
    return std::sqrt(x * x + y * y);
}

// A repeatable hash of three integers to [0, 1).
float Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    std::uint32_t h = a * 374761393u + b * 668265263u + c * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFFu) / 16777216.0f;
}

bool IsGeometric(Shape::Kind kind) {
    switch (kind) {
        case Shape::Kind::Rect:
        case Shape::Kind::Ellipse:
        case Shape::Kind::Ring:
        case Shape::Kind::Arc:
        case Shape::Kind::Polygon:
        case Shape::Kind::Line:
        case Shape::Kind::Outline:
            return true;
        default:
            return false;
    }
}

float SegmentDistance(Vec p, Vec a, Vec b) {
    const float bx = b.x - a.x, by = b.y - a.y, px = p.x - a.x, py = p.y - a.y;
    const float lengthSquared = bx * bx + by * by;
    const float t = lengthSquared > 0.0f ? std::clamp((px * bx + py * by) / lengthSquared, 0.0f, 1.0f) : 0.0f;
    return Length(px - bx * t, py - by * t);
}

// Signed distance (negative inside) of a geometric shape at p.
float Distance(const Shape& s, Vec p) {
    switch (s.kind) {
        case Shape::Kind::Rect: {
            const float r = std::min({s.r, s.w / 2, s.h / 2});
            const float qx = std::fabs(p.x - (s.x + s.w / 2)) - s.w / 2 + r;
            const float qy = std::fabs(p.y - (s.y + s.h / 2)) - s.h / 2 + r;
            return Length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - r;
        }
        case Shape::Kind::Ellipse: {
            const float px = p.x - s.x, py = p.y - s.y;
            const float k0 = Length(px / s.w, py / s.h);
            const float k1 = Length(px / (s.w * s.w), py / (s.h * s.h));
            if (k1 <= 0.0f) return -std::min(s.w, s.h);
            return k0 * (k0 - 1.0f) / k1;
        }
        case Shape::Kind::Ring:
            return std::fabs(Length(p.x - s.x, p.y - s.y) - s.r) - s.w / 2;
        case Shape::Kind::Arc: {
            const float ring = std::fabs(Length(p.x - s.x, p.y - s.y) - s.r) - s.w / 2;
            const float qx = p.x - s.x, qy = s.y - p.y;  // y up
            const float a0 = s.from * kPi / 180.0f, a1 = s.to * kPi / 180.0f;
            float span = std::fmod(s.to - s.from, 360.0f);
            if (span <= 0.0f) span += 360.0f;
            const float d0 = qx * std::sin(a0) - qy * std::cos(a0);
            const float d1 = -qx * std::sin(a1) + qy * std::cos(a1);
            const float sector = span <= 180.0f ? std::max(d0, d1) : std::min(d0, d1);
            return std::max(ring, sector);
        }
        case Shape::Kind::Polygon: {
            const auto& v = s.points;
            if (v.size() < 3) return 1e9f;
            float d = 1e30f;
            bool inside = false;
            for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
                const Vec a{v[j][0], v[j][1]}, b{v[i][0], v[i][1]};
                d = std::min(d, SegmentDistance(p, a, b));
                if ((b.y > p.y) != (a.y > p.y) && p.x < (a.x - b.x) * (p.y - b.y) / (a.y - b.y) + b.x) inside = !inside;
            }
            return inside ? -d : d;
        }
        case Shape::Kind::Line:
            return SegmentDistance(p, {s.x, s.y}, {s.x2, s.y2}) - s.w / 2;
        case Shape::Kind::Outline:
            return std::fabs(Distance(s.children.at(0), p)) - s.w / 2;
        default:
            return 1e9f;
    }
}

struct Box {
    float x0, y0, x1, y1;
};

// A box holding a geometric shape, `margin` pixels larger each way.
Box BoundsOf(const Shape& s, float margin) {
    Box b{0, 0, 0, 0};
    switch (s.kind) {
        case Shape::Kind::Rect:
            b = {s.x, s.y, s.x + s.w, s.y + s.h};
            break;
        case Shape::Kind::Ellipse:
            b = {s.x - s.w, s.y - s.h, s.x + s.w, s.y + s.h};
            break;
        case Shape::Kind::Ring:
        case Shape::Kind::Arc:
            b = {s.x - s.r - s.w / 2, s.y - s.r - s.w / 2, s.x + s.r + s.w / 2, s.y + s.r + s.w / 2};
            break;
        case Shape::Kind::Polygon:
            b = {s.points[0][0], s.points[0][1], s.points[0][0], s.points[0][1]};
            for (const auto& p : s.points)
                b = {std::min(b.x0, p[0]), std::min(b.y0, p[1]), std::max(b.x1, p[0]), std::max(b.y1, p[1])};
            break;
        case Shape::Kind::Line:
            b = {std::min(s.x, s.x2) - s.w / 2, std::min(s.y, s.y2) - s.w / 2, std::max(s.x, s.x2) + s.w / 2,
                 std::max(s.y, s.y2) + s.w / 2};
            break;
        case Shape::Kind::Outline:
            b = BoundsOf(s.children.at(0), s.w / 2);
            break;
        default:
            return {-1e9f, -1e9f, 1e9f, 1e9f};
    }
    return {b.x0 - margin, b.y0 - margin, b.x1 + margin, b.y1 + margin};
}

void Stars(const Shape& s, int width, int height, std::vector<float>& mask) {
    for (std::uint32_t i = 0; i < s.count; ++i) {
        const float cx = Hash(s.seed, i, 1) * width, cy = Hash(s.seed, i, 2) * height;
        const float radius = 0.35f + Hash(s.seed, i, 3) * std::max(0.0f, s.r - 0.35f);
        const float brightness = 0.3f + 0.7f * Hash(s.seed, i, 4);
        const int reach = static_cast<int>(std::ceil(radius * 3.0f));
        for (int y = static_cast<int>(cy) - reach; y <= static_cast<int>(cy) + reach; ++y) {
            if (y < 0 || y >= height) continue;
            for (int x = static_cast<int>(cx) - reach; x <= static_cast<int>(cx) + reach; ++x) {
                if (x < 0 || x >= width) continue;
                const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
                const float value = brightness * std::exp(-(dx * dx + dy * dy) / (2.0f * radius * radius));
                float& cell = mask[static_cast<size_t>(y) * width + x];
                cell = std::max(cell, value);
            }
        }
    }
}

Colour Mix(const Colour& a, const Colour& b, float t) {
    return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t, a[3] + (b[3] - a[3]) * t};
}

Colour StopsAt(const std::vector<std::pair<float, Colour>>& stops, float t) {
    if (t <= stops.front().first) return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            const float span = stops[i].first - stops[i - 1].first;
            return Mix(stops[i - 1].second, stops[i].second, span > 0.0f ? (t - stops[i - 1].first) / span : 1.0f);
        }
    }
    return stops.back().second;
}

std::uint8_t Byte(float v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

// Premultiplied RGBA in float.
struct Canvas {
    int width, height;
    std::vector<float> px;

    Canvas(int w, int h) : width(w), height(h), px(static_cast<size_t>(w) * h * 4, 0.0f) {}

    void Put(size_t index, const float* src, Layer::Blend blend) {
        float* d = &px[index * 4];
        if (blend == Layer::Blend::Add) {
            for (int c = 0; c < 4; ++c) d[c] = std::min(1.0f, d[c] + src[c]);
        } else {
            const float keep = 1.0f - src[3];
            for (int c = 0; c < 4; ++c) d[c] = src[c] + d[c] * keep;
        }
    }

    // Straight RGBA of an image at (u, v) in its pixels, bilinear, premultiplied.
    static void Sample(const Image& image, float u, float v, float* out) {
        const float fx = u - 0.5f, fy = v - 0.5f;
        const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
        const float tx = fx - x0, ty = fy - y0;
        for (int c = 0; c < 4; ++c) out[c] = 0.0f;
        for (int k = 0; k < 4; ++k) {
            const int x = x0 + (k & 1), y = y0 + (k >> 1);
            const float weight = ((k & 1) ? tx : 1 - tx) * ((k >> 1) ? ty : 1 - ty);
            if (x < 0 || y < 0 || x >= static_cast<int>(image.width) || y >= static_cast<int>(image.height)) continue;
            const std::uint8_t* t = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
            const float a = t[3] / 255.0f;
            for (int c = 0; c < 3; ++c) out[c] += weight * t[c] / 255.0f * a;
            out[3] += weight * a;
        }
    }
};
}  // namespace

Colour Raster::PaintAt(const Paint& paint, int x, int y) {
    const float px = x + 0.5f, py = y + 0.5f;
    if (paint.stops.empty()) return Colour{1, 1, 1, 1};
    Colour colour = paint.stops.front().second;
    if (paint.kind == Paint::Kind::Linear) {
        const float dx = paint.x1 - paint.x0, dy = paint.y1 - paint.y0;
        const float lengthSquared = dx * dx + dy * dy;
        const float t = lengthSquared > 0.0f ? ((px - paint.x0) * dx + (py - paint.y0) * dy) / lengthSquared : 0.0f;
        colour = StopsAt(paint.stops, std::clamp(t, 0.0f, 1.0f));
    } else if (paint.kind == Paint::Kind::Radial) {
        const float t =
            Length((px - paint.x0) / std::max(paint.x1, 1e-3f), (py - paint.y0) / std::max(paint.y1, 1e-3f));
        colour = StopsAt(paint.stops, std::min(t, 1.0f));
    }
    if (paint.grain > 0.0f) {
        const float n = (Hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), paint.seed) * 2.0f - 1.0f) *
                        paint.grain;
        for (int c = 0; c < 3; ++c) colour[c] = std::clamp(colour[c] + n, 0.0f, 1.0f);
    }
    return colour;
}

void Raster::Blur(std::vector<float>& mask, int width, int height, float sigma) {
    if (sigma <= 0.0f) return;
    const int reach = static_cast<int>(std::ceil(sigma * 3.0f));
    std::vector<float> kernel(2 * reach + 1);
    float sum = 0.0f;
    for (int i = -reach; i <= reach; ++i) sum += kernel[i + reach] = std::exp(-(i * i) / (2.0f * sigma * sigma));
    for (float& k : kernel) k /= sum;
    // Only what lies within reach of the covered box can change.
    int x0 = width, y0 = height, x1 = -1, y1 = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (mask[static_cast<size_t>(y) * width + x] != 0.0f)
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    if (x1 < 0) return;
    const int left = std::max(0, x0 - reach), right = std::min(width - 1, x1 + reach);
    const int top = std::max(0, y0 - reach), bottom = std::min(height - 1, y1 + reach);
    std::vector<float> pass(mask.size(), 0.0f);
    for (int y = y0; y <= y1; ++y)
        for (int x = left; x <= right; ++x) {
            float v = 0.0f;
            for (int i = std::max(-reach, -x); i <= std::min(reach, width - 1 - x); ++i)
                v += kernel[i + reach] * mask[static_cast<size_t>(y) * width + x + i];
            pass[static_cast<size_t>(y) * width + x] = v;
        }
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            float v = 0.0f;
            for (int i = std::max(-reach, -y); i <= std::min(reach, height - 1 - y); ++i)
                v += kernel[i + reach] * pass[static_cast<size_t>(y + i) * width + x];
            mask[static_cast<size_t>(y) * width + x] = v;
        }
}

bool Raster::Coverage(const Shape& shape, int width, int height, std::vector<float>* mask, std::string* error) {
    mask->assign(static_cast<size_t>(width) * height, 0.0f);
    std::vector<float>& m = *mask;
    if (IsGeometric(shape.kind)) {
        const float edge = 1.0f + shape.soft;
        const Box box = BoundsOf(shape, edge + 2.0f);
        const int x0 = std::max(0, static_cast<int>(std::floor(box.x0))),
                  x1 = std::min(width, static_cast<int>(std::ceil(box.x1)));
        const int y0 = std::max(0, static_cast<int>(std::floor(box.y0))),
                  y1 = std::min(height, static_cast<int>(std::ceil(box.y1)));
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                m[static_cast<size_t>(y) * width + x] =
                    std::clamp(0.5f - Distance(shape, {x + 0.5f, y + 0.5f}) / edge, 0.0f, 1.0f);
        return true;
    }
    switch (shape.kind) {
        case Shape::Kind::Whole:
            std::fill(m.begin(), m.end(), 1.0f);
            return true;
        case Shape::Kind::Text:
            return text_.Draw(shape.text, width, height, m, error);
        case Shape::Kind::Stars:
            Stars(shape, width, height, m);
            return true;
        default:
            break;
    }
    // Combinations.
    if (shape.children.empty()) return true;
    if (!Coverage(shape.children[0], width, height, mask, error)) return false;
    std::vector<float> other;
    for (size_t i = 1; i < shape.children.size(); ++i) {
        if (!Coverage(shape.children[i], width, height, &other, error)) return false;
        for (size_t k = 0; k < m.size(); ++k) {
            if (shape.kind == Shape::Kind::Union) m[k] = std::max(m[k], other[k]);
            if (shape.kind == Shape::Kind::Intersect) m[k] = std::min(m[k], other[k]);
            if (shape.kind == Shape::Kind::Subtract) m[k] *= 1.0f - other[k];
        }
    }
    return true;
}

bool Raster::Draw(const Picture& picture, Image* out, std::string* error) {
    const int width = static_cast<int>(picture.width), height = static_cast<int>(picture.height);
    Canvas canvas(width, height);
    std::vector<float> mask;
    for (const Layer& layer : picture.layers) {
        if (layer.op == Layer::Op::Image) {
            auto found = drawn_.find(layer.image);
            if (found == drawn_.end()) {
                *error = picture.name + ": no picture \"" + layer.image + "\" drawn before it";
                return false;
            }
            const Image& image = found->second;
            const float scale = layer.scale > 0.0f ? layer.scale : 1.0f;
            const float left = layer.shape.x - image.width * scale / 2, top = layer.shape.y - image.height * scale / 2;
            float src[4];
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const float u = (x + 0.5f - left) / scale, v = (y + 0.5f - top) / scale;
                    if (u < -1 || v < -1 || u > image.width + 1 || v > image.height + 1) continue;
                    Canvas::Sample(image, u, v, src);
                    for (float& c : src) c *= layer.opacity;
                    canvas.Put(static_cast<size_t>(y) * width + x, src, layer.blend);
                }
            continue;
        }
        if (!Coverage(layer.shape, width, height, &mask, error)) {
            *error = picture.name + ": " + *error;
            return false;
        }
        if (layer.op == Layer::Op::Glow) {
            const int dx = static_cast<int>(std::lround(layer.dx)), dy = static_cast<int>(std::lround(layer.dy));
            if (dx != 0 || dy != 0) {
                std::vector<float> moved(mask.size(), 0.0f);
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        const int sx = x - dx, sy = y - dy;
                        if (sx >= 0 && sy >= 0 && sx < width && sy < height)
                            moved[static_cast<size_t>(y) * width + x] = mask[static_cast<size_t>(sy) * width + sx];
                    }
                mask.swap(moved);
            }
            Blur(mask, width, height, layer.radius);
            for (float& v : mask) v = std::min(1.0f, v * layer.strength);
        }
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const size_t index = static_cast<size_t>(y) * width + x;
                const float coverage = mask[index] * layer.opacity;
                if (coverage <= 0.0f) continue;
                const Colour c = PaintAt(layer.paint, x, y);
                const float a = c[3] * coverage;
                const float src[4] = {c[0] * a, c[1] * a, c[2] * a, a};
                canvas.Put(index, src, layer.blend);
            }
    }
    out->width = picture.width;
    out->height = picture.height;
    out->rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        const float* p = &canvas.px[i * 4];
        const std::uint8_t alpha = Byte(p[3]);
        if (alpha == 0) continue;
        for (int c = 0; c < 3; ++c) out->rgba[i * 4 + c] = Byte(p[c] / p[3]);
        out->rgba[i * 4 + 3] = alpha;
    }
    return true;
}
