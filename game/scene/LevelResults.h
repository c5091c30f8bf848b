// The player's results at the end of a level, as GameLogic hands them to
// the results screen: the ship's points and lives, the carrier's average
// speed and distance (truncated toward zero), the ship's health, and whether
// the game is over (no lives left) or the level was completed. A plain
// value, copied by the receiver.
#pragma once
#include "core/Types.h"

struct LevelResults {
    i32 points = 0;
    i32 lives = 0;
    i32 averageSpeed = 0;  // units per second
    i32 distance = 0;      // units along the track
    i32 health = 0;
    bool gameOver = false;
};
