// Tweak panels driven through ImGui's input state: window events go in
// through TwEventWin, TwDraw runs the frame, the edits land in the bound
// variables and callbacks. Without a GL context ImGui lays out and takes
// input but draws nothing; the GL test draws for real.
#include "port/panels/TweakPanels.h"
#include "port/panels/TweakPanelsProbe.h"
#include "port/window/PortWindow.h"
#include "port/window/WindowEvent.h"
#include "port/window/WindowTestInput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

WindowEvent Mouse(WindowEventKind kind, float x, float y) {
    WindowEvent e;
    e.kind = kind;
    e.x = static_cast<int32_t>(x);
    e.y = static_cast<int32_t>(y);
    return e;
}

class TweakPanelsDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        TwInspectReset();
        ASSERT_EQ(1, TwInit(TW_OPENGL_CORE, nullptr));
        TwWindowSize(800, 600);
        bar = TwNewBar("Edit");
        TwDefine(" Edit position='0 0' size='400 500' valueswidth=200");
    }
    void TearDown() override {
        TwTerminate();
        TwInspectReset();
    }

    // Two frames so that a new bar has its layout.
    void Settle() {
        TwDraw();
        TwDraw();
    }
    bool Centre(const char* name, float* x, float* y, float dx = 12.0f) {
        float rx, ry, rw, rh;
        if (!TwInspectItemRect(bar, name, &rx, &ry, &rw, &rh)) return false;
        *x = rx + dx;
        *y = ry + rh / 2.0f;
        return true;
    }
    int Click(float x, float y) {
        int handled = TwEventWin(Mouse(WindowEventKind::MouseMove, x, y));
        WindowEvent down = Mouse(WindowEventKind::ButtonDown, x, y);
        handled |= TwEventWin(down);
        TwDraw();
        WindowEvent up = Mouse(WindowEventKind::ButtonUp, x, y);
        EXPECT_EQ(0, TwEventWin(up));  // releases always reach the game
        TwDraw();
        return handled;
    }
    void Type(const std::string& text) {
        for (char c : text) {
            WindowEvent e;
            e.kind = WindowEventKind::Char;
            e.character = static_cast<unsigned char>(c);
            TwEventWin(e);
        }
        TwDraw();
    }
    void Key(uint32_t vk) {
        WindowEvent e;
        e.kind = WindowEventKind::KeyDown;
        e.vk = vk;
        TwEventWin(e);
        TwDraw();
        e.kind = WindowEventKind::KeyUp;
        TwEventWin(e);
        TwDraw();
    }
    void EditField(const char* name, const std::string& text, float dx = 12.0f) {
        float x = 0, y = 0;
        ASSERT_TRUE(Centre(name, &x, &y, dx)) << name;
        Click(x, y);
        Key(0x2E);  // the field selects all on activation; Delete clears it
        Type(text);
        Key(0x0D);
    }

    TwBar* bar = nullptr;
};

TEST_F(TweakPanelsDrawTest, FloatIntAndUnsignedEditedByTyping) {
    float speed = 1.0f;
    int count = 3;
    unsigned id = 7;
    TwAddVarRW(bar, "speed", TW_TYPE_FLOAT, &speed, " label='Speed' ");
    TwAddVarRW(bar, "count", TW_TYPE_INT32, &count, " label='Count' ");
    TwAddVarRW(bar, "id", TW_TYPE_UINT32, &id, "");
    Settle();
    EditField("speed", "2.5");
    EXPECT_FLOAT_EQ(2.5f, speed);
    EditField("count", "-12");
    EXPECT_EQ(-12, count);
    EditField("id", "4000000000");
    EXPECT_EQ(4000000000u, id);
}

// A number field takes what the value text writes and refuses, keeping the
// old value and saying so, what is no number.
TEST_F(TweakPanelsDrawTest, FloatFieldsTakeScientificTextAndRefuseTheRest) {
    static std::vector<std::string> errors;
    TwHandleErrors([](const char* error) { errors.push_back(error); });
    float speed = 1.0f;
    float dir[3] = {1, 2, 3};
    double precise = 1.0;
    TwAddVarRW(bar, "speed", TW_TYPE_FLOAT, &speed, " label='Speed' ");
    TwAddVarRW(bar, "dir", TW_TYPE_DIR3F, dir, "");
    TwAddVarRW(bar, "precise", TW_TYPE_DOUBLE, &precise, "");
    Settle();
    const struct {
        const char* text;
        double value;  // NAN: refused
    } rows[] = {
        {"2e3", 2000},  {"-1.5E-2", -0.015}, {"1e+006", 1e6}, {"1e30", 1e30}, {"+4", 4},      {" 7 ", 7},
        {"1e-3", 1e-3}, {"abc", NAN},        {"", NAN},       {"1e39", NAN},  {"nan", NAN},   {"inf", NAN},
        {"2e", NAN},    {"1,5", NAN},        {"3 4", NAN},    {"-0", 0},      {"0.25", 0.25},
    };
    float last = speed;
    for (const auto& row : rows) {
        errors.clear();
        EditField("speed", row.text);
        const bool refused = std::isnan(row.value);
        EXPECT_FLOAT_EQ(speed, refused ? last : static_cast<float>(row.value)) << row.text;
        EXPECT_EQ(errors.size(), refused ? 1u : 0u) << row.text;
        last = speed;
    }
    EditField("dir", "2e3", 6.0f);
    EXPECT_FLOAT_EQ(2000.0f, dir[0]);
    EditField("dir", "x", 6.0f);
    EXPECT_FLOAT_EQ(2000.0f, dir[0]);
    EXPECT_FLOAT_EQ(2.0f, dir[1]);
    EditField("precise", "1e39");
    EXPECT_DOUBLE_EQ(1e39, precise) << "a double holds it";
    TwHandleErrors(nullptr);
}

TEST_F(TweakPanelsDrawTest, MinAndMaxClampTypedValues) {
    float f = 0.5f;
    TwAddVarRW(bar, "f", TW_TYPE_FLOAT, &f, "min=0 max=1");
    Settle();
    EditField("f", "7");
    EXPECT_FLOAT_EQ(1.0f, f);
}

TEST_F(TweakPanelsDrawTest, CheckboxTogglesBoolAndBool32) {
    bool flag = false;
    float lock = 0.0f;
    TwAddVarRW(bar, "flag", TW_TYPE_BOOLCPP, &flag, "");
    TwAddVarRW(bar, "lock", TW_TYPE_BOOL32, &lock, " label='X-Axis locked' ");
    Settle();
    float x, y;
    ASSERT_TRUE(Centre("flag", &x, &y, 6.0f));
    EXPECT_EQ(1, Click(x, y));
    EXPECT_TRUE(flag);
    ASSERT_TRUE(Centre("lock", &x, &y, 6.0f));
    Click(x, y);
    EXPECT_NE(0.0f, lock);
    Click(x, y);
    EXPECT_EQ(0.0f, lock);
}

TEST_F(TweakPanelsDrawTest, VectorFieldsEditOneComponent) {
    float dir[3] = {1, 2, 3};
    float quat[4] = {0, 0, 0, 1};
    TwAddVarRW(bar, "dir", TW_TYPE_DIR3F, dir, "");
    TwAddVarRW(bar, "quat", TW_TYPE_QUAT4F, quat, "");
    Settle();
    EditField("dir", "9", 6.0f);
    EXPECT_FLOAT_EQ(9.0f, dir[0]);
    EXPECT_FLOAT_EQ(2.0f, dir[1]);
    EditField("quat", "0.5", 6.0f);
    EXPECT_FLOAT_EQ(0.5f, quat[0]);
    EXPECT_FLOAT_EQ(1.0f, quat[3]);
}

struct Named {
    std::string text;
    int sets = 0;
};
void SetName(const void* value, void* client) {
    auto* named = static_cast<Named*>(client);
    named->text = *static_cast<const char* const*>(value);
    ++named->sets;
}
void GetName(void* value, void* client) {
    TwCopyCDStringToLibrary(static_cast<char**>(value), static_cast<Named*>(client)->text.c_str());
}

TEST_F(TweakPanelsDrawTest, CallbackStringAndStdStringEditedOnEnter) {
    Named named{"ship", 0};
    std::string archetype = "old";
    TwAddVarCB(bar, "name", TW_TYPE_CDSTRING, SetName, GetName, &named, " label='name' ");
    TwAddVarRW(bar, "arch", TW_TYPE_STDSTRING, &archetype, "");
    Settle();
    EditField("name", "enemy");
    EXPECT_EQ("enemy", named.text);
    EXPECT_EQ(1, named.sets);  // once, on Enter
    EditField("arch", "new one");
    EXPECT_EQ("new one", archetype);
}

TEST_F(TweakPanelsDrawTest, ReadOnlyEntryIgnoresTyping) {
    unsigned guid = 42;
    TwAddVarRO(bar, "GUID", TW_TYPE_UINT32, &guid, "label='GUID' group=Parenting");
    Settle();
    EditField("GUID", "7");
    EXPECT_EQ(42u, guid);
}

struct Owner {
    TwBar* bar = nullptr;
    int presses = 0;
};
void DeleteOwnBar(void* client) {
    auto* owner = static_cast<Owner*>(client);
    ++owner->presses;
    TwDeleteBar(owner->bar);
}

TEST_F(TweakPanelsDrawTest, ButtonClickRunsAfterFrameAndMayDeleteItsBar) {
    Owner owner{bar, 0};
    TwAddButton(bar, "Delete_5", DeleteOwnBar, &owner, "label='Delete Object'");
    int more = 0;
    TwAddVarRW(bar, "more", TW_TYPE_INT32, &more, "");
    Settle();
    float x, y;
    ASSERT_TRUE(Centre("Delete_5", &x, &y));
    Click(x, y);
    EXPECT_EQ(1, owner.presses);
    EXPECT_TRUE(TwInspectBarNames().empty());
    TwDraw();  // nothing left to draw, nothing freed twice
    EXPECT_EQ(1, owner.presses);
}

void DeleteAllBars(void* client) {
    ++*static_cast<int*>(client);
    TwDeleteAllBars();
}

TEST_F(TweakPanelsDrawTest, ButtonDeletingAllBarsDropsOtherPendingEdits) {
    int presses = 0;
    TwAddButton(bar, "Clear", DeleteAllBars, &presses, "");
    TwBar* other = TwNewBar("Other");
    (void)other;
    Settle();
    float x, y;
    ASSERT_TRUE(Centre("Clear", &x, &y));
    Click(x, y);
    EXPECT_EQ(1, presses);
    EXPECT_TRUE(TwInspectBarNames().empty());
}

TEST_F(TweakPanelsDrawTest, GroupsNestAndHideTheirEntriesWhenClosed) {
    int a = 1, b = 2;
    TwAddVarRW(bar, "a", TW_TYPE_INT32, &a, "group=Outer");
    TwAddVarRW(bar, "b", TW_TYPE_INT32, &b, "group=Inner");
    TwDefine(" Edit/Inner group=Outer label='Inner group' ");
    TwDefine(" Edit/Outer opened=false ");
    Settle();
    EXPECT_FALSE(TwInspectItemRect(bar, "a", nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(TwInspectItemRect(bar, "b", nullptr, nullptr, nullptr, nullptr));
}

TEST_F(TweakPanelsDrawTest, EventsOverAPanelAreHandledElsewhereNot) {
    int v = 0;
    TwAddVarRW(bar, "v", TW_TYPE_INT32, &v, "");
    Settle();
    EXPECT_EQ(1, Click(50, 50));
    EXPECT_EQ(0, Click(700, 550));
    TwDefine(" Edit visible=false ");
    Settle();
    EXPECT_EQ(0, Click(50, 50));
}

TEST_F(TweakPanelsDrawTest, TypingGoesToThePanelOnlyWhileAFieldIsEdited) {
    float f = 0;
    TwAddVarRW(bar, "f", TW_TYPE_FLOAT, &f, "");
    Settle();
    WindowEvent key;
    key.kind = WindowEventKind::KeyDown;
    key.vk = 0x41;
    EXPECT_EQ(0, TwEventWin(key));
    float x, y;
    ASSERT_TRUE(Centre("f", &x, &y));
    Click(x, y);
    EXPECT_EQ(1, TwEventWin(key));
    WindowEvent c;
    c.kind = WindowEventKind::Char;
    c.character = '5';
    EXPECT_EQ(1, TwEventWin(c));
    // A click into the game ends the edit: keys are the game's again.
    EXPECT_EQ(0, Click(700, 550));
    EXPECT_EQ(0, TwEventWin(key));
}

// A button click leaves no field active; Tab then must not move the panel's
// focus into a text field that would keep the editor's keys (Home, Delete)
// until the next click in the view.
TEST_F(TweakPanelsDrawTest, TabAfterAButtonClickLeavesTheKeysToTheGame) {
    int presses = 0;
    TwAddButton(
        bar, "Press", [](void* n) { ++*static_cast<int*>(n); }, &presses, "");
    float f = 0;
    TwAddVarRW(bar, "f", TW_TYPE_FLOAT, &f, "");
    Settle();
    float x, y;
    ASSERT_TRUE(Centre("Press", &x, &y));
    Click(x, y);
    ASSERT_EQ(1, presses);
    WindowEvent key;
    key.kind = WindowEventKind::KeyDown;
    for (uint32_t vk : {0x09u, 0x24u, 0x2Eu}) {  // Tab, Home, Delete
        key.vk = vk;
        EXPECT_EQ(0, TwEventWin(key)) << vk;
        TwDraw();
    }
    Type("7");
    Key(0x0D);
    EXPECT_EQ(0.0f, f);
}

void DeleteEverythingWhileDrawn(void* value, void*) {
    *static_cast<int*>(value) = 1;
    TwDeleteAllBars();
}

TEST_F(TweakPanelsDrawTest, GetCallbackDeletingBarsDuringDrawIsSurvived) {
    TwAddVarCB(bar, "odd", TW_TYPE_INT32, nullptr, DeleteEverythingWhileDrawn, nullptr, "");
    int later = 0;
    TwAddVarRW(bar, "later", TW_TYPE_INT32, &later, "");
    TwNewBar("Second");
    TwDraw();
    TwDraw();
    EXPECT_TRUE(TwInspectBarNames().empty());
}

class TweakPanelsGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        window = PortWindow::Create("Q4nto", 320, 240, &error);
        ASSERT_TRUE(window) << error;
        ASSERT_TRUE(TestMakeGLContext());
        TwInspectReset();
    }
    void TearDown() override {
        TwTerminate();
        TwInspectReset();
        TestDestroyGLContext();
        window.reset();
    }
    std::unique_ptr<PortWindow> window;
};

TEST_F(TweakPanelsGLTest, DrawsBarsOverTheFrame) {
    ASSERT_EQ(1, TwInit(TW_OPENGL_CORE, nullptr));
    EXPECT_TRUE(TwInspectDrawsWithGl());
    TwWindowSize(320, 240);
    TwBar* bar = TwNewBar("Panel");
    TwDefine(" Panel position='0 0' size='200 200' color='200 40 40' alpha=255");
    float v = 1;
    TwAddVarRW(bar, "v", TW_TYPE_FLOAT, &v, "");
    unsigned char pixel[4] = {};
    for (int frame = 0; frame < 2; ++frame) {
        TestClearFrame(0, 0, 0);
        TwDraw();
    }
    ASSERT_TRUE(TestReadPixel(100, 150, pixel));
    EXPECT_GT(pixel[0] + pixel[1] + pixel[2], 0);  // the bar's background
    ASSERT_TRUE(TestReadPixel(300, 230, pixel));
    EXPECT_EQ(0, pixel[0] + pixel[1] + pixel[2]);  // outside every bar
}

}  // namespace
