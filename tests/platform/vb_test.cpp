#include "platform/vb.h"

#include <gtest/gtest.h>

using namespace vb;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(CInt(127.5), 128);
    EXPECT_EQ(CInt(126.5), 126);
    EXPECT_EQ(CInt(-0.5), 0);
    EXPECT_EQ(CInt(-1.5), -2);
    EXPECT_EQ(CInt(2.4999), 2);
    EXPECT_EQ(CLng(32767.5), 32768);
    EXPECT_EQ(Int(-0.1), -1);
    EXPECT_EQ(Int(2.9), 2);
    EXPECT_EQ(Int(-3), -3);
}

TEST(NumberText, PrintFormOfNumbers) {
    EXPECT_EQ(NumberText(1), " 1");
    EXPECT_EQ(NumberText(0), " 0");
    EXPECT_EQ(NumberText(-5), "-5");
    EXPECT_EQ(NumberText(0.5), " .5");
    EXPECT_EQ(NumberText(-0.25), "-.25");
    EXPECT_EQ(NumberText(1280), " 1280");
    EXPECT_EQ(NumberText(3.1415926), " 3.1415926");
    EXPECT_EQ(NumberText(1.191), " 1.191");
    EXPECT_EQ(NumberText(1.5f, true), " 1.5");
    EXPECT_EQ(NumberText(0.1f, true), " .1");
    EXPECT_EQ(NumberText(8388608), " 8388608");
}

TEST(VariantField, EmptyNumbersAndText) {
    Variant v;
    EXPECT_TRUE(v.isEmpty());
    EXPECT_EQ(v.num(), 0);
    EXPECT_EQ(v.text(), "");
    v = 3;
    EXPECT_EQ(v.kind(), Variant::Kind::Whole);
    EXPECT_EQ(v.num() + 1, 4);
    v += 0.5;
    EXPECT_EQ(v.kind(), Variant::Kind::Real);
    EXPECT_EQ(v.text(), " 3.5");
    v = "12abc";
    EXPECT_EQ(v.num(), 12);
    EXPECT_EQ(v.text(), "12abc");
    v.clear();
    EXPECT_TRUE(v.isEmpty());
}
