// One pass of an effect technique: a linked GL program (vertex, optional
// geometry, optional pixel stage), the render states the pass sets, and, for
// a stream-out pass, the captured outputs. Apply makes it current on the
// device with the effect's present variable values. An invalid pass (from a
// missing technique or index) applies nothing. Owned by its technique.
// Main thread only.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "port/gpu/GpuTypes.h"

class GpuDevice;
class GpuEffectVariable;

class GpuEffectPass {
public:
    GpuEffectPass() = default;  // the invalid pass
    ~GpuEffectPass();
    GpuEffectPass(const GpuEffectPass&) = delete;
    GpuEffectPass& operator=(const GpuEffectPass&) = delete;

    static GpuEffectPass* Invalid();

    bool IsValid() const { return program_ != 0; }
    // Sends changed values, binds textures, program and the pass's states.
    void Apply(unsigned flags = 0);

    unsigned Program() const { return program_; }
    // Vertex inputs the pass reads (its input signature), by semantic.
    const std::vector<std::string>& Inputs() const { return inputs_; }
    bool StreamsOut() const { return streamsOut_; }
    // Stream-out mode of a pass without a geometry stage: the draw's topology.
    static constexpr unsigned kFeedbackFromTopology = 0xFFFF;

private:
    friend class GpuEffect;
    struct Uniform {
        GpuEffectVariable* variable;
        int location;
        std::uint32_t sentVersion;
    };
    struct Sampler {
        GpuEffectVariable* variable;
        unsigned unit;
        unsigned target;
        unsigned samplerObject;
    };
    struct Block {
        GpuEffectVariable* variable;
        unsigned slot;
    };

    GpuDevice* device_ = nullptr;
    unsigned program_ = 0;
    bool streamsOut_ = false;
    unsigned feedbackMode_ = 0;  // GL primitive captured by stream-out
    bool discard_ = false;       // stream-out without a pixel stage: no rasterisation
    std::vector<Uniform> uniforms_;
    std::vector<Sampler> samplers_;
    std::vector<Block> blocks_;
    std::vector<std::string> inputs_;
    std::shared_ptr<GpuDepthStencilState> depthStencil_;
    unsigned stencilRef_ = 0;
    std::shared_ptr<GpuBlendState> blend_;
    std::shared_ptr<GpuRasterizerState> rasterizer_;
};
