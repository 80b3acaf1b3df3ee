// build/capture: renders frames of the show headless (SDL's offscreen driver,
// no sound) with the music clock replaced by a fixed frame rate, and writes
// them as PNG files. See CaptureOptions.cpp for the command line.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "app/CApplication.h"
#include "app/FixedStep.h"
#include "app/Timeline.h"
#include "platform/Window.h"
#include "tools/capture/CaptureOptions.h"
#include "tools/capture/PngWriter.h"

namespace {

std::string absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[4096];
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

// The generated pack next to the executable: <dir of capture>/assets.
std::string defaultAssets() {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "assets";
    std::string exe(self, size_t(n));
    return exe.substr(0, exe.rfind('/')) + "/assets";
}

int fail(const std::string& message) {
    std::fprintf(stderr, "capture: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    CaptureOptions options;
    std::string error = parseCaptureOptions(argc, argv, options);
    if (options.help || argc == 1) {
        std::fputs(captureUsage, stdout);
        return 0;
    }
    if (!error.empty()) return fail(error + " (see --help)");

    std::string out = absolute(options.out);
    std::string assets = options.assets.empty() ? defaultAssets() : options.assets;
    if (!options.single) {
        mkdir(out.c_str(), 0755);
        struct stat st;
        if (stat(out.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return fail("cannot create the output folder " + out);
    }
    if (chdir(assets.c_str()) != 0) return fail("cannot enter the asset folder " + assets);

    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::setMessageBoxes(false);
    CApplication app;
    if (!app.init()) return 1;
    if (!prepareShow()) {
        app.deinit();
        return 130; // interrupted while loading
    }

    const int fps = options.fps;
    const float step = 20.0f / float(fps);
    unsigned first = options.single ? options.atMs : options.fromMs;
    unsigned last = options.single ? options.atMs : options.toMs;
    long frame = firstGridFrameFrom(unsigned(sceneStartMs[sceneAt(first)]), fps);
    long firstWritten = firstGridFrameFrom(first, fps);
    long total = 0; // frames to write in a span
    while (!options.single && gridTimeMs(firstWritten + total, fps) <= last) total++;

    std::vector<unsigned char> rgb(size_t(platform::renderWidth) * platform::renderHeight * 3);
    long written = 0;
    for (;; frame++) {
        unsigned ms = gridTimeMs(frame, fps);
        bool atTarget = options.single && ms >= first;
        if (atTarget) ms = first; // the requested time itself, on or off the grid
        if (!options.single && ms > last) break;
        if (platform::quitRequested()) {
            app.deinit();
            return 130; // SIGINT, SIGTERM: stop between frames
        }
        platform::beginFrame();
        drawShowFrameAt(ms, step);
        if (atTarget || (!options.single && frame >= firstWritten)) {
            platform::readFrame(rgb.data());
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%06ld.png", written);
            std::string path = options.single ? out : out + name;
            if (!writeFramePng(path, rgb.data(), platform::renderWidth, platform::renderHeight))
                return fail("cannot write " + path);
            written++;
            if (total > 1 && (written % 10 == 0 || written == total))
                std::fprintf(stderr, "\rcapture: frame %ld/%ld", written, total);
        }
        platform::present();
        if (atTarget) break;
    }
    if (total > 1) std::fputc('\n', stderr);
    app.deinit();
    return 0;
}
