// The music's fault matrix: files that are not a playable track, no audio
// device, and the device lost during the show. Each must give one line on
// stderr and a clock that runs on the timer without a jump back or a freeze.
#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/Clock.h"
#include "platform/Music.h"
#include "platform/Window.h"
#include "tests/support/TestMp3.h"

namespace {

using testsupport::makeTempDir;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string writeFile(const std::string& name, const std::string& bytes) {
    std::string path = makeTempDir() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A 16-bit mono PCM WAV file of `seconds` of a ramp.
std::string wavBytes(double seconds) {
    int samples = int(seconds * 8000);
    auto u32 = [](uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    std::string data;
    for (int i = 0; i < samples; i++) data += u16(uint16_t(i * 97));
    return "RIFF" + u32(36 + uint32_t(data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) +
           u32(8000) + u32(16000) + u16(2) + u16(16) + "data" + u32(uint32_t(data.size())) + data;
}

// Starts the music from `path` and returns what it printed on stderr.
std::string startAndCaptureStderr(const std::string& path, bool* playing) {
    testing::internal::CaptureStderr();
    *playing = platform::startMusic(path.c_str());
    return testing::internal::GetCapturedStderr();
}

// Reads the clock every 10 ms for `ms`: every step forward and below 60 ms
// (no jump back, no jump ahead), and the whole advance close to the wall
// clock's (no freeze).
void expectClockRunsWithTheWall(int ms) {
    double first = platform::musicPositionMs(), previous = first;
    double wallStart = platform::nowSeconds();
    for (int t = 0; t < ms; t += 10) {
        sleepMs(10);
        double now = platform::musicPositionMs();
        ASSERT_GE(now, previous);
        ASSERT_LT(now - previous, 60.0);
        previous = now;
    }
    double wall = (platform::nowSeconds() - wallStart) * 1000.0;
    EXPECT_NEAR(previous - first, wall, 40.0);
}

void expectSilentWithOneLine(const std::string& path, const std::string& problem) {
    bool playing = true;
    double wallStart = platform::nowSeconds();
    std::string err = startAndCaptureStderr(path, &playing);
    EXPECT_FALSE(playing);
    EXPECT_NE(err.find(path + ": " + problem), std::string::npos) << err;
    EXPECT_NE(err.find("the show plays silently"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    // The timer clock starts with the start call, however long the file took.
    EXPECT_LE(platform::musicPositionMs(), (platform::nowSeconds() - wallStart) * 1000.0 + 5.0);
    expectClockRunsWithTheWall(300);
    platform::stopMusic();
}

TEST(MusicFaults, FilesThatHoldNoMp3AudioGiveOneLineAndTheTimer) {
    expectSilentWithOneLine(writeFile("empty.mp3", ""), "is not an MP3 stream");
    expectSilentWithOneLine(writeFile("wav.mp3", wavBytes(1.0)), "is not an MP3 stream");
    std::string folder = makeTempDir() + "/folder.mp3";
    mkdir(folder.c_str(), 0755);
    expectSilentWithOneLine(folder, "is not an MP3 stream");
}

// A track that ends early, however it ends, hands the clock to the timer.
void expectEarlyEndContinuesOnTheTimer(const std::string& path) {
    bool playing = false;
    std::string err = startAndCaptureStderr(path, &playing);
    ASSERT_TRUE(playing) << err;
    EXPECT_EQ(err, "");
    // While the track plays the clock follows the device, which on the dummy
    // driver keeps only rough time: it must only never go back.
    double previous = 0;
    for (int t = 0; t < 3000 && !platform::musicStats().ended; t += 10) {
        sleepMs(10);
        double now = platform::musicPositionMs();
        ASSERT_GE(now, previous);
        previous = now;
    }
    EXPECT_TRUE(platform::musicStats().ended);
    sleepMs(100); // the last buffer is heard
    expectClockRunsWithTheWall(300);
    platform::stopMusic();
}

TEST(MusicFaults, TruncatedMidFrameAndShortTracksEndIntoTheTimer) {
    std::string whole = makeTempDir() + "/tone.mp3";
    ASSERT_TRUE(testsupport::writeTestMp3(whole, 0.6));
    std::string bytes = readFile(whole);
    // 417 or 418 bytes a frame at 128 kbit/s: cut the tenth frame in half.
    expectEarlyEndContinuesOnTheTimer(writeFile("cut.mp3", bytes.substr(0, 417 * 9 + 200)));
    expectEarlyEndContinuesOnTheTimer(whole);
}

TEST(MusicFaults, NoAudioDriverGivesOneLineAndTheTimer) {
    std::string path = makeTempDir() + "/tone.mp3";
    ASSERT_TRUE(testsupport::writeTestMp3(path, 1.0));
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    expectSilentWithOneLine(path, "no audio device");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST(MusicFaults, RefusedAudioDeviceGivesOneLineAndTheTimer) {
    std::string path = makeTempDir() + "/tone.mp3";
    ASSERT_TRUE(testsupport::writeTestMp3(path, 1.0));
    setenv("DEMO_TEST_REFUSE", "SDL_OpenAudioDevice", 1);
    expectSilentWithOneLine(path, "no audio device");
    unsetenv("DEMO_TEST_REFUSE");
}

TEST(MusicFaults, DeviceLostDuringTheShowContinuesOnTheTimerWithoutAJump) {
    std::string path = makeTempDir() + "/tone.mp3";
    ASSERT_TRUE(testsupport::writeTestMp3(path, 3.0));
    ASSERT_TRUE(platform::startMusic(path.c_str()));
    sleepMs(400);
    platform::MusicStats stats = platform::musicStats();
    ASSERT_TRUE(stats.playing);

    SDL_Event removed = {};
    removed.type = SDL_AUDIODEVICEREMOVED;
    removed.adevice.which = stats.device;
    removed.adevice.iscapture = 0;
    ASSERT_EQ(SDL_PushEvent(&removed), 1);
    double before = platform::musicPositionMs(), wallBefore = platform::nowSeconds();
    testing::internal::CaptureStderr();
    while (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_AUDIODEVICEREMOVED, SDL_AUDIODEVICEREMOVED) > 0)
        platform::pollEvent();
    std::string err = testing::internal::GetCapturedStderr();
    double after = platform::musicPositionMs(), wallAfter = platform::nowSeconds();

    EXPECT_NE(err.find("the audio device was lost"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_FALSE(platform::musicStats().playing);
    // Closing the device takes a callback period or so; the clock moves on
    // with the wall meanwhile, no more and no less.
    EXPECT_NEAR(after - before, (wallAfter - wallBefore) * 1000.0, 15.0);
    expectClockRunsWithTheWall(400);
    platform::stopMusic();
}

} // namespace
