#include "scene/SceneWriter.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <utility>

#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "reflection/IMetaClass.h"
#include "reflection/MemberText.h"
#include "reflection/MetaRegistry.h"
#include "reflection/ValueText.h"
#include "scene/ObjectFactory.h"
#include "scene/SplineCrawlerBinding.h"

namespace {
const IMetaClass* ClassOf(const IComponent& component) {
    MetaRegistry* registry = MetaRegistry::Instance();
    return registry ? registry->GetByTypeId(component.GetTypeId()) : nullptr;
}

// A file's text as it is made, piece by piece, with "\n" or CR LF line
// ends. Counts the bytes it would have; past `limit` it keeps nothing more
// (and lets go of what it held), so an oversized file is measured, not built.
class FileText {
public:
    FileText(bool crlf, std::size_t limit) : crlf_(crlf), limit_(limit) {}
    FileText& operator+=(const std::string& piece) {
        const std::size_t lines = crlf_ ? static_cast<std::size_t>(std::count(piece.begin(), piece.end(), '\n')) : 0;
        size_ += piece.size() + lines;
        if (size_ > limit_) {
            std::string().swap(text_);
            return *this;
        }
        if (lines == 0) {
            text_ += piece;
            return *this;
        }
        for (char c : piece) {
            if (c == '\n') text_ += '\r';
            text_ += c;
        }
        return *this;
    }
    bool Fits() const { return size_ <= limit_; }
    std::size_t Size() const { return size_; }
    std::string& Text() { return text_; }

private:
    std::string text_;
    bool crlf_;
    std::size_t limit_;
    std::size_t size_ = 0;
};

void WriteSceneText(const std::vector<u32>& objectIds, FileText& text);

// While it lives, the object's Transform (when `world` is set) holds its
// world position, rotation and scale as its own, to be written as the place
// of an object without a parent; the local values come back after. The
// world values are those of the last Update when the parent is gone.
class WorldPlacementWritten {
public:
    WorldPlacementWritten(GameObject& object, bool world)
        : transform_(world ? object.GetComponent<Transform>() : nullptr) {
        if (!transform_) return;
        position_ = transform_->position;
        rotation_ = transform_->rotation;
        scale_ = transform_->scale;
        transform_->Update(0.0f);
        transform_->position = transform_->worldPosition;
        transform_->rotation = transform_->worldRotation;
        transform_->scale = transform_->worldScale;
    }
    ~WorldPlacementWritten() {
        if (!transform_) return;
        transform_->position = position_;
        transform_->rotation = rotation_;
        transform_->scale = scale_;
    }
    WorldPlacementWritten(const WorldPlacementWritten&) = delete;
    WorldPlacementWritten& operator=(const WorldPlacementWritten&) = delete;

private:
    Transform* transform_;
    D3DXVECTOR3 position_{0, 0, 0};
    D3DXQUATERNION rotation_{0, 0, 0, 1};
    float scale_ = 1.0f;
};
}  // namespace

std::string SceneWriter::WriteScene(const std::vector<u32>& objectIds) {
    FileText text(false, std::numeric_limits<std::size_t>::max());
    WriteSceneText(objectIds, text);
    return std::move(text.Text());
}

bool SceneWriter::WriteSceneFile(const std::vector<u32>& objectIds, std::size_t limit, std::string* file,
                                 std::size_t* size) {
    FileText text(true, limit);
    WriteSceneText(objectIds, text);
    if (size) *size = text.Size();
    if (file) *file = text.Fits() ? std::move(text.Text()) : std::string();
    return text.Fits();
}

namespace {
void WriteSceneText(const std::vector<u32>& objectIds, FileText& text) {
    Overlord* overlord = Overlord::Instance();
    ObjectFactory* factory = ObjectFactory::Instance();
    std::map<std::string, std::vector<std::pair<int, GameObject*>>> groups;
    std::map<u32, int> numbers;    // object id -> save number
    std::map<u32, u32> parentIds;  // child id -> parent id
    std::map<u32, u32> splineIds;  // crawler object id -> spline object id
    for (u32 id : objectIds) {
        GameObject* object = overlord ? overlord->GetGameObject(id) : nullptr;
        if (!object || numbers.count(id)) continue;
        numbers[id] = 0;
        groups[object->GetArchetypeName()].push_back({0, object});
        if (object->GetParent() != 0) parentIds[id] = object->GetParent();
        u32 spline = 0;
        if (SplineCrawlerBinding::Find(*object, &spline)) splineIds[id] = spline;
    }
    // A link to an object the file does not hold would name nothing on the
    // next load: it is left out, and its child written where it stands.
    std::set<u32> unlinked;
    for (const auto& [child, parent] : parentIds)
        if (!numbers.count(parent)) unlinked.insert(child);
    // Numbered in the order they are written, which is the order a load
    // gives them back: a scene read and saved again keeps its numbers.
    int next = 1000;
    for (auto& [name, objects] : groups)
        for (auto& [number, object] : objects) {
            number = next++;
            numbers[object->GetId()] = number;
        }
    auto numberOf = [&numbers](u32 id) {
        auto it = numbers.find(id);
        return it == numbers.end() ? 0 : it->second;
    };
    // The link tables go by the first object's number, not its id: ids of a
    // new scene follow the order objects were made, a loaded one's the order
    // they were written, and the file is the same either way.
    std::map<int, int> parents;   // child number -> parent number
    std::map<int, int> crawlers;  // crawler object number -> spline object number
    for (const auto& [child, parent] : parentIds)
        if (!unlinked.count(child)) parents[numberOf(child)] = numberOf(parent);
    // Likewise a crawler bound to no object of the file (or to none) has no
    // row: its instance says it is bound to nothing.
    std::set<u32> linked;
    for (const auto& [crawler, spline] : splineIds)
        if (numbers.count(spline)) {
            crawlers[numberOf(crawler)] = numberOf(spline);
            linked.insert(crawler);
        }

    text += "Archetypes = {\n";
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
            // carries it as a save number, the instance keeps the prototype's
            // (0 when the table carries none).
            u32 link = 0, neutral = 0;
            const bool crawls = SplineCrawlerBinding::Find(*object, &link);
            if (crawls && prototype && linked.count(object->GetId())) SplineCrawlerBinding::Find(*prototype, &neutral);
            if (crawls) SplineCrawlerBinding::SetLink(*object, neutral);
            {
                const WorldPlacementWritten placed(*object, unlinked.count(object->GetId()) != 0);
                text += "\t" + SceneWriter::WriteInstance(*object, number, prototype) + ",\n";
            }
            if (crawls) SplineCrawlerBinding::SetLink(*object, link);
        }
        text += "}\n\n";
    }
    text += "ParentChild = {\n";
    for (const auto& [child, parent] : parents)
        text += "\t{ Parent = " + std::to_string(parent) + ", Child = " + std::to_string(child) + "},\n";
    text += "}\n\n";
    text += "SplineCrawlers = {\n";
    for (const auto& [crawler, spline] : crawlers)
        text += "\t{ SplineCrawler = " + std::to_string(crawler) + ", Spline = " + std::to_string(spline) + "},\n";
    text += "}\n\n";
}
}  // namespace

std::string SceneWriter::WriteInstance(const GameObject& object, int number, const GameObject* prototype) {
    const std::vector<IComponent*>& components = object.GetComponents();
    // The first component of each type that another component stands in for.
    std::vector<const IComponent*> standIns;
    for (IComponent* component : components) {
        const u32 alias = component->GetAliasTypeId();
        if (alias == 0) continue;
        for (IComponent* other : components)
            if (other->GetTypeId() == alias) {
                standIns.push_back(other);
                break;
            }
    }
    // In class-name order, the order a load gives components back: a new
    // object's file is the same after it is loaded and saved again.
    std::vector<std::pair<const IMetaClass*, IComponent*>> named;
    for (IComponent* component : components)
        if (const IMetaClass* metaClass = ClassOf(*component)) named.push_back({metaClass, component});
    std::stable_sort(named.begin(), named.end(),
                     [](const auto& a, const auto& b) { return a.first->GetName() < b.first->GetName(); });
    std::string text = "{SceneGUID = " + std::to_string(number) + ", ";
    for (const auto& [metaClass, component] : named) {
        const IComponent* reference = prototype ? prototype->GetComponentByTypeId(component->GetTypeId()) : nullptr;
        if (!reference) {
            bool standIn = false;
            for (const IComponent* s : standIns) standIn = standIn || s == component;
            if (!standIn) text += metaClass->GetName() + " = " + MemberText::WriteFull(*metaClass, component) + ", ";
            continue;
        }
        const std::string differences = MemberText::WriteDifferences(*metaClass, component, reference);
        if (!differences.empty()) text += metaClass->GetName() + " = " + differences + ", ";
    }
    return text + "}";
}

std::string SceneWriter::WriteArchetype(const GameObject& object) {
    std::vector<IComponent*> written = object.GetComponents();
    for (IComponent* component : object.GetComponents()) {
        const u32 alias = component->GetAliasTypeId();
        if (alias == 0) continue;
        for (IComponent*& other : written)
            if (other->GetTypeId() == alias) {
                other = written.back();
                written.pop_back();
                break;
            }
    }
    std::string text;
    for (IComponent* component : written) {
        const IMetaClass* metaClass = ClassOf(*component);
        if (!metaClass) continue;
        text += metaClass->GetName() + " = " + MemberText::WriteFull(*metaClass, component) + "\n\n";
    }
    return text;
}
