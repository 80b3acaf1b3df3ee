// The preview player's command line: defaults and every option. (Its answers
// to bad values are checked with the other tools' command lines.)
#include <gtest/gtest.h>

#include "tools/preview/PreviewOptions.h"

namespace {

// Parses `args`; returns the error, or the options read as "desktop WxH from
// loop mute offset vsync frames 'assets'".
std::string parse(std::initializer_list<const char*> args) {
    std::vector<char*> argv = {const_cast<char*>("preview")};
    for (const char* a : args) argv.push_back(const_cast<char*>(a));
    PreviewOptions o;
    std::string error = parsePreviewOptions(int(argv.size()), argv.data(), o);
    std::ostringstream read;
    read << o.fullscreenDesktop << " " << o.width << "x" << o.height << " " << o.fromMs << " " << o.loop
         << " " << o.mute << " " << o.avOffsetMs << " " << o.vsync << " " << o.frames << " '" << o.assets
         << "'";
    return error.empty() ? read.str() : error;
}

TEST(PreviewOptions, DefaultsAndEveryOptionAreRead) {
    EXPECT_EQ(parse({}), "0 1024x768 0 0 0 0 1 0 ''");
    EXPECT_EQ(parse({"--window", "800x600", "--from", "48000", "--loop", "--mute", "--av-offset", "-120",
                     "--vsync", "off", "--frames", "5", "--assets", "/a"}),
              "0 800x600 48000 1 1 -120 0 5 '/a'");
    EXPECT_EQ(parse({"--fullscreen-desktop", "--vsync", "on"}), "1 1024x768 0 0 0 0 1 0 ''");
    EXPECT_EQ(parse({"--window", "--loop"}), "0 1024x768 0 1 0 0 1 0 ''"); // the size is optional
}

} // namespace
