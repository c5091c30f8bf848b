#include "port/panels/TweakPanels.h"
#include "port/panels/TweakPanelsProbe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class TweakPanelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TwInspectReset();
        errors.clear();
        TwHandleErrors(&TweakPanelsTest::OnError);
    }
    void TearDown() override { TwInspectReset(); }
    static void OnError(const char* message) { errors.push_back(message); }
    static std::vector<std::string> errors;
};
std::vector<std::string> TweakPanelsTest::errors;

std::string Read(TwBar* bar, const char* name) {
    std::string text;
    EXPECT_TRUE(TwInspectReadValue(bar, name, &text)) << name;
    return text;
}

TEST_F(TweakPanelsTest, VariableDefinitionLabelGroupHelpParsed) {
    TwBar* bar = TwNewBar("Selected");
    float speed = 2.5f;
    ASSERT_EQ(1, TwAddVarRW(bar, "P.speed", TW_TYPE_FLOAT, &speed,
                            " label='P.speed'   group=Movement  help='How fast it goes' "));
    TweakVarInfo info;
    ASSERT_TRUE(TwInspectVar(bar, "P.speed", &info));
    EXPECT_EQ("P.speed", info.label);
    EXPECT_EQ("Movement", info.group);
    EXPECT_EQ("How fast it goes", info.help);
    EXPECT_EQ(TW_TYPE_FLOAT, info.type);
    EXPECT_EQ(&speed, info.address);
    EXPECT_EQ("2.5", Read(bar, "P.speed"));
    // Capitalised keys are accepted ("Group='Options'").
    ASSERT_EQ(1, TwAddButton(bar, "Save", nullptr, nullptr, "Group='Options'"));
    ASSERT_TRUE(TwInspectVar(bar, "Save", &info));
    EXPECT_EQ("Options", info.group);
    EXPECT_TRUE(errors.empty());
}

TEST_F(TweakPanelsTest, BarDefinitionsPositionSizeValuesWidthAndGlobal) {
    TwBar* bar = TwNewBar("MainMenu");
    EXPECT_EQ(1, TwDefine(" GLOBAL buttonalign=left"));
    EXPECT_EQ(1, TwSetParam(bar, nullptr, "label", TW_PARAM_CSTRING, 1, "Main Menu"));
    EXPECT_EQ(1, TwDefine(" MainMenu position='0 0'"));
    EXPECT_EQ(1, TwDefine(" MainMenu size='200 400'"));
    EXPECT_EQ(1, TwDefine(" MainMenu valueswidth=fit"));
    TwBar* selected = TwNewBar("Selected");
    EXPECT_EQ(1, TwDefine("Selected valueswidth=200 size='300 300'"));
    TweakBarInfo info;
    ASSERT_TRUE(TwInspectBar(bar, &info));
    EXPECT_EQ("Main Menu", info.label);
    EXPECT_EQ(0, info.positionX);
    EXPECT_EQ(0, info.positionY);
    EXPECT_EQ(200, info.sizeX);
    EXPECT_EQ(400, info.sizeY);
    EXPECT_EQ(-2, info.valuesWidth);
    ASSERT_TRUE(TwInspectBar(selected, &info));
    EXPECT_EQ(200, info.valuesWidth);
    EXPECT_EQ(300, info.sizeX);
    EXPECT_EQ("left", TwInspectGlobalParams()["buttonalign"]);
    EXPECT_TRUE(errors.empty());
}

TEST_F(TweakPanelsTest, GroupAndVariableDefinitionsThroughBarPath) {
    TwBar* bar = TwNewBar("Selected");
    ASSERT_EQ(1, TwAddSeparator(bar, "TransformSeparator", "group=Transform"));
    ASSERT_EQ(1, TwDefine("Selected/Transform label='Transform' opened=false"));
    EXPECT_EQ("Transform", TwInspectGroupParams(bar, "Transform")["label"]);
    EXPECT_EQ("false", TwInspectGroupParams(bar, "Transform")["opened"]);
    int count = 3;
    TwAddVarRW(bar, "Count", TW_TYPE_INT32, &count, "");
    ASSERT_EQ(1, TwDefine("Selected/Count visible=false"));
    TweakVarInfo info;
    ASSERT_TRUE(TwInspectVar(bar, "Count", &info));
    EXPECT_FALSE(info.visible);
    // A bar name with blanks is quoted with backquotes.
    TwBar* spaced = TwNewBar("My Bar");
    ASSERT_EQ(1, TwDefine("`My Bar` iconified=true"));
    TweakBarInfo barInfo;
    ASSERT_TRUE(TwInspectBar(spaced, &barInfo));
    EXPECT_TRUE(barInfo.iconified);
}

TEST_F(TweakPanelsTest, MalformedDefinitionsReportErrors) {
    TwNewBar("Bar");
    EXPECT_EQ(0, TwDefine("Nowhere size='1 2'"));
    EXPECT_EQ(0, TwDefine("Bar label='unterminated"));
    EXPECT_EQ(0, TwDefine("Bar label"));
    EXPECT_EQ(3u, errors.size());
    ASSERT_NE(nullptr, TwGetLastError());
    EXPECT_EQ(1, TwDefine("Bar label=ok"));
    EXPECT_EQ(nullptr, TwGetLastError());
}

TEST_F(TweakPanelsTest, NullAndDeletedBarsAreReportedNotUsed) {
    int value = 0;
    EXPECT_EQ(0, TwAddVarRW(nullptr, "x", TW_TYPE_INT32, &value, ""));
    TwBar* bar = TwNewBar("Gone");
    TwDeleteAllBars();
    EXPECT_EQ(0, TwAddVarRW(bar, "x", TW_TYPE_INT32, &value, ""));
    EXPECT_EQ(0, TwRemoveAllVars(bar));
    EXPECT_EQ(0, TwDeleteBar(bar));
    EXPECT_EQ(nullptr, TwGetBarName(bar));
    // A new bar never takes a deleted bar's handle.
    TwBar* again = TwNewBar("Gone");
    EXPECT_NE(bar, again);
    EXPECT_EQ(0, TwRemoveAllVars(bar));
    EXPECT_STREQ("Gone", TwGetBarName(again));
    EXPECT_EQ(6u, errors.size());
}

TEST_F(TweakPanelsTest, DuplicateNamesRefused) {
    TwBar* bar = TwNewBar("Scenes");
    EXPECT_EQ(1, TwAddButton(bar, "a.scn", nullptr, nullptr, nullptr));
    EXPECT_EQ(0, TwAddButton(bar, "a.scn", nullptr, nullptr, nullptr));
    // A second bar of the same name is the first one.
    EXPECT_EQ(bar, TwNewBar("Scenes"));
    EXPECT_EQ(1u, TwInspectBarNames().size());
    EXPECT_EQ(2u, errors.size());
}

TEST_F(TweakPanelsTest, RemoveAllVarsKeepsBarAndDefinitions) {
    TwBar* bar = TwNewBar("Selected");
    TwDefine("Selected size='300 300'");
    int v = 0;
    TwAddVarRW(bar, "v", TW_TYPE_INT32, &v, "group=G");
    TwDefine("Selected/G label='Gee'");
    EXPECT_EQ(1, TwRemoveAllVars(bar));
    TweakBarInfo info;
    ASSERT_TRUE(TwInspectBar(bar, &info));
    EXPECT_TRUE(info.vars.empty());
    EXPECT_EQ(300, info.sizeX);
    EXPECT_TRUE(TwInspectGroupParams(bar, "G").empty());
}

TEST_F(TweakPanelsTest, EveryValueKindReadsAndWrites) {
    TwBar* bar = TwNewBar("Values");
    bool flag = false;
    int count = -3;
    unsigned id = 4000000000u;
    float speed = 0.5f;
    float colour[4] = {1, 0.5f, 0.25f, 1};
    float quat[4] = {0, 0, 0, 1};
    float dir[3] = {1, 2, 3};
    std::string name = "ship";
    TwAddVarRW(bar, "flag", TW_TYPE_BOOLCPP, &flag, "");
    TwAddVarRW(bar, "count", TW_TYPE_INT32, &count, "");
    TwAddVarRW(bar, "id", TW_TYPE_UINT32, &id, "");
    TwAddVarRW(bar, "speed", TW_TYPE_FLOAT, &speed, "");
    TwAddVarRW(bar, "colour", TW_TYPE_COLOR4F, colour, "");
    TwAddVarRW(bar, "quat", TW_TYPE_QUAT4F, quat, "");
    TwAddVarRW(bar, "dir", TW_TYPE_DIR3F, dir, "");
    TwAddVarRW(bar, "name", TW_TYPE_STDSTRING, &name, "");
    EXPECT_EQ("false", Read(bar, "flag"));
    EXPECT_EQ("-3", Read(bar, "count"));
    EXPECT_EQ("4000000000", Read(bar, "id"));
    EXPECT_EQ("1 0.5 0.25 1", Read(bar, "colour"));
    EXPECT_EQ("1 2 3", Read(bar, "dir"));
    EXPECT_EQ("ship", Read(bar, "name"));
    EXPECT_TRUE(TwInspectWriteValue(bar, "flag", "true"));
    EXPECT_TRUE(TwInspectWriteValue(bar, "count", "12"));
    EXPECT_TRUE(TwInspectWriteValue(bar, "id", "7"));
    EXPECT_TRUE(TwInspectWriteValue(bar, "speed", "1.25"));
    EXPECT_TRUE(TwInspectWriteValue(bar, "colour", "0 0 1 0.5"));
    EXPECT_TRUE(TwInspectWriteValue(bar, "quat", "0 1 0 0"));
    EXPECT_TRUE(TwInspectWriteValue(bar, "dir", "4 5 6"));
    EXPECT_TRUE(TwInspectWriteValue(bar, "name", "enemy ship"));
    EXPECT_FALSE(TwInspectWriteValue(bar, "count", "twelve"));
    EXPECT_TRUE(flag);
    EXPECT_EQ(12, count);
    EXPECT_EQ(7u, id);
    EXPECT_FLOAT_EQ(1.25f, speed);
    EXPECT_FLOAT_EQ(0.5f, colour[3]);
    EXPECT_FLOAT_EQ(1.0f, quat[1]);
    EXPECT_FLOAT_EQ(6.0f, dir[2]);
    EXPECT_EQ("enemy ship", name);
}

TEST_F(TweakPanelsTest, ReadOnlyVariableNeverWritten) {
    TwBar* bar = TwNewBar("Selected");
    unsigned guid = 42;
    TwAddVarRO(bar, "GUID", TW_TYPE_UINT32, &guid, "label='GUID' group=Parenting");
    EXPECT_FALSE(TwInspectWriteValue(bar, "GUID", "7"));
    EXPECT_EQ(42u, guid);
    TweakVarInfo info;
    ASSERT_TRUE(TwInspectVar(bar, "GUID", &info));
    EXPECT_TRUE(info.readOnly);
    EXPECT_EQ(TweakVarKind::ReadOnly, info.kind);
}

TEST_F(TweakPanelsTest, Bool32ShowsAnyBitsAsTrueAndWritesIntegerOne) {
    TwBar* bar = TwNewBar("MainMenu");
    float lock = 1.0f;  // a float component shown through the 32-bit boolean
    TwAddVarRW(bar, "AxisLockX", TW_TYPE_BOOL32, &lock, "label='X-Axis locked' group=AxisLocks");
    EXPECT_EQ("true", Read(bar, "AxisLockX"));
    EXPECT_TRUE(TwInspectWriteValue(bar, "AxisLockX", "false"));
    EXPECT_EQ(0.0f, lock);
    EXPECT_TRUE(TwInspectWriteValue(bar, "AxisLockX", "true"));
    int bits;
    std::memcpy(&bits, &lock, sizeof bits);
    EXPECT_EQ(1, bits);
    EXPECT_NE(0.0f, lock);
}

struct StringHolder {
    std::string text;
};
void SetString(const void* value, void* client) {
    static_cast<StringHolder*>(client)->text = *static_cast<const char* const*>(value);
}
void GetString(void* value, void* client) {
    TwCopyCDStringToLibrary(static_cast<char**>(value), static_cast<StringHolder*>(client)->text.c_str());
}

TEST_F(TweakPanelsTest, CallbackStringGoesThroughLibrarySlot) {
    TwBar* bar = TwNewBar("Selected");
    StringHolder holder{"archetype"};
    ASSERT_EQ(1, TwAddVarCB(bar, "name", TW_TYPE_CDSTRING, SetString, GetString, &holder, " label='name' "));
    EXPECT_EQ("archetype", Read(bar, "name"));
    EXPECT_TRUE(TwInspectWriteValue(bar, "name", "other"));
    EXPECT_EQ("other", holder.text);
    // Without a set callback the variable is read-only.
    ASSERT_EQ(1, TwAddVarCB(bar, "ro", TW_TYPE_CDSTRING, nullptr, GetString, &holder, ""));
    EXPECT_FALSE(TwInspectWriteValue(bar, "ro", "x"));
    // A read-write C string needs callbacks.
    char* raw = nullptr;
    EXPECT_EQ(0, TwAddVarRW(bar, "raw", TW_TYPE_CDSTRING, &raw, ""));
}

TEST_F(TweakPanelsTest, EnumerationRedefinedKeepsItsCode) {
    TwEnumVal shapes[] = {{0, "SPHERE"}, {1, "ELLIPSOID"}, {2, "QUAD"}, {3, "CUBE"}, {4, "CONE"}};
    TwType type = TwDefineEnum("PrimitiveType", shapes, 5);
    EXPECT_NE(TW_TYPE_UNDEF, type);
    EXPECT_EQ(type, TwDefineEnum("PrimitiveType", shapes, 5));
    EXPECT_EQ("PrimitiveType", TwInspectEnumName(type));
    ASSERT_EQ(5u, TwInspectEnum(type).size());
    EXPECT_STREQ("CONE", TwInspectEnum(type)[4].Label);
    TwBar* bar = TwNewBar("Selected");
    int primType = 2;
    ASSERT_EQ(1, TwAddVarRW(bar, "PRIMITIVE_TYPE_7", type, &primType, " label='Primitive Type' "));
    EXPECT_EQ("2", Read(bar, "PRIMITIVE_TYPE_7"));
    EXPECT_TRUE(TwInspectWriteValue(bar, "PRIMITIVE_TYPE_7", "4"));
    EXPECT_EQ(4, primType);
    EXPECT_EQ(0, TwAddVarRW(bar, "bad", 0x7777, &primType, ""));
}

struct BarOwner {
    TwBar* bar = nullptr;
    int presses = 0;
};
void DeleteOwnBar(void* client) {
    auto* owner = static_cast<BarOwner*>(client);
    ++owner->presses;
    TwDeleteBar(owner->bar);
}
void DeleteAll(void* client) {
    ++static_cast<BarOwner*>(client)->presses;
    TwDeleteAllBars();
}

TEST_F(TweakPanelsTest, ButtonThatDeletesItsOwnBarOrAllBars) {
    BarOwner owner;
    owner.bar = TwNewBar("SceneComponents");
    TwAddButton(owner.bar, "Delete_5", DeleteOwnBar, &owner, "label='Delete Object'");
    EXPECT_TRUE(TwInspectPressButton(owner.bar, "Delete_5"));
    EXPECT_EQ(1, owner.presses);
    EXPECT_TRUE(TwInspectBarNames().empty());
    EXPECT_FALSE(TwInspectPressButton(owner.bar, "Delete_5"));

    owner.bar = TwNewBar("Scenes");
    TwNewBar("Other");
    TwAddButton(owner.bar, "a.scn", DeleteAll, &owner, nullptr);
    EXPECT_TRUE(TwInspectPressButton(owner.bar, "a.scn"));
    EXPECT_EQ(2, owner.presses);
    EXPECT_TRUE(TwInspectBarNames().empty());
    EXPECT_TRUE(errors.empty());
}

TEST_F(TweakPanelsTest, SetParamOnVariableAndNumbers) {
    TwBar* bar = TwNewBar("B");
    float f = 0;
    TwAddVarRW(bar, "f", TW_TYPE_FLOAT, &f, "");
    float step = 0.25f;
    EXPECT_EQ(1, TwSetParam(bar, "f", "Step", TW_PARAM_FLOAT, 1, &step));
    int pos[2] = {10, 20};
    EXPECT_EQ(1, TwSetParam(bar, nullptr, "position", TW_PARAM_INT32, 2, pos));
    TweakVarInfo info;
    ASSERT_TRUE(TwInspectVar(bar, "f", &info));
    EXPECT_EQ("0.25", info.params["step"]);
    TweakBarInfo barInfo;
    ASSERT_TRUE(TwInspectBar(bar, &barInfo));
    EXPECT_EQ(10, barInfo.positionX);
    EXPECT_EQ(20, barInfo.positionY);
    EXPECT_EQ(0, TwSetParam(nullptr, nullptr, "label", TW_PARAM_CSTRING, 1, "x"));
}

}  // namespace
