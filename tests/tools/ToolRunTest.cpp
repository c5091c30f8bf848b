// Every asset tool and the screenshot tool run as programs against an output
// folder on a full disk: each must exit 1 naming the file it could not
// write, and leave the folder exactly as it was (old file, no temporary).
// The screenshot tool also against a scene whose effect or archetype is broken.
// The full disk is a small tmpfs filled to the last byte where one can be
// mounted; elsewhere the output file is a link to /dev/full.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/port/ChildProcess.h"
#include "tests/port/FolderSnapshot.h"
#include "tests/port/os/HostileFiles.h"
#include "tests/support/TempAssetRoot.h"

namespace {
namespace fs = std::filesystem;

struct ToolRow {
    const char* name;
    const char* output;                // the first file the tool writes, relative to the output folder
    std::vector<const char*> folders;  // what the tool makes in it (made beforehand)
    std::function<std::vector<std::string>(const std::string& out, const std::string& assets)> command;
};

void PrintTo(const ToolRow& row, std::ostream* out) {
    *out << row.name;
}

std::string Source(const std::string& path) {
    return std::string(std::getenv("DD_SOURCE_DIR")) + "/" + path;
}

const ToolRow kTools[] = {
    {"particletex",
     "soft.dds",
     {},
     [](const std::string& out, const std::string&) -> std::vector<std::string> {
         return {DD_PARTICLETEX, out};
     }},
    {"randnormals",
     "randnormals.dds",
     {},
     [](const std::string& out, const std::string&) -> std::vector<std::string> {
         return {DD_RANDNORMALS, out};
     }},
    {"demoassets",
     "texture/Ship.dds",
     {"texture", "skybox"},
     [](const std::string& out, const std::string&) -> std::vector<std::string> {
         return {DD_DEMOASSETS, out};
     }},
    {"particlearch",
     "SparkBurst.arch",
     {},
     [](const std::string& out, const std::string&) -> std::vector<std::string> {
         return {DD_PARTICLEARCH, out};
     }},
    {"modeltool",
     "Ship.bin",
     {},
     [](const std::string& out, const std::string&) -> std::vector<std::string> {
         return {DD_MODELTOOL, Source("tools/demoassets/models/Ship.obj"), out + "/Ship.bin"};
     }},
    {"screenshot",
     "shot.png",
     {},
     [](const std::string& out, const std::string& assets) -> std::vector<std::string> {
         return {DD_SCREENSHOT, "--size", "64x48", "--frames", "1", assets, "Demo", out + "/shot.png"};
     }},
};

class ToolRunGLTest : public ::testing::TestWithParam<ToolRow> {
protected:
    void TearDown() override {
        if (mounted_) ::umount2(out_.c_str(), MNT_DETACH);
    }

    // The output folder with the old file in place, on a disk with no byte
    // left; or, where nothing can be mounted, the old file is a link to a
    // device that is always full.
    void MakeFullOutputFolder(const ToolRow& row) {
        fs::create_directories(out_);
        mounted_ = ::mount("tmpfs", out_.c_str(), "tmpfs", 0, "size=256k") == 0;
        for (const char* folder : row.folders) fs::create_directories(out_ + "/" + folder);
        const std::string old = out_ + "/" + row.output;
        if (!mounted_) {
            fs::create_symlink("/dev/full", old);
            return;
        }
        { std::ofstream(old) << "old"; }
        const int filler = ::open((out_ + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(filler, 0);
        const std::string block(4096, 'f');
        while (::write(filler, block.data(), block.size()) > 0) {
        }
        ::close(filler);
    }

    TempAssetRoot assets_{TempAssetRoot::Contents::WholeTree, false};
    std::string out_ = assets_.Dir() + "/out";
    bool mounted_ = false;
};

TEST_P(ToolRunGLTest, FullDiskEndsWithStatusOneNamingTheFileAndKeepsTheFolder) {
    const ToolRow& row = GetParam();
    MakeFullOutputFolder(row);
    const FolderSnapshot before = TakeFolderSnapshot(out_);
    const ChildResult result = ChildProcess::Exec(assets_.Dir(), row.command(out_, assets_.Dir())).Wait();
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 1) << result.status << result.errorText;
    EXPECT_NE(result.errorText.find("cannot write " + out_ + "/" + row.output + ": No space left on device"),
              std::string::npos)
        << result.errorText;
    if (mounted_) {
        EXPECT_EQ(TakeFolderSnapshot(out_), before);
    }
    EXPECT_EQ(TakeFolderSnapshot(out_).count(row.output), 1u) << "the old file or link stays";
}

// A scene whose effect or archetype failed to load gives no picture (the old
// one stays) and status 1 naming the file, not a black picture and status 0.
TEST(ScreenshotRunGLTest, FailedEffectOrArchetypeEndsWithStatusOneNamingIt) {
    const struct {
        const char* broken;
        const char* text;  // what the file becomes; null: removed
        const char* named;
    } cases[] = {
        {"shader/UIShader.fx", "techniques = {", "the effect file "},
        {"shader/ParticleIntegration.fx", nullptr, "the effect file "},
        {"arch/EngineFlame.arch", nullptr, "1 of its files failed to load, the last: "},
        {"arch/EngineFlame.arch", "ParticleEmmiter = 5", "1 of its files failed to load, the last: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.broken);
        TempAssetRoot assets(TempAssetRoot::Contents::WholeTree, false);
        const std::string file = assets.Dir() + "/" + c.broken;
        if (c.text)
            std::ofstream(file) << c.text;
        else
            fs::remove(file);
        const std::string picture = assets.Dir() + "/shot.png";
        std::ofstream(picture) << "old";
        const ChildResult result = ChildProcess::Exec(assets.Dir(), {DD_SCREENSHOT, "--size", "64x48", "--frames", "1",
                                                                     assets.Dir(), "Demo", picture})
                                       .Wait();
        ASSERT_FALSE(result.timedOut);
        EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 1) << result.status;
        const std::size_t toolLine = result.errorText.find("\nscreenshot: ");
        ASSERT_NE(toolLine, std::string::npos) << result.errorText;
        EXPECT_NE(result.errorText.find(c.named, toolLine), std::string::npos) << result.errorText;
        EXPECT_NE(result.errorText.find(file, toolLine), std::string::npos) << result.errorText;
        EXPECT_EQ(ReadWholeFile(picture), "old");
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTool, ToolRunGLTest, ::testing::ValuesIn(kTools),
                         [](const ::testing::TestParamInfo<ToolRow>& info) { return std::string(info.param.name); });

TEST(ModelToolRunTest, SourceThatIsNoRegularFileEndsWithStatusOneNamingIt) {
    HostileFiles files;
    for (HostileFiles::Kind kind : {HostileFiles::Kind::Fifo, HostileFiles::Kind::DevZeroLink}) {
        const std::string input = files.Make(kind, "in" + std::to_string(static_cast<int>(kind)) + ".obj");
        // A reader that opened these would block or read forever.
        const ChildResult result =
            ChildProcess::Exec(files.Dir(), {DD_MODELTOOL, input, files.Dir() + "/out.bin"}).Wait(10);
        ASSERT_FALSE(result.timedOut) << input;
        EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 1) << result.status;
        EXPECT_NE(result.errorText.find("modeltool: " + input + " is a"), std::string::npos) << result.errorText;
        EXPECT_FALSE(fs::exists(files.Dir() + "/out.bin"));
    }
}
}  // namespace
