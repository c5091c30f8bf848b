// The engine system that owns every Control and updates them once a frame:
// category 2 (always) first, then a captured control alone, else category 0
// (capturing: the first active one takes the capture) and category 1;
// groups 1 to 9 can be switched off. Keeps the window's client rectangle and
// copies of the renderer's view and projection matrices for the controls.
// Controls may be added or removed while the pass runs: a removed control
// leaves its list at once but is deleted only at the start of the next pass
// (or with the system), so a running control is never freed under itself.
// Created at start-up, deleted by the Engine. Main thread only.
#pragma once

#include <map>
#include <vector>

#include "core/Types.h"
#include "engine/ISystem.h"
#include "port/math/D3DXMatrix.h"
#include "port/window/WindowEvent.h"

class Control;

class GuiSystem : public ISystem {
public:
    static constexpr u32 kGroupCount = 10;
    static constexpr u32 kCategoryCount = 3;

    GuiSystem();
    // Deletes every control it holds.
    ~GuiSystem() override;

    void HandleMessage(Message* message) override;
    void Update(float dt) override;

    // Takes ownership. Null, a control already held and a category outside
    // 0 to 2 are refused (a refused new control is deleted, with a log row).
    void AddControl(Control* control);
    // Takes the control out of its list and the id map; deleted at the start
    // of the next Update. An id not held changes nothing.
    void RemoveControl(u32 id);
    // The message-hub resolver of control subscriptions.
    static IMessaging* ResolveControl(u32 id);

    Control* FindControl(u32 id) const;
    bool IsGroupEnabled(u32 group) const { return group < kGroupCount && groups_[group]; }
    Control* GetCaptured() const { return captured_; }
    const ClientRect& GetScreenRect() const { return screenRect_; }
    const D3DXMATRIX& GetViewMatrix() const { return view_; }
    const D3DXMATRIX& GetProjectionMatrix() const { return projection_; }
    u32 GetCameraId() const { return cameraId_; }
    // Controls of a category in list order (null entries may stand for removed ones).
    const std::vector<Control*>& GetControls(u32 category) const { return lists_[category % kCategoryCount]; }

private:
    void SetGroup(u32 group, int how);  // how: 0 toggle, 1 enable, 2 disable
    // Visits list positions in order, dropping null entries by moving the last
    // element in; the list may grow or lose entries during the visit.
    template <class Visit>
    void Walk(u32 category, Visit visit);
    void Compact(std::vector<Control*>& list);
    void DeleteRemoved();

    D3DXMATRIX projection_;
    D3DXMATRIX view_;
    ClientRect screenRect_;
    std::vector<Control*> lists_[kCategoryCount];
    bool groups_[kGroupCount];
    std::map<u32, Control*> byId_;
    u32 cameraId_ = 0;
    Control* captured_ = nullptr;
    std::vector<Control*> removed_;  // out of every list, deleted at the next pass
    int walking_ = 0;                // > 0 while a pass visits a list
};
