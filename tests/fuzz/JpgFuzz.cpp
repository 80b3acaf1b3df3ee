// Fuzz target: any bytes through the JPEG decoder, alone or split into a
// colour file and its mask (first byte: bit 0 selects, the rest places the
// split). The fast decoder must end cleanly; on frames up to 32 K pixels it
// must also agree byte for byte with the per-bit reference, which is slow
// (comparing frames up to 64 K pixels halved the rate, larger ones cut it to
// a few dozen inputs a second). Frames above 256 K pixels are skipped for
// speed.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "render/Jpg.h"
#include "render/JpgInternal.h"
#include "tests/support/JpegReference.h"

namespace {

constexpr long long comparedPixels = 1 << 15; // compared with the reference up to here
constexpr long long decodedPixels = 1 << 18;  // decoded (fast decoder alone) up to here

// Pixels of the frame the header declares; 0 without one.
long long framePixels(const uint8_t* data, size_t size) {
    JpegImage image = jpegDecodeWith(data, size, nullptr);
    return (long long)image.width * image.height;
}

void same(const JpegImage& a, const JpegImage& b) {
    size_t bytes = size_t(a.width) * size_t(a.height) * 4;
    if (a.width != b.width || a.height != b.height || a.error != b.error ||
        (bytes && memcmp(a.data, b.data, bytes) != 0))
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t* body = data + 1;
    size_t length = size - 1;
    if (data[0] & 1) {
        size_t split = length * (data[0] >> 1) / 128;
        long long pixels = std::max(framePixels(body, split), framePixels(body + split, length - split));
        if (pixels > decodedPixels) return 0;
        const char *fastMask = nullptr, *referenceMask = nullptr;
        JpegImage fast = jpegDecodeMasked(body, split, body + split, length - split, &fastMask);
        if (pixels <= comparedPixels) {
            JpegImage reference = jpegDecodeMasked(body, split, body + split, length - split,
                                                   &referenceMask, testsupport::jpegReferenceDecompress);
            same(fast, reference);
            if (fastMask != referenceMask) abort();
            free(reference.data);
        }
        free(fast.data);
    } else {
        long long pixels = framePixels(body, length);
        if (pixels > decodedPixels) return 0;
        JpegImage fast = jpegDecode(body, length);
        if (pixels <= comparedPixels) {
            JpegImage reference = jpegDecodeWith(body, length, testsupport::jpegReferenceDecompress);
            same(fast, reference);
            free(reference.data);
        }
        free(fast.data);
    }
    return 0;
}
