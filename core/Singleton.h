// One global instance pointer per class. Engine-wide services derive from
// Singleton<T>: the object's constructor sets the pointer and its destructor
// clears it, so Instance() is null before creation and after destruction.
// The program entry owns every such object (created at start-up, destroyed in
// reverse order). Main thread only.
#pragma once

template <class T>
class Singleton {
public:
    static T* Instance() { return instance_; }
    static void ClearInstance() { instance_ = nullptr; }

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
