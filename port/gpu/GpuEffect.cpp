#include "port/gpu/GpuEffect.h"

#include <map>
#include <utility>

#include "port/gpu/GlFormat.h"
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
    }
    return "float";
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

bool GpuEffect::Build(const GpuEffectDesc& desc, std::string* errors) {
    bool ok = true;
    auto fail = [&](const std::string& where, const std::string& log) {
        ok = false;
        *errors += desc.name + " (" + where + "): " + log + "\n";
    };

    // Variables: every one declared in every stage; textures get fixed units.
    std::string declarations;
    unsigned unit = 0;
    std::map<std::string, bool> seen;
    for (const GpuEffectVariableDesc& v : desc.variables) {
        if (seen[v.name]) {
            fail("variable " + v.name, "declared twice");
            continue;
        }
        seen[v.name] = true;
        const bool texture = TextureTarget(v.type) != 0;
        variables_.push_back(std::make_unique<GpuEffectVariable>(v, texture ? unit : 0));
        if (texture) {
            samplerObjects_.push_back(MakeSampler(v.sampler));
            ++unit;
        }
        declarations += std::string("uniform ") + GlslType(v.type) + " " + v.name + ";\n";
    }

    std::map<std::pair<GLenum, std::string>, GLuint> shaders;  // compiled once per effect
    auto compile = [&](GLenum stage, const std::string& body, const std::string& where) -> GLuint {
        auto key = std::make_pair(stage, body);
        auto found = shaders.find(key);
        if (found != shaders.end()) return found->second;
        const std::string source =
            "#version 450 core\n" + declarations + "#line 1 1\n" + desc.header + "\n#line 1 2\n" + body + "\n";
        GLuint shader = glCreateShader(stage);
        const char* text = source.c_str();
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        GLint status = GL_FALSE;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
        if (status != GL_TRUE) {
            fail(where + ", " + StageName(stage), "(source 1 = header, 2 = stage)\n" + ShaderLog(shader));
            glDeleteShader(shader);
            shader = 0;
        }
        shaders.emplace(std::move(key), shader);
        return shader;
    };

    for (const GpuEffectTechniqueDesc& td : desc.techniques) {
        auto technique = std::make_unique<GpuEffectTechnique>(td.name);
        for (size_t p = 0; p < td.passes.size(); ++p) {
            const GpuEffectPassDesc& pd = td.passes[p];
            const std::string where = "technique " + td.name + ", pass " + std::to_string(p);
            auto pass = std::make_unique<GpuEffectPass>();
            pass->device_ = device_.get();
            if (pd.vertexShader.empty()) {
                fail(where, "no vertex shader");
                technique->passes_.push_back(std::move(pass));
                continue;
            }
            GLuint vs = compile(GL_VERTEX_SHADER, pd.vertexShader, where);
            GLuint gs = pd.geometryShader.empty() ? 0 : compile(GL_GEOMETRY_SHADER, pd.geometryShader, where);
            GLuint ps = pd.pixelShader.empty() ? 0 : compile(GL_FRAGMENT_SHADER, pd.pixelShader, where);
            if (!vs || (!pd.geometryShader.empty() && !gs) || (!pd.pixelShader.empty() && !ps)) {
                technique->passes_.push_back(std::move(pass));
                continue;
            }
            GLuint program = glCreateProgram();
            glAttachShader(program, vs);
            if (gs) glAttachShader(program, gs);
            if (ps) glAttachShader(program, ps);
            GpuForEachSemantic([&](const char* name, int location) {
                glBindAttribLocation(program, static_cast<GLuint>(location), name);
            });
            std::vector<const char*> captured;
            for (const std::string& s : pd.streamOut) captured.push_back(s.c_str());
            if (!captured.empty())
                glTransformFeedbackVaryings(program, static_cast<GLsizei>(captured.size()), captured.data(),
                                            GL_INTERLEAVED_ATTRIBS);
            glLinkProgram(program);
            GLint linked = GL_FALSE;
            glGetProgramiv(program, GL_LINK_STATUS, &linked);
            if (linked != GL_TRUE) {
                fail(where, "link: " + ProgramLog(program));
                glDeleteProgram(program);
                technique->passes_.push_back(std::move(pass));
                continue;
            }
            pass->program_ = program;

            // Input signature: every vertex input must be a known semantic.
            GLint inputs = 0;
            glGetProgramInterfaceiv(program, GL_PROGRAM_INPUT, GL_ACTIVE_RESOURCES, &inputs);
            for (GLint i = 0; i < inputs; ++i) {
                char name[128] = {};
                glGetProgramResourceName(program, GL_PROGRAM_INPUT, static_cast<GLuint>(i), sizeof name, nullptr, name);
                const std::string input(name);
                if (input.rfind("gl_", 0) == 0) continue;
                if (GpuSemanticLocation(input) < 0) fail(where, "vertex input '" + input + "' is not a known semantic");
                pass->inputs_.push_back(input);
            }

            if (!captured.empty()) {
                GLint out = GL_POINTS;
                if (gs) glGetProgramiv(program, GL_GEOMETRY_OUTPUT_TYPE, &out);
                pass->streamsOut_ = true;
                pass->feedbackMode_ = !gs                        ? GpuEffectPass::kFeedbackFromTopology
                                      : out == GL_TRIANGLE_STRIP ? GL_TRIANGLES
                                      : out == GL_LINE_STRIP     ? GL_LINES
                                                                 : GL_POINTS;
                pass->discard_ = ps == 0;
            }

            for (const auto& variable : variables_) {
                const GLint location = glGetUniformLocation(program, variable->Name().c_str());
                if (location < 0) continue;
                const GLenum target = TextureTarget(variable->Type());
                if (target) {
                    glProgramUniform1i(program, location, static_cast<GLint>(variable->TextureUnit()));
                    pass->samplers_.push_back(
                        {variable.get(), variable->TextureUnit(), target, samplerObjects_[variable->TextureUnit()]});
                } else {
                    pass->uniforms_.push_back({variable.get(), location, 0});
                }
            }
            if (pd.depthStencil) pass->depthStencil_ = device_->CreateDepthStencilState(*pd.depthStencil);
            pass->stencilRef_ = pd.stencilRef;
            if (pd.blend) pass->blend_ = device_->CreateBlendState(*pd.blend);
            if (pd.rasterizer) pass->rasterizer_ = device_->CreateRasterizerState(*pd.rasterizer);
            technique->passes_.push_back(std::move(pass));
        }
        for (const auto& existing : techniques_)
            if (existing->Name() == td.name) fail("technique " + td.name, "declared twice");
        techniques_.push_back(std::move(technique));
    }
    for (auto& entry : shaders)
        if (entry.second) glDeleteShader(entry.second);
    return ok;
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
