#include "reflection/MemberBudget.h"

#include "reflection/IMetaClass.h"
#include "reflection/MetaRegistry.h"

MemberBudget::Reading::Reading() : outer_(reading_) {
    reading_ = this;
}

MemberBudget::Reading::~Reading() {
    reading_ = outer_;
    current_.used -= charged_ < current_.used ? charged_ : current_.used;
    // What an inner reading charged was given back as it closed.
}

void MemberBudget::Reading::Prepay(u64 bytes) {
    if (!Fits(bytes)) throw Exceeded();
    current_.used += bytes;
    charged_ += bytes;
    prepaid_ += bytes;
}

void MemberBudget::ChargeRead(u64 bytes) {
    if (!reading_) return;
    const u64 prepaid = bytes < reading_->prepaid_ ? bytes : reading_->prepaid_;
    reading_->prepaid_ -= prepaid;
    bytes -= prepaid;
    if (bytes == 0) return;
    if (!Fits(bytes)) throw Exceeded();
    current_.used += bytes;
    reading_->charged_ += bytes;
}

u64 MemberBudget::Measure(const IMetaClass& metaClass, const void* object) {
    u64 bytes = 0;
    const char* base = static_cast<const char*>(object);
    for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next())
        bytes += m->GetType()->HeldBytes(base + m->GetOffset());
    return bytes;
}

u64 MemberBudget::Measure(u32 typeId, const void* object) {
    const MetaRegistry* registry = MetaRegistry::Instance();
    const IMetaClass* metaClass = registry ? registry->GetByTypeId(typeId) : nullptr;
    return metaClass ? Measure(*metaClass, object) : 0;
}

bool MemberBudget::Fits(u64 bytes) {
    return bytes <= kSceneBytes && current_.used <= kSceneBytes - bytes;
}

void MemberBudget::Hold(Held& held, u64 bytes) {
    GiveBack(held);
    held = {current_.scene, bytes};
    current_.used += bytes;
}

void MemberBudget::GiveBack(Held& held) {
    if (held.scene == current_.scene) current_.used -= held.bytes < current_.used ? held.bytes : current_.used;
    held = {};
}

void MemberBudget::StartScene() {
    current_ = {++lastScene_, 0};
}

MemberBudget::Count MemberBudget::Stage() {
    const Count previous = current_;
    StartScene();
    return previous;
}

MemberBudget::Count MemberBudget::Unstage(const Count& previous) {
    const Count staged = current_;
    current_ = previous;
    return staged;
}

void MemberBudget::Adopt(const Count& count) {
    current_ = count;
}
