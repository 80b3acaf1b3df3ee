// The jpgdecode tool: the decoder's pixels written as PPM and the mask's
// alpha as PGM, the header line it prints, and its failures naming the file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "render/Jpg.h"
#include "tests/support/LibJpeg.h"
#include "tests/support/Process.h"

namespace {

const std::string tool = DEMO_BINARY_DIR "/jpgdecode";

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write((const char*)bytes.data(), std::streamsize(bytes.size()));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(Jpgdecode, WritesTheDecodersPixelsAsPpmTheMaskAsPgmAndPrintsTheHeader) {
    // 300 x 250: 225,000 bytes of RGB, more than three 64 KiB chunks of whole
    // rows, the last one partial.
    testsupport::JpegEncodeOptions options;
    options.restartEveryRow = true;
    std::vector<uint8_t> colour =
        testsupport::encodeJpeg(testsupport::syntheticImage(300, 250, 3), options);
    std::vector<uint8_t> mask = testsupport::encodeJpeg(testsupport::syntheticImage(300, 250, 1), {});
    std::string dir = testing::TempDir();
    writeFile(dir + "c.jpg", colour);
    writeFile(dir + "m.jpg", mask);
    testsupport::Finished run =
        testsupport::runProgram({tool, dir + "c.jpg", dir + "c.ppm", dir + "m.jpg"}, {}, dir, 60);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("c.jpg: 300 x 250, 3 components, sampling 2x2,1x1,1x1, restart interval 19"),
              std::string::npos)
        << run.out;
    const char* maskError = nullptr;
    JpegImage image =
        jpegDecodeMasked(colour.data(), colour.size(), mask.data(), mask.size(), &maskError);
    ASSERT_EQ(image.width * image.height, 300 * 250);
    std::string rgb, alpha;
    for (int i = 0; i < 300 * 250; i++) {
        rgb.append((const char*)image.data + 4 * i, 3);
        alpha.push_back(char(image.data[4 * i + 3]));
    }
    std::free(image.data);
    EXPECT_TRUE(readFile(dir + "c.ppm") == "P6\n300 250\n255\n" + rgb);
    EXPECT_TRUE(readFile(dir + "c.pgm") == "P5\n300 250\n255\n" + alpha);
}

TEST(Jpgdecode, FailsWithAMessageNamingTheFileItCannotUse) {
    std::string dir = testing::TempDir();
    writeFile(dir + "prog.jpg", {0xFF, 0xD8, 0xFF, 0xC2, 0, 11, 8, 0, 8, 0, 8, 1, 1, 0x11, 0});
    const std::pair<std::string, std::string> cases[] = {
        {"/nonexistent/in.jpg", "/nonexistent/in.jpg: cannot be opened"},
        {dir + "prog.jpg", "prog.jpg: progressive JPEG is not supported"}};
    for (const auto& [in, message] : cases) {
        testsupport::Finished run = testsupport::runProgram({tool, in, dir + "x.ppm"}, {}, dir, 60);
        EXPECT_NE(run.exitCode, 0) << in;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}
