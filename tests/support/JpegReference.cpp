// Per-bit reference decoder of the scan (see JpegReference.h). Slow on
// purpose: every bit is fetched by itself and every code found by search.
#include "tests/support/JpegReference.h"

namespace testsupport {
namespace {

// The scan's state: the per-bit reader over the record's file, from its
// file_pos on, and the DC predictors.
struct Scan {
    jpeg_file_t& j;
    int pos = 0;      // 0..7: next bit of byte, MSB first; 0: fetch first
    uint8_t byte = 0; // last byte fetched
    int dc_pred[3] = {};
};

int readByte(jpeg_file_t& j) {
    return j.file_pos < j.file_size ? j.file[j.file_pos++] : 0;
}

// 0xFF 0x00 is a data 0xFF; fill bytes before a marker code are skipped; a
// restart marker resets the predictors; the byte after a marker is read by
// the same rule.
int readBit(Scan& s) {
    jpeg_file_t& j = s.j;
    if (s.pos == 0) {
        int v = readByte(j);
        while (v == 0xFF) {
            int m = readByte(j);
            while (m == 0xFF) m = readByte(j);
            if (m == 0) break;
            if (m >= 0xD0 && m <= 0xD7) s.dc_pred[0] = s.dc_pred[1] = s.dc_pred[2] = 0;
            v = readByte(j);
        }
        s.byte = uint8_t(v);
    }
    int bit = (s.byte >> (7 - s.pos)) & 1;
    s.pos = (s.pos + 1) & 7;
    return bit;
}

// The next n bits as a magnitude of category n: values below 2^(n-1) are negative.
int readValue(Scan& s, int n) {
    int v = 0;
    for (int i = 0; i < n; i++) v = v * 2 + readBit(s);
    return n == 0 || (v >> (n - 1)) ? v : v - (1 << n) + 1;
}

int huffmanCode(Scan& s, const jpeg_huffman_table_t& t) {
    int code = 0, i = 0;
    for (int l = 1; l <= 16; l++) {
        code = code * 2 + readBit(s);
        for (; i < t.count && t.sizes[i] <= l; i++) {
            if (t.codes[i] == code) return t.values[i];
        }
    }
    return code;
}

// The 1-D inverse DCT on eight values stride apart. Written out again on
// purpose: the decoder runs it in SIMD lanes between transposes, and this
// plain strided form is what it must match.
void pass(float* p, int stride) {
    float i0 = p[0], i1 = p[stride], i2 = p[2 * stride], i3 = p[3 * stride];
    float i4 = p[4 * stride], i5 = p[5 * stride], i6 = p[6 * stride], i7 = p[7 * stride];
    float t10 = i0 + i4, t11 = i0 - i4, t13 = i2 + i6;
    float t12 = (i2 - i6) * 1.4142135f - t13;
    float e0 = t10 + t13, e3 = t10 - t13, e1 = t11 + t12, e2 = t11 - t12;
    float z13 = i5 + i3, z10 = i5 - i3, z11 = i1 + i7, z12 = i1 - i7;
    float o7 = z11 + z13;
    float u11 = (z11 - z13) * 1.4142135f;
    float z5 = (z10 + z12) * 1.847759f;
    float u10 = z12 * 1.0823922f - z5;
    float u12 = z5 - z10 * 2.613126f;
    float o6 = u12 - o7, o5 = u11 - o6, o4 = u10 + o5;
    float out[8] = {e0 + o7, e1 + o6, e2 + o5, e3 - o4, e3 + o4, e2 - o5, e1 - o6, e0 - o7};
    for (int k = 0; k < 8; k++) p[k * stride] = out[k];
}

// Decodes one block of component c into dct: the samples times eight, before the level shift.
void decodeBlock(Scan& s, int c, float* dct) {
    jpeg_file_t& j = s.j;
    const jpeg_component_t& k = j.components[c];
    float vector[64] = {};
    int diff = readValue(s, huffmanCode(s, j.dc_tables[k.dc_table]) & 15); // may pass a restart marker
    s.dc_pred[c] = int(unsigned(s.dc_pred[c]) + unsigned(diff));
    vector[0] = float(s.dc_pred[c]);
    for (int z = 1; z <= 63;) {
        int r = huffmanCode(s, j.ac_tables[k.ac_table]);
        if (r == 0 || z + r / 16 > 63) break;
        z += r / 16;
        vector[z++] = float(readValue(s, r & 15));
    }
    const int* q = j.quant_tables[k.quant_table];
    for (int n = 0; n < 64; n++) // natural position n holds zig-zag entry jpeg_zigzag[n]
        dct[n] = float(q[jpeg_zigzag[n]]) * vector[jpeg_zigzag[n]] * aanscale[n % 8] * aanscale[n / 8];
    for (int col = 0; col < 8; col++) pass(dct + col, 8);
    for (int row = 0; row < 8; row++) pass(dct + 8 * row, 1);
}

int levelShift(float v) {
    v = v > 65536.0f ? 65536.0f : (v < -65536.0f ? -65536.0f : v);
    int s = (int(v) >> 3) + 128;
    return s < 0 ? 0 : (s > 255 ? 255 : s);
}

void put(jpeg_file_t& j, int c, int x, int y, int sample) {
    if (x < j.width && y < j.height) j.data[(size_t(y) * j.width + x) * 4 + c] = uint8_t(sample);
}

} // namespace

void jpegReferenceDecompress(jpeg_file_t& j) {
    const jpeg_component_t* k = j.components;
    Scan scan{j};
    float dct[64];
    for (int y0 = 0; y0 < j.height; y0 += 8 * k[0].v_samp) {
        if (j.restart_interval > 0) scan.pos = 0;
        for (int x0 = 0; x0 < j.width; x0 += 8 * k[0].h_samp) {
            for (int c = 0; c < j.num_components; c++) {
                int hs = k[0].h_samp / k[c].h_samp, vs = k[0].v_samp / k[c].v_samp; // replication
                for (int block = 0; block < k[c].v_samp * k[c].h_samp; block++) {
                    decodeBlock(scan, c, dct);
                    int bx = x0 + 8 * hs * (block % k[c].h_samp),
                        by = y0 + 8 * vs * (block / k[c].h_samp);
                    for (int n = 0; n < 64; n++) { // each sample to its hs x vs pixels
                        for (int r = 0; r < hs * vs; r++)
                            put(j, c, bx + n % 8 * hs + r % hs, by + n / 8 * vs + r / hs,
                                levelShift(dct[n]));
                    }
                }
            }
        }
    }
    if (j.num_components == 1) jpeg_gray2rgb(j);
    else jpeg_ycbcr2rgb(j);
}

} // namespace testsupport
