#include "controls/GuiSystem.h"

#include <algorithm>

#include "controls/Control.h"
#include "engine/Engine.h"
#include "engine/Logger.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"

class Camera;

GuiSystem::GuiSystem() : ISystem(TypeId<GuiSystem>::Get()) {
    SetName("GuiSystem");
    std::fill(std::begin(groups_), std::end(groups_), true);
    Subscribe(ComponentAnnounced(TypeId<Camera>::Get()));
    Subscribe(kMsgClientRect);
    Subscribe(kMsgViewMatrix);
    Subscribe(kMsgProjectionMatrix);
    Subscribe(kMsgToggleGroup);
    Subscribe(kMsgDisableGroup);
    Subscribe(kMsgEnableGroup);
}

GuiSystem::~GuiSystem() {
    captured_ = nullptr;
    std::map<u32, Control*> held;
    held.swap(byId_);
    for (auto& list : lists_) list.clear();
    for (auto& [id, control] : held) delete control;
    DeleteRemoved();
}

IMessaging* GuiSystem::ResolveControl(u32 id) {
    Engine* engine = Engine::Instance();
    if (!engine) return nullptr;
    GuiSystem* gui = engine->GetSystem<GuiSystem>();
    return gui ? gui->FindControl(id) : nullptr;
}

Control* GuiSystem::FindControl(u32 id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

void GuiSystem::AddControl(Control* control) {
    if (!control) return;
    auto existing = byId_.find(control->GetId());
    if (existing != byId_.end()) {
        // The same control handed over twice stays once; another object under
        // a held id would be a second owner of that id: refuse it.
        if (existing->second != control) {
            Log("GuiSystem: control id %u is already held; refused", control->GetId());
            delete control;
        }
        return;
    }
    if (std::find(removed_.begin(), removed_.end(), control) != removed_.end()) return;
    const u32 category = control->GetCategory();
    if (category >= kCategoryCount) {
        Log("GuiSystem: control %u (%s) has category %u; refused", control->GetId(),
            control->GetName() ? control->GetName() : "", category);
        delete control;
        return;
    }
    lists_[category].push_back(control);
    byId_[control->GetId()] = control;
}

void GuiSystem::RemoveControl(u32 id) {
    auto it = byId_.find(id);
    if (it == byId_.end()) return;
    Control* control = it->second;
    byId_.erase(it);
    for (auto& list : lists_) {
        auto pos = std::find(list.begin(), list.end(), control);
        if (pos == list.end()) continue;
        if (walking_ > 0) {
            *pos = nullptr;  // the walk drops it when it gets there
        } else {
            *pos = list.back();
            list.pop_back();
        }
        break;
    }
    if (captured_ == control) captured_ = nullptr;
    removed_.push_back(control);
}

void GuiSystem::DeleteRemoved() {
    std::vector<Control*> doomed;
    doomed.swap(removed_);
    for (Control* control : doomed) delete control;
}

void GuiSystem::Compact(std::vector<Control*>& list) {
    for (size_t i = 0; i < list.size();) {
        if (list[i]) {
            ++i;
            continue;
        }
        list[i] = list.back();
        list.pop_back();
    }
}

template <class Visit>
void GuiSystem::Walk(u32 category, Visit visit) {
    std::vector<Control*>& list = lists_[category];
    ++walking_;
    for (size_t i = 0; i < list.size();) {
        Control* control = list[i];
        if (!control) {
            list[i] = list.back();
            list.pop_back();
            continue;  // the same position again
        }
        if (!visit(control)) break;
        ++i;
    }
    --walking_;
}

void GuiSystem::Update(float dt) {
    DeleteRemoved();

    // 1. Always-controls.
    Walk(Control::kCategoryAlways, [&](Control* control) {
        if (IsGroupEnabled(control->GetGroup())) control->Update(dt);
        return true;
    });

    // 2. A captured control has the input to itself.
    if (captured_) {
        Control* control = captured_;
        ++walking_;
        control->Update(dt);
        --walking_;
        // The control may have been removed meanwhile (captured_ is then null).
        if (captured_ == control && !control->IsActive()) captured_ = nullptr;
    } else {
        // 3. Capturing controls: the first active one takes the capture.
        Walk(Control::kCategoryCapturing, [&](Control* control) {
            if (IsGroupEnabled(control->GetGroup())) control->Update(dt);
            // Removed during its own update: it can no longer capture.
            if (FindControl(control->GetId()) == control && control->IsActive()) {
                captured_ = control;
                return false;
            }
            return true;
        });
        // 4. Normal controls, while nothing is captured.
        if (!captured_) {
            Walk(Control::kCategoryNormal, [&](Control* control) {
                if (IsGroupEnabled(control->GetGroup())) control->Update(dt);
                return !captured_;
            });
        }
    }

    for (auto& list : lists_) Compact(list);
}

void GuiSystem::SetGroup(u32 group, int how) {
    if (group == 0 || group >= kGroupCount) return;
    groups_[group] = how == 0 ? !groups_[group] : how == 1;
}

void GuiSystem::HandleMessage(Message* message) {
    if (!message) return;
    if (message->Is(kMsgAddControl)) {
        void* const* control = message->Read(kMsgAddControl);
        AddControl(control ? static_cast<Control*>(*control) : nullptr);
    } else if (const u32* id = message->Read(kMsgRemoveControl)) {
        RemoveControl(*id);
    } else if (const u32* toggled = message->Read(kMsgToggleGroup)) {
        SetGroup(*toggled, 0);
    } else if (const u32* enabled = message->Read(kMsgEnableGroup)) {
        SetGroup(*enabled, 1);
    } else if (const u32* disabled = message->Read(kMsgDisableGroup)) {
        SetGroup(*disabled, 2);
    } else if (const u32* camera = message->Read(ComponentAnnounced(TypeId<Camera>::Get()))) {
        cameraId_ = *camera;
    } else if (const ClientRect* rect = message->Read(kMsgClientRect)) {
        screenRect_ = *rect;
    } else if (const D3DXMATRIX* const* view = message->Read(kMsgViewMatrix)) {
        if (*view) view_ = **view;
    } else if (const D3DXMATRIX* const* projection = message->Read(kMsgProjectionMatrix)) {
        if (*projection) projection_ = **projection;
    }
}
