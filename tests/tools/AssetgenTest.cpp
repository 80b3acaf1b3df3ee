// The generated asset pack (build/assets, made by the build): every texture
// is a clean baseline JPEG square of a power-of-two side that the show's
// decoder takes, masks fit their colour images, and the pack exercises
// 4:2:0, 4:4:4, greyscale and restart markers; the soundtrack is long
// enough, clean, and accents every sync time; a second run of the generator
// writes the same bytes.
#include <gtest/gtest.h>

#include <jpeglib.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/Timeline.h"
#include "platform/Mp3Stream.h"
#include "render/TextureSlots.h"
#include "tests/support/Process.h"
#include "tests/support/TestMp3.h"

namespace {

using testsupport::readFile;

const std::string kPack = DEMO_BINARY_DIR "/assets/";

// One texture of the pack as libjpeg reads it to the end (an error ends the
// test process, and fails it), checked on its own: no warning, sequential
// Huffman coding, a square of a power-of-two side from 256 to 1024, restart
// markers, if any, every MCU row (the show's decoder takes no other
// interval). Returns its side, its sampling ("grey", "4:2:0", "4:4:4" or
// "other") and whether it has restart markers.
struct PackTexture {
    int side;
    std::string sampling;
    bool restarts;
};

PackTexture inspect(const std::string& name) {
    const std::string bytes = readFile(kPack + "Textures/" + name);
    jpeg_decompress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&info, TRUE);
    // The component records live until jpeg_finish_decompress frees them.
    auto factors = [&](int c) {
        return info.comp_info[c].h_samp_factor * 10 + info.comp_info[c].v_samp_factor;
    };
    const bool chroma11 = info.num_components == 3 && factors(1) == 11 && factors(2) == 11;
    const char* sampling = info.num_components == 1 && factors(0) == 11 ? "grey"
                           : chroma11 && factors(0) == 22               ? "4:2:0"
                           : chroma11 && factors(0) == 11               ? "4:4:4"
                                                                        : "other";
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> row(info.output_width * size_t(info.output_components));
    for (JSAMPROW r = row.data(); info.output_scanline < info.output_height;)
        jpeg_read_scanlines(&info, &r, 1);
    jpeg_finish_decompress(&info);
    const int side = int(info.image_width);
    EXPECT_EQ(err.num_warnings, 0) << name;
    EXPECT_TRUE(!info.progressive_mode && !info.arith_code) << name;
    EXPECT_TRUE(int(info.image_height) == side && side >= 256 && side <= 1024 &&
                (side & (side - 1)) == 0)
        << name;
    EXPECT_TRUE(info.restart_interval == 0 || info.restart_interval == info.MCUs_per_row) << name;
    jpeg_destroy_decompress(&info);
    return {side, sampling, info.restart_interval != 0};
}

TEST(Assetgen, EveryTextureIsACleanBaselineJpegAndTheMasksFitTheirImages) {
    std::map<std::string, int> count; // files by sampling, and those with restart markers
    for (const SlotFile& s : slotFiles) {
        const PackTexture colour = inspect(s.file), mask = s.mask ? inspect(s.mask) : colour;
        EXPECT_TRUE(!s.mask || (mask.sampling == "grey" && mask.side == colour.side))
            << s.mask << ": not a grey mask of its image's size";
        count[colour.sampling]++;
        count["restarts"] += colour.restarts || mask.restarts;
    }
    EXPECT_EQ(count["other"], 0);
    EXPECT_GT(count["4:2:0"], count["4:4:4"]) << "most colour files are 4:2:0";
    EXPECT_GE(count["4:4:4"], 2);
    EXPECT_GE(count["restarts"], 1);
}

// Onset strength at each ms of a mono signal at 44.1 kHz: the energy of its
// first difference (which weights the highs) in the 10 ms from that ms on,
// over the mean energy of the 30 ms that end 10 ms before it.
std::vector<double> onsetStrength(const std::vector<float>& mono) {
    std::vector<double> energy(mono.size() / 44 + 1, 0.0), strength(energy.size(), 0.0);
    for (size_t i = 1; i < mono.size(); ++i)
        energy[size_t(double(i) / 44.1)] += double(mono[i] - mono[i - 1]) * (mono[i] - mono[i - 1]);
    for (size_t m = 40; m + 10 < energy.size(); ++m) {
        double after = 0, before = 0;
        for (size_t k = 0; k < 10; ++k) after += energy[m + k];
        for (size_t k = 11; k <= 40; ++k) before += energy[m - k];
        strength[m] = (after / 10) / (before / 30 + 1e-9);
    }
    return strength;
}

TEST(Assetgen, TrackIsCleanStereoOfTheShowsLengthWithAnAccentOnEverySyncTime) {
    // Decoded as the show's stream decodes it (libmpg123, gapless).
    platform::Mp3Stream stream;
    ASSERT_EQ(stream.open((kPack + "musa.mp3").c_str()), nullptr);
    ASSERT_EQ(stream.rate, 44100);
    ASSERT_EQ(stream.channels, 2);
    std::vector<int16_t> buffer(1 << 15);
    std::vector<float> mono, peaks; // per frame: (L + R) / 2, max(|L|, |R|)
    for (bool ended = false; !ended;) {
        size_t got =
            stream.read(reinterpret_cast<uint8_t*>(buffer.data()), buffer.size() * 2, &ended) / 2;
        for (size_t i = 0; i + 1 < got; i += 2) {
            mono.push_back((buffer[i] + buffer[i + 1]) / 65536.0f);
            peaks.push_back(std::max(std::abs(buffer[i]), std::abs(buffer[i + 1])) / 32768.0f);
        }
    }
    ASSERT_GE(mono.size(), 151u * 44100);
    const float peak = *std::max_element(peaks.begin(), peaks.end());
    EXPECT_LE(peak, 0.8913f) << "peak above -1 dBFS";
    EXPECT_GT(peak, 0.5f) << "the track is far too quiet";
    EXPECT_LT(*std::max_element(peaks.end() - 2 * 44100, peaks.end()), 0.001f)
        << "the end is not silent";
    const std::vector<double> strength = onsetStrength(mono);
    for (int sync : syncs) {
        ASSERT_LT(size_t(sync + 60), strength.size());
        const int best = int(
            std::max_element(&strength[size_t(sync - 50)], &strength[size_t(sync + 51)]) - &strength[0]);
        EXPECT_LE(std::abs(best - sync), 15) << "sync at " << sync << " ms: onset at " << best;
        EXPECT_GE(strength[size_t(best)], 4.0) << "sync at " << sync << " ms is no clear accent";
    }
}

TEST(Assetgen, GeneratorWritesTheSameBytesOnEveryRun) {
    const std::string dir = testsupport::makeTempDir();
    ASSERT_EQ(testsupport::Program("assetgen " + dir).wait(600).exitCode, 0);
    for (const auto& file : std::filesystem::recursive_directory_iterator(dir)) {
        const std::string name = file.path().string().substr(dir.size());
        EXPECT_TRUE(file.is_directory() || readFile(file.path()) == readFile(kPack + name)) << name;
    }
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(dir), {}), 41 + 3);
    std::filesystem::remove_all(dir);
}

} // namespace
