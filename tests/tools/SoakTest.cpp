// The show is deterministic: two processes that play its first 20 s (scenes
// 1 and 2) at the same fixed rate draw the same frames (one digest over all
// their pixels), with no GL error and no complaint about the generated pack.
// The whole-show soak, with its memory checks, is scripts/soak (`make soak`).
#include <gtest/gtest.h>

#include "tests/support/Process.h"
#include "tests/support/ShowRunner.h"

namespace {

TEST(Soak, TwoProcessesDrawTheSameFramesWithoutGlErrors) {
    const std::string play = "soak --fps 1 --to 20000 --assets " + testsupport::generatedAssets();
    testsupport::Finished a = testsupport::Program(play).wait(120),
                          b = testsupport::Program(play).wait(120);
    EXPECT_EQ(a.exitCode, 0);
    EXPECT_EQ(a.err, "") << "the show's decoder takes every texture of the generated pack";
    EXPECT_EQ(a.out.rfind("soak: 21 frames at 1 fps, show stopped, digest ", 0), 0u) << a.out;
    EXPECT_NE(a.out.find(", 0 GL errors\n"), std::string::npos) << a.out;
    EXPECT_EQ(a.out.substr(0, a.out.find('\n')), b.out.substr(0, b.out.find('\n')));
}

} // namespace
