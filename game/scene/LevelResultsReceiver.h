// The receiver of a level's results: the front end's results screen
// (FinMenu) implements it, so the gameplay hands results over without
// knowing the front end. At a level end GameLogic calls HandOverLevelResults,
// which gives the record to the receiving system and then shows it. Main
// thread only.
#pragma once
#include "core/Types.h"
#include "game/scene/LevelResults.h"

class LevelResultsReceiver {
public:
    virtual ~LevelResultsReceiver() = default;
    // Copies the record; the receiver is shown afterwards by the caller.
    virtual void ReceiveLevelResults(const LevelResults& results) = 0;
};

// Finds the engine system with receiverTypeId, gives it the results when it
// is a LevelResultsReceiver and activates it (active flag, Activate).
// Without such a system: one log row, false.
bool HandOverLevelResults(u32 receiverTypeId, const LevelResults& results);
