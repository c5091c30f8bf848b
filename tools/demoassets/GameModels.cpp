#include "tools/demoassets/GameModels.h"

#include <cmath>

namespace {
constexpr float kPi = 3.14159265358979f;

D3DXMATRIX Move(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

D3DXMATRIX Turn(float xDegrees, float yDegrees, float zDegrees) {
    D3DXMATRIX x, y, z;
    D3DXMatrixRotationX(&x, xDegrees * kPi / 180.0f);
    D3DXMatrixRotationY(&y, yDegrees * kPi / 180.0f);
    D3DXMatrixRotationZ(&z, zDegrees * kPi / 180.0f);
    return z * x * y;
}

D3DXMATRIX Size(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixScaling(&m, x, y, z);
    return m;
}

// Grows the whole model: each is drawn at a handy size and scaled to the
// size the levels' colliders give it.
void Scale(MeshSketch& m, float k) {
    m.Transform(0, Size(k, k, k));
}

// An ellipsoid's profile along z: `rings` rings from -length/2 to +length/2.
std::vector<MeshSketch::Ring> Egg(float length, float radius, int rings) {
    std::vector<MeshSketch::Ring> out;
    for (int i = 0; i <= rings; ++i) {
        const float a = kPi * static_cast<float>(i) / rings;
        out.push_back({-std::cos(a) * length * 0.5f, std::sin(a) * radius});
    }
    out.front().radius = out.back().radius = 0.0f;
    return out;
}

// A dome over the +z end: half an ellipsoid, open at z = 0.
std::vector<MeshSketch::Ring> Dome(float depth, float radius, int rings) {
    std::vector<MeshSketch::Ring> out;
    for (int i = 0; i <= rings; ++i) {
        const float a = 0.5f * kPi * static_cast<float>(i) / rings;
        out.push_back({std::sin(a) * depth, std::cos(a) * radius});
    }
    out.back().radius = 0.0f;
    return out;
}

const Rgb kNavy{0.06f, 0.09f, 0.20f};
const Rgb kSteel{0.55f, 0.62f, 0.74f};
const Rgb kCyan{0.15f, 0.85f, 1.0f};
const Rgb kAmber{1.0f, 0.62f, 0.12f};
const Rgb kRed{1.0f, 0.18f, 0.10f};
const Rgb kMagenta{0.95f, 0.20f, 0.85f};

// The player's ship: a dart with swept wings, a canopy, twin engines and
// canted tail fins.
MeshSketch Ship() {
    MeshSketch m;
    m.Lathe(kPaintHull, {{-2.8f, 0.42f}, {-2.3f, 0.62f}, {-0.9f, 0.72f}, {0.8f, 0.56f}, {2.2f, 0.30f}, {3.3f, 0.0f}},
            12, 1.0f, 0.72f, false, kPaintMetal);
    std::size_t mark = m.Mark();
    m.Lathe(kPaintGlass, Egg(2.0f, 0.42f, 6), 10, 1.0f, 0.8f, false);
    m.Transform(mark, Move(0.0f, 0.36f, 0.75f));
    // Wings: dark plates with amber rims, a light at each tip.
    mark = m.Mark();
    m.Slab(kPaintPlate, kPaintTrim, {{0.5f, 0.9f}, {0.5f, -2.1f}, {2.9f, -2.3f}, {3.0f, -1.5f}}, -0.07f, 0.07f);
    m.Box(kPaintLights, {2.95f, 0.0f, -1.9f}, {0.1f, 0.1f, 0.45f});
    // Engine pods under the wing roots, nozzles burning at the back.
    const std::size_t pod = m.Mark();
    m.Lathe(kPaintMetal, {{-3.0f, 0.34f}, {-2.6f, 0.38f}, {-0.9f, 0.34f}, {-0.4f, 0.0f}}, 10, 1.0f, 1.0f, false,
            kPaintEngine);
    m.Transform(pod, Move(0.95f, -0.15f, 0.0f));
    m.MirrorX(mark);
    // Tail fins, canted out.
    mark = m.Mark();
    m.Slab(kPaintHull, kPaintTrim, {{0.0f, -1.4f}, {0.0f, -2.8f}, {1.2f, -3.0f}, {1.3f, -2.6f}}, -0.05f, 0.05f);
    m.Transform(mark, Turn(0, 0, 65) * Move(0.35f, 0.3f, 0.0f));
    m.MirrorX(mark);
    return m;
}

MeshSketch Bullet() {
    MeshSketch m;
    m.Lathe(kPaintEnergy, {{-0.9f, 0.0f}, {-0.6f, 0.22f}, {0.2f, 0.3f}, {0.6f, 0.2f}, {0.9f, 0.0f}}, 10, 1.0f, 1.0f,
            false);
    Scale(m, 1.5f);
    return m;
}

MeshSketch EnemyShot() {
    MeshSketch m;
    // A spiked ball: the icosahedron's own corners pushed out.
    m.Blob(kPaintEnergy, 1, [](const D3DXVECTOR3& d) {
        const float g = (1.0f + std::sqrt(5.0f)) / 2.0f;
        const float corner = 1.0f / std::sqrt(1.0f + g * g);
        const bool spike = std::fabs(std::fabs(d.x) - corner) < 0.01f || std::fabs(std::fabs(d.y) - corner) < 0.01f ||
                           std::fabs(std::fabs(d.z) - corner) < 0.01f;
        return spike ? 0.7f : 0.38f;
    });
    Scale(m, 2.0f);
    return m;
}

// Circling enemy: a round body with a big eye forward, a saucer ring and
// three spines at the back.
MeshSketch Circler() {
    MeshSketch m;
    m.Blob(kPaintHull, 2, [](const D3DXVECTOR3& d) { return 1.2f - 0.1f * d.z * d.z; });
    std::size_t mark = m.Mark();
    m.Lathe(kPaintEye, Dome(0.5f, 0.72f, 6), 16, 1.0f, 1.0f, false);
    m.Transform(mark, Move(0.0f, 0.05f, 0.9f));
    mark = m.Mark();
    m.Torus(kPaintLights, 1.55f, 0.16f, 20, 6);
    m.Transform(mark, Turn(90, 0, 0));
    for (int i = 0; i < 3; ++i) {
        mark = m.Mark();
        m.Lathe(kPaintTrim, {{-1.3f, 0.0f}, {0.0f, 0.2f}}, 6, 1.0f, 1.0f, true, kPaintMetal);
        m.Transform(mark, Turn(30, 0, 0) * Move(0.0f, 0.0f, -0.9f) * Turn(0, 0, 120.0f * i));
    }
    Scale(m, 2.0f);
    return m;
}

// Orbiting enemy: an eye in a ring with two panels, a satellite that circles
// the ship.
MeshSketch Orbiter() {
    MeshSketch m;
    m.Blob(kPaintHull, 2, [](const D3DXVECTOR3&) { return 0.95f; });
    std::size_t mark = m.Mark();
    m.Lathe(kPaintEye, Dome(0.4f, 0.6f, 6), 16, 1.0f, 1.0f, false);
    m.Transform(mark, Move(0.0f, 0.0f, 0.75f));
    m.Torus(kPaintLights, 1.45f, 0.13f, 24, 6);
    mark = m.Mark();
    m.Box(kPaintMetal, {1.35f, 0.0f, 0.0f}, {0.45f, 0.12f, 0.12f});
    m.Box(kPaintLights, {2.6f, 0.0f, 0.0f}, {0.85f, 0.06f, 0.55f});
    m.MirrorX(mark);
    Scale(m, 1.6f);
    return m;
}

// Waypoint drone: an arrowhead body with four arms and rotor rings.
MeshSketch Drone() {
    MeshSketch m;
    m.Lathe(kPaintHull, {{-1.0f, 0.0f}, {-0.8f, 0.5f}, {0.4f, 0.6f}, {1.3f, 0.0f}}, 6, 1.0f, 0.6f, true);
    std::size_t mark = m.Mark();
    m.Lathe(kPaintEye, Dome(0.25f, 0.3f, 3), 10, 1.0f, 1.0f, false);
    m.Transform(mark, Turn(-15, 0, 0) * Move(0.0f, 0.2f, 0.75f));
    mark = m.Mark();
    m.Box(kPaintMetal, {0.9f, 0.0f, 0.45f}, {0.6f, 0.07f, 0.1f});
    m.Box(kPaintMetal, {0.9f, 0.0f, -0.45f}, {0.6f, 0.07f, 0.1f});
    for (float z : {0.45f, -0.45f}) {
        const std::size_t ring = m.Mark();
        m.Torus(kPaintTrim, 0.5f, 0.06f, 16, 4);
        m.Transform(ring, Turn(90, 0, 0) * Move(1.5f, 0.05f, z));
        const std::size_t hub = m.Mark();
        m.Lathe(kPaintEngine, {{-0.1f, 0.18f}, {0.1f, 0.18f}}, 8, 1.0f, 1.0f, false, kPaintEngine);
        m.Transform(hub, Turn(90, 0, 0) * Move(1.5f, 0.0f, z));
    }
    m.MirrorX(mark);
    Scale(m, 1.8f);
    return m;
}

// Roundish obstacle: a lumpy stone with glowing veins.
MeshSketch Rock() {
    MeshSketch m;
    m.Blob(kPaintCrystal, 3, [](const D3DXVECTOR3& d) {
        const float lumps = 0.8f + 0.12f * std::sin(d.x * 5.0f + 1.0f) * std::cos(d.y * 4.0f) +
                            0.08f * std::sin(d.z * 9.0f + d.x * 3.0f);
        return 3.0f * lumps;
    });
    m.Transform(0, Size(1.0f, 0.85f, 1.0f));
    Scale(m, 1.6f);
    return m;
}

// Long obstacle: a column along y with glowing rings, capped at both ends.
MeshSketch Pillar() {
    MeshSketch m;
    m.Lathe(kPaintBands, {{-12.0f, 1.6f}, {-11.4f, 2.0f}, {11.4f, 2.0f}, {12.0f, 1.6f}}, 12, 1.0f, 1.0f, true,
            kPaintMetal);
    m.Transform(0, Turn(-90, 0, 0));
    for (float y : {-11.0f, 11.0f}) {
        const std::size_t mark = m.Mark();
        m.Torus(kPaintLights, 2.15f, 0.25f, 16, 5);
        m.Transform(mark, Turn(90, 0, 0) * Move(0.0f, y, 0.0f));
    }
    Scale(m, 1.6f);
    return m;
}

// Mystery box: a crate with a glowing question mark on every face and
// amber corner blocks.
MeshSketch MysteryBox() {
    MeshSketch m;
    m.Box(kPaintBoxFace, {0, 0, 0}, {1.2f, 1.2f, 1.2f});
    for (float x : {-1.0f, 1.0f})
        for (float y : {-1.0f, 1.0f})
            for (float z : {-1.0f, 1.0f}) m.Box(kPaintTrim, {x * 1.2f, y * 1.2f, z * 1.2f}, {0.28f, 0.28f, 0.28f});
    Scale(m, 1.4f);
    return m;
}
}  // namespace

const std::vector<GameModel>& GameModels() {
    static const std::vector<GameModel> models = {
        {"Ship",
         "the player's ship: about 6.3 long (z), 6 across the wings, 1.5 high",
         {kSteel, kNavy, kAmber, kCyan, {0.4f, 0.9f, 1.0f}, kCyan, kCyan, {0.4f, 0.4f, 0.4f}},
         &Ship},
        {"Circler",
         "the circling enemy: a body of radius 2.4 with an eye forward, 6.8 across its ring",
         {{0.45f, 0.30f, 0.30f}, {0.16f, 0.10f, 0.14f}, kAmber, kRed, kAmber, kRed, kRed, {0.4f, 0.4f, 0.4f}},
         &Circler},
        {"Orbiter",
         "the orbiting enemy: a body of radius 1.5 in a ring 5.1 across, panels 11 across",
         {{0.42f, 0.36f, 0.55f},
          {0.12f, 0.10f, 0.22f},
          kAmber,
          kMagenta,
          kMagenta,
          kMagenta,
          kMagenta,
          {0.4f, 0.4f, 0.4f}},
         &Orbiter},
        {"Drone",
         "the waypoint drone: 4.1 long, 7.4 across its rotors",
         {{0.60f, 0.55f, 0.40f}, {0.18f, 0.16f, 0.12f}, kAmber, kAmber, kAmber, kAmber, kAmber, {0.4f, 0.4f, 0.4f}},
         &Drone},
        {"Rock",
         "a roundish obstacle: a stone about 9 across with glowing veins",
         {{0.4f, 0.4f, 0.4f}, {0.2f, 0.2f, 0.22f}, kAmber, kCyan, kCyan, kCyan, kCyan, {0.42f, 0.38f, 0.36f}},
         &Rock},
        {"Pillar",
         "a long obstacle: a column 38 high (y) and 6.4 across, centred on its origin",
         {{0.4f, 0.4f, 0.45f}, {0.22f, 0.24f, 0.30f}, kAmber, kCyan, kCyan, kCyan, kCyan, {0.4f, 0.4f, 0.4f}},
         &Pillar},
        {"MysteryBox",
         "the mystery box: a crate 3.4 across, 4.2 with its corner blocks",
         {{0.4f, 0.4f, 0.45f}, {0.10f, 0.14f, 0.30f}, kAmber, kCyan, kAmber, kAmber, kAmber, {0.4f, 0.4f, 0.4f}},
         &MysteryBox},
        {"Bullet",
         "the player's shot: a bolt 2.7 long (z), 0.9 thick",
         {kCyan, kNavy, kCyan, kCyan, kCyan, kCyan, {0.3f, 0.9f, 1.0f}, {0.4f, 0.4f, 0.4f}},
         &Bullet},
        {"EnemyShot",
         "the enemies' shot: a spiked ball 2.4 across",
         {kRed, kNavy, kRed, kRed, kRed, kRed, {1.0f, 0.35f, 0.12f}, {0.4f, 0.4f, 0.4f}},
         &EnemyShot},
    };
    return models;
}
