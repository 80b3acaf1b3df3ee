// The show's fault matrix, each case a whole process: bad texture files
// played through to the end with build/soak (the show at a fixed frame rate,
// headless), and the environment faults (no display, missing GL entry points,
// SIGINT and SIGTERM) on the show binary itself.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/AssetFolder.h"
#include "tests/support/Process.h"
#include "tests/support/ShowRunner.h"
#include "tests/support/TestMp3.h"

namespace {

using testsupport::Finished;
using testsupport::runProgram;

const std::string soak = DEMO_BINARY_DIR "/soak";
const std::string demo = DEMO_BINARY_DIR "/demo";
const std::vector<std::string> headless = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& bytes) {
    unlink(path.c_str()); // a link into the generated pack: replace, never write through
    std::ofstream(path, std::ios::binary) << bytes;
}

// The offset of the baseline frame header's precision byte.
size_t frameHeader(const std::string& jpeg) {
    size_t at = jpeg.find("\xFF\xC0");
    return at == std::string::npos ? 0 : at + 4;
}

int lines(const std::string& text, const std::string& needle) {
    int n = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) n++;
    return n;
}

// Plays the whole show at 2 frames a second from `assets`.
Finished playWholeShow(const std::string& assets) {
    return runProgram({soak, "--fps", "2", "--assets", assets}, {}, assets, 300);
}

void expectPlayedToTheEnd(const Finished& f) {
    EXPECT_EQ(f.exitCode, 0) << f.err;
    EXPECT_NE(f.out.find("show ended"), std::string::npos) << f.out;
    EXPECT_NE(f.out.find(" 0 GL errors"), std::string::npos) << f.out;
}

TEST(ShowFaults, BadTextureFilesGiveOneLineEachAndTheShowPlaysToTheEnd) {
    std::string dir = testsupport::copyOfGeneratedAssets();
    std::string t = dir + "/Textures/";
    std::string good = readBytes(t + "block.jpg");
    ASSERT_GT(frameHeader(good), 0u);

    unlink((t + "net.jpg").c_str());         // a plain file missing
    unlink((t + "layer1.jpg").c_str());      // the colour file of a masked pair
    unlink((t + "greet3_mask.jpg").c_str()); // the mask of a masked pair
    writeBytes(t + "block.jpg", "");
    writeBytes(t + "block2.jpg", good.substr(0, good.size() / 2));
    writeBytes(t + "block3.jpg", "\x89PNG\r\n\x1a\n not a JPEG at all");
    std::string progressive = good;
    progressive[frameHeader(good) - 3] = '\xC2';
    writeBytes(t + "cloud.jpg", progressive);
    std::string twelveBit = good;
    twelveBit[frameHeader(good)] = 12;
    writeBytes(t + "specular.jpg", twelveBit);
    writeBytes(t + "chrometex.jpg", std::string("\xFF\xD8\xFF\xC0\x00\x14\x08\x00\x10\x00\x10\x04"
                                                "\x01\x11\x00\x02\x11\x00\x03\x11\x00\x04\x11\x00"
                                                "\xFF\xD9",
                                                26)); // CMYK
    std::string huge = good;
    huge.replace(frameHeader(good) + 1, 4, "\xFF\xFF\xFF\xFF");
    writeBytes(t + "flare.jpg", huge);
    unlink((t + "triend.jpg").c_str());
    mkdir((t + "triend.jpg").c_str(), 0755);
    writeBytes(t + "atex.jpg", good);
    chmod((t + "atex.jpg").c_str(), 0);

    Finished f = playWholeShow(dir);
    expectPlayedToTheEnd(f);
    const char* expected[] = {
        "File Textures/net.jpg not found!",
        "File Textures/layer1.jpg not found!",
        "File Textures/greet3_mask.jpg not found!",
        "Textures/block.jpg: ",
        "Textures/block2.jpg: ",
        "Textures/block3.jpg: ",
        "Textures/cloud.jpg: progressive JPEG is not supported",
        "Textures/specular.jpg: only 8-bit samples are supported",
        "Textures/chrometex.jpg: only 1 (grey) or 3 (YCbCr) components are supported",
        "Textures/flare.jpg: image too large",
        "Textures/triend.jpg: is a folder, not a file",
    };
    for (const char* line : expected) EXPECT_EQ(lines(f.err, line), 1) << line << "\n" << f.err;
    if (geteuid() != 0) {
        EXPECT_EQ(lines(f.err, "Textures/atex.jpg: cannot be read"), 1) << f.err;
    }
    // Nothing else: one line per bad file (root reads the unreadable file).
    size_t bad = std::size(expected) + (geteuid() != 0 ? 1 : 0);
    EXPECT_EQ(size_t(std::count(f.err.begin(), f.err.end(), '\n')), bad) << f.err;
}

TEST(ShowFaults, MissingTextureFolderGivesOneLineAndTheShowPlaysToTheEnd) {
    std::string dir = testsupport::makeTempDir();
    Finished f = playWholeShow(dir);
    expectPlayedToTheEnd(f);
    EXPECT_EQ(lines(f.err, "Textures/"), 1) << f.err;
    EXPECT_EQ(std::count(f.err.begin(), f.err.end(), '\n'), 1) << f.err;
}

TEST(ShowFaults, NoDisplayIsAClearMessageAndAFailure) {
    Finished f = runProgram({demo}, {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"},
                            testsupport::generatedAssets(), 30);
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_EQ(f.signal, 0);
    EXPECT_NE(f.err.find("no display is available"), std::string::npos) << f.err;
    EXPECT_EQ(std::count(f.err.begin(), f.err.end(), '\n'), 1) << f.err;
}

TEST(ShowFaults, MissingMultitextureEntryPointsAreAClearMessageAndAFailure) {
    const char* refused[][2] = {
        {"glActiveTextureARB", "GL_ARB_multitexture"},
        {"glMultiTexCoord2fARB", "GL_ARB_multitexture"},
        {"GL_ARB_multitexture", "GL_ARB_multitexture"},
        {"GL_ARB_texture_env_combine", "GL_ARB_texture_env_combine"},
    };
    for (auto& c : refused) {
        std::vector<std::string> env = headless;
        env.push_back(std::string("DEMO_TEST_REFUSE=") + c[0]);
        Finished f = runProgram({demo}, env, testsupport::generatedAssets(), 30);
        EXPECT_EQ(f.exitCode, 1) << c[0];
        EXPECT_EQ(f.signal, 0) << c[0];
        EXPECT_NE(f.err.find(std::string("lacks ") + c[1]), std::string::npos) << f.err;
        EXPECT_EQ(std::count(f.err.begin(), f.err.end(), '\n'), 1) << f.err;
    }
}

// Starts the show, waits until its window is open (the GL driver's threads
// run) and then `afterMs`, sends `sig` and returns how it ended.
Finished interruptShow(int sig, int afterMs) {
    testsupport::Program show({demo}, headless, testsupport::generatedAssets());
    EXPECT_TRUE(show.waitForThreads(3, 10));
    std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
    show.sendSignal(sig);
    return show.wait(20);
}

TEST(ShowFaults, SignalsDuringLoadingEndTheShowWithinASecond) {
    for (int sig : {SIGINT, SIGTERM}) {
        Finished f = interruptShow(sig, 0);
        EXPECT_FALSE(f.timedOut);
        EXPECT_EQ(f.exitCode, 0) << "signal " << sig << ": " << f.err;
        EXPECT_LT(f.seconds, 1.0) << "signal " << sig;
        std::printf("signal %d while loading: exit after %.3f s\n", sig, f.seconds);
    }
}

TEST(ShowFaults, SignalsDuringTheShowEndItWithinASecond) {
    for (int sig : {SIGINT, SIGTERM}) {
        Finished f = interruptShow(sig, 4000);
        EXPECT_FALSE(f.timedOut);
        EXPECT_EQ(f.exitCode, 0) << "signal " << sig << ": " << f.err;
        EXPECT_LT(f.seconds, 1.0) << "signal " << sig;
        std::printf("signal %d during the show: exit after %.3f s\n", sig, f.seconds);
    }
}

} // namespace
