// The frame benchmark as a check: a run over the whole show at one frame a
// second finds no heap allocation by the project's code in any frame after
// each scene's first, and prints a row for every scene and the start-up split.
// Its command line answers like the other tools'.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

#include "tests/support/Process.h"

namespace {

TEST(BenchFrames, NoFrameAllocatesAfterItsScenesFirstFrame) {
    std::FILE* pipe = popen(
        // The replaced operator new meets the GL driver's free() under ASan.
        "ASAN_OPTIONS=$ASAN_OPTIONS:alloc_dealloc_mismatch=0 " DEMO_BINARY_DIR
        "/bench_frames --fps 1 2>&1",
        "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    EXPECT_NE(out.find("by the project's code 0.000 (0 in "), std::string::npos) << out;
    for (int scene = 1; scene <= 10; scene++) {
        char row[16];
        std::snprintf(row, sizeof row, "| %5d |", scene);
        EXPECT_NE(out.find(row), std::string::npos) << "scene " << scene << "\n" << out;
    }
    EXPECT_NE(out.find("start-up: "), std::string::npos) << out;
    EXPECT_NE(out.find("decoding "), std::string::npos) << out;
}

TEST(BenchFrames, HelpPrintsTheUsageAndAnUnknownOptionFailsWithIt) {
    testsupport::Finished help =
        testsupport::runProgram({DEMO_BINARY_DIR "/bench_frames", "--help"}, {}, "/", 30);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: bench_frames ", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");

    testsupport::Finished bad =
        testsupport::runProgram({DEMO_BINARY_DIR "/bench_frames", "--fsp", "5"}, {}, "/", 30);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err.rfind("bench_frames: unknown argument '--fsp'\nusage: bench_frames ", 0), 0u)
        << bad.err;
}

} // namespace
