// jpgdecode IN.jpg OUT.ppm [MASK.jpg]: decodes a JPEG file with the show's
// own decoder (no GL) and writes binary PPM; with a mask also OUT.pgm (the
// .ppm ending replaced, else appended) holding the alpha. Prints the header
// facts; exits 1 with a message when a file cannot be read or yields no image.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/Jpg.h"

namespace {

bool readOrSay(const char* path, uint8_t** bytes, size_t* size) {
    const char* error = nullptr;
    if (jpegReadFile(path, bytes, size, &error)) return true;
    fprintf(stderr, "jpgdecode: %s: %s\n", path, error ? error : "cannot be opened");
    return false;
}

bool writeNetpbm(const std::string& path, const JpegImage& image, bool alpha) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "jpgdecode: %s: cannot be written\n", path.c_str());
        return false;
    }
    fprintf(f, "%s\n%d %d\n255\n", alpha ? "P5" : "P6", image.width, image.height);
    size_t pixels = size_t(image.width) * size_t(image.height);
    for (size_t i = 0; i < pixels; i++) {
        if (alpha) fputc(image.data[4 * i + 3], f);
        else fwrite(image.data + 4 * i, 1, 3, f);
    }
    bool ok = fclose(f) == 0;
    if (!ok) fprintf(stderr, "jpgdecode: %s: cannot be written\n", path.c_str());
    return ok;
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
    printHeader(argv[1]);
    if (image.error) fprintf(stderr, "jpgdecode: %s: %s\n", argv[1], image.error);
    if (maskError) fprintf(stderr, "jpgdecode: %s: %s\n", argv[3], maskError);
    int status = 0;
    if (!image.data) {
        fprintf(stderr, "jpgdecode: %s: no image to write\n", argv[1]);
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
