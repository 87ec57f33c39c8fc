// Print form and number reading used by profiles, CSV waves and exports.
#include "files/formats.h"
#include "files/names.h"

#include <gtest/gtest.h>

using files::leadingNumber;
using files::parseNumber;
using files::printForm;

TEST(PrintForm, BlankForSignTrailingBlankNoLeadingZero) {
    EXPECT_EQ(printForm(1), " 1 ");
    EXPECT_EQ(printForm(-1), "-1 ");
    EXPECT_EQ(printForm(0), " 0 ");
    EXPECT_EQ(printForm(-0.0), " 0 ");
    EXPECT_EQ(printForm(0.5), " .5 ");
    EXPECT_EQ(printForm(-0.5), "-.5 ");
    EXPECT_EQ(printForm(1.191), " 1.191 ");
    EXPECT_EQ(printForm(-120), "-120 ");
    EXPECT_EQ(printForm(20000000), " 20000000 ");
}

TEST(PrintForm, FifteenSignificantDigitsThenExponent) {
    EXPECT_EQ(printForm(1.0 / 3), " .333333333333333 ");
    EXPECT_EQ(printForm(0.1 + 0.2), " .3 "); // shortest form within 15 digits
    EXPECT_EQ(printForm(63.9375), " 63.9375 ");
    EXPECT_EQ(printForm(123456789012345.0), " 123456789012345 ");
    EXPECT_EQ(printForm(1e15), " 1E+15 ");
    EXPECT_EQ(printForm(0.0001), " .0001 ");
    EXPECT_EQ(printForm(0.00001), " 1E-05 ");
    EXPECT_EQ(printForm(-1.5e-7), "-1.5E-07 ");
}

TEST(ParseNumber, AcceptsPrintFormsAndRejectsText) {
    double v = -99;
    EXPECT_TRUE(parseNumber(" 1 ", v));
    EXPECT_EQ(v, 1);
    EXPECT_TRUE(parseNumber("-1 ", v));
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(parseNumber(" .5 ", v));
    EXPECT_EQ(v, 0.5);
    EXPECT_TRUE(parseNumber("-.5", v));
    EXPECT_EQ(v, -0.5);
    EXPECT_TRUE(parseNumber(" 1E-05 ", v));
    EXPECT_DOUBLE_EQ(v, 1e-5);
    EXPECT_TRUE(parseNumber("+3", v));
    EXPECT_EQ(v, 3);
    EXPECT_TRUE(parseNumber("2.5D+2", v));
    EXPECT_EQ(v, 250);
    for (const char* bad :
         {"", "  ", "abc", "1a", "1 2", "-", ".", "0x10", "inf", "nan", "1e", "--1", "1.2.3"})
        EXPECT_FALSE(parseNumber(bad, v)) << bad;
}

TEST(ParseNumber, HugeExponentsSaturateInsteadOfFailing) {
    double v = 0;
    EXPECT_TRUE(parseNumber("1e400", v));
    EXPECT_TRUE(std::isinf(v));
    EXPECT_TRUE(parseNumber("-1e-400", v));
    EXPECT_EQ(v, 0);
}

TEST(LeadingNumber, TakesTheNumberAFieldBeginsWith) {
    EXPECT_EQ(leadingNumber("12.34"), 12.34);
    EXPECT_EQ(leadingNumber("  300"), 300);
    EXPECT_EQ(leadingNumber("-4"), -4);
    EXPECT_EQ(leadingNumber("12abc"), 12);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("1e3x"), 1000);
    EXPECT_EQ(leadingNumber("7e"), 7);
}

TEST(FileNames, ExtensionReplacesEverythingAfterTheFirstFullStop) {
    EXPECT_EQ(files::withExtension("trace.txt", "wqk"), "trace.wqk");
    EXPECT_EQ(files::withExtension("a.b.c", "wqk"), "a.wqk");
    EXPECT_EQ(files::withExtension("Untitled", "dpf"), "Untitled.dpf");
    EXPECT_EQ(files::withExtension("x.", "csv"), "x.csv");
}

TEST(FileNames, RootDirectoryGetsNoSecondSlash) {
    EXPECT_EQ(files::joinPath("/", "a.wqk"), "/a.wqk");
    EXPECT_EQ(files::joinPath("/home/u", "a.wqk"), "/home/u/a.wqk");
    EXPECT_EQ(files::joinPath("/home/u/", "a.wqk"), "/home/u/a.wqk");
}

TEST(FileNames, SizeInKWithLeadingBlank) {
    EXPECT_EQ(files::sizeInK(0, false), " 2");
    EXPECT_EQ(files::sizeInK(4, false), " 32");
    EXPECT_EQ(files::sizeInK(2, true), " 4");
    EXPECT_EQ(files::sizeInK(0, true), " 1");
}
