#include "scene/SceneManager.h"

#include <algorithm>
#include <map>

#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "engine/SceneSystem.h"
#include "port/os/WholeFileWriter.h"
#include "reflection/SceneWriter.h"
#include "reflection/ValueText.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SplineCrawlerBinding.h"

bool SceneManager::LoadScene(const std::string& path) {
    ClearScene();
    name_ = path;
    return LoadNamed();
}

bool SceneManager::LoadNamed() {
    SceneLoader* loader = SceneLoader::Instance();
    loaded_ = false;
    if (!loader || !loader->LoadScene(name_)) return false;
    if (owner_) owner_->OnSceneLoaded();
    loaded_ = true;
    return true;
}

void SceneManager::ClearScene() {
    if (ObjectFactory* factory = ObjectFactory::Instance()) factory->ClearArchetypes();
    if (Engine* engine = Engine::Instance()) engine->Clear();
    if (Overlord* overlord = Overlord::Instance())
        for (u32 id : objectIds_) overlord->UnregisterGameObject(id);
    objectIds_.clear();
    if (owner_) owner_->OnSceneCleared();
    loaded_ = false;
    name_.clear();
}

bool SceneManager::ReloadScene() {
    if (name_.empty()) return false;
    const std::string name = name_;
    ClearScene();
    name_ = name;
    return LoadNamed();
}

void SceneManager::AddObject(u32 objectId, bool flag) {
    objectIds_.push_back(objectId);
    if (owner_) owner_->OnObjectAdded(objectId, flag);
}

std::string SceneManager::WriteScene() const {
    Overlord* overlord = Overlord::Instance();
    ObjectFactory* factory = ObjectFactory::Instance();
    std::map<std::string, std::vector<std::pair<int, GameObject*>>> groups;
    std::map<u32, int> numbers;   // object id -> save number
    std::map<u32, u32> parents;   // child id -> parent id
    std::map<u32, u32> crawlers;  // crawler object id -> spline object id
    int next = 1000;
    for (u32 id : objectIds_) {
        GameObject* object = overlord ? overlord->GetGameObject(id) : nullptr;
        if (!object || numbers.count(id)) continue;
        numbers[id] = next;
        groups[object->GetArchetypeName()].push_back({next, object});
        ++next;
        if (object->GetParent() != 0) parents[id] = object->GetParent();
        u32 spline = 0;
        if (SplineCrawlerBinding::Find(*object, &spline)) crawlers[id] = spline;
    }
    auto numberOf = [&numbers](u32 id) {
        auto it = numbers.find(id);
        return it == numbers.end() ? 0 : it->second;
    };

    std::string text = "Archetypes = {\n";
    for (const auto& [name, objects] : groups) text += "\t" + value_text::Quote(name) + ",\n";
    text += "}\n\n";
    bool otherNames = false;
    for (const auto& [name, objects] : groups) {
        // A group whose name is no Lua name cannot be a global of its own.
        if (name.empty() || value_text::IsLuaName(name + "Instances")) {
            text += name + "Instances = {\n";
        } else {
            if (!otherNames) text += "InstancesByArchetype = {}\n\n";
            otherNames = true;
            text += "InstancesByArchetype[" + value_text::Quote(name) + "] = {\n";
        }
        GameObject* prototype = name.empty() || !factory ? nullptr : factory->GetArchetype(name);
        for (const auto& [number, object] : objects) {
            // A crawler's link is an object id of this run: the crawler table
            // carries it as a save number, the instance keeps the prototype's.
            u32 link = 0, neutral = 0;
            const bool crawls = SplineCrawlerBinding::Find(*object, &link);
            if (crawls && prototype) SplineCrawlerBinding::Find(*prototype, &neutral);
            if (crawls) SplineCrawlerBinding::SetLink(*object, neutral);
            text += "\t" + SceneWriter::WriteInstance(*object, number, prototype) + ",\n";
            if (crawls) SplineCrawlerBinding::SetLink(*object, link);
        }
        text += "}\n\n";
    }
    text += "ParentChild = {\n";
    for (const auto& [child, parent] : parents)
        text += "\t{ Parent = " + std::to_string(numberOf(parent)) + ", Child = " + std::to_string(numberOf(child)) +
                "},\n";
    text += "}\n\n";
    text += "SplineCrawlers = {\n";
    for (const auto& [crawler, spline] : crawlers)
        text += "\t{ SplineCrawler = " + std::to_string(numberOf(crawler)) +
                ", Spline = " + std::to_string(numberOf(spline)) + "},\n";
    text += "}\n\n";
    return text;
}

bool SceneManager::SaveScene(const std::string& path) {
    std::string error;
    if (WriteTextFile(path, WriteScene(), &error)) return true;
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
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return WriteWholeFile(path, bytes, error);
}
