// The frame loop on a real headless window: which events end it, and that a
// frame is drawn only when no event is pending.
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdio>

#include "app/CApplication.h"
#include "app/Timeline.h"
#include "platform/Music.h"
#include "platform/Window.h"
#include "tests/support/ShowRunner.h"

namespace {

class FrameLoop : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.init());
        static bool prepared = false; // once per process, like the show
        if (!prepared) {
            if (chdir(testsupport::generatedAssets().c_str()) != 0) std::perror("assets");
            prepareShow();
            prepared = true;
        }
        platform::startMusic("/nonexistent/musa.mp3"); // timer clock, silent
        done = false;
        // Window events from the opening come first; take them all.
        while (platform::pollEvent().type != platform::EventType::None) {
        }
    }
    void TearDown() override {
        platform::stopMusic();
        app.deinit();
    }
    void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }
    void pushKey(SDL_Keycode key) {
        SDL_Event e = {};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = key;
        push(e);
    }
    CApplication app;
};

TEST_F(FrameLoop, DrawsAFrameWhenNoEventIsPending) {
    EXPECT_TRUE(app.step());
    EXPECT_FALSE(done);
    EXPECT_GT(app.lastTime, 0u);
}

TEST_F(FrameLoop, OtherKeysAreConsumedWithoutEndingTheShow) {
    pushKey(SDLK_a);
    pushKey(SDLK_SPACE);
    EXPECT_FALSE(app.step()); // the event takes the iteration
    EXPECT_FALSE(app.step());
    EXPECT_FALSE(done);
    EXPECT_TRUE(app.step());
}

TEST_F(FrameLoop, EscapeEndsTheLoopWithoutAnotherFrame) {
    EXPECT_TRUE(app.step());
    pushKey(SDLK_ESCAPE);
    EXPECT_FALSE(app.step());
    EXPECT_TRUE(done);
}

TEST_F(FrameLoop, CloseRequestEndsTheLoopLikeEscape) {
    SDL_Event e = {};
    e.type = SDL_QUIT;
    push(e);
    EXPECT_FALSE(app.step());
    EXPECT_TRUE(done);
}

TEST_F(FrameLoop, ExecuteReturnsAfterEscape) {
    pushKey(SDLK_b);
    pushKey(SDLK_ESCAPE);
    app.execute();
    EXPECT_TRUE(done);
}

TEST_F(FrameLoop, FirstFrameStepIsMeasuredAgainstZero) {
    app.lastTime = 0;
    ASSERT_TRUE(app.step());
    EXPECT_EQ(skip, frameStep(app.currentTime, 0));
    ASSERT_TRUE(app.step());
    EXPECT_LT(skip, 50.0f);
    EXPECT_GE(skip, 0.0f);
}

} // namespace
