// build/soak: plays the show headless (SDL's offscreen driver, no sound) at a
// fixed rate of music time from 0 ms until the show ends or --to MS. The
// first line gives the frames drawn, whether the show ended, a digest of
// every frame's pixels and the GL errors seen. With --passes N the show plays
// N times in the one process, and a line per play gives the resident size and
// the heap in use (malloc's own count, which fragmentation does not inflate)
// after the first scene and at the end of that play; a last line gives the
// resident size as each scene of the last play starts. The first play also
// carries the GL driver's one-off work: it compiles and caches code for each
// new combination of state the first time a scene uses it.
// A quit request (SIGINT, SIGTERM) stops it between frames with status 130.
#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/CApplication.h"
#include "app/ShowStart.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/Window.h"
#include "tools/common/CommandLine.h"
#include "tools/common/FrameDriver.h"
#include "tools/common/OutputFile.h"

namespace {

const Usage usage = {"soak", "usage: soak [--fps N] [--to MS] [--passes N] [--assets DIR]\n",
                     "Plays the show headless at N frames per second of music time (default 5, 1 to\n"
                     "1000) from 0 ms until it ends, or until MS, and prints the frames drawn, a\n"
                     "digest of their pixels and the GL errors seen; then per play the resident size\n"
                     "and the heap in use after the first scene and at the end, and the resident size\n"
                     "as each scene of the last play starts.\n"
                     "  --passes N    play the show N times in this process (default 1)\n"
                     "  --assets DIR  the folder that holds Textures/ and musa.mp3 (default: the\n"
                     "                working directory)\n"};

struct Options {
    int fps = 5;
    long toMs = showEndMs + 1000; // past the end: the show stops itself
    int passes = 1;               // plays of the show in this process
    std::string assets;           // empty: the working directory
};

// Reads the arguments into `o`; returns "" or what is wrong with the first
// one it cannot use.
std::string parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; i += 2) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long n = 0;
        const char* expected = nullptr; // what the value should have been
        if (!std::strcmp(arg, "--fps")) {
            if (parseInteger(value, 1, 1000, n)) o.fps = int(n);
            else expected = "frames per second, 1 to 1000";
        } else if (!std::strcmp(arg, "--to")) {
            if (!parseInteger(value, 0, 1L << 30, o.toMs)) expected = "a time in ms, 0 or more";
        } else if (!std::strcmp(arg, "--passes")) {
            if (parseInteger(value, 1, 1000000, n)) o.passes = int(n);
            else expected = "a count, 1 or more";
        } else if (!std::strcmp(arg, "--assets")) {
            if (value && *value) o.assets = value;
            else expected = "a folder";
        } else {
            return unknownArgument(arg);
        }
        if (expected) return badValue(arg, expected);
    }
    return "";
}

// Resident set size in KiB, from /proc/self/statm; 0 when unreadable.
long residentKiB() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    long pages = 0, resident = 0;
    int got = std::fscanf(f, "%ld %ld", &pages, &resident);
    std::fclose(f);
    return got == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

// Bytes handed out by malloc and not yet freed, in KiB: over all arenas, plus
// the large blocks malloc maps on their own.
long heapInUseKiB() {
    const struct mallinfo2 m = mallinfo2();
    return long((m.uordblks + m.hblkhd) / 1024);
}

// Memory figures of one play.
struct PlayMemory {
    long residentAfterFirstScene = 0, residentAtEnd = 0;
    long heapAfterFirstScene = 0, heapAtEnd = 0;
};

// 64-bit FNV-1a over the frame, chained across frames.
uint64_t digest(uint64_t h, const unsigned char* bytes, size_t n) {
    for (size_t i = 0; i < n; i++) h = (h ^ bytes[i]) * 1099511628211ull;
    return h;
}

} // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) return printHelp(usage);
    Options options;
    const std::string problem = parse(argc, argv, options);
    if (!problem.empty()) return usageError(usage, problem);
    CApplication app;
    ShowStart start = startShow(app, usage.tool, options.assets);
    if (start != ShowStart::Ready) return exitStatus(start);

    std::vector<unsigned char> rgb(size_t(platform::renderWidth()) * platform::renderHeight() * 3);
    std::vector<PlayMemory> plays(size_t(options.passes));
    uint64_t hash = 14695981039346656037ull;
    long frames = 0, glErrors = 0;
    long sceneStartKiB[sceneCount] = {}; // resident size as each scene of the last play starts
    for (PlayMemory& play : plays) {
        for (long& kib : sceneStartKiB) kib = 0;
        // Each play runs from 0 ms again without a rewind: the scenes go on
        // from the state the last play left.
        done = false;
        for (FixedRun run{options.fps}; long(frameMs(run, run.next)) <= options.toMs;) {
            if (platform::quitRequested()) {
                app.deinit();
                return 130;
            }
            const unsigned ms = drawNextFrame(run);
            if (done) break; // past the end: the show draws nothing more
            platform::readFrame(rgb.data());
            hash = digest(hash, rgb.data(), rgb.size());
            while (glGetError() != GL_NO_ERROR) glErrors++;
            platform::present();
            frames++;
            if (!play.residentAfterFirstScene && ms >= unsigned(sceneTable[1].startMs)) {
                play.residentAfterFirstScene = residentKiB();
                play.heapAfterFirstScene = heapInUseKiB();
            }
            if (!sceneStartKiB[currentScene]) sceneStartKiB[currentScene] = residentKiB();
        }
        play.residentAtEnd = residentKiB();
        play.heapAtEnd = heapInUseKiB();
    }
    std::printf("soak: %ld frames at %d fps, show %s, digest %016llx, %ld GL errors\n", frames,
                options.fps, done ? "ended" : "stopped", (unsigned long long)hash, glErrors);
    for (size_t k = 0; k < plays.size(); k++) {
        const PlayMemory& m = plays[k];
        std::printf("soak: play %zu: resident %ld KiB after scene 1, %ld KiB at the end; "
                    "heap in use %ld KiB after scene 1, %ld KiB at the end\n",
                    k + 1, m.residentAfterFirstScene, m.residentAtEnd, m.heapAfterFirstScene,
                    m.heapAtEnd);
    }
    std::printf("soak: resident KiB as each scene of the last play starts:");
    for (long kib : sceneStartKiB) std::printf(" %ld", kib);
    std::printf("\n");
    app.deinit();
    return checkedExit("soak", 0);
}
