// The JPEG decoder without GL: colour conversion, flat blocks, the entropy
// stream (runs, stuffing, fill bytes, segments, restarts), masks, files
// outside the supported subset, cut and damaged files. Every decode is
// checked byte for byte against the per-bit reference; clean ones also
// against libjpeg, on encoded files and on the shared real-world samples.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "render/Jpg.h"
#include "tests/support/JpegBuilder.h"
#include "tests/support/JpegReference.h"
#include "tests/support/LibJpeg.h"

using testsupport::BitWriter;
using testsupport::HandFrame;
using testsupport::handJpeg;

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
    bool operator==(const Decoded& o) const {
        return width == o.width && height == o.height && rgba == o.rgba && error == o.error;
    }
};

Decoded toDecoded(JpegImage image) {
    Decoded d{image.width, image.height, {}, image.error ? image.error : ""};
    if (image.data) d.rgba.assign(image.data, image.data + size_t(image.width) * image.height * 4);
    free(image.data);
    return d;
}

Decoded decode(const std::vector<uint8_t>& file, void (*decompress)() = jpeg_decompress) {
    return toDecoded(jpegDecodeWith(file.data(), file.size(), decompress));
}

// The fast decode, which must equal the per-bit reference's in every byte.
Decoded decodeChecked(const std::vector<uint8_t>& file, const std::string& what) {
    Decoded fast = decode(file);
    EXPECT_TRUE(fast == decode(file, testsupport::jpegReferenceDecompress))
        << what << ": differs from the per-bit reference";
    return fast;
}

struct Case {
    std::string what;
    std::vector<uint8_t> file;
    const char* reason = ""; // part of the expected error; "" for a clean decode
    bool libjpeg = false;    // libjpeg decodes it alike within roundingBound
};

// Checks a case (see Case) and returns its largest difference from libjpeg.
int expectCase(const Case& c) {
    Decoded d = decodeChecked(c.file, c.what);
    EXPECT_NE(d.error.find(c.reason), std::string::npos) << c.what << ": " << d.error;
    EXPECT_TRUE(*c.reason || d.error.empty()) << c.what << ": " << d.error;
    EXPECT_EQ(d.error.find('\n'), std::string::npos) << c.what;
    if (!c.libjpeg) return 0;
    int width = 0, height = 0, worst = 0;
    std::vector<uint8_t> rgb;
    bool same = testsupport::decodeWithLibjpeg(c.file.data(), c.file.size(), &width, &height, rgb) &&
                width == d.width && height == d.height;
    EXPECT_TRUE(same) << c.what << ": libjpeg fails or gives another size";
    for (size_t i = 0; same && i < rgb.size(); i++)
        worst = std::max(worst, std::abs(rgb[i] - d.rgba[i / 3 * 4 + i % 3]));
    EXPECT_LE(worst, roundingBound) << c.what;
    return worst;
}

// An 8n x 8 image of n flat MCUs, each 1x1 block of each component; mcus[i]
// holds the DC values of MCU i (eight times the sample minus 128).
std::vector<uint8_t> flatMcus(const std::vector<std::vector<int>>& mcus) {
    BitWriter bits;
    std::vector<int> previous(3, 0);
    for (const std::vector<int>& dc : mcus) {
        for (size_t c = 0; c < dc.size(); c++) {
            bits.dc(dc[c] - previous[c]);
            bits.symbol(0x00);
            previous[c] = dc[c];
        }
    }
    HandFrame frame;
    frame.width = 8 * int(mcus.size());
    frame.sampling.assign(mcus[0].size(), {1, 1});
    return handJpeg(frame, bits.bytes());
}

std::vector<uint8_t> repeated(const std::vector<uint8_t>& pixel, int count) {
    std::vector<uint8_t> out;
    for (int i = 0; i < count; i++) out.insert(out.end(), pixel.begin(), pixel.end());
    return out;
}

// A 16 x 16 grey image of MCUs A B / C D with DC 400 (sample 178), +0, +200,
// +0 and `between` the rows. After a restart marker C is 200 (153), else 600
// (203); its code starts with eight one bits, so the byte after the marker
// is a stuffed 0xFF.
std::vector<uint8_t> twoRows(int restartInterval, const std::vector<uint8_t>& between) {
    BitWriter bits;
    for (int dc : {400, 0, 200, 0}) {
        if (dc == 200) bits.raw(between);
        bits.dc(dc);
        bits.symbol(0x00);
    }
    HandFrame frame;
    frame.width = frame.height = 16;
    frame.restartInterval = restartInterval;
    return handJpeg(frame, bits.bytes());
}

std::vector<uint8_t> patched(std::vector<uint8_t> file, uint8_t marker, int offset, uint8_t value) {
    for (size_t i = 0; i + 1 < file.size(); i++) {
        if (file[i] == 0xFF && file[i + 1] == marker) {
            file[i + 4 + offset] = value;
            break;
        }
    }
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
    for (const auto& t : table) mcus.push_back({8 * (t[0] - 128), 8 * (t[1] - 128), 8 * (t[2] - 128)});
    // 96 pixels a row: the fast decoder converts 16 at a time, the reference one by one.
    for (void (*decompress)() : {jpeg_decompress, testsupport::jpegReferenceDecompress}) {
        Decoded d = decode(flatMcus(mcus), decompress);
        for (int i = 0; i < 12; i++) {
            for (int c = 0; c < 3; c++) EXPECT_EQ(d.rgba[32 * i + c], table[i][3 + c]) << "row " << i;
        }
    }
}

TEST(Jpg, FlatGreyBlockIsItsDcTermShiftedDownIntoOpaqueGrey) {
    // DC 80 -> 80 / 8 + 128 = 138; DC -4 -> -4 / 8 rounds down to -1 -> 127.
    for (auto [dc, grey] : {std::pair{80, 138}, std::pair{-4, 127}}) {
        EXPECT_EQ(decodeChecked(flatMcus({{dc}}), "flat").rgba,
                  repeated({uint8_t(grey), uint8_t(grey), uint8_t(grey), 255}, 64));
    }
}

TEST(Jpg, EntropyStreamCasesDecodeLikeTheReferenceAndLibjpeg) {
    BitWriter zeroRun, pastTheEnd, fillThenStuffed, grey;
    zeroRun.dc(0);
    zeroRun.symbol(0xF0); // sixteen zeros, then coefficient 17 in zig-zag order
    zeroRun.ac(0, 100);
    pastTheEnd.dc(8);
    for (int i = 0; i < 4; i++) pastTheEnd.symbol(0xF0); // would reach position 64
    pastTheEnd.ac(0, 5);
    fillThenStuffed.raw({0xFF});
    fillThenStuffed.dc(255); // eight one bits first: FF 00 after the fill byte
    grey.dc(80);
    for (BitWriter* w : {&zeroRun, &pastTheEnd, &fillThenStuffed, &grey}) w->symbol(0x00);
    HandFrame fill, segments;
    fill.beforeFrame = {0xFF, 0xFF, 0xFF, 0xFE, 0x00, 0x04, 'h', 'i'}; // fill bytes, then COM
    segments.beforeFrame = {0xFF, 0xE1, 0x00, 0x05, 0xFF, 0xD9, 0x00, 0xFF, 0xFE, 0x00, 0x02};
    std::vector<uint8_t> cut = handJpeg(HandFrame(), grey.bytes());
    cut.resize(cut.size() - 4); // the last data bytes and EOI
    const Case cases[] = {
        {"sixteen-zero run", handJpeg(HandFrame(), zeroRun.bytes()), "", true},
        {"run past the last coefficient", handJpeg(HandFrame(), pastTheEnd.bytes())},
        {"fill byte before a stuffed FF", handJpeg(HandFrame(), fillThenStuffed.bytes()), "", true},
        {"fill bytes and COM before the frame", handJpeg(fill, grey.bytes()), "", true},
        {"APP holding FF D9, then COM", handJpeg(segments, grey.bytes()), "", true},
        {"restart marker each row", twoRows(2, {0xFF, 0xD0}), "", true},
        {"fill byte before a restart marker", twoRows(2, {0xFF, 0xFF, 0xD0}), "", true},
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
        const char* maskError = nullptr;
        Decoded d = toDecoded(
            jpegDecodeMasked(colour.data(), colour.size(), mask.data(), mask.size(), &maskError));
        EXPECT_EQ(maskError != nullptr, alpha == 255);
        EXPECT_EQ(d.rgba, repeated({138, 138, 138, uint8_t(alpha)}, 64));
    }
}

TEST(Jpg, FilesOutsideTheSubsetEndCleanlyWithTheirReason) {
    HandFrame colour;
    colour.sampling = {{2, 2}, {1, 1}, {1, 1}};
    colour.width = colour.height = 16;
    std::vector<uint8_t> base = handJpeg(colour, std::vector<uint8_t>(8, 0)), grey = flatMcus({{8}});
    std::vector<uint8_t> manySymbols = {0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x13, 0x00};
    manySymbols.insert(manySymbols.end(), 16, 17); // 272 symbols
    manySymbols.insert(manySymbols.end(), 272, 0);
    const Case cases[] = {
        {"4 components", patched(base, 0xC0, 5, 4), "frame header length"},
        {"sampling 0", patched(base, 0xC0, 7, 0x02), "sampling factor"},
        {"sampling 5", patched(base, 0xC0, 7, 0x52), "sampling factor"},
        {"chroma larger", patched(base, 0xC0, 10, 0x32), "chroma"},
        {"chroma not dividing", patched(patched(base, 0xC0, 7, 0x32), 0xC0, 10, 0x21), "chroma"},
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

TEST(Jpg, CutAndDamagedFilesDecodeLikeTheReference) {
    testsupport::JpegEncodeOptions options;
    options.restartEveryRow = true;
    std::vector<uint8_t> file = testsupport::encodeJpeg(testsupport::syntheticImage(48, 40, 3), options);
    for (size_t n = 0; n < file.size(); n += (n < 700 ? 1 : 37))
        decodeChecked(std::vector<uint8_t>(file.begin(), file.begin() + n),
                      "cut at " + std::to_string(n));
    uint32_t seed = 7;
    for (int round = 0; round < 300; round++) {
        std::vector<uint8_t> damaged = file;
        for (int k = 0; k < 1 + round % 4; k++) { // bytes past the first 200, most headers intact
            seed = seed * 1664525u + 1013904223u;
            size_t at = 200 + (seed >> 8) % (damaged.size() - 200);
            seed = seed * 1664525u + 1013904223u;
            damaged[at] = round % 3 == 0 ? 0xFF : uint8_t(seed >> 24);
        }
        decodeChecked(damaged, "damaged round " + std::to_string(round));
    }
}

TEST(Jpg, AgreesWithLibjpegWithinRoundingOnEncodedFiles) {
    const int layouts[][3] = {{1, 1, 1}, {3, 1, 1}, {3, 2, 1},
                              {3, 2, 2}, {3, 1, 2}, {3, 4, 1}}; // n, h, v
    const int sizes[][2] = {{1, 1}, {17, 9}, {227, 149}};
    int worst = 0;
    for (const auto& layout : layouts) {
        for (const auto& size : sizes) {
            for (int variant = 0; variant < 3; variant++) { // plain, restart every row, 16-bit tables
                testsupport::JpegEncodeOptions options;
                options.hSamp = layout[1];
                options.vSamp = layout[2];
                options.restartEveryRow = variant == 1;
                options.sixteenBitTables = variant == 2;
                if (variant == 2) options.quality = 3;
                std::string what = std::to_string(layout[0]) + " components " +
                                   std::to_string(layout[1]) + "x" + std::to_string(layout[2]) + " " +
                                   std::to_string(size[0]) + "x" + std::to_string(size[1]) +
                                   " variant " + std::to_string(variant);
                auto image = testsupport::syntheticImage(size[0], size[1], layout[0]);
                worst = std::max(worst,
                                 expectCase({what, testsupport::encodeJpeg(image, options), "", true}));
            }
        }
    }
    printf("largest difference from libjpeg on encoded files: %d\n", worst);
}

// The shared sample files and samples.tsv (file, ..., supported yes/no).
// Without them the tests fail when CI is set, else they are skipped.
class JpgSamples : public testing::Test {
protected:
    void SetUp() override {
        std::ifstream table(folder + "/samples.tsv");
        if (!table && getenv("CI")) FAIL() << "CI is set and there is no " << folder << "/samples.tsv";
        if (!table) GTEST_SKIP() << "no sample files: " << folder << "/samples.tsv is missing";
        std::string line, field;
        std::getline(table, line); // column names
        while (std::getline(table, line)) {
            std::vector<std::string> fields;
            for (std::stringstream s(line); std::getline(s, field, '\t');) fields.push_back(field);
            if (fields.size() >= 7) files[fields[6] == "yes"].push_back(fields[0]);
        }
        ASSERT_FALSE(files[0].empty() || files[1].empty()) << folder << "/samples.tsv";
    }
    std::vector<uint8_t> read(const std::string& name) {
        std::ifstream in(folder + "/" + name, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    const std::string folder = DEMO_SOURCE_DIR "/../shared/jpeg-samples";
    std::vector<std::string> files[2]; // [0] unsupported, [1] supported
};

TEST_F(JpgSamples, SupportedFilesDecodeCleanlyAndAgreeWithLibjpeg) {
    int worst = 0;
    for (const std::string& name : files[1])
        worst = std::max(worst, expectCase({name, read(name), "", true}));
    printf("%zu supported samples, largest difference from libjpeg: %d\n", files[1].size(), worst);
}

TEST_F(JpgSamples, UnsupportedFilesEndCleanlyWithAOneLineReason) {
    for (const std::string& name : files[0]) {
        Decoded d = decodeChecked(read(name), name);
        EXPECT_EQ(d.error.find('\n'), std::string::npos) << name;
        printf("%-45s %s\n", name.c_str(), d.error.empty() ? "(decoded)" : d.error.c_str());
    }
}
