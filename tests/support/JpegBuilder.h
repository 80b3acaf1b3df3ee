// Hand-made baseline JPEG streams for decoder tests. Fixed Huffman tables:
// DC category s (0..11) has the unary code of s ones and a zero; the AC
// symbols 00 01..08 F0 11 21 have 4-bit codes equal to their index. One
// quantisation table of ones (id 0) serves every component.
#pragma once

#include <cstdint>
#include <vector>

namespace testsupport {

// Entropy-coded data written bit by bit, 0xFF bytes stuffed with 0x00.
class BitWriter {
public:
    BitWriter& dc(int difference);             // category code and magnitude bits
    BitWriter& ac(int run, int value);         // run of zeros, then a non-zero value
    BitWriter& symbol(uint8_t rs);             // a raw AC symbol (0x00 end of block, 0xF0 sixteen zeros)
    BitWriter& raw(std::vector<uint8_t> data); // pads with one bits to a byte boundary, then the bytes
    std::vector<uint8_t> bytes();              // padded data

private:
    void put(unsigned value, int bits);
    std::vector<uint8_t> out;
    uint32_t acc = 0;
    int count = 0; // bits in acc, 0..7
};

struct HandFrame {
    int width = 8, height = 8;
    int components = 1;               // each with 1x1 sampling
    int restartInterval = 0;          // MCUs; 0: no DRI segment
    std::vector<uint8_t> beforeFrame; // raw bytes after the tables, before SOF0
};

// SOI, DQT, DHT (DC and AC table 0), extra bytes, SOF0, DRI, SOS, data, EOI.
std::vector<uint8_t> handJpeg(const HandFrame& frame, const std::vector<uint8_t>& scanData);

} // namespace testsupport
