// ScreenText: the component that shows one line of text (heads-up display,
// menus, results screen, editor status lines). Its characters become up to 80
// quads, in pixels from the text's origin with the baseline at y = 0, built
// from the glyphs of a FontAtlas whenever the text changes. The renderer
// places it through its object's Transform and draws 6 vertices a character
// with the text technique. Owned by its object; it holds its atlas shared
// with the FontManager's cache. Main thread only.
#pragma once
#include <array>
#include <memory>
#include <string>

#include "engine/Component.h"
#include "port/math/D3DX.h"
#include "render/mesh/ModelVertex.h"

class FontAtlas;
class GameObject;
class GpuBuffer;
class GpuShaderResourceView;

class ScreenText : public Component<ScreenText> {
public:
    static constexpr std::size_t kMaxCharacters = 80;
    static constexpr std::size_t kVerticesPerCharacter = 6;
    static constexpr std::size_t kMaxVertices = kMaxCharacters * kVerticesPerCharacter;
    using VertexArray = std::array<ModelVertex, kMaxVertices>;
    // A text takes its vertices (15 KB, and as much again on the GPU) when it
    // initialises (a prototype holds none). At most this many texts hold
    // them at once: one more draws nothing (it asks again whenever it has
    // characters to show), and the first such refusal until the scene is
    // cleared logs one row naming its object.
    static constexpr std::size_t kMaxLiveTexts = 1024;
    static std::size_t LiveTexts() { return liveTexts_; }
    // A scene clear: the next refusal is reported again.
    static void ResetBudget() { reportedFull_ = false; }

    // The prototype: no atlas yet (Init looks it up from fontName, fontSize).
    ScreenText() = default;
    // A text drawn with `atlas` (FontManager::CreateText).
    explicit ScreenText(std::shared_ptr<FontAtlas> atlas);
    // Every field, vertices included, and the enabled flag; not the vertex
    // buffer: the copy makes its own in Init and uploads its vertices then.
    ScreenText(const ScreenText& other);
    ~ScreenText() override;

    static void Reflect(MemberList<ScreenText>& members);

    // Refreshes the atlas after a font change, then rebuilds when dirty.
    void Update(float dt) override;
    // Looks the atlas up when needed, makes the vertex buffer, rebuilds.
    void Init() override;

    // Unless locked: the new text, rebuilt at the next Update.
    void SetText(const std::string& newText);
    const std::string& GetText() const { return text; }
    // A different name takes effect at the next Update.
    void SetFontName(const std::string& name);
    void SetFontSize(int size);
    const std::string& GetFontName() const { return fontName; }
    int GetFontSize() const { return fontSize; }
    void SetFontColor(const D3DXCOLOR& color);
    const D3DXCOLOR& GetFontColor() const { return fontColor; }
    // While locked the text neither changes nor rebuilds; a font change waits.
    void SetLocked(bool locked) { lock_ = locked; }
    bool IsLocked() const { return lock_; }
    bool IsDirty() const { return dirty_; }

    FontAtlas* GetAtlas() const { return atlas_.get(); }
    // Characters in the vertex buffer (the last rebuilt text, at most 80):
    // the renderer draws 6 vertices for each.
    std::size_t GetCharacterCount() const { return drawnCharacters_; }
    // All zero while the text holds no vertices.
    const VertexArray& Vertices() const;
    // 15360 bytes, dynamic; made by Init, or by the first Update after a
    // render device exists. Null until then.
    GpuBuffer* GetVertexBuffer() const { return vertexBuffer_.get(); }
    GpuShaderResourceView* GetTextureView() const;

    // Asks the GraphicsSystem (at once) to draw the object's ScreenText in
    // this frame only, naming the text by its component id.
    static void SubmitForFrame(GameObject* object);

    // The local z of a text drawn in screen space, given the view's z
    // translation: kept inside the depth range of the screen projection
    // (near 1, far 2000) so the text is never clipped away.
    static float ScreenSpaceDepth(float viewZ);

private:
    void RefreshAtlas();
    void Rebuild();
    void Upload();
    void CreateVertexBuffer();
    // Whether the text holds its vertices, taking them when the budget allows.
    bool HoldVertices();
    static std::size_t liveTexts_;
    static bool reportedFull_;

    std::shared_ptr<FontAtlas> atlas_;  // shared with the FontManager's cache
    bool lock_ = false;
    std::string text;                        // reflected "text"
    std::unique_ptr<VertexArray> vertices_;  // null until Init, or while refused
    D3DXCOLOR fontColor{1, 0, 0, 1};         // reflected "fontColor"
    bool dirty_ = true;
    std::shared_ptr<GpuBuffer> vertexBuffer_;
    std::size_t drawnCharacters_ = 0;
    bool pendingUpload_ = false;         // the vertices wait for a vertex buffer
    std::string fontName = "lucon.ttf";  // reflected "fontName"
    int fontSize = 12;                   // reflected "fontSize"
    bool fontChanged_ = false;
};

// The object's first ScreenText gets the text (unless locked); a text longer
// than 80 characters shows its first 80.
void SetObjectScreenText(GameObject* object, const std::string& text);
// Asks the GraphicsSystem (at once) to draw the object's ScreenText in this
// frame only.
void SubmitObjectTextForFrame(GameObject* object);
void SetObjectScreenTextAndSubmit(GameObject* object, const std::string& text);
// A new object holding clones of the Transform and ScreenText prototypes
// (fresh ones where the ObjectFactory has none), placed at (x, y, z), with
// the text's font name and size set; not initialised nor announced.
GameObject* CreateTextObject(float x, float y, float z, const std::string& fontFile, int pixelSize);
// The same with "lucon.ttf" at 10 pixels (the editor's status lines).
GameObject* CreateDebugTextObject(float x, float y, float z);
// A new object as CreateDebugTextObject makes it, at `position`, in
// `colour`, initialised (so its text is ready to draw); its object id.
u32 DrawDebugText(const D3DXVECTOR3& position, const D3DXCOLOR& colour);
// Decimal text of an integer; TextOf is the same.
std::string IntToText(int value);
std::string TextOf(int value);
