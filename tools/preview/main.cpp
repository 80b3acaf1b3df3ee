// build/preview: the show in real time with the music in a window or on the
// desktop, for watching parts of it again: start anywhere, pause, jump
// between scenes, loop, mute, shift the picture against the sound. Every
// start, jump and loop first runs the show up from 0 ms at a fixed step, so
// the picture is the one a run from the start shows there.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/CApplication.h"
#include "app/ShowStart.h"
#include "app/Timeline.h"
#include "platform/Music.h"
#include "platform/Paths.h"
#include "platform/Window.h"
#include "tools/common/CommandLine.h"
#include "tools/common/FrameDriver.h"
#include "tools/preview/PreviewOptions.h"
#include "tools/preview/SceneJump.h"

namespace {

constexpr int runUpFps = 30; // grid of the run-up frames before a start

struct Player {
    PreviewOptions options;
    bool paused = false;
    unsigned shownMs = 0; // music time of the last picture
    RealTimeRun realTime; // measures each frame's step

    // Starts playing at music time `ms`: runs the show up from 0 to the
    // picture time at a fixed step, then starts the sound there.
    void startAt(unsigned ms) {
        unsigned picture = pictureTimeMs(ms, options.avOffsetMs);
        seekRealTime(picture, runUpFps);
        if (options.mute) platform::startSilentClock(ms);
        else platform::startMusic("musa.mp3", ms);
        if (paused) platform::pauseMusic(true);
        restartSteps(realTime);
        shownMs = picture;
    }

    // Handles one key; returns false to quit.
    bool key(platform::Key k) {
        switch (k) {
        case platform::Key::Escape:
        case platform::Key::Q: return false;
        case platform::Key::Space:
            paused = !paused;
            platform::pauseMusic(paused);
            restartSteps(realTime);
            return true;
        case platform::Key::Left: startAt(previousSceneStart(shownMs)); return true;
        case platform::Key::Right: startAt(nextSceneStart(shownMs)); return true;
        default: return true;
        }
    }

    // Draws and shows one frame; returns false at the end of the show.
    bool frame() {
        unsigned picture = pictureTimeMs(platform::musicPositionMs(), options.avOffsetMs);
        if (picture >= unsigned(showEndMs)) {
            if (!options.loop) return false;
            startAt(options.fromMs);
            picture = shownMs;
        }
        drawRealTimeFrame(realTime, picture);
        platform::present();
        shownMs = picture;
        return true;
    }

    void run() {
        startAt(options.fromMs);
        for (long frames = 0; !options.frames || frames < options.frames;) {
            platform::Event e = platform::pollEvent();
            if (e.type == platform::EventType::Quit) break;
            if (e.type == platform::EventType::KeyDown && !key(e.key)) break;
            if (e.type != platform::EventType::None) continue;
            if (paused) {
                // Keeps a resized window filled; a direct drawable keeps its frame.
                if (platform::usesOffscreenTarget()) platform::present();
                std::this_thread::sleep_for(std::chrono::milliseconds(15));
                continue;
            }
            if (!frame()) break;
            frames++;
        }
        platform::stopMusic();
    }
};

} // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) return printHelp(previewUsage);
    Player player;
    const std::string error = parsePreviewOptions(argc, argv, player.options);
    if (!error.empty()) return usageError(previewUsage, error);
    platform::WindowConfig config;
    config.title = "Demo preview";
    config.mode = player.options.fullscreenDesktop ? platform::WindowMode::FullscreenDesktop
                                                   : platform::WindowMode::Windowed;
    config.width = player.options.width;
    config.height = player.options.height;
    config.swapInterval = player.options.vsync ? 1 : 0;
    if (player.options.renderWidth) {
        platform::fixRenderSize(player.options.renderWidth, player.options.renderHeight);
    }
    platform::setMessageBoxes(false);
    CApplication app;
    ShowStart start =
        startShow(app, previewUsage.tool, platform::assetFolder(player.options.assets), &config);
    if (start != ShowStart::Ready) return exitStatus(start);
    player.run();
    std::printf("preview: stopped at %u ms in scene %d\n", player.shownMs, sceneAt(player.shownMs) + 1);
    app.deinit();
    return 0;
}
