// Binding of reflected values to the tweak panels: the definition text of one
// entry, the callbacks of std::string entries, the member walk that puts a
// whole object on a panel, and the panels' error handler. Main thread only.
#pragma once
#include <string>

#include "reflection/IMeta.h"

class IMetaClass;
struct TweakVarParams;

// " label='x' " + "  group=G " + " help='h' ", each part only when given.
std::string MakeTweakDefinition(const TweakVarParams& params, const std::string& label);

// value: the panel's text (a const char* behind the pointer); client: the std::string.
void StdStringSetCallback(const void* value, void* clientData);
// value: the panel's string slot, filled with a copy of the std::string's text.
void StdStringGetCallback(void* value, void* clientData);

// One entry (or more) per shown member, in walk order, named prefix.member.
void AddMembersToTweakBar(const IMetaClass& metaClass, void* object, TwBar* bar, TweakVarParams& params,
                          const std::string& prefix);

// Logs "anttweakbar error: %s" through the log sink.
void OnTweakBarError(const char* message);
