// The capture tool as a user runs it: its answers to bad arguments, and that
// a single frame equals the last frame of a span ending at the same time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/TestMp3.h"

namespace {

struct Result {
    int status;
    std::string err;
};

Result capture(const std::string& args) {
    std::string errFile = testsupport::makeTempDir() + "/stderr.txt";
    std::string command = DEMO_BINARY_DIR "/capture " + args + " >/dev/null 2>" + errFile;
    int status = std::system(command.c_str());
    std::ifstream in(errFile);
    std::stringstream text;
    text << in.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream data;
    data << in.rdbuf();
    return data.str();
}

TEST(Capture, BadArgumentsGiveOneClearLineAndAFailure) {
    const char* cases[] = {
        "--at abc --out x.png",   "--at 5000",           "--at -5 --out x.png",
        "--fps 0 --at 10 --out x.png", "--from 5000 --to 1000 --out d",
        "--at 10 --from 0 --out x.png", "--frobnicate",  "--at 200000 --out x.png",
        "--at 10 --out",
    };
    for (const char* args : cases) {
        Result r = capture(args);
        EXPECT_NE(r.status, 0) << args;
        EXPECT_EQ(r.err.rfind("capture: ", 0), 0u) << args << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
    }
}

TEST(Capture, HelpAndNoArgumentsPrintUsage) {
    EXPECT_EQ(capture("--help").status, 0);
    EXPECT_EQ(capture("").status, 0);
}

TEST(Capture, UnwritableOutputIsReported) {
    Result r = capture("--at 100 --fps 10 --out /nonexistent/dir/x.png");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("cannot write /nonexistent/dir/x.png"), std::string::npos) << r.err;
}

TEST(Capture, SingleFrameEqualsTheLastFrameOfASpanEndingThere) {
    std::string dir = testsupport::makeTempDir();
    ASSERT_EQ(capture("--at 19200 --fps 10 --out " + dir + "/at.png").status, 0);
    ASSERT_EQ(capture("--from 19000 --to 19200 --fps 10 --out " + dir + "/span").status, 0);
    std::string single = readFile(dir + "/at.png");
    ASSERT_GT(single.size(), 1000u);
    EXPECT_EQ(readFile(dir + "/span/frame-000000.png").size() > 1000, true);
    EXPECT_TRUE(readFile(dir + "/span/frame-000003.png").empty()); // 19000, 19100, 19200
    EXPECT_EQ(single, readFile(dir + "/span/frame-000002.png"));
}

} // namespace
