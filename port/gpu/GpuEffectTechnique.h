// A named technique of an effect: its passes in order. GetPassByIndex never
// returns null: a pass it lacks is the invalid pass. Owned by its GpuEffect.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "port/gpu/GpuEffectPass.h"

class GpuEffectTechnique {
public:
    GpuEffectTechnique() = default;  // the invalid technique
    explicit GpuEffectTechnique(std::string name) : name_(std::move(name)), valid_(true) {}

    static GpuEffectTechnique* Invalid() {
        static GpuEffectTechnique invalid;
        return &invalid;
    }

    bool IsValid() const { return valid_; }
    const std::string& Name() const { return name_; }
    unsigned PassCount() const { return static_cast<unsigned>(passes_.size()); }
    GpuEffectPass* GetPassByIndex(unsigned index) const {
        return index < passes_.size() ? passes_[index].get() : GpuEffectPass::Invalid();
    }

private:
    friend class GpuEffect;
    std::string name_;
    bool valid_ = false;
    std::vector<std::unique_ptr<GpuEffectPass>> passes_;
};
