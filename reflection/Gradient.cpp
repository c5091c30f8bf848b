#include "reflection/Gradient.h"

#include "reflection/MetaMemVar.h"

void Gradient::Reflect() {
    static const bool built = [] {
        Gradient g;
        MetaMemVar<Gradient>::Add("StartVal", &g, g.StartVal);
        MetaMemVar<Gradient>::Add("EndVal", &g, g.EndVal);
        return true;
    }();
    (void)built;
}
