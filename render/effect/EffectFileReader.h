// Reads an effect file of the "shader" asset folder into a GpuEffectDesc.
// The file is Lua 5.1 data run in a fresh environment of its own (no library
// opened, bounded in instructions and memory) that assigns:
//   header     = GLSL text shared by every stage (optional)
//   variables  = { { name = "...", type = "float4x4", value = { ... },
//                    filter = "LINEAR", address = "WRAP" },
//                  { name = "...", type = "cbuffer", members = [[GLSL]] }, ... }
//   techniques = { { name = "...", passes = { { vs = [[...]], gs = [[...]],
//                    ps = [[...]], streamOut = { "out1", ... },
//                    depthStencil = {...}, stencilRef = 0, blend = {...},
//                    rasterizer = {...} }, ... } }, ... }
// State tables use Direct3D's names ("LESS_EQUAL", "INV_SRC_ALPHA", "NONE").
// Stateless; main thread.
#pragma once
#include <cstddef>
#include <string>

#include "port/gpu/GpuEffectDesc.h"

class EffectFileReader {
public:
    // Effect files are GLSL text in Lua tables: tens of kilobytes.
    static constexpr std::size_t kMaxFileBytes = 4u << 20;

    // False with a readable reason (Lua's error text, or the place and the
    // value that is wrong) in `errors`.
    static bool Read(const std::string& path, const std::string& effectName, GpuEffectDesc* desc, std::string* errors);
    // The same from text in memory (`chunkName` names it in error texts).
    static bool ReadText(const std::string& text, const std::string& chunkName, const std::string& effectName,
                         GpuEffectDesc* desc, std::string* errors);
};
