// The canvas: user scale, not-XOR lines, dotted lines, text placement, colours.
#include "platform/picturebox.h"

#include <gtest/gtest.h>

using plat::PictureBox;
using plat::RGB;

namespace {
int countColour(PictureBox& p, QColor c) {
    const QImage& img = p.image();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, y)) == c) ++n;
    return n;
}
} // namespace

TEST(Canvas, ColourValuesAreBlueGreenRed) {
    EXPECT_EQ(RGB(0, 0, 128), 8388608);
    EXPECT_EQ(RGB(192, 0, 0), 192);
    EXPECT_EQ(plat::toQColor(0xC000C0), QColor(192, 0, 192));
    EXPECT_EQ(plat::fromQColor(QColor(1, 2, 3)), RGB(1, 2, 3));
}

TEST(Canvas, UserScaleMapsToPixels) {
    PictureBox p(nullptr, 1500, 1500);
    p.resize(200, 100);
    p.setBackColor(RGB(224, 224, 224));
    p.setScale(0, 10, 400, 2560);
    EXPECT_DOUBLE_EQ(p.toPxX(200), 100);
    EXPECT_DOUBLE_EQ(p.toPxY(10), 0);
    EXPECT_DOUBLE_EQ(p.toPxY(1290), 50);
    p.ForeColor = RGB(0, 0, 128);
    p.Line(0, 1290, 400, 1290);
    EXPECT_EQ(p.pixel(50, 50), QColor(0, 0, 128));
    EXPECT_EQ(p.pixel(50, 49), QColor(224, 224, 224));
    p.PSet(100, 650, RGB(192, 0, 0));
    EXPECT_EQ(p.pixel(50, 25), QColor(192, 0, 0));
    EXPECT_EQ(p.CurrentX, 100);
    EXPECT_EQ(p.CurrentY, 650);
    p.Cls();
    EXPECT_EQ(countColour(p, QColor(224, 224, 224)), 200 * 100);
    EXPECT_EQ(p.CurrentX, 0);
    EXPECT_EQ(p.CurrentY, 10);
}

TEST(Canvas, NotXorLineDrawnTwiceRestoresEveryPixel) {
    PictureBox p(nullptr, 1500, 1500);
    p.resize(300, 120);
    p.setBackColor(RGB(224, 224, 224));
    p.setScale(0, 0, 1000, 1000);
    // Something under the line: a trace and text.
    p.ForeColor = RGB(0, 128, 0);
    p.Line(0, 0, 1000, 1000);
    p.CurrentX = 100;
    p.CurrentY = 400;
    p.Print("0.3 V");
    const QImage before = p.image().copy();
    p.DrawMode = plat::DrawNotXor;
    for (int width : {1, 2}) {
        p.DrawWidth = width;
        p.Line(333, 0, 333, 1000, RGB(0, 0, 224));
        EXPECT_NE(p.image(), before);
        p.Line(333, 0, 333, 1000, RGB(0, 0, 224));
        EXPECT_EQ(p.image(), before) << "width " << width;
        p.Line(0, 555, 1000, 555, RGB(255, 0, 0));
        p.Line(0, 555, 1000, 555, RGB(255, 0, 0));
        EXPECT_EQ(p.image(), before);
    }
}

TEST(Canvas, DottedLinesLeaveGaps) {
    PictureBox p(nullptr, 1500, 1500);
    p.resize(200, 50);
    p.setBackColor(RGB(224, 224, 224));
    p.setScale(0, 0, 200, 50);
    p.DrawStyle = plat::StyleDot;
    p.Line(0, 25, 200, 25, RGB(128, 128, 128));
    int on = 0;
    for (int x = 0; x < 200; ++x)
        on += p.pixel(x, 25) == QColor(128, 128, 128);
    EXPECT_GT(on, 40);
    EXPECT_LT(on, 160);
    p.DrawStyle = plat::StyleSolid;
    p.Line(0, 10, 200, 10, RGB(128, 128, 128));
    on = 0;
    for (int x = 0; x < 200; ++x)
        on += p.pixel(x, 10) == QColor(128, 128, 128);
    EXPECT_GE(on, 199);
}

TEST(Canvas, PrintPlacesTextAtCurrentPositionAndAdvances) {
    PictureBox p(nullptr, 1500, 1500);
    p.resize(400, 200);
    p.setBackColor(RGB(255, 255, 255));
    p.setScale(0, 0, 1000, 1000);
    p.ForeColor = RGB(255, 0, 0);
    p.FontSize = 12;
    p.CurrentX = 500;
    p.CurrentY = 500;
    p.Print("X", false);
    EXPECT_GT(p.CurrentX, 500);
    EXPECT_EQ(p.CurrentY, 500);
    // Red ink only right of and below the print position.
    const QImage& img = p.image();
    int inside = 0, outside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QColor c(img.pixel(x, y));
            if (c.red() > 200 && c.green() < 80) (x >= 200 && y >= 100 ? inside : outside)++;
        }
    EXPECT_GT(inside, 5);
    EXPECT_EQ(outside, 0);
    p.Print("next");
    EXPECT_EQ(p.CurrentX, 0);
    EXPECT_GT(p.CurrentY, 500);
    // Bold text is wider.
    p.FontBold = false;
    double plain = p.TextWidth("abcdef");
    p.FontBold = true;
    EXPECT_GT(p.TextWidth("abcdef"), plain);
}

TEST(Canvas, OpaqueTextPaintsItsBackground) {
    PictureBox p(nullptr, 1500, 1500);
    p.resize(200, 100);
    p.setBackColor(RGB(200, 200, 255));
    p.setScale(0, 0, 200, 100);
    p.Box(0, 0, 200, 100, RGB(0, 0, 0), true);
    p.FontTransparent = false;
    p.CurrentX = 10;
    p.CurrentY = 10;
    p.Print("    "); // blanks only: the background colour appears
    EXPECT_EQ(p.pixel(12, 14), QColor(200, 200, 255));
    EXPECT_EQ(p.pixel(150, 90), QColor(0, 0, 0));
}
