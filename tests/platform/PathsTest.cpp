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

// A prefix with bin/ and, on request, bin/assets/ and share/pack/.
struct Tree {
    std::string root = testsupport::makeTempDir();
    std::string bin = root + "/bin";
    std::string buildPack = root + "/bin/assets";
    std::string installedPack = root + "/share/pack";

    Tree(bool withBuildPack, bool withInstalledPack) {
        fs::create_directories(bin);
        if (withBuildPack) fs::create_directories(buildPack);
        if (withInstalledPack) fs::create_directories(installedPack);
    }
    ~Tree() { fs::remove_all(root); }
};

TEST(Paths, BuildTreePackWinsOverTheInstalledOne) {
    Tree tree(true, true);
    EXPECT_EQ(platform::defaultAssetFolder(tree.bin, "../share/pack"), tree.buildPack);
}

TEST(Paths, InstalledPackIsFoundRelativeToTheProgramAndNormalised) {
    Tree tree(false, true);
    EXPECT_EQ(platform::defaultAssetFolder(tree.bin, "../share/pack"), tree.installedPack);
}

TEST(Paths, WithoutAnyPackTheBuildTreeFolderIsNamed) {
    Tree tree(false, false);
    EXPECT_EQ(platform::defaultAssetFolder(tree.bin, "../share/pack"), tree.buildPack);

    // A plain file where the installed folder should be is no pack either.
    fs::create_directories(tree.root + "/share");
    std::ofstream(tree.installedPack) << "not a folder";
    EXPECT_EQ(platform::defaultAssetFolder(tree.bin, "../share/pack"), tree.buildPack);
}

TEST(Paths, ChosenFolderIsTakenAsGiven) {
    EXPECT_EQ(platform::assetFolder("some/where/../pack"), "some/where/../pack");
}

TEST(Paths, TestProgramsFindTheGeneratedPackOfTheBuild) {
    // The test programs live in the build folder, as the tools do.
    EXPECT_EQ(platform::assetFolder(""),
              fs::path(DEMO_BINARY_DIR "/assets").lexically_normal().string());
}

} // namespace
