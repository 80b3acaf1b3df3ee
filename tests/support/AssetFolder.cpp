// Test asset folders: links into the generated pack, with flat grey JPEG
// files (encoded by libjpeg) written over the ones a test replaces.
#include "tests/support/AssetFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "render/Jpg.h"
#include "tests/support/ShowRunner.h"
#include "tests/support/TestMp3.h"
#include "tools/common/LibJpeg.h"

namespace testsupport {

bool writeGreyJpeg(const std::string& path, int width, int height, int left, int right) {
    libjpeg::RgbImage image{width, height, 1, {}};
    for (int i = 0; i < width * height; i++)
        image.pixels.push_back(uint8_t(i % width < width / 2 || right < 0 ? left : right));
    // With width / 2 a multiple of 8 every 8 x 8 block is flat, and flat
    // blocks come back exact at the default quality.
    std::vector<uint8_t> bytes = libjpeg::encodeJpeg(image, libjpeg::JpegEncodeOptions());
    std::filesystem::remove(path); // a link into the generated pack: replaced, never written through
    std::ofstream file(path, std::ios::binary);
    file << std::string(bytes.begin(), bytes.end());
    return !bytes.empty() && file.flush().good();
}

std::string copyOfGeneratedAssets() {
    const std::string dir = makeTempDir();
    std::filesystem::create_directory(dir + "/Textures");
    for (const auto& e : std::filesystem::directory_iterator(generatedAssets() + "/Textures"))
        std::filesystem::create_symlink(e.path(), dir + "/Textures/" + e.path().filename().string());
    std::filesystem::create_symlink(generatedAssets() + "/musa.mp3", dir + "/musa.mp3");
    return dir;
}

std::string assetsWithoutOverlay() {
    static std::string made;
    if (!made.empty()) return made;
    made = copyOfGeneratedAssets();
    // The mask must be the size of the image it masks to be used at all.
    std::ifstream in(made + "/Textures/layer.jpg", std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    JpegImage layer = jpegDecode(bytes.data(), bytes.size());
    writeGreyJpeg(made + "/Textures/layer_mask.jpg", layer.width, layer.height, 0);
    std::free(layer.data);
    return made;
}

} // namespace testsupport
