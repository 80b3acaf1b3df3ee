// A run-up that only steps the scenes leaves every scene where a run-up that
// draws each frame leaves it: the frame drawn after it is the same, byte for
// byte, late in every scene. The two kinds of run-up run in two child
// processes, each through all ten scenes in order, because the scenes'
// moving parts are set up once per process: a second run-up into the same
// scene would start from another state. (CTest runs each case in its own
// process, so this one has no GL of its own when it forks.)
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

constexpr int fps = 2;                       // the run-ups' grid
constexpr size_t frameBytes = 320 * 240 * 3; // RGB at the least render size

// Half a second before scene `scene` (0..9) ends: every step of the scene
// but the last is taken on the way.
unsigned lateIn(int scene) {
    return (scene < 9 ? unsigned(sceneStartMs[scene + 1]) : unsigned(showEndMs)) - 500;
}

// The frames late in every scene, each after a run-up from the scene's
// start in which every frame is drawn or only stepped (runUpTo), drawn in a
// child process: ten RGB frames one after the other, empty when it failed.
std::string framesAfterRunUps(bool drawn) {
    const std::string path = testsupport::makeTempDir() + "/frames";
    const pid_t pid = fork();
    if (pid == 0) {
        platform::fixRenderSize(platform::leastRenderWidth, platform::leastRenderHeight);
        testsupport::ShowRunner show;
        if (!show.ok()) _exit(1);
        std::ofstream out(path, std::ios::binary);
        const float step = gridStep(fps);
        for (int scene = 0; scene < 10; scene++) {
            const unsigned ms = lateIn(scene);
            long frame = drawn ? firstGridFrameFrom(unsigned(sceneStartMs[scene]), fps)
                               : runUpTo(ms, fps);
            for (; gridTimeMs(frame, fps) < ms; frame++) show.drawAt(gridTimeMs(frame, fps), step);
            show.drawAt(ms, step);
            const std::vector<unsigned char> rgb = show.frame();
            out.write((const char*)rgb.data(), long(rgb.size()));
        }
        out.close();
        _exit(0); // no destructors and no test teardown in the child
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return testsupport::readFile(path);
}

TEST(RunUp, SteppedRunUpLeavesEverySceneAsADrawnOneDoes) {
    const std::string drawn = framesAfterRunUps(true), stepped = framesAfterRunUps(false);
    ASSERT_EQ(drawn.size(), 10 * frameBytes);
    ASSERT_EQ(stepped.size(), 10 * frameBytes);
    for (int scene = 0; scene < 10; scene++)
        EXPECT_TRUE(
            drawn.compare(scene * frameBytes, frameBytes, stepped, scene * frameBytes, frameBytes) == 0)
            << "scene " << scene + 1 << " at " << lateIn(scene) << " ms";
}

} // namespace
