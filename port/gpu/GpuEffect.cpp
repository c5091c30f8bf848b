#include "port/gpu/GpuEffect.h"

#include <map>
#include <utility>

#include "port/gpu/GlFormat.h"
#include "port/gpu/GlslMacroBudget.h"
#include "port/gpu/GpuContext.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSemantics.h"
#include "port/gpu/GpuShaderResourceView.h"

namespace {

const char* GlslType(GpuEffectVarType type) {
    switch (type) {
        case GpuEffectVarType::Float:
            return "float";
        case GpuEffectVarType::Float2:
            return "vec2";
        case GpuEffectVarType::Float3:
            return "vec3";
        case GpuEffectVarType::Float4:
            return "vec4";
        case GpuEffectVarType::Float4x4:
            return "mat4";
        case GpuEffectVarType::Int:
            return "int";
        case GpuEffectVarType::UInt:
            return "uint";
        case GpuEffectVarType::Bool:
            return "bool";
        case GpuEffectVarType::Texture1D:
            return "sampler1D";
        case GpuEffectVarType::Texture2D:
            return "sampler2D";
        case GpuEffectVarType::Texture2DArray:
            return "sampler2DArray";
        case GpuEffectVarType::TextureCube:
            return "samplerCube";
        case GpuEffectVarType::ConstantBuffer:
            break;
    }
    return "float";
}

// A variable's name is written into every stage's text, so it must be one
// GLSL identifier and nothing more.
bool IsGlslIdentifier(const std::string& name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

GLenum TextureTarget(GpuEffectVarType type) {
    switch (type) {
        case GpuEffectVarType::Texture1D:
            return GL_TEXTURE_1D;
        case GpuEffectVarType::Texture2D:
            return GL_TEXTURE_2D;
        case GpuEffectVarType::Texture2DArray:
            return GL_TEXTURE_2D_ARRAY;
        case GpuEffectVarType::TextureCube:
            return GL_TEXTURE_CUBE_MAP;
        default:
            return 0;
    }
}

GLenum GlAddress(GpuAddress a) {
    switch (a) {
        case GpuAddress::Wrap:
            return GL_REPEAT;
        case GpuAddress::Mirror:
            return GL_MIRRORED_REPEAT;
        case GpuAddress::Clamp:
            return GL_CLAMP_TO_EDGE;
        case GpuAddress::Border:
            return GL_CLAMP_TO_BORDER;
    }
    return GL_REPEAT;
}

GLuint MakeSampler(const GpuSamplerDesc& desc) {
    GLuint s = 0;
    glCreateSamplers(1, &s);
    const bool point = desc.filter == GpuFilter::Point;
    glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, point ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR);
    glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, point ? GL_NEAREST : GL_LINEAR);
    const GLenum address = GlAddress(desc.address);
    glSamplerParameteri(s, GL_TEXTURE_WRAP_S, address);
    glSamplerParameteri(s, GL_TEXTURE_WRAP_T, address);
    glSamplerParameteri(s, GL_TEXTURE_WRAP_R, address);
    if (desc.filter == GpuFilter::Anisotropic && epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic"))
        glSamplerParameterf(s, GL_TEXTURE_MAX_ANISOTROPY_EXT, static_cast<float>(desc.maxAnisotropy));
    return s;
}

const char* StageName(GLenum stage) {
    switch (stage) {
        case GL_VERTEX_SHADER:
            return "vertex shader";
        case GL_GEOMETRY_SHADER:
            return "geometry shader";
        default:
            return "pixel shader";
    }
}

std::string ShaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) glGetShaderInfoLog(shader, length, nullptr, log.data());
    while (!log.empty() && (log.back() == '\0' || log.back() == '\n')) log.pop_back();
    return log;
}

std::string ProgramLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) glGetProgramInfoLog(program, length, nullptr, log.data());
    while (!log.empty() && (log.back() == '\0' || log.back() == '\n')) log.pop_back();
    return log;
}

}  // namespace

GpuEffectPass* GpuEffectPass::Invalid() {
    static GpuEffectPass invalid;
    return &invalid;
}

GpuEffectPass::~GpuEffectPass() {
    if (program_ && GpuContext::AnyCurrent()) glDeleteProgram(program_);
}

void GpuEffectPass::Apply(unsigned) {
    if (!program_ || !device_) return;
    for (Uniform& u : uniforms_) {
        const GpuEffectVariable* v = u.variable;
        if (u.sentVersion == v->Version()) continue;
        u.sentVersion = v->Version();
        const float* f = static_cast<const float*>(v->Data());
        const GLint* i = static_cast<const GLint*>(v->Data());
        switch (v->Type()) {
            case GpuEffectVarType::Float:
                glProgramUniform1fv(program_, u.location, 1, f);
                break;
            case GpuEffectVarType::Float2:
                glProgramUniform2fv(program_, u.location, 1, f);
                break;
            case GpuEffectVarType::Float3:
                glProgramUniform3fv(program_, u.location, 1, f);
                break;
            case GpuEffectVarType::Float4:
                glProgramUniform4fv(program_, u.location, 1, f);
                break;
            // D3DX matrices are row-major for row vectors; sent transposed so
            // that the shader's v * M is the D3DX product.
            case GpuEffectVarType::Float4x4:
                glProgramUniformMatrix4fv(program_, u.location, 1, GL_TRUE, f);
                break;
            case GpuEffectVarType::Int:
            case GpuEffectVarType::Bool:
                glProgramUniform1iv(program_, u.location, 1, i);
                break;
            case GpuEffectVarType::UInt:
                glProgramUniform1ui(program_, u.location, static_cast<GLuint>(i[0]));
                break;
            default:
                break;
        }
    }
    device_->UseProgram(program_, discard_, streamsOut_, feedbackMode_);
    for (const Sampler& s : samplers_)
        device_->BindTexture(s.unit, s.target, s.variable->GetResource(), s.samplerObject);
    for (const Block& b : blocks_) device_->BindConstantBuffer(b.slot, b.variable->GetConstantBuffer());
    if (depthStencil_) device_->OMSetDepthStencilState(depthStencil_.get(), stencilRef_);
    if (blend_) device_->OMSetBlendState(blend_.get(), nullptr, 0xFFFFFFFFu);
    if (rasterizer_) device_->RSSetState(rasterizer_.get());
}

GpuEffect::~GpuEffect() {
    techniques_.clear();
    if (!GpuContext::AnyCurrent()) return;
    for (GLuint s : samplerObjects_) glDeleteSamplers(1, &s);
}

std::unique_ptr<GpuEffect> GpuEffect::Create(const std::shared_ptr<GpuDevice>& device, const GpuEffectDesc& desc,
                                             std::string* errors) {
    if (!device) {
        if (errors) *errors = desc.name + ": no device";
        return nullptr;
    }
    std::unique_ptr<GpuEffect> effect(new GpuEffect);
    effect->device_ = device;
    effect->name_ = desc.name;
    std::string text;
    if (!effect->Build(desc, &text)) {
        if (errors) *errors = text;
        return nullptr;
    }
    if (errors) errors->clear();
    return effect;
}

// Holds the compiled stages until the whole effect is built: a stage text
// shared by several passes is compiled once and deleted with the state.
struct GpuEffect::BuildState {
    BuildState(const GpuEffectDesc& desc_, std::string& errors_) : desc(desc_), errors(errors_) {}
    ~BuildState() {
        for (auto& entry : shaders)
            if (entry.second) glDeleteShader(entry.second);
    }
    BuildState(const BuildState&) = delete;
    BuildState& operator=(const BuildState&) = delete;

    void Fail(const std::string& where, const std::string& log) {
        ok = false;
        errors += desc.name + " (" + where + "): " + log + "\n";
    }

    // 0 when the stage does not compile (the compiler's text is in the errors).
    GLuint Compile(GLenum stage, const std::string& body, const std::string& where) {
        auto key = std::make_pair(stage, body);
        auto found = shaders.find(key);
        if (found != shaders.end()) return found->second;
        const std::string source =
            "#version 450 core\n" + declarations + "#line 1 1\n" + desc.header + "\n#line 1 2\n" + body + "\n";
        // Text whose macros would expand past the bound never reaches the driver.
        std::string macros;
        if (!GlslMacroBudget::Check(source, &macros)) {
            Fail(where + ", " + StageName(stage), "refused: " + macros);
            shaders.emplace(std::move(key), 0);
            return 0;
        }
        GLuint shader = glCreateShader(stage);
        const char* text = source.c_str();
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        GLint status = GL_FALSE;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
        if (status != GL_TRUE) {
            Fail(where + ", " + StageName(stage), "(source 1 = header, 2 = stage)\n" + ShaderLog(shader));
            glDeleteShader(shader);
            shader = 0;
        }
        shaders.emplace(std::move(key), shader);
        return shader;
    }

    const GpuEffectDesc& desc;
    std::string& errors;
    bool ok = true;
    std::string declarations;  // every variable, put in front of every stage
    std::map<std::pair<GLenum, std::string>, GLuint> shaders;
};

namespace {

// Links the stages with every semantic at its fixed attribute location and
// the captured outputs interleaved; 0 with the linker's text in `log`.
GLuint LinkProgram(GLuint vs, GLuint gs, GLuint ps, const std::vector<const char*>& captured, std::string* log) {
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    if (gs) glAttachShader(program, gs);
    if (ps) glAttachShader(program, ps);
    GpuForEachSemantic(
        [&](const char* name, int location) { glBindAttribLocation(program, static_cast<GLuint>(location), name); });
    if (!captured.empty())
        glTransformFeedbackVaryings(program, static_cast<GLsizei>(captured.size()), captured.data(),
                                    GL_INTERLEAVED_ATTRIBS);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == GL_TRUE) return program;
    *log = ProgramLog(program);
    glDeleteProgram(program);
    return 0;
}

}  // namespace

bool GpuEffect::Build(const GpuEffectDesc& desc, std::string* errors) {
    BuildState state(desc, *errors);
    DeclareVariables(state);
    for (const GpuEffectTechniqueDesc& td : desc.techniques) {
        auto technique = std::make_unique<GpuEffectTechnique>(td.name);
        for (size_t p = 0; p < td.passes.size(); ++p)
            technique->passes_.push_back(
                BuildPass(td.passes[p], "technique " + td.name + ", pass " + std::to_string(p), state));
        for (const auto& existing : techniques_)
            if (existing->Name() == td.name) state.Fail("technique " + td.name, "declared twice");
        techniques_.push_back(std::move(technique));
    }
    return state.ok;
}

// Variables: every one declared in every stage; textures get fixed units and
// constant buffers fixed binding slots.
void GpuEffect::DeclareVariables(BuildState& state) {
    unsigned unit = 0, slot = 0;
    std::map<std::string, bool> seen;
    for (std::size_t i = 0; i < state.desc.variables.size(); ++i) {
        const GpuEffectVariableDesc& v = state.desc.variables[i];
        if (!IsGlslIdentifier(v.name)) {
            state.Fail("variables[" + std::to_string(i + 1) + "]", "refused: its name is not a GLSL identifier");
            continue;
        }
        if (seen[v.name]) {
            state.Fail("variable " + v.name, "declared twice");
            continue;
        }
        seen[v.name] = true;
        if (v.type == GpuEffectVarType::ConstantBuffer) {
            if (slot == GpuDevice::kConstantBufferSlots) {
                state.Fail("variable " + v.name, "more constant buffers than the device's " +
                                                     std::to_string(GpuDevice::kConstantBufferSlots) + " slots");
                continue;
            }
            variables_.push_back(std::make_unique<GpuEffectVariable>(v, slot++));
            state.declarations += "layout(std140) uniform " + v.name + " {\n" + v.members + "\n};\n";
            continue;
        }
        const bool texture = TextureTarget(v.type) != 0;
        variables_.push_back(std::make_unique<GpuEffectVariable>(v, texture ? unit : 0));
        if (texture) {
            samplerObjects_.push_back(MakeSampler(v.sampler));
            ++unit;
        }
        state.declarations += std::string("uniform ") + GlslType(v.type) + " " + v.name + ";\n";
    }
}

// A pass whose stages fail to compile or link stays in its technique as an
// invalid pass (no program), so pass indices keep their meaning.
std::unique_ptr<GpuEffectPass> GpuEffect::BuildPass(const GpuEffectPassDesc& pd, const std::string& where,
                                                    BuildState& state) {
    auto pass = std::make_unique<GpuEffectPass>();
    pass->device_ = device_.get();
    if (pd.vertexShader.empty()) {
        state.Fail(where, "no vertex shader");
        return pass;
    }
    GLuint vs = state.Compile(GL_VERTEX_SHADER, pd.vertexShader, where);
    GLuint gs = pd.geometryShader.empty() ? 0 : state.Compile(GL_GEOMETRY_SHADER, pd.geometryShader, where);
    GLuint ps = pd.pixelShader.empty() ? 0 : state.Compile(GL_FRAGMENT_SHADER, pd.pixelShader, where);
    if (!vs || (!pd.geometryShader.empty() && !gs) || (!pd.pixelShader.empty() && !ps)) return pass;

    std::vector<const char*> captured;
    for (const std::string& s : pd.streamOut) captured.push_back(s.c_str());
    std::string log;
    const GLuint program = LinkProgram(vs, gs, ps, captured, &log);
    if (!program) {
        state.Fail(where, "link: " + log);
        return pass;
    }
    pass->program_ = program;
    ReadInputSignature(*pass, where, state);
    if (!captured.empty()) SetStreamOut(*pass, gs, ps);
    BindVariables(*pass);
    if (pd.depthStencil) pass->depthStencil_ = device_->CreateDepthStencilState(*pd.depthStencil);
    pass->stencilRef_ = pd.stencilRef;
    if (pd.blend) pass->blend_ = device_->CreateBlendState(*pd.blend);
    if (pd.rasterizer) pass->rasterizer_ = device_->CreateRasterizerState(*pd.rasterizer);
    return pass;
}

// Input signature: every vertex input must be a known semantic.
void GpuEffect::ReadInputSignature(GpuEffectPass& pass, const std::string& where, BuildState& state) {
    GLint inputs = 0;
    glGetProgramInterfaceiv(pass.program_, GL_PROGRAM_INPUT, GL_ACTIVE_RESOURCES, &inputs);
    for (GLint i = 0; i < inputs; ++i) {
        char name[128] = {};
        glGetProgramResourceName(pass.program_, GL_PROGRAM_INPUT, static_cast<GLuint>(i), sizeof name, nullptr, name);
        const std::string input(name);
        if (input.rfind("gl_", 0) == 0) continue;
        if (GpuSemanticLocation(input) < 0) state.Fail(where, "vertex input '" + input + "' is not a known semantic");
        pass.inputs_.push_back(input);
    }
}

// The primitive the pass captures: the geometry stage's output, or the
// draw's topology without one; no pixel stage means no rasterisation.
void GpuEffect::SetStreamOut(GpuEffectPass& pass, unsigned geometryShader, unsigned pixelShader) {
    GLint out = GL_POINTS;
    if (geometryShader) glGetProgramiv(pass.program_, GL_GEOMETRY_OUTPUT_TYPE, &out);
    pass.streamsOut_ = true;
    pass.feedbackMode_ = !geometryShader            ? GpuEffectPass::kFeedbackFromTopology
                         : out == GL_TRIANGLE_STRIP ? GL_TRIANGLES
                         : out == GL_LINE_STRIP     ? GL_LINES
                                                    : GL_POINTS;
    pass.discard_ = pixelShader == 0;
}

// Textures are bound to their variable's fixed unit once, constant buffers to
// their fixed slot; other variables the program uses are sent by Apply when
// they change.
void GpuEffect::BindVariables(GpuEffectPass& pass) const {
    for (const auto& variable : variables_) {
        if (variable->Type() == GpuEffectVarType::ConstantBuffer) {
            const GLuint block = glGetUniformBlockIndex(pass.program_, variable->Name().c_str());
            if (block == GL_INVALID_INDEX) continue;
            glUniformBlockBinding(pass.program_, block, variable->TextureUnit());
            pass.blocks_.push_back({variable.get(), variable->TextureUnit()});
            continue;
        }
        const GLint location = glGetUniformLocation(pass.program_, variable->Name().c_str());
        if (location < 0) continue;
        const GLenum target = TextureTarget(variable->Type());
        if (target) {
            glProgramUniform1i(pass.program_, location, static_cast<GLint>(variable->TextureUnit()));
            pass.samplers_.push_back(
                {variable.get(), variable->TextureUnit(), target, samplerObjects_[variable->TextureUnit()]});
        } else {
            pass.uniforms_.push_back({variable.get(), location, 0});
        }
    }
}

GpuEffectTechnique* GpuEffect::GetTechniqueByName(const std::string& name) const {
    for (const auto& t : techniques_)
        if (t->Name() == name) return t.get();
    return GpuEffectTechnique::Invalid();
}

GpuEffectVariable* GpuEffect::GetVariableByName(const std::string& name) const {
    for (const auto& v : variables_)
        if (v->Name() == name) return v.get();
    return GpuEffectVariable::Invalid();
}

GpuEffectTechnique* GpuEffect::GetTechniqueByIndex(unsigned i) const {
    return i < techniques_.size() ? techniques_[i].get() : GpuEffectTechnique::Invalid();
}

GpuEffectVariable* GpuEffect::GetVariableByIndex(unsigned i) const {
    return i < variables_.size() ? variables_[i].get() : GpuEffectVariable::Invalid();
}
