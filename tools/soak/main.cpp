// build/soak: plays the show headless (SDL's offscreen driver, no sound) at a
// fixed rate of music time from 0 ms until the show ends or --to MS, and
// prints one line: frames drawn, whether the show ended, a digest of every
// frame's pixels, the resident size after the first scene and at the end, and
// the GL errors seen; a second line gives the resident size as each scene
// starts. With --passes N the show plays N times in the one process and the
// sizes are those of the last pass (the GL driver compiles and caches code
// for each new combination of state during the first).
// Usage: soak [--fps N] [--to MS] [--passes N] [--assets DIR].
// A quit request (SIGINT, SIGTERM) stops it between frames with status 130.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/CApplication.h"
#include "app/FixedStep.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/Window.h"

namespace {

struct Options {
    int fps = 5;
    long toMs = showEndMs + 1000; // past the end: the show stops itself
    int passes = 1; // plays of the show in this process; figures of the last
    const char* assets = nullptr;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--fps")) o.fps = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--to")) o.toMs = std::atol(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--assets")) o.assets = argv[i + 1];
        else if (!std::strcmp(argv[i], "--passes")) o.passes = std::atoi(argv[i + 1]);
        else return false;
    }
    return argc % 2 == 1 && o.fps >= 1 && o.fps <= 1000 && o.toMs >= 0 && o.passes >= 1;
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

// 64-bit FNV-1a over the frame, chained across frames.
uint64_t digest(uint64_t h, const unsigned char* bytes, size_t n) {
    for (size_t i = 0; i < n; i++) h = (h ^ bytes[i]) * 1099511628211ull;
    return h;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: soak [--fps N] [--to MS] [--passes N] [--assets DIR]\n");
        return 2;
    }
    if (options.assets && chdir(options.assets) != 0) {
        std::fprintf(stderr, "soak: cannot enter the asset folder %s\n", options.assets);
        return 2;
    }
    platform::useHeadlessDrivers();
    CApplication app;
    if (!app.init()) return 1;
    if (!prepareShow()) {
        app.deinit();
        return 130;
    }

    std::vector<unsigned char> rgb(size_t(platform::renderWidth) * platform::renderHeight * 3);
    uint64_t hash = 14695981039346656037ull;
    long frames = 0, afterFirstScene = 0, glErrors = 0;
    long sceneStartKiB[10] = {}; // resident size when each scene starts
    const float step = 20.0f / float(options.fps);
    for (int pass = 0; pass < options.passes; pass++) {
        afterFirstScene = 0;
        for (long& kib : sceneStartKiB) kib = 0;
        done = false;
        for (long frame = 0; !done; frame++) {
            unsigned ms = gridTimeMs(frame, options.fps);
            if (long(ms) > options.toMs) break;
            if (platform::quitRequested()) {
                app.deinit();
                return 130;
            }
            platform::beginFrame();
            drawShowFrameAt(ms, step);
            if (done) break; // past the end: the show draws nothing more
            platform::readFrame(rgb.data());
            hash = digest(hash, rgb.data(), rgb.size());
            while (glGetError() != GL_NO_ERROR) glErrors++;
            platform::present();
            frames++;
            if (!afterFirstScene && ms >= unsigned(sceneStartMs[1])) afterFirstScene = residentKiB();
            if (!sceneStartKiB[currentScene]) sceneStartKiB[currentScene] = residentKiB();
        }
    }
    std::printf("soak: %ld frames at %d fps, show %s, digest %016llx, resident %ld KiB after "
                "scene 1, %ld KiB at the end, %ld GL errors\n",
                frames, options.fps, done ? "ended" : "stopped", (unsigned long long)hash,
                afterFirstScene, residentKiB(), glErrors);
    std::printf("soak: resident KiB as each scene starts:");
    for (long kib : sceneStartKiB) std::printf(" %ld", kib);
    std::printf("\n");
    app.deinit();
    return 0;
}
