// Fuzz target: any bytes through the JPEG decoder, alone or split into a
// colour file and its mask (first byte: bit 0 selects, the rest places the
// split). The fast decoder must end cleanly and agree byte for byte with
// the per-bit reference; frames above 256 K pixels are skipped for speed.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "render/Jpg.h"
#include "tests/support/JpegReference.h"

namespace {

void headerOnly() {}

bool small(const uint8_t* data, size_t size) {
    JpegImage image = jpegDecodeWith(data, size, headerOnly);
    free(image.data);
    return (long long)image.width * image.height <= (1 << 18);
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
        if (!small(body, split) || !small(body + split, length - split)) return 0;
        const char *fastMask = nullptr, *referenceMask = nullptr;
        JpegImage fast = jpegDecodeMasked(body, split, body + split, length - split, &fastMask);
        JpegImage reference = jpegDecodeMasked(body, split, body + split, length - split, &referenceMask,
                                               testsupport::jpegReferenceDecompress);
        same(fast, reference);
        if (fastMask != referenceMask) abort();
        free(fast.data);
        free(reference.data);
    } else {
        if (!small(body, length)) return 0;
        JpegImage fast = jpegDecode(body, length);
        JpegImage reference = jpegDecodeWith(body, length, testsupport::jpegReferenceDecompress);
        same(fast, reference);
        free(fast.data);
        free(reference.data);
    }
    return 0;
}
