// The capture tool's output: a single frame equals the frame of a span that
// passes its time, a span never lands silently on an earlier one, and a
// video is H.264 and AAC with the span's frames and length, also when Ctrl-C
// cuts it short. (Its command line is checked with the other tools'.)
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
    const std::string span = "capture --from 18000 --to 18300 --fps 10 --out " + dir;
    Finished f = Program("capture --at 18200 --fps 10 --out " + dir + "/at.png").wait(120);
    ASSERT_EQ(f.exitCode, 0);
    EXPECT_EQ(f.err, "");
    ASSERT_EQ(Program(span).wait(120).exitCode, 0);
    const std::string single = readFile(dir + "/at.png");
    EXPECT_GT(single.size(), 1000u);
    EXPECT_EQ(single, readFile(dir + "/frame-000002.png")); // 18,000, 18,100, 18,200, 18,300 ms
    EXPECT_NE(single, readFile(dir + "/frame-000003.png"));
    EXPECT_TRUE(readFile(dir + "/frame-000004.png").empty());
    // The folder now holds frames: another span into it is refused, unless asked.
    const std::string first = readFile(dir + "/frame-000000.png");
    f = Program("capture --from 20000 --to 20000 --fps 10 --out " + dir).wait(120);
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_EQ(f.err, "capture: " + dir + " already holds frames; add --overwrite to replace them\n");
    EXPECT_EQ(readFile(dir + "/frame-000000.png"), first);
    ASSERT_EQ(Program(span + " --overwrite").wait(120).exitCode, 0);
    EXPECT_EQ(readFile(dir + "/frame-000000.png"), first);
}

TEST(Capture, VideoIsH264AndAacWithTheSpansFramesAndLengthAlsoWhenInterrupted) {
    if (std::system("command -v ffprobe >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed (Debian package ffmpeg); video not checked";
    const std::string dir = testsupport::makeTempDir();
    // 48,000 .. 49,000 ms at 10 frames/s: 11 frames, 1.1 s.
    Finished f = Program("capture --from 48000 --to 49000 --fps 10 --video " + dir + "/v.mp4").wait(120);
    ASSERT_EQ(f.exitCode, 0) << f.err;
    EXPECT_NE(f.err.find("frame 11/11"), std::string::npos) << f.err;
    // The sound lasts whole AAC frames of 1024 samples.
    const char* whole =
        "codec_name=h264 pix_fmt=yuv420p duration=1.100000 nb_read_frames=11 codec_name=aac "
        "duration=%lf";
    double audio = 0, frames = 0;
    EXPECT_EQ(std::sscanf(probe(dir + "/v.mp4").c_str(), whole, &audio), 1) << probe(dir + "/v.mp4");
    EXPECT_NEAR(audio, 1.1, 0.05);
    // Ctrl-C once two frames are out: a second progress line ends in '\r'.
    Program interrupted("capture --from 60000 --to 70000 --fps 10 --video " + dir + "/cut.mp4");
    EXPECT_TRUE(testsupport::waitFor(
        [&] { return interrupted.err().rfind('\r') > interrupted.err().find('\r'); }, 60));
    interrupted.sendSignal(SIGINT);
    f = interrupted.wait(30);
    EXPECT_EQ(f.exitCode, 130) << f.err;
    const char* cut = "codec_name=h264 pix_fmt=yuv420p duration=%*s nb_read_frames=%lf";
    EXPECT_EQ(std::sscanf(probe(dir + "/cut.mp4").c_str(), cut, &frames), 1) << probe(dir + "/cut.mp4");
    EXPECT_TRUE(frames >= 2 && frames < 101) << frames;
}

} // namespace
