#include "render/effect/EffectFileReader.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "port/os/FileCase.h"
#include "port/os/WholeFile.h"
#include "reflection/LuaRead.h"

namespace {

constexpr size_t kMemoryLimit = 64u << 20;   // bytes of Lua memory per file
constexpr int kInstructionLimit = 50000000;  // a data file never runs this long

struct Budget {
    size_t used = 0;
    size_t limit = kMemoryLimit;
};

void* LimitedAlloc(void* ud, void* ptr, size_t osize, size_t nsize) {
    Budget* budget = static_cast<Budget*>(ud);
    if (nsize == 0) {
        budget->used -= osize;
        std::free(ptr);
        return nullptr;
    }
    if (nsize > osize && budget->used + (nsize - osize) > budget->limit) return nullptr;
    void* block = std::realloc(ptr, nsize);
    if (block) budget->used = budget->used - osize + nsize;
    return block;
}

void InstructionLimitHook(lua_State* L, lua_Debug*) {
    luaL_error(L, "the file runs too long");
}

struct DataError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

template <class E>
struct Named {
    const char* name;
    E value;
};

const Named<GpuComparison> kComparisons[] = {
    {"NEVER", GpuComparison::Never},
    {"LESS", GpuComparison::Less},
    {"EQUAL", GpuComparison::Equal},
    {"LESS_EQUAL", GpuComparison::LessEqual},
    {"GREATER", GpuComparison::Greater},
    {"NOT_EQUAL", GpuComparison::NotEqual},
    {"GREATER_EQUAL", GpuComparison::GreaterEqual},
    {"ALWAYS", GpuComparison::Always},
};
const Named<GpuStencilOp> kStencilOps[] = {
    {"KEEP", GpuStencilOp::Keep},        {"ZERO", GpuStencilOp::Zero},        {"REPLACE", GpuStencilOp::Replace},
    {"INCR_SAT", GpuStencilOp::IncrSat}, {"DECR_SAT", GpuStencilOp::DecrSat}, {"INVERT", GpuStencilOp::Invert},
    {"INCR", GpuStencilOp::Incr},        {"DECR", GpuStencilOp::Decr},
};
const Named<GpuBlend> kBlends[] = {
    {"ZERO", GpuBlend::Zero},
    {"ONE", GpuBlend::One},
    {"SRC_COLOR", GpuBlend::SrcColor},
    {"INV_SRC_COLOR", GpuBlend::InvSrcColor},
    {"SRC_ALPHA", GpuBlend::SrcAlpha},
    {"INV_SRC_ALPHA", GpuBlend::InvSrcAlpha},
    {"DEST_ALPHA", GpuBlend::DestAlpha},
    {"INV_DEST_ALPHA", GpuBlend::InvDestAlpha},
    {"DEST_COLOR", GpuBlend::DestColor},
    {"INV_DEST_COLOR", GpuBlend::InvDestColor},
    {"SRC_ALPHA_SAT", GpuBlend::SrcAlphaSat},
    {"BLEND_FACTOR", GpuBlend::BlendFactor},
    {"INV_BLEND_FACTOR", GpuBlend::InvBlendFactor},
};
const Named<GpuBlendOp> kBlendOps[] = {
    {"ADD", GpuBlendOp::Add}, {"SUBTRACT", GpuBlendOp::Subtract}, {"REV_SUBTRACT", GpuBlendOp::RevSubtract},
    {"MIN", GpuBlendOp::Min}, {"MAX", GpuBlendOp::Max},
};
const Named<GpuFill> kFills[] = {{"WIREFRAME", GpuFill::Wireframe}, {"SOLID", GpuFill::Solid}};
const Named<GpuCull> kCulls[] = {{"NONE", GpuCull::None}, {"FRONT", GpuCull::Front}, {"BACK", GpuCull::Back}};
const Named<GpuFilter> kFilters[] = {
    {"POINT", GpuFilter::Point}, {"LINEAR", GpuFilter::Linear}, {"ANISOTROPIC", GpuFilter::Anisotropic}};
const Named<GpuAddress> kAddresses[] = {{"WRAP", GpuAddress::Wrap},
                                        {"MIRROR", GpuAddress::Mirror},
                                        {"CLAMP", GpuAddress::Clamp},
                                        {"BORDER", GpuAddress::Border}};
const Named<GpuEffectVarType> kTypes[] = {
    {"float", GpuEffectVarType::Float},
    {"float2", GpuEffectVarType::Float2},
    {"float3", GpuEffectVarType::Float3},
    {"float4", GpuEffectVarType::Float4},
    {"float4x4", GpuEffectVarType::Float4x4},
    {"int", GpuEffectVarType::Int},
    {"uint", GpuEffectVarType::UInt},
    {"bool", GpuEffectVarType::Bool},
    {"Texture1D", GpuEffectVarType::Texture1D},
    {"Texture2D", GpuEffectVarType::Texture2D},
    {"Texture2DArray", GpuEffectVarType::Texture2DArray},
    {"TextureCube", GpuEffectVarType::TextureCube},
    {"cbuffer", GpuEffectVarType::ConstantBuffer},
};

// Walks the Lua tables of one file; every read leaves the stack as it found it.
class Walker {
public:
    explicit Walker(lua_State* L) : L_(L) {}

    // Pushes field `key` of the table on the top; returns false (nothing
    // pushed) when it is nil.
    bool Field(const char* key) {
        lua_getfield(L_, -1, key);
        if (lua_isnil(L_, -1)) {
            lua_pop(L_, 1);
            return false;
        }
        return true;
    }
    // Pushes entry i (1-based) of the table on the top, or returns false.
    bool Entry(int i) {
        lua_rawgeti(L_, -1, i);
        if (lua_isnil(L_, -1)) {
            lua_pop(L_, 1);
            return false;
        }
        return true;
    }
    void Pop() { lua_pop(L_, 1); }
    bool IsTable() const { return lua_istable(L_, -1); }
    void ExpectTable(const std::string& where) {
        if (!lua_istable(L_, -1)) throw DataError(where + ": a table is expected");
    }
    // Refused past `maxBytes` before anything is copied.
    std::string String(const std::string& where, size_t maxBytes = EffectFileReader::kMaxNameBytes) {
        if (lua_type(L_, -1) != LUA_TSTRING) throw DataError(where + ": a string is expected");
        size_t length = 0;
        const char* text = lua_tolstring(L_, -1, &length);
        if (length > maxBytes) throw DataError(where + ": more than " + std::to_string(maxBytes) + " bytes");
        return std::string(text, length);
    }
    double Number(const std::string& where) {
        if (lua_type(L_, -1) != LUA_TNUMBER) throw DataError(where + ": a number is expected");
        return lua_tonumber(L_, -1);
    }
    bool Boolean(const std::string& where) {
        if (lua_type(L_, -1) != LUA_TBOOLEAN) throw DataError(where + ": true or false is expected");
        return lua_toboolean(L_, -1) != 0;
    }

    std::string StringField(const char* key, const std::string& where, const std::string& fallback = "",
                            size_t maxBytes = EffectFileReader::kMaxNameBytes) {
        if (!Field(key)) return fallback;
        std::string value = String(where + "." + key, maxBytes);
        Pop();
        return value;
    }
    template <class E, size_t N>
    void EnumField(const char* key, const std::string& where, const Named<E> (&table)[N], E* out) {
        if (!Field(key)) return;
        const std::string name = String(where + "." + key);
        Pop();
        for (const Named<E>& entry : table)
            if (name == entry.name) {
                *out = entry.value;
                return;
            }
        throw DataError(where + "." + key + ": unknown value '" + name + "'");
    }
    void BoolField(const char* key, const std::string& where, bool* out) {
        if (!Field(key)) return;
        *out = Boolean(where + "." + key);
        Pop();
    }
    template <class T>
    void NumberField(const char* key, const std::string& where, T* out) {
        if (!Field(key)) return;
        *out = static_cast<T>(Number(where + "." + key));
        Pop();
    }

private:
    lua_State* L_;
};

void ReadStencilFace(Walker& w, const char* key, const std::string& where, GpuStencilFaceDesc* face) {
    if (!w.Field(key)) return;
    const std::string here = where + "." + key;
    w.ExpectTable(here);
    w.EnumField("fail", here, kStencilOps, &face->failOp);
    w.EnumField("depthFail", here, kStencilOps, &face->depthFailOp);
    w.EnumField("pass", here, kStencilOps, &face->passOp);
    w.EnumField("func", here, kComparisons, &face->func);
    w.Pop();
}

// What the file has asked of the driver so far.
struct Asked {
    size_t passes = 0;
    size_t preambleBytes = 0;  // header, variable names and members: in every stage
    size_t shaderBytes = 0;    // every stage's text
};

std::string ReadStage(Walker& w, const char* key, const std::string& where, Asked& asked) {
    std::string body = w.StringField(key, where, "", EffectFileReader::kMaxStageBytes);
    if (body.empty()) return body;
    const size_t bytes = asked.preambleBytes + body.size();
    if (bytes > EffectFileReader::kMaxStageBytes)
        throw DataError(where + "." + key + ": the stage's text (header, variables and body) is more than " +
                        std::to_string(EffectFileReader::kMaxStageBytes) + " bytes");
    asked.shaderBytes += bytes;
    if (asked.shaderBytes > EffectFileReader::kMaxShaderBytes)
        throw DataError(where + "." + key + ": the text of all stages is more than " +
                        std::to_string(EffectFileReader::kMaxShaderBytes) + " bytes");
    return body;
}

void ReadPass(Walker& w, const std::string& where, Asked& asked, GpuEffectPassDesc* pass) {
    w.ExpectTable(where);
    pass->vertexShader = ReadStage(w, "vs", where, asked);
    pass->geometryShader = ReadStage(w, "gs", where, asked);
    pass->pixelShader = ReadStage(w, "ps", where, asked);
    if (pass->vertexShader.empty()) throw DataError(where + ": no vertex shader (vs)");
    if (w.Field("streamOut")) {
        w.ExpectTable(where + ".streamOut");
        for (int i = 1; w.Entry(i); ++i) {
            if (static_cast<size_t>(i) > EffectFileReader::kMaxListEntries)
                throw DataError(where + ".streamOut: more than " + std::to_string(EffectFileReader::kMaxListEntries) +
                                " entries");
            pass->streamOut.push_back(w.String(where + ".streamOut[" + std::to_string(i) + "]"));
            w.Pop();
        }
        w.Pop();
    }
    if (w.Field("depthStencil")) {
        const std::string here = where + ".depthStencil";
        w.ExpectTable(here);
        GpuDepthStencilDesc d;
        w.BoolField("depthEnable", here, &d.depthEnable);
        std::string write = w.StringField("depthWrite", here, "ALL");
        if (write != "ALL" && write != "ZERO") throw DataError(here + ".depthWrite: ALL or ZERO is expected");
        d.depthWriteAll = write == "ALL";
        w.EnumField("depthFunc", here, kComparisons, &d.depthFunc);
        w.BoolField("stencilEnable", here, &d.stencilEnable);
        w.NumberField("stencilReadMask", here, &d.stencilReadMask);
        w.NumberField("stencilWriteMask", here, &d.stencilWriteMask);
        ReadStencilFace(w, "front", here, &d.frontFace);
        ReadStencilFace(w, "back", here, &d.backFace);
        pass->depthStencil = d;
        w.Pop();
    }
    w.NumberField("stencilRef", where, &pass->stencilRef);
    if (w.Field("blend")) {
        const std::string here = where + ".blend";
        w.ExpectTable(here);
        GpuBlendDesc b;
        w.BoolField("enable", here, &b.blendEnable);
        w.EnumField("src", here, kBlends, &b.srcBlend);
        w.EnumField("dest", here, kBlends, &b.destBlend);
        w.EnumField("op", here, kBlendOps, &b.blendOp);
        w.EnumField("srcAlpha", here, kBlends, &b.srcBlendAlpha);
        w.EnumField("destAlpha", here, kBlends, &b.destBlendAlpha);
        w.EnumField("opAlpha", here, kBlendOps, &b.blendOpAlpha);
        w.NumberField("writeMask", here, &b.writeMask);
        pass->blend = b;
        w.Pop();
    }
    if (w.Field("rasterizer")) {
        const std::string here = where + ".rasterizer";
        w.ExpectTable(here);
        GpuRasterizerDesc r;
        w.EnumField("fill", here, kFills, &r.fill);
        w.EnumField("cull", here, kCulls, &r.cull);
        w.BoolField("frontCounterClockwise", here, &r.frontCounterClockwise);
        w.NumberField("depthBias", here, &r.depthBias);
        w.NumberField("slopeScaledDepthBias", here, &r.slopeScaledDepthBias);
        w.BoolField("depthClip", here, &r.depthClipEnable);
        w.BoolField("antialiasedLines", here, &r.antialiasedLineEnable);
        pass->rasterizer = r;
        w.Pop();
    }
}

// The environment table is on the top of the stack.
void ReadDesc(Walker& w, const std::string& chunk, GpuEffectDesc* desc) {
    Asked asked;
    desc->header = w.StringField("header", chunk, "", EffectFileReader::kMaxStageBytes);
    asked.preambleBytes = desc->header.size();
    if (w.Field("variables")) {
        w.ExpectTable(chunk + ": variables");
        for (int i = 1; w.Entry(i); ++i) {
            if (static_cast<size_t>(i) > EffectFileReader::kMaxVariables)
                throw DataError(chunk + ": more than " + std::to_string(EffectFileReader::kMaxVariables) +
                                " variables");
            const std::string where = chunk + ": variables[" + std::to_string(i) + "]";
            w.ExpectTable(where);
            GpuEffectVariableDesc v;
            v.name = w.StringField("name", where);
            if (v.name.empty()) throw DataError(where + ": no name");
            if (!w.Field("type")) throw DataError(where + " (" + v.name + "): no type");
            w.Pop();
            w.EnumField("type", where, kTypes, &v.type);
            if (w.Field("value")) {
                if (w.IsTable()) {
                    for (int k = 1; w.Entry(k); ++k) {
                        if (static_cast<size_t>(k) > EffectFileReader::kMaxListEntries)
                            throw DataError(where + ".value: more than " +
                                            std::to_string(EffectFileReader::kMaxListEntries) + " entries");
                        v.initialValue.push_back(static_cast<float>(w.Number(where + ".value")));
                        w.Pop();
                    }
                } else {
                    v.initialValue.push_back(static_cast<float>(w.Number(where + ".value")));
                }
                w.Pop();
            }
            w.EnumField("filter", where, kFilters, &v.sampler.filter);
            w.EnumField("address", where, kAddresses, &v.sampler.address);
            w.NumberField("maxAnisotropy", where, &v.sampler.maxAnisotropy);
            v.members = w.StringField("members", where, "", EffectFileReader::kMaxStageBytes);
            if ((v.type == GpuEffectVarType::ConstantBuffer) != !v.members.empty())
                throw DataError(where + " (" + v.name + "): members belong to a cbuffer, and a cbuffer needs them");
            asked.preambleBytes += v.name.size() + v.members.size();
            if (asked.preambleBytes > EffectFileReader::kMaxStageBytes)
                throw DataError(where + ": the header and variables' text is more than " +
                                std::to_string(EffectFileReader::kMaxStageBytes) + " bytes");
            desc->variables.push_back(std::move(v));
            w.Pop();
        }
        w.Pop();
    }
    if (!w.Field("techniques")) throw DataError(chunk + ": no techniques");
    w.ExpectTable(chunk + ": techniques");
    for (int i = 1; w.Entry(i); ++i) {
        if (static_cast<size_t>(i) > EffectFileReader::kMaxTechniques)
            throw DataError(chunk + ": more than " + std::to_string(EffectFileReader::kMaxTechniques) + " techniques");
        const std::string where = chunk + ": techniques[" + std::to_string(i) + "]";
        w.ExpectTable(where);
        GpuEffectTechniqueDesc t;
        t.name = w.StringField("name", where);
        if (t.name.empty()) throw DataError(where + ": no name");
        const std::string here = chunk + ": technique " + t.name;
        if (!w.Field("passes")) throw DataError(here + ": no passes");
        w.ExpectTable(here + ".passes");
        for (int p = 1; w.Entry(p); ++p) {
            if (static_cast<size_t>(p) > EffectFileReader::kMaxPassesPerTechnique)
                throw DataError(here + ": more than " + std::to_string(EffectFileReader::kMaxPassesPerTechnique) +
                                " passes");
            if (++asked.passes > EffectFileReader::kMaxPasses)
                throw DataError(here + ": more than " + std::to_string(EffectFileReader::kMaxPasses) +
                                " passes in all techniques");
            t.passes.emplace_back();
            ReadPass(w, here + " pass " + std::to_string(p - 1), asked, &t.passes.back());
            w.Pop();
        }
        w.Pop();
        if (t.passes.empty()) throw DataError(here + ": no passes");
        desc->techniques.push_back(std::move(t));
        w.Pop();
    }
    w.Pop();
}

}  // namespace

bool EffectFileReader::Read(const std::string& path, const std::string& effectName, GpuEffectDesc* desc,
                            std::string* errors) {
    std::string text;
    int errorNumber = 0;
    const FileRead read = ReadWholeFile(ResolveFileFoldingCase(path), kMaxFileBytes, &text, &errorNumber);
    if (read != FileRead::Ok) {
        if (errors) *errors = FileReadErrorText(read, path, kMaxFileBytes, errorNumber);
        return false;
    }
    return ReadText(text, path, effectName, desc, errors);
}

bool EffectFileReader::ReadText(const std::string& text, const std::string& chunkName, const std::string& effectName,
                                GpuEffectDesc* desc, std::string* errors) {
    Budget budget;
    lua_State* L = lua_newstate(&LimitedAlloc, &budget);
    if (!L) {
        if (errors) *errors = "cannot start Lua";
        return false;
    }
    bool ok = false;
    std::string why;
    if (lua_read::LoadSource(L, text.data(), text.size(), "@" + chunkName) != 0) {
        why = lua_read::FileError(L, chunkName);
    } else {
        lua_newtable(L);  // the file's own environment
        lua_pushvalue(L, -1);
        lua_setfenv(L, -3);
        lua_insert(L, -2);  // env below the chunk
        lua_sethook(L, &InstructionLimitHook, LUA_MASKCOUNT, kInstructionLimit);
        if (lua_pcall(L, 0, 0, 0) != 0) {
            why = lua_read::FileError(L, chunkName);
        } else {
            lua_sethook(L, nullptr, 0, 0);
            // Reading runs outside a protected call: it must not fail for memory.
            budget.limit = static_cast<size_t>(-1);
            GpuEffectDesc read;
            read.name = effectName;
            try {
                Walker walker(L);
                ReadDesc(walker, chunkName, &read);
                *desc = std::move(read);
                ok = true;
            } catch (const DataError& e) {
                why = e.what();
            }
        }
    }
    lua_close(L);
    if (!ok && errors) *errors = why;
    if (ok && errors) errors->clear();
    return ok;
}
