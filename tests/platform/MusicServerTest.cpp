// The music clock on a real sound server: a private PulseAudio daemon with a
// null sink (no sound card needed), its own folder and no system services,
// started once per test process and killed when it exits; skipped, with the
// reason, where it cannot start. It takes up to 2 s to read the first buffer (the
// null sink's idle period), and `pactl suspend-sink` stalls it mid-track.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "platform/Music.h"
#include "tests/support/Process.h"
#include "tests/support/TestMp3.h"

namespace {

void sleepMs(double ms) {
    std::this_thread::sleep_for(std::chrono::microseconds(long(ms * 1000)));
}

const std::string daemonPath = "/usr/bin/pulseaudio", pactlPath = "/usr/bin/pactl";

// Starts the daemon, once per process, and points libpulse at it; returns
// why it could not, or "". It is killed when the process exits, and quits
// by itself 10 s after its last client left when the process dies first.
std::string startSoundServer() {
    static std::unique_ptr<testsupport::Program> daemon;
    static std::string problem;
    if (daemon || !problem.empty()) return problem;
    if (access(daemonPath.c_str(), X_OK) != 0 || access(pactlPath.c_str(), X_OK) != 0)
        return problem = "no " + daemonPath + " or " + pactlPath + " (see scripts/install-deps)";
    // Root may run a per-user daemon with --system=no.
    std::string dir = testsupport::makeTempDir(), socket = dir + "/native";
    daemon = std::make_unique<testsupport::Program>(
        daemonPath + " --system=no --daemonize=no -n --exit-idle-time=10 --load=module-null-sink " +
            "'--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket + "'",
        std::vector<std::string>{"HOME=" + dir, "XDG_RUNTIME_DIR=" + dir, "PULSE_RUNTIME_PATH=" + dir,
                                 "PULSE_STATE_PATH=" + dir},
        dir);
    for (int i = 0; i < 500 && access(socket.c_str(), F_OK) != 0; i++) sleepMs(10);
    if (access(socket.c_str(), F_OK) == 0)
        return setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1), "";
    problem = "the PulseAudio daemon did not start: " + daemon->wait(0).err;
    daemon.reset();
    return problem;
}

// `frames` of the playing track, in ms.
double framesMs(uint64_t frames) {
    return double(frames) * 1000.0 / platform::musicStats().sampleRate;
}

struct Reading {
    double wallMs;   // since the start call returned
    double clockMs;  // the music clock
    double deviceMs; // frames the device has taken, in ms of the track
};

// Plays a tone and reads the clock every ms until `seconds` after the device
// took its second buffer; with `stall`, the sink is suspended 1 s after that
// and resumed 1 s after pactl returned (it may take a while under load).
std::vector<Reading> play(double seconds, bool stall) {
    std::string path = testsupport::makeTempDir() + "/tone.mp3";
    EXPECT_TRUE(testsupport::writeTestMp3(path, seconds + 8.0));
    std::vector<Reading> r;
    r.reserve(size_t(seconds + 8.0) * 1000);
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    EXPECT_TRUE(platform::startMusic(path.c_str()));
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    double wallStart = platform::nowSeconds(), endMs = 5000.0 + seconds * 1000.0, startMs = -1;
    double suspendedMs = -1; // when the sink was suspended
    for (; r.empty() || r.back().wallMs < endMs; sleepMs(1.0)) {
        double clock = platform::musicPositionMs();
        r.push_back({(platform::nowSeconds() - wallStart) * 1000.0, clock,
                     framesMs(platform::musicStats().framesConsumed)});
        if (startMs < 0 && r.back().deviceMs > framesMs(platform::musicStats().bufferFrames))
            startMs = r.back().wallMs, endMs = startMs + seconds * 1000.0;
        if (!stall || startMs < 0 || r.back().wallMs < std::max(startMs, suspendedMs) + 1000.0) continue;
        testsupport::Program(pactlPath + " suspend-sink null " + (suspendedMs < 0 ? "1" : "0")).wait(5);
        stall = suspendedMs < 0; // a resume still to come
        suspendedMs = (platform::nowSeconds() - wallStart) * 1000.0;
    }
    return r;
}

// The rules on a run, with its table and figures printed: the clock stands
// at 0 until the device takes a second buffer, never goes back and never
// leads the device's count by more than the hold threshold (40 ms) and a
// reading. While the device keeps its schedule (its count moves at least
// every buffer and 15 ms), from 0.5 s after it last did not (the wait at the
// start, a stall, a loaded machine's late callbacks), 99 % of the readings
// lie within 15 ms of the last buffer the device took and step within 2 ms
// of the wall (the rest: the reader delayed between its clock and wall
// readings). Sets the longest standstill of the count after the start, in ms.
void expectClockFollowsTheSound(const std::vector<Reading>& r, double& longestStall) {
    double buffer = framesMs(platform::musicStats().bufferFrames), startMs = -1, movedMs = 0,
           resumedMs = 0, worstDistance = 0, worstStep = 0;
    size_t within = 0, counted = 0, row = 0;
    std::printf("| wall time | clock - wall | device frames consumed | clock - device "
                "|\n|---:|---:|---:|---:|\n");
    for (size_t i = 1; i < r.size(); i++) {
        const Reading &a = r[i - 1], &b = r[i];
        if (b.wallMs >= row * 1000.0 && ++row)
            std::printf("| %zu s | %.1f ms | %.1f ms | %.1f ms |\n", row - 1, b.clockMs - b.wallMs,
                        b.deviceMs, b.clockMs - b.deviceMs);
        if (b.deviceMs != a.deviceMs) {
            if (startMs < 0 && b.deviceMs > buffer) startMs = b.wallMs;
            if (startMs >= 0 && movedMs >= startMs)
                longestStall = std::max(longestStall, b.wallMs - movedMs);
            if (b.wallMs - movedMs > buffer + 15.0) resumedMs = b.wallMs;
            movedMs = b.wallMs;
        }
        std::string at = "at " + std::to_string(b.wallMs) + " ms";
        if (startMs < 0) {
            ASSERT_EQ(b.clockMs, 0.0) << at;
        }
        ASSERT_GE(b.clockMs, a.clockMs) << at;
        ASSERT_LE(b.clockMs - b.deviceMs, 41.5) << at;
        bool late = b.wallMs - movedMs > buffer + 15.0;
        if (startMs < 0 || b.wallMs < resumedMs + 500.0 || late) continue;
        double distance = std::max({0.0, b.clockMs - b.deviceMs, b.deviceMs - buffer - b.clockMs});
        worstDistance = std::max(worstDistance, distance);
        double step = std::fabs((b.clockMs - a.clockMs) - (b.wallMs - a.wallMs));
        worstStep = std::max(worstStep, step);
        within += distance <= 15.0 && step <= 2.0;
        counted++;
    }
    std::printf("device started at %.0f ms, longest stall after %.0f ms; %zu of %zu readings within "
                "15 ms of the device and 2 ms of the wall's step (worst: %.1f ms, %.2f ms)\n",
                startMs, longestStall, within, counted, worstDistance, worstStep);
    ASSERT_GT(counted, 0u) << "the device never kept its schedule";
    EXPECT_GE(double(within), 0.99 * double(counted));
}

TEST(MusicOnSoundServer, ClockHoldsUntilTheSoundStartsAndWhileTheSinkIsSuspended) {
    std::string problem = startSoundServer();
    if (!problem.empty()) GTEST_SKIP() << problem;
    double longestStall = 0;
    expectClockFollowsTheSound(play(3.0, true), longestStall);
    EXPECT_GT(longestStall, 500.0) << "the sink did not stall";
    platform::stopMusic();
}

// The whole goal, run by hand: build/test_platform --gtest_also_run_disabled_tests
// --gtest_filter='*TwentySeconds'
TEST(MusicOnSoundServer, DISABLED_ClockStaysWithTheSoundForTwentySeconds) {
    std::string problem = startSoundServer();
    if (!problem.empty()) GTEST_SKIP() << problem;
    double longestStall = 0;
    expectClockFollowsTheSound(play(20.0, false), longestStall);
    platform::stopMusic();
}

} // namespace
