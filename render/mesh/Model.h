// Model: the component that gives a game object a mesh to draw, either the
// model file named by its "filename" (loaded through the ModelCache at Init)
// or a mesh a MeshBuilder put into it, drawn with its Material's textures.
// The buffers are shared (the cache's, or a builder's) and never released by
// a Model. Skybox derives from it. Owned by its object; main thread only.
#pragma once
#include <array>
#include <memory>
#include <string>

#include "core/Types.h"
#include "engine/Component.h"
#include "engine/SceneBudget.h"
#include "port/math/D3DX.h"
#include "render/debug/DebugRecords.h"
#include "render/mesh/Material.h"

class GpuBuffer;
class GpuDevice;
enum class GpuTopology;
struct ModelCacheEntry;

class Model : public Component<Model> {
public:
    static constexpr u32 kTriangleList = 4;

    Model() = default;
    // Everything copied but the topology (a triangle list again) and the
    // bounds lines (made anew on the copy's first DrawBounds).
    Model(const Model& other);

    static void Reflect(MemberList<Model>& members);

    // Loads the file through the ModelCache (a failure leaves no mesh), then
    // the textures.
    void Init() override;
    // Gives back its share of what the scene draws.
    void Shutdown() override { drawShare.Release(); }
    // After the editor's panel changed a member: texture names changed since
    // they were last loaded are loaded (Material::LoadTextures), and when
    // "filename" names another file than the mesh came from, the mesh of the
    // old name is dropped and the new one loaded as Init does (a name that
    // loads nothing then draws nothing). True when the mesh was reloaded.
    virtual bool LoadChangedNames();
    // The bounding box in white.
    void DebugDraw() override;
    // "Center" and "Extent", read-only.
    void AddTweakBarVars(TwBar* bar, const TweakVarParams& group) override;

    // Looks every unlocked, named slot's view up afresh, fills the
    // empty texture names from companion files of the model file's name
    // (name, name.normal, name.specular, name.glow) when the texture folder
    // has them, then Material::LoadTextures.
    void LoadTextures();
    // Sends the 12 edges of the bounding box, through the owner's world
    // matrix, as debug lines (kMsgDebugLineA) to the GraphicsSystem at once. The edges
    // are taken from center and extent on the first call and kept.
    void DrawBounds(const D3DXCOLOR& colour);

    // Binds the vertex buffer (and the index buffer, as 32-bit indices) and
    // draws: 3 x triangleCount indices when indexed, else vertexCount
    // vertices. The topology is the caller's to set. Nothing without a
    // vertex buffer.
    void Draw(GpuDevice& device) const;
    // The device topology of a renderer topology number (1 points, 2 line
    // list, 3 line strip, 4 triangle list, 5 triangle strip); a triangle list
    // for none or any other number.
    static GpuTopology ToGpuTopology(u32 topology);

    std::string filename;  // reflected "filename": the file in the "model" folder
    Material material;     // reflected "material"
    u32 vertexCount = 0;
    u32 triangleCount = 0;  // triangles; lines for builder line meshes
    u32 stride = 0;
    u32 offset = 0;
    std::shared_ptr<GpuBuffer> vertexBuffer;
    std::shared_ptr<GpuBuffer> indexBuffer;  // null: vertexCount vertices drawn in order
    u32 topology = kTriangleList;
    D3DXVECTOR3 center;
    D3DXVECTOR3 extent;  // half-size; |extent| is the culling radius
    std::unique_ptr<std::array<DebugLine, 12>> boxLines;
    const ModelCacheEntry* cacheEntry = nullptr;  // null for builder meshes
    // Its vertices in the scene's budget of drawn vertices, held while the
    // renderer's model list has it (RenderLists); not copied.
    SceneBudget::Share drawShare;

protected:
    // For Skybox: its own type id.
    explicit Model(u32 typeId);
    // The file name the mesh was last loaded from (Init).
    std::string loadedFilename_;
};
