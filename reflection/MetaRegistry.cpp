#include "reflection/MetaRegistry.h"

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
}
