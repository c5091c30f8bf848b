#include "engine/SceneObjectBudget.h"

#include "engine/Logger.h"

bool SceneObjectBudget::Admit(u64 count, const std::string& who) {
    if (budget_.Fits(count)) return true;
    if (budget_.FirstRefusal())
        Log("Scene objects: %.160s would take the scene past %llu objects (%llu held); it is not made, nor is any "
            "other until some are gone or the scene is cleared",
            who.c_str(), static_cast<unsigned long long>(kMaxObjects),
            static_cast<unsigned long long>(budget_.InUse()));
    return false;
}
