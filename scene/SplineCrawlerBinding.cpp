#include "scene/SplineCrawlerBinding.h"

#include <cstring>

#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "reflection/MetaRegistry.h"

namespace {
constexpr const char* kClassName = "SplineCrawler";
constexpr const char* kMemberName = "splineGameObjectID";

// The crawler class's type id and the byte offset of its spline member.
bool Layout(u32* typeId, u32* offset) {
    MetaRegistry* registry = MetaRegistry::Instance();
    const IMetaClass* metaClass = registry ? registry->GetByName(kClassName) : nullptr;
    const IMetaMemVar* member = metaClass ? FindMember(*metaClass, kMemberName) : nullptr;
    if (!member || member->GetType() != Meta<unsigned>::Get()) return false;
    *typeId = metaClass->GetTypeId();
    *offset = member->GetOffset();
    return true;
}
}  // namespace

bool SplineCrawlerBinding::Find(const GameObject& object, u32* splineObjectId) {
    u32 typeId = 0, offset = 0;
    if (!Layout(&typeId, &offset)) return false;
    const IComponent* crawler = object.GetComponentByTypeId(typeId);
    if (!crawler) return false;
    std::memcpy(splineObjectId, reinterpret_cast<const char*>(crawler) + offset, sizeof(u32));
    return true;
}

void SplineCrawlerBinding::Bind(u32 crawlerObjectId, u32 splineObjectId) {
    u32 typeId = 0, offset = 0;
    Overlord* overlord = Overlord::Instance();
    if (!overlord || !Layout(&typeId, &offset)) return;
    IComponent* crawler = overlord->GetComponent(crawlerObjectId, typeId);
    if (!crawler) return;
    std::memcpy(reinterpret_cast<char*>(crawler) + offset, &splineObjectId, sizeof(u32));
    crawler->Update(0.0f);
}

bool SplineCrawlerBinding::SetLink(GameObject& object, u32 splineObjectId) {
    u32 typeId = 0, offset = 0;
    if (!Layout(&typeId, &offset)) return false;
    IComponent* crawler = object.GetComponentByTypeId(typeId);
    if (!crawler) return false;
    std::memcpy(reinterpret_cast<char*>(crawler) + offset, &splineObjectId, sizeof(u32));
    return true;
}
