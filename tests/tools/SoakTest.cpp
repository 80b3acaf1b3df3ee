// The short soak: two separate processes play the opening of the show twice
// at the same fixed rate and must draw identical frames, with no GL error and
// no growth of resident memory after the first scene of the second play (the
// first play includes the GL driver's one-time code generation for each new
// scene). The whole-show soak is scripts/soak (three processes, 750 frames).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/Process.h"
#include "tests/support/ShowRunner.h"

namespace {

struct SoakLine {
    long frames = 0, afterFirstScene = 0, atEnd = 0, glErrors = -1;
    unsigned long long digest = 0;
};

SoakLine runSoak(const std::string& toMs) {
    testsupport::Finished f = testsupport::runProgram(
        {DEMO_BINARY_DIR "/soak", "--fps", "2", "--to", toMs, "--passes", "2", "--assets",
         testsupport::generatedAssets()},
        {}, "/", 120);
    EXPECT_EQ(f.exitCode, 0) << f.err;
    SoakLine s;
    int fps = 0;
    char state[16];
    int got = std::sscanf(f.out.c_str(),
                          "soak: %ld frames at %d fps, show %15s digest %llx, resident %ld KiB after "
                          "scene 1, %ld KiB at the end, %ld GL errors",
                          &s.frames, &fps, state, &s.digest, &s.afterFirstScene, &s.atEnd, &s.glErrors);
    EXPECT_EQ(got, 7) << f.out;
    return s;
}

TEST(Soak, TwoProcessesDrawIdenticalFramesWithoutGlErrorsOrGrowth) {
    SoakLine a = runSoak("24000"), b = runSoak("24000");
    EXPECT_EQ(a.frames, 2 * 49);
    EXPECT_EQ(a.frames, b.frames);
    EXPECT_EQ(a.digest, b.digest);
    EXPECT_EQ(a.glErrors, 0);
    EXPECT_EQ(b.glErrors, 0);
    EXPECT_GT(a.afterFirstScene, 0);
#ifndef __SANITIZE_ADDRESS__ // ASan holds freed memory back in its quarantine
    EXPECT_LE(a.atEnd - a.afterFirstScene, 1024);
#endif
    std::printf("soak: digest %016llx, resident %ld KiB after scene 1, %ld KiB at 24 s\n", a.digest,
                a.afterFirstScene, a.atEnd);
}

} // namespace
