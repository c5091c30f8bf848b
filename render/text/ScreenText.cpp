#include "render/text/ScreenText.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "core/TypeId.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Transform.h"
#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuDevice.h"
#include "render/frame/RenderDevice.h"
#include "render/text/FontAtlas.h"
#include "render/text/FontManager.h"
#include "scene/ObjectFactory.h"

class GraphicsSystem;

namespace {

// The screen projection's depth range (D3DXMatrixOrthoLH near and far).
constexpr float kScreenNear = 1.0f;
constexpr float kScreenFar = 2000.0f;

}  // namespace

void ScreenText::Reflect(MemberList<ScreenText>& members) {
    members.Add("fontName", &ScreenText::fontName);
    members.Add("fontSize", &ScreenText::fontSize);
    members.Add("text", &ScreenText::text);
    members.Add("fontColor", &ScreenText::fontColor);
}

ScreenText::ScreenText(std::shared_ptr<FontAtlas> atlas) : atlas_(std::move(atlas)) {}

std::size_t ScreenText::liveTexts_ = 0;
bool ScreenText::reportedFull_ = false;

ScreenText::ScreenText(const ScreenText& other)
    : Component(other),
      atlas_(other.atlas_),
      lock_(other.lock_),
      text(other.text),
      fontColor(other.fontColor),
      dirty_(other.dirty_),
      drawnCharacters_(other.drawnCharacters_),
      pendingUpload_(true),
      fontName(other.fontName),
      fontSize(other.fontSize),
      fontChanged_(other.fontChanged_) {
    SetEnabled(other.IsEnabled());
    if (other.vertices_ && HoldVertices()) {
        *vertices_ = *other.vertices_;
    } else if (other.vertices_) {
        // No room: the copy shows nothing until it is rebuilt with room.
        drawnCharacters_ = 0;
        dirty_ = true;
    }
}

ScreenText::~ScreenText() {
    if (vertices_) --liveTexts_;
}

const ScreenText::VertexArray& ScreenText::Vertices() const {
    static const VertexArray kNone{};
    return vertices_ ? *vertices_ : kNone;
}

bool ScreenText::HoldVertices() {
    if (vertices_) return true;
    if (liveTexts_ >= kMaxLiveTexts) {
        if (!reportedFull_)
            Log("ScreenText on object %u: more than %zu texts would show at once; this one draws nothing, as does "
                "every further one until some are gone",
                GetOwner(), kMaxLiveTexts);
        reportedFull_ = true;
        return false;
    }
    vertices_ = std::make_unique<VertexArray>();
    ++liveTexts_;
    return true;
}

void ScreenText::SetText(const std::string& newText) {
    if (lock_) return;
    text = newText;
    dirty_ = true;
}

void ScreenText::SetFontName(const std::string& name) {
    if (name == fontName) return;
    fontName = name;
    fontChanged_ = true;
}

void ScreenText::SetFontSize(int size) {
    if (size == fontSize) return;
    fontSize = size;
    fontChanged_ = true;
}

void ScreenText::SetFontColor(const D3DXCOLOR& color) {
    fontColor = color;
    dirty_ = true;
}

void ScreenText::Init() {
    if (!fontName.empty()) RefreshAtlas();
    HoldVertices();
    CreateVertexBuffer();
    Rebuild();
    if (pendingUpload_) Upload();
}

void ScreenText::Update(float) {
    RefreshAtlas();
    Rebuild();
    if (pendingUpload_) Upload();
}

void ScreenText::RefreshAtlas() {
    // A text read from a scene file or made by CreateDebugTextObject has its
    // font in fontName and fontSize but no atlas yet: it looks one up too.
    if (!fontChanged_ && atlas_) return;
    // A locked text keeps its quads, so it keeps the atlas they were cut
    // from; the font change waits until it is unlocked.
    if (lock_ && atlas_) return;
    FontManager* fonts = FontManager::Instance();
    if (!fonts) return;
    atlas_ = fonts->AcquireAtlas(fontName, fontSize);
    fontChanged_ = false;
    // The quads of the old atlas no longer match its texture.
    dirty_ = true;
}

void ScreenText::Rebuild() {
    if (lock_ || !dirty_) return;
    const std::size_t count = std::min(text.size(), kMaxCharacters);
    if (count > 0 && !HoldVertices()) {
        drawnCharacters_ = 0;
        return;  // still dirty: asks again at the next change
    }
    float pen = 0.0f;
    const FontGlyph* previous = nullptr;
    const float r = fontColor.r, g = fontColor.g, b = fontColor.b;
    for (std::size_t i = 0; i < count; ++i) {
        ModelVertex* v = &(*vertices_)[i * kVerticesPerCharacter];
        const FontGlyph* glyph = atlas_ ? atlas_->Find(text[i]) : nullptr;
        if (!glyph) {
            // Degenerate quads, so nothing of an earlier text shows here.
            std::fill(v, v + kVerticesPerCharacter, ModelVertex{});
            continue;
        }
        if (i > 0 && previous && atlas_->HasKerning()) pen += atlas_->Kerning(*previous, *glyph);
        const float left = pen + glyph->bitmapLeft, right = left + glyph->width;
        const float top = glyph->bearingY, bottom = top - glyph->height;
        const float u0 = glyph->x0 / atlas_->GetWidth(), u1 = glyph->x1 / atlas_->GetWidth();
        const float v0 = glyph->y0 / atlas_->GetHeight(), v1 = glyph->y1 / atlas_->GetHeight();
        const D3DXVECTOR3 color(r, g, b);
        v[0] = {{right, bottom, 0}, color, {u1, v1}};
        v[1] = {{left, bottom, 0}, color, {u0, v1}};
        v[2] = {{left, top, 0}, color, {u0, v0}};
        v[3] = {{left, top, 0}, color, {u0, v0}};
        v[4] = {{right, top, 0}, color, {u1, v0}};
        v[5] = {{right, bottom, 0}, color, {u1, v1}};
        pen += glyph->advance;
        previous = glyph;
    }
    drawnCharacters_ = count;
    Upload();
    dirty_ = false;
}

void ScreenText::CreateVertexBuffer() {
    if (vertexBuffer_ || !vertices_) return;
    RenderDevice* renderDevice = RenderDevice::Instance();
    GpuDevice* device = renderDevice ? renderDevice->GetDevice() : nullptr;
    if (!device) return;
    GpuBufferDesc desc;
    desc.byteWidth = static_cast<u32>(sizeof(VertexArray));
    desc.usage = GpuUsage::Dynamic;
    desc.bindFlags = GpuBindVertexBuffer;
    desc.cpuAccessFlags = GpuCpuAccessWrite;
    vertexBuffer_ = device->CreateBuffer(desc);
}

void ScreenText::Upload() {
    // Nothing to show yet: nothing to upload.
    if (!vertices_) {
        pendingUpload_ = false;
        return;
    }
    // Without a device yet the upload waits for a later Update.
    pendingUpload_ = true;
    CreateVertexBuffer();
    if (!vertexBuffer_) return;
    void* data = vertexBuffer_->Map(GpuMap::WriteDiscard);
    if (!data) return;
    std::memcpy(data, vertices_->data(), drawnCharacters_ * kVerticesPerCharacter * sizeof(ModelVertex));
    vertexBuffer_->Unmap();
    pendingUpload_ = false;
}

GpuShaderResourceView* ScreenText::GetTextureView() const {
    return atlas_ ? atlas_->GetView() : nullptr;
}

float ScreenText::ScreenSpaceDepth(float viewZ) {
    // Strictly inside the range, so rounding in the projection cannot clip it.
    constexpr float kInset = 1.0f;
    if (!(viewZ >= kScreenNear + kInset)) return kScreenNear + kInset;
    return std::min(viewZ, kScreenFar - kInset);
}

void SetObjectScreenText(GameObject* object, const std::string& text) {
    if (!object) return;
    if (auto* screenText = object->GetComponent<ScreenText>()) screenText->SetText(text);
}

void SubmitObjectTextForFrame(GameObject* object) {
    if (!object) return;
    SendToSystem(DrawThisFrame(TypeId<ScreenText>::Get()), TypeId<GraphicsSystem>::Get(), object->GetId(),
                 object->GetId());
}

void ScreenText::SubmitForFrame(GameObject* object) {
    ScreenText* text = object ? object->GetComponent<ScreenText>() : nullptr;
    if (!text) return;
    SendToSystem(DrawThisFrame(TypeId<ScreenText>::Get()), TypeId<GraphicsSystem>::Get(), object->GetId(),
                 text->GetId());
}

void SetObjectScreenTextAndSubmit(GameObject* object, const std::string& text) {
    SetObjectScreenText(object, text);
    SubmitObjectTextForFrame(object);
}

GameObject* CreateTextObject(float x, float y, float z, const std::string& fontFile, int pixelSize) {
    ObjectFactory* factory = ObjectFactory::Instance();
    Transform* transform = factory ? factory->Create<Transform>() : nullptr;
    if (!transform) transform = new Transform;
    ScreenText* text = factory ? factory->Create<ScreenText>() : nullptr;
    if (!text) text = new ScreenText;
    auto* object = factory ? factory->NewGameObject() : new GameObject;
    object->AddComponent(transform);
    object->AddComponent(text);
    transform->SetPosition(x, y, z);
    text->SetFontName(fontFile);
    text->SetFontSize(pixelSize);
    return object;
}

GameObject* CreateDebugTextObject(float x, float y, float z) {
    return CreateTextObject(x, y, z, FontManager::kDefaultFont, 10);
}

std::string IntToText(int value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string TextOf(int value) {
    return IntToText(value);
}

u32 DrawDebugText(const D3DXVECTOR3& position, const D3DXCOLOR& colour) {
    GameObject* object = CreateDebugTextObject(position.x, position.y, position.z);
    object->GetComponent<ScreenText>()->SetFontColor(colour);
    object->Init();
    return object->GetId();
}
