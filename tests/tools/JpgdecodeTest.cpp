// The jpgdecode tool: PPM and PGM output, their pixels equal to the decoder's
// in-process result, the header line, and a clear failure for a file it
// cannot read.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "render/Jpg.h"
#include "tests/support/LibJpeg.h"

namespace {

const std::string tool = DEMO_BINARY_DIR "/jpgdecode";

std::string run(const std::string& arguments, int* status) {
    std::string command = tool + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe)) output += buffer;
    int raw = pipe ? pclose(pipe) : -1;
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write((const char*)bytes.data(), std::streamsize(bytes.size()));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string firstLine(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic, size;
    in >> magic >> size;
    std::string rest;
    in >> rest;
    return magic + " " + size + " " + rest;
}

} // namespace

TEST(Jpgdecode, WritesPpmAndWithAMaskAPgmAndPrintsTheHeader) {
    testsupport::JpegEncodeOptions options;
    options.restartEveryRow = true;
    std::string dir = testing::TempDir();
    writeFile(dir + "c.jpg", testsupport::encodeJpeg(testsupport::syntheticImage(33, 17, 3), options));
    writeFile(dir + "m.jpg", testsupport::encodeJpeg(testsupport::syntheticImage(33, 17, 1), options));
    int status = -1;
    std::string said = run(dir + "c.jpg " + dir + "out.ppm " + dir + "m.jpg", &status);
    EXPECT_EQ(status, 0) << said;
    EXPECT_NE(said.find("33 x 17, 3 components, sampling 2x2,1x1,1x1, restart interval 3"),
              std::string::npos)
        << said;
    EXPECT_EQ(firstLine(dir + "out.ppm"), "P6 33 17");
    EXPECT_EQ(firstLine(dir + "out.pgm"), "P5 33 17");
}

TEST(Jpgdecode, WrittenPixelsAreTheDecodersOverSeveralOutputChunks) {
    // 300 x 250: 225,000 bytes of RGB, more than three 64 KiB chunks of whole
    // rows, the last one partial.
    std::string dir = testing::TempDir();
    using testsupport::encodeJpeg;
    using testsupport::syntheticImage;
    std::vector<uint8_t> colour = encodeJpeg(syntheticImage(300, 250, 3), {});
    std::vector<uint8_t> mask = encodeJpeg(syntheticImage(300, 250, 1), {});
    writeFile(dir + "big.jpg", colour);
    writeFile(dir + "bigmask.jpg", mask);
    int status = -1;
    std::string said = run(dir + "big.jpg " + dir + "big.ppm " + dir + "bigmask.jpg", &status);
    ASSERT_EQ(status, 0) << said;

    const char* maskError = nullptr;
    JpegImage image =
        jpegDecodeMasked(colour.data(), colour.size(), mask.data(), mask.size(), &maskError);
    ASSERT_EQ(image.width, 300);
    ASSERT_EQ(maskError, nullptr);
    std::string rgb, alpha;
    for (int i = 0; i < 300 * 250; i++) {
        rgb.append((const char*)image.data + 4 * i, 3);
        alpha.push_back(char(image.data[4 * i + 3]));
    }
    std::free(image.data);
    EXPECT_TRUE(readFile(dir + "big.ppm") == "P6\n300 250\n255\n" + rgb);
    EXPECT_TRUE(readFile(dir + "big.pgm") == "P5\n300 250\n255\n" + alpha);
}

TEST(Jpgdecode, FailsWithAMessageForAFileItCannotRead) {
    int status = -1;
    std::string said = run("/nonexistent/in.jpg " + testing::TempDir() + "x.ppm", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(said.find("/nonexistent/in.jpg: cannot be opened"), std::string::npos) << said;
    writeFile(testing::TempDir() + "prog.jpg",
              {0xFF, 0xD8, 0xFF, 0xC2, 0, 11, 8, 0, 8, 0, 8, 1, 1, 0x11, 0});
    said = run(testing::TempDir() + "prog.jpg " + testing::TempDir() + "x.ppm", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(said.find("progressive JPEG is not supported"), std::string::npos) << said;
}
