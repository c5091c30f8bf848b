#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "port/os/FileCase.h"

namespace fs = std::filesystem;

TEST(FileCaseTest, NameWrittenInOtherCaseFindsTheFile) {
    const fs::path root = fs::temp_directory_path() / ("dd_filecase_" + std::to_string(::getpid()));
    fs::create_directories(root / "Assets" / "Textures");
    std::ofstream((root / "Assets" / "Textures" / "Ship.PNG").string()) << "x";
    EXPECT_EQ(FindFileFoldingCase((root / "assets/textures/ship.png").string()),
              (root / "Assets/Textures/Ship.PNG").string());
    EXPECT_EQ(FindFileFoldingCase((root / "Assets/Textures/Ship.PNG").string()),
              (root / "Assets/Textures/Ship.PNG").string());
    EXPECT_EQ(FindFileFoldingCase((root / "assets/textures/none.png").string()), "");
    EXPECT_EQ(FindFileFoldingCase(""), "");
    fs::remove_all(root);
}
