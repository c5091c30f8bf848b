// TypeId<T>::Get(): the type id of class T, drawn from the id counter the first
// time it is asked for and constant afterwards, so type ids follow first use.
#pragma once
#include "core/IdCounter.h"

template <class T>
struct TypeId {
    static u32 Get() {
        if (id_ == 0) id_ = NewId();
        return id_;
    }
    // Tests only: forget the drawn id so a fresh counter can hand it out again.
    static void ResetForTest() { id_ = 0; }

private:
    static inline u32 id_ = 0;
};
