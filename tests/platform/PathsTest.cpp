// The tools' default asset folder: the build tree's pack beside the program
// wins, the installed pack (found by its path relative to the program's
// folder) comes next, and with neither the build-tree folder is named so
// that the missing-files messages point at it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Paths.h"
#include "tests/support/TestMp3.h"

namespace {

namespace fs = std::filesystem;

TEST(Paths, BuildTreePackWinsThenTheInstalledOneAndWithNeitherTheBuildTreeFolderIsNamed) {
    // Beside bin/: whether bin/assets is there, what share/pack is (a plain
    // file is no pack either), and which folder is chosen.
    const struct {
        bool buildPack;
        std::string installed, chosen;
    } cases[] = {{true, "folder", "/bin/assets"},
                 {false, "folder", "/share/pack"},
                 {false, "", "/bin/assets"},
                 {false, "file", "/bin/assets"}};
    for (const auto& c : cases) {
        const std::string root = testsupport::makeTempDir();
        fs::create_directories(root + (c.buildPack ? "/bin/assets" : "/bin"));
        fs::create_directories(root + "/share");
        if (c.installed == "folder") fs::create_directory(root + "/share/pack");
        if (c.installed == "file") std::ofstream(root + "/share/pack") << "not a folder";
        EXPECT_EQ(platform::defaultAssetFolder(root + "/bin", "../share/pack"), root + c.chosen)
            << c.buildPack << " " << c.installed;
        fs::remove_all(root);
    }
    // The test programs live in the build folder, as the tools do.
    EXPECT_EQ(platform::assetFolder(""),
              fs::path(DEMO_BINARY_DIR "/assets").lexically_normal().string());
}

} // namespace
