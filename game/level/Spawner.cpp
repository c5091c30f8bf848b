#include "game/level/Spawner.h"

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "core/ClassNameLookup.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/level/SpawnBudget.h"
#include "port/os/FileCase.h"
#include "reflection/MemberBudget.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"

namespace {

// Whether the archetype's file is in the "arch" folder. Names the loader
// would refuse (empty, with a folder, too long) count as missing.
bool ArchetypeFileExists(const std::string& name) {
    const DevozizuDave* folders = DevozizuDave::Instance();
    if (!folders || !SceneLoader::IsArchetypeName(name)) return false;
    const std::string found = FindFileFoldingCase(folders->arch.GetFullPath(name));
    std::error_code error;
    return !found.empty() && std::filesystem::is_regular_file(found, error);
}

// The MemberBudget count (one a scene) whose refused spawn was logged.
u32 budgetRowScene = 0;

}  // namespace

void Spawner::Reflect(MemberList<Spawner>& members) {
    members.Add("archetype", &Spawner::archetype);
    members.Add("triggerCode", &Spawner::triggerCode);
}

void Spawner::Init() {
    Subscribe(kMsgTriggerCode);
}

void Spawner::Shutdown() {
    Unsubscribe(kMsgTriggerCode);
    ReportRefusals();
}

void Spawner::Refuse(const char* reason, const char* format, ...) {
    const auto counted = refusals_.find(std::string_view(reason));
    if (counted != refusals_.end()) {
        ++counted->second;
        return;
    }
    refusals_.emplace(reason, 1);
    char row[300] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(row, sizeof row, format, args);
    va_end(args);
    Log("%s", row);
}

void Spawner::ReportRefusals() {
    for (const auto& [reason, count] : refusals_)
        if (count > 1)
            Log("%s %u on object %u: %s: %llu refused spawns in this level", GetClassName(GetTypeId()).c_str(), GetId(),
                GetOwner(), reason.c_str(), static_cast<unsigned long long>(count));
    refusals_.clear();
}

bool Spawner::IsOwnCode(const Message& message) const {
    const i32* code = message.Read(kMsgTriggerCode);
    return code && *code == triggerCode;
}

void Spawner::HandleMessage(Message* message) {
    if (IsOwnCode(*message)) Spawn();
}

u32 Spawner::CreateObject(bool addToScene) {
    ObjectFactory* factory = ObjectFactory::Instance();
    if (!factory) return 0;
    if (!factory->GetArchetype(archetype)) {
        if (archetype == missingArchetype_) return 0;
        if (!ArchetypeFileExists(archetype)) {
            Log("Spawner %u on object %u: archetype \"%s\" is not loaded and has no file; nothing is spawned", GetId(),
                GetOwner(), archetype.c_str());
            missingArchetype_ = archetype;
            return 0;
        }
    }
    if (!SpawnBudget::Take(GetClassName(GetTypeId()).c_str(), GetOwner())) return 0;
    const u32 objectId = factory->Instantiate(archetype, addToScene);
    SpawnBudget::Made(objectId);
    if (objectId == 0 && factory->GetArchetype(archetype)) {
        // Loaded, yet not made: the object would pass the scene's budget of
        // reflected lists and strings. Told once a scene, as it may repeat
        // every trigger until objects are gone.
        if (budgetRowScene != MemberBudget::Current().scene)
            Log("Spawner %u on object %u: archetype \"%s\" is loaded, but its object would take what the scene's "
                "reflected lists and strings hold past their budget; nothing is spawned, and later such refusals are "
                "not logged until the scene is cleared",
                GetId(), GetOwner(), archetype.c_str());
        budgetRowScene = MemberBudget::Current().scene;
    } else if (objectId == 0) {
        Log("Spawner %u on object %u: archetype \"%s\" could not be loaded; nothing is spawned", GetId(), GetOwner(),
            archetype.c_str());
        missingArchetype_ = archetype;
    }
    return objectId;
}

void Spawner::Spawn() {
    const u32 objectId = CreateObject(false);
    Transform* placed = Overlord::FindComponent<Transform>(objectId);
    Transform* own = Overlord::FindComponent<Transform>(GetOwner());
    if (!placed || !own) return;
    own->Update(0.0f);
    placed->SetWorldPosition(own->worldPosition);
    placed->SetWorldRotation(own->GetWorldRotation());
    placed->Update(0.0f);
}
