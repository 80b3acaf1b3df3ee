// Parsing of the preview player's arguments.
#include "tools/preview/PreviewOptions.h"

#include <cstring>

#include "scenes/SceneTable.h"
#include "tools/common/SizeArgument.h"

// The last start: the show's last ms before its end, which the error for
// --from gives.
constexpr long lastStartMs = showEndMs - 1;
static_assert(lastStartMs == 149999, "the text gives the last start, 149999 ms");

const Usage previewUsage = {
    "preview",
    "usage: preview [--window [WxH] | --fullscreen-desktop] [--render-size WxH] [--from MS]\n"
    "               [--loop] [--mute] [--av-offset MS] [--vsync on|off] [--frames N]\n"
    "               [--assets DIR]\n",
    "Plays the show in real time with the music.\n"
    "  --window [WxH]        a resizable window, 1024x768 unless given (the default);\n"
    "                        the picture keeps 4:3 with black bars\n"
    "  --fullscreen-desktop  cover the desktop without changing the display mode\n"
    "  --render-size WxH     draw at WxH (4:3, at least 320x240), scaled to the\n"
    "                        window; 1024x768 is the classic picture. Default: the\n"
    "                        largest 4:3 area of the window in its own pixels,\n"
    "                        following resizes\n"
    "  --from MS             start the music at MS; the scene's moving parts are run\n"
    "                        up from the scene's start first\n"
    "  --loop                start again at --from when the show ends\n"
    "  --mute                no sound; the clock runs on the system timer\n"
    "  --av-offset MS        show the picture MS later than the sound (earlier when\n"
    "                        negative), -2000 to 2000\n"
    "  --vsync on|off        wait for the display's refresh (default on)\n"
    "  --frames N            quit after N frames (for scripted runs)\n"
    "  --assets DIR          the folder that holds Textures/ and musa.mp3\n"
    "Keys: Escape or Q quit, Space pause, Left/Right previous/next scene start.\n"
    "On exit it prints where it stopped: the music time and the scene.\n"};

namespace {

bool looksLikeSize(const char* text) {
    return text && *text >= '0' && *text <= '9';
}

} // namespace

std::string parsePreviewOptions(int argc, char** argv, PreviewOptions& o) {
    bool window = false;
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        const char* expected = nullptr; // what the value should have been
        long n = 0;
        if (!std::strcmp(arg, "--window")) {
            window = true;
            if (looksLikeSize(value)) {
                if (!parseSize(value, 64, 16384, o.width, o.height)) expected = "WxH, 64 to 16384 each";
                i++;
            }
        } else if (!std::strcmp(arg, "--fullscreen-desktop")) {
            o.fullscreenDesktop = true;
        } else if (!std::strcmp(arg, "--render-size")) {
            std::string problem = parseRenderSize(value, o.renderWidth, o.renderHeight);
            if (!problem.empty()) return "--render-size " + problem;
            i++;
        } else if (!std::strcmp(arg, "--loop")) {
            o.loop = true;
        } else if (!std::strcmp(arg, "--mute")) {
            o.mute = true;
        } else if (!std::strcmp(arg, "--from")) {
            if (parseInteger(value, 0, lastStartMs, n)) o.fromMs = unsigned(n);
            else expected = "a time in ms, 0 to 149999";
            i++;
        } else if (!std::strcmp(arg, "--av-offset")) {
            if (parseInteger(value, -2000, 2000, n)) o.avOffsetMs = int(n);
            else expected = "ms, -2000 to 2000";
            i++;
        } else if (!std::strcmp(arg, "--frames")) {
            if (parseInteger(value, 1, 100000000, n)) o.frames = n;
            else expected = "a frame count, 1 or more";
            i++;
        } else if (!std::strcmp(arg, "--vsync")) {
            if (value && !std::strcmp(value, "on")) o.vsync = true;
            else if (value && !std::strcmp(value, "off")) o.vsync = false;
            else expected = "on or off";
            i++;
        } else if (!std::strcmp(arg, "--assets")) {
            if (value && *value) o.assets = value;
            else expected = "a folder";
            i++;
        } else {
            return unknownArgument(arg);
        }
        if (expected) return badValue(arg, expected);
    }
    if (window && o.fullscreenDesktop) return "--window and --fullscreen-desktop exclude each other";
    return "";
}
