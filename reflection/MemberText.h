// The text of a reflected structure or component in data files: its full form
// and its differences against a reference. Members are written in walk order
// (newest registered first). Stateless; main thread only.
#pragma once
#include <string>

class IMetaClass;

class MemberText {
public:
    // "{ name = value, ...,  }"; a class without members gives "{  }".
    static std::string WriteFull(const IMetaClass& metaClass, const void* object);
    // "{name = value, }" with only the members that differ (nested
    // structures in their own differences form); "" when all are equal.
    static std::string WriteDifferences(const IMetaClass& metaClass, const void* object, const void* reference);
};
