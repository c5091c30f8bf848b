// Draws the tweak panels with Dear ImGui and feeds ImGui the window's input.
// Created by TwInit (GL drawing when a GL context is current, otherwise
// ImGui runs without drawing, for tests), destroyed by TwTerminate. Records
// where each bar and entry was drawn so events over a panel can be kept from
// the game. Main thread only.
#pragma once

#include "port/panels/ImGuiInput.h"
#include "port/panels/TweakPanelLibrary.h"
#include "port/window/WindowEvent.h"

#include <imgui.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct ImGuiContext;

class TweakPanelRenderer {
public:
    struct Rect {
        float x = 0, y = 0, w = 0, h = 0;
        bool Contains(float px, float py) const { return px >= x && py >= y && px < x + w && py < y + h; }
    };

    // The live renderer, or null before TwInit / after TwTerminate.
    static TweakPanelRenderer* Get();
    static bool Create();
    static void Destroy();

    // One frame: input applied, every visible bar laid out (and drawn with GL
    // when available), then the library's deferred work.
    void Draw();
    // Returns true when the panels use the event.
    bool Event(const WindowEvent& event);

    bool ItemRect(uint64_t barSerial, const std::string& name, Rect* out) const;
    // The part of the entry a click edits (see TwInspectItemFieldRect).
    bool FieldRect(uint64_t barSerial, const std::string& name, Rect* out) const;
    // True when the entry's widget was active (held or being edited) in the last frame.
    bool Held(uint64_t barSerial, const std::string& name) const;
    bool BarRect(uint64_t barSerial, Rect* out) const;
    // The part of the bar that shows its entries (no title, no frame).
    bool InnerRect(uint64_t barSerial, Rect* out) const;
    bool HasGl() const { return glReady_; }

private:
    TweakPanelRenderer() = default;
    ~TweakPanelRenderer();
    // DrawBar works on a copy, and the functions below it on parts of that
    // copy: get callbacks may change or delete the live bar.
    void DrawBar(TweakPanelLibrary::Bar bar, int index);
    void ApplyPlacement(const TweakPanelLibrary::Bar& bar, int index);
    float FitValuesWidth(const TweakPanelLibrary::Bar& bar);
    void KeepRightEdges(float width);
    void DrawEntries(const TweakPanelLibrary::Bar& bar);
    void DrawVar(uint64_t barSerial, const TweakPanelLibrary::Var& var);
    void DrawButton(uint64_t barSerial, const TweakPanelLibrary::Var& var, const std::string& label);
    // Where the last ImGui item was drawn (fieldWidth: see EditValue; 0 for
    // the whole item), whether it is active, and its help text on hover.
    void RecordItem(uint64_t barSerial, const TweakPanelLibrary::Var& var, float fieldWidth = 0.0f);
    bool OverPanel(float x, float y) const;

    ImGuiContext* context_ = nullptr;
    bool glReady_ = false;
    double lastTime_ = 0.0;
    ImGuiInput input_;
    // Layout of the last frame, for hit tests and the test inspection.
    std::map<uint64_t, Rect> barRects_;
    std::map<uint64_t, Rect> innerRects_;
    std::map<std::pair<uint64_t, std::string>, Rect> itemRects_;
    std::map<std::pair<uint64_t, std::string>, Rect> fieldRects_;
    std::set<std::pair<uint64_t, std::string>> heldItems_;
    // The window width of the last frame and the bars to move in this one.
    float shownWidth_ = 0.0f;
    std::map<uint64_t, ImVec2> moves_;
    // Typed texts refused by a number field, shown under it until it takes one.
    std::map<std::pair<uint64_t, std::string>, std::string> refused_;
    // Bar placement parameters last applied, to apply definitions made later.
    std::map<uint64_t, std::string> appliedPlacement_;
};
