// The generated textures of the demo scene: the ship's hull and its glow map
// (companions of the model "Ship"), and the sky cube. Each image is
// square R8G8B8A8 with its full mip chain; EncodeDds writes it as an
// uncompressed DDS file (a cube when the image is one). Pure functions; used by the
// demoassets tool and its tests.
#pragma once
#include <cstdint>
#include <vector>

#include "port/gpu/GpuImage.h"

class DemoTextures {
public:
    // size x size (a power of two): grey-blue hull panels with darker seams,
    // a red band across the middle and light grime.
    static GpuImage Hull(std::uint32_t size);
    // Black, with cyan light strips along the band and the rear edge.
    static GpuImage HullGlow(std::uint32_t size);
    // Six faces of size x size in Direct3D cube order (+X, -X, +Y, -Y, +Z,
    // -Z): deep blue at the zenith, a warm haze at the horizon, dark below,
    // sparse stars in the upper sky and a soft sun.
    static GpuImage Sky(std::uint32_t size);

    static std::vector<std::uint8_t> EncodeDds(const GpuImage& image);
};
