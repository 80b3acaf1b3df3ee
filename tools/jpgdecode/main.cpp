// jpgdecode IN.jpg OUT.ppm [MASK.jpg]: decodes a JPEG file with the show's
// own decoder (no GL) and writes binary PPM; with a mask also OUT.pgm (the
// .ppm ending replaced, else appended) holding the alpha. Prints the header
// facts; exits 1 with a message when a file cannot be read or yields no image.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/Jpg.h"
#include "tools/common/OutputFile.h"

namespace {

bool readOrSay(const char* path, uint8_t** bytes, size_t* size) {
    const char* error = nullptr;
    if (jpegReadFile(path, bytes, size, &error)) return true;
    fprintf(stderr, "jpgdecode: %s: %s\n", path, error ? error : "cannot be opened");
    return false;
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
bool writeNetpbm(const std::string& path, const JpegImage& image, bool alpha) {
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
    if (out.commit()) return true;
    fprintf(stderr, "jpgdecode: %s\n", out.error().c_str());
    return false;
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
    if (argc != 3 && argc != 4) {
        fprintf(stderr, "usage: jpgdecode IN.jpg OUT.ppm [MASK.jpg]\n");
        return 2;
    }
    uint8_t *bytes = nullptr, *maskBytes = nullptr;
    size_t size = 0, maskSize = 0;
    if (!readOrSay(argv[1], &bytes, &size)) return 1;
    if (argc == 4 && !readOrSay(argv[3], &maskBytes, &maskSize)) return 1;
    const char* maskError = nullptr;
    JpegImage image = argc == 4 ? jpegDecodeMasked(bytes, size, maskBytes, maskSize, &maskError)
                                : jpegDecode(bytes, size);
    if (image.data) printHeader(argv[1]); // a rejected file gets its reason only
    if (image.error) fprintf(stderr, "jpgdecode: %s: %s\n", argv[1], image.error);
    if (maskError) fprintf(stderr, "jpgdecode: %s: %s\n", argv[3], maskError);
    int status = 0;
    if (!image.data) {
        if (!image.error) fprintf(stderr, "jpgdecode: %s: no image to write\n", argv[1]);
        status = 1;
    } else {
        std::string out = argv[2];
        if (!writeNetpbm(out, image, false)) status = 1;
        if (argc == 4) {
            std::string grey = out.size() > 4 && out.compare(out.size() - 4, 4, ".ppm") == 0
                                   ? out.substr(0, out.size() - 4) + ".pgm"
                                   : out + ".pgm";
            if (!writeNetpbm(grey, image, true)) status = 1;
        }
    }
    free(image.data);
    free(bytes);
    free(maskBytes);
    return status;
}
