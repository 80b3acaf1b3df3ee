// bench_decode: megapixels per second of the system's JPEG decoder, of
// libjpeg-turbo with its integer and its float IDCT, and of stb_image, on the
// same baseline files (synthetic picture encoded by libjpeg at quality 90),
// decoding from memory into RGBA on one thread. Each figure is the median of
// several rounds; the decoders take turns within a round, so drift of the
// machine's speed hits them alike; times are the thread's CPU time.
// Compare the ratios, not times across runs.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#include <stb_image.h>

#include "render/Jpg.h"
#include "tools/common/CommandLine.h"
#include "tools/common/LibJpeg.h"
#include "tools/common/OutputFile.h"

namespace {

const Usage usage = {"bench_decode", "usage: bench_decode\n",
                     "Prints the megapixels per second of the system's JPEG decoder, of\n"
                     "libjpeg-turbo (integer and float IDCT) and of stb_image on synthetic\n"
                     "baseline files, and whether the system's decoder meets its speed goal.\n"};

using Decoder = std::function<bool(const std::vector<uint8_t>&)>;

bool decodeOurs(const std::vector<uint8_t>& file) {
    JpegImage image = jpegDecode(file.data(), file.size());
    bool ok = image.data && !image.error;
    free(image.data);
    return ok;
}

std::vector<uint8_t> scratch;

bool decodeTurbo(const std::vector<uint8_t>& file, bool floatIdct) {
    int width, height;
    return libjpeg::decodeWithLibjpeg(file.data(), file.size(), &width, &height, scratch, floatIdct,
                                      true, 4);
}

bool decodeStb(const std::vector<uint8_t>& file) {
    int width, height, components;
    stbi_uc* pixels =
        stbi_load_from_memory(file.data(), int(file.size()), &width, &height, &components, 4);
    stbi_image_free(pixels);
    return pixels != nullptr;
}

// CPU seconds of this thread: steadier than wall time on a shared machine.
double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

// Seconds for one decode, averaged over a batch of about 40 ms.
double timeOnce(const Decoder& decode, const std::vector<uint8_t>& file, int batch) {
    double start = cpuSeconds();
    for (int i = 0; i < batch; i++) decode(file);
    return (cpuSeconds() - start) / batch;
}

} // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) return printHelp(usage);
    if (argc > 1) return usageError(usage, unknownArgument(argv[1]));
    const char* names[4] = {"system", "stb_image", "turbo int", "turbo float"};
    Decoder decoders[4] = {decodeOurs, decodeStb,
                           [](const std::vector<uint8_t>& f) { return decodeTurbo(f, false); },
                           [](const std::vector<uint8_t>& f) { return decodeTurbo(f, true); }};
    struct Layout {
        const char* name;
        int components, h, v;
    } layouts[] = {{"4:2:0", 3, 2, 2}, {"4:4:4", 3, 1, 1}, {"grey", 1, 1, 1}};
    const int rounds = 7;
    printf("JPEG decode, megapixels per second (median of %d rounds), single thread, from memory\n",
           rounds);
    printf("%-6s %-10s %9s %9s %9s %11s %9s %11s  goal\n", "layout", "size", names[0], names[1],
           names[2], names[3], "sys/stb", "sys/tfloat");
    bool allMet = true;
    for (const Layout& layout : layouts) {
        for (int size : {256, 512, 1024, 2048}) {
            libjpeg::JpegEncodeOptions options;
            options.hSamp = layout.h;
            options.vSamp = layout.v;
            std::vector<uint8_t> file =
                libjpeg::encodeJpeg(libjpeg::syntheticImage(size, size, layout.components), options);
            double megapixels = double(size) * size / 1e6;
            double mps[4];
            std::vector<double> times[4];
            int batch[4];
            for (int d = 0; d < 4; d++) {
                if (!decoders[d](file)) {
                    fprintf(stderr, "bench_decode: %s failed on %s %d\n", names[d], layout.name, size);
                    return 1;
                }
                double once = timeOnce(decoders[d], file, 1);
                batch[d] = std::max(1, int(0.04 / std::max(once, 1e-6)));
            }
            for (int r = 0; r < rounds; r++)
                for (int d = 0; d < 4; d++) times[d].push_back(timeOnce(decoders[d], file, batch[d]));
            for (int d = 0; d < 4; d++) {
                std::sort(times[d].begin(), times[d].end());
                mps[d] = megapixels / times[d][rounds / 2];
            }
            double vsStb = mps[0] / mps[1], vsFloat = mps[0] / mps[3];
            bool met = vsStb >= 1.0 && vsFloat >= 0.5;
            allMet = allMet && met;
            std::string dims = std::to_string(size) + "x" + std::to_string(size);
            printf("%-6s %-10s %9.1f %9.1f %9.1f %11.1f %9.2f %11.2f  %s\n", layout.name, dims.c_str(),
                   mps[0], mps[1], mps[2], mps[3], vsStb, vsFloat, met ? "met" : "NOT MET");
        }
    }
    printf("goal: system >= stb_image and >= 0.5 x turbo float on every row: %s\n",
           allMet ? "met" : "not met");
    return checkedExit("bench_decode", 0);
}
