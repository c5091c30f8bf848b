// Scene and archetype files through the editor's panel buttons and dialogs,
// and the archetype text the editor writes.
#include <unistd.h>

#include <cmath>
#include <functional>

#include "editor/menus/EditorUISystem.h"
#include "editor/proxy/EditorProxySystem.h"
#include "game/level/TimeLord.h"
#include "reflection/IMetaClass.h"
#include "reflection/MemberText.h"
#include "reflection/MetaRegistry.h"
#include "render/light/PointLight.h"
#include "render/mesh/Model.h"
#include "render/mesh/Primitive.h"
#include "render/text/ScreenText.h"
#include "scene/SceneWriter.h"
#include "tests/editor/EditorTestWorld.h"

namespace {
class EditorFilesTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        Enter();
    }
    size_t Dialogs() const { return FileDialogScriptRequests().size(); }
    // A selected scene object with a Transform at (5, 0, 0).
    u32 SelectNew() {
        const u32 id = AddSceneObject({5, 0, 0});
        ::Broadcast(kMsgSelectObject, 0, id);
        return id;
    }
    bool SaveArchetypeAs(const std::string& answer) {
        FileDialogScriptAnswer(answer);
        return Press("Selected", "Save Archetype As...");
    }
    std::vector<std::string> ArchFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Path("arch")))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(EditorFilesTest, SaveSceneAsksUnlessTheSceneCameFromAFileThatLoaded) {
    FileDialogScriptCancel();
    ASSERT_TRUE(Press("MainMenu", "SaveScene"));
    ASSERT_EQ(Dialogs(), 1u);
    EXPECT_TRUE(FileDialogScriptRequests()[0].save);

    AddSceneObject({1, 0, 0});
    FileDialogScriptAnswer("A.scn");
    ASSERT_TRUE(Press("MainMenu", "SaveSceneAs"));
    FileDialogScriptAnswer("A.scn");
    ASSERT_TRUE(Press("MainMenu", "LoadScene"));
    ASSERT_EQ(SceneManager::Instance()->GetObjectIds().size(), 1u);
    AddSceneObject({2, 0, 0});
    const size_t before = Dialogs();
    ASSERT_TRUE(Press("MainMenu", "SaveScene"));
    EXPECT_EQ(Dialogs(), before) << "the loaded file is written without asking";
    const std::string a = Read(Path("scene/A.scn"));
    EXPECT_NE(a.find("SceneGUID = 1001"), std::string::npos);

    // After New Scene Save Scene asks again (cancelled here): the remembered
    // file keeps its bytes.
    ASSERT_TRUE(Press("MainMenu", "NewScene"));
    FileDialogScriptCancel();
    ASSERT_TRUE(Press("MainMenu", "SaveScene"));
    EXPECT_EQ(Dialogs(), before + 1);
    EXPECT_EQ(Read(Path("scene/A.scn")), a);

    // A load that failed leaves the scene and its file: Save Scene writes
    // A.scn again without asking, never the broken file.
    Write(Path("scene/Broken.scn"), "Archetypes = {");
    FileDialogScriptAnswer("A.scn");
    ASSERT_TRUE(Press("MainMenu", "LoadScene"));
    FileDialogScriptAnswer("Broken.scn");
    ASSERT_TRUE(Press("MainMenu", "LoadScene"));
    EXPECT_FALSE(reports.empty());
    ASSERT_TRUE(Press("MainMenu", "SaveScene"));
    EXPECT_EQ(Dialogs(), before + 3);
    EXPECT_EQ(Read(Path("scene/A.scn")), a);
    EXPECT_EQ(Read(Path("scene/Broken.scn")), "Archetypes = {");
}

// Each component's full text by class name: what an object has, whatever
// order its components stand in.
std::map<std::string, std::string> Contents(const GameObject& object) {
    std::map<std::string, std::string> contents;
    for (IComponent* component : object.GetComponents()) {
        const IMetaClass* metaClass = MetaRegistry::Instance()->GetByTypeId(component->GetTypeId());
        contents[metaClass->GetName()] = MemberText::WriteFull(*metaClass, component);
    }
    return contents;
}

// The scene's objects by their Transform's x, each with its contents.
std::map<float, std::map<std::string, std::string>> SceneContents() {
    std::map<float, std::map<std::string, std::string>> scene;
    for (u32 id : SceneManager::Instance()->GetObjectIds()) {
        const GameObject& object = *Overlord::Instance()->GetGameObject(id);
        scene[object.GetComponent<Transform>()->position.x] = Contents(object);
    }
    return scene;
}

TEST_F(EditorFilesTest, SavingAnArchetypeOverItselfChangesNoOtherInstanceThroughSaveAndLoad) {
    Write(Path("arch/Pair.arch"), "Transform = {}\n\nPointLight = { mRange = 8 }\n\n");
    ObjectFactory& factory = *ObjectFactory::Instance();
    const u32 first = factory.Instantiate("Pair", true);
    const u32 second = factory.Instantiate("Pair", true);
    const u32 third = factory.Instantiate("Pair", true);
    Object(second)->GetComponent<Transform>()->position.x = 2;
    Object(third)->GetComponent<Transform>()->position.x = 3;
    Object(third)->AddComponent(factory.GetPrototype("Damage")->Clone());
    Object(second)->GetComponent<PointLight>()->mRange = 5;
    ::Broadcast(kMsgSelectObject, 0, first);
    ::Broadcast(kMsgAddComponent, 0, std::string("Damage"));
    ASSERT_NE(Object(first)->GetComponentByTypeId(factory.GetPrototype("Damage")->GetTypeId()), nullptr);
    const auto before = SceneContents();
    ASSERT_TRUE(SaveArchetypeAs("Pair"));
    EXPECT_EQ(Object(second)->GetArchetypeName(), "") << "it cannot be written as a Pair without Damage";
    EXPECT_EQ(Object(third)->GetArchetypeName(), "Pair") << "it has every component of the new Pair";

    ASSERT_TRUE(SceneManager::Instance()->SaveScene(Path("scene/Pairs.scn")));
    ASSERT_TRUE(SceneManager::Instance()->LoadScene(Path("scene/Pairs.scn")));
    EXPECT_EQ(SceneContents(), before);
    const std::string saved = Read(Path("scene/Pairs.scn"));
    ASSERT_TRUE(SceneManager::Instance()->SaveScene(Path("scene/Again.scn")));
    EXPECT_EQ(Read(Path("scene/Again.scn")), saved);
}

TEST_F(EditorFilesTest, SceneNamedWithoutExtensionIsSavedAsScn) {
    const std::pair<const char*, const char*> rows[] = {
        {"MyLevel", "MyLevel.scn"}, {"Other.scn", "Other.scn"}, {"v1.2", "v1.2"}, {"sub.d/Bare", "sub.d/Bare.scn"}};
    std::filesystem::create_directory(Path("scene/sub.d"));
    AddSceneObject({1, 0, 0});
    for (const auto& [answer, written] : rows) {
        FileDialogScriptAnswer(answer);
        ASSERT_TRUE(Press("MainMenu", "SaveSceneAs"));
        EXPECT_TRUE(std::filesystem::is_regular_file(Path(std::string("scene/") + written))) << answer;
        EXPECT_EQ(menu->GetSceneFileName(), Path(std::string("scene/") + written)) << "Save Scene writes it again";
    }
    EXPECT_FALSE(std::filesystem::exists(Path("scene/MyLevel")));
}

TEST_F(EditorFilesTest, BrokenSceneLoadedOverASceneLeavesItWholeAndNamesTheFile) {
    Write(Path("arch/Lamp.arch"), "Transform = {}\n\nPointLight = { mRange = 8 }\n\n");
    AddSceneObject({1, 0, 0});
    FileDialogScriptAnswer("Good.scn");
    ASSERT_TRUE(Press("MainMenu", "SaveSceneAs"));
    FileDialogScriptAnswer("Good.scn");
    ASSERT_TRUE(Press("MainMenu", "LoadScene"));
    ObjectFactory::Instance()->Instantiate("Lamp", true);  // unsaved work
    const auto before = SceneContents();
    const std::pair<const char*, const char*> broken[] = {
        {"Syntax.scn", "Archetypes = {"},
        {"Runs.scn", "error('no')"},
        {"Class.scn", "Archetypes = {\"\"}\nInstances = { {SceneGUID = 1000, NoSuchClass = {}, }, }"},
        {"Member.scn", "Archetypes = {\"\"}\nInstances = { {SceneGUID = 1000, Transform = {position = 3}, }, }"},
        {"Group.scn", "Archetypes = {\"Lamp\"}\nLampInstances = 4"},
        {"Links.scn", "Archetypes = {}\nParentChild = { 7 }"},
    };
    for (const auto& [name, text] : broken) {
        Write(Path(std::string("scene/") + name), text);
        reports.clear();
        QuestionBoxScriptAnswer("Discard");
        FileDialogScriptAnswer(Path(std::string("scene/") + name));
        ASSERT_TRUE(Press("MainMenu", "LoadScene"));
        ASSERT_EQ(reports.size(), 1u) << name;
        EXPECT_NE(reports[0].find(Path(std::string("scene/") + name)), std::string::npos) << reports[0];
        EXPECT_EQ(SceneContents(), before) << name;
        EXPECT_EQ(menu->GetSceneFileName(), Path("scene/Good.scn")) << name;
    }
    // The check refuses nothing that loads.
    QuestionBoxScriptAnswer("Discard");
    FileDialogScriptAnswer("Good.scn");
    ASSERT_TRUE(Press("MainMenu", "LoadScene"));
    EXPECT_EQ(SceneContents().size(), 1u);
}

// A lamp saved as Lamp.scn, loaded, changed in each way a designer changes a
// scene; New Scene and Load Scene then ask, and only Save or Discard let go.
TEST_F(EditorFilesTest, NewAndLoadSceneAskBeforeDroppingAChangedScene) {
    const u32 made = SelectNew();
    Object(made)->AddComponent(ObjectFactory::Instance()->GetPrototype("PointLight")->Clone());
    FileDialogScriptAnswer("Lamp.scn");
    ASSERT_TRUE(Press("MainMenu", "SaveSceneAs"));
    SceneManager& scene = *SceneManager::Instance();
    auto lamp = [&scene] { return scene.GetObjectIds().at(0); };
    auto select = [&](u32 id) {
        ::Broadcast(kMsgSelectObject, 0, id);
        ::Broadcast(kMsgPickObject, 0, editor->GetProxySystem()->FindProxy(id));
    };
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"made", [] { ::Broadcast(kMsgAddComponent, 0, std::string("Damage")); }},
        {"deleted",
         [&] {
             select(lamp());
             ::Broadcast(kMsgDeleteSelection, 0, 0u);
         }},
        {"moved", [&] { Object(lamp())->GetComponent<Transform>()->position.x = 7; }},
        {"edited",
         [&] {
             select(lamp());
             ASSERT_TRUE(TwInspectWriteValue(menu->GetSelectedBar(), "PointLight.mRange", "3"));
         }},
    };
    const auto& asked = QuestionBoxScriptRequests();
    for (const auto& [what, change] : changes) {
        FileDialogScriptAnswer("Lamp.scn");
        ASSERT_TRUE(Press("MainMenu", "LoadScene"));
        ::Broadcast(kMsgSelectObject, 0, 0u);
        ASSERT_TRUE(asked.empty()) << what << ": a scene as it was loaded or saved is let go without asking";
        change();
        const std::string changed = scene.WriteScene();
        const size_t dialogs = Dialogs();
        for (const char* button : {"NewScene", "LoadScene"}) {
            QuestionBoxScriptAnswer("Cancel");
            ASSERT_TRUE(Press("MainMenu", button));
        }
        EXPECT_EQ(scene.WriteScene(), changed) << what;
        EXPECT_EQ(Dialogs(), dialogs) << what << ": no file is asked for";
        ASSERT_EQ(asked.size(), 2u) << what;
        EXPECT_EQ(asked[1].caption, "Load Scene");
        EXPECT_EQ(asked[1].answers, (std::vector<std::string>{"Save", "Discard", "Cancel"}));
        EXPECT_EQ(editor->GetUISystem()->NoticeLine(), "Load Scene: cancelled; the scene is kept as it is");
        QuestionBoxScriptAnswer("Discard");
        ASSERT_TRUE(Press("MainMenu", "NewScene"));
        EXPECT_TRUE(scene.GetObjectIds().empty()) << what;
        QuestionBoxScriptClear();
    }
    // Save writes the changes to the scene's file first.
    FileDialogScriptAnswer("Lamp.scn");
    ASSERT_TRUE(Press("MainMenu", "LoadScene"));
    Object(lamp())->GetComponent<Transform>()->position.x = 9;
    QuestionBoxScriptAnswer("Save");
    ASSERT_TRUE(Press("MainMenu", "NewScene"));
    EXPECT_TRUE(scene.GetObjectIds().empty());
    EXPECT_NE(Read(Path("scene/Lamp.scn")).find("x = 9,"), std::string::npos);
}

TEST_F(EditorFilesTest, ArchetypeAnsweredInAnotherFolderLandsInArchAndTheSceneReloadsWhole) {
    const u32 id = SelectNew();
    Object(id)->AddComponent(ObjectFactory::Instance()->GetPrototype("PointLight")->Clone());
    ::Broadcast(kMsgSelectObject, 0, 0u);
    ::Broadcast(kMsgSelectObject, 0, id);
    ASSERT_TRUE(SaveArchetypeAs("../scene/Lamp.arch"));
    EXPECT_EQ(ArchFolder(), std::vector<std::string>{"Lamp.arch"});
    EXPECT_FALSE(std::filesystem::exists(Path("scene/Lamp.arch")));
    EXPECT_EQ(Object(id)->GetArchetypeName(), "Lamp");
    const auto before = SceneContents();
    ASSERT_TRUE(SceneManager::Instance()->SaveScene(Path("scene/Lamp.scn")));
    ObjectFactory::Instance()->ClearArchetypes();
    reports.clear();
    ASSERT_TRUE(SceneManager::Instance()->LoadScene(Path("scene/Lamp.scn")));
    EXPECT_TRUE(reports.empty()) << reports.front();
    EXPECT_EQ(SceneContents(), before);
}

TEST_F(EditorFilesTest, ArchetypeFilesAlwaysEndInArchAndNameTheObject) {
    const u32 id = SelectNew();
    for (const char* answer : {"Foo.txt", "Foo", "Foo.arch"}) {
        std::filesystem::remove(Path("arch/Foo.arch"));
        ASSERT_TRUE(SaveArchetypeAs(answer));
        EXPECT_EQ(ArchFolder(), std::vector<std::string>{"Foo.arch"}) << answer;
    }
    EXPECT_EQ(Object(id)->GetArchetypeName(), "Foo");
    ASSERT_NE(ObjectFactory::Instance()->GetArchetype("Foo"), nullptr);
    EXPECT_EQ(Entries("Archetypes"), std::vector<std::string>{"Foo"}) << "the new file gets its button";
    EXPECT_EQ(FileDialogScriptRequests().back().title, "Save Archetype");
    EXPECT_EQ(FileDialogScriptRequests().back().initialDir, Path("arch"));

    // An empty base name is refused; nothing is written.
    const size_t reported = reports.size();
    ASSERT_TRUE(SaveArchetypeAs(".arch"));
    EXPECT_EQ(ArchFolder(), std::vector<std::string>{"Foo.arch"});
    EXPECT_EQ(reports.size(), reported + 1);
}

TEST_F(EditorFilesTest, NothingIsWrittenForAnObjectThatIsGone) {
    Write(Path("arch/Keep.arch"), "Transform = {}\n\n");
    SelectNew();
    SceneManager::Instance()->ClearScene();
    const size_t asked = Dialogs();
    EXPECT_EQ(menu->GetArchetypeObject(), 0u);
    menu->SaveArchetypeAs();
    EXPECT_EQ(Dialogs(), asked) << "no dialog for nothing to save";
    EXPECT_EQ(Read(Path("arch/Keep.arch")), "Transform = {}\n\n");
}

int FailSync(int) {
    errno = EIO;
    return -1;
}

TEST_F(EditorFilesTest, SaveThatCannotFinishKeepsTheOldFileAndLeavesNoTemporary) {
    Write(Path("arch/Old.arch"), "Transform = {}\n\n");
    const u32 id = SelectNew();
    const WholeFileWriterCalls failing = {&::write, &FailSync, &::close, &::rename};
    SetWholeFileWriterCallsForTest(&failing);
    ASSERT_TRUE(SaveArchetypeAs("Old"));
    SetWholeFileWriterCallsForTest(nullptr);
    EXPECT_EQ(Read(Path("arch/Old.arch")), "Transform = {}\n\n");
    EXPECT_EQ(ArchFolder(), std::vector<std::string>{"Old.arch"});
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().rfind(EditorMenuSystem::kSaveArchetypeFailureCaption, 0), 0u) << reports.back();
    EXPECT_EQ(Object(id)->GetArchetypeName(), "") << "a failed save names nothing";
}

TEST_F(EditorFilesTest, ALoneTransformWritesTheExactText) {
    SelectNew();
    ASSERT_TRUE(SaveArchetypeAs("Lone"));
    EXPECT_EQ(Read(Path("arch/Lone.arch")),
              "Transform = { isInScreenSpace = false, scale = 1, rotation = { w = 1, z = 0, y = 0, x = 0,  }, "
              "position = { z = 0, y = 0, x = 5,  },  }\r\n\r\n");
}

TEST_F(EditorFilesTest, TheModelAPrimitiveBuildsIsLeftOutAndTheLastBlockTakesItsPlace) {
    ObjectFactory& factory = *ObjectFactory::Instance();
    GameObject* object = factory.NewGameObject();
    for (const char* name : {"Primitive", "Model", "Transform", "PointLight"})
        object->AddComponent(factory.GetPrototype(name)->Clone());
    std::vector<std::string> blocks;
    std::istringstream text(SceneWriter::WriteArchetype(*object));
    for (std::string line; std::getline(text, line);)
        if (!line.empty()) blocks.push_back(line.substr(0, line.find(' ')));
    EXPECT_EQ(blocks, (std::vector<std::string>{"Primitive", "PointLight", "Transform"}));
}

TEST_F(EditorFilesTest, HardValuesAndOddNamesLoadBack) {
    const u32 id = SelectNew();
    GameObject* object = Object(id);
    ScreenText* text = ObjectFactory::Instance()->Create<ScreenText>();
    text->SetText("say \"hi\" \\ to C:\\levels");
    object->AddComponent(text);
    PointLight* light = ObjectFactory::Instance()->Create<PointLight>();
    light->mRange = std::nanf("");
    object->AddComponent(light);
    ::Broadcast(kMsgSelectObject, 0, 0u);
    ::Broadcast(kMsgSelectObject, 0, id);
    ASSERT_TRUE(SaveArchetypeAs("my ship-2"));
    ObjectFactory::Instance()->ClearArchetypes();
    ASSERT_TRUE(SceneLoader::Instance()->LoadArchetype("my ship-2")) << (reports.empty() ? "" : reports.back());
    GameObject* back = ObjectFactory::Instance()->GetArchetype("my ship-2");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetComponent<ScreenText>()->GetText(), "say \"hi\" \\ to C:\\levels");
    EXPECT_TRUE(std::isnan(back->GetComponent<PointLight>()->mRange));
    EXPECT_EQ(back->GetComponent<Transform>()->position, D3DXVECTOR3(5, 0, 0));
}

TEST_F(EditorFilesTest, AMemberTheFileLeavesOutKeepsThePrototypesValue) {
    Write(Path("arch/Dim.arch"), "PointLight = { mRange = 3 }\n\n");
    ASSERT_TRUE(SceneLoader::Instance()->LoadArchetype("Dim"));
    const PointLight* light = ObjectFactory::Instance()->GetArchetype("Dim")->GetComponent<PointLight>();
    const auto* prototype = static_cast<const PointLight*>(ObjectFactory::Instance()->GetPrototype("PointLight"));
    EXPECT_EQ(light->mRange, 3.0f);
    EXPECT_EQ(light->mDiffuse, prototype->mDiffuse);
}

TEST_F(EditorFilesTest, SavingOverALoadedArchetypeKeepsItsOtherInstancesAsTheyWere) {
    Write(Path("arch/Lamp.arch"), "Transform = {}\n\nPointLight = { mRange = 8 }\n\n");
    ObjectFactory& factory = *ObjectFactory::Instance();
    const u32 edited = factory.Instantiate("Lamp", true);
    const u32 other = factory.Instantiate("Lamp", true);
    Object(edited)->GetComponent<PointLight>()->mRange = 3;
    ::Broadcast(kMsgSelectObject, 0, edited);
    ASSERT_TRUE(SaveArchetypeAs("Lamp"));
    EXPECT_EQ(factory.GetArchetype("Lamp")->GetComponent<PointLight>()->mRange, 3.0f);
    EXPECT_NE(factory.GetArchetype("Lamp"), Object(edited));

    ASSERT_TRUE(SceneManager::Instance()->SaveScene(Path("scene/Lamps.scn")));
    ASSERT_TRUE(SceneManager::Instance()->LoadScene(Path("scene/Lamps.scn")));
    std::vector<float> ranges;
    for (u32 id : SceneManager::Instance()->GetObjectIds())
        ranges.push_back(Object(id)->GetComponent<PointLight>()->mRange);
    std::sort(ranges.begin(), ranges.end());
    EXPECT_EQ(ranges, (std::vector<float>{3.0f, 8.0f})) << other;
}

// Lua takes at most 262143 different constants in one file: an archetype
// with more is refused as a scene would be, keeping the old file.
TEST_F(EditorFilesTest, SaveArchetypeAsRefusesWhatTheLoaderWouldRefuse) {
    Write(Path("arch/Many.arch"), "Transform = {}\n\n");
    const u32 id = SelectNew();
    auto* lord = static_cast<TimeLord*>(ObjectFactory::Instance()->GetPrototype("TimeLord")->Clone());
    for (int i = 0; i < 270000; ++i) lord->times.push_back(static_cast<float>(i));
    Object(id)->AddComponent(lord);
    ASSERT_TRUE(SaveArchetypeAs("Many"));
    EXPECT_EQ(Read(Path("arch/Many.arch")), "Transform = {}\n\n");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind(EditorMenuSystem::kSaveArchetypeFailureCaption, 0), 0u) << reports[0];
    EXPECT_NE(reports[0].find("it would not load again"), std::string::npos) << reports[0];
    EXPECT_EQ(Object(id)->GetArchetypeName(), "");
}

// A scene file's instance table whose archetype its "Archetypes" list does
// not name is not loaded: a log row and the status line name it, and the
// scene is saved neither over that file nor under another name (either
// would lose those objects).
TEST_F(EditorFilesTest, UnlistedInstancesAreToldAndTheSceneIsNotSavedWithoutThem) {
    const std::string text =
        "Archetypes = {\n\t\"\",\n}\n\nInstances = {\n\t{SceneGUID = 1000, Transform = {}, },\n}\n\n"
        "ZedInstances = {\n\t{SceneGUID = 1001, },\n\t{SceneGUID = 1002, },\n}\n\n";
    Write(Path("scene/Zed.scn"), text);
    FileDialogScriptAnswer("Zed.scn");
    ASSERT_TRUE(Press("MainMenu", "LoadScene"));
    ASSERT_EQ(SceneManager::Instance()->GetObjectIds().size(), 1u);
    EXPECT_EQ(editor->GetUISystem()->NoticeLine(),
              "Load Scene: ZedInstances (2 objects) not loaded (archetypes not in the Archetypes list); the scene "
              "cannot be saved until they are");
    ASSERT_TRUE(Press("MainMenu", "SaveScene"));
    EXPECT_EQ(Read(Path("scene/Zed.scn")), text);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("ZedInstances (2 objects)"), std::string::npos) << reports[0];
    FileDialogScriptAnswer("Other.scn");
    ASSERT_TRUE(Press("MainMenu", "SaveSceneAs"));
    EXPECT_FALSE(std::filesystem::exists(Path("scene/Other.scn")));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[1].find("the scene was loaded from " + Path("scene/Zed.scn") +
                              ", which holds ZedInstances (2 objects)"),
              std::string::npos)
        << reports[1];
    QuestionBoxScriptAnswer("Discard");
    ASSERT_TRUE(Press("MainMenu", "NewScene"));
    AddSceneObject({1, 0, 0});
    FileDialogScriptAnswer("Other.scn");
    ASSERT_TRUE(Press("MainMenu", "SaveSceneAs"));
    EXPECT_TRUE(std::filesystem::exists(Path("scene/Other.scn"))) << "a new scene owes the file nothing";
    assembly_->Disassemble();
    EXPECT_NE(Read(Path("log/Application.log")).find("SceneLoader: ZedInstances (2 objects) not loaded"),
              std::string::npos);
}

// A save refused over Zed.scn's unloaded tables, by Save Scene and by Save
// Scene As under a new name: the status line names the command used and the
// file as the scene folder has it; nothing is written and the scene keeps
// its name, which the close question and the next Save Scene still use.
TEST_F(EditorFilesTest, ARefusedSaveKeepsTheScenesNameAndTheStatusLineNamesTheCommand) {
    const std::string text =
        "Archetypes = {\n\t\"\",\n}\n\nInstances = {\n\t{SceneGUID = 1000, Transform = {}, },\n}\n\n"
        "ZedInstances = {\n\t{SceneGUID = 1001, },\n}\n\n";
    Write(Path("scene/Zed.scn"), text);
    FileDialogScriptAnswer("Zed.scn");
    ASSERT_TRUE(Press("MainMenu", "LoadScene"));
    AddSceneObject({3, 0, 0});
    const struct {
        const char* button;
        const char* answer;  // the dialog's, or none
        const char* notice;
    } rows[] = {
        {"SaveScene", nullptr, "Save Scene: refused, Zed.scn holds objects that were not loaded"},
        {"SaveSceneAs", "Unlisted2.scn", "Save Scene As: refused, Zed.scn holds objects that were not loaded"},
        {"SaveSceneAs", "Unlisted2", "Save Scene As: refused, Zed.scn holds objects that were not loaded"},
    };
    for (const auto& row : rows) {
        if (row.answer) FileDialogScriptAnswer(row.answer);
        ASSERT_TRUE(Press("MainMenu", row.button));
        EXPECT_EQ(editor->GetUISystem()->NoticeLine(), row.notice) << row.button;
        EXPECT_FALSE(std::filesystem::exists(Path("scene/Unlisted2.scn"))) << row.button;
        EXPECT_EQ(Read(Path("scene/Zed.scn")), text) << row.button;
        EXPECT_EQ(menu->GetSceneFileName(), Path("scene/Zed.scn")) << row.button;
    }
    QuestionBoxScriptAnswer("Cancel");
    EXPECT_FALSE(menu->MayQuit());
    ASSERT_FALSE(QuestionBoxScriptRequests().empty());
    EXPECT_EQ(QuestionBoxScriptRequests().back().text,
              "The scene Zed.scn has changes that are not saved. Save them first?");
    reports.clear();
    const size_t dialogs = Dialogs();
    ASSERT_TRUE(Press("MainMenu", "SaveScene"));
    EXPECT_EQ(Dialogs(), dialogs);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("cannot write " + Path("scene/Zed.scn") + ": it holds"), std::string::npos) << reports[0];
}

// A child whose parent went without letting go of it is written where and
// as it was last drawn: the world position, rotation and scale, no link.
TEST_F(EditorFilesTest, AChildOfAGoneParentIsWrittenWithItsWorldRotationAndScale) {
    const u32 parent = AddSceneObject({0, 0, 20});
    Transform* frame = Object(parent)->GetComponent<Transform>();
    frame->rotation = D3DXQUATERNION(0, std::sqrt(0.5f), 0, std::sqrt(0.5f));
    frame->scale = 2;
    const u32 rock = AddSceneObject({2, 1.5f, 0});
    ASSERT_TRUE(Object(rock)->SetParent(parent));
    Object(rock)->GetComponent<Transform>()->Update(0.0f);
    Overlord::Instance()->UnregisterGameObject(parent);
    const std::string saved = SceneManager::Instance()->WriteScene();
    EXPECT_EQ(saved.find("Parent ="), std::string::npos) << saved;
    EXPECT_NE(saved.find("y = 0.707107"), std::string::npos) << saved;
    EXPECT_NE(saved.find("scale = 2"), std::string::npos) << saved;
    EXPECT_NE(saved.find("z = 16"), std::string::npos) << saved;
}

// Load Scene over a new scene, answered Save and saved as New.scn, then a
// file that does not load: the scene keeps the name it was just saved under.
TEST_F(EditorFilesTest, ANameGivenInLoadScenesSaveOutlastsAFileThatDoesNotLoad) {
    AddSceneObject({1, 0, 0});
    Write(Path("scene/Broken.scn"), "Archetypes = {");
    QuestionBoxScriptAnswer("Save");
    FileDialogScriptAnswer("New.scn");
    FileDialogScriptAnswer("Broken.scn");
    ASSERT_TRUE(Press("MainMenu", "LoadScene"));
    ASSERT_TRUE(std::filesystem::exists(Path("scene/New.scn")));
    EXPECT_EQ(menu->GetSceneFileName(), Path("scene/New.scn"));
    const size_t dialogs = Dialogs();
    ASSERT_TRUE(Press("MainMenu", "SaveScene"));
    EXPECT_EQ(Dialogs(), dialogs) << "Save Scene asks for no name again";
}
}  // namespace
