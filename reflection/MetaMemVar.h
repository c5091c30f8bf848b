// MetaMemVar<T>: one reflected member of class T, and also a metaclass of T,
// so the sentinel record can stand for the class in the registry. Records are
// made once per (class, member), normally by the class's first construction,
// and live until the program ends (reachable from the class's list head).
// A record is prepended to T's list; once T is registered, new records go
// right behind the sentinel instead, so walks still see every member, newest
// first. Main thread only.
#pragma once
#include <string>

#include "reflection/MemberRecord.h"
#include "reflection/Meta.h"
#include "reflection/MetaClass.h"
#include "reflection/NullType.h"

template <class T>
class MetaMemVar : public MetaClass<T, MetaMemVar<T>>, public MemberRecord {
    using Class = MetaClass<T, MetaMemVar<T>>;

public:
    MetaMemVar(std::string name, u32 offset, const IMeta* type, bool shown = true)
        : MemberRecord(std::move(name), offset, type, shown) {
        if (Class::sentinel_) {
            next_ = Class::sentinel_->next_;
            Class::sentinel_->next_ = this;
        } else {
            next_ = Class::head_;
            Class::head_ = this;
        }
    }

    // Registers `member` of `self` (from T's constructor on its first run);
    // the offset is taken from the live object.
    template <class M>
    static MetaMemVar* Add(const std::string& name, const T* self, const M& member, bool shown = true) {
        const auto offset = reinterpret_cast<const char*>(&member) - reinterpret_cast<const char*>(self);
        return new MetaMemVar(name, static_cast<u32>(offset), Meta<M>::Get(), shown);
    }
    // Registers a member of type M at a known byte offset.
    template <class M>
    static MetaMemVar* AddAt(const std::string& name, u32 offset, bool shown = true) {
        return new MetaMemVar(name, offset, Meta<M>::Get(), shown);
    }

    // Completes T's reflection: the sentinel (made once, then kept), the name
    // and the type id. Returns the sentinel, which stands for the class.
    static IMetaClass* Complete(const std::string& name, u32 typeId) {
        if (!Class::sentinel_) {
            Class::sentinel_ = new MetaMemVar("", 0, Meta<NullType>::Get());
            Class::head_ = Class::sentinel_;
        }
        Class::name_ = name;
        Class::typeId_ = typeId;
        return Class::sentinel_;
    }
};
