// Everything of reflection that talks to the tweak panels: the panel entries
// of the scalar, struct and member descriptors and the helpers they share.
#include "reflection/TweakBinding.h"

#include "core/LogSink.h"
#include "port/panels/TweakPanels.h"
#include "reflection/IMetaClass.h"
#include "reflection/Meta.h"
#include "reflection/MetaMemVar.h"
#include "reflection/TweakVarParams.h"

std::string MakeTweakDefinition(const TweakVarParams& params, const std::string& label) {
    std::string def;
    if (!label.empty()) def += " label='" + label + "' ";
    if (params.group.set) def += "  group=" + params.group.value + " ";
    if (params.help.set) def += " help='" + params.help.value + "' ";
    return def;
}

void StdStringSetCallback(const void* value, void* clientData) {
    const char* text = *static_cast<const char* const*>(value);
    *static_cast<std::string*>(clientData) = text ? text : "";
}

void StdStringGetCallback(void* value, void* clientData) {
    TwCopyCDStringToLibrary(static_cast<char**>(value), static_cast<std::string*>(clientData)->c_str());
}

void AddMembersToTweakBar(const IMetaClass& metaClass, void* object, TwBar* bar, TweakVarParams& params,
                          const std::string& prefix) {
    for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next()) m->AddToTweakBar(object, bar, params, prefix);
}

void OnTweakBarError(const char* message) {
    SinkLog("anttweakbar error: %s", message ? message : "");
}

namespace {
// The labelled read-write entry of the numeric scalars and of whole structs.
void AddReadWrite(void* value, TwBar* bar, const std::string& name, TweakVarParams& params, const std::string& suffix,
                  int type, const std::string& label) {
    TwAddVarRW(bar, (name + suffix).c_str(), type, value, MakeTweakDefinition(params, label).c_str());
}
}  // namespace

void Meta<int>::AddToTweakBar(void* value, TwBar* bar, const std::string& name, TweakVarParams& params,
                              const std::string& suffix) const {
    AddReadWrite(value, bar, name, params, suffix, GetTweakType(), name);
}

void Meta<unsigned>::AddToTweakBar(void* value, TwBar* bar, const std::string& name, TweakVarParams& params,
                                   const std::string& suffix) const {
    AddReadWrite(value, bar, name, params, suffix, GetTweakType(), name);
}

void Meta<float>::AddToTweakBar(void* value, TwBar* bar, const std::string& name, TweakVarParams& params,
                                const std::string& suffix) const {
    AddReadWrite(value, bar, name, params, suffix, GetTweakType(), name);
}

// Unlabelled: the panel shows the entry's unique name.
void Meta<bool>::AddToTweakBar(void* value, TwBar* bar, const std::string& name, TweakVarParams& params,
                               const std::string& suffix) const {
    AddReadWrite(value, bar, name, params, suffix, GetTweakType(), "");
}

void Meta<std::string>::AddToTweakBar(void* value, TwBar* bar, const std::string& name, TweakVarParams& params,
                                      const std::string& suffix) const {
    TwAddVarCB(bar, (name + suffix).c_str(), TW_TYPE_CDSTRING, &StdStringSetCallback, &StdStringGetCallback, value,
               MakeTweakDefinition(params, name).c_str());
}

void Meta<NullType>::AddToTweakBar(void*, TwBar*, const std::string&, TweakVarParams&, const std::string&) const {}

void StructMeta::AddToTweakBar(void* value, TwBar* bar, const std::string& name, TweakVarParams& params,
                               const std::string& suffix) const {
    const IMetaClass* c = Class();
    if (!c) return;
    if (c->GetTweakType() != 0)
        AddReadWrite(value, bar, name, params, suffix, c->GetTweakType(), name);
    else
        AddMembersToTweakBar(*c, value, bar, params, name + suffix);
}

void MemberRecord::AddToTweakBar(void* object, TwBar* bar, TweakVarParams& params, const std::string& prefix) const {
    if (!IsShown()) return;
    GetType()->AddToTweakBar(static_cast<char*>(object) + GetOffset(), bar, prefix + "." + GetName(), params, "");
}
