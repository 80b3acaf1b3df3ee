// Window, context and frame loop of the show.
#include "app/CApplication.h"

#include <cstdio>

#include "app/Timeline.h"
#include "platform/Clock.h"
#include "platform/FrameLoop.h"
#include "platform/GL.h"
#include "platform/Music.h"
#include "platform/Window.h"

bool done = false;

float frameStep(uint64_t current, uint64_t last) {
    float step = float(double(int64_t(current - last)) / 50.0);
    return step > 50.0f ? 50.0f : step;
}

bool CApplication::init() {
    platform::WindowConfig config;
    if (!platform::openWindow(config)) return false;
    lastTime = 0;
    currentTime = 0;
    if (const char* missing = platform::loadGLExtensions()) {
        std::fprintf(stderr, "Demo: the OpenGL driver lacks %s, which the show needs.\n", missing);
        platform::closeWindow();
        return false;
    }
    return true;
}

void CApplication::execute() {
    done = false;
    platform::runFrames([](void* app) { return static_cast<CApplication*>(app)->step(); },
                        [](void*) { return done; }, this);
}

bool CApplication::step() {
    platform::Event event = platform::pollEvent();
    if (event.type == platform::EventType::Quit) {
        // Closing the window ends the show like Escape.
        done = true;
        return false;
    }
    if (event.type != platform::EventType::None) {
        if (event.type == platform::EventType::KeyDown && event.key == platform::Key::Escape) {
            done = true;
        }
        return false;
    }
    currentTime = platform::ticksMs();
    skip = frameStep(currentTime, lastTime);
    lastTime = currentTime;
    platform::beginFrame();
    run();
    platform::present();
    return true;
}

void CApplication::run() {
    advanceTimeline(musicPositionMs());
    drawCurrentScene();
}

void CApplication::deinit() {
    platform::stopMusic();
    platform::closeWindow();
}
