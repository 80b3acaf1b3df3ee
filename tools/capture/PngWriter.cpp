// PNG output through stb_image_write (Debian's libstb).
#include "tools/capture/PngWriter.h"

#include <stb_image_write.h>

bool writeFramePng(const std::string& path, const unsigned char* bottomUpRgb, int width, int height) {
    stbi_flip_vertically_on_write(1); // GL rows come bottom first
    return stbi_write_png(path.c_str(), width, height, 3, bottomUpRgb, width * 3) != 0;
}
