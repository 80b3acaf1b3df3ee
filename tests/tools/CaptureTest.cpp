// The capture tool's output: a single frame equals the frame of a span that
// passes its time, and a video is H.264 and AAC with the span's frames and
// length, also when Ctrl-C cuts it short. (Its command line is checked with
// the other tools'.)
#include <gtest/gtest.h>

#include <signal.h>

#include "tests/support/Process.h"
#include "tests/support/TestMp3.h"

namespace {

using testsupport::Finished;
using testsupport::Program;
using testsupport::readFile;

// What ffprobe says about the streams of `video`, one "key=value" a line.
std::string probe(const std::string& video) {
    std::string text, command = "ffprobe -v error -count_frames -show_entries stream=codec_name,pix_fmt,"
                                "nb_read_frames,duration -of default=noprint_wrappers=1 " +
                                video;
    std::FILE* pipe = popen(command.c_str(), "r");
    for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) text += char(c);
    if (pipe) pclose(pipe);
    return text;
}

TEST(Capture, SingleFrameEqualsTheFrameOfASpanThatPassesItsTime) {
    const std::string dir = testsupport::makeTempDir();
    ASSERT_EQ(Program("capture --at 18200 --fps 10 --out " + dir + "/at.png").wait(120).exitCode, 0);
    ASSERT_EQ(Program("capture --from 18000 --to 18300 --fps 10 --out " + dir).wait(120).exitCode, 0);
    const std::string single = readFile(dir + "/at.png");
    EXPECT_GT(single.size(), 1000u);
    EXPECT_EQ(single, readFile(dir + "/frame-000002.png")); // 18,000, 18,100, 18,200, 18,300 ms
    EXPECT_NE(single, readFile(dir + "/frame-000003.png"));
    EXPECT_TRUE(readFile(dir + "/frame-000004.png").empty());
}

TEST(Capture, VideoIsH264AndAacWithTheSpansFramesAndLengthAlsoWhenInterrupted) {
    if (std::system("command -v ffprobe >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed (Debian package ffmpeg); video not checked";
    const std::string dir = testsupport::makeTempDir();
    // 48,000 .. 49,000 ms at 10 frames/s: 11 frames, 1.1 s.
    Finished f = Program("capture --from 48000 --to 49000 --fps 10 --video " + dir + "/v.mp4").wait(120);
    ASSERT_EQ(f.exitCode, 0) << f.err;
    std::string text = probe(dir + "/v.mp4");
    for (const char* entry : {"codec_name=h264\npix_fmt=yuv420p\nduration=1.100000\nnb_read_frames=11\n",
                              "codec_name=aac\n"})
        EXPECT_NE(text.find(entry), std::string::npos) << entry << " in\n" << text;
    const size_t aac = text.find("codec_name=aac");
    EXPECT_NEAR(std::atof(text.c_str() + text.find("duration=", aac) + 9), 1.1, 0.05)
        << text; // AAC frames are 1024 samples
    // Ctrl-C once two frames are out: a second progress line ends in '\r'.
    Program cut("capture --from 60000 --to 70000 --fps 10 --video " + dir + "/cut.mp4");
    EXPECT_TRUE(testsupport::waitFor([&] { return cut.err().rfind('\r') > cut.err().find('\r'); }, 60));
    cut.sendSignal(SIGINT);
    f = cut.wait(30);
    EXPECT_EQ(f.exitCode, 130) << f.err;
    text = probe(dir + "/cut.mp4");
    long frames = std::atol(text.c_str() + text.find("nb_read_frames=") + 15);
    EXPECT_TRUE(text.find("codec_name=h264") != std::string::npos && frames >= 2 && frames < 101)
        << text;
}

} // namespace
