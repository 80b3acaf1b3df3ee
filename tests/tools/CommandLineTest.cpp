// The tools and the show as a user runs them, each in an empty working
// folder: --help, anywhere on the line, prints the usage on stdout and
// succeeds; a bad command line fails with status 2, its reason in one line
// on stderr and the tool's synopsis after it; an output that cannot be
// written or a missing display or GL feature fails with status 1 and one
// clear line on stderr; short runs print what they report; and no command,
// refused or not, writes anything into its working folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "scenes/SceneTable.h"
#include "tests/support/Process.h"
#include "tests/support/TestMp3.h"

namespace {

struct Answer {
    const char* line;     // tool and arguments
    int status;           // 2: a usage error, whose reason line the tool's synopsis follows
    const char* err;      // how stderr starts; "": it is empty
    const char* out = ""; // a part of stdout; "": it is empty
    int errLines = 1;     // -1: any number; not counted after a usage error
    std::vector<std::string> env = {};
};

const char* captureUsage = "usage: capture --at MS --out FRAME.png ";
const char* badAt = "capture: bad or missing value for --at (a time in ms, 0 to 150001) (see --help)\n";
const char* noFfmpeg = "capture: ffmpeg is not installed (no ffmpeg on PATH); install the Debian";
const char* badSupersample = "capture: bad or missing value for --supersample (1 to 4) (see --help)\n";
const char* beyondLimit = "Demo: the render size 2048x1536 is beyond what this OpenGL driver allows "
                          "(GL_MAX_RENDERBUFFER_SIZE 2000, ";
const char* lowLimit = "DEMO_TEST_REFUSE=GL_MAX_RENDERBUFFER_SIZE=2000";
const char* badWindow = "preview: bad or missing value for --window (WxH, 64 to 16384 each) (see";
const char* badFrom = "preview: bad or missing value for --from (a time in ms, 0 to 149999) (see";
const char* badOffset = "preview: bad or missing value for --av-offset (ms, -2000 to 2000) (see";
const char* previewOptions = "[--window [WxH] | --fullscreen-desktop] [--render-size WxH] [--from MS]\n"
                             "               [--loop] [--mute] [--av-offset MS] [--vsync on|off]";
const char* previewKeys = "\nKeys: Escape or Q quit, Space pause, Left/Right previous/next scene";
const char* lacksMultitexture = "Demo: the OpenGL driver lacks GL_ARB_multitexture, which the show";
const char* lacksCombine = "Demo: the OpenGL driver lacks GL_ARB_texture_env_combine, which the";
const std::vector<std::string> noDisplay = {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"};
// 1,000 .. 19,000 ms at 1 frame/s: 17 frames after the first of their scene, none allocating.
const char* noAllocation = "by the project's code 0.000 (0 in 17 frames)";
// The frame benchmark's replaced operator new meets the GL driver's free() under ASan.
const std::vector<std::string> benchAsan = {"ASAN_OPTIONS=$ASAN_OPTIONS:alloc_dealloc_mismatch=0"};

const Answer answers[] = {
    {"capture --help", 0, "", captureUsage, 0},
    {"capture --out d --help", 0, "", captureUsage, 0},
    {"capture", 2, "capture: give --out or --video (see --help)\n"},
    {"capture --at abc --out x.png", 2, badAt},
    {"capture --at -5 --out x.png", 2, badAt},
    {"capture --at 200000 --out x.png", 2, badAt},
    {"capture --at 5000", 2, "capture: give --out or --video (see --help)\n"},
    {"capture --fps 0 --at 10 --out x.png", 2, "capture: bad or missing value for --fps (frames per"},
    {"capture --from 5000 --to 1000 --out d", 2, "capture: --from is after --to"},
    {"capture --at 10 --from 0 --out x.png", 2, "capture: --at cannot be combined with --from or --to"},
    {"capture --frobnicate", 2, "capture: unknown argument '--frobnicate' (see --help)\n"},
    {"capture --at 10 --out", 2, "capture: bad or missing value for --out (a path)"},
    {"capture --video", 2, "capture: bad or missing value for --video (a path)"},
    {"capture --at 10 --video v.mp4", 2, "capture: --video takes a span (--from, --to), not --at"},
    {"capture --out d --video v.mp4", 2, "capture: --out and --video cannot be combined"},
    {"capture --at 10 --out x.jpg", 2,
     "capture: --out x.jpg: only PNG is written; give a name ending in .png"},
    {"capture --shard 3/2 --out d", 2,
     "capture: bad or missing value for --shard (K/N, 1 <= K <= N <= 1000)"},
    {"capture --at 10 --shard 1/2 --out x.png", 2, "capture: --shard takes a span, not --at"},
    {"capture --to 0 --fps 1 --shard 2/2 --out d", 2,
     "capture: the span has 1 frame, fewer than the 2 parts --shard asks for (see --help)\n"},
    {"capture --join v.mkv", 2, "capture: --join v.mkv: name the segments to join"},
    {"capture --join v.mkv a.mkv --to 5", 2,
     "capture: --join takes only --from, --overwrite and --assets"},
    {"capture --scenes --to 5", 2, "capture: --scenes takes no other arguments (see --help)\n"},
    {"capture --size 100x100 --out d", 2, "capture: --size 100x100: smaller than 320x240 (see"},
    {"capture --size 1000x1000 --out d", 2, "capture: --size 1000x1000: not 4:3 (width x 3 must"},
    {"capture --size abc --out d", 2, "capture: --size abc: expected WxH in pixels, such as"},
    {"capture --supersample 0 --out d", 2, badSupersample},
    {"capture --supersample 5 --out d", 2, badSupersample},
    {"capture --size 332x249 --video v.mp4", 2, "capture: --size 332x249: H.264 (yuv420p) needs an"},
    // Failed runs: the command line is good, what it asks for cannot be done.
    {"capture --video /etc/hostname", 1, "capture: /etc/hostname exists; add --overwrite to replace it"},
    {"capture --video /nonexistent/v.mp4", 1, "capture: cannot write /nonexistent/v.mp4: "},
    {"capture --at 100 --fps 10 --out /nonexistent/x.png", 1,
     "capture: cannot write /nonexistent/x.png: No such file or directory\n"},
    {"capture --join v.mkv /nonexistent/a.mkv", 1,
     "capture: cannot read /nonexistent/a.mkv: No such file"},
    {"capture --to 100 --video v.mp4", 1, noFfmpeg, "", 1, {"PATH=/nonexistent"}},
    {"capture --at 100 --supersample 2 --out x.png", 1, beyondLimit, "", 1, {lowLimit}},
    {"preview --window 10x10", 2, badWindow},
    {"preview --window 800", 2, badWindow},
    {"preview --window 800x600x2", 2, badWindow},
    {"preview --from -1", 2, badFrom},
    {"preview --from 150000", 2, badFrom},
    {"preview --from", 2, badFrom},
    {"preview --av-offset 2001", 2, badOffset},
    {"preview --av-offset x", 2, badOffset},
    {"preview --vsync yes", 2, "preview: bad or missing value for --vsync (on or off) (see --help)\n"},
    {"preview --frames 0", 2,
     "preview: bad or missing value for --frames (a frame count, 1 or more) (see"},
    {"preview --assets", 2, "preview: bad or missing value for --assets (a folder) (see --help)\n"},
    {"preview --frobnicate", 2, "preview: unknown argument '--frobnicate' (see --help)\n"},
    {"preview --window --fullscreen-desktop", 2,
     "preview: --window and --fullscreen-desktop exclude each"},
    {"preview --render-size 800x800", 2, "preview: --render-size 800x800: not 4:3 (width x 3 must"},
    {"preview --help --bogus", 0, "", previewOptions, 0},
    {"preview --help", 0, "", previewKeys, 0},
    // A start lands in the scene that holds it (scene 4 from 48,000 ms, scene 2 from 18,000 ms).
    {"preview --mute --window 320x240 --from 48200 --frames 2", 0, "", " ms in scene 4\n", 0},
    {"preview --mute --from 18300 --frames 1", 0, "", " ms in scene 2\n", 0},
    {"bench_frames --help", 0, "", "usage: bench_frames ", 0},
    {"bench_frames --fsp 5", 2, "bench_frames: unknown argument '--fsp' (see --help)\n"},
    {"bench_frames --fps 0", 2, "bench_frames: bad or missing value for --fps (frames per second,"},
    {"bench_frames --size 300x225", 2, "bench_frames: --size 300x225: smaller than 320x240 (see"},
    {"bench_frames --fps 1 --to 19000", 0, "", noAllocation, 0, benchAsan},
    {"bench_frames --fps 1 --to 1000 --passes", 0, "",
     "| small | blur | full | glow | quads | overlay |", 0, benchAsan},
    {"soak --help", 0, "", "usage: soak [--fps N] [--to MS] [--passes N] [--assets DIR]\n", 0},
    {"soak --fps 0", 2, "soak: bad or missing value for --fps (frames per second, 1 to 1000) (see"},
    {"soak --to", 2, "soak: bad or missing value for --to (a time in ms, 0 or more) (see --help)\n"},
    {"soak --assets /nonexistent", 1, "soak: cannot enter the asset folder /nonexistent\n"},
    {"jpgdecode --help", 0, "", "usage: jpgdecode IN.jpg OUT.ppm [MASK.jpg]\n", 0},
    {"jpgdecode in.jpg", 2, "jpgdecode: give IN.jpg, OUT.ppm and optionally MASK.jpg (see"},
    {"assetgen --help", 0, "", "usage: assetgen OUTDIR\n", 0},
    {"assetgen --out x", 2, "assetgen: give OUTDIR, or --icons and OUTDIR (see --help)\n"},
    {"assetgen --x", 2, "assetgen: unknown argument '--x' (see --help)\n"},
    {"assetgen /proc/no-such-folder", 1, "assetgen: /proc/no-such-folder/Textures: "},
    // The benchmarks without options take none.
    {"bench_png --help", 0, "", "usage: bench_png\n", 0},
    {"bench_png --fast", 2, "bench_png: unknown argument '--fast' (see --help)\n"},
    {"bench_decode --help", 0, "", "usage: bench_decode\n", 0},
    {"bench_decode 5", 2, "bench_decode: unknown argument '5' (see --help)\n"},
    {"bench_geometry --help", 0, "", "usage: bench_geometry\n", 0},
    {"bench_geometry -v", 2, "bench_geometry: unknown argument '-v' (see --help)\n"},
    {"bench_polygonise --help", 0, "", "usage: bench_polygonise\n", 0},
    {"bench_polygonise x", 2, "bench_polygonise: unknown argument 'x' (see --help)\n"},
    // The show itself fails at once without a display or the GL entry points it needs.
    {"demo", 1, "Demo: no display is available", "", 1, noDisplay},
    {"demo", 1, lacksMultitexture, "", 1, {"DEMO_TEST_REFUSE=glActiveTextureARB"}},
    {"demo", 1, lacksMultitexture, "", 1, {"DEMO_TEST_REFUSE=glMultiTexCoord2fARB"}},
    {"demo", 1, lacksMultitexture, "", 1, {"DEMO_TEST_REFUSE=GL_ARB_multitexture"}},
    {"demo", 1, lacksCombine, "", 1, {"DEMO_TEST_REFUSE=GL_ARB_texture_env_combine"}},
};

TEST(CommandLine, ProgramsAnswerAsTheySayAndWriteNothingIntoTheirWorkingFolder) {
    for (const Answer& a : answers) {
        const std::string dir = testsupport::makeTempDir();
        testsupport::Finished f = testsupport::Program(a.line, a.env, dir).wait(120);
        EXPECT_EQ(f.exitCode, a.status) << a.line << "\n" << f.err;
        EXPECT_TRUE(*a.out ? f.out.find(a.out) != std::string::npos : f.out.empty()) << a.line << f.out;
        EXPECT_TRUE(*a.err ? f.err.rfind(a.err, 0) == 0 : f.err.empty()) << a.line << f.err;
        if (a.status == 2) {
            const std::string tool(a.line, std::strcspn(a.line, " "));
            EXPECT_EQ(f.err.find("\nusage: " + tool), f.err.find('\n')) << a.line << " gave no usage";
        } else {
            EXPECT_TRUE(a.errLines < 0 || std::count(f.err.begin(), f.err.end(), '\n') == a.errLines)
                << a.line;
        }
        EXPECT_TRUE(std::filesystem::is_empty(dir)) << a.line << " wrote into its working folder";
        std::filesystem::remove_all(dir);
    }
}

// capture --scenes, which scripts read: the scene table, a scene a line.
TEST(CommandLine, CaptureListsEverySceneWithItsSpanAndPicture) {
    std::string table;
    for (int k = 0; k < sceneCount; k++)
        table += std::to_string(k + 1) + " " + std::to_string(sceneTable[k].startMs) + " " +
                 std::to_string(sceneEndMs(k)) + " " + std::to_string(sceneTable[k].pictureMs) + "\n";
    testsupport::Finished f = testsupport::Program("capture --scenes").wait(60);
    EXPECT_EQ(f.exitCode, 0);
    EXPECT_EQ(f.out, table);
    EXPECT_EQ(f.err, "");
}

} // namespace
