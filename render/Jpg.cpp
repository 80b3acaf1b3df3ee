// Baseline JPEG decoding from memory into RGBA: header parse, table-driven
// Huffman decoding over a 64-bit bit buffer, float AAN inverse DCT, level
// shift, replication upsampling and YCbCr conversion. The supported subset
// and the limits are listed in Jpg.h. Every stage works on the decoder
// record it is handed (j). Built with -ffp-contract=off: the
// single-precision steps give the same bytes on every machine.
#include "render/Jpg.h"

#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/InputFile.h"
#include "render/JpgInternal.h"

jpeg_file_t jpeg_file_s;

const int jpeg_zigzag[64] = {
    0,  1,  5,  6,  14, 15, 27, 28, //
    2,  4,  7,  13, 16, 26, 29, 42, //
    3,  8,  12, 17, 25, 30, 41, 43, //
    9,  11, 18, 24, 31, 40, 44, 53, //
    10, 19, 23, 32, 39, 45, 52, 54, //
    20, 22, 33, 38, 46, 51, 55, 60, //
    21, 34, 37, 47, 50, 56, 59, 61, //
    35, 36, 48, 49, 57, 58, 62, 63,
};

// 1 and cos(k * pi / 16) * sqrt(2) for k = 1..7.
const float aanscale[8] = {1.0f, 1.387039845f, 1.306562965f, 1.175875602f,
                           1.0f, 0.785694958f, 0.541196100f, 0.275899379f};

namespace {

const char* const cutOff = "file ends inside the header";

const int fastBits = 10; // look-up width of the Huffman tables (codes with magnitude)

// Zig-zag index -> natural position, the inverse of jpeg_zigzag.
struct NaturalOrder {
    int at[64];
    NaturalOrder() {
        for (int n = 0; n < 64; n++) at[jpeg_zigzag[n]] = n;
    }
};
const NaturalOrder natural;

// Records why the image is missing or may be wrong; the first reason stays.
void note(jpeg_file_t& j, const char* why) {
    if (!j.error) j.error = why;
}

int fail(jpeg_file_t& j, const char* why) {
    note(j, why);
    return 0;
}

// ---------------------------------------------------------------- bytes

int jpeg_read_byte(jpeg_file_t& j) {
    if (j.file_pos < j.file_size) return j.file[j.file_pos++];
    j.eof = 1;
    return 0;
}

int jpeg_read_word(jpeg_file_t& j) {
    int high = jpeg_read_byte(j);
    return (high << 8) | jpeg_read_byte(j);
}

void skipBytes(jpeg_file_t& j, long n) {
    if (n <= 0) return;
    size_t left = j.file_size - j.file_pos;
    if (size_t(n) > left) {
        j.file_pos = j.file_size;
        j.eof = 1;
    } else {
        j.file_pos += size_t(n);
    }
}

// The value of a magnitude category `size` coded as `bits`: values below
// 2^(size-1) are negative.
int jpeg_bit2int(int size, int bits) {
    if (size == 0) return 0;
    return (bits & (1 << (size - 1))) ? bits : bits - ((1 << size) - 1);
}

// ---------------------------------------------------------------- header

bool buildHuffman(jpeg_huffman_table_t* t, int total, bool ac) {
    int code = 0, i = 0;
    for (int l = 1; l <= 16; l++) {
        t->valptr[l] = i;
        t->mincode[l] = code;
        for (int n = 0; n < t->bits[l - 1]; n++, i++, code++) {
            t->sizes[i] = uint8_t(l);
            t->codes[i] = uint16_t(code);
        }
        if (code > (1 << l)) return false; // codes of this length do not fit
        t->maxcode[l] = t->bits[l - 1] ? code - 1 : -1;
        code <<= 1;
    }
    t->count = total;
    memset(t->fast, 0, sizeof t->fast);
    for (i = 0; i < total && t->sizes[i] <= fastBits; i++) {
        int shift = fastBits - t->sizes[i];
        int first = t->codes[i] << shift;
        for (int k = 0; k < (1 << shift); k++)
            t->fast[first + k] = uint16_t((t->sizes[i] << 8) | t->values[i]);
    }
    for (i = 0; i < (1 << fastBits); i++) {
        int length = t->fast[i] >> 8, run = (t->fast[i] >> 4) & 15, size = t->fast[i] & 15;
        t->fastvalue[i] = 0;
        if (length == 0 || length + size > fastBits) continue;
        int value = jpeg_bit2int(size, (i >> (fastBits - length - size)) & ((1 << size) - 1));
        t->fastvalue[i] = ac ? value * 4096 + (run << 8) + (length << 4) + length + size
                             : value * 4096 + length + size; // a DC symbol counts by its low nibble
    }
    return true;
}

int readHuffmanTables(jpeg_file_t& j, int remaining) {
    while (remaining > 0) {
        int t = jpeg_read_byte(j);
        int id = t & 15, ac = (t >> 4) & 1;
        if (id > 3) return fail(j, "Huffman table id above 3");
        jpeg_huffman_table_t* table = ac ? &j.ac_tables[id] : &j.dc_tables[id];
        int total = 0;
        for (int i = 0; i < 16; i++) total += table->bits[i] = uint8_t(jpeg_read_byte(j));
        if (total > 256) return fail(j, "Huffman table with more than 256 symbols");
        for (int i = 0; i < total; i++) table->values[i] = uint8_t(jpeg_read_byte(j));
        if (j.eof) return fail(j, cutOff);
        if (!buildHuffman(table, total, ac)) return fail(j, "Huffman table whose code lengths overflow");
        j.huffman_defined[ac][id] = 1;
        remaining -= total + 17;
    }
    return 1;
}

int readQuantTables(jpeg_file_t& j, int remaining) {
    while (remaining > 0) {
        int p = jpeg_read_byte(j);
        int id = p & 15, wide = p >> 4;
        if (id > 3) return fail(j, "quantisation table id above 3");
        for (int i = 0; i < 64; i++)
            j.quant_tables[id][i] = wide ? jpeg_read_word(j) : jpeg_read_byte(j);
        if (j.eof) return fail(j, cutOff);
        j.quant_defined[id] = 1;
        remaining -= wide ? 129 : 65;
    }
    return 1;
}

int checkFrame(jpeg_file_t& j) {
    if (j.precision != 8) return fail(j, "only 8-bit samples are supported");
    if (j.width == 0 || j.height == 0) return fail(j, "image has zero width or height");
    if (j.width > jpegMaxSide || j.height > jpegMaxSide || (long long)j.width * j.height > jpegMaxPixels)
        return fail(j, "image too large (at most 16384 pixels a side and 64 megapixels)");
    for (int c = 0; c < j.num_components; c++) {
        const jpeg_component_t& k = j.components[c];
        if (k.h_samp < 1 || k.h_samp > 4 || k.v_samp < 1 || k.v_samp > 4)
            return fail(j, "sampling factor outside 1..4");
        if (k.quant_table > 3) return fail(j, "quantisation table id above 3");
    }
    const jpeg_component_t& y = j.components[0];
    if (j.num_components == 1 && (y.h_samp != 1 || y.v_samp != 1))
        return fail(j, "one-component image with sampling other than 1x1");
    for (int c = 1; c < j.num_components; c++) {
        if (y.h_samp % j.components[c].h_samp || y.v_samp % j.components[c].v_samp)
            return fail(j, "chroma sampling factors larger than or not dividing the luma ones");
    }
    return 1;
}

int readFrame(jpeg_file_t& j, int length) {
    j.frame_ok = 0;
    j.precision = jpeg_read_byte(j);
    j.height = jpeg_read_word(j);
    j.width = jpeg_read_word(j);
    j.num_components = jpeg_read_byte(j);
    if (j.eof) return fail(j, cutOff);
    if (length != 3 * j.num_components + 8) return fail(j, "frame header length does not match it");
    if (j.num_components != 1 && j.num_components != 3)
        return fail(j, "only 1 (grey) or 3 (YCbCr) components are supported");
    for (int c = 0; c < j.num_components; c++) {
        jpeg_component_t& k = j.components[c];
        k.id = jpeg_read_byte(j);
        int s = jpeg_read_byte(j);
        k.h_samp = s >> 4;
        k.v_samp = s & 15;
        k.quant_table = jpeg_read_byte(j);
    }
    if (j.eof) return fail(j, cutOff);
    if (!checkFrame(j)) return 0;
    j.frame_ok = 1;
    return 1;
}

// Notes what makes a readable scan fall outside the supported subset; the
// scan is still decoded, and the image may come out damaged.
void checkScan(jpeg_file_t& j, int count, int matched) {
    if (count != j.num_components || matched != (1 << j.num_components) - 1)
        note(j, "scan does not carry all components (not one interleaved scan)");
    if (j.spectral_start != 0 || j.spectral_end != 63 || j.approx_high || j.approx_low)
        note(j, "scan parameters are not baseline");
    for (int c = 0; c < j.num_components; c++) {
        const jpeg_component_t& k = j.components[c];
        if (!j.huffman_defined[0][k.dc_table] || !j.huffman_defined[1][k.ac_table])
            note(j, "a Huffman table the scan uses is not defined");
        if (!j.quant_defined[k.quant_table])
            note(j, "a quantisation table the frame uses is not defined");
    }
    if (j.adobe_rgb && j.num_components == 3)
        note(j, "Adobe RGB components are decoded as YCbCr (wrong colours)");
    int mcuWidth = 8 * j.components[0].h_samp;
    int perRow = (j.width + mcuWidth - 1) / mcuWidth;
    if (j.restart_interval && j.restart_interval != perRow)
        note(j, "restart interval is not one MCU row; the image is damaged");
}

int readScan(jpeg_file_t& j) {
    if (!j.frame_ok) return fail(j, "scan without a baseline frame header");
    int count = jpeg_read_byte(j);
    int matched = 0;
    for (int i = 0; i < count; i++) {
        int selector = jpeg_read_byte(j);
        int tables = jpeg_read_byte(j);
        int dc = tables >> 4, ac = tables & 15;
        if (dc > 3 || ac > 3) return fail(j, "Huffman table id above 3");
        for (int c = 0; c < j.num_components; c++) {
            if (j.components[c].id != selector) continue;
            j.components[c].dc_table = dc;
            j.components[c].ac_table = ac;
            matched |= 1 << c;
        }
    }
    j.spectral_start = jpeg_read_byte(j);
    j.spectral_end = jpeg_read_byte(j);
    int a = jpeg_read_byte(j);
    j.approx_high = a >> 4;
    j.approx_low = a & 15;
    if (j.eof) return fail(j, cutOff);
    checkScan(j, count, matched);
    j.scan_ok = 1;
    return 1;
}

// An Adobe APP14 segment: "Adobe", version, two flag words, transform
// (0: the components are RGB, not YCbCr).
void readAdobe(jpeg_file_t& j, int remaining) {
    static const char adobe[] = "Adobe";
    int matched = 0;
    for (int i = 0; i < remaining && i < 12; i++) {
        int b = jpeg_read_byte(j);
        if (i < 5 && b == adobe[i]) matched++;
        if (i == 11 && matched == 5 && b == 0) j.adobe_rgb = 1;
    }
    skipBytes(j, remaining - 12);
}

const char* frameKindReason(int m) {
    switch (m) {
    case 0xC1: return "extended-sequential JPEG is not supported; save it as baseline";
    case 0xC2: return "progressive JPEG is not supported; save it as baseline";
    case 0xC3: return "lossless JPEG is not supported; save it as baseline";
    case 0xC9:
    case 0xCA:
    case 0xCB: return "arithmetic-coded JPEG is not supported; save it as baseline";
    default: return "hierarchical JPEG is not supported; save it as baseline";
    }
}

// The header up to the start of the scan; 1 when the scan header was read.
int jpeg_readmarkers(jpeg_file_t& j) {
    for (;;) {
        if (jpeg_read_byte(j) != 0xFF)
            return fail(j, j.eof ? cutOff : "no marker where one was expected (not a JPEG file?)");
        int m = jpeg_read_byte(j);
        while (m == 0xFF && !j.eof) m = jpeg_read_byte(j); // fill bytes before the code
        if (j.eof) return fail(j, cutOff);
        if (m == 0xD8) continue;
        if (m == 0xD9) return fail(j, "end of image before the scan");
        if (m >= 0xC1 && m <= 0xCF && m != 0xC4 && m != 0xCC) return fail(j, frameKindReason(m));
        int length = jpeg_read_word(j);
        if (j.eof) return fail(j, cutOff);
        if (length < 2) return fail(j, "segment length below 2");
        int ok = 1;
        switch (m) {
        case 0xC0: ok = readFrame(j, length); break;
        case 0xC4: ok = readHuffmanTables(j, length - 2); break;
        case 0xDB: ok = readQuantTables(j, length - 2); break;
        case 0xDD: j.restart_interval = jpeg_read_word(j); break;
        case 0xDA: return readScan(j);
        case 0xEE: readAdobe(j, length - 2); break;
        default: skipBytes(j, length - 2); break;
        }
        if (!ok) return 0;
        if (j.eof) return fail(j, cutOff);
    }
}

// ------------------------------------------------------------ scan state

// The scan decoder's own state, locals of jpeg_decompress. The bit reader
// is kept apart so that the hot loop holds its fields in registers (the
// slow paths get them by value); the predictors live in the stack frame.
struct Reader {
    const uint8_t* file;
    size_t size;
    size_t pos;
    uint64_t buf;     // next bit is the most significant
    int count;        // valid bits in buf, 0..64
    uint64_t fetched; // data bits moved into buf so far
};

struct Predictors {
    int dc[3]; // last DC value of each component
    // Data-bit positions right after restart markers not yet acted upon:
    // the predictors reset when the first bit after a marker is consumed.
    uint64_t restart_at[16];
    int restart_head, restart_tail;
    int restart_passed; // a marker was passed since the last DC value
};

// Past the end of the file the data is zeros.
int rawByte(const uint8_t* file, size_t size, size_t* pos) {
    return *pos < size ? file[(*pos)++] : 0;
}

struct Fetched {
    size_t pos;
    int byte;
    int restart; // a restart marker was passed
};

// Next byte of entropy-coded data: 0xFF 0x00 is a data 0xFF, fill bytes
// before a marker code are skipped, a marker is passed over (a restart
// marker sets restart) and the byte after it is read by the same rule.
Fetched dataByteSlow(const uint8_t* file, size_t size, size_t pos) {
    Fetched f = {pos, 0, 0};
    for (;;) {
        f.byte = rawByte(file, size, &f.pos);
        if (f.byte != 0xFF) return f;
        int m;
        do m = rawByte(file, size, &f.pos);
        while (m == 0xFF);
        if (m == 0) return f;
        if (m >= 0xD0 && m <= 0xD7) f.restart = 1;
    }
}

// Folds restart markers whose first following bit has been consumed into
// restart_passed. Out of line so that the predictors stay in memory instead
// of taking registers the hot loop needs: inlined, a 1024² 4:4:4 decode ran
// 3.5 % more instructions.
__attribute__((noinline)) void passRestarts(Predictors& p, uint64_t consumed) {
    while (p.restart_head != p.restart_tail && p.restart_at[p.restart_head & 15] < consumed) {
        p.restart_head++;
        p.restart_passed = 1;
    }
}

inline void refill(Predictors& p, Reader& r) {
    if (r.count <= 56 && r.pos + 8 <= r.size) { // whole bytes at once when none is 0xFF
        uint64_t next;
        memcpy(&next, r.file + r.pos, 8);
        uint64_t inverted = ~next; // a 0xFF byte becomes a zero byte
        if (!((inverted - 0x0101010101010101ull) & ~inverted & 0x8080808080808080ull)) {
#if !(defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__)
            next = __builtin_bswap64(next);
#endif
            int bytes = (64 - r.count) >> 3; // 6..8: callers refill below 16 bits
            r.buf |= next >> (64 - bytes * 8) << (64 - r.count - bytes * 8);
            r.pos += size_t(bytes);
            r.count += bytes * 8;
            r.fetched += uint64_t(bytes) * 8;
            return;
        }
    }
    while (r.count <= 56) {
        int b;
        if (r.pos < r.size && r.file[r.pos] != 0xFF) {
            b = r.file[r.pos++];
        } else {
            Fetched f = dataByteSlow(r.file, r.size, r.pos);
            r.pos = f.pos;
            b = f.byte;
            if (f.restart) {
                passRestarts(p, r.fetched - uint64_t(r.count));
                p.restart_at[p.restart_tail & 15] = r.fetched;
                p.restart_tail++;
            }
        }
        r.buf |= uint64_t(b) << (56 - r.count);
        r.count += 8;
        r.fetched += 8;
    }
}

inline void consume(Reader& r, int n) {
    r.buf <<= n;
    r.count -= n;
}

inline int getBits(Predictors& p, Reader& r, int n) {
    if (n == 0) return 0;
    if (r.count < n) refill(p, r);
    int v = int(r.buf >> (64 - n));
    consume(r, n);
    return v;
}

// Codes longer than the 10-bit look-up (fastBits), from the next 16 bits:
// code length << 16 | symbol. A code that matches nothing within 16 bits
// yields the 16 bits read as the symbol, as the per-bit search does.
uint32_t huffmanSlow(uint32_t bits16, const jpeg_huffman_table_t& t) {
    for (int l = fastBits + 1; l <= 16; l++) {
        int code = int(bits16 >> (16 - l));
        if (code <= t.maxcode[l]) return uint32_t(l) << 16 | t.values[t.valptr[l] + code - t.mincode[l]];
    }
    return 16u << 16 | bits16;
}

inline int huffman(Predictors& p, Reader& r, const jpeg_huffman_table_t& t) {
    if (r.count < 16) refill(p, r);
    int e = t.fast[r.buf >> (64 - fastBits)];
    if (e) {
        consume(r, e >> 8);
        return e & 255;
    }
    uint32_t found = huffmanSlow(uint32_t(r.buf >> 48), t);
    consume(r, int(found >> 16));
    return int(found & 0xFFFF);
}

// ------------------------------------------------------------ blocks

#define JPEG_INLINE inline __attribute__((always_inline)) // also into the AVX2 clone

// (truncate(v) >> 3) + 128, clamped to 0..255. Clamping v first to
// -1024..1016, where the result reaches 0 and 255, gives the same bytes and
// keeps the conversion defined for any float.
JPEG_INLINE int sampleOf(float v) {
    v = v < -1024.0f ? -1024.0f : v;
    v = v > 1016.0f ? 1016.0f : v;
    return (int(v) >> 3) + 128;
}

// One row of a block in eight lanes; the whole block stays in registers.
// GCC and clang compile these vector types and builtins alike, so the fuzz
// build (clang) runs the transform the show ships.
typedef float Row __attribute__((vector_size(32)));
typedef int32_t RowInt __attribute__((vector_size(32)));

// The 1-D AAN inverse transform on eight columns at once, in place: lane c
// of ik is element k of column c.
JPEG_INLINE void idctPass(Row& i0, Row& i1, Row& i2, Row& i3, Row& i4, Row& i5, Row& i6, Row& i7) {
    Row t10 = i0 + i4, t11 = i0 - i4;
    Row t13 = i2 + i6, t12 = (i2 - i6) * 1.4142135f - t13;
    Row e0 = t10 + t13, e3 = t10 - t13, e1 = t11 + t12, e2 = t11 - t12;
    Row z13 = i5 + i3, z10 = i5 - i3, z11 = i1 + i7, z12 = i1 - i7;
    Row o7 = z11 + z13;
    Row u11 = (z11 - z13) * 1.4142135f;
    Row z5 = (z10 + z12) * 1.847759f;
    Row u10 = z12 * 1.0823922f - z5;
    Row u12 = z5 - z10 * 2.613126f;
    Row o6 = u12 - o7, o5 = u11 - o6, o4 = u10 + o5;
    i0 = e0 + o7;
    i7 = e0 - o7;
    i1 = e1 + o6;
    i6 = e1 - o6;
    i2 = e2 + o5;
    i5 = e2 - o5;
    i4 = e3 + o4;
    i3 = e3 - o4;
}

// 8 x 8 transpose in registers: pairs, then quads, then halves.
JPEG_INLINE void transposeRows(Row* r) {
    Row t[8], u[8];
    for (int k = 0; k < 8; k += 2) {
        t[k] = __builtin_shufflevector(r[k], r[k + 1], 0, 8, 1, 9, 4, 12, 5, 13);
        t[k + 1] = __builtin_shufflevector(r[k], r[k + 1], 2, 10, 3, 11, 6, 14, 7, 15);
    }
    for (int k = 0; k < 8; k += 4) {
        u[k] = __builtin_shufflevector(t[k], t[k + 2], 0, 1, 8, 9, 4, 5, 12, 13);
        u[k + 1] = __builtin_shufflevector(t[k], t[k + 2], 2, 3, 10, 11, 6, 7, 14, 15);
        u[k + 2] = __builtin_shufflevector(t[k + 1], t[k + 3], 0, 1, 8, 9, 4, 5, 12, 13);
        u[k + 3] = __builtin_shufflevector(t[k + 1], t[k + 3], 2, 3, 10, 11, 6, 7, 14, 15);
    }
    for (int k = 0; k < 4; k++) {
        r[k] = __builtin_shufflevector(u[k], u[k + 4], 0, 1, 2, 3, 8, 9, 10, 11);
        r[k + 4] = __builtin_shufflevector(u[k], u[k + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
}

// The 2-D inverse transform of a block held as its eight rows: the column
// pass, then the row pass on the transposed block, transposed back.
JPEG_INLINE void idctBlock(Row* r) {
    idctPass(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7]);
    transposeRows(r);
    idctPass(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7]);
    transposeRows(r);
}

// Everything one component's blocks need, gathered once per scan.
struct BlockContext {
    const jpeg_huffman_table_t* dc;
    const jpeg_huffman_table_t* ac;
    float quant[64]; // natural order
};

// Entropy-decodes one block of component c into coefficients (natural
// order, dc apart); true when some AC coefficient is non-zero.
bool decodeCoefficients(Predictors& p, Reader& r, int c, const BlockContext& k, int32_t* coef,
                        int* dcOut) {
    if (r.count < 16) refill(p, r);
    int32_t f = k.dc->fastvalue[r.buf >> (64 - fastBits)];
    int diff;
    if (f) {
        consume(r, f & 15);
        diff = f >> 12;
    } else {
        int s = huffman(p, r, *k.dc) & 15;
        diff = jpeg_bit2int(s, getBits(p, r, s));
    }
    if (p.restart_head != p.restart_tail || p.restart_passed) {
        passRestarts(p, r.fetched - uint64_t(r.count));
        if (p.restart_passed) p.dc[0] = p.dc[1] = p.dc[2] = p.restart_passed = 0;
    }
    int dc = int(unsigned(p.dc[c]) + unsigned(diff)); // wraps instead of overflowing
    p.dc[c] = dc;
    *dcOut = dc;
    bool ac = false;
    const jpeg_huffman_table_t& act = *k.ac;
    for (int z = 1; z <= 63;) {
        if (r.count < 16) refill(p, r);
        int32_t f = act.fastvalue[r.buf >> (64 - fastBits)];
        int run, v;
        if (f) { // code and magnitude within the next fastBits bits
            run = (f >> 8) & 15;
            if (z + run > 63) {
                consume(r, (f >> 4) & 15);
                break;
            }
            consume(r, f & 15);
            if ((f >> 8) == 0) break; // end of block
            v = f >> 12;
        } else {
            int rs = huffman(p, r, act);
            if (rs == 0) break;
            run = rs >> 4;
            if (z + run > 63) break; // a run past the block's end ends it
            int size = rs & 15;
            v = jpeg_bit2int(size, getBits(p, r, size));
        }
        z += run;
        if (v) {
            coef[natural.at[z]] = v;
            ac = true;
        }
        z++;
    }
    return ac;
}

#ifdef __x86_64__
#define JPEG_AVX2_CLONE __attribute__((target_clones("avx2", "default")))
#else
#define JPEG_AVX2_CLONE
#endif

// Dequantisation, inverse DCT and level shift of one block with AC terms
// (coef[0] holds the DC value); clears coef for the next block. The block
// lives in eight row vectors, with AVX one register each: 15 % faster on
// the whole decode (1024² 4:4:4) than transposing through memory, which
// stalls store forwarding.
JPEG_AVX2_CLONE void transformBlock(int32_t* coef, const float* quant, uint8_t* samples) {
    Row r[8], column;
    memcpy(&column, aanscale, sizeof column);
    for (int i = 0; i < 8; i++) { // quant x coefficient x column factor x row factor
        RowInt c;
        Row q;
        memcpy(&c, coef + 8 * i, sizeof c);
        memcpy(&q, quant + 8 * i, sizeof q);
        r[i] = __builtin_convertvector(c, Row) * q * column * aanscale[i];
        memset(coef + 8 * i, 0, sizeof c);
    }
    idctBlock(r);
    alignas(32) int32_t shifted[64];
    for (int i = 0; i < 8; i++) { // sampleOf in lanes
        Row v = r[i] < -1024.0f ? Row{} - 1024.0f : r[i];
        v = v > 1016.0f ? Row{} + 1016.0f : v;
        RowInt s = (__builtin_convertvector(v, RowInt) >> 3) + 128;
        memcpy(shifted + 8 * i, &s, sizeof s);
    }
    for (int n = 0; n < 64; n++) samples[n] = uint8_t(shifted[n]); // packs, 0..255 already
}

// Decodes one block into 64 samples, row-major. coef: 64 zeros, left so.
void decodeBlock(Predictors& p, Reader& r, int c, const BlockContext& k, int32_t* coef,
                 uint8_t* samples) {
    int dc;
    bool ac = decodeCoefficients(p, r, c, k, coef, &dc);
    float first = k.quant[0] * float(dc) * aanscale[0] * aanscale[0];
    if (!ac) { // a flat block: the transform leaves the DC term in every sample
        memset(samples, sampleOf(first), 64);
        return;
    }
    coef[0] = dc; // the same product as first, in the vector loop
    transformBlock(coef, k.quant, samples);
}

// Writes a block's samples at (px, py) of a component strip, each sample
// replicated into hs x vs samples.
void storeBlock(uint8_t* plane, int stride, int px, int py, int hs, int vs, const uint8_t* samples) {
    for (int i = 0; i < 8; i++) {
        for (int ky = 0; ky < vs; ky++) {
            uint8_t* d = plane + size_t(py + i * vs + ky) * stride + px;
            const uint8_t* s = samples + 8 * i;
            if (hs == 1) {
                memcpy(d, s, 8);
            } else if (hs == 2) {
                for (int j = 0; j < 8; j++) d[2 * j] = d[2 * j + 1] = s[j];
            } else {
                for (int j = 0; j < 8 * hs; j++) d[j] = s[j / hs];
            }
        }
    }
}

inline uint8_t clampByte(int v) {
    return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// The colour conversion of one pixel, packed as R, G, B, 255 in memory order.
inline uint32_t packRgb(int red, int green, int blue) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return uint32_t(clampByte(red)) << 24 | uint32_t(clampByte(green)) << 16 |
           uint32_t(clampByte(blue)) << 8 | 255u;
#else
    return uint32_t(clampByte(red)) | uint32_t(clampByte(green)) << 8 | uint32_t(clampByte(blue)) << 16 |
           255u << 24;
#endif
}

inline uint32_t ycbcrPixel(int y, int cb, int cr) {
    float fy = float(y), fcb = float(cb - 128), fcr = float(cr - 128);
    return packRgb(int(fy + 1.402f * fcr), int(fy - 0.34414f * fcb - 0.71414f * fcr),
                   int(fy + 1.772f * fcb));
}

#ifdef __SSE2__
// Four pixels' samples (bytes 0..3 of v, as int32 lanes) as floats, minus bias.
inline __m128 lanes(__m128i bytes16, int quarter, int bias) {
    __m128i zero = _mm_setzero_si128();
    __m128i words = quarter < 2 ? _mm_unpacklo_epi8(bytes16, zero) : _mm_unpackhi_epi8(bytes16, zero);
    __m128i ints = (quarter & 1) ? _mm_unpackhi_epi16(words, zero) : _mm_unpacklo_epi16(words, zero);
    return _mm_cvtepi32_ps(_mm_sub_epi32(ints, _mm_set1_epi32(bias)));
}

// Sixteen pixels with the scalar steps in SIMD lanes: single-precision
// products and sums, truncation, and the clamp done by saturating packs.
void ycbcr16(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out) {
    __m128i Y = _mm_loadu_si128((const __m128i*)y), B = _mm_loadu_si128((const __m128i*)cb);
    __m128i R = _mm_loadu_si128((const __m128i*)cr);
    __m128i red[2], green[2], blue[2];
    for (int half = 0; half < 2; half++) {
        __m128i r4[2], g4[2], b4[2];
        for (int k = 0; k < 2; k++) {
            int quarter = 2 * half + k;
            __m128 fy = lanes(Y, quarter, 0), fcb = lanes(B, quarter, 128), fcr = lanes(R, quarter, 128);
            r4[k] = _mm_cvttps_epi32(_mm_add_ps(fy, _mm_mul_ps(_mm_set1_ps(1.402f), fcr)));
            g4[k] = _mm_cvttps_epi32(_mm_sub_ps(_mm_sub_ps(fy, _mm_mul_ps(_mm_set1_ps(0.34414f), fcb)),
                                                _mm_mul_ps(_mm_set1_ps(0.71414f), fcr)));
            b4[k] = _mm_cvttps_epi32(_mm_add_ps(fy, _mm_mul_ps(_mm_set1_ps(1.772f), fcb)));
        }
        red[half] = _mm_packs_epi32(r4[0], r4[1]);
        green[half] = _mm_packs_epi32(g4[0], g4[1]);
        blue[half] = _mm_packs_epi32(b4[0], b4[1]);
    }
    __m128i r8 = _mm_packus_epi16(red[0], red[1]), g8 = _mm_packus_epi16(green[0], green[1]);
    __m128i b8 = _mm_packus_epi16(blue[0], blue[1]), a8 = _mm_set1_epi8(-1);
    __m128i rg0 = _mm_unpacklo_epi8(r8, g8), rg1 = _mm_unpackhi_epi8(r8, g8);
    __m128i ba0 = _mm_unpacklo_epi8(b8, a8), ba1 = _mm_unpackhi_epi8(b8, a8);
    _mm_storeu_si128((__m128i*)out, _mm_unpacklo_epi16(rg0, ba0));
    _mm_storeu_si128((__m128i*)(out + 4), _mm_unpackhi_epi16(rg0, ba0));
    _mm_storeu_si128((__m128i*)(out + 8), _mm_unpacklo_epi16(rg1, ba1));
    _mm_storeu_si128((__m128i*)(out + 12), _mm_unpackhi_epi16(rg1, ba1));
}
#endif

void ycbcrRow(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out, int n) {
    int x = 0;
#if defined(__SSE2__) && !(defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__)
    for (; x + 16 <= n; x += 16) ycbcr16(y + x, cb + x, cr + x, out + x);
#endif
    for (; x < n; x++) out[x] = ycbcrPixel(y[x], cb[x], cr[x]);
}

void greyRow(const uint8_t* y, uint32_t* out, int n) {
    for (int x = 0; x < n; x++) out[x] = packRgb(y[x], y[x], y[x]);
}

bool hasEndMarker(const uint8_t* data, size_t size) {
    // memchr skips the runs without FF many bytes at a time.
    const uint8_t* end = data + size;
    for (const uint8_t* p = data; (p = (const uint8_t*)memchr(p, 0xFF, size_t(end - p))) && p + 1 < end;
         p++)
        if (p[1] == 0xD9) return true;
    return false;
}

// Opaque black over the whole frame: one pixel, then copies doubling in
// length, so that a large frame costs a few memcpy calls.
void fillBlack(jpeg_file_t& j) {
    const uint32_t black = packRgb(0, 0, 0);
    const size_t bytes = size_t(j.width) * size_t(j.height) * 4;
    if (!bytes) return;
    memcpy(j.data, &black, 4);
    for (size_t done = 4; done < bytes; done *= 2)
        memcpy(j.data + done, j.data, done < bytes - done ? done : bytes - done);
}

// The RGBA buffer, freed by the caller with free(). Buffers of 4 MiB and more
// are aligned to 2 MiB and asked for transparent huge pages: filling 16 MiB
// page by page costs 4,096 faults, about a third of decoding a 2048 x 2048
// file; with huge pages it takes eight.
uint8_t* allocatePixels(size_t bytes) {
    const size_t huge = size_t(2) << 20;
    if (bytes < 2 * huge) return (uint8_t*)malloc(bytes);
    void* p = aligned_alloc(huge, (bytes + huge - 1) / huge * huge);
    if (p) madvise(p, bytes, MADV_HUGEPAGE);
    return (uint8_t*)p;
}

} // namespace

void jpeg_idct(float* block) {
    Row r[8];
    memcpy(r, block, sizeof r);
    idctBlock(r);
    memcpy(block, r, sizeof r);
}

// ---------------------------------------------------------------- scan

// Decodes one MCU row at a time into per-component strips (padded to whole
// MCUs), then converts the strip's rows to RGBA: the same bytes as storing
// each sample into its pixel and converting the whole image afterwards.
void jpeg_decompress(jpeg_file_t& j) {
    int nc = j.num_components;
    const jpeg_component_t& y = j.components[0];
    int mcuWidth = 8 * y.h_samp, mcuHeight = 8 * y.v_samp;
    int stride = (j.width + mcuWidth - 1) / mcuWidth * mcuWidth;
    size_t planeSize = size_t(stride) * size_t(mcuHeight);
    uint8_t* strip = (uint8_t*)malloc(planeSize * size_t(nc));
    if (!strip) {
        note(j, "not enough memory to decode");
        fillBlack(j);
        return;
    }
    int hs[3] = {1, 1, 1}, vs[3] = {1, 1, 1};
    BlockContext context[3];
    for (int c = 0; c < nc; c++) {
        const jpeg_component_t& k = j.components[c];
        hs[c] = y.h_samp / k.h_samp;
        vs[c] = y.v_samp / k.v_samp;
        context[c].dc = &j.dc_tables[k.dc_table];
        context[c].ac = &j.ac_tables[k.ac_table];
        for (int n = 0; n < 64; n++)
            context[c].quant[n] = float(j.quant_tables[k.quant_table][jpeg_zigzag[n]]);
    }
    Predictors p = {};
    Reader r = {j.file, j.file_size, j.file_pos, 0, 0, 0}; // from the first byte after the scan header
    alignas(16) uint8_t samples[64];
    alignas(16) int32_t coef[64] = {};
    for (int y0 = 0; y0 < j.height; y0 += mcuHeight) {
        if (j.restart_interval > 0) consume(r, r.count & 7); // to a byte boundary
        for (int x0 = 0; x0 < j.width; x0 += mcuWidth) {
            for (int c = 0; c < nc; c++) {
                const jpeg_component_t& k = j.components[c];
                for (int by = 0; by < k.v_samp; by++) {
                    for (int bx = 0; bx < k.h_samp; bx++) {
                        decodeBlock(p, r, c, context[c], coef, samples);
                        storeBlock(strip + planeSize * c, stride, x0 + 8 * bx * hs[c], 8 * by * vs[c],
                                   hs[c], vs[c], samples);
                    }
                }
            }
        }
        int rows = j.height - y0 < mcuHeight ? j.height - y0 : mcuHeight;
        for (int row = 0; row < rows; row++) {
            uint32_t* out = (uint32_t*)j.data + size_t(y0 + row) * size_t(j.width);
            const uint8_t* luma = strip + size_t(row) * stride;
            if (nc == 1) greyRow(luma, out, j.width);
            else ycbcrRow(luma, luma + planeSize, luma + 2 * planeSize, out, j.width);
        }
    }
    free(strip);
}

void jpeg_ycbcr2rgb(jpeg_file_t& j) {
    uint8_t* p = j.data;
    size_t n = size_t(j.width) * size_t(j.height);
    for (size_t i = 0; i < n; i++, p += 4) {
        uint32_t rgba = ycbcrPixel(p[0], p[1], p[2]);
        memcpy(p, &rgba, 4);
    }
}

void jpeg_gray2rgb(jpeg_file_t& j) {
    uint8_t* p = j.data;
    size_t n = size_t(j.width) * size_t(j.height);
    for (size_t i = 0; i < n; i++, p += 4) {
        p[1] = p[2] = p[0];
        p[3] = 255;
    }
}

// ---------------------------------------------------------------- files

bool jpegReadFile(const char* path, uint8_t** bytes, size_t* size, const char** error) {
    *bytes = nullptr;
    *size = 0;
    *error = nullptr;
    FILE* f = platform::openInputFile(path, error);
    if (!f) return false;
    long length = -1;
    if (fseek(f, 0, SEEK_END) == 0) length = ftell(f);
    if (length < 0 || fseek(f, 0, SEEK_SET) != 0) *error = "cannot be read";
    else if (size_t(length) > jpegMaxFileBytes) *error = "file too large (at most 256 MiB)";
    else if (!(*bytes = (uint8_t*)malloc(length ? size_t(length) : 1))) *error = "out of memory";
    else if (fread(*bytes, 1, size_t(length), f) != size_t(length)) *error = "cannot be read";
    fclose(f);
    if (*error) {
        free(*bytes);
        *bytes = nullptr;
        return false;
    }
    *size = size_t(length);
    return true;
}

JpegImage jpegDecodeWith(const uint8_t* bytes, size_t size, void (*decompress)(jpeg_file_t& j)) {
    jpeg_file_t& j = jpeg_file_s;
    memset(&j, 0, sizeof j);
    for (int t = 0; t < 4; t++) {
        for (int l = 0; l <= 16; l++) j.dc_tables[t].maxcode[l] = j.ac_tables[t].maxcode[l] = -1;
    }
    j.file = bytes;
    j.file_size = size;
    jpeg_readmarkers(j);
    size_t scanStart = j.file_pos;
    JpegImage image;
    image.error = j.error;
    if (!j.frame_ok) {
        if (!image.error) image.error = "no baseline frame header";
        return image;
    }
    if (!decompress) { // the header alone: the frame's size, no pixels
        image.width = j.width;
        image.height = j.height;
        return image;
    }
    size_t pixels = size_t(j.width) * size_t(j.height);
    j.data = allocatePixels(pixels * 4);
    if (!j.data) {
        image.error = "not enough memory for the pixels";
        return image;
    }
    if (j.scan_ok) decompress(j);
    else fillBlack(j); // a frame without a scan
    // Entropy-coded data never holds FF D9, so a scan without it was cut off.
    if (j.scan_ok && !image.error && !hasEndMarker(bytes + scanStart, size - scanStart))
        image.error = "file ends inside the image data; the picture is incomplete";
    image.width = j.width;
    image.height = j.height;
    image.data = j.data;
    j.data = nullptr;
    return image;
}

JpegImage jpegDecode(const uint8_t* bytes, size_t size) {
    return jpegDecodeWith(bytes, size, jpeg_decompress);
}

JpegImage jpegDecodeMasked(const uint8_t* colour, size_t colourSize, const uint8_t* mask,
                           size_t maskSize, const char** maskError, void (*decompress)(jpeg_file_t& j)) {
    JpegImage m = jpegDecodeWith(mask, maskSize, decompress);
    JpegImage image = jpegDecodeWith(colour, colourSize, decompress);
    *maskError = m.error;
    if (m.width == image.width && m.height == image.height) {
        size_t pixels = size_t(image.width) * size_t(image.height);
        for (size_t i = 0; i < pixels; i++) {
            const uint8_t* p = m.data + 4 * i;
            image.data[4 * i + 3] = uint8_t((p[0] + p[1] + p[2]) / 3);
        }
    } else if (image.data) {
        *maskError = "mask is not the size of the image; alpha left opaque";
    }
    free(m.data);
    return image;
}
