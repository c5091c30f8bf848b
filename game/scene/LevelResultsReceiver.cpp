#include "game/scene/LevelResultsReceiver.h"

#include "engine/Engine.h"
#include "engine/Logger.h"

bool HandOverLevelResults(u32 receiverTypeId, const LevelResults& results) {
    Engine* engine = Engine::Instance();
    ISystem* system = engine ? engine->GetSystem(receiverTypeId) : nullptr;
    auto* receiver = dynamic_cast<LevelResultsReceiver*>(system);
    if (!receiver) {
        Log("Level end: no results screen to show the results (points %d, lives %d)", results.points, results.lives);
        return false;
    }
    receiver->ReceiveLevelResults(results);
    engine->ActivateSystem(receiverTypeId);
    return true;
}
