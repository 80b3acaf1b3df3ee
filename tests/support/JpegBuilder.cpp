// Hand-made JPEG streams (see JpegBuilder.h).
#include "tests/support/JpegBuilder.h"

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
        acc = 0;
        count = 0;
    }
}

void BitWriter::dc(int difference) {
    int s = category(difference);
    put((1u << (s + 1)) - 2, s + 1); // s ones, then a zero
    put(magnitude(difference, s), s);
}

void BitWriter::symbol(uint8_t rs) {
    for (unsigned i = 0; i < sizeof acSymbols; i++) {
        if (acSymbols[i] == rs) put(i, 4);
    }
}

void BitWriter::ac(int run, int value) {
    int s = category(value);
    symbol(uint8_t(run << 4 | s));
    put(magnitude(value, s), s);
}

void BitWriter::raw(std::vector<uint8_t> data) {
    while (count) put(1, 1);
    out.insert(out.end(), data.begin(), data.end());
}

std::vector<uint8_t> BitWriter::bytes() {
    raw({});
    return out;
}

std::vector<uint8_t> handJpeg(const HandFrame& frame, const std::vector<uint8_t>& scanData) {
    std::vector<uint8_t> out = {0xFF, 0xD8}, dqt = {0x00}, dcTable = {0x00},
                         acTable = {0x10, 0, 0, 0, 12};
    dqt.insert(dqt.end(), 64, uint8_t(frame.quant));
    segment(out, 0xDB, dqt);
    for (int l = 1; l <= 16; l++) dcTable.push_back(l <= 12 ? 1 : 0);
    for (int s = 0; s < 12; s++) dcTable.push_back(uint8_t(s));
    segment(out, 0xC4, dcTable);
    acTable.insert(acTable.end(), 12, 0);
    acTable.insert(acTable.end(), acSymbols, acSymbols + sizeof acSymbols);
    segment(out, 0xC4, acTable);
    out.insert(out.end(), frame.beforeFrame.begin(), frame.beforeFrame.end());
    std::vector<std::pair<int, int>> sampling = frame.sampling;
    if (sampling.empty()) sampling.push_back({1, 1});
    uint8_t n = uint8_t(sampling.size());
    std::vector<uint8_t> sof = {8,
                                uint8_t(frame.height >> 8),
                                uint8_t(frame.height),
                                uint8_t(frame.width >> 8),
                                uint8_t(frame.width),
                                n};
    std::vector<uint8_t> sos = {n};
    for (int c = 0; c < n; c++) {
        sof.insert(sof.end(), {uint8_t(c + 1), uint8_t(sampling[c].first << 4 | sampling[c].second), 0});
        sos.insert(sos.end(), {uint8_t(c + 1), 0x00});
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
