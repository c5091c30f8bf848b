// The editor entered over the test world, run frame by frame as the engine
// runs it, with key taps (Ctrl held when asked), selection and the
// manipulation settings at hand: the fixture of the move, undo, status-line
// and object-control tests.
#pragma once
#include <algorithm>

#include "editor/move/EditorMoveUndoSystem.h"
#include "editor/proxy/EditorProxySystem.h"
#include "tests/editor/EditorTestWorld.h"

constexpr u32 kCtrl = 0x11, kLeftCtrl = 0xA2, kRightCtrl = 0xA3;
constexpr u32 kKeyW = 0x57, kKeyD = 0x44, kKeyY = 0x59, kKeyZ = 0x5A, kKeyM = 0x4D;

class EditorKeysFixture : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        Enter();
        undo = editor->GetUndoSystem();
        proxies = editor->GetProxySystem();
        recorder->Listen(kMsgMoveRecord);
        RunFrame();
    }
    // One frame as the engine runs it: controls, the Editor, the input edges.
    void RunFrame(float dt = 0.016f) {
        gui->Update(dt);
        editor->Update(dt);
        input->Update(dt);
    }
    // A press and release of the key (with a Ctrl key held when given).
    void Tap(u32 key, u32 ctrl = 0) {
        if (ctrl) {
            input->KeyPressed(kCtrl);
            input->KeyPressed(ctrl);
        }
        input->KeyPressed(key);
        RunFrame();
        input->KeyReleased(key);
        if (ctrl) {
            input->KeyReleased(ctrl);
            input->KeyReleased(kCtrl);
        }
        RunFrame();
    }
    // The object keys on (M: world axes too) and the axis enabled.
    void ObjectKeys(u32 axisKey = kKeyY) {
        Tap(kKeyM);
        if (axisKey) Tap(axisKey);
    }
    void Select(u32 objectId) {
        editor->SelectObject(objectId);
        RunFrame();
    }
    D3DXVECTOR3 World(u32 objectId) const {
        Transform* transform = Object(objectId)->GetComponent<Transform>();
        transform->Update(0.0f);
        return transform->worldPosition;
    }
    size_t Records() const {
        return std::count_if(recorder->rows.begin(), recorder->rows.end(),
                             [](const std::string& row) { return row.rfind("32,13=", 0) == 0; });
    }
    EditorControlState& Settings() { return menu->GetControlState(); }

    EditorMoveUndoSystem* undo = nullptr;
    EditorProxySystem* proxies = nullptr;
};

inline void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, const char* what = "") {
    EXPECT_NEAR(actual.x, expected.x, 1e-4f) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-4f) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-4f) << what;
}
