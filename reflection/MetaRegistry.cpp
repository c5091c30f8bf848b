#include "reflection/MetaRegistry.h"

#include "core/ClassNameLookup.h"

namespace {
const char* LookUpClassName(u32 typeId) {
    MetaRegistry* registry = MetaRegistry::Instance();
    IMetaClass* metaClass = registry ? registry->GetByTypeId(typeId) : nullptr;
    return metaClass ? registry->NameText(typeId) : nullptr;
}
}  // namespace

MetaRegistry::MetaRegistry() {
    SetClassNameLookup(&LookUpClassName);
}

MetaRegistry::~MetaRegistry() {
    if (Instance() == this) SetClassNameLookup(nullptr);
}

const char* MetaRegistry::NameText(u32 typeId) const {
    auto it = names_.find(typeId);
    return it == names_.end() ? nullptr : it->second.c_str();
}

IMetaClass* MetaRegistry::GetByName(const std::string& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

IMetaClass* MetaRegistry::GetByTypeId(u32 typeId) const {
    auto it = byTypeId_.find(typeId);
    return it == byTypeId_.end() ? nullptr : it->second;
}

void MetaRegistry::Enter(const std::string& name, u32 typeId, IMetaClass* metaClass) {
    byName_[name] = metaClass;
    byTypeId_[typeId] = metaClass;
    names_[typeId] = name;
}
