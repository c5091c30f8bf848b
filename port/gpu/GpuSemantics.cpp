#include "port/gpu/GpuSemantics.h"

namespace gpu_detail {

const SemanticEntry kSemantics[] = {
    // models, procedural meshes, debug lines, text, light volumes
    {"POSITION", 0},
    {"NORMAL", 1},
    {"TEXCOORD0", 2},
    {"BINORMAL", 3},
    {"TANGENT", 4},
    {"COLOR", 5},
    {"TEXCOORD1", 6},
    {"TEXCOORD2", 7},
    {"TEXCOORD3", 8},
    // GPU particle records
    {"POSITION_SIZESCALE", 0},
    {"VELOCITY_VALUE", 1},
    {"ACCELERATION_VALUE", 2},
    {"ATTRACTOR_STRENGTH", 3},
    {"GRADSTART", 4},
    {"GRADEND", 5},
    {"FADEOPACITY_FREE", 6},
    {"AGE_MAXAGE_COUNT_FREQ", 7},
    {"ALPHATEX", 8},
    {"TYPE", 9},
};
const int kSemanticCount = static_cast<int>(sizeof kSemantics / sizeof kSemantics[0]);

}  // namespace gpu_detail

int GpuSemanticLocation(const std::string& semantic) {
    for (int i = 0; i < gpu_detail::kSemanticCount; ++i)
        if (semantic == gpu_detail::kSemantics[i].name) return gpu_detail::kSemantics[i].location;
    return -1;
}
