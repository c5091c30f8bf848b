// MetaClass<T, MV>: the reflected class T. Name, type id, member list head and
// sentinel are shared by the whole class (one copy per T); the tweak type
// belongs to each object, and the registry's entry for T is T's sentinel
// record, so the tweak type set through the registry is the sentinel's.
// Main thread only; the shared data is set during start-up registration.
#pragma once
#include <string>

#include "reflection/IMetaClass.h"

template <class T, class MV>
class MetaClass : public IMetaClass {
public:
    IMetaMemVar* FirstMember() const override { return head_; }
    std::string GetName() const override { return name_; }
    u32 GetTypeId() const override { return typeId_; }
    int GetTweakType() const override { return tweakType_; }
    void SetTweakType(int tweakType) override { tweakType_ = tweakType; }

protected:
    static inline MV* head_ = nullptr;      // newest record (the sentinel once registered)
    static inline MV* sentinel_ = nullptr;  // null until the class is registered
    static inline std::string name_;
    static inline u32 typeId_ = 0;

private:
    int tweakType_ = 0;
};
