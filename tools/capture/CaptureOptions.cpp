// Parsing of the capture tool's arguments.
#include "tools/capture/CaptureOptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char* captureUsage =
    "usage: capture --at MS --out FRAME.png [--fps N] [--assets DIR]\n"
    "       capture [--from MS] [--to MS] [--fps N] --out DIR [--assets DIR]\n"
    "       capture [--from MS] [--to MS] [--fps N] --video FILE.mp4 [--assets DIR]\n"
    "Renders frames of the show headless, exactly as a run at N frames per second\n"
    "(default 60) draws them: the frames of the scene before the first requested\n"
    "time are run but not written. --at writes one PNG; a span writes DIR/frame-NNNNNN.png\n"
    "for every frame from --from (default 0) to --to (default 150000) ms.\n"
    "--video encodes the span with ffmpeg as H.264 (yuv420p, CRF 18) with the music\n"
    "as AAC cut to the same span; Ctrl-C ends it with a playable file of the frames\n"
    "rendered so far. A progress line goes to stderr.\n"
    "--assets selects the folder that holds Textures/ (default: the generated pack).\n";

namespace {

// A whole number of milliseconds within the show (0 .. 150,001).
bool parseMs(const char* text, unsigned& value) {
    if (!text || !*text || *text == '-') return false;
    errno = 0;
    char* end = nullptr;
    unsigned long v = std::strtoul(text, &end, 10);
    if (errno || *end || v > 150001) return false;
    value = unsigned(v);
    return true;
}

} // namespace

std::string parseCaptureOptions(int argc, char** argv, CaptureOptions& o) {
    bool haveFrom = false, haveTo = false;
    for (int i = 1; i < argc; i += 2) { // each option and its value
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            o.help = true;
            return "";
        }
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = true;
        if (!std::strcmp(arg, "--at")) {
            ok = parseMs(value, o.atMs);
            o.single = true;
        } else if (!std::strcmp(arg, "--from")) {
            ok = parseMs(value, o.fromMs);
            haveFrom = true;
        } else if (!std::strcmp(arg, "--to")) {
            ok = parseMs(value, o.toMs);
            haveTo = true;
        } else if (!std::strcmp(arg, "--fps")) {
            unsigned fps = 0;
            ok = value && parseMs(value, fps) && fps >= 1 && fps <= 1000;
            o.fps = int(fps);
        } else if (!std::strcmp(arg, "--out")) {
            ok = value && *value;
            if (ok) o.out = value;
        } else if (!std::strcmp(arg, "--video")) {
            ok = value && *value;
            if (ok) o.video = value;
        } else if (!std::strcmp(arg, "--assets")) {
            ok = value && *value;
            if (ok) o.assets = value;
        } else {
            return std::string("unknown argument '") + arg + "'";
        }
        if (!ok) {
            bool isPath = !std::strcmp(arg, "--out") || !std::strcmp(arg, "--video") ||
                          !std::strcmp(arg, "--assets");
            return std::string("bad or missing value for ") + arg +
                   (isPath                      ? " (a path)"
                    : std::strcmp(arg, "--fps") ? " (a time in ms, 0 to 150001)"
                                                : " (frames per second, 1 to 1000)");
        }
    }
    if (o.out.empty() && o.video.empty()) {
        o.help = true; // nothing to write: show the usage
        return "give --out or --video";
    }
    if (!o.out.empty() && !o.video.empty()) return "--out and --video cannot be combined";
    if (o.single && !o.video.empty()) return "--video takes a span (--from, --to), not --at";
    if (o.single && (haveFrom || haveTo)) return "--at cannot be combined with --from or --to";
    if (!o.single && o.fromMs > o.toMs) return "--from is after --to";
    return "";
}
