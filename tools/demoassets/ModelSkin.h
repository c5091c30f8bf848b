// The textures of a game model: its diffuse, normal, specular and glow maps,
// made from one atlas layout that every model shares (MeshSketch cells, each
// a kind of surface) and the model's own palette. Pure functions; used by the
// demoassets tool and its tests.
#pragma once
#include <cstdint>

#include "port/gpu/GpuImage.h"

// What each cell of a model's atlas holds (MeshSketch::kCells per row).
enum Paint : int {
    kPaintHull = 0,  // light hull plates with seams and rivets
    kPaintPlate,     // dark plates, finer seams
    kPaintTrim,      // accent stripes, faintly lit
    kPaintGlass,     // cockpit glass, lit from inside
    kPaintEngine,    // engine nozzle, burning
    kPaintEye,       // an enemy's eye, burning
    kPaintLights,    // dark metal with a strip of lights
    kPaintMetal,     // gunmetal greebles
    kPaintRock,      // cracked stone
    kPaintCrystal,   // stone with glowing veins
    kPaintBoxFace,   // a framed face with a glowing question mark
    kPaintEnergy,    // pure light (shots)
    kPaintBands,     // banded column with glowing rings
    kPaintCount
};

struct Rgb {
    float r, g, b;
};

// The colours one model is painted in.
struct Palette {
    Rgb hull, plate, trim;
    Rgb glow;    // lights, glass and trim glow
    Rgb engine;  // engines
    Rgb eye;     // eyes
    Rgb energy;  // shots and crystal veins
    Rgb rock;
};

enum class SkinMap { Diffuse, Normal, Specular, Glow };

class ModelSkin {
public:
    // One map, size x size (a power of two, at least 64), R8G8B8A8 with its
    // full mip chain.
    static GpuImage Make(const Palette& palette, SkinMap map, std::uint32_t size);
};
