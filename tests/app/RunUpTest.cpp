// Every seek shows the show: the frame reached by a run-up equals, byte for
// byte, the frame that a run drawing every frame from 0 ms draws at the same
// moment, and the GL state it starts from is the same, early and deep in
// every scene. Seeks are taken two ways: backwards (each a rewind, as the
// preview's jumps and loops are, and one forward again at the end), and
// forwards from one run-up to the next (as the golden frames are). The drawn
// run and each way of seeking run in a child process of their own, each on
// a freshly started show. (CTest runs each case in its own process, so this
// one has no GL of its own when it forks.)
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <vector>

#include "app/FixedStep.h"
#include "app/Timeline.h"
#include "platform/RenderSize.h"
#include "tests/support/GlState.h"
#include "tests/support/Process.h"
#include "tests/support/ShowRunner.h"
#include "tests/support/TestMp3.h"

namespace {

constexpr int fps = 2; // the grid of every run

// Two or three moments a scene, on the grid: just after its start, deep in
// it, and just before its end (where the next scene's start state is made).
const std::vector<unsigned> moments = {
    3000,   17500,          // 1
    18500,  24000,  29500,  // 2
    30500,  36000,  47500,  // 3
    48500,  52000,  59500,  // 4
    60500,  74500,          // 5
    75500,  98500,          // 6
    99500,  110500,         // 7
    111500, 116500, 122500, // 8
    123500, 146500,         // 9
    147000, 147500, 150000, // 10
};

std::string framePath(const std::string& dir, unsigned ms) {
    return dir + "/frame-" + std::to_string(ms);
}

std::string statePath(const std::string& dir, unsigned ms) {
    return dir + "/state-" + std::to_string(ms);
}

// Writes the GL state the frame at `ms` starts from, draws it and writes it.
void record(testsupport::ShowRunner& show, const std::string& dir, unsigned ms) {
    std::ofstream(statePath(dir, ms)) << testsupport::glStateText();
    show.drawAt(ms, gridStep(fps));
    const std::vector<unsigned char> rgb = show.frame();
    std::ofstream(framePath(dir, ms), std::ios::binary).write((const char*)rgb.data(), long(rgb.size()));
}

// Runs `run` on a freshly started show in a child process and returns the
// folder it recorded its moments in.
std::string inChild(const std::function<void(testsupport::ShowRunner&, const std::string&)>& run) {
    const std::string dir = testsupport::makeTempDir();
    const pid_t pid = fork();
    if (pid == 0) {
        platform::fixRenderSize(platform::leastRenderWidth, platform::leastRenderHeight);
        testsupport::ShowRunner show;
        if (!show.ok()) _exit(1);
        run(show, dir);
        _exit(0); // no destructors and no test teardown in the child
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return dir;
}

// Every grid frame drawn, from 0 ms to the last moment.
void drawEveryFrame(testsupport::ShowRunner& show, const std::string& dir) {
    size_t next = 0;
    for (long frame = 0; next < moments.size(); frame++) {
        const unsigned ms = gridTimeMs(frame, fps);
        if (ms == moments[next]) {
            record(show, dir, ms);
            next++;
        } else {
            show.drawAt(ms, gridStep(fps));
        }
    }
}

// From the last moment back to the first, each by a rewind, then forward to
// the last moment again.
void seekBackwards(testsupport::ShowRunner& show, const std::string& dir) {
    for (auto ms = moments.rbegin(); ms != moments.rend(); ++ms) {
        seekTo(*ms, fps);
        record(show, dir, *ms);
    }
    seekTo(moments.back(), fps);
    record(show, dir + "/again", moments.back());
}

// One run-up taken on from moment to moment, each moment drawn on the way.
void seekForwards(testsupport::ShowRunner& show, const std::string& dir) {
    long next = 0;
    for (unsigned ms : moments) {
        next = runUpTo(ms, fps, next);
        record(show, dir, ms);
        next++;
    }
}

TEST(RunUp, EverySeekDrawsTheFrameOfARunFromTheStart) {
    const std::string drawn = inChild(drawEveryFrame);
    const std::string backwards = inChild([](testsupport::ShowRunner& show, const std::string& dir) {
        mkdir((dir + "/again").c_str(), 0755);
        seekBackwards(show, dir);
    });
    const std::string forwards = inChild(seekForwards);
    const size_t frameBytes = size_t(platform::leastRenderWidth) * platform::leastRenderHeight * 3;
    for (unsigned ms : moments) {
        const std::string want = testsupport::readFile(framePath(drawn, ms));
        const std::string state = testsupport::readFile(statePath(drawn, ms));
        ASSERT_EQ(want.size(), frameBytes) << "the drawn run failed at " << ms << " ms";
        ASSERT_FALSE(state.empty());
        std::vector<std::string> seeks = {backwards, forwards};
        if (ms == moments.back()) seeks.push_back(backwards + "/again");
        for (const std::string& dir : seeks) {
            const std::string how = dir == forwards    ? "forwards"
                                    : dir == backwards ? "backwards"
                                                       : "again";
            EXPECT_TRUE(testsupport::readFile(framePath(dir, ms)) == want)
                << how << ": the frame at " << ms << " ms (scene " << sceneAt(ms) + 1 << ") differs";
            EXPECT_EQ(testsupport::glStateDifference(state, testsupport::readFile(statePath(dir, ms))),
                      "")
                << how << ": the GL state before the frame at " << ms << " ms";
        }
    }
}

} // namespace
