// A run-up that only steps the scenes leaves every scene where a run-up that
// draws each frame leaves it: the frame drawn after it is the same, byte for
// byte, late in every scene. Each run-up runs in a child
// process of its own, because the scenes' moving parts are set up once per
// process and a second run-up into a scene would start from another state.
// (CTest runs each case in its own process, so this one has no GL of its
// own when it forks.)
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "app/FixedStep.h"
#include "app/Timeline.h"
#include "platform/RenderSize.h"
#include "tests/support/Process.h"
#include "tests/support/ShowRunner.h"
#include "tests/support/TestMp3.h"

namespace {

// The frame at `ms` after a run-up at `fps` from the start of its scene,
// every run-up frame drawn or stepped by runUpTo, drawn in a child process of
// its own: RGB bytes at the least render size, empty when the child failed.
std::string frameAfterRunUp(unsigned ms, int fps, bool drawn) {
    const std::string path = testsupport::makeTempDir() + "/frame";
    const pid_t pid = fork();
    if (pid == 0) {
        platform::fixRenderSize(platform::leastRenderWidth, platform::leastRenderHeight);
        testsupport::ShowRunner show;
        if (!show.ok()) _exit(1);
        const float step = 20.0f / float(fps);
        long frame = drawn ? firstGridFrameFrom(unsigned(sceneStartMs[sceneAt(ms)]), fps)
                           : runUpTo(ms, fps);
        for (; gridTimeMs(frame, fps) < ms; frame++) show.drawAt(gridTimeMs(frame, fps), step);
        show.drawAt(ms, step);
        const std::vector<unsigned char> rgb = show.frame();
        std::ofstream(path, std::ios::binary).write((const char*)rgb.data(), long(rgb.size()));
        _exit(0); // no destructors and no test teardown in the child
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return testsupport::readFile(path);
}

TEST(RunUp, SteppedRunUpLeavesEverySceneAsADrawnOneDoes) {
    // Half a second before each scene ends, at 2 frames/s: every step of the
    // scene but the last few is taken on the way.
    const int fps = 2;
    for (int scene = 0; scene < 10; scene++) {
        const unsigned end = scene < 9 ? unsigned(sceneStartMs[scene + 1]) : 150000u;
        const unsigned ms = end - 500;
        const std::string drawn = frameAfterRunUp(ms, fps, true);
        EXPECT_EQ(drawn.size(), size_t(320 * 240 * 3)) << "scene " << scene + 1;
        EXPECT_TRUE(frameAfterRunUp(ms, fps, false) == drawn) << "scene " << scene + 1 << " at " << ms;
    }
}

} // namespace
