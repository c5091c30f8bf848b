// The look of each level: its tunnel material (four maps that tile around
// and along the tube: u once around, v once per tunnel segment, with light
// strips running along the track) and its sky cube. Tutorial is calm blue,
// Gold warm gold, Forward intense magenta and red. Pure functions; used by
// the demoassets tool and its tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "port/gpu/GpuImage.h"
#include "tools/demoassets/ModelSkin.h"

struct LevelLook {
    std::string tunnel;  // texture/<tunnel>[.normal|.specular|.glow].dds
    std::string sky;     // skybox/<sky>, with its extension
    int style;           // 0 calm panels, 1 ornate gold, 2 racing chevrons
    Rgb panel, seam, light;
    // The sky: zenith, horizon, nebula colours, and a sun (strength 0: none).
    Rgb zenith, horizon, nebulaA, nebulaB, sun;
    float sunStrength;
    std::uint32_t seed;
};

const std::vector<LevelLook>& LevelLooks();

class LevelTextures {
public:
    // size x size, tiling in both directions, R8G8B8A8 with every mip.
    static GpuImage Tunnel(const LevelLook& look, SkinMap map, std::uint32_t size);
    // Six faces of size x size in Direct3D cube order, every mip.
    static GpuImage Sky(const LevelLook& look, std::uint32_t size);
};
