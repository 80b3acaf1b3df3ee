// Test asset folders, made with libjpeg.
#include "tests/support/AssetFolder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <jpeglib.h>
#include <vector>

#include "tests/support/ShowRunner.h"
#include "tests/support/TestMp3.h"

namespace testsupport {
namespace {

// Width and height from a JPEG header; 256 x 256 when it cannot be read.
void jpegSize(const std::string& path, int& width, int& height) {
    width = height = 256;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return;
    jpeg_decompress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, f);
    if (jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK) {
        width = int(info.image_width);
        height = int(info.image_height);
    }
    jpeg_destroy_decompress(&info);
    std::fclose(f);
}

} // namespace

bool writeGreyJpeg(const std::string& path, int width, int height, int left, int right) {
    if (right < 0) right = left;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, f);
    info.image_width = unsigned(width);
    info.image_height = unsigned(height);
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width), static_cast<JSAMPLE>(left));
    for (int x = width / 2; x < width; x++) row[size_t(x)] = static_cast<JSAMPLE>(right);
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(f) == 0;
}

std::string copyOfGeneratedAssets() {
    std::string source = generatedAssets();
    std::string dir = makeTempDir();
    mkdir((dir + "/Textures").c_str(), 0755);
    if (DIR* d = opendir((source + "/Textures").c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            symlink((source + "/Textures/" + name).c_str(), (dir + "/Textures/" + name).c_str());
        }
        closedir(d);
    }
    symlink((source + "/musa.mp3").c_str(), (dir + "/musa.mp3").c_str());
    return dir;
}

std::string assetsWithoutOverlay() {
    static std::string made;
    if (!made.empty()) return made;
    std::string dir = copyOfGeneratedAssets();
    int w, h;
    jpegSize(generatedAssets() + "/Textures/layer.jpg", w, h);
    std::string mask = dir + "/Textures/layer_mask.jpg";
    unlink(mask.c_str());
    writeGreyJpeg(mask, w, h, 0);
    made = dir;
    return made;
}

} // namespace testsupport
