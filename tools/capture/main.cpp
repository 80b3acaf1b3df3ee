// build/capture: renders frames of the show headless (SDL's offscreen driver,
// no sound) with the music clock replaced by a fixed frame rate, and writes
// them as PNG files or pipes them to ffmpeg as a video with the music. See
// CaptureOptions.cpp for the command line.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "app/CApplication.h"
#include "app/FixedStep.h"
#include "app/Timeline.h"
#include "platform/Paths.h"
#include "platform/Window.h"
#include "tools/capture/CaptureOptions.h"
#include "tools/capture/PngWriter.h"
#include "tools/capture/Progress.h"
#include "tools/capture/VideoEncoder.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) {
    interrupted = 1;
}

std::string absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[4096];
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "capture: %s\n", message.c_str());
    return 1;
}

// Checks the output can be created before any frame is rendered.
std::string prepareOutput(const CaptureOptions& options, const std::string& out) {
    if (!options.video.empty()) {
        std::FILE* f = std::fopen(out.c_str(), "wb");
        if (!f) return "cannot write " + out + ": " + std::strerror(errno);
        std::fclose(f);
    } else if (!options.single) {
        mkdir(out.c_str(), 0755);
        struct stat st;
        if (stat(out.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return "cannot create the output folder " + out;
    }
    return "";
}

} // namespace

int main(int argc, char** argv) {
    CaptureOptions options;
    std::string error = parseCaptureOptions(argc, argv, options);
    if (options.help || argc == 1) {
        std::fputs(captureUsage, stdout);
        if (argc == 1 || error.empty()) return 0;
    }
    if (!error.empty()) return fail(error + " (see --help)");

    const bool video = !options.video.empty();
    std::string out = absolute(video ? options.video : options.out);
    std::string assets =
        options.assets.empty() ? platform::executableDir() + "/assets" : options.assets;
    std::string ffmpeg;
    if (video) {
        ffmpeg = VideoEncoder::findFfmpeg();
        if (ffmpeg.empty()) {
            return fail("ffmpeg is not installed (no ffmpeg on PATH); install the Debian "
                        "package ffmpeg");
        }
    }
    error = prepareOutput(options, out);
    if (!error.empty()) return fail(error);
    if (chdir(assets.c_str()) != 0) return fail("cannot enter the asset folder " + assets);

    platform::useHeadlessDrivers();
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

    VideoEncoder encoder;
    if (video) {
        std::string music = absolute("musa.mp3");
        if (access(music.c_str(), R_OK) != 0) {
            std::fprintf(stderr, "capture: %s cannot be read; the video has no sound\n",
                         music.c_str());
            music.clear();
        }
        error = encoder.open(ffmpeg, out, platform::renderWidth(), platform::renderHeight(), fps,
                             music, gridTimeMs(firstWritten, fps));
        if (!error.empty()) return fail(error);
    }
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);

    std::vector<unsigned char> rgb(size_t(platform::renderWidth()) * platform::renderHeight() * 3);
    Progress progress(total);
    long written = 0;
    for (; !interrupted; frame++) {
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
            if (video) {
                if (!encoder.write(rgb.data())) break; // ffmpeg says why on stderr
            } else {
                char name[32];
                std::snprintf(name, sizeof name, "/frame-%06ld.png", written);
                std::string path = options.single ? out : out + name;
                if (!writeFramePng(path, rgb.data(), platform::renderWidth(),
                                   platform::renderHeight()))
                    return fail("cannot write " + path);
            }
            written++;
            if (total > 1) progress.frameDone(written);
        }
        platform::present();
        if (atTarget) break;
    }
    if (total > 1) progress.finish(written);
    if (interrupted) std::fprintf(stderr, "capture: interrupted after %ld frames\n", written);
    app.deinit();
    if (video) {
        error = encoder.close();
        if (!error.empty()) return fail(error + " writing " + out);
        if (written < total && !interrupted) return fail("ffmpeg stopped taking frames");
    }
    return interrupted ? 130 : 0;
}
