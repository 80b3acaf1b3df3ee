// The short soak: two separate processes play the opening of the show twice
// at the same fixed rate and must draw identical frames, with no GL error, the
// same heap in use at the end of both plays (no leak), and no growth of
// resident memory after the first scene of the second play (the first play
// includes the GL driver's one-time code generation for each new scene). The
// whole-show soak is scripts/soak (three processes, then four plays in one).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/Process.h"
#include "tests/support/ShowRunner.h"

namespace {

struct PlayFigures {
    long residentAfterFirstScene = 0, residentAtEnd = 0, heapAfterFirstScene = 0, heapAtEnd = 0;
};

struct SoakRun {
    long frames = 0, glErrors = -1;
    unsigned long long digest = 0;
    PlayFigures plays[2];
};

SoakRun runSoak(const std::string& toMs) {
    testsupport::Finished f =
        testsupport::runProgram({DEMO_BINARY_DIR "/soak", "--fps", "2", "--to", toMs, "--passes", "2",
                                 "--assets", testsupport::generatedAssets()},
                                {}, "/", 120);
    EXPECT_EQ(f.exitCode, 0) << f.err;
    SoakRun s;
    int fps = 0;
    char state[16];
    const char* line = f.out.c_str();
    EXPECT_EQ(std::sscanf(line, "soak: %ld frames at %d fps, show %15s digest %llx, %ld GL errors",
                          &s.frames, &fps, state, &s.digest, &s.glErrors),
              5)
        << f.out;
    for (int k = 0; k < 2; k++) {
        line = std::strchr(line, '\n');
        if (!line) {
            ADD_FAILURE() << "no line for play " << k + 1 << ":\n" << f.out;
            break;
        }
        PlayFigures& p = s.plays[k];
        int play = 0;
        EXPECT_EQ(std::sscanf(++line,
                              "soak: play %d: resident %ld KiB after scene 1, %ld KiB at the end; "
                              "heap in use %ld KiB after scene 1, %ld KiB at the end",
                              &play, &p.residentAfterFirstScene, &p.residentAtEnd,
                              &p.heapAfterFirstScene, &p.heapAtEnd),
                  5)
            << f.out;
        EXPECT_EQ(play, k + 1);
    }
    return s;
}

TEST(Soak, TwoProcessesDrawIdenticalFramesWithoutGlErrorsOrGrowth) {
    SoakRun a = runSoak("24000"), b = runSoak("24000");
    EXPECT_EQ(a.frames, 2 * 49);
    EXPECT_EQ(a.frames, b.frames);
    EXPECT_EQ(a.digest, b.digest);
    EXPECT_EQ(a.glErrors, 0);
    EXPECT_EQ(b.glErrors, 0);
    const PlayFigures& first = a.plays[0];
    const PlayFigures& second = a.plays[1];
    EXPECT_GT(second.residentAfterFirstScene, 0);
#ifndef __SANITIZE_ADDRESS__ // ASan holds freed memory back and keeps its own heap figures
    EXPECT_LE(second.residentAtEnd - second.residentAfterFirstScene, 1024);
    EXPECT_LE(std::labs(second.heapAtEnd - first.heapAtEnd), 1024);
#endif
    std::printf("soak: digest %016llx; second play: resident %ld KiB after scene 1, %ld KiB at 24 s; "
                "heap in use at 24 s %ld KiB, %ld KiB in the first play\n",
                a.digest, second.residentAfterFirstScene, second.residentAtEnd, second.heapAtEnd,
                first.heapAtEnd);
}

} // namespace
