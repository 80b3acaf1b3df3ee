// The music on SDL's dummy audio driver, with files the test makes. The
// fault matrix: files that are not a playable track, no audio device, a
// track that ends early and the device lost during the show must each give
// at most one line on stderr and a clock that runs on the timer without a
// jump back or a freeze. Then other rates, a start away from 0 and pause.
// The dummy driver does not keep real time (it waits whole ms per buffer,
// so it runs up to 7 % fast): the clock is checked against the samples the
// device took. MusicServerTest checks it on a real sound server.
#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "platform/Mp3Stream.h"
#include "platform/Music.h"
#include "platform/Window.h"
#include "tests/support/TestMp3.h"

namespace {

using testsupport::makeTempDir;
using testsupport::writeTestMp3;

void sleepMs(double ms) {
    std::this_thread::sleep_for(std::chrono::microseconds(long(ms * 1000)));
}

// Frames the device has taken, in ms of the track; 0 without a device.
double consumedMs() {
    platform::MusicStats s = platform::musicStats();
    return s.sampleRate ? double(s.framesConsumed) * 1000.0 / s.sampleRate : 0.0;
}

// Reads the clock every 10 ms for `ms`: every step forward and within 50 ms
// of the wall's (no jump back, no jump ahead), and the advance within `tolerance` ms
// of the wall clock's (no freeze; measured, so that a loaded machine's late
// wake-ups do not count against it). The timer alone keeps within a few ms;
// a clock that led a late device slews back by up to 25 % of the time.
void expectClockRunsWithTheWall(int ms, double tolerance = 40.0) {
    double first = platform::musicPositionMs(), previous = first;
    double wallStart = platform::nowSeconds(), wallPrevious = wallStart;
    for (int t = 0; t < ms; t += 10) {
        sleepMs(10);
        double now = platform::musicPositionMs(), wall = platform::nowSeconds();
        ASSERT_GE(now, previous);
        ASSERT_LT(now - previous - (wall - wallPrevious) * 1000.0, 50.0);
        previous = now;
        wallPrevious = wall;
    }
    EXPECT_NEAR(previous - first, (platform::nowSeconds() - wallStart) * 1000.0, tolerance);
}

std::string writeFile(const std::string& dir, const std::string& name, const std::string& bytes) {
    std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
    return dir + "/" + name;
}

// A 16-bit mono PCM WAV file at 8 kHz of 0.5 s of a constant level.
const std::string wav = std::string("RIFF\x64\x1f\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1f\0\0\x80\x3e\0\0"
                                    "\2\0\x10\0data\x40\x1f\0\0",
                                    44) +
                        std::string(8000, '\x10');

TEST(MusicFaults, UnplayableMusicGivesOneLineAndTheTimerClock) {
    struct Case {
        std::string path;
        const char* problem;
        const char* envName = nullptr; // an environment variable set for this start only
        const char* envValue = nullptr;
    };
    std::string dir = makeTempDir(), tone = dir + "/tone.mp3", folder = dir + "/folder.mp3";
    ASSERT_TRUE(writeTestMp3(tone, 1.0));
    mkdir(folder.c_str(), 0755);
    const Case cases[] = {
        {dir + "/missing.mp3", "not found"},
        {writeFile(dir, "empty.mp3", ""), "is not an MP3 stream"},
        {writeFile(dir, "wav.mp3", wav), "is not an MP3 stream"},
        {folder, "is a folder, not a file"},
        {tone, "no audio device", "SDL_AUDIODRIVER", "no-such-driver"},
        {tone, "no audio device", "DEMO_TEST_REFUSE", "SDL_OpenAudioDevice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + (c.envName ? c.envName : ""));
        if (c.envName) setenv(c.envName, c.envValue, 1);
        double wallStart = platform::nowSeconds();
        testing::internal::CaptureStderr();
        bool playing = platform::startMusic(c.path.c_str());
        std::string err = testing::internal::GetCapturedStderr();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("DEMO_TEST_REFUSE");
        EXPECT_FALSE(playing);
        EXPECT_NE(err.find(c.path + ": " + c.problem), std::string::npos) << err;
        EXPECT_NE(err.find("the show plays silently"), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        // The timer clock starts with the start call, however long the file took.
        EXPECT_LE(platform::musicPositionMs(), (platform::nowSeconds() - wallStart) * 1000.0 + 5.0);
        expectClockRunsWithTheWall(100);
        platform::stopMusic();
    }
}

TEST(MusicFaults, TruncatedMidFrameAndShortTracksEndIntoTheTimer) {
    std::string dir = makeTempDir(), whole = dir + "/tone.mp3", cut = dir + "/cut.mp3";
    ASSERT_TRUE(writeTestMp3(whole, 0.4) && writeTestMp3(cut, 0.4));
    // 417 or 418 bytes a frame at 128 kbit/s: cut the tenth frame in half.
    ASSERT_EQ(truncate(cut.c_str(), 417 * 9 + 200), 0);
    for (const std::string& path : {cut, whole}) {
        SCOPED_TRACE(path);
        testing::internal::CaptureStderr();
        bool playing = platform::startMusic(path.c_str());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ASSERT_TRUE(playing);
        for (int t = 0; t < 3000 && !platform::musicStats().ended; t += 10) sleepMs(10);
        EXPECT_TRUE(platform::musicStats().ended);
        sleepMs(100); // the last buffer is heard
        platform::pauseMusic(true), sleepMs(300), platform::pauseMusic(false);
        expectClockRunsWithTheWall(200);
        platform::stopMusic();
    }
}

TEST(MusicFaults, DeviceLostDuringTheShowContinuesOnTheTimerWithoutAJump) {
    std::string path = makeTempDir() + "/tone.mp3";
    ASSERT_TRUE(writeTestMp3(path, 3.0));
    ASSERT_TRUE(platform::startMusic(path.c_str()));
    sleepMs(400);
    SDL_Event removed = {};
    removed.type = SDL_AUDIODEVICEREMOVED;
    removed.adevice.which = platform::musicStats().device;
    ASSERT_EQ(SDL_PushEvent(&removed), 1);
    double before = platform::musicPositionMs(), wallBefore = platform::nowSeconds();
    testing::internal::CaptureStderr();
    while (platform::pollEvent().type != platform::EventType::None) continue;
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

// The track's length as the decoder gives it, in ms.
double decodedMs(const std::string& path) {
    platform::Mp3Stream stream;
    if (stream.open(path.c_str())) return 0.0;
    std::vector<uint8_t> buffer(4096);
    size_t bytes = 0;
    for (bool ended = false; !ended;) bytes += stream.read(buffer.data(), buffer.size(), &ended);
    return double(bytes) / (2.0 * stream.channels) * 1000.0 / double(stream.rate);
}

TEST(Music, FilesAtOtherRatesAndInMonoPlayAtTheirOwnSpeed) {
    // The device opens at the file's rate and channels (SDL converts for the
    // hardware) and the clock counts the file's frames at its rate: the track
    // takes about its length to play (7 % less on the dummy driver, more on a
    // loaded machine, half at twice the rate), and at its end the device has
    // taken the whole track, in ms of the file.
    const int formats[][2] = {{22050, 2}, {48000, 2}, {44100, 1}};
    for (const auto& format : formats) {
        SCOPED_TRACE(std::to_string(format[0]) + " Hz, channels " + std::to_string(format[1]));
        std::string path = makeTempDir() + "/tone.mp3";
        ASSERT_TRUE(writeTestMp3(path, 0.4, format[0], format[1]));
        double wall = platform::nowSeconds();
        ASSERT_TRUE(platform::startMusic(path.c_str()));
        for (int t = 0; t < 3000 && !platform::musicStats().ended; t += 10) sleepMs(10);
        ASSERT_TRUE(platform::musicStats().ended);
        const double trackMs = decodedMs(path);
        ASSERT_GT(trackMs, 300.0) << "the 0.4 s track decodes to under 300 ms";
        EXPECT_GT((platform::nowSeconds() - wall) * 1000.0, 0.8 * trackMs);
        EXPECT_NEAR(consumedMs(), trackMs, 0.1);
        platform::stopMusic();
    }
}

TEST(Music, StartingAtAnOffsetPlaysFromThereToTheEnd) {
    std::string path = makeTempDir() + "/tone.mp3";
    ASSERT_TRUE(writeTestMp3(path, 3.0));
    ASSERT_TRUE(platform::startMusic(path.c_str(), 2500.0));
    EXPECT_NEAR(platform::musicPositionMs(), 2500.0, 5.0);
    sleepMs(300);
    // The device's count plus the offset; a loaded machine delays the audio
    // thread by a few tens of ms, a lost offset would be 2500 ms off.
    EXPECT_NEAR(platform::musicPositionMs(), 2500.0 + consumedMs(), 80.0);
    // Some 0.5 s of track are left: the decoder ends, the timer takes over
    // from the track's end.
    for (int t = 0; t < 3000 && !platform::musicStats().ended; t += 10) sleepMs(10);
    EXPECT_TRUE(platform::musicStats().ended);
    EXPECT_GT(platform::musicPositionMs(), 3000.0);
    expectClockRunsWithTheWall(100);
    platform::stopMusic();
}

TEST(Music, PauseHoldsTheClockAndResumeContinuesFromThere) {
    // With the music, and muted from 47 s (the timer alone, without a message).
    std::string path = makeTempDir() + "/tone.mp3";
    ASSERT_TRUE(writeTestMp3(path, 4.0));
    for (bool muted : {false, true}) {
        SCOPED_TRACE(muted ? "muted" : "with the music");
        testing::internal::CaptureStderr();
        if (muted) platform::startSilentClock(47000.0);
        else platform::startMusic(path.c_str());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(platform::musicStats().playing, !muted);
        EXPECT_NEAR(platform::musicPositionMs(), muted ? 47000.0 : 0.0, 5.0);
        sleepMs(150);
        platform::pauseMusic(true);
        double held = platform::musicPositionMs();
        uint64_t frames = platform::musicStats().framesConsumed;
        sleepMs(150);
        EXPECT_EQ(platform::musicPositionMs(), held);
        EXPECT_LE(platform::musicStats().framesConsumed, frames + 2048); // a callback in flight
        SDL_AudioDeviceID device = platform::musicStats().device;
        if (!muted) SDL_LockAudioDevice(device); // its callbacks wait
        platform::pauseMusic(false);
        double resumed = platform::musicPositionMs();
        EXPECT_GE(resumed, held);
        EXPECT_LT(resumed - held, 5.0);
        if (!muted) {
            double moved = 0; // the clock stands until the device takes data again
            for (int t = 0; t < 10; t++) sleepMs(5), moved += platform::musicPositionMs() - resumed;
            EXPECT_EQ(moved, 0.0);
            SDL_UnlockAudioDevice(device);
        }
        if (muted) {
            expectClockRunsWithTheWall(200, 5.0);
        } else {
            // Read as the frame loop does, then back with the device, which
            // played out its last buffer while paused (ahead of it by at most
            // the hold threshold while its thread runs late).
            for (int t = 0; t < 20; t++) sleepMs(10), platform::musicPositionMs();
            double lead = platform::musicPositionMs() - consumedMs();
            EXPECT_LT(lead, 41.5);
            EXPECT_GT(lead, -20.0);
        }
        platform::stopMusic();
    }
}

} // namespace
