// bench_frames: the whole show headless at 1024 x 768 or --size, with a fixed
// step, as the capture tool renders it, timed per scene and per start-up phase, with
// the heap allocations of each frame counted. See `usage` for the figures and
// options. The share of the frame time spent in the project's own code comes
// from a CPU-time sampler on the render thread (CodeSampler.h).
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "app/CApplication.h"
#include "app/ShowStart.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/Paths.h"
#include "platform/Window.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/Invisible.h"
#include "render/Jpg.h"
#include "render/PassMark.h"
#include "tools/bench_frames/CodeSampler.h"
#include "tools/common/CommandLine.h"
#include "tools/common/CountingNew.h"
#include "tools/common/FrameDriver.h"
#include "tools/common/OutputFile.h"
#include "tools/common/SizeArgument.h"

// Every operator new is counted (tools/common/CountingNew); those called from
// the executable's own code apart (the GL driver's shader compiler allocates
// through operator new too, the first time it meets a state).
namespace {
std::atomic<long> ownAllocations{0};

void countOwn(const void* caller) {
    if (CodeSampler::isOwnCode(caller)) ownAllocations++;
}
} // namespace

namespace {

// The default --to: the show's last ms before its end, which the usage
// text gives.
constexpr long lastMs = showEndMs - 1;
static_assert(lastMs == 149999, "the text gives the default --to, 149999 ms");

const Usage usage = {
    "bench_frames",
    "usage: bench_frames [--fps N] [--to MS] [--size WxH] [--draw-invisible] [--passes]\n",
    "Plays the show headless at 1024 x 768, or at --size WxH (4:3, at least\n"
    "320x240), N frames per second of music time (default 10, 1 to 1000) from 0\n"
    "to MS (default 149999), and prints per scene the median and 95th percentile\n"
    "frame time (wall time up to glFinish), the share of it spent in the\n"
    "project's own code, the share of the primitives that may be left out\n"
    "(they change no pixel) that were, the start-up phases from main() to the\n"
    "first frame, and\n"
    "the heap allocations per frame after each scene's first frame; exits 1 when\n"
    "the project's code allocated in such a frame.\n"
    "  --draw-invisible  draw the primitives that change no pixel too (fades at\n"
    "                    alpha 0, streaks beyond the fog), to time what\n"
    "                    leaving them out saves\n"
    "  --passes          also the mean time of each pass per scene (small\n"
    "                    drawing, blur, full drawing, glow, quads, overlay),\n"
    "                    with glFinish after each; the frame times then include\n"
    "                    those waits\n"
    "The assets are the generated pack beside the program.\n"};

struct Options {
    int fps = 10;
    int width = platform::classicWidth; // --size WxH
    int height = platform::classicHeight;
    long toMs = lastMs;
    bool drawInvisible = false;
    bool passes = false;
};

// Reads the arguments into `o`; returns "" or what is wrong with the first
// one it cannot use.
std::string parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long n = 0;
        const char* expected = nullptr; // what the value should have been
        if (!std::strcmp(arg, "--draw-invisible")) {
            o.drawInvisible = true;
        } else if (!std::strcmp(arg, "--passes")) {
            o.passes = true;
        } else if (!std::strcmp(arg, "--fps")) {
            if (parseInteger(value, 1, 1000, n)) o.fps = int(n);
            else expected = "frames per second, 1 to 1000";
            i++;
        } else if (!std::strcmp(arg, "--to")) {
            if (!parseInteger(value, 0, 1L << 30, o.toMs)) expected = "a time in ms, 0 or more";
            i++;
        } else if (!std::strcmp(arg, "--size")) {
            std::string problem = parseRenderSize(value, o.width, o.height);
            if (!problem.empty()) return "--size " + problem;
            i++;
        } else {
            return unknownArgument(arg);
        }
        if (expected) return badValue(arg, expected);
    }
    return "";
}

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// --passes: the time of each pass of each scene, summed over its frames; the
// last column is what comes before the first mark of a frame.
constexpr int passColumns = int(Pass::Count) + 1;
double passMs[sceneCount][passColumns] = {};
int passScene = 0;
int currentPass = int(Pass::Count);
Clock::time_point passStart;

void timePass(Pass pass) {
    glFinish();
    passMs[passScene][currentPass] += msSince(passStart);
    passStart = Clock::now();
    currentPass = int(pass);
}

// Decodes every JPEG file of Textures/ once; returns the ms it took.
double decodeAllTextures(int& files) {
    files = 0;
    DIR* dir = opendir("Textures");
    if (!dir) return 0;
    double ms = 0;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".jpg")) continue;
        uint8_t* bytes = nullptr;
        size_t size = 0;
        const char* error = nullptr;
        if (!jpegReadFile(("Textures/" + name).c_str(), &bytes, &size, &error)) continue;
        Clock::time_point t = Clock::now();
        JpegImage image = jpegDecode(bytes, size);
        ms += msSince(t);
        std::free(image.data);
        std::free(bytes);
        files++;
    }
    closedir(dir);
    return ms;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t i = size_t(p * double(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

std::string cpuModel() {
    std::FILE* f = std::fopen("/proc/cpuinfo", "r");
    char line[512];
    std::string model = "unknown CPU";
    while (f && std::fgets(line, sizeof line, f)) {
        if (!std::strncmp(line, "model name", 10)) {
            const char* colon = std::strchr(line, ':');
            if (colon) model = std::string(colon + 2, std::strcspn(colon + 2, "\n"));
            break;
        }
    }
    if (f) std::fclose(f);
    return model;
}

} // namespace

int main(int argc, char** argv) {
    Clock::time_point processStart = Clock::now();
    CodeSampler::findOwnCode();
    onHeapAllocation = countOwn;
    if (asksForHelp(argc, argv)) return printHelp(usage);
    Options options;
    const std::string problem = parse(argc, argv, options);
    if (!problem.empty()) return usageError(usage, problem);
    const int fps = options.fps;
    platform::fixRenderSize(options.width, options.height);
    CApplication app;
    ShowStart start = startShow(app, usage.tool, platform::assetFolder(""));
    if (start != ShowStart::Ready) return exitStatus(start);
    leftOut.enabled = !options.drawInvisible;
    Clock::time_point firstFrame = Clock::now();
    FixedRun run{fps};
    drawNextFrame(run); // frame 0, timed as the first frame of start-up
    glFinish();
    double firstFrameMs = msSince(firstFrame);
    double startupMs = msSince(processStart);
    int files = 0;
    double decodeMs = decodeAllTextures(files);

    const long frames = firstFrameFrom(run, unsigned(options.toMs) + 1);
    std::vector<double> times[sceneCount];
    for (auto& t : times) t.reserve(size_t(frames));
    CodeSampler sampler;
    bool sampling = sampler.start(1000);
    long counted = 0, allocated = 0, ownAllocated = 0;
    long sceneAllocations[sceneCount] = {};
    long sceneTested[sceneCount] = {}, sceneLeft[sceneCount] = {};
    int lastScene = -1;
    leftOut.tested = leftOut.left = 0;
    if (options.passes) passHook = timePass; // from the first timed frame on
    while (run.next < frames) {
        const int scene = sceneAt(frameMs(run, run.next));
        sampler.setBucket(scene);
        long before = heapAllocations.load(), ownBefore = ownAllocations.load();
        Clock::time_point t = Clock::now();
        passScene = scene;
        currentPass = int(Pass::Count);
        passStart = t;
        drawNextFrame(run);
        glFinish();
        if (options.passes) passMs[scene][currentPass] += msSince(passStart);
        times[scene].push_back(msSince(t));
        sceneTested[scene] += leftOut.tested;
        sceneLeft[scene] += leftOut.left;
        leftOut.tested = leftOut.left = 0;
        if (scene == lastScene) { // the first frame of a scene is its warm-up
            allocated += heapAllocations.load() - before;
            ownAllocated += ownAllocations.load() - ownBefore;
            sceneAllocations[scene] += heapAllocations.load() - before;
            counted++;
        }
        lastScene = scene;
        sampler.setBucket(CodeSampler::maxBuckets - 1);
    }
    sampler.stop();

    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    std::printf("bench_frames: %ld frames at %d frames/s, %d x %d, %s, %s, %ld cores%s\n", frames, fps,
                platform::renderWidth(), platform::renderHeight(), renderer ? renderer : "?",
                cpuModel().c_str(), sysconf(_SC_NPROCESSORS_ONLN),
                options.drawInvisible ? ", every primitive drawn" : "");
    std::printf("| scene | frames | median ms | p95 ms | render thread CPU ms | own code ms "
                "| own code %% | left out | allocations |\n");
    std::printf("|------:|-------:|----------:|-------:|---------------------:|------------:"
                "|-----------:|---------:|------------:|\n");
    double all = 0;
    long n = 0;
    for (int k = 0; k < sceneCount; k++) {
        if (times[k].empty()) continue;
        double sum = 0;
        for (double t : times[k]) sum += t;
        all += sum;
        n += long(times[k].size());
        double own = sampler.ownMs(k) / double(times[k].size());
        double cpu = sampler.totalMs(k) / double(times[k].size());
        std::printf("| %5d | %6zu | %9.2f | %6.2f | %20.2f | %11.3f | %9.1f%% | %7.1f%% | %11ld |\n",
                    k + 1, times[k].size(), percentile(times[k], 0.5), percentile(times[k], 0.95), cpu,
                    own, sum > 0 ? 100.0 * sampler.ownMs(k) / sum : 0.0,
                    sceneTested[k] ? 100.0 * double(sceneLeft[k]) / double(sceneTested[k]) : 0.0,
                    sceneAllocations[k]);
    }
    if (!sampling) std::printf("(the CPU-time sampler could not start: own code not measured)\n");
    if (options.passes) {
        std::printf("mean ms per frame and pass, glFinish after each:\n"
                    "| scene | small | blur | full | glow | quads | overlay | other |\n"
                    "|------:|------:|-----:|-----:|-----:|------:|--------:|------:|\n");
        for (int k = 0; k < sceneCount; k++) {
            if (times[k].empty()) continue;
            std::printf("| %5d |", k + 1);
            for (double sum : passMs[k]) std::printf(" %5.1f |", sum / double(times[k].size()));
            std::printf("\n");
        }
    }
    std::printf("rendering: %.1f frames/s on average\n", n && all > 0 ? 1000.0 * n / all : 0.0);
    std::printf("start-up: %.0f ms from main() to the first frame: window and context %.0f ms, "
                "textures %.0f ms (decoding %.0f ms for %d files, reading and uploading %.0f ms), "
                "scene initialisation %.0f ms, first frame %.0f ms\n",
                startupMs, preparationTimes.window * 1000.0, preparationTimes.textures * 1000.0,
                decodeMs, files, preparationTimes.textures * 1000.0 - decodeMs,
                preparationTimes.scenes * 1000.0, firstFrameMs);
    std::printf("allocations per frame after each scene's first frame: by the project's code "
                "%.3f (%ld in %ld frames); all, the GL driver's included, %.3f (%ld)\n",
                counted ? double(ownAllocated) / double(counted) : 0.0, ownAllocated, counted,
                counted ? double(allocated) / double(counted) : 0.0, allocated);
    app.deinit();
    return checkedExit("bench_frames", ownAllocated == 0 ? 0 : 1);
}
