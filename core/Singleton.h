// One global instance pointer per class. Engine-wide services derive from
// Singleton<T>: the object's constructor sets the pointer and its destructor
// clears it, so Instance() is null before creation and after destruction.
// Get() is for code that cannot run without the service (a missing one stops
// the program, naming it); Instance() for code where absence is legitimate
// (teardown, tools, tests of one class). The program entry owns every such
// object (created at start-up, destroyed in reverse order). Main thread only.
#pragma once
#include <string_view>

// Stops the program: the service named is used while it does not exist.
[[noreturn]] void MissingService(std::string_view name);

template <class T>
class Singleton {
public:
    static T* Instance() { return instance_; }
    static T& Get() {
        if (instance_ == nullptr) [[unlikely]]
            MissingService(Name());
        return *instance_;
    }
    static void ClearInstance() { instance_ = nullptr; }

    // T's name as the compiler spells it ("MessageHub").
    static constexpr std::string_view Name() {
        // g++: "... [with T = MessageHub; ...]", clang: "... [T = MessageHub]".
        constexpr std::string_view function = __PRETTY_FUNCTION__;
        constexpr std::size_t start = function.find("T = ") + 4;
        return function.substr(start, function.find_first_of(";]", start) - start);
    }

protected:
    // The cast runs while T is not (or no longer) fully built, which is sound
    // for the pointer adjustment but trips the sanitizer's dynamic-type check.
    __attribute__((no_sanitize("vptr"))) Singleton() { instance_ = static_cast<T*>(this); }
    __attribute__((no_sanitize("vptr"))) ~Singleton() {
        if (instance_ == static_cast<T*>(this)) instance_ = nullptr;
    }
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

private:
    static inline T* instance_ = nullptr;
};
