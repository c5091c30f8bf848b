#include "bench/EditorBenchWorld.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "core/IdCounter.h"
#include "editor/mode/Editor.h"
#include "editor/proxy/EditorProxySystem.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/Transform.h"
#include "render/mesh/Model.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"

u32 EditorBenchWorld::highWater_ = 0;

namespace {
// The temporary root copies its start-up file from DD_ASSET_DIR: unless that
// names another, the repository's assets/ the benchmark was built with.
[[maybe_unused]] const bool kAssetDirSet = ::setenv("DD_ASSET_DIR", DD_ASSET_ROOT, 0) == 0;
}  // namespace

EditorBenchWorld::EditorBenchWorld(bool editMode) {
    std::filesystem::create_directory(root.Dir() + "/scene");
    if (!assembly.Assemble()) throw std::runtime_error("assembly failed");
    while (IdCounter::Instance()->Peek() <= highWater_) IdCounter::Instance()->Draw();
    editor = Engine::Instance()->GetSystem<Editor>();
    editor->Init();
    if (editMode) {
        editor->SetActive(true);
        editor->Activate();
    }
}

EditorBenchWorld::~EditorBenchWorld() {
    highWater_ = IdCounter::Instance()->Peek();
    assembly.Disassemble();
}

void EditorBenchWorld::Tidy() {
    MessageHub::Instance()->DispatchQueued();
    Graveyard::Instance()->Collect(1000.0f);
}

u32 EditorBenchWorld::AddModelObjects(int n, Grid grid) {
    return AddObjects(n, grid, true);
}

u32 EditorBenchWorld::AddMarkerObjects(int n, Grid grid) {
    return AddObjects(n, grid, false);
}

u32 EditorBenchWorld::AddObjects(int n, Grid grid, bool withModel) {
    ObjectFactory& factory = *ObjectFactory::Instance();
    u32 first = 0;
    for (int i = 0; i < n; ++i) {
        GameObject* object = factory.NewGameObject();
        Transform* transform = factory.Create<Transform>();
        transform->position = D3DXVECTOR3(static_cast<float>(i % grid.rowLength) + grid.x0, 0,
                                          grid.z0 + static_cast<float>(i / grid.rowLength));
        transform->worldPosition = transform->position;
        object->AddComponent(transform);
        if (withModel) {
            auto* model = factory.Create<Model>();
            model->extent = D3DXVECTOR3(0.5f, 0.5f, 0.5f);
            object->AddComponent(model);
        }
        SceneManager::Instance()->GetObjectIds().push_back(object->GetId());
        editor->GetProxySystem()->CreateProxy(*object);
        if (first == 0) first = object->GetId();
    }
    return first;
}

std::string EditorBenchWorld::SceneFile(const std::string& name, int n, Grid grid) {
    const std::string path = root.Dir() + "/scene/" + name + ".scn";
    std::ofstream out(path);
    out << "Archetypes = {\n\t\"\",\n}\n\nInstances = {\n";
    for (int i = 0; i < n; ++i)
        out << "\t{SceneGUID = " << 1000 + i
            << ", Transform = { position = { x = " << static_cast<float>(i % grid.rowLength) + grid.x0
            << ", y = 0, z = " << grid.z0 + static_cast<float>(i / grid.rowLength)
            << ", }, }, PointLight = { mRange = 4, }, },\n";
    out << "}\n\nParentChild = {\n}\n\nSplineCrawlers = {\n}\n";
    return path;
}
