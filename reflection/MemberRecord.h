// The part of a member record that does not depend on its class: name, byte
// offset, next record, value descriptor, shown flag, and every member
// operation. MetaMemVar<T> adds the class side (the list of T it belongs to).
// Records live until the program ends. Main thread only.
#pragma once
#include <string>

#include "reflection/IMetaMemVar.h"

class MemberRecord : public IMetaMemVar {
public:
    u32 GetOffset() const override { return offset_; }
    IMetaMemVar* Next() const override { return next_; }
    const std::string& GetName() const override { return name_; }
    std::string ToString(const void* member) const override;
    std::string ToStringIfDifferent(const void* a, const void* b) const override;
    void ReadFromLua(void* object, lua_State* L) const override;
    void AddToTweakBar(void* object, TwBar* bar, TweakVarParams& params, const std::string& prefix) const override;
    bool Equals(const void* a, const void* b) const override;
    const IMeta* GetType() const override { return type_; }
    bool IsShown() const override { return shown_; }

protected:
    MemberRecord(std::string name, u32 offset, const IMeta* type, bool shown)
        : name_(std::move(name)), offset_(offset), type_(type), shown_(shown) {}
    ~MemberRecord() = default;

    MemberRecord* next_ = nullptr;

private:
    std::string name_;
    u32 offset_;
    const IMeta* type_;
    bool shown_;
};
