// The per-bit reference for the JPEG decoder's scan: a byte-at-a-time bit
// reader, the linear canonical-code search, literal dequantisation, the
// scalar IDCT and per-pixel replication, written straight from the
// algorithm. Tests and the fuzz target compare the fast decoder with it.
#pragma once

#include "render/JpgInternal.h"

namespace testsupport {

// Decodes the scan into j.data like jpeg_decompress; pass it to
// jpegDecodeWith or jpegDecodeMasked.
void jpegReferenceDecompress(jpeg_file_t& j);

} // namespace testsupport
