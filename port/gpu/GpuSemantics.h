// Vertex semantics and the attribute location each one always gets, in every
// shader program: this is how an input layout made against one technique also
// feeds every other technique (as Direct3D matches inputs by semantic).
// Geometry and particle semantics share locations; no shader uses both sets.
#pragma once
#include <string>

// The attribute location of a semantic ("POSITION", "TEXCOORD1"), or -1.
int GpuSemanticLocation(const std::string& semantic);
// Calls visit(name, location) for every known semantic.
template <class F>
void GpuForEachSemantic(F&& visit);

namespace gpu_detail {
struct SemanticEntry {
    const char* name;
    int location;
};
extern const SemanticEntry kSemantics[];
extern const int kSemanticCount;
}  // namespace gpu_detail

template <class F>
void GpuForEachSemantic(F&& visit) {
    for (int i = 0; i < gpu_detail::kSemanticCount; ++i)
        visit(gpu_detail::kSemantics[i].name, gpu_detail::kSemantics[i].location);
}
