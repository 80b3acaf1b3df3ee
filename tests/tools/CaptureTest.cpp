// The capture tool's output: a single frame, just after the start or just
// before the end of any scene, equals the frame of a capture from the start
// at the same rate, a span
// never lands silently on an earlier one, and a
// video is H.264 and AAC with the span's frames and length, also when Ctrl-C
// cuts it short. (Its command line is checked with the other tools'.)
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <stb_image.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "scenes/SceneTable.h"
#include "tests/support/AssetFolder.h"
#include "tests/support/Process.h"
#include "tests/support/TestMp3.h"

namespace {

using testsupport::Finished;
using testsupport::Program;
using testsupport::readFile;

// What `command` writes on standard output.
std::string outputOf(const std::string& command) {
    std::string text;
    std::FILE* pipe = popen(command.c_str(), "r");
    char chunk[65536];
    for (size_t n; pipe && (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) text.append(chunk, n);
    if (pipe) pclose(pipe);
    return text;
}

// What ffprobe says about the streams of `video`, one "key=value" a line.
std::string probe(const std::string& video) {
    return outputOf("ffprobe -v error -count_frames -show_entries stream=codec_name,pix_fmt,"
                    "nb_read_frames,duration -of default=noprint_wrappers=1 " +
                    video);
}

// The frames of `video` decoded to RGB, top row first, one after the other.
std::string decodedFrames(const std::string& video) {
    return outputOf("ffmpeg -v error -i " + video + " -f rawvideo -pix_fmt rgb24 -");
}

// The PNG files frame-000000.png ... of `dir`, decoded and joined like
// decodedFrames; empty when one is missing or not `width` x `height`.
std::string pngFrames(const std::string& dir, int count, int width, int height) {
    std::string all;
    for (int k = 0; k < count; k++) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06d.png", k);
        int w = 0, h = 0, n = 0;
        unsigned char* p = stbi_load((dir + name).c_str(), &w, &h, &n, 3);
        if (!p || w != width || h != height) {
            stbi_image_free(p);
            return "";
        }
        all.append((const char*)p, size_t(w) * size_t(h) * 3);
        stbi_image_free(p);
    }
    return all;
}

bool have(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

// The name of the frame at `ms` of a capture from 0 ms at 1 frame/s.
std::string frameAt(unsigned ms) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06u.png", ms / 1000);
    return name;
}

// A second after the start and a second before the end of every scene (on
// the 1 frame/s grid: the scenes start on whole seconds), and the show's end.
std::vector<unsigned> moments() {
    std::vector<unsigned> m;
    for (int k = 0; k < sceneCount; k++) {
        m.push_back(unsigned(sceneTable[k].startMs) + 1000);
        m.push_back(unsigned(sceneEndMs(k)) - 1000);
    }
    m.push_back(showEndMs);
    return m;
}

TEST(Capture, EverySingleFrameEqualsTheFrameOfACaptureFromTheStart) {
    const std::string dir = testsupport::makeTempDir();
    const std::string rate = " --fps 1 --size 320x240";
    Finished f = Program("capture" + rate + " --out " + dir).wait(300);
    ASSERT_EQ(f.exitCode, 0) << f.err;
    EXPECT_FALSE(readFile(dir + frameAt(showEndMs)).empty()); // the last frame, both ends inclusive
    EXPECT_TRUE(readFile(dir + frameAt(showEndMs + 1000)).empty());
    for (unsigned ms : moments()) {
        ASSERT_EQ(ms % 1000, 0u) << ms << " ms is not on the 1 frame/s grid";
        const std::string at = dir + "/at-" + std::to_string(ms) + ".png";
        f = Program("capture --at " + std::to_string(ms) + rate + " --out " + at).wait(120);
        ASSERT_EQ(f.exitCode, 0) << f.err;
        EXPECT_EQ(f.err, ""); // a run-up prints nothing
        const std::string single = readFile(at);
        EXPECT_GT(single.size(), 1000u);
        EXPECT_TRUE(single == readFile(dir + frameAt(ms)))
            << "capture --at " << ms << " is not" << frameAt(ms);
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
    if (!have("ffprobe"))
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
    // A FIFO in place of the music is refused, not waited on: a silent video.
    const std::string assets = testsupport::copyOfGeneratedAssets();
    std::filesystem::remove(assets + "/musa.mp3");
    mkfifo((assets + "/musa.mp3").c_str(), 0644);
    f = Program("capture --to 200 --fps 10 --size 320x240 --assets " + assets + " --video " + dir +
                "/s.mp4")
            .wait(60);
    EXPECT_EQ(f.exitCode, 0) << f.err;
    EXPECT_NE(f.err.find("musa.mp3 is not a regular file; the video has no sound\n"), std::string::npos)
        << f.err;
    EXPECT_EQ(probe(dir + "/s.mp4").find("aac"), std::string::npos);
}

// Shards of one span, rendered side by side by GNU parallel, give the PNG
// frames of one process; the lossless master decodes to exactly those
// frames, and its shards joined to the same video, frame for frame, with the
// frame count and length of one process's.
TEST(Capture, ShardsGiveTheFramesOfOneProcessAndTheMasterDecodesToThem) {
    if (!have("ffprobe") || !have("parallel"))
        GTEST_SKIP() << "ffmpeg or GNU parallel is not installed (Debian packages ffmpeg, parallel)";
    const std::string dir = testsupport::makeTempDir();
    const std::string capture = DEMO_BINARY_DIR "/capture";
    const std::string span = " --from 62000 --to 63000 --fps 10 --size 320x240"; // 11 frames
    ASSERT_EQ(Program("capture" + span + " --out " + dir + "/one").wait(120).exitCode, 0);
    auto inShards = [&](const std::string& output) {
        return Program("/usr/bin/env parallel -j2 " + capture + span + " --shard {}/2 " + output +
                       " ::: 1 2")
            .wait(120);
    };
    Finished f = inShards("--out " + dir + "/sharded");
    ASSERT_EQ(f.exitCode, 0) << f.err;
    const std::string frames = pngFrames(dir + "/one", 11, 320, 240);
    ASSERT_FALSE(frames.empty());
    EXPECT_TRUE(pngFrames(dir + "/sharded", 11, 320, 240) == frames);
    EXPECT_TRUE(readFile(dir + "/sharded/frame-000011.png").empty());

    ASSERT_EQ(Program("capture" + span + " --video " + dir + "/one.mkv").wait(120).exitCode, 0);
    EXPECT_TRUE(decodedFrames(dir + "/one.mkv") == frames);
    f = inShards("--video " + dir + "/part{}.mkv");
    ASSERT_EQ(f.exitCode, 0) << f.err;
    f = Program("capture --join " + dir + "/joined.mkv " + dir + "/part1.mkv " + dir +
                "/part2.mkv --from 62000")
            .wait(120);
    ASSERT_EQ(f.exitCode, 0) << f.err;
    EXPECT_TRUE(decodedFrames(dir + "/joined.mkv") == frames);
    const std::string one = probe(dir + "/one.mkv");
    EXPECT_NE(one.find("codec_name=ffv1\npix_fmt=bgr0\n"), std::string::npos) << one;
    EXPECT_NE(one.find("codec_name=flac"), std::string::npos) << one;
    EXPECT_EQ(probe(dir + "/joined.mkv"), one);
}

// On a full file system a capture stops at the first frame that does not
// fit, says which and why, and leaves only complete frames: the one that
// failed is not there under its name, nor is any temporary file.
TEST(Capture, AFullDiskStopsWithTheReasonAndLeavesOnlyCompleteFrames) {
    const std::string dir = testsupport::makeTempDir() + "/small";
    mkdir(dir.c_str(), 0755);
    if (geteuid() != 0 || std::system(("mount -t tmpfs -o size=600k tmpfs " + dir).c_str()) != 0)
        GTEST_SKIP() << "a small tmpfs cannot be mounted here (needs root; CI runs as root)";
    Finished f =
        Program("capture --from 20000 --to 23000 --fps 10 --size 320x240 --out " + dir + "/f").wait(120);
    Finished single = Program("capture --at 20000 --out " + dir + "/one.png").wait(120);
    std::vector<std::string> names;
    if (DIR* d = opendir((dir + "/f").c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.' || std::strlen(e->d_name) > 2) names.push_back(e->d_name);
        closedir(d);
    }
    int complete = 0; // frames that decode whole
    for (const std::string& name : names) {
        int w = 0, h = 0, n = 0;
        unsigned char* p = stbi_load((dir + "/f/" + name).c_str(), &w, &h, &n, 3);
        complete += p && w == 320 && h == 240;
        stbi_image_free(p);
    }
    const bool singleLeft = access((dir + "/one.png").c_str(), F_OK) == 0;
    std::system(("umount " + dir).c_str());
    EXPECT_EQ(complete, int(names.size()));
    EXPECT_EQ(f.exitCode, 1);
    const std::string failed = "/frame-" + std::string(6 - std::to_string(names.size()).size(), '0') +
                               std::to_string(names.size()) + ".png";
    EXPECT_TRUE(names.size() >= 1 && names.size() < 31) << names.size() << " frames left";
    EXPECT_NE(f.err.find("capture: cannot write " + dir + "/f" + failed + ": No space left on device\n"),
              std::string::npos)
        << f.err;
    for (const std::string& name : names) EXPECT_EQ(name.rfind("frame-", 0), 0u) << name;
    EXPECT_EQ(single.exitCode, 1);
    EXPECT_EQ(single.err, "capture: cannot write " + dir + "/one.png: No space left on device\n");
    EXPECT_FALSE(singleLeft);
}

} // namespace
