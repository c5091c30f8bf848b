// The end-of-level results screen. At a level end GameLogic hands it the
// player's results (LevelResultsReceiver) and shows it: it pauses the game,
// hides the pause screen and shows a panel of seven result lines with
// restart, quit and, after a completed level, continue, which loads the next
// level of the built-in sequence. The labels are made once by Init and live
// for the run; the panel, buttons and cursor are made by each showing.
// Created at start-up, owned by the Engine. Main thread only.
#pragma once
#include <string>
#include <vector>

#include "frontend/screens/MenuScreen.h"
#include "game/scene/LevelResultsReceiver.h"

class FinMenu : public MenuScreen, public LevelResultsReceiver {
public:
    static constexpr const char* kLabelFont = "lucon.ttf";

    // Level sequence "Tutorial", "Gold_Level", "Forward_Momentum"; next level
    // index 1; time -1; results 0.
    FinMenu();

    // The level time from Physics, the draw list drawn, the labels written
    // and drawn.
    void Update(float dt) override;
    // The client rectangle kept; a window made taller or shorter while the
    // screen is shown lays it out again.
    void HandleMessage(Message* message) override;
    // Subscribes to the client rectangle, then makes the seven labels.
    void Init() override;
    // Pauses the game's systems, hides the pause screen, builds the screen,
    // switches the glow off.
    void Activate() override;
    // Shows the pause screen again (still paused: the closing control lets
    // the game run), takes the screen down.
    void Deactivate() override;

    void ReceiveLevelResults(const LevelResults& results) override;

    // Called by Continue alone: the next level index moves on by one, up to
    // the last level, unless the game is over. Restart leaves it.
    void AdvanceNextLevel();

    // lives x 10000 + average speed x 396 + points + distance, wrapping as
    // 32-bit integers.
    static i32 TotalScore(const LevelResults& results);
    // The label texts, in the labels' order: total score, time, lives,
    // average speed, distance, health, points.
    static std::vector<std::string> LabelTexts(const LevelResults& results, float time);
    // How far (pixels, y up; 0 or less) the whole screen is moved down in a
    // window of that client rectangle so that the panel's top stays inside
    // it: windows at least 760 pixels high show it where it was designed,
    // shorter ones (800x600, 1280x720) lower.
    static float LayoutShift(const ClientRect& window);
    float GetLayoutShift() const { return shift_; }

    const std::vector<std::string>& GetLevelSequence() const { return levels_; }
    void SetLevelSequence(std::vector<std::string> levels) { levels_ = std::move(levels); }
    u32 GetNextLevelIndex() const { return nextLevel_; }
    const LevelResults& GetResults() const { return results_; }
    float GetTime() const { return time_; }
    const std::vector<u32>& GetDrawList() const { return drawList_; }
    // The label objects' ids in the order of LabelTexts.
    const std::vector<u32>& GetLabels() const { return labels_; }

protected:
    void Build() override;

private:
    // The labels at their heights moved by the shift.
    void PlaceLabels();

    std::vector<u32> drawList_;
    std::vector<u32> labels_;    // objects made by Init, registered for the run
    std::vector<float> labelY_;  // the labels' heights as made, before any shift
    float shift_ = 0.0f;         // LayoutShift of the current showing
    float time_ = -1.0f;
    LevelResults results_;
    std::vector<std::string> levels_ = {"Tutorial", "Gold_Level", "Forward_Momentum"};
    u32 nextLevel_ = 1;
};
