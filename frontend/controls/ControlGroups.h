// The GUI control groups of the front end: the GuiSystem updates a control
// only while its group is enabled, so these numbers decide which screen's
// buttons respond. Every group starts enabled; group 0 cannot be switched.
// After start-up the pause buttons, both back-button groups and group 9 are
// disabled (by the pause, controls, credits and options screens' Init).
#pragma once
#include "core/Types.h"

namespace ControlGroup {
// Cursors, the options screen's setting buttons, the game's keys and mouse.
constexpr u32 kAlways = 0;
// The pause screen's buttons.
constexpr u32 kPauseButtons = 3;
// The Esc key that pauses and resumes the game.
constexpr u32 kPauseKey = 4;
// The results screen's buttons.
constexpr u32 kResultsButtons = 5;
// The start screen's buttons.
constexpr u32 kStartButtons = 6;
// Back buttons of the controls, credits and options screens returning to the start screen.
constexpr u32 kBackToStart = 7;
// Back buttons of the controls and options screens returning to the pause screen.
constexpr u32 kBackToPause = 8;
// Holds nothing; disabled by the options screen's Init and never enabled.
constexpr u32 kUnused = 9;
}  // namespace ControlGroup
