// build/capture: renders frames of the show headless (SDL's offscreen driver,
// no sound) with the music clock replaced by a fixed frame rate, at any 4:3
// size and optionally supersampled, and writes them as PNG files or pipes
// them to ffmpeg as a video with the music; or joins video segments of a
// sharded capture; or prints the scene table. See CaptureOptions.cpp for the
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
#include "app/ShowStart.h"
#include "platform/InputFile.h"
#include "platform/Paths.h"
#include "platform/Window.h"
#include "scenes/SceneTable.h"
#include "tools/capture/BoxFilter.h"
#include "tools/capture/CaptureOptions.h"
#include "tools/capture/FrameWriter.h"
#include "tools/capture/Progress.h"
#include "tools/capture/VideoEncoder.h"
#include "tools/common/CommandLine.h"
#include "tools/common/FrameDriver.h"
#include "tools/common/OutputFile.h"
#include "tools/common/PngFile.h"

namespace {

// PNG files are encoded by two writers side by side (one encoding takes
// about twice as long as drawing the frame); a video's frames go down one
// pipe, in order. The buffers: one being drawn into, one per writer, and
// one waiting between them.
constexpr int pngWriters = 2;

const char* const tool = captureUsage.tool;

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

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string frameName(long index) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06ld.png", index);
    return name;
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

// The grid frames a capture writes: frames [begin, end) of the grid, whose
// files are numbered from `begin - spanStart`.
struct Frames {
    long spanStart = 0;
    long spanFrames = 1; // frames of the whole span
    long begin = 0;
    long end = 0;
};

// The grid frames of the span, or of its shard: shard K of N holds frames
// [(K - 1) T / N, K T / N) of the span's T frames.
Frames framesOf(const CaptureOptions& options, const FixedRun& run) {
    Frames f;
    if (options.single) {
        f.spanStart = f.begin = firstFrameFrom(run, options.atMs);
        f.end = f.begin + 1;
        return f;
    }
    f.spanStart = firstFrameFrom(run, options.fromMs);
    long total = 0;
    while (frameMs(run, f.spanStart + total) <= options.toMs) total++;
    f.spanFrames = total;
    f.begin = f.spanStart + total * (options.shard - 1) / options.shards;
    f.end = f.spanStart + total * options.shard / options.shards;
    return f;
}

// "" when the span has a frame for each shard, else the problem.
std::string checkShards(const CaptureOptions& options, const Frames& frames) {
    if (options.shards <= frames.spanFrames) return "";
    return "the span has " + std::to_string(frames.spanFrames) +
           (frames.spanFrames == 1 ? " frame" : " frames") + ", fewer than the " +
           std::to_string(options.shards) + " parts --shard asks for";
}

// Checks the output can be created, and is not an earlier capture about to
// be overwritten silently, before any frame is rendered. A shard looks only
// at the frames it writes itself: the other shards write into the same folder.
std::string prepareOutput(const CaptureOptions& options, const std::string& out, const Frames& frames) {
    if (!options.video.empty() || options.single) {
        if (!options.overwrite && !options.video.empty() && exists(out))
            return out + " exists; add --overwrite to replace it";
        OutputFile probe(out); // removed again: the real file comes at the end
        return probe.error();
    }
    if (!options.overwrite) {
        bool earlier = false;
        if (options.shards == 1) earlier = holdsFrames(out);
        for (long k = frames.begin; options.shards > 1 && k < frames.end && !earlier; k++)
            earlier = exists(out + frameName(k - frames.spanStart));
        if (earlier) return out + " already holds frames; add --overwrite to replace them";
    }
    mkdir(out.c_str(), 0755);
    struct stat st;
    if (stat(out.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return "cannot create the output folder " + out;
    return "";
}

// The music of the asset folder (the working directory) for a video, or
// empty with a line saying why the video has no sound.
std::string musicForVideo() {
    std::string music = absolute("musa.mp3");
    const char* problem = nullptr;
    std::FILE* f = platform::openInputFile(music.c_str(), &problem);
    if (f) {
        std::fclose(f);
        return music;
    }
    std::fprintf(stderr, "capture: %s %s; the video has no sound\n", music.c_str(),
                 problem ? problem : "is missing");
    return "";
}

const char* const noFfmpeg =
    "ffmpeg is not installed (no ffmpeg on PATH); install the Debian package ffmpeg";

// capture --join: one video of the segments, the music muxed once.
int join(const CaptureOptions& options) {
    const std::string out = absolute(options.join);
    if (!options.overwrite && exists(out))
        return fail(tool, out + " exists; add --overwrite to replace it");
    std::vector<std::string> segments;
    for (const std::string& s : options.segments) {
        if (access(s.c_str(), R_OK) != 0)
            return fail(tool, "cannot read " + s + ": " + std::strerror(errno));
        segments.push_back(absolute(s));
    }
    const std::string ffmpeg = VideoEncoder::findFfmpeg();
    if (ffmpeg.empty()) return fail(tool, noFfmpeg);
    const std::string assets = platform::assetFolder(options.assets);
    if (chdir(assets.c_str()) != 0) return fail(tool, "cannot enter the asset folder " + assets);
    const std::string problem =
        VideoEncoder::join(ffmpeg, out, segments, musicForVideo(), options.fromMs);
    return problem.empty() ? 0 : fail(tool, problem + " joining " + out);
}

// capture --scenes: "N START END PICTURE" a line, times in ms.
int printScenes() {
    for (int k = 0; k < sceneCount; k++)
        std::printf("%d %d %d %d\n", k + 1, sceneTable[k].startMs, sceneEndMs(k),
                    sceneTable[k].pictureMs);
    return checkedExit(tool, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) return printHelp(captureUsage);
    CaptureOptions options;
    std::string error = parseCaptureOptions(argc, argv, options);
    if (!error.empty()) return usageError(captureUsage, error);
    if (options.scenes) return printScenes();
    if (!options.join.empty()) return join(options);

    FixedRun run{options.fps};
    const Frames frames = framesOf(options, run);
    error = checkShards(options, frames);
    if (!error.empty()) return usageError(captureUsage, error);
    const bool video = !options.video.empty();
    const std::string out = absolute(video ? options.video : options.out);
    const std::string ffmpeg = video ? VideoEncoder::findFfmpeg() : "";
    if (video && ffmpeg.empty()) return fail(tool, noFfmpeg);
    error = prepareOutput(options, out, frames);
    if (!error.empty()) return fail(tool, error);
    const int n = options.supersample;
    platform::fixRenderSize(options.width * n, options.height * n);
    CApplication app;
    ShowStart start = startShow(app, tool, platform::assetFolder(options.assets));
    if (start != ShowStart::Ready) return exitStatus(start);

    VideoEncoder encoder;
    if (video) {
        // A shard's segment has no sound: the join adds the music once.
        const std::string music = options.shards > 1 ? "" : musicForVideo();
        error = encoder.open(ffmpeg, out, options.width, options.height, options.fps,
                             frames.end - frames.begin, music, frameMs(run, frames.begin));
        if (!error.empty()) return fail(tool, error);
    }
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);

    // Every buffer is made before the first frame: the writer's slots at the
    // render size, and the output-size frame of a supersampled capture.
    const int renderW = platform::renderWidth(), renderH = platform::renderHeight();
    const int writers = video ? 1 : pngWriters;
    std::vector<std::vector<unsigned char>> filtered(
        size_t(writers),
        std::vector<unsigned char>(n > 1 ? size_t(options.width) * options.height * 3 : 0));
    auto write = [&](const unsigned char* drawn, long index, int worker) {
        const unsigned char* rgb = drawn;
        if (n > 1) {
            boxFilter(drawn, renderW, renderH, n, filtered[size_t(worker)].data());
            rgb = filtered[size_t(worker)].data();
        }
        if (video) return encoder.write(rgb) ? std::string() : "ffmpeg stopped taking frames for " + out;
        const std::string path = options.single ? out : out + frameName(index);
        return writePng(path, rgb, options.width, options.height, true);
    };
    FrameWriter writer(size_t(renderW) * renderH * 3, writers + 2, writers, write);

    // A single frame shows the requested time itself, on or off the grid.
    auto timeOf = [&](long frame) { return options.single ? options.atMs : frameMs(run, frame); };
    runUp(run, timeOf(frames.begin));
    const long total = frames.end - frames.begin;
    Progress progress(total);
    for (long frame = frames.begin; frame < frames.end && !stopRequested(); frame++) {
        unsigned char* buffer = writer.buffer();
        if (!buffer) break; // a write failed
        drawFrameAt(run, timeOf(frame));
        platform::readFrame(buffer);
        writer.submit(frame - frames.spanStart);
        platform::present();
        if (total > 1) progress.frameDone(writer.written());
    }
    error = writer.finish();
    const bool stopped = stopRequested() && error.empty();
    const long written = writer.written();
    if (total > 1) progress.finish(written);
    if (stopped) std::fprintf(stderr, "capture: interrupted after %ld frames\n", written);
    app.deinit();
    if (video) {
        const std::string closing = encoder.close();
        if (error.empty() && !closing.empty()) error = closing + " writing " + out;
    }
    if (!error.empty()) return fail(tool, error);
    return stopped ? 130 : 0;
}
