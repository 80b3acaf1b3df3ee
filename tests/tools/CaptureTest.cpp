// The capture tool's output: a single frame, early or deep in any scene,
// equals the frame of a capture from the start at the same rate, a span
// never lands silently on an earlier one, and a
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

// An early and a deep moment of every scene, on the 1 frame/s grid.
const unsigned moments[] = {3000,   17000,  19000,  29000,  31000,  47000,  49000,
                            59000,  61000,  74000,  76000,  98000,  100000, 110000,
                            112000, 116000, 124000, 146000, 147000, 150000};

TEST(Capture, EverySingleFrameEqualsTheFrameOfACaptureFromTheStart) {
    const std::string dir = testsupport::makeTempDir();
    const std::string rate = " --fps 1 --size 320x240";
    Finished f = Program("capture" + rate + " --out " + dir).wait(300);
    ASSERT_EQ(f.exitCode, 0) << f.err;
    EXPECT_FALSE(readFile(dir + "/frame-000150.png").empty());
    EXPECT_TRUE(readFile(dir + "/frame-000151.png").empty());
    for (unsigned ms : moments) {
        const std::string at = dir + "/at-" + std::to_string(ms) + ".png";
        f = Program("capture --at " + std::to_string(ms) + rate + " --out " + at).wait(120);
        ASSERT_EQ(f.exitCode, 0) << f.err;
        EXPECT_EQ(f.err, ""); // a run-up prints nothing
        char frame[32];
        std::snprintf(frame, sizeof frame, "/frame-%06u.png", ms / 1000);
        const std::string single = readFile(at);
        EXPECT_GT(single.size(), 1000u);
        EXPECT_TRUE(single == readFile(dir + frame)) << "capture --at " << ms << " is not" << frame;
    }
    // The folder now holds frames: another span into it is refused, unless asked.
    const std::string first = readFile(dir + "/frame-000000.png");
    f = Program("capture --from 20000 --to 20000 --fps 10 --out " + dir).wait(120);
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_EQ(f.err, "capture: " + dir + " already holds frames; add --overwrite to replace them\n");
    EXPECT_EQ(readFile(dir + "/frame-000000.png"), first);
    ASSERT_EQ(Program("capture --to 1000" + rate + " --out " + dir + " --overwrite").wait(120).exitCode,
              0);
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
