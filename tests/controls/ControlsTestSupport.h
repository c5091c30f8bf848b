// Services, an InputSystem fed directly and a GuiSystem for control tests,
// plus a control and a trigger that count what happens to them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/Control.h"
#include "controls/ControlAction.h"
#include "controls/ControlTrigger.h"
#include "controls/GuiSystem.h"
#include "platform/InputSystem.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestServices.h"

// A control that counts its updates and switches and can run code in them.
class ProbeControl : public Control {
public:
    ProbeControl(const char* name, u32 category, std::vector<std::string>* journal = nullptr)
        : Control(name, category), journal_(journal) {}
    ~ProbeControl() override {
        if (onDelete) onDelete();
    }
    void OnActivate() override {
        ++activations;
        Note("activate");
    }
    void OnDeactivate() override {
        ++deactivations;
        Note("deactivate");
    }
    void UpdateActive(float) override {
        ++updates;
        Note("update");
        if (onUpdate) onUpdate();
    }
    void UpdateInactive(float) override {
        ++updates;
        Note("update");
        if (onUpdate) onUpdate();
    }
    void OnMessage(Message*) override { Note("message"); }

    int updates = 0;
    int activations = 0;
    int deactivations = 0;
    std::function<void()> onUpdate;
    std::function<void()> onDelete;

private:
    void Note(const char* what) {
        if (journal_) journal_->push_back(std::string(GetName()) + " " + what);
    }
    std::vector<std::string>* journal_;
};

// A trigger whose answer the test sets; counts the questions and messages.
class SwitchTrigger : public ControlTrigger {
public:
    explicit SwitchTrigger(bool* value, int* asked = nullptr) : value_(value), asked_(asked) {}
    bool IsTriggered() override {
        if (asked_) ++*asked_;
        return *value_;
    }
    ControlTrigger* Clone() const override { return new SwitchTrigger(*this); }
    void HandleMessage(Message*) override { ++messages; }
    int messages = 0;

private:
    bool* value_;
    int* asked_;
};

// An action that records its runs into a journal.
class NoteAction : public ControlAction {
public:
    NoteAction(std::vector<std::string>* journal, std::string text) : journal_(journal), text_(std::move(text)) {}
    bool Execute() override {
        journal_->push_back(text_);
        return true;
    }
    ControlAction* Clone() const override { return new NoteAction(*this); }
    void HandleMessage(Message*) override { journal_->push_back(text_ + " message"); }

private:
    std::vector<std::string>* journal_;
    std::string text_;
};

class ControlsFixture : public ::testing::Test {
protected:
    EngineServices services;
    InputSystem* input = new InputSystem();
    GuiSystem* gui = new GuiSystem();

    void SetUp() override {
        services.engine->AddSystem(input);
        services.engine->AddSystem(gui);
    }
    // One frame of the parts that matter: controls, then the input edges.
    void Frame() {
        gui->Update(0.016f);
        input->Update(0.016f);
    }
    void SetScreen(i32 width, i32 height) { ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, width, height}); }
};
