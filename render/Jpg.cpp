// Baseline JPEG decoding from memory into RGBA: header parse, table-driven
// Huffman decoding over a 64-bit bit buffer, float AAN inverse DCT, level
// shift, replication upsampling and YCbCr conversion. The supported subset
// and the limits are listed in Jpg.h. Built with -ffp-contract=off: the
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

jpeg_file_t& J = jpeg_file_s;

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

int fail(const char* why) {
    if (!J.error) J.error = why;
    return 0;
}

void note(const char* why) {
    if (!J.error) J.error = why;
}

void skipBytes(long n) {
    if (n <= 0) return;
    size_t left = J.file_size - J.file_pos;
    if (size_t(n) > left) {
        J.file_pos = J.file_size;
        J.eof = 1;
    } else {
        J.file_pos += size_t(n);
    }
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

int readHuffmanTables(int remaining) {
    while (remaining > 0) {
        int t = jpeg_read_byte();
        int id = t & 15, ac = (t >> 4) & 1;
        if (id > 3) return fail("Huffman table id above 3");
        jpeg_huffman_table_t* table = ac ? &J.ac_tables[id] : &J.dc_tables[id];
        int total = 0;
        for (int i = 0; i < 16; i++) total += table->bits[i] = uint8_t(jpeg_read_byte());
        if (total > 256) return fail("Huffman table with more than 256 symbols");
        for (int i = 0; i < total; i++) table->values[i] = uint8_t(jpeg_read_byte());
        if (J.eof) return fail(cutOff);
        if (!buildHuffman(table, total, ac)) return fail("Huffman table whose code lengths overflow");
        J.huffman_defined[ac][id] = 1;
        remaining -= total + 17;
    }
    return 1;
}

int readQuantTables(int remaining) {
    while (remaining > 0) {
        int p = jpeg_read_byte();
        int id = p & 15, wide = p >> 4;
        if (id > 3) return fail("quantisation table id above 3");
        for (int i = 0; i < 64; i++) J.quant_tables[id][i] = wide ? jpeg_read_word() : jpeg_read_byte();
        if (J.eof) return fail(cutOff);
        J.quant_defined[id] = 1;
        remaining -= wide ? 129 : 65;
    }
    return 1;
}

int checkFrame() {
    if (J.precision != 8) return fail("only 8-bit samples are supported");
    if (J.width == 0 || J.height == 0) return fail("image has zero width or height");
    if (J.width > jpegMaxSide || J.height > jpegMaxSide || (long long)J.width * J.height > jpegMaxPixels)
        return fail("image too large (at most 16384 pixels a side and 64 megapixels)");
    for (int c = 0; c < J.num_components; c++) {
        const jpeg_component_t& k = J.components[c];
        if (k.h_samp < 1 || k.h_samp > 4 || k.v_samp < 1 || k.v_samp > 4)
            return fail("sampling factor outside 1..4");
        if (k.quant_table > 3) return fail("quantisation table id above 3");
    }
    const jpeg_component_t& y = J.components[0];
    if (J.num_components == 1 && (y.h_samp != 1 || y.v_samp != 1))
        return fail("one-component image with sampling other than 1x1");
    for (int c = 1; c < J.num_components; c++) {
        if (y.h_samp % J.components[c].h_samp || y.v_samp % J.components[c].v_samp)
            return fail("chroma sampling factors larger than or not dividing the luma ones");
    }
    return 1;
}

int readFrame(int length) {
    J.frame_ok = 0;
    J.precision = jpeg_read_byte();
    J.height = jpeg_read_word();
    J.width = jpeg_read_word();
    J.num_components = jpeg_read_byte();
    if (J.eof) return fail(cutOff);
    if (length != 3 * J.num_components + 8) return fail("frame header length does not match it");
    if (J.num_components != 1 && J.num_components != 3)
        return fail("only 1 (grey) or 3 (YCbCr) components are supported");
    for (int c = 0; c < J.num_components; c++) {
        jpeg_component_t& k = J.components[c];
        k.id = jpeg_read_byte();
        int s = jpeg_read_byte();
        k.h_samp = s >> 4;
        k.v_samp = s & 15;
        k.quant_table = jpeg_read_byte();
    }
    if (J.eof) return fail(cutOff);
    if (!checkFrame()) return 0;
    J.frame_ok = 1;
    return 1;
}

// Notes what makes a readable scan fall outside the supported subset; the
// scan is still decoded, and the image may come out damaged.
void checkScan(int count, int matched) {
    if (count != J.num_components || matched != (1 << J.num_components) - 1)
        note("scan does not carry all components (not one interleaved scan)");
    if (J.spectral_start != 0 || J.spectral_end != 63 || J.approx_high || J.approx_low)
        note("scan parameters are not baseline");
    for (int c = 0; c < J.num_components; c++) {
        const jpeg_component_t& k = J.components[c];
        if (!J.huffman_defined[0][k.dc_table] || !J.huffman_defined[1][k.ac_table])
            note("a Huffman table the scan uses is not defined");
        if (!J.quant_defined[k.quant_table]) note("a quantisation table the frame uses is not defined");
    }
    if (J.adobe_rgb && J.num_components == 3)
        note("Adobe RGB components are decoded as YCbCr (wrong colours)");
    int mcuWidth = 8 * J.components[0].h_samp;
    int perRow = (J.width + mcuWidth - 1) / mcuWidth;
    if (J.restart_interval && J.restart_interval != perRow)
        note("restart interval is not one MCU row; the image is damaged");
}

int readScan() {
    if (!J.frame_ok) return fail("scan without a baseline frame header");
    int count = jpeg_read_byte();
    int matched = 0;
    for (int i = 0; i < count; i++) {
        int selector = jpeg_read_byte();
        int tables = jpeg_read_byte();
        int dc = tables >> 4, ac = tables & 15;
        if (dc > 3 || ac > 3) return fail("Huffman table id above 3");
        for (int c = 0; c < J.num_components; c++) {
            if (J.components[c].id != selector) continue;
            J.components[c].dc_table = dc;
            J.components[c].ac_table = ac;
            matched |= 1 << c;
        }
    }
    J.spectral_start = jpeg_read_byte();
    J.spectral_end = jpeg_read_byte();
    int a = jpeg_read_byte();
    J.approx_high = a >> 4;
    J.approx_low = a & 15;
    if (J.eof) return fail(cutOff);
    checkScan(count, matched);
    J.scan_ok = 1;
    return 1;
}

// An Adobe APP14 segment: "Adobe", version, two flag words, transform
// (0: the components are RGB, not YCbCr).
void readAdobe(int remaining) {
    static const char adobe[] = "Adobe";
    int matched = 0;
    for (int i = 0; i < remaining && i < 12; i++) {
        int b = jpeg_read_byte();
        if (i < 5 && b == adobe[i]) matched++;
        if (i == 11 && matched == 5 && b == 0) J.adobe_rgb = 1;
    }
    skipBytes(remaining - 12);
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

// ------------------------------------------------------------ bit reader

struct Reader {
    const uint8_t* file;
    size_t size;
    size_t pos;
    uint64_t buf; // next bit is the most significant
    int count;    // valid bits in buf
    uint64_t fetched;
};

Reader loadReader() {
    return {J.file, J.file_size, J.file_pos, J.bit_buf, J.bit_count, J.bits_fetched};
}

void storeReader(const Reader& r) {
    J.file_pos = r.pos;
    J.bit_buf = r.buf;
    J.bit_count = r.count;
    J.bits_fetched = r.fetched;
}

int rawByte(const uint8_t* file, size_t size, size_t* pos) {
    if (*pos < size) return file[(*pos)++];
    J.eof = 1;
    return 0;
}

struct Fetched {
    size_t pos;
    int byte;
    int restart; // a restart marker was passed
};

// Next byte of entropy-coded data: 0xFF 0x00 is a data 0xFF, fill bytes
// before a marker code are skipped, a marker is passed over (a restart
// marker sets restart) and the byte after it is read by the same rule.
// Past the end of the file the data is zeros.
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
// restart_passed.
void passRestarts(uint64_t consumed) {
    while (J.restart_head != J.restart_tail && J.restart_at[J.restart_head & 15] < consumed) {
        J.restart_head++;
        J.restart_passed = 1;
    }
}

// The reader's fields are passed by value to the slow paths, so that the
// hot loop keeps them in registers.
inline void refill(Reader& r) {
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
                passRestarts(r.fetched - uint64_t(r.count));
                J.restart_at[J.restart_tail & 15] = r.fetched;
                J.restart_tail++;
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

inline int getBits(Reader& r, int n) {
    if (n == 0) return 0;
    if (r.count < n) refill(r);
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

inline int huffman(Reader& r, const jpeg_huffman_table_t& t) {
    if (r.count < 16) refill(r);
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

#if defined(__GNUC__)
#define JPEG_INLINE inline __attribute__((always_inline)) // also into the AVX clone
#else
#define JPEG_INLINE inline
#endif

// (truncate(v) >> 3) + 128, clamped to 0..255. Clamping v first to
// -1024..1016, where the result reaches 0 and 255, gives the same bytes and
// keeps the conversion defined for any float.
JPEG_INLINE int sampleOf(float v) {
    v = v < -1024.0f ? -1024.0f : v;
    v = v > 1016.0f ? 1016.0f : v;
    return (int(v) >> 3) + 128;
}

// Per-position factors of the dequantisation, natural order.
struct Scale {
    float column[64], row[64];
    Scale() {
        for (int n = 0; n < 64; n++) {
            column[n] = aanscale[n & 7];
            row[n] = aanscale[n >> 3];
        }
    }
};
const Scale scale;

// The 1-D AAN inverse transform, in place on eight values (floats, or
// vectors of floats that run it in every lane with exactly the same steps).
template <typename T>
JPEG_INLINE void idctPass(T& i0, T& i1, T& i2, T& i3, T& i4, T& i5, T& i6, T& i7) {
    T t10 = i0 + i4, t11 = i0 - i4;
    T t13 = i2 + i6, t12 = (i2 - i6) * 1.4142135f - t13;
    T e0 = t10 + t13, e3 = t10 - t13, e1 = t11 + t12, e2 = t11 - t12;
    T z13 = i5 + i3, z10 = i5 - i3, z11 = i1 + i7, z12 = i1 - i7;
    T o7 = z11 + z13;
    T u11 = (z11 - z13) * 1.4142135f;
    T z5 = (z10 + z12) * 1.847759f;
    T u10 = z12 * 1.0823922f - z5;
    T u12 = z5 - z10 * 2.613126f;
    T o6 = u12 - o7, o5 = u11 - o6, o4 = u10 + o5;
    i0 = e0 + o7;
    i7 = e0 - o7;
    i1 = e1 + o6;
    i6 = e1 - o6;
    i2 = e2 + o5;
    i5 = e2 - o5;
    i4 = e3 + o4;
    i3 = e3 - o4;
}

// One pass over the eight columns (element r of column c is b[8 * r + c]);
// the compiler runs the columns in SIMD lanes.
JPEG_INLINE void idctColumns(float* b) {
    for (int c = 0; c < 8; c++)
        idctPass(b[c], b[8 + c], b[16 + c], b[24 + c], b[32 + c], b[40 + c], b[48 + c], b[56 + c]);
}

JPEG_INLINE void transpose(const float* in, float* out) {
#ifdef __SSE2__
    for (int r = 0; r < 8; r += 4) { // four 4 x 4 tiles; the compiler's own version is 4x slower
        for (int c = 0; c < 8; c += 4) {
            __m128 a = _mm_loadu_ps(in + 8 * r + c), b = _mm_loadu_ps(in + 8 * (r + 1) + c);
            __m128 d = _mm_loadu_ps(in + 8 * (r + 2) + c), e = _mm_loadu_ps(in + 8 * (r + 3) + c);
            _MM_TRANSPOSE4_PS(a, b, d, e);
            _mm_storeu_ps(out + 8 * c + r, a);
            _mm_storeu_ps(out + 8 * (c + 1) + r, b);
            _mm_storeu_ps(out + 8 * (c + 2) + r, d);
            _mm_storeu_ps(out + 8 * (c + 3) + r, e);
        }
    }
#else
    for (int r = 0; r < 8; r++)
        for (int c = 0; c < 8; c++) out[8 * c + r] = in[8 * r + c];
#endif
}

// Everything one component's blocks need, gathered once per scan.
struct BlockContext {
    const jpeg_huffman_table_t* dc;
    const jpeg_huffman_table_t* ac;
    float quant[64]; // natural order
};

// Entropy-decodes one block of component c into coefficients (natural
// order, dc apart); true when some AC coefficient is non-zero.
bool decodeCoefficients(Reader& r, int c, const BlockContext& k, int32_t* coef, int* dcOut) {
    if (r.count < 16) refill(r);
    int32_t f = k.dc->fastvalue[r.buf >> (64 - fastBits)];
    int diff;
    if (f) {
        consume(r, f & 15);
        diff = f >> 12;
    } else {
        int s = huffman(r, *k.dc) & 15;
        diff = jpeg_bit2int(s, getBits(r, s));
    }
    if (J.restart_head != J.restart_tail || J.restart_passed) {
        passRestarts(r.fetched - uint64_t(r.count));
        if (J.restart_passed) J.dc_pred[0] = J.dc_pred[1] = J.dc_pred[2] = J.restart_passed = 0;
    }
    int dc = int(unsigned(J.dc_pred[c]) + unsigned(diff)); // wraps instead of overflowing
    J.dc_pred[c] = dc;
    *dcOut = dc;
    bool ac = false;
    const jpeg_huffman_table_t& act = *k.ac;
    for (int z = 1; z <= 63;) {
        if (r.count < 16) refill(r);
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
            int rs = huffman(r, act);
            if (rs == 0) break;
            run = rs >> 4;
            if (z + run > 63) break; // a run past the block's end ends it
            int size = rs & 15;
            v = jpeg_bit2int(size, getBits(r, size));
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

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define JPEG_VECTOR_TRANSFORM 1
#endif

#ifdef JPEG_VECTOR_TRANSFORM
// One row of a block in eight lanes; the whole block stays in registers.
typedef float Row __attribute__((vector_size(32)));
typedef int32_t RowInt __attribute__((vector_size(32)));
typedef uint8_t RowBytes __attribute__((vector_size(8)));

// The 1-D transform on eight columns at once: lane c of r[k] is element k
// of column c.
JPEG_INLINE void idctRows(Row* r) {
    idctPass(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7]);
}

// 8 x 8 transpose in registers (pairs, then quads, then halves).
JPEG_INLINE void transposeRows(Row* r) {
    const RowInt lo2 = {0, 8, 1, 9, 4, 12, 5, 13}, hi2 = {2, 10, 3, 11, 6, 14, 7, 15};
    const RowInt lo4 = {0, 1, 8, 9, 4, 5, 12, 13}, hi4 = {2, 3, 10, 11, 6, 7, 14, 15};
    const RowInt lo8 = {0, 1, 2, 3, 8, 9, 10, 11}, hi8 = {4, 5, 6, 7, 12, 13, 14, 15};
    Row t[8], u[8];
    for (int k = 0; k < 8; k += 2) {
        t[k] = __builtin_shuffle(r[k], r[k + 1], lo2);
        t[k + 1] = __builtin_shuffle(r[k], r[k + 1], hi2);
    }
    for (int k = 0; k < 8; k += 4) {
        u[k] = __builtin_shuffle(t[k], t[k + 2], lo4);
        u[k + 1] = __builtin_shuffle(t[k], t[k + 2], hi4);
        u[k + 2] = __builtin_shuffle(t[k + 1], t[k + 3], lo4);
        u[k + 3] = __builtin_shuffle(t[k + 1], t[k + 3], hi4);
    }
    for (int k = 0; k < 4; k++) {
        r[k] = __builtin_shuffle(u[k], u[k + 4], lo8);
        r[k + 4] = __builtin_shuffle(u[k], u[k + 4], hi8);
    }
}

// Dequantisation, inverse DCT and level shift of one block with AC terms
// (coef[0] holds the DC value); clears coef for the next block. The block
// lives in eight row vectors, with AVX one register each: 15 % faster on
// the whole decode (1024² 4:4:4) than transposing through memory, which
// stalls store forwarding.
__attribute__((target_clones("avx2", "default"))) void transformBlock(int32_t* coef, const float* quant,
                                                                      uint8_t* samples) {
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
    idctRows(r);
    transposeRows(r);
    idctRows(r);
    transposeRows(r);
    alignas(32) int32_t shifted[64];
    for (int i = 0; i < 8; i++) { // sampleOf in lanes
        Row v = r[i] < -1024.0f ? Row{} - 1024.0f : r[i];
        v = v > 1016.0f ? Row{} + 1016.0f : v;
        RowInt s = (__builtin_convertvector(v, RowInt) >> 3) + 128;
        memcpy(shifted + 8 * i, &s, sizeof s);
    }
    for (int n = 0; n < 64; n++) samples[n] = uint8_t(shifted[n]); // packs, 0..255 already
}
#else
// Dequantisation, inverse DCT and level shift of one block with AC terms;
// clears coef for the next block.
void transformBlock(int32_t* coef, const float* quant, uint8_t* samples) {
    alignas(32) float dct[64], t[64];
    // quant x coefficient x column factor x row factor, in that order.
    for (int n = 0; n < 64; n++) {
        dct[n] = float(coef[n]) * quant[n] * scale.column[n] * scale.row[n];
        coef[n] = 0;
    }
    idctColumns(dct);
    transpose(dct, t);
    idctColumns(t); // the row pass, on the transposed block
    transpose(t, dct);
    for (int n = 0; n < 64; n++) samples[n] = uint8_t(sampleOf(dct[n]));
}
#endif

// Decodes one block into 64 samples, row-major. coef: 64 zeros, left so.
void decodeBlock(Reader& r, int c, const BlockContext& k, int32_t* coef, uint8_t* samples) {
    int dc;
    bool ac = decodeCoefficients(r, c, k, coef, &dc);
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
void fillBlack() {
    const uint32_t black = packRgb(0, 0, 0);
    const size_t bytes = size_t(J.width) * size_t(J.height) * 4;
    if (!bytes) return;
    memcpy(J.data, &black, 4);
    for (size_t done = 4; done < bytes; done *= 2)
        memcpy(J.data + done, J.data, done < bytes - done ? done : bytes - done);
}

} // namespace

// ---------------------------------------------------------------- readers

int jpeg_read_byte() {
    int b = 0;
    if (J.file_pos < J.file_size) b = J.file[J.file_pos++];
    else J.eof = 1;
    J.cur_byte = uint8_t(b);
    J.bit_pos = 0;
    return b;
}

int jpeg_read_word() {
    int high = jpeg_read_byte();
    return (high << 8) | jpeg_read_byte();
}

int jpeg_read_bits(int n) {
    Reader r = loadReader();
    int v = getBits(r, n);
    storeReader(r);
    return v;
}

int jpeg_read_bit() {
    return jpeg_read_bits(1);
}

int jpeg_bit2int(int size, int bits) {
    if (size == 0) return 0;
    return (bits & (1 << (size - 1))) ? bits : bits - ((1 << size) - 1);
}

int jpeg_huffmancode(jpeg_huffman_table_t* table) {
    Reader r = loadReader();
    int v = huffman(r, *table);
    storeReader(r);
    return v;
}

void jpeg_idct(float* block) {
    alignas(16) float t[64];
    idctColumns(block);
    transpose(block, t);
    idctColumns(t); // the row pass, on the transposed block
    transpose(t, block);
}

// ---------------------------------------------------------------- header

int jpeg_readmarkers() {
    for (;;) {
        if (jpeg_read_byte() != 0xFF)
            return fail(J.eof ? cutOff : "no marker where one was expected (not a JPEG file?)");
        int m = jpeg_read_byte();
        while (m == 0xFF && !J.eof) m = jpeg_read_byte(); // fill bytes before the code
        if (J.eof) return fail(cutOff);
        if (m == 0xD8) continue;
        if (m == 0xD9) return fail("end of image before the scan");
        if (m >= 0xC1 && m <= 0xCF && m != 0xC4 && m != 0xCC) return fail(frameKindReason(m));
        int length = jpeg_read_word();
        if (J.eof) return fail(cutOff);
        if (length < 2) return fail("segment length below 2");
        int ok = 1;
        switch (m) {
        case 0xC0: ok = readFrame(length); break;
        case 0xC4: ok = readHuffmanTables(length - 2); break;
        case 0xDB: ok = readQuantTables(length - 2); break;
        case 0xDD: J.restart_interval = jpeg_read_word(); break;
        case 0xDA: return readScan();
        case 0xEE: readAdobe(length - 2); break;
        default: skipBytes(length - 2); break;
        }
        if (!ok) return 0;
        if (J.eof) return fail(cutOff);
    }
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

// ---------------------------------------------------------------- scan

// Decodes one MCU row at a time into per-component strips (padded to whole
// MCUs), then converts the strip's rows to RGBA: the same bytes as storing
// each sample into its pixel and converting the whole image afterwards.
void jpeg_decompress() {
    int nc = J.num_components;
    const jpeg_component_t& y = J.components[0];
    int mcuWidth = 8 * y.h_samp, mcuHeight = 8 * y.v_samp;
    int stride = (J.width + mcuWidth - 1) / mcuWidth * mcuWidth;
    size_t planeSize = size_t(stride) * size_t(mcuHeight);
    uint8_t* strip = (uint8_t*)malloc(planeSize * size_t(nc));
    if (!strip) {
        note("not enough memory to decode");
        fillBlack();
        return;
    }
    int hs[3] = {1, 1, 1}, vs[3] = {1, 1, 1};
    BlockContext context[3];
    for (int c = 0; c < nc; c++) {
        const jpeg_component_t& k = J.components[c];
        hs[c] = y.h_samp / k.h_samp;
        vs[c] = y.v_samp / k.v_samp;
        context[c].dc = &J.dc_tables[k.dc_table];
        context[c].ac = &J.ac_tables[k.ac_table];
        for (int n = 0; n < 64; n++)
            context[c].quant[n] = float(J.quant_tables[k.quant_table][jpeg_zigzag[n]]);
    }
    J.dc_pred[0] = J.dc_pred[1] = J.dc_pred[2] = 0;
    Reader r = loadReader();
    alignas(16) uint8_t samples[64];
    alignas(16) int32_t coef[64] = {};
    for (int y0 = 0; y0 < J.height; y0 += mcuHeight) {
        if (J.restart_interval > 0) consume(r, r.count & 7); // to a byte boundary
        for (int x0 = 0; x0 < J.width; x0 += mcuWidth) {
            for (int c = 0; c < nc; c++) {
                const jpeg_component_t& k = J.components[c];
                for (int by = 0; by < k.v_samp; by++) {
                    for (int bx = 0; bx < k.h_samp; bx++) {
                        decodeBlock(r, c, context[c], coef, samples);
                        storeBlock(strip + planeSize * c, stride, x0 + 8 * bx * hs[c], 8 * by * vs[c],
                                   hs[c], vs[c], samples);
                    }
                }
            }
        }
        int rows = J.height - y0 < mcuHeight ? J.height - y0 : mcuHeight;
        for (int row = 0; row < rows; row++) {
            uint32_t* out = (uint32_t*)J.data + size_t(y0 + row) * size_t(J.width);
            const uint8_t* luma = strip + size_t(row) * stride;
            if (nc == 1) greyRow(luma, out, J.width);
            else ycbcrRow(luma, luma + planeSize, luma + 2 * planeSize, out, J.width);
        }
    }
    storeReader(r);
    free(strip);
}

void jpeg_ycbcr2rgb() {
    uint8_t* p = J.data;
    size_t n = size_t(J.width) * size_t(J.height);
    for (size_t i = 0; i < n; i++, p += 4) {
        uint32_t rgba = ycbcrPixel(p[0], p[1], p[2]);
        memcpy(p, &rgba, 4);
    }
}

void jpeg_gray2rgb() {
    uint8_t* p = J.data;
    size_t n = size_t(J.width) * size_t(J.height);
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

JpegImage jpegDecodeWith(const uint8_t* bytes, size_t size, void (*decompress)()) {
    memset(&J, 0, sizeof J);
    for (int t = 0; t < 4; t++) {
        for (int l = 0; l <= 16; l++) J.dc_tables[t].maxcode[l] = J.ac_tables[t].maxcode[l] = -1;
    }
    J.file = bytes;
    J.file_size = size;
    jpeg_readmarkers();
    size_t scanStart = J.file_pos;
    JpegImage image;
    image.error = J.error;
    if (!J.frame_ok) {
        if (!image.error) image.error = "no baseline frame header";
        return image;
    }
    if (!decompress) { // the header alone: the frame's size, no pixels
        image.width = J.width;
        image.height = J.height;
        return image;
    }
    size_t pixels = size_t(J.width) * size_t(J.height);
    J.data = allocatePixels(pixels * 4);
    if (!J.data) {
        image.error = "not enough memory for the pixels";
        return image;
    }
    if (J.scan_ok) decompress();
    else fillBlack(); // a frame without a scan
    // Entropy-coded data never holds FF D9, so a scan without it was cut off.
    if (J.scan_ok && !image.error && !hasEndMarker(bytes + scanStart, size - scanStart))
        image.error = "file ends inside the image data; the picture is incomplete";
    image.width = J.width;
    image.height = J.height;
    image.data = J.data;
    J.data = nullptr;
    return image;
}

JpegImage jpegDecode(const uint8_t* bytes, size_t size) {
    return jpegDecodeWith(bytes, size, jpeg_decompress);
}

JpegImage jpegDecodeMasked(const uint8_t* colour, size_t colourSize, const uint8_t* mask,
                           size_t maskSize, const char** maskError, void (*decompress)()) {
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
