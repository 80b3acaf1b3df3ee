// The capture tool as a user runs it: its answers to bad arguments, that a
// single frame equals the last frame of a span ending at the same time, that
// two captures give identical frames, and the video output as ffprobe reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/TestMp3.h"

namespace {

struct Result {
    int status;
    std::string err;
};

Result capture(const std::string& args, const std::string& environment = "") {
    std::string errFile = testsupport::makeTempDir() + "/stderr.txt";
    std::string command = environment + DEMO_BINARY_DIR "/capture " + args + " >/dev/null 2>" + errFile;
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
        "--at abc --out x.png",
        "--at 5000",
        "--at -5 --out x.png",
        "--fps 0 --at 10 --out x.png",
        "--from 5000 --to 1000 --out d",
        "--at 10 --from 0 --out x.png",
        "--frobnicate",
        "--at 200000 --out x.png",
        "--at 10 --out",
        "--at 10 --video v.mp4",
        "--out d --video v.mp4",
        "--video",
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

TEST(Capture, VideoWithoutFfmpegNamesThePackage) {
    Result r = capture("--from 0 --to 100 --fps 10 --video /tmp/never.mp4", "PATH=/nonexistent ");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("ffmpeg is not installed"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Debian package ffmpeg"), std::string::npos) << r.err;
}

TEST(Capture, UnwritableVideoIsReportedBeforeRendering) {
    Result r = capture("--video /nonexistent/dir/v.mp4");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("cannot write /nonexistent/dir/v.mp4"), std::string::npos) << r.err;
}

TEST(Capture, TwoCapturesOfASpanGiveIdenticalFrames) {
    std::string dir = testsupport::makeTempDir();
    ASSERT_EQ(capture("--from 30000 --to 30300 --fps 10 --out " + dir + "/a").status, 0);
    ASSERT_EQ(capture("--from 30000 --to 30300 --fps 10 --out " + dir + "/b").status, 0);
    for (const char* name : {"/frame-000000.png", "/frame-000003.png"}) {
        std::string a = readFile(dir + "/a" + name);
        ASSERT_GT(a.size(), 1000u) << name;
        EXPECT_EQ(a, readFile(dir + "/b" + name)) << name;
    }
}

TEST(Capture, VideoIsH264AndAacWithTheSpansFramesAndDuration) {
    if (std::system("command -v ffprobe >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed (Debian package ffmpeg); video not checked";
    }
    std::string dir = testsupport::makeTempDir();
    // 48,000 .. 49,000 ms at 10 frames/s: 11 frames, 1.1 s.
    Result r = capture("--from 48000 --to 49000 --fps 10 --video " + dir + "/v.mp4");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("frame 11/11"), std::string::npos) << r.err;
    std::string probe = dir + "/probe.txt";
    std::string command = "ffprobe -v error -count_frames -show_entries "
                          "stream=codec_type,codec_name,pix_fmt,nb_read_frames,duration "
                          "-of default=noprint_wrappers=1 " +
                          dir + "/v.mp4 >" + probe;
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string text = readFile(probe);
    EXPECT_NE(text.find("codec_name=h264"), std::string::npos) << text;
    EXPECT_NE(text.find("pix_fmt=yuv420p"), std::string::npos) << text;
    EXPECT_NE(text.find("nb_read_frames=11\n"), std::string::npos) << text;
    EXPECT_NE(text.find("duration=1.100000"), std::string::npos) << text;
    size_t audio = text.find("codec_name=aac");
    ASSERT_NE(audio, std::string::npos) << text;
    double seconds = std::atof(text.c_str() + text.find("duration=", audio) + 9);
    EXPECT_NEAR(seconds, 1.1, 0.05) << text; // AAC frames are 1024 samples
}

TEST(Capture, InterruptedVideoIsAPlayableFileOfTheFramesRendered) {
    if (std::system("command -v ffprobe >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed (Debian package ffmpeg); video not checked";
    }
    std::string dir = testsupport::makeTempDir();
    std::string video = dir + "/cut.mp4", err = dir + "/stderr.txt";
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (!std::freopen(err.c_str(), "w", stderr)) _exit(2);
        execl(DEMO_BINARY_DIR "/capture", "capture", "--from", "60000", "--to", "70000", "--fps", "10",
              "--video", video.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Ctrl-C once the second progress line is out (two frames at least).
    auto lines = [&] {
        std::string text = readFile(err);
        return std::count(text.begin(), text.end(), '\r');
    };
    for (int i = 0; i < 600 && lines() < 2; i++) usleep(100000);
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << readFile(err);
    std::string probe = dir + "/probe.txt";
    std::string command = "ffprobe -v error -count_frames -select_streams v -show_entries "
                          "stream=codec_name,nb_read_frames -of default=noprint_wrappers=1 " +
                          video + " >" + probe;
    ASSERT_EQ(std::system(command.c_str()), 0) << readFile(err);
    std::string text = readFile(probe);
    EXPECT_NE(text.find("codec_name=h264"), std::string::npos) << text;
    long frames = std::atol(text.c_str() + text.find("nb_read_frames=") + 15);
    EXPECT_GE(frames, 2) << text;
    EXPECT_LT(frames, 101) << text;
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
