// The jpgdecode tool: the decoder's pixels written as PPM and the mask's
// alpha as PGM, the header line it prints, and its failures naming the file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "render/Jpg.h"
#include "tests/support/Process.h"
#include "tests/support/TestMp3.h"
#include "tools/common/LibJpeg.h"

using namespace testsupport;
using namespace libjpeg;

namespace {

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write((const char*)bytes.data(), std::streamsize(bytes.size()));
}

} // namespace

TEST(Jpgdecode, WritesTheDecodersPixelsAsPpmTheMaskAsPgmAndPrintsTheHeader) {
    // 300 x 250: 225,000 bytes of RGB, more than three 64 KiB chunks of whole
    // rows, the last one partial. A folder of its own: several builds' suites
    // may run at once.
    const std::string dir = makeTempDir() + "/";
    JpegEncodeOptions options;
    options.restartEveryRow = true;
    std::vector<uint8_t> colour = encodeJpeg(syntheticImage(300, 250, 3), options),
                         mask = encodeJpeg(syntheticImage(300, 250, 1), options);
    writeFile(dir + "c.jpg", colour);
    writeFile(dir + "m.jpg", mask);
    Finished run =
        Program("jpgdecode " + dir + "c.jpg " + dir + "c.ppm " + dir + "m.jpg", {}, dir).wait(60);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const char* header = "c.jpg: 300 x 250, 3 components, sampling 2x2,1x1,1x1, restart interval 19";
    EXPECT_NE(run.out.find(header), std::string::npos) << run.out;
    const char* error = nullptr; // the mask's
    JpegImage image = jpegDecodeMasked(colour.data(), colour.size(), mask.data(), mask.size(), &error);
    ASSERT_TRUE(image.data && image.width == 300 && image.height == 250)
        << image.width << " x " << image.height;
    std::string rgb = "P6\n300 250\n255\n", alpha = "P5\n300 250\n255\n";
    for (int i = 0; i < 300 * 250; i++) {
        rgb.append((const char*)image.data + 4 * i, 3);
        alpha.push_back(char(image.data[4 * i + 3]));
    }
    free(image.data);
    EXPECT_TRUE(readFile(dir + "c.ppm") == rgb && readFile(dir + "c.pgm") == alpha);
}

TEST(Jpgdecode, FailsWithAMessageNamingTheFileItCannotUse) {
    const std::string dir = makeTempDir() + "/";
    writeFile(dir + "p.jpg", {0xFF, 0xD8, 0xFF, 0xC2, 0, 11, 8, 0, 8, 0, 8, 1, 1, 0x11, 0});
    const std::string cases[][2] = {{"/nonexistent/in.jpg", "/nonexistent/in.jpg: cannot be opened"},
                                    {dir + "p.jpg", "p.jpg: progressive JPEG is not supported"}};
    for (const auto& [in, message] : cases) {
        Finished run = Program("jpgdecode " + in + " " + dir + "x.ppm", {}, dir).wait(60);
        EXPECT_NE(run.exitCode, 0) << in;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}
