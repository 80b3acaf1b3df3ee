// present() on a drawable that is not 4:3: the picture, rendered at the
// largest 4:3 area of the drawable, centred with black bars beside or above
// and below it.
// Read back from the window's own framebuffer on SDL's offscreen driver.
#include <gtest/gtest.h>

#include <vector>

#include "platform/GL.h"
#include "platform/Window.h"

namespace {

// The window's pixels in a `w` x `h` block at (x, y), origin lower left,
// after present(): 'K' black, 'R' red, 'W' white, '?' anything else.
std::string colours(int x, int y, int w, int h) {
    std::vector<unsigned char> rgb(size_t(w) * size_t(h) * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::string names;
    for (size_t i = 0; i < rgb.size(); i += 3) {
        int c = rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2];
        names += c == 0 ? 'K' : c == 0xff0000 ? 'R' : c == 0xffffff ? 'W' : '?';
    }
    return names;
}

TEST(Window, PresentScalesThePictureTo4By3WithBlackBars) {
    struct Shape {
        int width, height;            // the drawable
        int x, y, pictureW, pictureH; // where the picture lands
    };
    for (Shape s : {Shape{1280, 720, 160, 0, 960, 720}, Shape{600, 800, 0, 175, 600, 450}}) {
        SCOPED_TRACE(std::to_string(s.width) + " x " + std::to_string(s.height));
        ASSERT_TRUE(
            platform::openWindow({"Letterbox", platform::WindowMode::Windowed, s.width, s.height}));
        // The picture: white, its left half red.
        platform::beginFrame();
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, platform::renderWidth() / 2, platform::renderHeight());
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        platform::present();
        // Across the middle and up through the red half: black to the
        // picture's edges, and the whole picture between them.
        std::string row = colours(0, s.y + s.pictureH / 2, s.width, 1);
        std::string column = colours(s.x + s.pictureW / 4, 0, 1, s.height);
        std::string right(size_t(s.width - s.x - s.pictureW), 'K'),
            top(size_t(s.height - s.y - s.pictureH), 'K');
        EXPECT_EQ(row, std::string(size_t(s.x), 'K') + std::string(size_t(s.pictureW / 2), 'R') +
                           std::string(size_t(s.pictureW / 2), 'W') + right);
        EXPECT_EQ(column, std::string(size_t(s.y), 'K') + std::string(size_t(s.pictureH), 'R') + top);
        platform::closeWindow();
    }
}

} // namespace
