// jpgdecode IN.jpg OUT.ppm [MASK.jpg]: decodes a JPEG file with the show's
// own decoder (no GL) and writes binary PPM; with a mask also OUT.pgm (the
// .ppm ending replaced, else appended) holding the alpha. Prints the header
// facts; exits 1 with a message when a file cannot be read or yields no image.
// Every problem is returned as a string and printed here (CommandLine.h).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/Jpg.h"
#include "tools/common/CommandLine.h"
#include "tools/common/OutputFile.h"

namespace {

const Usage usage = {"jpgdecode", "usage: jpgdecode IN.jpg OUT.ppm [MASK.jpg]\n",
                     "Decodes IN.jpg with the show's JPEG decoder and writes its pixels as binary\n"
                     "PPM; with MASK.jpg also OUT.pgm, the mask's alpha. Prints the file's size,\n"
                     "components, sampling and restart interval.\n"};

// Reads the file at `path` into `bytes` (malloc'ed); returns "" or the problem.
std::string readJpeg(const char* path, uint8_t** bytes, size_t* size) {
    const char* error = nullptr;
    if (jpegReadFile(path, bytes, size, &error)) return "";
    return std::string(path) + ": " + (error ? error : "cannot be opened");
}

// Channel bytes of `pixels` RGBA pixels: R, G and B (3 per pixel) or A (1).
void takeChannels(const uint8_t* rgba, size_t pixels, bool alpha, uint8_t* out) {
    if (alpha) {
        for (size_t i = 0; i < pixels; i++) out[i] = rgba[4 * i + 3];
        return;
    }
    for (size_t i = 0; i < pixels; i++) {
        out[3 * i] = rgba[4 * i];
        out[3 * i + 1] = rgba[4 * i + 1];
        out[3 * i + 2] = rgba[4 * i + 2];
    }
}

// Writes the RGB bytes (P6) or the alpha (P5) of the RGBA image in chunks of
// whole rows, about 64 KiB each: stdio hands a chunk that large to write()
// with at most one block of it copied, and the chunk stays in the cache. A
// call per pixel cost more than the decoding (57 % of the run on a
// 2048 x 2048 file).
// Returns "" or the problem.
std::string writeNetpbm(const std::string& path, const JpegImage& image, bool alpha) {
    OutputFile out(path);
    FILE* f = out.stream();
    if (f) fprintf(f, "%s\n%d %d\n255\n", alpha ? "P5" : "P6", image.width, image.height);
    const size_t width = size_t(image.width), height = size_t(image.height);
    const size_t channels = alpha ? 1 : 3;
    const size_t rowsPerChunk = std::max<size_t>(1, 65536 / std::max<size_t>(1, width * channels));
    std::vector<uint8_t> chunk(rowsPerChunk * width * channels);
    bool ok = f != nullptr;
    for (size_t y = 0; y < height && ok; y += rowsPerChunk) {
        size_t pixels = std::min(rowsPerChunk, height - y) * width;
        takeChannels(image.data + 4 * width * y, pixels, alpha, chunk.data());
        ok = out.write(chunk.data(), pixels * channels);
    }
    return out.commit();
}

void printHeader(const char* path) {
    const jpeg_file_t& j = jpeg_file_s;
    printf("%s: %d x %d, %d component%s, sampling", path, j.width, j.height, j.num_components,
           j.num_components == 1 ? "" : "s");
    for (int c = 0; c < j.num_components && c < 3; c++)
        printf("%s%dx%d", c ? "," : " ", j.components[c].h_samp, j.components[c].v_samp);
    printf(", restart interval %d\n", j.restart_interval);
}

} // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) return printHelp(usage);
    if (argc != 3 && argc != 4) return usageError(usage, "give IN.jpg, OUT.ppm and optionally MASK.jpg");
    const char* tool = usage.tool;
    uint8_t *bytes = nullptr, *maskBytes = nullptr;
    size_t size = 0, maskSize = 0;
    std::string problem = readJpeg(argv[1], &bytes, &size);
    if (problem.empty() && argc == 4) problem = readJpeg(argv[3], &maskBytes, &maskSize);
    if (!problem.empty()) return fail(tool, problem);
    const char* maskError = nullptr;
    JpegImage image = argc == 4 ? jpegDecodeMasked(bytes, size, maskBytes, maskSize, &maskError)
                                : jpegDecode(bytes, size);
    if (image.data) printHeader(argv[1]); // a rejected file gets its reason only
    if (image.error) fail(tool, std::string(argv[1]) + ": " + image.error);
    if (maskError) fail(tool, std::string(argv[3]) + ": " + maskError);
    int status = 0;
    if (!image.data) {
        if (!image.error) fail(tool, std::string(argv[1]) + ": no image to write");
        status = 1;
    } else {
        std::string out = argv[2];
        std::string grey = out.size() > 4 && out.compare(out.size() - 4, 4, ".ppm") == 0
                               ? out.substr(0, out.size() - 4) + ".pgm"
                               : out + ".pgm";
        for (const std::string& written :
             {writeNetpbm(out, image, false), argc == 4 ? writeNetpbm(grey, image, true) : ""})
            if (!written.empty()) status = fail(tool, written);
    }
    free(image.data);
    free(bytes);
    free(maskBytes);
    return status;
}
