// Meta<T>: the one descriptor of value type T (Meta<T>::Get()). Scalars (int,
// unsigned, float, bool, std::string), the sentinel's NullType, containers
// (std::vector, std::deque), fixed arrays and struct or pointer types, whose
// class is found in the MetaRegistry by TypeId<T>. Static objects made on
// first use, never deleted. Main thread only.
#pragma once
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/TypeId.h"
#include "reflection/DataError.h"
#include "reflection/IMeta.h"
#include "reflection/LuaRead.h"
#include "reflection/MemberBudget.h"
#include "reflection/NullType.h"
#include "reflection/StructMeta.h"

// Struct types: everything through the class registered under TypeId<T>.
template <class T>
class Meta final : public StructMeta {
public:
    static Meta* Get() {
        static Meta instance;
        return &instance;
    }
    u32 GetTypeId() const override { return TypeId<T>::Get(); }
};

// Of the scalars only strings hold bytes beyond their own size.
template <class T>
inline constexpr bool kHoldsBytes = std::is_same_v<T, std::string>;
template <class T>
u64 ScalarHeldBytes(const void* value) {
    if constexpr (kHoldsBytes<T>) return static_cast<const std::string*>(value)->size();
    return 0;
}
template <class T>
u64 ScalarLuaBytes(lua_State* L) {
    if constexpr (kHoldsBytes<T>) return lua_read::StringLength(L);
    return 0;
}

#define DD_DECLARE_SCALAR_META(T)                                                                    \
    template <>                                                                                      \
    class Meta<T> final : public IMeta {                                                             \
    public:                                                                                          \
        static Meta* Get() {                                                                         \
            static Meta instance;                                                                    \
            return &instance;                                                                        \
        }                                                                                            \
        std::string GetName() const override;                                                        \
        u32 GetTypeId() const override { return TypeId<T>::Get(); }                                  \
        std::string ToString(const void* value) const override;                                      \
        void FromLua(void* value, lua_State* L) const override;                                      \
        int GetTweakType() const override;                                                           \
        void AddToTweakBar(void* value, TwBar* bar, const std::string& name, TweakVarParams& params, \
                           const std::string& suffix) const override;                                \
        bool Equals(const void* a, const void* b) const override;                                    \
        u64 HeldBytes(const void* value) const override { return ScalarHeldBytes<T>(value); }        \
        u64 LuaBytes(lua_State* L) const override { return ScalarLuaBytes<T>(L); }                   \
        bool IsCounted() const override { return kHoldsBytes<T>; }                                   \
        /* Values whose texts are the same (floats apart below the six digits written) are */        \
        /* no difference: what is read back of the text is the reference's value.           */       \
        std::string ToStringIfDifferent(const void* a, const void* b) const override {               \
            if (Equals(a, b)) return std::string();                                                  \
            std::string text = ToString(a);                                                          \
            return text == ToString(b) ? std::string() : text;                                       \
        }                                                                                            \
    };

DD_DECLARE_SCALAR_META(int)
DD_DECLARE_SCALAR_META(unsigned)
DD_DECLARE_SCALAR_META(float)
DD_DECLARE_SCALAR_META(bool)
DD_DECLARE_SCALAR_META(std::string)
DD_DECLARE_SCALAR_META(NullType)
#undef DD_DECLARE_SCALAR_META

// Pointer types: written and compared as struct types of the pointer's own
// type id; elements of this kind cannot be read (no class is registered for
// them), so a container of pointers reads only from an empty table.
template <class T>
class Meta<T*> final : public StructMeta {
public:
    static Meta* Get() {
        static Meta instance;
        return &instance;
    }
    u32 GetTypeId() const override { return TypeId<T*>::Get(); }
    void FromLua(void*, lua_State*) const override {
        throw DataError(": values of type " + PointerName() + " cannot be read");
    }

private:
    // "T*" for messages: no class is registered under a pointer type, so the
    // pointee's name comes from the compiler's signature text.
    static std::string PointerName() {
        const std::string_view signature = __PRETTY_FUNCTION__;
        const std::size_t at = signature.find("T = ");
        if (at == std::string_view::npos) return "pointer";
        const std::size_t from = at + 4;
        const std::size_t to = signature.find_first_of(";]", from);
        return std::string(signature.substr(from, to == std::string_view::npos ? to : to - from)) + "*";
    }
};

// std::vector and std::deque: "{ a, b, }", never equal, always written whole.
template <class C>
class SequenceMeta : public IMeta {
    using E = typename C::value_type;

public:
    u32 GetTypeId() const override { return TypeId<C>::Get(); }
    std::string ToString(const void* value) const override {
        std::string text = "{ ";
        for (const E& e : *static_cast<const C*>(value)) text += Meta<E>::Get()->ToString(&e) + ", ";
        return text + "}";
    }
    // nil keeps the container; otherwise it becomes the table's values, in
    // lua_next order. A bad element leaves the container as it was. Each
    // element is charged to the scene's MemberBudget before it is made.
    void FromLua(void* value, lua_State* L) const override {
        C read;
        if (lua_read::ForEachValue(L, GetName(), static_cast<std::size_t>(-1), &ReadElement, &read))
            *static_cast<C*>(value) = std::move(read);
    }
    int GetTweakType() const override { return 0; }
    void AddToTweakBar(void* value, TwBar* bar, const std::string& name, TweakVarParams& params,
                       const std::string& suffix) const override {
        std::size_t i = 0;
        for (E& e : *static_cast<C*>(value)) {
            const std::string index = "[" + std::to_string(i++) + "]";
            Meta<E>::Get()->AddToTweakBar(&e, bar, name + suffix, params, index);
        }
    }
    bool Equals(const void*, const void*) const override { return false; }
    std::string ToStringIfDifferent(const void* a, const void*) const override { return ToString(a); }
    u64 HeldBytes(const void* value) const override {
        const C& sequence = *static_cast<const C*>(value);
        u64 bytes = sequence.size() * sizeof(E);
        if constexpr (!std::is_arithmetic_v<E> && !std::is_pointer_v<E>)
            for (const E& e : sequence) bytes += Meta<E>::Get()->HeldBytes(&e);
        return bytes;
    }
    u64 LuaBytes(lua_State* L) const override { return lua_read::TableLength(L) * sizeof(E); }
    bool IsCounted() const override { return true; }

protected:
    ~SequenceMeta() = default;

private:
    static void ReadElement(void* context, lua_State* L, std::size_t) {
        MemberBudget::ChargeRead(sizeof(E));
        E element{};
        Meta<E>::Get()->FromLua(&element, L);
        static_cast<C*>(context)->push_back(std::move(element));
    }
};

template <class E>
class Meta<std::vector<E>> final : public SequenceMeta<std::vector<E>> {
public:
    static Meta* Get() {
        static Meta instance;
        return &instance;
    }
    std::string GetName() const override { return "std::vector"; }
};

template <class E>
class Meta<std::deque<E>> final : public SequenceMeta<std::deque<E>> {
public:
    static Meta* Get() {
        static Meta instance;
        return &instance;
    }
    std::string GetName() const override { return "std::deque"; }
};

// Fixed arrays: "{a, b, c, d, e, }"; read from the first N table values.
template <class E, std::size_t N>
class Meta<E[N]> final : public IMeta {
public:
    static Meta* Get() {
        static Meta instance;
        return &instance;
    }
    std::string GetName() const override { return Meta<E>::Get()->GetName() + "[" + std::to_string(N) + "]"; }
    u32 GetTypeId() const override { return TypeId<E[N]>::Get(); }
    std::string ToString(const void* value) const override {
        const E* elements = static_cast<const E*>(value);
        std::string text = "{";
        for (std::size_t i = 0; i < N; ++i) text += Meta<E>::Get()->ToString(&elements[i]) + ", ";
        return text + "}";
    }
    // Values beyond the first N are ignored; elements beyond the values given
    // keep theirs.
    void FromLua(void* value, lua_State* L) const override {
        lua_read::ForEachValue(L, GetName(), N, &ReadElement, value);
    }
    int GetTweakType() const override { return Meta<E>::Get()->GetTweakType(); }
    void AddToTweakBar(void* value, TwBar* bar, const std::string& name, TweakVarParams& params,
                       const std::string& suffix) const override {
        E* elements = static_cast<E*>(value);
        for (std::size_t i = 0; i < N; ++i)
            Meta<E>::Get()->AddToTweakBar(&elements[i], bar, name + suffix, params, "[" + std::to_string(i) + "]");
    }
    bool Equals(const void*, const void*) const override { return false; }
    std::string ToStringIfDifferent(const void* a, const void*) const override { return ToString(a); }
    u64 HeldBytes(const void* value) const override {
        u64 bytes = 0;
        if constexpr (!std::is_arithmetic_v<E>)
            for (std::size_t i = 0; i < N; ++i) bytes += Meta<E>::Get()->HeldBytes(&static_cast<const E*>(value)[i]);
        return bytes;
    }

private:
    static void ReadElement(void* context, lua_State* L, std::size_t index) {
        Meta<E>::Get()->FromLua(&static_cast<E*>(context)[index], L);
    }
};
