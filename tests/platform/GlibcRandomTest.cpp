// The browser build's rand() (platform/web/GlibcRandom): the sequence of
// GNU libc, which this test program itself draws from, as the desktop show
// does; the scenes' particles and panels are placed by it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/web/GlibcRandom.h"

namespace {

constexpr int draws = 20000; // far past the state's 31 words and glibc's 310 discarded rounds

TEST(GlibcRandom, DrawsTheCLibrarysSequenceForEverySeed) {
    // 0 counts as 1; seeds at and beyond 2^31 are negative as the state's
    // first word, where the filling generator's arithmetic changes sign.
    const unsigned seeds[] = {0, 1, 2, 12345, 2147483647u, 2147483648u, 4294967295u};
    for (unsigned seed : seeds) {
        platform::GlibcRandom generator;
        generator.seed(seed);
        std::srand(seed);
        for (int i = 0; i < draws; i++)
            ASSERT_EQ(generator.next(), std::rand()) << "seed " << seed << ", draw " << i;
    }
}

TEST(GlibcRandom, StartsAsAProgramThatNeverSeedsAndRestartsOnSeedingAgain) {
    // The show's start-up and every rewind call srand(1), and the scenes
    // count on the sequence of a program that never seeds.
    platform::GlibcRandom generator;
    std::srand(1);
    for (int i = 0; i < draws; i++) ASSERT_EQ(generator.next(), std::rand()) << "draw " << i;
    generator.seed(1);
    std::srand(1);
    for (int i = 0; i < draws; i++)
        ASSERT_EQ(generator.next(), std::rand()) << "draw " << i << " after seeding again";
}

} // namespace
