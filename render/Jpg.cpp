// Baseline JPEG decoding from memory into RGBA: header parse, table-driven
// Huffman decoding over a 64-bit bit buffer, float AAN inverse DCT, level
// shift, replication upsampling and YCbCr conversion. The supported subset
// and the limits are listed in Jpg.h. Built with -ffp-contract=off: the
// single-precision steps give the same bytes on every machine.
#include "render/Jpg.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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
const float aanscale[8] = {1.0f,         1.387039845f, 1.306562965f, 1.175875602f,
                           1.0f,         0.785694958f, 0.541196100f, 0.275899379f};

namespace {

jpeg_file_t& J = jpeg_file_s;

const char* const cutOff = "file ends inside the header";

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

bool buildHuffman(jpeg_huffman_table_t* t, int total) {
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
    for (i = 0; i < total && t->sizes[i] <= 9; i++) {
        int shift = 9 - t->sizes[i];
        int first = t->codes[i] << shift;
        for (int k = 0; k < (1 << shift); k++)
            t->fast[first + k] = uint16_t((t->sizes[i] << 8) | t->values[i]);
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
        if (!buildHuffman(table, total)) return fail("Huffman table whose code lengths overflow");
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
    if (J.width > jpegMaxSide || J.height > jpegMaxSide ||
        (long long)J.width * J.height > jpegMaxPixels)
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

const char* frameKindReason(int m) {
    switch (m) {
    case 0xC1: return "extended-sequential JPEG is not supported; save it as baseline";
    case 0xC2: return "progressive JPEG is not supported; save it as baseline";
    case 0xC3: return "lossless JPEG is not supported; save it as baseline";
    case 0xC9: case 0xCA: case 0xCB:
        return "arithmetic-coded JPEG is not supported; save it as baseline";
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

int rawByte(Reader& r) {
    if (r.pos < r.size) return r.file[r.pos++];
    J.eof = 1;
    return 0;
}

// Next byte of entropy-coded data: 0xFF 0x00 is a data 0xFF, fill bytes
// before a marker code are skipped, a marker is passed over (a restart
// marker sets *restart) and the byte after it is read by the same rule.
// Past the end of the file the data is zeros.
int dataByteSlow(Reader& r, int* restart) {
    for (;;) {
        int b = rawByte(r);
        if (b != 0xFF) return b;
        int m;
        do m = rawByte(r);
        while (m == 0xFF);
        if (m == 0) return 0xFF;
        if (m >= 0xD0 && m <= 0xD7) *restart = 1;
    }
}

// Folds restart markers whose first following bit has been consumed into
// restart_passed.
void passRestarts(const Reader& r) {
    uint64_t consumed = r.fetched - uint64_t(r.count);
    while (J.restart_head != J.restart_tail && J.restart_at[J.restart_head & 15] < consumed) {
        J.restart_head++;
        J.restart_passed = 1;
    }
}

void refillSlow(Reader& r) {
    int restart = 0;
    int b = dataByteSlow(r, &restart);
    if (restart) {
        passRestarts(r);
        J.restart_at[J.restart_tail & 15] = r.fetched;
        J.restart_tail++;
    }
    r.buf |= uint64_t(b) << (56 - r.count);
    r.count += 8;
    r.fetched += 8;
}

inline void refill(Reader& r) {
    while (r.count <= 56) {
        if (r.pos < r.size && r.file[r.pos] != 0xFF) {
            r.buf |= uint64_t(r.file[r.pos++]) << (56 - r.count);
            r.count += 8;
            r.fetched += 8;
        } else {
            refillSlow(r);
        }
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

// Codes longer than the 9-bit look-up. A code that matches nothing within
// 16 bits yields the 16 bits read as the symbol, as the per-bit search does.
int huffmanSlow(Reader& r, const jpeg_huffman_table_t& t) {
    int bits16 = int(r.buf >> 48);
    for (int l = 10; l <= 16; l++) {
        int code = bits16 >> (16 - l);
        if (code <= t.maxcode[l]) {
            consume(r, l);
            return t.values[t.valptr[l] + code - t.mincode[l]];
        }
    }
    consume(r, 16);
    return bits16;
}

inline int huffman(Reader& r, const jpeg_huffman_table_t& t) {
    if (r.count < 16) refill(r);
    int e = t.fast[r.buf >> 55];
    if (e) {
        consume(r, e >> 8);
        return e & 255;
    }
    return huffmanSlow(r, t);
}

// ------------------------------------------------------------ blocks

inline int sampleOf(float v) {
    if (v > 65536.0f) v = 65536.0f; // keeps the conversion defined; clamps anyway
    if (v < -65536.0f) v = -65536.0f;
    int s = (int(v) >> 3) + 128;
    return s < 0 ? 0 : (s > 255 ? 255 : s);
}

// Decodes one block of component c into 64 samples, row-major.
void decodeBlock(Reader& r, int c, uint8_t* samples) {
    const jpeg_component_t& k = J.components[c];
    const int* q = J.quant_tables[k.quant_table];
    int s = huffman(r, J.dc_tables[k.dc_table]) & 15;
    int diff = jpeg_bit2int(s, getBits(r, s));
    if (J.restart_head != J.restart_tail || J.restart_passed) {
        passRestarts(r);
        if (J.restart_passed) J.dc_pred[0] = J.dc_pred[1] = J.dc_pred[2] = J.restart_passed = 0;
    }
    int dc = int(unsigned(J.dc_pred[c]) + unsigned(diff)); // wraps instead of overflowing
    J.dc_pred[c] = dc;

    alignas(16) float dct[64];
    memset(dct, 0, sizeof dct);
    dct[0] = float(q[0]) * float(dc) * aanscale[0] * aanscale[0];
    bool ac = false;
    const jpeg_huffman_table_t& act = J.ac_tables[k.ac_table];
    for (int z = 1; z <= 63;) {
        int rs = huffman(r, act);
        if (rs == 0) break;
        int run = rs >> 4, size = rs & 15;
        if (z + run > 63) break; // a run past the block's end ends it
        z += run;
        int v = jpeg_bit2int(size, getBits(r, size));
        if (v) {
            int n = natural.at[z];
            dct[n] = float(q[z]) * float(v) * aanscale[n & 7] * aanscale[n >> 3];
            ac = true;
        }
        z++;
    }
    if (!ac) { // a flat block: the transform leaves the DC term in every sample
        memset(samples, sampleOf(dct[0]), 64);
        return;
    }
    jpeg_idct(dct);
    for (int n = 0; n < 64; n++) samples[n] = uint8_t(sampleOf(dct[n]));
}

// Writes a block's samples into byte c of the pixels it covers, each sample
// replicated into hs x vs pixels; pixels past the image's edges are dropped.
void storeBlock(int c, int px, int py, int hs, int vs, const uint8_t* samples) {
    int w = J.width - px, h = J.height - py;
    if (w > 8 * hs) w = 8 * hs;
    if (h > 8 * vs) h = 8 * vs;
    for (int y = 0; y < h; y++) {
        const uint8_t* row = samples + (y / vs) * 8;
        uint8_t* d = J.data + (size_t(py + y) * size_t(J.width) + size_t(px)) * 4 + c;
        if (hs == 1) {
            for (int x = 0; x < w; x++) d[4 * x] = row[x];
        } else if (hs == 2) {
            for (int x = 0; x < w; x++) d[4 * x] = row[x >> 1];
        } else {
            for (int x = 0; x < w; x++) d[4 * x] = row[x / hs];
        }
    }
}

// One pass of the 1-D transform over eight columns at once: element r of
// column c is b[8 * r + c]. Each lane computes exactly the scalar sequence.
void idctColumns(float* b) {
    for (int c = 0; c < 8; c++) {
        float i0 = b[c], i1 = b[8 + c], i2 = b[16 + c], i3 = b[24 + c];
        float i4 = b[32 + c], i5 = b[40 + c], i6 = b[48 + c], i7 = b[56 + c];
        float t10 = i0 + i4, t11 = i0 - i4;
        float t13 = i2 + i6, t12 = (i2 - i6) * 1.4142135f - t13;
        float e0 = t10 + t13, e3 = t10 - t13, e1 = t11 + t12, e2 = t11 - t12;
        float z13 = i5 + i3, z10 = i5 - i3, z11 = i1 + i7, z12 = i1 - i7;
        float o7 = z11 + z13;
        float u11 = (z11 - z13) * 1.4142135f;
        float z5 = (z10 + z12) * 1.847759f;
        float u10 = z12 * 1.0823922f - z5;
        float u12 = z5 - z10 * 2.613126f;
        float o6 = u12 - o7, o5 = u11 - o6, o4 = u10 + o5;
        b[c] = e0 + o7;
        b[56 + c] = e0 - o7;
        b[8 + c] = e1 + o6;
        b[48 + c] = e1 - o6;
        b[16 + c] = e2 + o5;
        b[40 + c] = e2 - o5;
        b[32 + c] = e3 + o4;
        b[24 + c] = e3 - o4;
    }
}

void transpose(const float* in, float* out) {
    for (int r = 0; r < 8; r++)
        for (int c = 0; c < 8; c++) out[8 * c + r] = in[8 * r + c];
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
        default: skipBytes(length - 2); break;
        }
        if (!ok) return 0;
        if (J.eof) return fail(cutOff);
    }
}

// ---------------------------------------------------------------- scan

void jpeg_decompress() {
    int nc = J.num_components;
    const jpeg_component_t& y = J.components[0];
    int hs[3] = {1, 1, 1}, vs[3] = {1, 1, 1};
    for (int c = 1; c < nc; c++) {
        hs[c] = y.h_samp / J.components[c].h_samp;
        vs[c] = y.v_samp / J.components[c].v_samp;
    }
    J.dc_pred[0] = J.dc_pred[1] = J.dc_pred[2] = 0;
    Reader r = loadReader();
    alignas(16) uint8_t samples[64];
    for (int y0 = 0; y0 < J.height; y0 += 8 * y.v_samp) {
        if (J.restart_interval > 0) consume(r, r.count & 7); // to a byte boundary
        for (int x0 = 0; x0 < J.width; x0 += 8 * y.h_samp) {
            for (int c = 0; c < nc; c++) {
                const jpeg_component_t& k = J.components[c];
                for (int by = 0; by < k.v_samp; by++) {
                    for (int bx = 0; bx < k.h_samp; bx++) {
                        decodeBlock(r, c, samples);
                        storeBlock(c, x0 + 8 * bx * hs[c], y0 + 8 * by * vs[c], hs[c], vs[c], samples);
                    }
                }
            }
        }
    }
    storeReader(r);
}

void jpeg_ycbcr2rgb() {
    uint8_t* p = J.data;
    size_t n = size_t(J.width) * size_t(J.height);
    for (size_t i = 0; i < n; i++, p += 4) {
        float y = float(p[0]);
        float cb = float(p[1] - 128), cr = float(p[2] - 128);
        int r = int(y + 1.402f * cr);
        int g = int(y - 0.34414f * cb - 0.71414f * cr);
        int b = int(y + 1.772f * cb);
        p[0] = uint8_t(r < 0 ? 0 : (r > 255 ? 255 : r));
        p[1] = uint8_t(g < 0 ? 0 : (g > 255 ? 255 : g));
        p[2] = uint8_t(b < 0 ? 0 : (b > 255 ? 255 : b));
        p[3] = 255;
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
    FILE* f = fopen(path, "rb");
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
    JpegImage image;
    image.error = J.error;
    if (!J.frame_ok) {
        if (!image.error) image.error = "no baseline frame header";
        return image;
    }
    size_t pixels = size_t(J.width) * size_t(J.height);
    J.data = (uint8_t*)malloc(pixels * 4);
    if (!J.data) {
        image.error = "not enough memory for the pixels";
        return image;
    }
    if (J.scan_ok) {
        decompress();
        if (J.num_components == 1) jpeg_gray2rgb();
        else jpeg_ycbcr2rgb();
    } else { // a frame without a scan: opaque black
        for (size_t i = 0; i < pixels; i++) {
            J.data[4 * i] = J.data[4 * i + 1] = J.data[4 * i + 2] = 0;
            J.data[4 * i + 3] = 255;
        }
    }
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
