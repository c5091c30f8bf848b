#include "SceneTestSupport.h"
#include "scene/SceneWriter.h"

namespace {
class SceneLoaderTest : public SceneFixture {
protected:
    GameObject* LoadArchetype(const std::string& name, const std::string& text) {
        WriteFile("archetypes/" + name + ".arch", text);
        if (!loader.LoadArchetype(name)) return nullptr;
        return factory.GetArchetype(name);
    }
};
}  // namespace

TEST_F(SceneLoaderTest, StartupFileFillsFoldersWithSlashes) {
    EXPECT_EQ(folders.arch.path, "archetypes/");
    EXPECT_EQ(folders.arch.extension, ".arch");
    EXPECT_EQ(folders.scene.GetFullPath("Tutorial"), root + "/scenes/Tutorial.scn");
    EXPECT_EQ(folders.model.path, "");  // left out of the file: stays empty
    EXPECT_EQ(folders.model.baseFolder, root + "/");
    EXPECT_EQ(StackTop(), 0);
}

TEST_F(SceneLoaderTest, MissingOrBrokenStartupFileFails) {
    std::filesystem::remove(Path("DevozizuDave.init"));
    DevozizuDave missing;
    EXPECT_FALSE(missing.Load(root));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().caption, "Load scene failed");
    EXPECT_NE(reports.back().text.find("DevozizuDave.init"), std::string::npos);

    for (const char* text : {"scene = { path = ", "scene = 5", "arch = { path = 'a', extension = true } scene = 'x'",
                             "log = {} error()", "scene = { path = \"x/\" } nothing.here = 1"}) {
        WriteFile("DevozizuDave.init", text);
        DevozizuDave broken;
        reports.clear();
        EXPECT_FALSE(broken.Load(root)) << text;
        EXPECT_EQ(reports.size(), 1u) << text;
        EXPECT_EQ(StackTop(), 0) << text;
    }
}

TEST_F(SceneLoaderTest, FailingStartupFileNamesTheLineAndLuasText) {
    struct Case {
        const char* text;
        int line;  // 0: no line known
        const char* says;
    };
    for (const Case& c : {
             Case{"scene = { path = ", 1, "unexpected symbol near '<eof>'"},
             Case{"log = {}\n\nprint('no libraries here')", 3, "attempt to call global 'print' (a nil value)"},
             Case{"scene = { path = \"x/\" }\nnothing.here = 1", 2, "attempt to index global 'nothing' (a nil value)"},
             Case{"log = {}\r\nscene = = 1", 2, "unexpected symbol near '='"},
             Case{"scene = 5", 0, "scene: table expected for FilePath, got number"},
         }) {
        WriteFile("DevozizuDave.init", c.text);
        DevozizuDave broken;
        EXPECT_FALSE(broken.Load(root)) << c.text;
        const DevozizuDave::LoadFailure& failure = broken.GetLoadFailure();
        EXPECT_FALSE(failure.missing) << c.text;
        EXPECT_EQ(failure.file, root + "/DevozizuDave.init");
        EXPECT_EQ(failure.line, c.line) << c.text;
        EXPECT_EQ(failure.text, c.says) << c.text;
    }
    // Lua shortens a long path from the left in its messages; the line is still found.
    const std::string deep = root + "/" + std::string(80, 'd');
    std::filesystem::create_directory(deep);
    std::ofstream(deep + "/DevozizuDave.init") << "\nscene = {";
    DevozizuDave far;
    EXPECT_FALSE(far.Load(deep));
    EXPECT_EQ(far.GetLoadFailure().line, 2);
    EXPECT_EQ(far.GetLoadFailure().text, "unexpected symbol near '<eof>'");

    // A missing file says so; a good one afterwards leaves no failure behind.
    std::filesystem::remove(Path("DevozizuDave.init"));
    DevozizuDave folders;
    EXPECT_FALSE(folders.Load(root));
    EXPECT_TRUE(folders.GetLoadFailure().missing);
    WriteFile("DevozizuDave.init", "log = { path = 'log/' }");
    EXPECT_TRUE(folders.Load(root));
    EXPECT_FALSE(folders.GetLoadFailure().missing);
    EXPECT_TRUE(folders.GetLoadFailure().text.empty());
}

TEST_F(SceneLoaderTest, StartupFileThatSetsNoFolderIsRefused) {
    for (const char* text :
         {"", "-- only a comment\n", "other = { path = 'x/' }", "shader = {} log = { path = '', extension = '' }"}) {
        WriteFile("DevozizuDave.init", text);
        DevozizuDave empty;
        reports.clear();
        EXPECT_FALSE(empty.Load(root)) << text;
        ASSERT_EQ(reports.size(), 1u) << text;
        EXPECT_EQ(reports[0].caption, "Load scene failed");
        EXPECT_EQ(reports[0].text, Path("DevozizuDave.init") + ": " + DevozizuDave::kNoFolderSet);
        EXPECT_FALSE(empty.GetLoadFailure().missing);
        EXPECT_EQ(empty.GetLoadFailure().text, DevozizuDave::kNoFolderSet);
    }
    WriteFile("DevozizuDave.init", "texture = { extension = '.dds' }");  // one is enough
    DevozizuDave one;
    EXPECT_TRUE(one.Load(root));
}

TEST_F(SceneLoaderTest, StartupFoldersOutsideTheWorkingFolderAreRefusedAndTheWorkingFolderUsed) {
    struct Case {
        const char* text;
        const char* refused;  // "" when the folder is taken
        const char* logPath;  // the log folder then
        const char* logExtension;
    };
    for (const Case& c : {
             Case{"log = { path = '/dev/', extension = '' }",
                  "log = { path = \"/dev/\" } is refused (an absolute folder)", "", ""},
             Case{"log = { path = '\\\\tmp\\\\', extension = '.log' }",
                  "log = { path = \"/tmp/\" } is refused (an absolute folder)", "", ".log"},
             Case{"log = { path = '../../../../../../etc/', extension = '.conf' }",
                  "log = { path = \"../../../../../../etc/\" } is refused (a folder that climbs out of the working "
                  "folder)",
                  "", ".conf"},
             Case{"log = { path = 'a/../../b/' }",
                  "log = { path = \"a/../../b/\" } is refused (a folder that climbs out of the working folder)", "",
                  ""},
             Case{"log = { path = 'log/', extension = '/../../x' }",
                  "log = { extension = \"/../../x\" } is refused (an extension names no folder)", "log/", ""},
             Case{"log = { path = 'a/../b/./', extension = '.log' }", "", "a/../b/./", ".log"},
             Case{"log = { path = './log/', extension = '.log' }", "", "./log/", ".log"},
         }) {
        WriteFile("DevozizuDave.init", std::string(c.text) + " texture = { path = 'texture/' }");
        DevozizuDave startup;
        reports.clear();
        EXPECT_TRUE(startup.Load(root)) << c.text;
        EXPECT_EQ(startup.log.path, c.logPath) << c.text;
        EXPECT_EQ(startup.log.extension, c.logExtension) << c.text;
        EXPECT_EQ(startup.texture.path, "texture/") << c.text;  // the others are taken as given
        if (*c.refused == '\0') {
            EXPECT_TRUE(reports.empty()) << c.text;
            EXPECT_TRUE(startup.GetRefusals().empty()) << c.text;
            continue;
        }
        ASSERT_EQ(reports.size(), 1u) << c.text;
        EXPECT_EQ(reports[0].caption, "Load scene failed");
        EXPECT_EQ(reports[0].text.find(Path("DevozizuDave.init") + ": " + c.refused), 0u) << reports[0].text;
        EXPECT_EQ(startup.GetRefusals(), std::vector<std::string>{reports[0].text});
        // The file lands in the working folder, not where the start-up file pointed.
        EXPECT_EQ(startup.log.GetFullPath("Application").rfind(root + "/", 0), 0u);
    }
}

TEST_F(SceneLoaderTest, ArchetypeComponentsFollowTableAndKeepPrototypeDefaults) {
    GameObject* bullet =
        LoadArchetype("Bullet", "Transform = { scale = 2 }\r\n\r\nBody = { mass = 2.5, tag = 'hot' }\n");
    ASSERT_NE(bullet, nullptr);
    EXPECT_EQ(bullet->GetArchetypeName(), "Bullet");
    ASSERT_EQ(bullet->GetComponents().size(), 2u);
    Body* body = bullet->GetComponent<Body>();
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->f.mass, 2.5f);
    EXPECT_EQ(body->f.tag, "hot");
    EXPECT_EQ(body->f.persistForce.x, 0.0f);
    EXPECT_EQ(bullet->GetComponent<Transform>()->scale, 2.0f);
    EXPECT_EQ(StackTop(), 0);
    EXPECT_TRUE(reports.empty());
}

TEST_F(SceneLoaderTest, LoadingAgainReplacesAndDropsTheOldPrototype) {
    GameObject* first = LoadArchetype("Bullet", "Body = { mass = 1 }");
    ASSERT_NE(first, nullptr);
    const u32 firstId = first->GetId();
    GameObject* second = LoadArchetype("Bullet", "Body = { mass = 2 }");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(factory.GetArchetypeNames(), std::vector<std::string>{"Bullet"});
    EXPECT_EQ(Object(firstId), nullptr);  // unregistered, handed to the Graveyard
    EXPECT_EQ(second->GetComponent<Body>()->f.mass, 2.0f);
}

TEST_F(SceneLoaderTest, ArchetypeNamesFoldCaseWhenNotFoundAsWritten) {
    WriteFile("archetypes/EnemyShip.arch", "Body = { mass = 3 }");
    ASSERT_TRUE(loader.LoadArchetype("enemyship"));
    ASSERT_NE(factory.GetArchetype("enemyship"), nullptr);
}

TEST_F(SceneLoaderTest, HostileArchetypesFailCleanlyAndStoreNothing) {
    loader.SetRunLimits(200000, 8u << 20);
    const std::size_t before = LiveObjects();
    const char* texts[] = {
        "Transform = 5",
        "Transform = { position = 5 }",
        "Body = { samples = 3 }",
        "Body = { persistForce = 'up' }",
        "Unknown = {}",
        "D3DXVECTOR3 = {}",
        "Transform = {} , ",
        "Transform = { ",
        "while true do end",
        "s = 'x' for i = 1, 40 do s = s .. s end",
        "local function f() return f() end f()",
        "local function f() f() end f()",
        "Body = {} explode()",
        "\x1bLua binary",
    };
    for (const char* text : texts) {
        reports.clear();
        EXPECT_EQ(LoadArchetype("Bad", text), nullptr) << text;
        ASSERT_EQ(reports.size(), 1u) << text;
        EXPECT_NE(reports[0].text.find(Path("archetypes/Bad.arch")), std::string::npos) << reports[0].text;
        EXPECT_EQ(factory.GetArchetype("Bad"), nullptr) << text;
        EXPECT_EQ(StackTop(), 0) << text;
        EXPECT_EQ(LiveObjects(), before) << text;
    }
    // The loader still works afterwards.
    EXPECT_NE(LoadArchetype("Good", "Body = {}"), nullptr);
}

TEST_F(SceneLoaderTest, ErrorTextsSayWhereTheFaultIs) {
    LoadArchetype("Bad", "Transform = { position = 5 }");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].text.find("Transform.position: table expected for D3DXVECTOR3, got number"), std::string::npos)
        << reports[0].text;
    reports.clear();
    LoadArchetype("Bad", "x = 1\nBody = {} explode()");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].text.find("Bad.arch:2:"), std::string::npos) << reports[0].text;
}

TEST_F(SceneLoaderTest, ArchetypeNamesThatAreNoFileNamesAreRefused) {
    EXPECT_FALSE(loader.LoadArchetype("../DevozizuDave"));
    EXPECT_FALSE(loader.LoadArchetype(""));
    EXPECT_EQ(reports.size(), 2u);
}

// A file name holds 255 bytes, ".arch" included.
TEST_F(SceneLoaderTest, ArchetypeNameLimitCountsTheWholeFileName) {
    const struct {
        std::size_t bytes;
        bool loads;
    } cases[] = {{250, true}, {251, false}, {255, false}};
    for (const auto& c : cases) {
        const std::string name(c.bytes, 'a');
        if (c.loads) WriteFile("archetypes/" + name + ".arch", "Body = {}");
        reports.clear();
        EXPECT_EQ(loader.LoadArchetype(name), c.loads) << c.bytes;
        if (c.loads) continue;
        ASSERT_EQ(reports.size(), 1u) << c.bytes;
        EXPECT_NE(reports[0].text.find("is no archetype name"), std::string::npos) << reports[0].text;
    }
}

TEST_F(SceneLoaderTest, LongNamesAreShownCutInEveryMessage) {
    // A name of a megabyte in a file made rows (and stderr) of a megabyte each.
    const std::string longName(1u << 20, 'n');
    const std::string cut = std::string(120, 'n') + "... (1048576 bytes)";
    struct Case {
        const char* what;
        std::function<void()> load;
    };
    for (const Case& c : {
             Case{"archetype name", [&] { loader.LoadArchetype(longName); }},
             Case{"archetype name of a scene",
                  [&] {
                      WriteFile("scenes/Long.scn", "Archetypes = { '" + longName + "' }");
                      scene.LoadScene(Path("scenes/Long.scn"));
                  }},
             Case{"instance group of a scene",
                  [&] {
                      WriteFile("scenes/Long.scn", "Archetypes = { '" + longName + "' } InstancesByArchetype = { ['" +
                                                       longName + "'] = { 5 } }");
                      loader.LoadScene(Path("scenes/Long.scn"));
                  }},
             Case{"component class of an archetype", [&] { LoadArchetype("Long", longName + " = {}"); }},
         }) {
        reports.clear();
        c.load();
        ASSERT_FALSE(reports.empty()) << c.what;
        for (const Report& report : reports) {
            EXPECT_LT(report.text.size(), 600u) << c.what;
            EXPECT_NE(report.text.find(cut), std::string::npos) << c.what << ": " << report.text.substr(0, 300);
        }
    }
}

TEST_F(SceneLoaderTest, InstantiatedObjectsAreIndependentCopies) {
    WriteFile("archetypes/Rock.arch", "Body = { mass = 4 }\n\nTransform = {}\n\n");
    const u32 a = factory.Instantiate("Rock", false);
    const u32 b = factory.Instantiate("Rock", true);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);
    Body* bodyA = Object(a)->GetComponent<Body>();
    bodyA->f.mass = 9;
    EXPECT_EQ(Object(b)->GetComponent<Body>()->f.mass, 4.0f);
    EXPECT_EQ(factory.GetArchetype("Rock")->GetComponent<Body>()->f.mass, 4.0f);
    EXPECT_EQ(bodyA->inits, 1);
    EXPECT_EQ(scene.GetObjectIds(), std::vector<u32>{b});
    EXPECT_EQ(factory.Instantiate("Missing", false), 0u);
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(SceneLoaderTest, ReflectedFileReadsMembersAndIgnoresOtherNames) {
    FilePath path;
    WriteFile("folder.lua", "path = 'sounds/'\nextension = 7\nother = {}\n");
    const IMetaClass* metaClass = registry.GetByName("FilePath");
    ASSERT_NE(metaClass, nullptr);
    ASSERT_TRUE(loader.LoadReflected(Path("folder.lua"), *metaClass, &path));
    EXPECT_EQ(path.path, "sounds/");
    EXPECT_EQ(path.extension, "7");
}

TEST_F(SceneLoaderTest, WrittenArchetypeLeavesOutStandInsAndReadsBack) {
    GameObject* object = factory.NewGameObject();
    object->AddComponent(new Mesh());
    object->AddComponent(new Shape());
    object->AddComponent(new Body());
    object->GetComponent<Body>()->f.samples = {1, 2};
    const std::string text = SceneWriter::WriteArchetype(*object);
    EXPECT_EQ(text,
              "Body = { samples = { 1, 2, }, tag = \"none\", persistForce = { z = 0, y = 0, x = 0,  }, mass = 1,  }\n\n"
              "Shape = { sides = 3,  }\n\n");
    GameObject* back = LoadArchetype("Written", text);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetComponent<Mesh>(), nullptr);
    EXPECT_EQ(back->GetComponent<Body>()->f.samples, (std::vector<float>{1, 2}));
}

TEST(StartupFileTest, TheShippedStartupFileNamesEveryFolder) {
    const char* assets = std::getenv("DD_ASSET_DIR");
    ASSERT_NE(assets, nullptr);
    MetaRegistry registry;
    SceneLoader loader;
    DevozizuDave folders;
    ASSERT_TRUE(folders.Load(assets));
    for (const FilePath* folder :
         {&folders.shader, &folders.model, &folders.sfx, &folders.bgm, &folders.arch, &folders.scene, &folders.particle,
          &folders.skybox, &folders.log, &folders.texture, &folders.externals}) {
        EXPECT_FALSE(folder->path.empty());
        EXPECT_EQ(folder->path.back(), '/');
    }
    EXPECT_EQ(folders.particle.GetFullPath("soft"), std::string(assets) + "/particle/soft.dds");
}

TEST_F(SceneLoaderTest, EveryLoadDropsItsSandboxWhetherItsTableFitsOrNot) {
    const IMetaClass* bodyClass = registry.GetByName("Body");
    ASSERT_NE(bodyClass, nullptr);
    Body body;
    const std::string level = "Archetypes = { 'Rock' } RockInstances = { { Body = ";
    const struct {
        const char* kind;
        std::string file;     // under the root
        std::string sandbox;  // the global the run's table lives under
        std::function<bool()> load;
        std::string fits, misfits;
    } loads[] = {
        {"archetype", "archetypes/Box.arch", "Box", [&] { return loader.LoadArchetype("Box"); }, "Body = {}",
         "Body = 5"},
        {"reflected", "body.lua", Path("body.lua"),
         [&] { return loader.LoadReflected(Path("body.lua"), *bodyClass, &body); }, "mass = 2", "persistForce = 5"},
        {"scene", "scenes/Level.scn", "Level", [&] { return loader.LoadScene(Path("scenes/Level.scn")); },
         level + "{} } }", level + "5 } }"},
        {"checked scene", "scenes/Level.scn", "Level", [&] { return loader.CheckScene(Path("scenes/Level.scn")); },
         level + "{} } }", level + "5 } }"},
    };
    WriteFile("archetypes/Rock.arch", "Body = {}");
    lua_State* L = loader.GetState();
    for (const auto& load : loads) {
        for (const bool fits : {true, false}) {
            const std::string& text = fits ? load.fits : load.misfits;
            WriteFile(load.file, text);
            reports.clear();
            EXPECT_EQ(load.load(), fits) << load.kind << ": " << text;
            if (fits) {
                EXPECT_TRUE(reports.empty()) << load.kind;
            } else {
                ASSERT_EQ(reports.size(), 1u) << load.kind;
                EXPECT_EQ(reports[0].text.rfind(Path(load.file) + ": ", 0), 0u) << reports[0].text;
            }
            lua_getfield(L, LUA_GLOBALSINDEX, load.sandbox.c_str());
            EXPECT_TRUE(lua_isnil(L, -1)) << load.kind << ": " << text;
            lua_pop(L, 1);
            EXPECT_EQ(StackTop(), 0) << load.kind;
        }
    }
}
