// Reads one reflected member of another object's component by class and
// member name (the keys of the data files), for the few values combat reads
// from components whose classes it does not include (a MysteryBox's
// rewards). Main thread only.
#pragma once
#include <cstring>

#include "core/Types.h"
#include "engine/Overlord.h"
#include "reflection/IMetaClass.h"
#include "reflection/IMetaMemVar.h"
#include "reflection/Meta.h"
#include "reflection/MetaRegistry.h"

// The object's component of class `className`, or null (also when the class
// is not registered).
inline IComponent* FindComponentByClass(u32 objectId, const char* className) {
    const MetaRegistry* registry = MetaRegistry::Instance();
    const IMetaClass* metaClass = registry ? registry->GetByName(className) : nullptr;
    Overlord* overlord = Overlord::Instance();
    return (metaClass && overlord) ? overlord->GetComponent(objectId, metaClass->GetTypeId()) : nullptr;
}

// The member `member` of a component of class `className` into out; false
// (out untouched) when the class has no member of that name and type T.
// Offsets count from the start of the class, where its component base lies
// (components derive along one line of bases).
template <class T>
bool ReadReflectedMember(const IComponent& component, const char* className, const char* member, T& out) {
    const MetaRegistry* registry = MetaRegistry::Instance();
    const IMetaClass* metaClass = registry ? registry->GetByName(className) : nullptr;
    if (!metaClass || metaClass->GetTypeId() != component.GetTypeId()) return false;
    const IMetaMemVar* var = FindMember(*metaClass, member);
    if (!var || var->GetType() != Meta<T>::Get()) return false;
    std::memcpy(&out, reinterpret_cast<const char*>(&component) + var->GetOffset(), sizeof(T));
    return true;
}
