// Component<T, Base>: the base every component class T derives from (Base is
// IComponent, or the component class T extends). It gives T its type id, the
// registration of T's reflected members on the first construction (T's public
// `static void Reflect(MemberList<T>&)`, when T declares one) and Clone as a
// copy made by T's copy constructor: the defaulted one copies every member
// under a new id, type id kept, no owner, enabled. A class whose clone must
// differ writes its own copy constructor and says why there. Main thread only.
#pragma once
#include "core/TypeId.h"
#include "engine/IComponent.h"
#include "reflection/MemberList.h"

template <class T, class Base = IComponent>
class Component : public Base {
public:
    IComponent* Clone() override { return new T(static_cast<const T&>(*this)); }

protected:
    // The type id is asked for before IComponent draws the new id, so a
    // class's first instance gets the id after its type id.
    Component() : Base(TypeId<T>::Get()) { ReflectOnce<T>(); }
    // For a component class that others extend: the subclass's type id.
    explicit Component(u32 typeId) : Base(typeId) { ReflectOnce<T>(); }
    Component(const Component&) = default;
};
