// The baseline JPEG decoder: one SOF0 frame with 8-bit samples, 1 (grey) or
// 3 (YCbCr) components, Huffman tables, 8- or 16-bit quantisation tables, one
// interleaved scan, restart markers only at a restart interval of one MCU
// row. No progressive, arithmetic, lossless or hierarchical mode. Decodes
// from memory into RGBA with no GL involved; Texture::loadJpg uploads.
// Each stage works on the decoder record (jpeg_file_t) it is handed.
// jpegDecode and jpegDecodeMasked decode into jpeg_file_s, which keeps the
// last file's header facts afterwards (jpgdecode prints them), so they are
// not re-entrant.
#pragma once

#include <cstddef>
#include <cstdint>

struct jpeg_component_t {
    int id;          // component identifier from the frame header
    int h_samp;      // horizontal sampling factor, 1..4
    int v_samp;      // vertical sampling factor, 1..4
    int quant_table; // 0..3
    int dc_table;    // 0..3, set by the scan header
    int ac_table;    // 0..3, set by the scan header
};

struct jpeg_huffman_table_t {
    uint8_t bits[16];    // number of codes of each length 1..16
    uint8_t values[256]; // symbols in file order
    uint8_t sizes[256];  // code length of each symbol
    uint16_t codes[256]; // canonical code of each symbol
    // Derived for the table-driven decoder.
    int count;              // symbols defined, 0..256
    int32_t maxcode[17];    // largest code of length l (index l), -1 when none
    int32_t mincode[17];    // first code of length l
    int valptr[17];         // index into values of the first code of length l
    uint16_t fast[1 << 10]; // next 10 bits -> (length << 8) | symbol; 0: longer code
    // Next 10 bits -> a whole coefficient when code and magnitude fit, else 0.
    // AC: value * 4096 | run << 8 | code length << 4 | code + magnitude
    // length (end of block: value and run 0). DC: difference * 4096 | code +
    // magnitude length.
    int32_t fastvalue[1 << 10];
};

// The decoder record: the file and what its header says. A scan decoder
// keeps its own state (bit reader, DC predictors) while it runs.
struct jpeg_file_t {
    // The whole file, held in memory (replaces a stdio stream).
    const uint8_t* file;
    size_t file_size;
    size_t file_pos;
    int eof; // set once a header read went past the end; such reads give 0

    int width;     // samples per line
    int height;    // lines
    uint8_t* data; // width * height * 4 bytes, row-major, top line first
    int precision;
    int num_components;   // 1 or 3 once the frame is accepted
    int restart_interval; // MCUs between restart markers, 0 = none
    jpeg_component_t components[3];
    jpeg_huffman_table_t ac_tables[4];
    jpeg_huffman_table_t dc_tables[4];
    int quant_tables[4][64]; // zig-zag order, as stored in the file
    int spectral_start, spectral_end;
    int approx_high, approx_low;

    // Outcome of the header parse.
    int frame_ok;                  // a baseline frame within the decoder's limits was read
    int scan_ok;                   // the scan header was read after it
    const char* error;             // first reason the image is missing or may be wrong
    uint8_t huffman_defined[2][4]; // [0: DC, 1: AC][id]
    uint8_t quant_defined[4];
    int adobe_rgb; // an Adobe segment says the components are R, G, B
};

extern jpeg_file_t jpeg_file_s;

// Decoder limits.
constexpr int jpegMaxSide = 16384;             // pixels, either side
constexpr long long jpegMaxPixels = 1LL << 26; // 256 MiB of RGBA
constexpr size_t jpegMaxFileBytes = size_t(256) << 20;

// Nothing in the show calls this.
// In-place 8x8 float AAN inverse DCT of pre-scaled coefficients; the result
// is eight times the sample value (level shift not applied).
void jpeg_idct(float* block);
// Decodes the scan, from j.file_pos on, into j.data as RGBA (converting as
// it goes).
void jpeg_decompress(jpeg_file_t& j);

// A decoded image. error is null when the file decoded cleanly; otherwise it
// says in a few words why the image is missing (0 x 0), black or damaged.
struct JpegImage {
    int width = 0;
    int height = 0;
    uint8_t* data = nullptr; // width * height RGBA, malloc'd; caller frees
    const char* error = nullptr;
};

// Reads a whole file into a malloc'd buffer. Returns false when it is not
// there (*error null) or cannot be read: no permission, a folder, too large
// (*error says why).
bool jpegReadFile(const char* path, uint8_t** bytes, size_t* size, const char** error);
// Decodes one file held in memory. Without a usable frame the image is
// 0 x 0; with a frame but no scan it is black.
JpegImage jpegDecode(const uint8_t* bytes, size_t size);
// Colour image with the mask's (R + G + B) / 3 as alpha. *maskError says
// what went wrong with the mask; a mask of another size is not used (alpha
// stays 255). decompress decodes both scans (tests pass the per-bit
// reference).
JpegImage jpegDecodeMasked(const uint8_t* colour, size_t colourSize, const uint8_t* mask,
                           size_t maskSize, const char** maskError,
                           void (*decompress)(jpeg_file_t& j) = jpeg_decompress);
