// The JPEG decoder without GL: colour conversion, flat blocks, the entropy
// stream (runs, stuffing, fill bytes, segments, restarts), masks, files
// outside the supported subset, cut and damaged files. Every decode is
// checked byte for byte against the per-bit reference; clean ones also
// against libjpeg, on encoded files and on the shared real-world samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "render/Jpg.h"
#include "render/JpgInternal.h"
#include "tests/support/JpegBuilder.h"
#include "tests/support/JpegReference.h"
#include "tools/common/LibJpeg.h"

using namespace testsupport;
using namespace libjpeg;

namespace {

// Largest difference of any R, G or B byte from libjpeg's float-IDCT,
// replication-upsampling decode. Y, Cb and Cr each differ by at most 1:
// the level shift floors the IDCT output where libjpeg rounds it, and
// libjpeg's folding of the AAN factors into its quantisation table moves a
// float result by far less than a step. The conversion then truncates
// toward zero where libjpeg rounds (up to 1 plus 0.5). B = Y + 1.772 cb is
// the worst channel: 1 + 1.772 + 1.5 = 4.27, so at most 4 (R: 3.9, G: 3.56);
// clamping only narrows it. Measured on every encoded and sample file: 4.
constexpr int roundingBound = 4;

struct Decoded {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    std::string error;
};

Decoded decode(const std::vector<uint8_t>& file, void (*decompress)(jpeg_file_t&) = jpeg_decompress) {
    JpegImage image = jpegDecodeWith(file.data(), file.size(), decompress);
    Decoded d{image.width, image.height, {}, image.error ? image.error : ""};
    if (image.data) d.rgba.assign(image.data, image.data + size_t(image.width) * image.height * 4);
    free(image.data);
    return d;
}

struct Case {
    std::string what;
    std::vector<uint8_t> file;
    const char* reason = ""; // part of the expected error; "": a clean decode; null: any
};

// Decodes a case: byte for byte like the per-bit reference (the width and
// the bytes fix the height; above 4 megapixels the reference is left out,
// as too slow), with at most a one-line error, and when clean like libjpeg
// within roundingBound. Returns the fast decode.
Decoded expectCase(const Case& c) {
    Decoded d = decode(c.file), reference = d;
    if (d.rgba.size() <= (16u << 20)) reference = decode(c.file, jpegReferenceDecompress);
    EXPECT_TRUE(d.width == reference.width && d.rgba == reference.rgba && d.error == reference.error)
        << c.what << ": differs from the per-bit reference";
    EXPECT_EQ(d.error.find('\n'), std::string::npos) << c.what;
    if (!c.reason) return d;
    EXPECT_TRUE(*c.reason ? d.error.find(c.reason) != std::string::npos : d.error.empty())
        << c.what << ": " << d.error;
    if (*c.reason) return d;
    int width = 0, height = 0, worst = 0;
    std::vector<uint8_t> rgb;
    bool same = decodeWithLibjpeg(c.file.data(), c.file.size(), &width, &height, rgb) &&
                width == d.width && height == d.height && rgb.size() == d.rgba.size() / 4 * 3;
    EXPECT_TRUE(same) << c.what << ": libjpeg fails or gives another size";
    for (size_t i = 0; same && i < rgb.size(); i++)
        worst = std::max(worst, std::abs(rgb[i] - d.rgba[i / 3 * 4 + i % 3]));
    EXPECT_LE(worst, roundingBound) << c.what << ": largest difference from libjpeg";
    return d;
}

// An 8n x 8 image of n flat MCUs of 1x1 blocks; mcus[i] holds the DC values
// of MCU i's components (eight times the sample minus 128).
std::vector<uint8_t> flatMcus(const std::vector<std::vector<int>>& mcus) {
    BitWriter bits;
    for (size_t i = 0; i < mcus.size(); i++)
        for (size_t c = 0; c < mcus[i].size(); c++)
            bits.dc(mcus[i][c] - (i ? mcus[i - 1][c] : 0)).symbol(0x00);
    HandFrame frame;
    frame.width = 8 * int(mcus.size());
    frame.components = int(mcus[0].size());
    return handJpeg(frame, bits.bytes());
}

// A 16 x 16 grey image of MCUs A B / C D with DC differences 400, 0, 200, 0
// and `between` the rows. After a restart marker C is 200, else 600. C's
// code starts with eight one bits: the byte after a marker is a stuffed FF.
std::vector<uint8_t> twoRows(int restartInterval, const std::vector<uint8_t>& between) {
    HandFrame frame;
    frame.width = frame.height = 16;
    frame.restartInterval = restartInterval;
    BitWriter bits;
    bits.dc(400).symbol(0x00).dc(0).symbol(0x00).raw(between).dc(200).symbol(0x00).dc(0).symbol(0x00);
    return handJpeg(frame, bits.bytes());
}

// Offset of the first `marker` segment's body, past its length field.
size_t bodyOf(const std::vector<uint8_t>& file, uint8_t marker) {
    const uint8_t code[2] = {0xFF, marker};
    return size_t(std::search(file.begin(), file.end(), code, code + 2) - file.begin()) + 4;
}

// The file with byte `offset` of the first `marker` segment's body set.
std::vector<uint8_t> patched(std::vector<uint8_t> file, uint8_t marker, int offset, uint8_t value) {
    file.at(bodyOf(file, marker) + offset) = value;
    return file;
}

} // namespace

TEST(Jpg, YCbCrConversionTruncatesTowardZeroAndClamps) {
    // Y, Cb, Cr -> R, G, B: white, black, Cr and Cb at both extremes, all at
    // both, then samples with results within 0.01 of a whole number, which a
    // rounding or a constant off by 1e-4 changes.
    const int table[12][6] = {{255, 128, 128, 255, 255, 255}, {0, 128, 128, 0, 0, 0},
                              {0, 128, 0, 0, 91, 0},          {255, 128, 255, 255, 164, 255},
                              {128, 0, 128, 128, 172, 0},     {128, 255, 128, 128, 84, 255},
                              {0, 0, 0, 0, 135, 0},           {255, 255, 255, 255, 120, 255},
                              {85, 204, 209, 198, 1, 219},    {0, 3, 9, 0, 128, 0},
                              {0, 185, 225, 135, 0, 101},     {0, 150, 230, 143, 0, 38}};
    std::vector<std::vector<int>> mcus;
    for (const auto& t : table) mcus.push_back({8 * t[0] - 1024, 8 * t[1] - 1024, 8 * t[2] - 1024});
    // 96 pixels a row: the fast decoder converts 16 at a time, the reference one by one.
    Decoded d = expectCase({"colour samples", flatMcus(mcus)});
    for (int i = 0; i < 12; i++)
        for (int c = 0; c < 3; c++) EXPECT_EQ(d.rgba.at(32 * i + c), table[i][3 + c]) << "row " << i;
}

TEST(Jpg, FlatGreyBlockIsItsDcTermShiftedDownIntoOpaqueGrey) {
    // DC 80 -> 80 / 8 + 128 = 138; DC -4 -> -4 / 8 rounds down to -1 -> 127.
    for (auto [dc, grey] : {std::pair{80, 138}, std::pair{-4, 127}}) {
        std::vector<uint8_t> rgba = expectCase({"flat grey", flatMcus({{dc}})}).rgba;
        for (size_t i = 0; i < 256; i++) EXPECT_EQ(rgba.at(i), i % 4 == 3 ? 255 : grey) << "byte " << i;
    }
}

TEST(Jpg, EntropyStreamCasesDecodeLikeTheReferenceAndLibjpeg) {
    std::vector<uint8_t> grey = BitWriter().dc(80).symbol(0x00).bytes();
    BitWriter pastTheEnd; // four runs of sixteen zeros would reach position 64
    pastTheEnd.dc(8);
    for (int i = 0; i < 4; i++) pastTheEnd.symbol(0xF0);
    HandFrame segments; // fill bytes, COM, APP1 holding FF D9, COM
    segments.beforeFrame = {0xFF, 0xFF, 0xFF, 0xFE, 0x00, 0x04, 'h',  'i',  0xFF, 0xE1,
                            0x00, 0x05, 0xFF, 0xD9, 0x00, 0xFF, 0xFE, 0x00, 0x02};
    std::vector<uint8_t> cut = handJpeg(HandFrame(), grey);
    cut.resize(cut.size() - 4); // the last data byte and EOI
    const Case cases[] = {
        // Sixteen zeros, then coefficient 17 in zig-zag order.
        {"zero run", handJpeg({}, BitWriter().dc(0).symbol(0xF0).ac(0, 100).symbol(0x00).bytes())},
        {"run past the last coefficient", handJpeg({}, pastTheEnd.ac(0, 5).symbol(0x00).bytes())},
        // DC 255 starts with eight one bits: a stuffed FF right after the fill byte.
        {"fill byte before a stuffed FF",
         handJpeg({}, BitWriter().raw({0xFF}).dc(255).symbol(0x00).bytes())},
        {"fill bytes and segments before the frame", handJpeg(segments, grey)},
        // Eight DC 0 blocks (5 bits each), DC +1 (7 bits), then DC +255,
        // whose value bits are byte 7: a stuffed FF at the end of the first
        // eight-byte read. The next block (+44) shows a misread.
        {"stuffed FF as the eighth byte",
         flatMcus({{0}, {0}, {0}, {0}, {0}, {0}, {0}, {0}, {1}, {256}, {300}})},
        {"restart marker each row", twoRows(2, {0xFF, 0xD0})},
        {"fill byte before a restart marker", twoRows(2, {0xFF, 0xFF, 0xD0})},
        {"restart interval not a row", twoRows(5, {}), "restart interval is not one MCU row"},
        {"entropy data cut off", cut, "file ends inside the image data"},
    };
    for (const Case& c : cases) expectCase(c);
}

TEST(Jpg, MaskAlphaIsItsChannelMeanRoundedDownWhenTheSizesMatch) {
    // Y 0, Cb 185, Cr 225 converts to (135, 0, 101): mean 78.67, alpha 78. A
    // mask of another size is reported and not used.
    const std::pair<std::vector<uint8_t>, int> masks[] = {{flatMcus({{-1024, 456, 776}}), 78},
                                                          {flatMcus({{0}, {0}}), 255}};
    std::vector<uint8_t> colour = flatMcus({{80}});
    for (const auto& [mask, alpha] : masks) {
        const char* error = nullptr; // the mask's
        JpegImage image =
            jpegDecodeMasked(colour.data(), colour.size(), mask.data(), mask.size(), &error);
        EXPECT_EQ(error != nullptr, alpha == 255);
        ASSERT_TRUE(image.data && image.width == 8 && image.height == 8)
            << image.width << " x " << image.height << ", " << (image.error ? image.error : "");
        for (int i = 0; i < 256; i++) EXPECT_EQ(image.data[i], i % 4 == 3 ? alpha : 138) << i;
        free(image.data);
    }
}

TEST(Jpg, FilesOutsideTheSubsetEndCleanlyWithTheirReason) {
    // SOF0 body: 0 precision, 1 height, 3 width, 5 count, then id, sampling, table per component.
    std::vector<uint8_t> base = flatMcus({{0, 0, 0}}), grey = flatMcus({{8}});
    std::vector<uint8_t> manySymbols = {0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x13, 0x00};
    manySymbols.insert(manySymbols.end(), 16, 17); // 272 symbols
    manySymbols.insert(manySymbols.end(), 272, 0);
    const Case cases[] = {
        {"4 components", patched(base, 0xC0, 5, 4), "frame header length"},
        {"sampling 0", patched(base, 0xC0, 7, 0x01), "sampling factor"},
        {"sampling 5", patched(base, 0xC0, 7, 0x51), "sampling factor"},
        {"chroma larger", patched(base, 0xC0, 10, 0x21), "chroma"},
        {"chroma not dividing", patched(patched(base, 0xC0, 7, 0x31), 0xC0, 10, 0x21), "chroma"},
        {"quant id 4", patched(base, 0xC0, 8, 4), "table id"},
        {"grey 2x2", patched(grey, 0xC0, 7, 0x22), "one-component"},
        {"huge", patched(patched(base, 0xC0, 1, 0xFF), 0xC0, 3, 0xFF), "too large"},
        {"zero height", patched(patched(base, 0xC0, 1, 0), 0xC0, 2, 0), "zero"},
        {"12-bit", patched(base, 0xC0, 0, 12), "8-bit"},
        {"progressive", patched(base, 0xC0, -3, 0xC2), "progressive JPEG is not supported"},
        {"Huffman id 5", patched(grey, 0xC4, 0, 0x05), "Huffman table id"},
        {"overflowing lengths", patched(grey, 0xC4, 1, 3), "overflow"},
        {"272 Huffman symbols", manySymbols, "more than 256 symbols"},
        {"not a JPEG", {'G', 'I', 'F', '8', '9', 'a'}, "no marker"},
        {"empty", {}, "ends inside the header"},
        {"no scan", {0xFF, 0xD8, 0xFF, 0xD9}, "end of image"},
    };
    for (const Case& c : cases) expectCase(c);
}

// A file whose frame header is whole gives a picture of the frame's size,
// black where its data is missing or unreadable; one cut inside it, none.
TEST(Jpg, CutAndDamagedFilesDecodeLikeTheReference) {
    JpegEncodeOptions options;
    options.restartEveryRow = true;
    std::vector<uint8_t> file = encodeJpeg(syntheticImage(48, 40, 3), options);
    const size_t frameBody = bodyOf(file, 0xC0), pictureBytes = 48 * 40 * 4;
    const size_t frameEnd = frameBody - 2 + (file.at(frameBody - 2) << 8 | file.at(frameBody - 1));
    for (size_t n = 0; n < file.size(); n += (n < 700 ? 1 : 37)) {
        Decoded d = expectCase({"cut at " + std::to_string(n),
                                std::vector<uint8_t>(file.begin(), file.begin() + n), nullptr});
        EXPECT_EQ(d.rgba.size(), n >= frameEnd ? pictureBytes : 0) << "cut at " << n;
    }
    ASSERT_LT(frameEnd, 200u); // the damage below leaves the frame header whole
    uint32_t seed = 7;
    for (int round = 0; round < 300; round++) {
        std::vector<uint8_t> damaged = file;
        for (int k = 0; k < 1 + round % 4; k++) { // bytes past the first 200, most headers intact
            seed = seed * 1664525u + 1013904223u;
            size_t at = 200 + (seed >> 8) % (damaged.size() - 200);
            seed = seed * 1664525u + 1013904223u;
            damaged[at] = round % 3 == 0 ? 0xFF : uint8_t(seed >> 24);
        }
        Decoded d = expectCase({"damaged round " + std::to_string(round), damaged, nullptr});
        EXPECT_EQ(d.rgba.size(), pictureBytes) << "damaged round " << round;
    }
}

TEST(Jpg, AgreesWithLibjpegWithinRoundingOnEncodedFiles) {
    const int layouts[][3] = {{1, 1, 1}, {3, 1, 1}, {3, 2, 1},
                              {3, 2, 2}, {3, 1, 2}, {3, 4, 1}}; // n, h, v
    const int sizes[][2] = {{1, 1}, {17, 9}, {227, 149}};
    for (int k = 0; k < 6 * 3 * 3; k++) {
        const int *layout = layouts[k / 9], *size = sizes[k / 3 % 3], variant = k % 3;
        JpegEncodeOptions options; // variants: plain, restart every row, 16-bit tables
        options.hSamp = layout[1];
        options.vSamp = layout[2];
        options.restartEveryRow = variant == 1;
        options.sixteenBitTables = variant == 2;
        options.quality = variant == 2 ? 3 : 90;
        std::vector<uint8_t> file = encodeJpeg(syntheticImage(size[0], size[1], layout[0]), options);
        if (variant == 2) file = patched(file, 0xC1, -3, 0xC0); // libjpeg's SOF1 as SOF0
        expectCase(
            {"file " + std::to_string(k) + " (layout k / 9, size k / 3 % 3, variant k % 3)", file});
    }
}

// The shared samples listed in samples.tsv (file, ..., supported yes/no, ...):
// those in the supported subset decode cleanly and like libjpeg, the others
// end cleanly. Without the folder the test fails when CI is set, else skips.
TEST(Jpg, SampleFilesDecodeLikeLibjpegOrEndWithAOneLineReason) {
    const std::string folder = DEMO_SOURCE_DIR "/../shared/jpeg-samples";
    std::ifstream table(folder + "/samples.tsv");
    if (!table && getenv("CI"))
        FAIL() << "the JPEG sample files are required when CI is set: no " << folder << "/samples.tsv";
    if (!table) GTEST_SKIP() << "no sample files: " << folder << "/samples.tsv is missing";
    std::string line;
    std::getline(table, line); // column names
    int supported = 0;
    while (std::getline(table, line)) {
        std::string name = line.substr(0, line.find('\t'));
        std::ifstream in(folder + "/" + name, std::ios::binary);
        EXPECT_TRUE(in) << name << " is listed in samples.tsv but cannot be read";
        bool clean = line.find("\tyes\t") != std::string::npos; // the supported column
        expectCase(
            {name, std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}), clean ? "" : nullptr});
        supported += clean;
    }
    EXPECT_GT(supported, 0);
}
