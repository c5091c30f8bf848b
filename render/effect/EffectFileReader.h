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
    // What one file may ask of the driver, far above the shipped effects (at
    // most 8 techniques, 11 passes and 20 variables a file; a stage's text,
    // header and variables included, at most 5 KiB, all of a file's 54 KiB).
    // Past any bound the file is refused before anything is made from it.
    static constexpr std::size_t kMaxTechniques = 64;
    static constexpr std::size_t kMaxPassesPerTechnique = 16;
    static constexpr std::size_t kMaxPasses = 256;  // of all techniques
    static constexpr std::size_t kMaxVariables = 256;
    // Bytes of one stage's text (header, variable names and members, body),
    // and of every pass's stages together.
    static constexpr std::size_t kMaxStageBytes = 256u << 10;
    static constexpr std::size_t kMaxShaderBytes = 4u << 20;
    // Bytes of a name or state word; entries of a value or stream-out list.
    static constexpr std::size_t kMaxNameBytes = 256;
    static constexpr std::size_t kMaxListEntries = 64;

    // False with a readable reason (Lua's error text, or the place and the
    // value that is wrong) in `errors`.
    static bool Read(const std::string& path, const std::string& effectName, GpuEffectDesc* desc, std::string* errors);
    // The same from text in memory (`chunkName` names it in error texts).
    static bool ReadText(const std::string& text, const std::string& chunkName, const std::string& effectName,
                         GpuEffectDesc* desc, std::string* errors);
};
