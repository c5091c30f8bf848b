#include "scene/SceneManager.h"

#include <algorithm>

#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "engine/SceneObjectBudget.h"
#include "engine/SceneSystem.h"
#include "port/os/WholeFile.h"
#include "port/os/WholeFileWriter.h"
#include "reflection/MemberBudget.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneWriter.h"
#include "scene/SplineCrawlerBinding.h"

namespace {
// The most bytes of a scene or archetype file: what the loader reads now.
std::size_t DataFileLimit() {
    const SceneLoader* loader = SceneLoader::Instance();
    return loader ? loader->DataFileLimit() : SceneLoader::kMaxFileBytes;
}

// Why a file over the limit is not written.
std::string TooLargeText(const std::string& path, std::size_t size, std::size_t limit) {
    return "cannot write " + path + ": it would be " + std::to_string(size) + " bytes, more than " +
           ByteCountText(limit) + ", the most read of a scene or archetype file; nothing was written";
}

// Why a scene the loader would refuse is not written.
std::string WouldNotLoadText(const std::string& path, const std::string& why) {
    // Lua numbers a chunk's different constants in 18 bits.
    const bool constants = why.find("constant table overflow") != std::string::npos;
    return "cannot write " + path + ": it would not load again (" + why +
           (constants ? ": more than 262143 different numbers and names in one file" : "") + "); nothing was written";
}

// The factory's way to an archetype file it does not hold.
bool LoadArchetypeFile(const std::string& name) {
    SceneLoader* loader = SceneLoader::Instance();
    return loader && loader->LoadArchetype(name);
}

// The factory's way to file a new object with the scene.
void PlaceObject(u32 objectId, bool addToScene) {
    SceneManager* scene = SceneManager::Instance();
    if (!scene) return;
    if (addToScene)
        scene->AddObject(objectId, false);
    else
        scene->AddPlayObject(objectId);
}

}  // namespace

SceneManager::SceneManager() {
    ObjectFactory::SetSceneHooks(&LoadArchetypeFile, &PlaceObject);
    SceneObjectBudget::NewScene();
}

SceneManager::~SceneManager() {
    ObjectFactory::SetSceneHooks(nullptr, nullptr);
}

bool SceneManager::LoadScene(const std::string& path) {
    StagedScene staged;
    if (!ReadScene(path, staged)) {
        if (!loaded_) name_ = path;
        return false;
    }
    return CommitScene(path, staged);
}

bool SceneManager::ReadScene(const std::string& path, StagedScene& staged) {
    SceneLoader* loader = SceneLoader::Instance();
    return loader && loader->LoadScene(path, &staged);
}

bool SceneManager::CommitScene(const std::string& path, StagedScene& staged) {
    ClearScene();
    name_ = path;
    // Each object is started and joins the scene before the next is made.
    const auto place = [this](GameObject& object) {
        object.Init();
        object.AnnounceComponents();
        objectIds_.push_back(object.GetId());
    };
    SceneLoader* loader = SceneLoader::Instance();
    if (!loader || !loader->MakeScene(staged, place)) {
        staged.Drop();
        return false;
    }
    Overlord* overlord = Overlord::Instance();
    // A child listed under two parents ends under the last one.
    for (const StagedScene::Link& link : staged.ParentLinks()) {
        GameObject* child = overlord && link.first ? overlord->GetGameObject(link.first) : nullptr;
        if (child && link.second && child->GetParent() != link.second) {
            child->DetachFromParent();
            child->SetParent(link.second);
        }
    }
    for (const StagedScene::Link& link : staged.CrawlerBindings()) SplineCrawlerBinding::Bind(link.first, link.second);
    staged.Drop();
    if (owner_) owner_->OnSceneLoaded();
    loaded_ = true;
    return true;
}

void SceneManager::ClearScene() {
    if (ObjectFactory* factory = ObjectFactory::Instance()) factory->ClearArchetypes();
    if (Engine* engine = Engine::Instance()) engine->Clear();
    if (Overlord* overlord = Overlord::Instance()) {
        for (u32 id : objectIds_) overlord->UnregisterGameObject(id);
        // Play objects already gone (expired, destroyed) are skipped without a row.
        for (u32 id : playObjectIds_)
            if (overlord->GetGameObject(id)) overlord->UnregisterGameObject(id);
    }
    objectIds_.clear();
    playObjectIds_.clear();
    livePlayObjects_ = 0;
    MemberBudget::StartScene();
    SceneObjectBudget::NewScene();
    if (owner_) owner_->OnSceneCleared();
    loaded_ = false;
    name_.clear();
}

bool SceneManager::ReloadScene() {
    if (name_.empty()) return false;
    const std::string name = name_;
    return LoadScene(name);
}

void SceneManager::AddObject(u32 objectId, bool flag) {
    objectIds_.push_back(objectId);
    // Counted as the scene's when there is room (objects made by the
    // editor's own commands are not refused).
    if (GameObject* object = Overlord::FindObject(objectId)) object->JoinScene();
    if (owner_) owner_->OnObjectAdded(objectId, flag);
}

void SceneManager::AddPlayObject(u32 objectId) {
    playObjectIds_.push_back(objectId);
    if (playObjectIds_.size() < 2 * livePlayObjects_ + 64) return;
    const Overlord* overlord = Overlord::Instance();
    if (!overlord) return;
    std::erase_if(playObjectIds_, [overlord](u32 id) { return !overlord->GetGameObject(id); });
    livePlayObjects_ = playObjectIds_.size();
}

std::string SceneManager::WriteScene() const {
    return SceneWriter::WriteScene(objectIds_);
}

bool SceneManager::SaveScene(const std::string& path) {
    const std::size_t limit = DataFileLimit();
    std::string file, error;
    std::size_t size = 0;
    SceneLoader* loader = SceneLoader::Instance();
    std::string why;
    // Objects the budgets refused at this scene's load are in its file only: a
    // save over that file, or of this scene under another name, loses them.
    StagedScene::Excess refused = loader ? loader->RefusedObjectsOf(path) : StagedScene::Excess();
    const bool ownFile = refused.count != 0;
    if (!ownFile && loader && !name_.empty()) refused = loader->RefusedObjectsOf(name_);
    if (refused.count != 0)
        error = "cannot write " + path + ": " + (ownFile ? "" : "the scene was loaded from " + name_ + ", and ") +
                std::to_string(refused.count) + " of its objects (the first " + refused.first +
                ") were not loaded, past the scene's bounds on its objects and on what their lists and strings "
                "hold; the save would lose them; nothing was written";
    else if (!SceneWriter::WriteSceneFile(objectIds_, limit, &file, &size))
        error = TooLargeText(path, size, limit);
    else if (loader && !loader->CheckSceneText(file, path, &why))
        error = WouldNotLoadText(path, why);
    else if (WriteWholeFile(path, file, &error))
        return true;
    SceneLoader::Report(kSaveFailureCaption, error);
    return false;
}

void EraseUnordered(std::vector<u32>& ids, u32 id) {
    auto it = std::find(ids.begin(), ids.end(), id);
    if (it == ids.end()) return;
    *it = ids.back();
    ids.pop_back();
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string* error) {
    const std::size_t size = text.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    const std::size_t limit = DataFileLimit();
    if (size > limit) {
        if (error) *error = TooLargeText(path, size, limit);
        return false;
    }
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return WriteWholeFile(path, bytes, error);
}
