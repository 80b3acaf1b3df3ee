// The generated asset pack: every texture is a baseline JPEG of the right
// kind and size, masks fit their colour images, the pack exercises 4:2:0,
// 4:4:4, greyscale and restart markers, the generator is deterministic, and
// the soundtrack is long enough, clean, and accents every sync time.
// The checks read the pack the build made in build/assets; the determinism
// check runs the generator once more into a temporary folder.
#include <gtest/gtest.h>

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/Timeline.h"
#include "platform/Mp3Stream.h"
#include "render/TextureSlots.h"
#include "tests/support/TestMp3.h"

namespace {

const std::string kPack = DEMO_BINARY_DIR "/assets";

std::vector<std::string> allFileNames() {
    std::vector<std::string> names;
    for (const SlotFile& f : slotFiles) {
        names.push_back(f.file);
        if (f.mask) names.push_back(f.mask);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What libjpeg and the file's markers say about one JPEG.
struct JpegFacts {
    bool decoded = false;
    bool baselineFrame = false; // SOF0 and no other frame type
    int width = 0, height = 0, components = 0;
    int lumaH = 0, lumaV = 0, chromaH = 0, chromaV = 0;
    unsigned restartInterval = 0;
    int mcusPerRow = 0;
    std::vector<unsigned char> pixels; // decoded, rows top first, `components` bytes each
    long warnings = 0;
    std::string error;
};

struct ErrorJump {
    jpeg_error_mgr mgr;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr cinfo) {
    ErrorJump* e = reinterpret_cast<ErrorJump*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    longjmp(e->jump, 1);
}

// Scans the marker segments up to the first scan for the frame type.
bool onlyBaselineFrame(const std::vector<unsigned char>& b) {
    bool sof0 = false;
    for (size_t i = 2; i + 4 <= b.size();) {
        if (b[i] != 0xFF) return false;
        unsigned marker = b[i + 1];
        if (marker == 0xDA) break;
        if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return false;
        if (marker == 0xC0) sof0 = true;
        i += 2 + (size_t(b[i + 2]) << 8 | b[i + 3]);
    }
    return sof0;
}

JpegFacts inspect(const std::string& path) {
    JpegFacts f;
    std::vector<unsigned char> bytes = readBytes(path);
    if (bytes.size() < 4) {
        f.error = "missing or empty";
        return f;
    }
    f.baselineFrame = onlyBaselineFrame(bytes);
    jpeg_decompress_struct cinfo;
    ErrorJump err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = onError;
    jpeg_create_decompress(&cinfo);
    if (setjmp(err.jump)) {
        f.error = err.message;
        jpeg_destroy_decompress(&cinfo);
        return f;
    }
    jpeg_mem_src(&cinfo, bytes.data(), (unsigned long)bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    f.width = int(cinfo.image_width);
    f.height = int(cinfo.image_height);
    f.components = cinfo.num_components;
    f.lumaH = cinfo.comp_info[0].h_samp_factor;
    f.lumaV = cinfo.comp_info[0].v_samp_factor;
    if (f.components == 3) {
        f.chromaH = cinfo.comp_info[1].h_samp_factor;
        f.chromaV = cinfo.comp_info[1].v_samp_factor;
    }
    f.restartInterval = cinfo.restart_interval;
    f.baselineFrame = f.baselineFrame && !cinfo.progressive_mode && !cinfo.arith_code;
    jpeg_start_decompress(&cinfo);
    f.mcusPerRow = int(cinfo.MCUs_per_row);
    const size_t stride = size_t(cinfo.output_width) * cinfo.output_components;
    f.pixels.resize(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW r = &f.pixels[stride * cinfo.output_scanline];
        jpeg_read_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_decompress(&cinfo);
    f.warnings = err.mgr.num_warnings;
    jpeg_destroy_decompress(&cinfo);
    f.decoded = true;
    return f;
}

bool isPowerOfTwoSize(int n) {
    return n >= 256 && n <= 1024 && (n & (n - 1)) == 0;
}

TEST(Assetgen, EveryTextureIsACleanBaselineJpegOfAPowerOfTwoSquare) {
    std::vector<std::string> names = allFileNames();
    ASSERT_EQ(names.size(), 41u);
    for (const std::string& name : names) {
        JpegFacts f = inspect(kPack + "/Textures/" + name);
        ASSERT_TRUE(f.decoded) << name << ": " << f.error;
        EXPECT_EQ(f.warnings, 0) << name;
        EXPECT_TRUE(f.baselineFrame) << name;
        EXPECT_EQ(f.width, f.height) << name;
        EXPECT_TRUE(isPowerOfTwoSize(f.width)) << name << ": " << f.width;
        EXPECT_TRUE(f.components == 1 || f.components == 3) << name;
        if (f.components == 1) {
            EXPECT_TRUE(f.lumaH == 1 && f.lumaV == 1) << name;
        }
    }
}

TEST(Assetgen, MasksAreGreyscaleAndTheSizeOfTheirColourImages) {
    for (const SlotFile& f : slotFiles) {
        if (!f.mask) continue;
        JpegFacts colour = inspect(kPack + "/Textures/" + f.file);
        JpegFacts mask = inspect(kPack + "/Textures/" + f.mask);
        ASSERT_TRUE(colour.decoded && mask.decoded) << f.file << " / " << f.mask;
        EXPECT_EQ(mask.components, 1) << f.mask;
        EXPECT_EQ(colour.width, mask.width) << f.file << " / " << f.mask;
        EXPECT_EQ(colour.height, mask.height) << f.file << " / " << f.mask;
    }
}

TEST(Assetgen, PackMixesSubsamplingsAndHasRestartMarkersEveryMcuRow) {
    int sub420 = 0, sub444 = 0, grey = 0, restartRows = 0, otherRestart = 0;
    for (const std::string& name : allFileNames()) {
        JpegFacts f = inspect(kPack + "/Textures/" + name);
        ASSERT_TRUE(f.decoded) << name;
        if (f.components == 1) ++grey;
        else if (f.lumaH == 2 && f.lumaV == 2 && f.chromaH == 1 && f.chromaV == 1) ++sub420;
        else if (f.lumaH == 1 && f.lumaV == 1 && f.chromaH == 1 && f.chromaV == 1) ++sub444;
        else ADD_FAILURE() << name << ": unexpected sampling " << f.lumaH << "x" << f.lumaV;
        if (f.restartInterval == unsigned(f.mcusPerRow)) ++restartRows;
        else if (f.restartInterval != 0) ++otherRestart;
    }
    EXPECT_GT(sub420, sub444) << "most colour files are 4:2:0";
    EXPECT_GE(sub444, 2);
    EXPECT_GE(grey, 11) << "every mask is greyscale";
    EXPECT_GE(restartRows, 1);
    EXPECT_EQ(otherRestart, 0) << "the show's decoder handles only one-row restart intervals";
}

// Mean of the first channel (grey, or red) over a rectangle of f.
double meanOf(const JpegFacts& f, int x0, int y0, int w, int h, int channel = 0) {
    double sum = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            sum += f.pixels[(size_t(y) * f.width + x) * f.components + channel];
    return sum / (double(w) * h);
}

// Mean absolute step, over all channels, between columns a and b (or rows
// a and b).
double step(const JpegFacts& f, int a, int b, bool columns) {
    double sum = 0;
    for (int k = 0; k < f.width; ++k)
        for (int c = 0; c < f.components; ++c) {
            size_t pa = columns ? size_t(k) * f.width + a : size_t(a) * f.width + k;
            size_t pb = columns ? size_t(k) * f.width + b : size_t(b) * f.width + k;
            sum += std::abs(int(f.pixels[pa * f.components + c]) - int(f.pixels[pb * f.components + c]));
        }
    return sum / (double(f.width) * f.components);
}

TEST(Assetgen, RepeatedTexturesWrapWithoutSeams) {
    // The net repeats on the grid, the panels and the rings; the nebula
    // scrolls; the chrome maps wrap around the spheres (in s only).
    const struct {
        const char* name;
        bool vertical;
    } files[] = {{"net.jpg", true},
                 {"nice.jpg", true},
                 {"chrometex.jpg", false},
                 {"chromeo.jpg", false}};
    for (const auto& file : files) {
        JpegFacts f = inspect(kPack + "/Textures/" + file.name);
        ASSERT_TRUE(f.decoded) << file.name;
        int n = f.width; // square
        for (bool columns : {true, false}) {
            if (!columns && !file.vertical) continue;
            double inside =
                (step(f, n / 2 - 1, n / 2, columns) + step(f, n / 4 - 1, n / 4, columns)) / 2;
            EXPECT_LE(step(f, n - 1, 0, columns), inside * 2 + 2)
                << file.name
                << (columns ? ": seam between right and left" : ": seam between bottom and top");
        }
    }
}

TEST(Assetgen, SpritesAreBrightInsideAndBlackAtTheirBorders) {
    // Drawn as additive or blended quads: a lit border would show the quad.
    for (const char* name : {"smallpart.jpg", "flare.jpg", "specular.jpg"}) {
        JpegFacts f = inspect(kPack + "/Textures/" + name);
        ASSERT_TRUE(f.decoded) << name;
        int n = f.width, edge = n / 64;
        for (int c = 0; c < f.components; ++c) {
            EXPECT_LT(meanOf(f, 0, 0, n, edge, c), 6) << name << ": top border";
            EXPECT_LT(meanOf(f, 0, n - edge, n, edge, c), 6) << name << ": bottom border";
            EXPECT_LT(meanOf(f, 0, 0, edge, n, c), 6) << name << ": left border";
            EXPECT_LT(meanOf(f, n - edge, 0, edge, n, c), 6) << name << ": right border";
        }
        EXPECT_GT(*std::max_element(f.pixels.begin(), f.pixels.end()), 240) << name;
    }
    // The streak: black at both sides across s, bright head, dark tail.
    JpegFacts tail = inspect(kPack + "/Textures/tailpart.jpg");
    ASSERT_TRUE(tail.decoded);
    int n = tail.width;
    EXPECT_LT(meanOf(tail, 0, 0, n / 64, n), 6);
    EXPECT_LT(meanOf(tail, n - n / 64, 0, n / 64, n), 6);
    EXPECT_GT(meanOf(tail, n / 2 - 2, n / 16, 4, 4), 220) << "head";
    EXPECT_LT(meanOf(tail, 0, n - n / 32, n, n / 32), 6) << "tail";
}

TEST(Assetgen, MasksAndCardsCarryTheirShapes) {
    // The ribbon mask: opaque in the middle, clear at both edges of s.
    JpegFacts ribbon = inspect(kPack + "/Textures/rshadowmask.jpg");
    ASSERT_TRUE(ribbon.decoded);
    int n = ribbon.width;
    EXPECT_GT(meanOf(ribbon, n / 2 - 8, 0, 16, n), 245);
    EXPECT_LT(meanOf(ribbon, 0, 0, 4, n), 8);
    EXPECT_LT(meanOf(ribbon, n - 4, 0, 4, n), 8);
    // The overlay: faint in the middle, stronger in the corners.
    JpegFacts film = inspect(kPack + "/Textures/layer_mask.jpg");
    ASSERT_TRUE(film.decoded);
    n = film.width;
    EXPECT_LT(meanOf(film, n / 2 - 32, n / 2 - 32, 64, 64), 60);
    EXPECT_GT(meanOf(film, 0, 0, 32, 32), 150);
    // Greetings: the letters are opaque, most of the square is clear.
    for (int i = 1; i <= 8; ++i) {
        std::string name = "greet" + std::to_string(i) + "_mask.jpg";
        JpegFacts g = inspect(kPack + "/Textures/" + name);
        ASSERT_TRUE(g.decoded) << name;
        long opaque =
            std::count_if(g.pixels.begin(), g.pixels.end(), [](unsigned char v) { return v > 240; });
        long clear =
            std::count_if(g.pixels.begin(), g.pixels.end(), [](unsigned char v) { return v < 16; });
        EXPECT_GT(opaque, long(g.pixels.size() / 30)) << name;
        EXPECT_GT(clear, long(g.pixels.size() / 2)) << name;
    }
    // The closing card is dark type on white; the Scene 6 panels are light.
    JpegFacts card = inspect(kPack + "/Textures/endtext.jpg");
    ASSERT_TRUE(card.decoded);
    EXPECT_GT(meanOf(card, 0, 0, card.width, card.height), 200);
    EXPECT_LT(*std::min_element(card.pixels.begin(), card.pixels.end()), 40);
    for (const char* name : {"6block.jpg", "6block2.jpg"}) {
        JpegFacts f = inspect(kPack + "/Textures/" + name);
        ASSERT_TRUE(f.decoded) << name;
        EXPECT_GT(meanOf(f, 0, 0, f.width, f.height), 180) << name;
    }
}

TEST(Assetgen, GeneratorWritesTheSameBytesOnEveryRun) {
    char dir[] = "/tmp/assetgen-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string command = std::string(DEMO_BINARY_DIR "/assetgen ") + dir + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<std::string> files = {"musa.mp3", "contact-sheet.png"};
    for (const std::string& name : allFileNames()) files.push_back("Textures/" + name);
    for (const std::string& f : files) {
        std::vector<unsigned char> a = readBytes(kPack + "/" + f),
                                   b = readBytes(std::string(dir) + "/" + f);
        EXPECT_FALSE(a.empty()) << f;
        EXPECT_TRUE(a == b) << f << " differs between runs";
    }
    std::system((std::string("rm -rf ") + dir).c_str());
}

TEST(Assetgen, GeneratorReportsAFolderItCannotWriteAndFails) {
    std::string command = std::string(DEMO_BINARY_DIR "/assetgen /proc/no-such-folder 2>&1");
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[512] = {};
    std::string output;
    while (std::fgets(line, sizeof line, pipe)) output += line;
    int status = pclose(pipe);
    EXPECT_NE(status, 0);
    EXPECT_NE(output.find("assetgen: /proc/no-such-folder"), std::string::npos) << output;

    // An option is never taken for the output folder.
    std::string dir = testsupport::makeTempDir();
    std::string options = "cd " + dir + " && " DEMO_BINARY_DIR "/assetgen --help >/dev/null && ! " +
                          DEMO_BINARY_DIR "/assetgen --out x 2>/dev/null";
    EXPECT_EQ(std::system(options.c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir)) << "assetgen wrote into " << dir;
    std::filesystem::remove_all(dir);
}

// The soundtrack as the show's stream decodes it (libmpg123's defaults,
// gapless on), as float stereo frames at the file's own rate.
struct Track {
    long rate = 0;
    int channels = 0;
    std::vector<float> samples; // interleaved, -1..1
    long frames() const { return channels ? long(samples.size()) / channels : 0; }
};

Track decodeTrack(const std::string& path) {
    Track t;
    platform::Mp3Stream stream;
    if (stream.open(path.c_str())) return t;
    t.rate = stream.rate;
    t.channels = stream.channels;
    std::vector<int16_t> buf(1 << 15);
    bool ended = false;
    while (!ended) {
        size_t got =
            stream.read(reinterpret_cast<uint8_t*>(buf.data()), buf.size() * sizeof(int16_t), &ended);
        for (size_t i = 0; i < got / sizeof(int16_t); ++i) t.samples.push_back(float(buf[i]) / 32768.0f);
    }
    return t;
}

const Track& track() {
    static const Track t = decodeTrack(kPack + "/musa.mp3");
    return t;
}

TEST(Assetgen, TrackIsAtLeast151SecondsOfStereoEndingInSilenceWithoutClipping) {
    const Track& t = track();
    ASSERT_EQ(t.rate, 44100);
    ASSERT_EQ(t.channels, 2);
    EXPECT_GE(t.frames(), 151L * 44100);
    float peak = 0;
    for (float s : t.samples) peak = std::max(peak, std::fabs(s));
    EXPECT_LE(peak, 0.8913f) << "peak above -1 dBFS";
    EXPECT_GT(peak, 0.5f) << "the track is far too quiet";
    float tail = 0;
    for (size_t i = t.samples.size() - size_t(t.rate) * 2; i < t.samples.size(); ++i)
        tail = std::max(tail, std::fabs(t.samples[i]));
    EXPECT_LT(tail, 0.001f) << "the last second is not silent";
}

// RMS level in dB of the mono mix between two times.
double levelDb(const Track& t, double fromMs, double toMs) {
    long a = long(fromMs * 44.1), b = long(toMs * 44.1);
    double sum = 0;
    for (long i = a; i < b; ++i) {
        double m = 0.5 * (t.samples[size_t(2 * i)] + t.samples[size_t(2 * i + 1)]);
        sum += m * m;
    }
    return 10.0 * std::log10(sum / double(b - a) + 1e-20);
}

TEST(Assetgen, TrackFollowsTheShowsDynamics) {
    const Track& t = track();
    ASSERT_GE(t.frames(), 151L * 44100);
    double intro = levelDb(t, 0, 11900), beat = levelDb(t, 18100, 29900);
    double breakdown = levelDb(t, 76000, 98000), climax = levelDb(t, 123100, 146900);
    EXPECT_LT(intro, beat - 6) << "the intro is quiet";
    EXPECT_LT(breakdown, climax - 3) << "the breakdown is calmer than the climax";
    EXPECT_GT(levelDb(t, 147000, 149000), climax - 12) << "the final chord sounds";
}

// Onset strength at each ms: the energy of the high-passed mono signal in
// the 10 ms from that ms on, over the mean energy of the 30 ms that end
// 10 ms before it.
std::vector<double> onsetStrength(const Track& t) {
    long ms = long(double(t.frames()) * 1000.0 / t.rate);
    std::vector<double> energy(size_t(ms), 0.0);
    float previous = 0;
    for (long i = 0; i < t.frames(); ++i) {
        float mono = 0.5f * (t.samples[size_t(2 * i)] + t.samples[size_t(2 * i + 1)]);
        double d = mono - previous; // first difference: weights the highs
        previous = mono;
        long bin = long(double(i) * 1000.0 / t.rate);
        if (bin < ms) energy[size_t(bin)] += d * d;
    }
    std::vector<double> strength(size_t(ms), 0.0);
    for (long m = 40; m + 10 < ms; ++m) {
        double after = 0, before = 0;
        for (long k = 0; k < 10; ++k) after += energy[size_t(m + k)];
        for (long k = 40; k > 10; --k) before += energy[size_t(m - k)];
        strength[size_t(m)] = (after / 10) / (before / 30 + 1e-9);
    }
    return strength;
}

TEST(Assetgen, EverySyncTimeStartsAnAccentWithin15ms) {
    const Track& t = track();
    ASSERT_EQ(t.rate, 44100);
    std::vector<double> strength = onsetStrength(t);
    for (int i = 0; i < 41; ++i) {
        int sync = syncs[i];
        ASSERT_LT(size_t(sync + 60), strength.size());
        int best = sync - 50;
        for (int m = sync - 50; m <= sync + 50; ++m)
            if (strength[size_t(m)] > strength[size_t(best)]) best = m;
        EXPECT_LE(std::abs(best - sync), 15)
            << "sync " << i << " at " << sync << " ms: onset at " << best;
        EXPECT_GE(strength[size_t(best)], 4.0)
            << "sync " << i << " at " << sync << " ms is no clear accent";
        std::printf("sync %2d %6d ms: onset %+d ms, strength %.1f\n", i, sync, best - sync,
                    strength[size_t(best)]);
    }
}

} // namespace
