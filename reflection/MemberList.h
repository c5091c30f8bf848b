// MemberList<T>: what a class's `static void Reflect(MemberList<T>&)` fills
// with its reflected members, each a file key and a member pointer, in the
// order the function lists them (walks then visit them newest first).
// ReflectOnce<T>() runs that function the first time it is called in the
// program (from T's first construction, or from start-up registration for a
// plain structure); later calls do nothing. Main thread only.
#pragma once
#include <bit>
#include <cstddef>
#include <string>
#include <type_traits>

#include "reflection/MetaMemVar.h"

template <class T>
class MemberList {
public:
    // Records `member` under the key `name`; shown: whether panels show it.
    // The member may be declared in a base class of T.
    template <class M, class C>
    void Add(const std::string& name, M C::*member, bool shown = true) {
        static_assert(std::is_base_of_v<C, T>, "a member of T or of one of its bases");
        MetaMemVar<T>::template AddAt<M>(name, OffsetOf<M>(member), shown);
    }

    // The byte offset of the member in a T. g++ and clang follow the Itanium
    // C++ ABI, where a data member pointer holds exactly that offset; the
    // conversion to `M T::*` adds the offset of a base the member lives in.
    template <class M>
    static u32 OffsetOf(M T::*member) {
        static_assert(sizeof member == sizeof(std::ptrdiff_t), "a data member pointer is a byte offset");
        return static_cast<u32>(std::bit_cast<std::ptrdiff_t>(member));
    }
};

// Whether T itself declares Reflect for its own list (a subclass without one
// reflects no members of its own, even when a base class has them).
template <class T>
concept ReflectsMembers = requires(MemberList<T>& list) {
    T::Reflect(list);
};

template <class T>
void ReflectOnce() {
    if constexpr (ReflectsMembers<T>) {
        static const bool reflected = [] {
            MemberList<T> list;
            T::Reflect(list);
            return true;
        }();
        (void)reflected;
    }
}
