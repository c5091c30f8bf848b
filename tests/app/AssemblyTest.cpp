// The start-up assembly on a temporary asset root: every registered type is
// found under its name and its type id, each component class has one
// prototype, type ids follow the tables, and teardown goes in reverse order
// with every global pointer cleared.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/Assembly.h"
#include "app/ClassRegistrations.h"
#include "app/SystemTable.h"
#include "core/IdCounter.h"
#include "engine/Engine.h"
#include "engine/Graveyard.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "reflection/IMetaClass.h"
#include "reflection/MetaRegistry.h"
#include "reflection/TweakBinding.h"
#include "render/effect/EffectLoader.h"
#include "render/frame/RenderDevice.h"
#include "render/frame/RenderResources.h"
#include "render/mesh/ModelCache.h"
#include "render/mesh/NoiseGenerator.h"
#include "render/text/FontManager.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"
#include "tests/port/ChildProcess.h"
#include "tests/support/TempAssetRoot.h"

namespace {
const std::vector<std::string> kValueTypes = {"D3DXVECTOR3", "D3DXQUATERNION", "D3DXCOLOR", "D3DXVECTOR4",
                                              "D3DXVECTOR2"};
// The services in creation order.
const std::vector<std::string> kServiceOrder = {
    "MessageHub",   "IdCounter",       "MetaRegistry", "SceneLoader",    "DevozizuDave", "Logger",
    "RenderDevice", "Graveyard",       "Overlord",     "ObjectFactory",  "SceneManager", "Engine",
    "ModelCache",   "RenderResources", "FontManager",  "NoiseGenerator", "EffectLoader"};

template <class Entries>
std::vector<std::string> Names(const Entries& entries) {
    std::vector<std::string> names;
    for (const auto& entry : entries) names.push_back(entry.name);
    return names;
}

// The systems in update order.
std::vector<std::string> SystemNames() {
    std::vector<std::string> names;
    for (const auto& entry : SystemTable::Systems()) names.push_back(entry.name);
    return names;
}

// Every type of the tables in registration order.
std::vector<std::string> AllTableTypes() {
    std::vector<std::string> all = kValueTypes;
    for (const auto& name : Names(ClassRegistrations::ComponentClasses())) all.push_back(name);
    for (const auto& name : Names(ClassRegistrations::PlainStructures())) all.push_back(name);
    const std::vector<std::string> systems = SystemNames();
    all.insert(all.end(), systems.rbegin(), systems.rend());
    return all;
}

// A temporary asset root holding the repository's start-up file, as the
// working directory of the test.
class AssemblyTest : public ::testing::Test {
protected:
    TempAssetRoot root_{TempAssetRoot::Contents::StartupFileOnly};
    const std::string dir_ = root_.Dir();
    std::unique_ptr<Assembly> assembly_ = std::make_unique<Assembly>();

    // Makes the scene and archetype folders; returns the number of a process
    // that has ended (a save's writer that is gone), "" when none could be made.
    std::string SaveFoldersAndAGoneWriter() {
        std::filesystem::create_directory(dir_ + "/scene");
        std::filesystem::create_directory(dir_ + "/arch");
        const pid_t gone = ::fork();
        if (gone == 0) ::_exit(0);
        if (gone < 0) return "";
        ::waitpid(gone, nullptr, 0);
        return std::to_string(gone);
    }
};

TEST_F(AssemblyTest, EveryTableTypeIsFoundUnderItsNameAndTypeId) {
    ASSERT_TRUE(assembly_->Assemble());
    const MetaRegistry& registry = *MetaRegistry::Instance();
    for (const std::string& name : AllTableTypes()) {
        const IMetaClass* byName = registry.GetByName(name);
        ASSERT_NE(byName, nullptr) << name;
        EXPECT_EQ(byName->GetName(), name);
        EXPECT_NE(byName->GetTypeId(), 0u) << name;
        EXPECT_EQ(registry.GetByTypeId(byName->GetTypeId()), byName) << name;
    }
}

TEST_F(AssemblyTest, EachComponentClassHasExactlyOnePrototype) {
    ASSERT_TRUE(assembly_->Assemble());
    const ObjectFactory& factory = *ObjectFactory::Instance();
    const MetaRegistry& registry = *MetaRegistry::Instance();
    std::set<const IComponent*> prototypes;
    for (const std::string& name : Names(ClassRegistrations::ComponentClasses())) {
        const u32 typeId = registry.GetByName(name)->GetTypeId();
        const IComponent* prototype = factory.GetPrototype(name);
        ASSERT_NE(prototype, nullptr) << name;
        EXPECT_EQ(factory.GetPrototype(typeId), prototype) << name;
        EXPECT_EQ(prototype->GetTypeId(), typeId) << name << ": the prototype is of another class";
        EXPECT_TRUE(prototypes.insert(prototype).second) << name << " shares a prototype";
    }
    for (const std::string& name : Names(ClassRegistrations::PlainStructures()))
        EXPECT_EQ(factory.GetPrototype(name), nullptr) << name << " is no component";
}

TEST_F(AssemblyTest, TypeIdsFollowTheTableOrder) {
    ASSERT_TRUE(assembly_->Assemble());
    const MetaRegistry& registry = *MetaRegistry::Instance();
    u32 previous = 0;
    std::string previousName = "(start)";
    for (const std::string& name : AllTableTypes()) {
        const u32 typeId = registry.GetByName(name)->GetTypeId();
        EXPECT_GT(typeId, previous) << name << " drew its type id before " << previousName;
        previous = typeId;
        previousName = name;
    }
}

TEST(AssemblyTablesTest, ComponentClassesAreInByteOrderOfTheirNames) {
    const std::vector<std::string> names = Names(ClassRegistrations::ComponentClasses());
    for (size_t i = 1; i < names.size(); ++i)
        EXPECT_LT(std::strcmp(names[i - 1].c_str(), names[i].c_str()), 0) << names[i - 1] << " / " << names[i];
}

TEST_F(AssemblyTest, EngineListRunsTheLastCreatedSystemFirst) {
    ASSERT_TRUE(assembly_->Assemble());
    Engine* engine = Engine::Instance();
    std::vector<std::string> listed;
    for (ISystem* system = engine->GetChildHead(); system; system = system->GetNext()) {
        listed.push_back(system->GetName());
        EXPECT_EQ(engine->GetSystem(system->GetTypeId()), system) << system->GetName();
        EXPECT_EQ(MetaRegistry::Instance()->GetByName(system->GetName())->GetTypeId(), system->GetTypeId());
    }
    EXPECT_EQ(listed, SystemNames()) << "each system's name text equals its class name";
}

TEST_F(AssemblyTest, ServicesAreMadeInOrderAndEachIsReachable) {
    ASSERT_TRUE(assembly_->Assemble());
    EXPECT_EQ(assembly_->Services().Names(), kServiceOrder);
    EXPECT_TRUE(assembly_->Services().EntriesNotReachable().empty());
}

void ExpectEveryServicePointerCleared() {
    EXPECT_EQ(MessageHub::Instance(), nullptr);
    EXPECT_EQ(IdCounter::Instance(), nullptr);
    EXPECT_EQ(MetaRegistry::Instance(), nullptr);
    EXPECT_EQ(SceneLoader::Instance(), nullptr);
    EXPECT_EQ(DevozizuDave::Instance(), nullptr);
    EXPECT_EQ(Logger::Instance(), nullptr);
    EXPECT_EQ(RenderDevice::Instance(), nullptr);
    EXPECT_EQ(Graveyard::Instance(), nullptr);
    EXPECT_EQ(Overlord::Instance(), nullptr);
    EXPECT_EQ(ObjectFactory::Instance(), nullptr);
    EXPECT_EQ(SceneManager::Instance(), nullptr);
    EXPECT_EQ(Engine::Instance(), nullptr);
    EXPECT_EQ(ModelCache::Instance(), nullptr);
    EXPECT_EQ(RenderResources::Instance(), nullptr);
    EXPECT_EQ(FontManager::Instance(), nullptr);
    EXPECT_EQ(NoiseGenerator::Instance(), nullptr);
    EXPECT_EQ(EffectLoader::Instance(), nullptr);
}

TEST_F(AssemblyTest, DisassemblyGoesInReverseOrderAndClearsEveryPointer) {
    ASSERT_TRUE(assembly_->Assemble());
    const std::vector<std::string> made = assembly_->Services().Names();
    assembly_->Disassemble();
    ExpectEveryServicePointerCleared();
    EXPECT_TRUE(assembly_->Services().Empty());

    // The log records each service as it goes, down to the log itself.
    std::ifstream log(dir_ + "/log/Application.log");
    std::vector<std::string> gone;
    for (std::string line; std::getline(log, line);) {
        const auto at = line.find("\tShutdown: ");
        if (at != std::string::npos) gone.push_back(line.substr(at + 11));
    }
    std::vector<std::string> expected(made.rbegin(), made.rend());
    expected.resize(std::find(expected.begin(), expected.end(), "Logger") - expected.begin() + 1);
    EXPECT_EQ(gone, expected);
}

TEST_F(AssemblyTest, MissingStartupFileFailsWithNothingLeft) {
    std::filesystem::remove(dir_ + "/DevozizuDave.init");
    EXPECT_FALSE(assembly_->Assemble());
    EXPECT_TRUE(assembly_->Services().Empty());
    EXPECT_EQ(assembly_->GetEngine(), nullptr);
    ExpectEveryServicePointerCleared();
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/log"));
}

TEST_F(AssemblyTest, StartupFileThatFailsWhileItRunsIsNamedWithLineAndLuasText) {
    std::ofstream(dir_ + "/DevozizuDave.init") << "log = { path = 'log/', extension = '.log' }\nscene = nothing.here\n";
    EXPECT_FALSE(assembly_->Assemble());
    EXPECT_TRUE(assembly_->Services().Empty());
    EXPECT_EQ(assembly_->FailureText(), "the start-up file \"" + dir_ +
                                            "/DevozizuDave.init\" cannot be used: line 2: attempt to index global "
                                            "'nothing' (a nil value)");
}

// Asset folders come with levels: a library found in externals under the
// names the program once loaded is not run (its start-up code would leave a
// file), and is named once in the log.
TEST_F(AssemblyTest, LibrariesInExternalsAreNotRunAndEachGetsARow) {
    std::filesystem::create_directory(dir_ + "/externals");
    std::filesystem::copy_file(DD_EXTERNALS_PROBE_LIB, dir_ + "/externals/fmodex.so");
    std::ofstream(dir_ + "/externals/AntTweakBar.so") << "not a library";
    const std::string mark = dir_ + "/library-ran";
    ::setenv("DD_EXTERNALS_PROBE", mark.c_str(), 1);
    ASSERT_TRUE(assembly_->Assemble());
    assembly_->Disassemble();
    ::unsetenv("DD_EXTERNALS_PROBE");
    EXPECT_FALSE(std::filesystem::exists(mark));
    std::stringstream text;
    text << std::ifstream(dir_ + "/log/Application.log").rdbuf();
    for (const std::string& name : Assembly::PreloadedLibraryNames()) {
        const std::string row = "PreloadDlls: " + dir_ + "/externals/" + name + ".so is not loaded";
        const std::size_t at = text.str().find(row);
        EXPECT_NE(at, std::string::npos) << name << "\n" << text.str();
        EXPECT_EQ(text.str().find(row, at + 1), std::string::npos) << name;
    }
}

// A start-up file can build a folder name of megabytes. One past the system's
// path limit is refused at the check (the working folder is used), so no
// folder maker splits it, and the message naming it is cut.
TEST_F(AssemblyTest, LogFolderPastThePathLimitIsRefusedWithAShortMessage) {
    std::ofstream(dir_ + "/DevozizuDave.init") << "local s = 'a/' for i = 1, 23 do s = s .. s end\n"
                                                  "log = { path = s, extension = '.log' }\n";
    ChildResult run = ChildProcess::Fork(dir_, [] {
                          Assembly assembly;
                          if (!assembly.Assemble()) ::_exit(1);
                          assembly.Disassemble();
                      }).Wait();
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status;
    EXPECT_LT(run.errorText.size(), 2000u) << run.errorText.substr(0, 400);
    EXPECT_NE(run.errorText.find("is refused (a folder longer than the system's path limit)"), std::string::npos)
        << run.errorText.substr(0, 400);
    if (PeakMemoryIsMeaningful()) {
        EXPECT_LT(run.peakKilobytes, 300 * 1024);
    }
    EXPECT_LT(std::filesystem::file_size(dir_ + "/Application.log"), 20000u);
}

// A save killed by kill -9 leaves its temporary file beside the scene or
// archetype; the next start removes it (its writer is gone) with a log row.
TEST_F(AssemblyTest, StartRemovesTemporariesOfSavesThatDidNotFinish) {
    const std::string pid = SaveFoldersAndAGoneWriter();
    ASSERT_FALSE(pid.empty());
    const std::vector<std::string> leftovers = {"scene/Big.scn." + pid + "-0.tmp", "arch/Rock.arch." + pid + "-3.tmp"};
    const std::vector<std::string> kept = {"scene/Big.scn", "scene/Big.scn.1-0.tmp", "scene/notes.tmp"};
    for (const std::string& name : leftovers) std::ofstream(dir_ + "/" + name) << "half a save";
    for (const std::string& name : kept) std::ofstream(dir_ + "/" + name) << "kept";
    ASSERT_TRUE(assembly_->Assemble());
    assembly_->Disassemble();
    std::stringstream log;
    log << std::ifstream(dir_ + "/log/Application.log").rdbuf();
    for (const std::string& name : leftovers) {
        EXPECT_FALSE(std::filesystem::exists(dir_ + "/" + name)) << name;
        EXPECT_NE(log.str().find(name + ", left by a save that did not finish"), std::string::npos) << log.str();
    }
    for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(dir_ + "/" + name)) << name;
}

// Only the save's own temporary name, "<file name with the folder's
// extension>.<pid>-<n>.tmp", is taken for a leftover; a designer's files
// that merely look alike stay.
TEST_F(AssemblyTest, StartUpCleanUpRemovesOnlyTheSavesOwnTemporaries) {
    const std::string pid = SaveFoldersAndAGoneWriter();
    ASSERT_FALSE(pid.empty());
    const struct {
        std::string name;
        bool removed;
    } cases[] = {
        {"scene/Big.scn." + pid + "-0.tmp", true},
        {"scene/two.dots.scn." + pid + "-12.tmp", true},
        {"arch/Rock-2.arch." + pid + "-3.tmp", true},
        {"scene/notes.2024-06.tmp", false},
        {"arch/x.999998-1.tmp", false},
        {"scene/Rock.arch." + pid + "-0.tmp", false},
        {"arch/Big.scn." + pid + "-0.tmp", false},
        {"scene/.scn." + pid + "-0.tmp", false},
        {"scene/Big.scn.0" + pid + "-0.tmp", false},
        {"scene/Big.scn." + pid + "-00.tmp", false},
        {"scene/Big.scn." + pid + "-.tmp", false},
        {"scene/Big.scn." + pid + "-0.tmp.bak", false},
    };
    for (const auto& c : cases) std::ofstream(dir_ + "/" + c.name) << "a designer's bytes";
    ASSERT_TRUE(assembly_->Assemble());
    assembly_->Disassemble();
    for (const auto& c : cases) EXPECT_EQ(std::filesystem::exists(dir_ + "/" + c.name), !c.removed) << c.name;
}

TEST_F(AssemblyTest, ReflectionRowsReachTheLogWhileItExists) {
    ASSERT_TRUE(assembly_->Assemble());
    OnTweakBarError("bad value");
    assembly_->Disassemble();
    OnTweakBarError("after the log");  // dropped, not sent to a destroyed log
    std::stringstream text;
    text << std::ifstream(dir_ + "/log/Application.log").rdbuf();
    EXPECT_NE(text.str().find("\tanttweakbar error: bad value"), std::string::npos) << text.str();
    EXPECT_EQ(text.str().find("after the log"), std::string::npos);
}

// Writes "name type-id" for every table type when DD_TYPE_ID_DUMP names a
// file (run by the next test in fresh processes); skipped otherwise.
TEST_F(AssemblyTest, DumpTypeIdsForChildRun) {
    const char* out = std::getenv("DD_TYPE_ID_DUMP");
    if (!out) GTEST_SKIP() << "helper of SameBuildHandsOutTheSameTypeIds";
    ASSERT_TRUE(assembly_->Assemble());
    std::ofstream file(out);
    for (const std::string& name : AllTableTypes())
        file << name << ' ' << MetaRegistry::Instance()->GetByName(name)->GetTypeId() << '\n';
}

TEST(AssemblyRunsTest, SameBuildHandsOutTheSameTypeIds) {
    char self[PATH_MAX] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const std::string dir = MakeTempFolder();
    std::string dumps[2];
    for (int run = 0; run < 2; ++run) {
        const std::string path = dir + "/ids" + std::to_string(run);
        ::setenv("DD_TYPE_ID_DUMP", path.c_str(), 1);
        ChildProcess child = ChildProcess::Exec(dir, {self, "--gtest_filter=AssemblyTest.DumpTypeIdsForChildRun"});
        ChildResult result = child.Wait();
        ::unsetenv("DD_TYPE_ID_DUMP");
        ASSERT_FALSE(result.timedOut);
        dumps[run] = ReadWholeFile(path);
    }
    std::filesystem::remove_all(dir);
    EXPECT_FALSE(dumps[0].empty());
    EXPECT_NE(dumps[0].find("Transform "), std::string::npos);
    EXPECT_EQ(dumps[0], dumps[1]);
}
}  // namespace
