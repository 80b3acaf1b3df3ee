// bench_png: what libpng's compression level and row filter cost and save on
// the show's frames. Renders 16 frames of Scene 5 at 1024 x 768 (62,000 ms
// on, every 200 ms, headless), then encodes them in memory at zlib levels 1,
// 3 and 6 with each filter choice; prints milliseconds per frame and the
// size against level 6 with all filters (libpng's default), then level 1
// with the Sub filter under zlib's other strategies. capture writes level 1,
// Sub, Huffman only.
#include <png.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CApplication.h"
#include "app/ShowStart.h"
#include "platform/Paths.h"
#include "platform/Window.h"
#include "tools/common/CommandLine.h"
#include "tools/common/FrameDriver.h"
#include "tools/common/OutputFile.h"
#include "tools/common/PngFile.h"

namespace {

const Usage usage = {"bench_png", "usage: bench_png\n",
                     "Times libpng's compression levels, row filters and zlib strategies on 16\n"
                     "frames of the show and prints milliseconds per frame and the size against\n"
                     "libpng's default. The assets are the generated pack beside the program.\n"};

struct Frame {
    std::vector<unsigned char> rgb;
    int width = 0, height = 0;
};

bool append(const unsigned char* bytes, size_t size, void* out) {
    auto* buffer = static_cast<std::vector<unsigned char>*>(out);
    buffer->insert(buffer->end(), bytes, bytes + size);
    return true;
}

// Bytes of `frame` as a PNG with `settings`.
size_t encodedSize(const Frame& frame, const PngSettings& settings, std::vector<unsigned char>& out) {
    out.clear();
    encodePng(append, &out, frame.rgb.data(), frame.width, frame.height, false, settings);
    return out.size();
}

} // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) return printHelp(usage);
    if (argc > 1) return usageError(usage, unknownArgument(argv[1]));
    platform::fixRenderSize(platform::classicWidth, platform::classicHeight);
    CApplication app;
    ShowStart start = startShow(app, usage.tool, platform::assetFolder(""));
    if (start != ShowStart::Ready) return exitStatus(start);
    std::vector<Frame> frames(16);
    FixedRun run{30};
    for (size_t k = 0; k < frames.size(); k++) {
        Frame& f = frames[k];
        drawFrameAt(run, 62000 + unsigned(k) * 200);
        f.width = platform::renderWidth();
        f.height = platform::renderHeight();
        f.rgb.resize(size_t(f.width) * size_t(f.height) * 3);
        platform::readFrame(f.rgb.data());
    }
    app.deinit();
    const struct {
        const char* name;
        int filters;
    } filters[] = {
        {"none", PNG_FILTER_NONE},   {"sub", PNG_FILTER_SUB},  {"up", PNG_FILTER_UP},
        {"paeth", PNG_FILTER_PAETH}, {"all", PNG_ALL_FILTERS},
    };
    std::vector<unsigned char> out;
    size_t reference = 0;
    for (const Frame& f : frames)
        reference += encodedSize(f, {6, Z_DEFAULT_STRATEGY, PNG_ALL_FILTERS}, out);
    std::printf("%zu frames; size against level 6 with all filters (%.0f KiB a frame)\n", frames.size(),
                double(reference) / 1024.0 / double(frames.size()));
    std::printf("level filter    ms/frame  size\n");
    for (int level : {1, 3, 6}) {
        for (const auto& filter : filters) {
            size_t bytes = 0;
            const auto start = std::chrono::steady_clock::now();
            for (const Frame& f : frames)
                bytes += encodedSize(f, {level, Z_DEFAULT_STRATEGY, filter.filters}, out);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            std::printf("%5d %-8s %9.1f %5.0f %%\n", level, filter.name, ms / double(frames.size()),
                        100.0 * double(bytes) / double(reference));
        }
    }
    const struct {
        const char* name;
        int strategy;
    } strategies[] = {{"rle", Z_RLE}, {"huffman", Z_HUFFMAN_ONLY}, {"filtered", Z_FILTERED}};
    for (const auto& strategy : strategies) {
        size_t bytes = 0;
        const auto start = std::chrono::steady_clock::now();
        for (const Frame& f : frames)
            bytes += encodedSize(f, {1, strategy.strategy, PNG_FILTER_SUB}, out);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("    1 sub, %-8s %5.1f %5.0f %%\n", strategy.name, ms / double(frames.size()),
                    100.0 * double(bytes) / double(reference));
    }
    return checkedExit("bench_png", 0);
}
