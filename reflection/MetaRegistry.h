// The registry of reflected classes, by class name and by type id. One for the
// run (global instance pointer), made third at start-up; filled during
// start-up and read afterwards. It owns neither the classes nor their member
// records (those live until the program ends). Main thread only.
#pragma once
#include <map>
#include <string>

#include "core/Singleton.h"
#include "core/TypeId.h"
#include "reflection/MetaMemVar.h"

class MetaRegistry : public Singleton<MetaRegistry> {
public:
    // Installs itself as the engine's class-name lookup (log rows name
    // component classes through it); the destructor removes it.
    MetaRegistry();
    ~MetaRegistry();

    // Completes T's reflection (sentinel, name, type id) and enters T under
    // both keys; an entry under the same key is replaced. Registering T again
    // keeps its one sentinel.
    template <class T>
    IMetaClass* Register(const std::string& name) {
        IMetaClass* metaClass = MetaMemVar<T>::Complete(name, TypeId<T>::Get());
        Enter(name, TypeId<T>::Get(), metaClass);
        return metaClass;
    }

    // Null when nothing is registered under the key.
    IMetaClass* GetByName(const std::string& name) const;
    IMetaClass* GetByTypeId(u32 typeId) const;

    // The name registered under typeId as a text that stays valid while the
    // entry does; null when none.
    const char* NameText(u32 typeId) const;
    // Class names in byte order (tests, tools).
    const std::map<std::string, IMetaClass*>& ByName() const { return byName_; }

private:
    void Enter(const std::string& name, u32 typeId, IMetaClass* metaClass);

    std::map<std::string, IMetaClass*> byName_;
    std::map<u32, IMetaClass*> byTypeId_;
    std::map<u32, std::string> names_;  // stable texts for the class-name lookup
};
