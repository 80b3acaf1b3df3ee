// build/capture: renders frames of the show headless (SDL's offscreen driver,
// no sound) with the music clock replaced by a fixed frame rate, at any 4:3
// size and optionally supersampled, and writes them as PNG files or pipes
// them to ffmpeg as a video with the music. See CaptureOptions.cpp for the
// command line.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "app/CApplication.h"
#include "app/FixedStep.h"
#include "app/ShowStart.h"
#include "app/Timeline.h"
#include "platform/Paths.h"
#include "platform/Window.h"
#include "tools/capture/BoxFilter.h"
#include "tools/capture/CaptureOptions.h"
#include "tools/capture/PngWriter.h"
#include "tools/capture/Progress.h"
#include "tools/capture/VideoEncoder.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) {
    interrupted = 1;
}

// SIGINT and SIGTERM, caught here so that a video is finished, or a quit
// request of the window.
bool stopRequested() {
    return interrupted || platform::quitRequested();
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

// True when `dir` holds a file named frame-*.png.
bool holdsFrames(const std::string& dir) {
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    bool found = false;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name.rfind("frame-", 0) == 0 && name.size() > 10 &&
            name.compare(name.size() - 4, 4, ".png") == 0)
            found = true;
    }
    closedir(d);
    return found;
}

// Checks the output can be created, and is not an earlier capture about to
// be overwritten silently, before any frame is rendered.
std::string prepareOutput(const CaptureOptions& options, const std::string& out) {
    struct stat st;
    bool exists = stat(out.c_str(), &st) == 0;
    if (!options.overwrite && !options.video.empty() && exists)
        return out + " exists; add --overwrite to replace it";
    if (!options.overwrite && !options.single && options.video.empty() && holdsFrames(out))
        return out + " already holds frames; add --overwrite to replace them";
    if (!options.video.empty()) {
        std::FILE* f = std::fopen(out.c_str(), "wb");
        if (!f) return "cannot write " + out + ": " + std::strerror(errno);
        std::fclose(f);
    } else if (!options.single) {
        mkdir(out.c_str(), 0755);
        if (stat(out.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return "cannot create the output folder " + out;
    }
    return "";
}

// Starts ffmpeg for a video from music time `fromMs`, with the music of the
// asset folder (the working directory) when it can be read.
std::string openVideo(VideoEncoder& encoder, const std::string& ffmpeg, const std::string& out,
                      int width, int height, int fps, unsigned fromMs) {
    std::string music = absolute("musa.mp3");
    if (access(music.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "capture: %s cannot be read; the video has no sound\n", music.c_str());
        music.clear();
    }
    return encoder.open(ffmpeg, out, width, height, fps, music, fromMs);
}

// A drawn frame at the output size: `drawn` itself, or averaged down into
// `filtered` when supersampled.
const unsigned char* outputFrame(const CaptureOptions& options, const std::vector<unsigned char>& drawn,
                                 std::vector<unsigned char>& filtered) {
    if (options.supersample == 1) return drawn.data();
    boxFilter(drawn.data(), platform::renderWidth(), platform::renderHeight(), options.supersample,
              filtered.data());
    return filtered.data();
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
    const int n = options.supersample;
    platform::fixRenderSize(options.width * n, options.height * n);
    CApplication app;
    ShowStart start = startShow(app, "capture", platform::assetFolder(options.assets));
    if (start != ShowStart::Ready) return exitStatus(start);

    // The frames written: the one at --at, or the grid frames of the span.
    const int fps = options.fps;
    unsigned first = options.single ? options.atMs : options.fromMs;
    unsigned last = options.single ? options.atMs : options.toMs;
    long frame = firstGridFrameFrom(first, fps);
    long total = 0; // frames to write in a span
    while (!options.single && gridTimeMs(frame + total, fps) <= last) total++;

    VideoEncoder encoder;
    if (video) {
        error =
            openVideo(encoder, ffmpeg, out, options.width, options.height, fps, gridTimeMs(frame, fps));
        if (!error.empty()) return fail(error);
    }
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);

    // Every buffer is made before the first frame.
    std::vector<unsigned char> drawn(size_t(platform::renderWidth()) * platform::renderHeight() * 3);
    std::vector<unsigned char> filtered(n > 1 ? size_t(options.width) * options.height * 3 : 0);
    runUpTo(first, fps);
    Progress progress(total);
    long written = 0;
    for (; !stopRequested(); frame++) {
        // A single frame shows the requested time itself, on or off the grid.
        unsigned ms = options.single ? first : gridTimeMs(frame, fps);
        if (ms > last) break;
        platform::beginFrame();
        drawShowFrameAt(ms, gridStep(fps));
        platform::readFrame(drawn.data());
        const unsigned char* rgb = outputFrame(options, drawn, filtered);
        if (video) {
            if (!encoder.write(rgb)) break; // ffmpeg says why on stderr
        } else {
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%06ld.png", written);
            std::string path = options.single ? out : out + name;
            if (!writeFramePng(path, rgb, options.width, options.height))
                return fail("cannot write " + path);
        }
        written++;
        if (total > 1) progress.frameDone(written);
        platform::present();
        if (options.single) break;
    }
    bool stopped = stopRequested();
    if (total > 1) progress.finish(written);
    if (stopped) std::fprintf(stderr, "capture: interrupted after %ld frames\n", written);
    app.deinit();
    if (video) {
        error = encoder.close();
        if (!error.empty()) return fail(error + " writing " + out);
        if (written < total && !stopped) return fail("ffmpeg stopped taking frames");
    }
    return stopped ? 130 : 0;
}
