// Hand-made JPEG streams (see JpegBuilder.h).
#include "tests/support/JpegBuilder.h"

namespace testsupport {

const uint8_t handAcSymbols[12] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05,
                                   0x06, 0x07, 0x08, 0xF0, 0x11, 0x21};

namespace {

int category(int v) {
    int a = v < 0 ? -v : v, s = 0;
    while (a) {
        s++;
        a >>= 1;
    }
    return s;
}

void segment(std::vector<uint8_t>& out, uint8_t marker, const std::vector<uint8_t>& body) {
    out.push_back(0xFF);
    out.push_back(marker);
    out.push_back(uint8_t((body.size() + 2) >> 8));
    out.push_back(uint8_t(body.size() + 2));
    out.insert(out.end(), body.begin(), body.end());
}

} // namespace

void BitWriter::put(unsigned value, int bits) {
    for (int i = bits - 1; i >= 0; i--) {
        acc = (acc << 1) | ((value >> i) & 1);
        if (++count == 8) {
            out.push_back(uint8_t(acc));
            if (acc == 0xFF) out.push_back(0x00);
            acc = 0;
            count = 0;
        }
    }
}

void BitWriter::dc(int difference) {
    int s = category(difference);
    put((1u << (s + 1)) - 2, s + 1); // s ones, then a zero
    put(unsigned(difference < 0 ? difference + (1 << s) - 1 : difference), s);
}

void BitWriter::symbol(uint8_t rs) {
    for (unsigned i = 0; i < sizeof handAcSymbols; i++) {
        if (handAcSymbols[i] == rs) put(i, 4);
    }
}

void BitWriter::ac(int run, int value) {
    int s = category(value);
    symbol(uint8_t(run << 4 | s));
    put(unsigned(value < 0 ? value + (1 << s) - 1 : value), s);
}

void BitWriter::flush() {
    while (count) put(1, 1);
}

void BitWriter::marker(uint8_t code) {
    raw({0xFF, code});
}

void BitWriter::raw(std::vector<uint8_t> data) {
    flush();
    out.insert(out.end(), data.begin(), data.end());
}

std::vector<uint8_t> BitWriter::bytes() {
    flush();
    return out;
}

std::vector<uint8_t> handJpeg(const HandFrame& frame, const std::vector<uint8_t>& scanData) {
    std::vector<uint8_t> out = {0xFF, 0xD8};
    std::vector<uint8_t> dqt = {0x00};
    dqt.insert(dqt.end(), 64, uint8_t(frame.quant));
    segment(out, 0xDB, dqt);
    std::vector<uint8_t> dcTable = {0x00};
    for (int l = 1; l <= 16; l++) dcTable.push_back(l <= 12 ? 1 : 0);
    for (int s = 0; s < 12; s++) dcTable.push_back(uint8_t(s));
    segment(out, 0xC4, dcTable);
    std::vector<uint8_t> acTable = {0x10, 0, 0, 0, sizeof handAcSymbols};
    acTable.insert(acTable.end(), 12, 0);
    acTable.insert(acTable.end(), handAcSymbols, handAcSymbols + sizeof handAcSymbols);
    segment(out, 0xC4, acTable);
    out.insert(out.end(), frame.beforeFrame.begin(), frame.beforeFrame.end());
    std::vector<std::pair<int, int>> sampling = frame.sampling;
    if (sampling.empty()) sampling.push_back({1, 1});
    int n = int(sampling.size());
    std::vector<uint8_t> sof = {8,
                                uint8_t(frame.height >> 8),
                                uint8_t(frame.height),
                                uint8_t(frame.width >> 8),
                                uint8_t(frame.width),
                                uint8_t(n)};
    for (int c = 0; c < n; c++) {
        sof.push_back(uint8_t(c + 1));
        sof.push_back(uint8_t(sampling[c].first << 4 | sampling[c].second));
        sof.push_back(0);
    }
    segment(out, 0xC0, sof);
    if (frame.restartInterval)
        segment(out, 0xDD, {uint8_t(frame.restartInterval >> 8), uint8_t(frame.restartInterval)});
    std::vector<uint8_t> sos = {uint8_t(n)};
    for (int c = 0; c < n; c++) {
        sos.push_back(uint8_t(c + 1));
        sos.push_back(0x00);
    }
    sos.insert(sos.end(), {0, 63, 0});
    segment(out, 0xDA, sos);
    out.insert(out.end(), scanData.begin(), scanData.end());
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

} // namespace testsupport
