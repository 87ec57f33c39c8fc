// The number conventions: rounding, and the single-precision print form (the double one
// is checked through the files' print form).
#include "platform/vb.h"

#include <gtest/gtest.h>

using namespace vb;

TEST(Numbers, RoundingAndSinglePrintForm) {
    // clang-format off
    const struct { double v, floor; int cint; } rows[] = {
        {127.5, 127, 128}, {126.5, 126, 126}, {-0.5, -1, 0}, {-1.5, -2, -2}, {2.4999, 2, 2},
        {-0.25, -1, 0}, {1280, 1280, 1280}};
    // clang-format on
    for (const auto& row : rows)
        EXPECT_TRUE(CInt(row.v) == row.cint && Int(row.v) == row.floor) << row.v;
    EXPECT_EQ(CLng(32767.5), 32768);
    EXPECT_EQ(NumberText(1.5f, true) + NumberText(0.1f, true), " 1.5 .1");
}
