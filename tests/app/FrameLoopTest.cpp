// The frame loop's events on a real headless window: which events end it,
// and that an event takes the loop's iteration instead of a frame. (Drawing
// the first frame is checked with the whole start-up in PrecalcTest.)
#include <gtest/gtest.h>

#include <SDL.h>

#include "app/CApplication.h"
#include "platform/Window.h"

namespace {

class FrameLoop : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.init());
        done = false;
        // Window events from the opening come first; take them all.
        while (platform::pollEvent().type != platform::EventType::None) {
        }
    }
    void TearDown() override { app.deinit(); }
    static void push(SDL_EventType type, SDL_Keycode key = SDLK_UNKNOWN) {
        SDL_Event e = {};
        e.type = type;
        e.key.keysym.sym = key;
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }
    CApplication app;
};

TEST_F(FrameLoop, EscapeAndCloseEndItOtherKeysAreConsumedWithoutAFrame) {
    const struct {
        SDL_EventType type;
        SDL_Keycode key;
        bool ends;
    } rows[] = {
        {SDL_KEYDOWN, SDLK_a, false},    {SDL_KEYDOWN, SDLK_SPACE, false},
        {SDL_KEYUP, SDLK_ESCAPE, false}, {SDL_KEYDOWN, SDLK_ESCAPE, true},
        {SDL_QUIT, SDLK_UNKNOWN, true},
    };
    // All queued first: SDL's poll sentinel makes the first poll after a push
    // into a drained queue report it empty.
    for (const auto& [type, key, ends] : rows) push(type, key);
    for (const auto& [type, key, ends] : rows) {
        done = false;
        EXPECT_FALSE(app.step()) << "event " << type << " key " << key;
        EXPECT_EQ(done, ends) << "event " << type << " key " << key;
        EXPECT_EQ(app.lastTime, 0u); // no frame was drawn
    }
}

TEST_F(FrameLoop, ExecuteReturnsAtEscapeAfterConsumingTheKeysBeforeIt) {
    push(SDL_KEYDOWN, SDLK_b);
    push(SDL_KEYDOWN, SDLK_ESCAPE);
    app.execute(); // would draw, and fail without a loaded show, had it not ended
    EXPECT_TRUE(done);
    EXPECT_EQ(platform::pollEvent().type, platform::EventType::None);
}

} // namespace
