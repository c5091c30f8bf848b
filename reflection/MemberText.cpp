#include "reflection/MemberText.h"

#include "reflection/IMetaClass.h"

std::string MemberText::WriteFull(const IMetaClass& metaClass, const void* object) {
    std::string text = "{ ";
    for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next())
        text += m->ToString(static_cast<const char*>(object) + m->GetOffset()) + ", ";
    return text + " }";
}

std::string MemberText::WriteDifferences(const IMetaClass& metaClass, const void* object, const void* reference) {
    bool equal = true;
    for (IMetaMemVar* m = FirstWalkedMember(metaClass); m && equal; m = m->Next()) equal = m->Equals(object, reference);
    if (equal) return "";
    std::string text;
    for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next())
        text += m->ToStringIfDifferent(object, reference);
    return text.empty() ? text : "{" + text + "}";
}
