#include "core/IdCounter.h"

u32 NewId() {
    if (IdCounter* c = IdCounter::Instance()) return c->Draw();
    static IdCounter* fallback = [] {
        static IdCounter counter(1);
        IdCounter::ClearInstance();  // the fallback never becomes the global one
        return &counter;
    }();
    return fallback->Draw();
}
