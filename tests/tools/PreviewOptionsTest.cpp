// The preview player's command line: defaults, every option, and one clear
// error for each kind of bad value.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/RenderSize.h"
#include "tools/preview/PreviewOptions.h"

namespace {

std::string parse(std::initializer_list<const char*> args, PreviewOptions& o) {
    std::vector<char*> argv = {const_cast<char*>("preview")};
    for (const char* a : args) argv.push_back(const_cast<char*>(a));
    return parsePreviewOptions(int(argv.size()), argv.data(), o);
}

TEST(PreviewOptions, DefaultsAreAWindowAtTheStartWithSoundAndVsync) {
    PreviewOptions o;
    EXPECT_EQ(parse({}, o), "");
    EXPECT_FALSE(o.fullscreenDesktop);
    EXPECT_EQ(o.width, platform::renderWidth());
    EXPECT_EQ(o.height, platform::renderHeight());
    EXPECT_EQ(o.fromMs, 0u);
    EXPECT_FALSE(o.loop || o.mute || o.help);
    EXPECT_TRUE(o.vsync);
    EXPECT_EQ(o.avOffsetMs, 0);
    EXPECT_EQ(o.frames, 0);
}

TEST(PreviewOptions, EveryOptionIsRead) {
    PreviewOptions o;
    EXPECT_EQ(parse({"--window", "800x600", "--from", "48000", "--loop", "--mute", "--av-offset", "-120",
                     "--vsync", "off", "--frames", "5", "--assets", "/a"},
                    o),
              "");
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 600);
    EXPECT_EQ(o.fromMs, 48000u);
    EXPECT_TRUE(o.loop && o.mute);
    EXPECT_EQ(o.avOffsetMs, -120);
    EXPECT_FALSE(o.vsync);
    EXPECT_EQ(o.frames, 5);
    EXPECT_EQ(o.assets, "/a");

    PreviewOptions d;
    EXPECT_EQ(parse({"--fullscreen-desktop", "--vsync", "on"}, d), "");
    EXPECT_TRUE(d.fullscreenDesktop);
    EXPECT_TRUE(d.vsync);
}

TEST(PreviewOptions, WindowSizeIsOptional) {
    PreviewOptions o;
    EXPECT_EQ(parse({"--window", "--loop"}, o), "");
    EXPECT_EQ(o.width, platform::renderWidth());
    EXPECT_TRUE(o.loop);
}

TEST(PreviewOptions, HelpWinsOverEverythingElse) {
    PreviewOptions o;
    EXPECT_EQ(parse({"--from", "5", "--help", "--bogus"}, o), "");
    EXPECT_TRUE(o.help);
}

TEST(PreviewOptions, BadValuesGiveOneLineNamingTheOption) {
    struct Case {
        std::initializer_list<const char*> args;
        const char* mention;
    };
    const Case cases[] = {
        {{"--window", "10x10"}, "--window"},
        {{"--window", "800"}, "--window"},
        {{"--window", "800x600x2"}, "--window"},
        {{"--from", "-1"}, "--from"},
        {{"--from", "150000"}, "--from"},
        {{"--from"}, "--from"},
        {{"--av-offset", "2001"}, "--av-offset"},
        {{"--av-offset", "x"}, "--av-offset"},
        {{"--vsync", "yes"}, "--vsync"},
        {{"--frames", "0"}, "--frames"},
        {{"--assets"}, "--assets"},
        {{"--frobnicate"}, "--frobnicate"},
        {{"--window", "--fullscreen-desktop"}, "--fullscreen-desktop"},
    };
    for (const Case& c : cases) {
        PreviewOptions o;
        std::string error = parse(c.args, o);
        EXPECT_NE(error.find(c.mention), std::string::npos) << *c.args.begin() << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

} // namespace
