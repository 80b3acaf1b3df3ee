// The show's fault matrix, each case a whole process. Bad texture files give
// one line each and the show plays on, through build/soak (the show at a
// fixed frame rate, headless) over its first two scenes, which draw with the
// fallbacks of the first files of the table. On the show binary: bad music
// gives one line and the show plays silently (a FIFO in place of a file,
// texture or music, among them: it is refused, never waited on); SIGINT and SIGTERM end it
// at once, while it loads or plays. (No display and missing GL entry
// points are checked with the tools' command lines.)
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/support/AssetFolder.h"
#include "tests/support/Process.h"
#include "tests/support/ShowRunner.h"
#include "tests/support/TestMp3.h"

namespace {

using testsupport::Finished;
using testsupport::Program;

// Plays the first 20 s (scenes 1 and 2) from `assets` at one frame a second.
Finished play(const std::string& assets) {
    Finished f = Program("soak --fps 1 --to 20000 --assets " + assets).wait(120);
    EXPECT_EQ(f.exitCode, 0) << f.err;
    EXPECT_EQ(f.out.rfind("soak: 21 frames at 1 fps, show stopped, "), 0u) << f.out;
    EXPECT_NE(f.out.find(" 0 GL errors\n"), std::string::npos) << f.out;
    return f;
}

TEST(ShowFaults, EveryBadTextureFileGivesOneLineAndTheShowPlaysOn) {
    const std::string dir = testsupport::copyOfGeneratedAssets();
    const std::string good = testsupport::readFile(dir + "/Textures/block.jpg");
    const size_t sof =
        good.find("\xFF\xC0"); // the baseline frame header: length, precision, size, components
    ASSERT_NE(sof, std::string::npos);
    auto patched = [&](size_t at, const char* bytes) {
        return std::string(good).replace(at, strlen(bytes), bytes);
    };
    // A file of the pack, what it becomes (bytes, or one of the words
    // "missing", "folder", "unreadable", "fifo") and how the show's reason
    // starts.
    const std::tuple<std::string, std::string, const char*> cases[] = {
        {"net.jpg", "missing", "not found"},
        {"block.jpg", "", "file ends inside the header"},
        {"layer1.jpg", "missing", "not found"},      // the colour file of a masked pair
        {"greet3_mask.jpg", "missing", "not found"}, // the mask of a masked pair
        {"block2.jpg", good.substr(0, good.size() / 2), "file ends inside the image data"},
        {"block3.jpg", "\x89PNG\r\n\x1a\n not a JPEG at all", "no marker where one was expected"},
        {"cloud.jpg", patched(sof + 1, "\xC2"), "progressive JPEG is not supported"},
        {"specular.jpg", patched(sof + 4, "\x0C"), "only 8-bit samples are supported"},
        {"chrometex.jpg", patched(sof + 3, "\x14").replace(sof + 9, 1, "\x04"),
         "only 1 (grey) or 3 (YCbCr)"},
        {"flare.jpg", patched(sof + 5, "\xFF\xFF\xFF\xFF"), "image too large"},
        {"triend.jpg", "folder", "is a folder, not a file"},
        {"atex.jpg", "unreadable", "cannot be read"},
        {"rainbow.jpg", "fifo", "is not a regular file"}, // would block a plain open
    };
    const bool root = geteuid() == 0; // reads the unreadable file all the same
    for (const auto& [file, bytes, reason] : cases) {
        const std::string path = dir + "/Textures/" + file;
        std::filesystem::remove(path); // a link into the generated pack
        if (bytes == "folder") std::filesystem::create_directory(path);
        else if (bytes == "fifo") mkfifo(path.c_str(), 0644);
        else if (bytes != "missing")
            std::ofstream(path, std::ios::binary) << (bytes == "unreadable" ? good : bytes);
        if (bytes == "unreadable") chmod(path.c_str(), 0);
    }
    const std::string err = play(dir).err;
    for (const auto& [file, bytes, reason] : cases) {
        const std::string line = bytes == "missing" ? "File Textures/" + file + " not found!\n"
                                                    : "Textures/" + file + ": " + reason;
        EXPECT_TRUE(err.find(line) != std::string::npos || (root && bytes == "unreadable")) << err;
    }
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), long(std::size(cases)) - root)
        << "each line once";
}

TEST(ShowFaults, MissingTextureFolderGivesOneLineAndTheShowPlaysOn) {
    EXPECT_EQ(play(testsupport::makeTempDir()).err,
              "Textures/: folder not found; the show plays without its pictures\n");
}

TEST(ShowFaults, SignalsEndTheShowWhileItLoadsOrPlaysAndBadMusicIsOneLine) {
    // The music, the signal, and what the show says before it. With nothing
    // to say the signal comes as soon as the window is open (the GL driver
    // runs its own threads), while the show loads; otherwise once it is said,
    // as the show starts to play. The show looks for a quit request between
    // loading steps and frames, under a second apart on an idle machine; it
    // is given 5 s, as the suite may run beside other work on few cores.
    const std::tuple<std::string, int, std::string> cases[] = {
        {"kept", SIGINT, ""},
        {"kept", SIGTERM, ""},
        {"missing", SIGINT, "Demo: musa.mp3: not found; the show plays silently.\n"},
        {"garbage", SIGTERM, "Demo: musa.mp3: is not an MP3 stream; the show plays silently.\n"},
        {"fifo", SIGTERM, "Demo: musa.mp3: is not a regular file; the show plays silently.\n"},
    };
    for (const auto& [music, sig, says] : cases) {
        const std::string dir = testsupport::copyOfGeneratedAssets();
        if (music != "kept") std::filesystem::remove(dir + "/musa.mp3");
        if (music == "garbage") std::ofstream(dir + "/musa.mp3") << music;
        if (music == "fifo") mkfifo((dir + "/musa.mp3").c_str(), 0644);
        Program show("demo", {}, dir);
        EXPECT_TRUE(testsupport::waitFor([&] { return show.threads() >= 3 && show.err() == says; }, 30));
        show.sendSignal(sig);
        Finished f = show.wait(5);
        EXPECT_EQ(f.exitCode, 0) << music << ", signal " << sig << ": not ended at once. " << f.err;
        EXPECT_EQ(f.err, says);
    }
}

} // namespace
