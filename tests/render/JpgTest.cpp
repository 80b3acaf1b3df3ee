// The JPEG decoder without GL: colour conversions, block decoding, MCU layout,
// byte stuffing and restart handling on hand-made streams; safe ends on
// hostile input; agreement with libjpeg and with the per-bit reference on
// encoded files and on the shared real-world samples.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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
};

Decoded toDecoded(JpegImage image) {
    Decoded d;
    d.width = image.width;
    d.height = image.height;
    if (image.data) d.rgba.assign(image.data, image.data + size_t(image.width) * image.height * 4);
    if (image.error) d.error = image.error;
    free(image.data);
    return d;
}

Decoded decode(const std::vector<uint8_t>& bytes) {
    return toDecoded(jpegDecode(bytes.data(), bytes.size()));
}

Decoded decodeReference(const std::vector<uint8_t>& bytes) {
    return toDecoded(testsupport::jpegReferenceDecode(bytes.data(), bytes.size()));
}

// Fast and per-bit decoders agree byte for byte, on any input.
void expectSameAsReference(const std::vector<uint8_t>& bytes, const std::string& what) {
    Decoded fast = decode(bytes), reference = decodeReference(bytes);
    EXPECT_EQ(fast.width, reference.width) << what;
    EXPECT_EQ(fast.height, reference.height) << what;
    EXPECT_EQ(fast.error, reference.error) << what;
    EXPECT_TRUE(fast.rgba == reference.rgba) << what << ": pixels differ from the per-bit reference";
}

// Largest RGB difference from libjpeg; -1 when the sizes differ or libjpeg fails.
int differenceFromLibjpeg(const std::vector<uint8_t>& bytes, const Decoded& ours) {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    if (!testsupport::decodeWithLibjpeg(bytes.data(), bytes.size(), &width, &height, rgb)) return -1;
    if (width != ours.width || height != ours.height) return -1;
    int worst = 0;
    for (size_t i = 0; i < size_t(width) * height; i++) {
        for (int c = 0; c < 3; c++)
            worst = std::max(worst, std::abs(int(rgb[3 * i + c]) - ours.rgba[4 * i + c]));
    }
    return worst;
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const uint8_t* pixel(const Decoded& d, int x, int y) {
    return &d.rgba[(size_t(y) * d.width + x) * 4];
}

// One grey 8 x 8 block with the given DC difference and no AC terms.
std::vector<uint8_t> flatGreyBlock(int dc, int quant) {
    BitWriter bits;
    bits.dc(dc);
    bits.symbol(0x00);
    HandFrame frame;
    frame.quant = quant;
    return handJpeg(frame, bits.bytes());
}

Decoded convert(int y, int cb, int cr) {
    uint8_t p[4] = {uint8_t(y), uint8_t(cb), uint8_t(cr), 0};
    memset(&jpeg_file_s, 0, sizeof jpeg_file_s);
    jpeg_file_s.width = jpeg_file_s.height = 1;
    jpeg_file_s.data = p;
    jpeg_ycbcr2rgb();
    jpeg_file_s.data = nullptr;
    Decoded d;
    d.width = d.height = 1;
    d.rgba.assign(p, p + 4);
    return d;
}

} // namespace

// ------------------------------------------------------------- conversions

TEST(Jpg, YCbCrConvertsWithTruncationTowardZeroAndClamping) {
    EXPECT_EQ(convert(255, 128, 128).rgba, (std::vector<uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(convert(0, 128, 255).rgba, (std::vector<uint8_t>{178, 0, 0, 255}));
    EXPECT_EQ(convert(100, 200, 50).rgba, (std::vector<uint8_t>{0, 130, 227, 255}));
}

TEST(Jpg, GreyImageGivesEqualChannelsAndOpaqueAlpha) {
    Decoded d = decode(flatGreyBlock(80, 1));
    ASSERT_EQ(d.width * d.height, 64);
    for (int i = 0; i < 64; i++) {
        EXPECT_EQ(d.rgba[4 * i], d.rgba[4 * i + 1]);
        EXPECT_EQ(d.rgba[4 * i], d.rgba[4 * i + 2]);
        EXPECT_EQ(d.rgba[4 * i + 3], 255);
    }
}

// ------------------------------------------------------------- blocks

TEST(Jpg, DcOnlyBlockFillsEverySampleAndShiftRoundsDown) {
    Decoded plus = decode(flatGreyBlock(80, 1));
    Decoded minus = decode(flatGreyBlock(-4, 1));
    for (int i = 0; i < 64; i++) {
        EXPECT_EQ(plus.rgba[4 * i], 138);
        EXPECT_EQ(minus.rgba[4 * i], 127); // -4 / 8 rounds down to -1
    }
}

TEST(Jpg, InverseDctOfADcTermIsEightTimesTheSampleEverywhere) {
    float block[64] = {};
    block[0] = 80.0f;
    jpeg_idct(block);
    for (float v : block) EXPECT_EQ(v, 80.0f);
    float wave[64] = {};
    wave[1] = 100.0f; // the lowest horizontal frequency: constant down each column
    jpeg_idct(wave);
    for (int row = 1; row < 8; row++)
        for (int x = 0; x < 8; x++) EXPECT_EQ(wave[8 * row + x], wave[x]);
    EXPECT_GT(wave[0], 0.0f);
    EXPECT_LT(wave[7], 0.0f);
}

TEST(Jpg, ZeroRunSymbolSkipsSixteenCoefficients) {
    BitWriter bits;
    bits.dc(0);
    bits.symbol(0xF0);
    bits.ac(0, 100); // coefficient 17 in zig-zag order
    bits.symbol(0x00);
    std::vector<uint8_t> file = handJpeg(HandFrame(), bits.bytes());
    Decoded d = decode(file);
    ASSERT_TRUE(d.error.empty()) << d.error;
    EXPECT_LE(differenceFromLibjpeg(file, d), roundingBound);
    EXPECT_NE(pixel(d, 0, 0)[0], pixel(d, 7, 7)[0]); // not a flat block
}

TEST(Jpg, RunPastTheLastCoefficientEndsTheBlockSafely) {
    BitWriter bits;
    bits.dc(8);
    for (int i = 0; i < 4; i++) bits.symbol(0xF0); // would reach position 64
    bits.ac(0, 5);
    bits.symbol(0x00);
    std::vector<uint8_t> file = handJpeg(HandFrame(), bits.bytes());
    EXPECT_EQ(decode(file).rgba.size(), 64u * 4);
    expectSameAsReference(file, "run past 63");
}

TEST(Jpg, FourTwoZeroMcuHasFourLumaBlocksThenChromaReplicatedTwoByTwo) {
    BitWriter bits;
    for (int y = 0; y < 4; y++) { // top-left, top-right, bottom-left, bottom-right
        bits.dc(8);
        bits.symbol(0x00);
    }
    bits.dc(0);
    bits.ac(0, 40); // Cb varies along x
    bits.symbol(0x00);
    bits.dc(0);
    bits.symbol(0x00);
    HandFrame frame;
    frame.width = frame.height = 16;
    frame.sampling = {{2, 2}, {1, 1}, {1, 1}};
    frame.quant = 8;
    Decoded d = decode(handJpeg(frame, bits.bytes()));
    ASSERT_EQ(d.width, 16);
    // Luma 64, 128, 192, 256 -> 136, 144, 152, 160; Cr is neutral, so R = Y.
    EXPECT_EQ(pixel(d, 0, 0)[0], 136);
    EXPECT_EQ(pixel(d, 15, 0)[0], 144);
    EXPECT_EQ(pixel(d, 0, 15)[0], 152);
    EXPECT_EQ(pixel(d, 15, 15)[0], 160);
    bool varies = false;
    for (int y = 0; y < 16; y += 2) {
        for (int x = 0; x < 16; x += 2) {
            for (int c = 0; c < 4; c++) {
                EXPECT_EQ(pixel(d, x, y)[c], pixel(d, x + 1, y)[c]);
                EXPECT_EQ(pixel(d, x, y)[c], pixel(d, x, y + 1)[c]);
                EXPECT_EQ(pixel(d, x, y)[c], pixel(d, x + 1, y + 1)[c]);
            }
            if (x && pixel(d, x, y)[2] != pixel(d, x - 2, y)[2]) varies = true;
        }
    }
    EXPECT_TRUE(varies);
}

// ------------------------------------------------------------- byte stream

TEST(Jpg, StuffedFfInDataIsOneDataByteAlsoAfterAFillByte) {
    std::vector<uint8_t> data = {0x08, 0xFF, 0x00, 0x0F}; // DC 0, AC size 8 value 255, end
    std::vector<uint8_t> filled = {0x08, 0xFF, 0xFF, 0x00, 0x0F};
    std::vector<uint8_t> file = handJpeg(HandFrame(), data);
    Decoded plain = decode(file), withFill = decode(handJpeg(HandFrame(), filled));
    EXPECT_EQ(plain.rgba, withFill.rgba);
    EXPECT_LE(differenceFromLibjpeg(file, plain), roundingBound);
}

TEST(Jpg, FillBytesBeforeHeaderMarkersAreSkipped) {
    BitWriter bits;
    bits.dc(80);
    bits.symbol(0x00);
    std::vector<uint8_t> data = bits.bytes();
    HandFrame filled;
    filled.beforeFrame = {0xFF, 0xFF, 0xFF, 0xFE, 0x00, 0x04, 'h', 'i'}; // fill bytes, then COM
    Decoded d = decode(handJpeg(filled, data));
    EXPECT_TRUE(d.error.empty()) << d.error;
    EXPECT_EQ(d.rgba, decode(handJpeg(HandFrame(), data)).rgba);
}

TEST(Jpg, ApplicationAndCommentSegmentsAnywhereBeforeTheScanAreSkipped) {
    HandFrame frame;
    frame.beforeFrame = {0xFF, 0xE1, 0x00, 0x05, 0xFF, 0xD9, 0x00, 0xFF, 0xFE, 0x00, 0x02};
    Decoded d = decode(handJpeg(frame, {0x00}));
    EXPECT_TRUE(d.error.empty()) << d.error;
    EXPECT_EQ(d.width, 8);
}

// A 16 x 16 grey image, two MCUs a row: A B / C D.
std::vector<uint8_t> twoRows(int restartInterval, bool marker, int dcC,
                             std::vector<uint8_t> markerBytes) {
    BitWriter bits;
    bits.dc(16); // A
    bits.symbol(0x00);
    bits.dc(0); // B
    bits.symbol(0x00);
    if (marker) bits.raw(markerBytes);
    else bits.flush();
    bits.dc(dcC); // C
    bits.symbol(0x00);
    bits.dc(0); // D
    bits.symbol(0x00);
    HandFrame frame;
    frame.width = frame.height = 16;
    frame.restartInterval = restartInterval;
    return handJpeg(frame, bits.bytes());
}

TEST(Jpg, RestartMarkersEveryRowResetThePredictors) {
    Decoded d = decode(twoRows(2, true, 16, {0xFF, 0xD0}));
    EXPECT_EQ(pixel(d, 0, 0)[0], 130); // A: 16
    EXPECT_EQ(pixel(d, 8, 0)[0], 130); // B: 16 + 0
    EXPECT_EQ(pixel(d, 0, 8)[0], 130); // C: reset, then 16
    EXPECT_EQ(pixel(d, 8, 8)[0], 130);
    Decoded filled = decode(twoRows(2, true, 16, {0xFF, 0xFF, 0xD0}));
    EXPECT_EQ(filled.rgba, d.rgba);
}

TEST(Jpg, StuffedFfRightAfterARestartMarkerIsOneDataByte) {
    // C's difference 200 starts with eight one bits: 0xFF 0x00 right after 0xFF 0xD0.
    std::vector<uint8_t> file = twoRows(2, true, 200, {0xFF, 0xD0});
    Decoded d = decode(file);
    EXPECT_EQ(pixel(d, 0, 8)[0], 153);
    EXPECT_EQ(pixel(d, 8, 8)[0], 153);
    EXPECT_LE(differenceFromLibjpeg(file, d), roundingBound);
}

TEST(Jpg, OtherRestartIntervalsStillDiscardTheBitsLeftAtEachRowStart) {
    Decoded d = decode(twoRows(5, false, 16, {}));
    EXPECT_EQ(pixel(d, 0, 8)[0], 132); // C = 16 + 16: no marker, no reset
    EXPECT_NE(d.error.find("restart interval"), std::string::npos);
    EXPECT_NE(decode(twoRows(0, false, 16, {})).rgba, d.rgba); // the padding read as data
    expectSameAsReference(twoRows(5, false, 16, {}), "restart interval 5");
}

TEST(Jpg, MissingEntropyDataDecodesAsZeros) {
    std::vector<uint8_t> file = flatGreyBlock(80, 1);
    file.resize(file.size() - 4); // the data and EOI cut off
    Decoded d = decode(file);
    ASSERT_EQ(d.width, 8);
    expectSameAsReference(file, "cut in the data");
}

// ------------------------------------------------------------- masks

TEST(Jpg, MaskAlphaIsTheMeanOfItsChannelsRoundedDown) {
    int found[3] = {-1, -1, -1};
    for (int y = 0; y < 256 && found[0] < 0; y++) // samples that convert to (10, 20, 31)
        for (int cb = 0; cb < 256 && found[0] < 0; cb++)
            for (int cr = 0; cr < 256; cr++) {
                std::vector<uint8_t> p = convert(y, cb, cr).rgba;
                if (p[0] == 10 && p[1] == 20 && p[2] == 31) {
                    found[0] = y, found[1] = cb, found[2] = cr;
                    break;
                }
            }
    ASSERT_GE(found[0], 0);
    BitWriter bits;
    for (int c = 0; c < 3; c++) {
        bits.dc((found[c] - 128) * 8);
        bits.symbol(0x00);
    }
    HandFrame colourMask;
    colourMask.sampling = {{1, 1}, {1, 1}, {1, 1}};
    std::vector<uint8_t> mask = handJpeg(colourMask, bits.bytes());
    Decoded maskPixels = decode(mask);
    ASSERT_EQ(std::vector<uint8_t>(maskPixels.rgba.begin(), maskPixels.rgba.begin() + 3),
              (std::vector<uint8_t>{10, 20, 31}));
    std::vector<uint8_t> colour = flatGreyBlock(80, 1);
    const char* maskError = nullptr;
    Decoded d =
        toDecoded(jpegDecodeMasked(colour.data(), colour.size(), mask.data(), mask.size(), &maskError));
    EXPECT_EQ(maskError, nullptr);
    for (int i = 0; i < 64; i++) {
        EXPECT_EQ(d.rgba[4 * i + 3], 20);
        EXPECT_EQ(d.rgba[4 * i], 138);
    }
}

TEST(Jpg, MaskOfAnotherSizeIsNotUsedAndReported) {
    std::vector<uint8_t> colour = flatGreyBlock(80, 1);
    std::vector<uint8_t> mask = twoRows(0, false, 0, {});
    const char* maskError = nullptr;
    Decoded d =
        toDecoded(jpegDecodeMasked(colour.data(), colour.size(), mask.data(), mask.size(), &maskError));
    ASSERT_NE(maskError, nullptr);
    EXPECT_EQ(d.rgba[3], 255);
}

// ------------------------------------------------------------- hostile input

struct Hostile {
    const char* what;
    std::vector<uint8_t> file;
    const char* reason;
};

std::vector<uint8_t> patched(std::vector<uint8_t> file, uint8_t marker, int offset, uint8_t value) {
    for (size_t i = 0; i + 1 < file.size(); i++) {
        if (file[i] == 0xFF && file[i + 1] == marker) {
            file[i + 4 + offset] = value;
            break;
        }
    }
    return file;
}

TEST(Jpg, FilesBeyondTheLimitsEndCleanlyWithTheirReason) {
    HandFrame colour;
    colour.sampling = {{2, 2}, {1, 1}, {1, 1}};
    colour.width = colour.height = 16;
    std::vector<uint8_t> base = handJpeg(colour, std::vector<uint8_t>(8, 0));
    std::vector<uint8_t> grey = flatGreyBlock(8, 1);
    std::vector<uint8_t> tooManySymbols = grey;
    std::vector<Hostile> cases = {
        {"4 components", patched(base, 0xC0, 5, 4), "frame header length"},
        {"sampling 0", patched(base, 0xC0, 7, 0x02), "sampling factor"},
        {"sampling 5", patched(base, 0xC0, 7, 0x52), "sampling factor"},
        {"chroma larger", patched(base, 0xC0, 10, 0x22 + 0x10), "chroma"},
        {"chroma not dividing", patched(patched(base, 0xC0, 7, 0x32), 0xC0, 10, 0x21), "chroma"},
        {"quant id 4", patched(base, 0xC0, 8, 4), "table id"},
        {"grey 2x2", patched(grey, 0xC0, 7, 0x22), "one-component"},
        {"huge", patched(patched(base, 0xC0, 1, 0xFF), 0xC0, 3, 0xFF), "too large"},
        {"zero height", patched(patched(base, 0xC0, 1, 0), 0xC0, 2, 0), "zero"},
        {"12-bit", patched(base, 0xC0, 0, 12), "8-bit"},
        {"progressive", patched(base, 0xC0, -3, 0xC2), "progressive JPEG is not supported"},
        {"Huffman id 5", patched(grey, 0xC4, 0, 0x05), "Huffman table id"},
        {"overflowing lengths", patched(grey, 0xC4, 1, 3), "overflow"},
        {"not a JPEG", {'G', 'I', 'F', '8', '9', 'a'}, "no marker"},
        {"empty", {}, "ends inside the header"},
        {"no scan", {0xFF, 0xD8, 0xFF, 0xD9}, "end of image"},
    };
    for (const Hostile& h : cases) {
        Decoded d = decode(h.file);
        EXPECT_NE(d.error.find(h.reason), std::string::npos) << h.what << ": " << d.error;
        EXPECT_EQ(d.error.find('\n'), std::string::npos) << h.what;
        expectSameAsReference(h.file, h.what);
    }
}

TEST(Jpg, MoreThan256HuffmanSymbolsIsRefused) {
    std::vector<uint8_t> file = {0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x13, 0x00};
    file.insert(file.end(), 16, 17); // 272 symbols
    file.insert(file.end(), 272, 0);
    EXPECT_NE(decode(file).error.find("256"), std::string::npos);
}

TEST(Jpg, FileCutOffAtAnyByteEndsCleanly) {
    testsupport::RgbImage image = testsupport::syntheticImage(40, 24, 3);
    testsupport::JpegEncodeOptions options;
    options.markers = true;
    options.restartEveryRow = true;
    std::vector<uint8_t> file = testsupport::encodeJpeg(image, options);
    for (size_t n = 0; n < file.size(); n += (n < 700 ? 1 : 37)) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + n);
        expectSameAsReference(cut, "cut at " + std::to_string(n));
    }
}

TEST(Jpg, FastDecoderMatchesPerBitReferenceOnDamagedFiles) {
    testsupport::RgbImage image = testsupport::syntheticImage(48, 40, 3);
    testsupport::JpegEncodeOptions options;
    options.restartEveryRow = true;
    std::vector<uint8_t> file = testsupport::encodeJpeg(image, options);
    uint32_t seed = 7;
    for (int round = 0; round < 300; round++) {
        std::vector<uint8_t> damaged = file;
        for (int k = 0; k < 1 + round % 4; k++) {
            seed = seed * 1664525u + 1013904223u;
            size_t at = 200 + (seed >> 8) % (damaged.size() - 200); // keep most headers
            seed = seed * 1664525u + 1013904223u;
            damaged[at] = round % 3 == 0 ? 0xFF : uint8_t(seed >> 24);
        }
        expectSameAsReference(damaged, "damaged round " + std::to_string(round));
    }
}

// ------------------------------------------------------------- against libjpeg

struct Layout {
    const char* name;
    int components, h, v;
};

TEST(Jpg, AgreesWithLibjpegWithinRoundingOnEncodedFiles) {
    const Layout layouts[] = {{"grey", 1, 1, 1},
                              {"4:4:4", 3, 1, 1},
                              {"4:2:2", 3, 2, 1},
                              {"4:2:0", 3, 2, 2},
                              {"4:4:0", 3, 1, 2}};
    const int sizes[][2] = {{1, 1}, {17, 9}, {227, 149}, {512, 512}};
    int worst = 0;
    for (const Layout& layout : layouts) {
        for (const auto& size : sizes) {
            for (int variant = 0; variant < 4; variant++) {
                if (size[0] == 512 && variant > 1) continue; // the big one twice is enough
                testsupport::JpegEncodeOptions options;
                options.hSamp = layout.h;
                options.vSamp = layout.v;
                options.restartEveryRow = variant == 1;
                options.sixteenBitTables = variant == 2;
                options.markers = variant == 3;
                if (variant == 2) options.quality = 3;
                testsupport::RgbImage image =
                    testsupport::syntheticImage(size[0], size[1], layout.components);
                std::vector<uint8_t> file = testsupport::encodeJpeg(image, options);
                std::string what = std::string(layout.name) + " " + std::to_string(size[0]) + "x" +
                                   std::to_string(size[1]) + " variant " + std::to_string(variant);
                Decoded d = decode(file);
                EXPECT_TRUE(d.error.empty()) << what << ": " << d.error;
                EXPECT_EQ(d.width, size[0]) << what;
                EXPECT_EQ(d.height, size[1]) << what;
                int difference = differenceFromLibjpeg(file, d);
                EXPECT_GE(difference, 0) << what;
                EXPECT_LE(difference, roundingBound) << what;
                worst = std::max(worst, difference);
                if (size[0] < 512) expectSameAsReference(file, what);
            }
        }
    }
    printf("largest difference from libjpeg on encoded files: %d\n", worst);
}

// ------------------------------------------------------------- real-world samples

struct Sample {
    std::string file;
    bool supported;
    std::string reason;
};

std::vector<Sample> samples(std::string& folder) {
    folder = DEMO_SOURCE_DIR "/../shared/jpeg-samples";
    std::ifstream table(folder + "/samples.tsv");
    std::vector<Sample> list;
    std::string line;
    std::getline(table, line); // column names
    while (std::getline(table, line)) {
        std::vector<std::string> fields;
        std::stringstream s(line);
        std::string field;
        while (std::getline(s, field, '\t')) fields.push_back(field);
        if (fields.size() >= 7)
            list.push_back({fields[0], fields[6] == "yes", fields.size() > 7 ? fields[7] : ""});
    }
    return list;
}

TEST(Jpg, SupportedSampleFilesDecodeAndAgreeWithLibjpeg) {
    std::string folder;
    std::vector<Sample> list = samples(folder);
    if (list.empty()) GTEST_SKIP() << "no sample folder at " << folder;
    int worst = 0, count = 0;
    for (const Sample& s : list) {
        if (!s.supported) continue;
        std::vector<uint8_t> file = readBytes(folder + "/" + s.file);
        Decoded d = decode(file);
        EXPECT_TRUE(d.error.empty()) << s.file << ": " << d.error;
        int difference = differenceFromLibjpeg(file, d);
        EXPECT_GE(difference, 0) << s.file;
        EXPECT_LE(difference, roundingBound) << s.file;
        worst = std::max(worst, difference);
        expectSameAsReference(file, s.file);
        count++;
    }
    printf("%d supported samples, largest difference from libjpeg: %d\n", count, worst);
}

TEST(Jpg, UnsupportedSampleFilesEndCleanlyWithAOneLineReason) {
    std::string folder;
    std::vector<Sample> list = samples(folder);
    if (list.empty()) GTEST_SKIP() << "no sample folder at " << folder;
    for (const Sample& s : list) {
        if (s.supported) continue;
        std::vector<uint8_t> file = readBytes(folder + "/" + s.file);
        Decoded d = decode(file);
        EXPECT_EQ(d.error.find('\n'), std::string::npos);
        printf("%-45s %s\n", s.file.c_str(), d.error.empty() ? "(decoded)" : d.error.c_str());
        expectSameAsReference(file, s.file);
    }
}
