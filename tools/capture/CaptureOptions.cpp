// Parsing of the capture tool's arguments.
#include "tools/capture/CaptureOptions.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "tools/common/SizeArgument.h"

// The last time a frame may be asked for: one past the show's end. The
// usage text and the errors give both.
constexpr long lastMs = showEndMs + 1;
static_assert(lastMs == 150001, "the texts give the show's end, 150000 ms");

const Usage captureUsage = {
    "capture",
    "usage: capture --at MS --out FRAME.png [--fps N] [SIZE] [--assets DIR]\n"
    "       capture [SPAN] [--fps N] [SIZE] --out DIR [--overwrite] [--assets DIR]\n"
    "       capture [SPAN] [--fps N] [SIZE] --video FILE.mp4|FILE.mkv [--overwrite]\n"
    "               [--assets DIR]\n"
    "       capture --join FILE SEGMENT... [--from MS] [--overwrite] [--assets DIR]\n"
    "       capture --scenes\n"
    "SPAN: [--from MS] [--to MS] [--shard K/N]   SIZE: [--size WxH] [--supersample N]\n",
    "Renders frames of the show headless, exactly as a run from 0 ms at N frames\n"
    "per second (default 60) draws them: a later start is first run up from 0 ms.\n"
    "--at writes one PNG; a span writes DIR/frame-NNNNNN.png, numbered from 000000, for\n"
    "every grid frame from --from (default 0) to --to (default 150000) ms, both\n"
    "inclusive. An existing video, or a folder already holding frames, is replaced\n"
    "only with --overwrite. A failed write leaves no file under the name.\n"
    "--video encodes the span with ffmpeg: FILE.mp4 as H.264 (yuv420p, CRF 18) with\n"
    "the music as AAC, FILE.mkv losslessly as FFV1 with the music as FLAC, the\n"
    "music cut to the same span; Ctrl-C ends it with a playable file of the frames\n"
    "rendered so far. A progress line goes to stderr.\n"
    "--shard K/N renders only the K-th of N consecutive parts of the span: its PNG\n"
    "frames numbered as in the whole span, or a video segment without sound.\n"
    "--join writes FILE, one video of the segments in order, the picture copied\n"
    "without encoding again and the music from --from (default 0) muxed once.\n"
    "--size WxH sets the size of the frames (default 1024x768, the show's own): any\n"
    "4:3 size from 320x240 up to what the OpenGL driver allows; a video needs an\n"
    "even height. --supersample N (1 to 4, default 1) draws each frame at N times\n"
    "the size and averages each N x N block, for smoother edges.\n"
    "--assets selects the folder that holds Textures/ and musa.mp3 (default: the\n"
    "generated pack).\n"
    "--scenes prints a line per scene, \"N START END PICTURE\": its number, the music\n"
    "times in ms where it starts and ends, and a moment that pictures it.\n"};

namespace {

// A whole number of milliseconds within the show (0 .. lastMs).
bool parseMs(const char* text, unsigned& value) {
    long ms = 0;
    if (!parseInteger(text, 0, lastMs, ms)) return false;
    value = unsigned(ms);
    return true;
}

bool endsWith(const std::string& name, const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (name.size() < n) return false;
    std::string end = name.substr(name.size() - n);
    for (char& c : end) c = char(std::tolower((unsigned char)c));
    return end == suffix;
}

// "K/N" with 1 <= K <= N <= 1000.
bool parseShard(const char* text, int& k, int& n) {
    unsigned a = 0, b = 0;
    char tail = 0;
    if (!text || std::sscanf(text, "%u/%u%c", &a, &b, &tail) != 2) return false;
    if (a < 1 || b > 1000 || a > b || !std::isdigit((unsigned char)text[0])) return false;
    k = int(a);
    n = int(b);
    return true;
}

} // namespace

bool isLosslessVideo(const std::string& name) {
    return endsWith(name, ".mkv");
}

std::string parseCaptureOptions(int argc, char** argv, CaptureOptions& o) {
    bool haveFrom = false, haveTo = false;
    for (int i = 1; i < argc;) {
        const char* arg = argv[i++];
        if (!std::strcmp(arg, "--overwrite")) { // the options without a value
            o.overwrite = true;
            continue;
        }
        if (!std::strcmp(arg, "--scenes")) {
            o.scenes = true;
            continue;
        }
        if (arg[0] != '-' && !o.join.empty()) { // a segment of --join
            o.segments.push_back(arg);
            continue;
        }
        const char* value = i < argc ? argv[i++] : nullptr;
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
            long fps = 0;
            ok = parseInteger(value, 1, 1000, fps);
            o.fps = int(fps);
        } else if (!std::strcmp(arg, "--size")) {
            std::string problem = parseRenderSize(value, o.width, o.height);
            if (!problem.empty()) return "--size " + problem;
        } else if (!std::strcmp(arg, "--supersample")) {
            long n = 0;
            ok = parseInteger(value, 1, 4, n);
            o.supersample = int(n);
        } else if (!std::strcmp(arg, "--out")) {
            ok = value && *value;
            if (ok) o.out = value;
        } else if (!std::strcmp(arg, "--video")) {
            ok = value && *value;
            if (ok) o.video = value;
        } else if (!std::strcmp(arg, "--shard")) {
            ok = parseShard(value, o.shard, o.shards);
        } else if (!std::strcmp(arg, "--join")) {
            ok = value && *value && value[0] != '-';
            if (ok) o.join = value;
        } else if (!std::strcmp(arg, "--assets")) {
            ok = value && *value;
            if (ok) o.assets = value;
        } else {
            return unknownArgument(arg);
        }
        if (!ok) {
            bool isPath = !std::strcmp(arg, "--out") || !std::strcmp(arg, "--video") ||
                          !std::strcmp(arg, "--assets") || !std::strcmp(arg, "--join");
            const char* expected = isPath                               ? "a path"
                                   : !std::strcmp(arg, "--fps")         ? "frames per second, 1 to 1000"
                                   : !std::strcmp(arg, "--supersample") ? "1 to 4"
                                   : !std::strcmp(arg, "--shard")       ? "K/N, 1 <= K <= N <= 1000"
                                                                        : "a time in ms, 0 to 150001";
            return badValue(arg, expected);
        }
    }
    if (o.scenes) return argc == 2 ? "" : "--scenes takes no other arguments";
    if (!o.join.empty()) {
        if (!o.out.empty() || !o.video.empty() || o.single || haveTo || o.shards > 1)
            return "--join takes only --from, --overwrite and --assets besides its files";
        if (o.segments.empty()) return "--join " + o.join + ": name the segments to join";
        return "";
    }
    if (o.out.empty() && o.video.empty()) return "give --out or --video";
    if (!o.out.empty() && !o.video.empty()) return "--out and --video cannot be combined";
    if (o.single && o.video.empty() && !endsWith(o.out, ".png"))
        return "--out " + o.out + ": only PNG is written; give a name ending in .png";
    if (o.single && !o.video.empty()) return "--video takes a span (--from, --to), not --at";
    if (o.single && (haveFrom || haveTo)) return "--at cannot be combined with --from or --to";
    if (!o.single && o.fromMs > o.toMs) return "--from is after --to";
    if (o.single && o.shards > 1) return "--shard takes a span, not --at";
    if (!o.video.empty() && !isLosslessVideo(o.video) && o.height % 2 != 0)
        return "--size " + std::to_string(o.width) + "x" + std::to_string(o.height) +
               ": H.264 (yuv420p) needs an even height";
    return "";
}
