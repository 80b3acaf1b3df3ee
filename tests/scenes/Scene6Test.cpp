// Scene 6: a cell coordinate wraps into the 120-unit field keeping its
// fraction (the moments of the golden frames meet no cell on the seam).
#include "scenes/Scene6.h"

#include <gtest/gtest.h>

namespace {

TEST(Scene6Field, CellCoordinatesWrapEvery120UnitsKeepingTheirFraction) {
    EXPECT_FLOAT_EQ(Scene6::wrapCell(119.75f), 119.75f);
    EXPECT_FLOAT_EQ(Scene6::wrapCell(120.5f), 0.5f);
    EXPECT_FLOAT_EQ(Scene6::wrapCell(250.25f), 10.25f);
}

} // namespace
