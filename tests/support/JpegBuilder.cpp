// Hand-made JPEG streams (see JpegBuilder.h).
#include "tests/support/JpegBuilder.h"

#include <algorithm>

namespace testsupport {
namespace {

const uint8_t acSymbols[12] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0xF0, 0x11, 0x21};

int category(int v) {
    int s = 0;
    for (int a = v < 0 ? -v : v; a; a >>= 1) s++;
    return s;
}

// The magnitude bits of v in category s: v itself, or v - 1 in s bits when negative.
unsigned magnitude(int v, int s) {
    return unsigned(v < 0 ? v + (1 << s) - 1 : v);
}

void segment(std::vector<uint8_t>& out, uint8_t marker, const std::vector<uint8_t>& body) {
    out.insert(out.end(), {0xFF, marker, uint8_t((body.size() + 2) >> 8), uint8_t(body.size() + 2)});
    out.insert(out.end(), body.begin(), body.end());
}

} // namespace

void BitWriter::put(unsigned value, int bits) {
    for (int i = bits - 1; i >= 0; i--) {
        acc = (acc << 1) | ((value >> i) & 1);
        if (++count < 8) continue;
        out.push_back(uint8_t(acc));
        if (acc == 0xFF) out.push_back(0x00);
        acc = count = 0;
    }
}

BitWriter& BitWriter::dc(int difference) {
    int s = category(difference);
    put((1u << (s + 1)) - 2, s + 1); // s ones, then a zero
    put(magnitude(difference, s), s);
    return *this;
}

BitWriter& BitWriter::symbol(uint8_t rs) {
    put(unsigned(std::find(acSymbols, acSymbols + 12, rs) - acSymbols), 4); // rs must be one of them
    return *this;
}

BitWriter& BitWriter::ac(int run, int value) {
    int s = category(value);
    symbol(uint8_t(run << 4 | s));
    put(magnitude(value, s), s);
    return *this;
}

BitWriter& BitWriter::raw(std::vector<uint8_t> data) {
    while (count) put(1, 1);
    out.insert(out.end(), data.begin(), data.end());
    return *this;
}

std::vector<uint8_t> BitWriter::bytes() {
    raw({});
    return out;
}

std::vector<uint8_t> handJpeg(const HandFrame& frame, const std::vector<uint8_t>& scanData) {
    std::vector<uint8_t> out = {0xFF, 0xD8}, dqt(65, 1), dc = {0x00}, ac = {0x10, 0, 0, 0, 12};
    dqt[0] = 0x00; // 8-bit entries, id 0
    segment(out, 0xDB, dqt);
    for (int l = 1; l <= 16; l++) dc.push_back(l <= 12 ? 1 : 0);
    for (int s = 0; s < 12; s++) dc.push_back(uint8_t(s));
    segment(out, 0xC4, dc);
    ac.insert(ac.end(), 12, 0);
    ac.insert(ac.end(), acSymbols, acSymbols + sizeof acSymbols);
    segment(out, 0xC4, ac);
    out.insert(out.end(), frame.beforeFrame.begin(), frame.beforeFrame.end());
    uint8_t n = uint8_t(frame.components);
    std::vector<uint8_t> sof = {8}, sos = {n};
    for (int v : {frame.height, frame.width}) sof.insert(sof.end(), {uint8_t(v >> 8), uint8_t(v)});
    sof.push_back(n);
    for (uint8_t c = 1; c <= n; c++) {
        sof.insert(sof.end(), {c, 0x11, 0}); // id, 1x1 sampling, quantisation table 0
        sos.insert(sos.end(), {c, 0x00});    // id, Huffman tables 0 and 0
    }
    sos.insert(sos.end(), {0, 63, 0});
    segment(out, 0xC0, sof);
    if (frame.restartInterval)
        segment(out, 0xDD, {uint8_t(frame.restartInterval >> 8), uint8_t(frame.restartInterval)});
    segment(out, 0xDA, sos);
    out.insert(out.end(), scanData.begin(), scanData.end());
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

} // namespace testsupport
