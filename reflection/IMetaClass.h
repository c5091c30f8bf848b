// A reflected class: its name, type id, tweak type and member list. The head
// of a registered class's list is its sentinel record (empty name, NullType),
// so member walks start behind it and visit the members newest first.
// Entries of the MetaRegistry; they live until the program ends.
#pragma once
#include <string>

#include "core/Types.h"
#include "reflection/IMetaMemVar.h"

class IMetaClass {
public:
    virtual IMetaMemVar* FirstMember() const = 0;
    virtual std::string GetName() const = 0;
    virtual u32 GetTypeId() const = 0;
    // Panel type of a whole value of this class (0: one entry per member).
    virtual int GetTweakType() const = 0;
    virtual void SetTweakType(int tweakType) = 0;

protected:
    ~IMetaClass() = default;
};

// The first member of a walk: the record behind the list head.
inline IMetaMemVar* FirstWalkedMember(const IMetaClass& metaClass) {
    IMetaMemVar* head = metaClass.FirstMember();
    return head ? head->Next() : nullptr;
}

// Finds a member by its reflected name (walk order), or null.
inline IMetaMemVar* FindMember(const IMetaClass& metaClass, const std::string& name) {
    for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next())
        if (m->GetName() == name) return m;
    return nullptr;
}
