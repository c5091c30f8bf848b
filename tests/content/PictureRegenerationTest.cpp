// The picture tool run as make-pictures.sh runs it, into a temporary folder,
// writes exactly the listed pictures, each with the committed bytes; and a
// broken description stops it with the picture named, writing nothing.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "tests/content/PictureAssets.h"
#include "tests/port/ChildProcess.h"
#include "tests/support/TempFolder.h"

namespace {
namespace fs = std::filesystem;

std::vector<std::string> Descriptions() {
    std::vector<std::string> files;
    for (const auto& entry :
         fs::directory_iterator(std::string(std::getenv("DD_SOURCE_DIR")) + "/tools/picturetool/pictures"))
        if (entry.path().extension() == ".lua") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

ChildResult RunTool(const std::string& dir, const std::string& out, const std::vector<std::string>& files) {
    std::vector<std::string> argv{DD_PICTURETOOL, out};
    argv.insert(argv.end(), files.begin(), files.end());
    return ChildProcess::Exec(dir, argv).Wait(300);
}

TEST(PictureRegenerationTest, TheToolMakesTheCommittedBytes) {
    TempFolder out("ddpictures");
    const ChildResult result = RunTool(out.Path(), out.Path(), Descriptions());
    ASSERT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << result.errorText;
    std::set<std::string> made;
    for (const auto& entry : fs::directory_iterator(out.Path())) made.insert(entry.path().filename().string());
    std::set<std::string> listed;
    for (const ListedPicture& p : ListedPictures()) listed.insert(p.name + ".dds");
    EXPECT_EQ(made, listed);
    for (const std::string& file : listed) {
        const std::string committed = Bytes(TextureFolder() + "/" + file);
        EXPECT_FALSE(committed.empty()) << file;
        EXPECT_TRUE(Bytes(out.Path() + "/" + file) == committed) << file << " differs from the committed file";
    }
}

TEST(PictureRegenerationTest, ABrokenDescriptionNamesThePictureAndWritesNothing) {
    TempFolder out("ddpictures");
    const std::string broken = out.Path() + "/broken.lua";
    std::ofstream(broken)
        << "picture{name = \"Bad\", width = 8, height = 8, layers = {fill{rect{x = 0, y = 0, w = 4}}}}\n";
    const ChildResult result = RunTool(out.Path(), out.Path() + "/texture", {broken});
    ASSERT_TRUE(WIFEXITED(result.status));
    EXPECT_EQ(WEXITSTATUS(result.status), 1);
    EXPECT_NE(result.errorText.find("\"Bad\""), std::string::npos) << result.errorText;
    EXPECT_NE(result.errorText.find("\"h\""), std::string::npos) << result.errorText;
    EXPECT_FALSE(fs::exists(out.Path() + "/texture"));
}

}  // namespace
