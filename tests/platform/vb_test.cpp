// The number conventions: rounding and the print form of numbers on screen.
#include "platform/vb.h"

#include <gtest/gtest.h>

using namespace vb;

TEST(Numbers, RoundingAndPrintForm) {
    // clang-format off
    const struct { double v, floor; int cint; const char* text; } rows[] = {
        {127.5, 127, 128, " 127.5"}, {126.5, 126, 126, " 126.5"}, {-0.5, -1, 0, "-.5"},
        {-1.5, -2, -2, "-1.5"}, {2.4999, 2, 2, " 2.4999"}, {0, 0, 0, " 0"}, {-0.25, -1, 0, "-.25"},
        {1280, 1280, 1280, " 1280"}, {3.1415926, 3, 3, " 3.1415926"}};
    // clang-format on
    for (const auto& row : rows) {
        EXPECT_EQ(CInt(row.v), row.cint) << row.v;
        EXPECT_EQ(Int(row.v), row.floor) << row.v;
        EXPECT_EQ(NumberText(row.v), row.text);
    }
    EXPECT_EQ(CLng(32767.5), 32768);
    EXPECT_EQ(NumberText(1e20) + NumberText(1.5e-7), " 1E+20 1.5E-07");
    EXPECT_EQ(NumberText(1.5f, true) + NumberText(0.1f, true), " 1.5 .1");
}
