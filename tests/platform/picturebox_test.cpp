// The canvas: user scale, lines and points, text placement, opaque blanks (the not-XOR
// round trip is checked through the cursor on the display).
#include "platform/picturebox.h"

#include <gtest/gtest.h>

using plat::RGB;

namespace {
// Pixels of colour c in the box's rows y0..y1 from column x0 on.
int count(plat::PictureBox& p, QColor c, int y0 = 0, int y1 = 100, int x0 = 0) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < p.width(); ++x)
            n += p.pixel(x, y) == c;
    return n;
}
} // namespace

TEST(Canvas, ScaleLinesAndText) {
    plat::PictureBox p(nullptr, 1500, 1500);
    p.resize(200, 100);
    p.setBackColor(RGB(224, 224, 224));
    p.setScale(0, 10, 400, 2560);
    p.Line(0, 1290, 400, 1290, RGB(0, 0, 128)); // pixel row 50
    p.PSet(100, 650, RGB(192, 0, 0));           // pixel (50, 25)
    EXPECT_EQ(count(p, QColor(0, 0, 128), 50, 51), 200);
    EXPECT_EQ(p.pixel(50, 25), QColor(192, 0, 0));
    p.setScale(0, 0, 1000, 1000);
    p.Cls();
    // Text from the current position on, right and down; Print moves to the next line.
    p.ForeColor = RGB(255, 0, 0);
    p.FontSize = 12;
    p.CurrentX = p.CurrentY = 500;
    p.Print("X", false);
    EXPECT_TRUE(p.CurrentX > 500 && p.CurrentY == 500);
    const int inside = count(p, QColor(255, 0, 0), 50, 100, 100);
    EXPECT_TRUE(inside > 0 && count(p, QColor(255, 0, 0)) == inside);
    p.Print("next");
    EXPECT_TRUE(p.CurrentX == 0 && p.CurrentY > 500);
    // Blanks printed opaque show the background colour over a black box.
    p.Box(0, 0, 1000, 1000, RGB(0, 0, 0), true);
    p.FontTransparent = false;
    p.CurrentX = 50;
    p.CurrentY = 100;
    p.Print("    ");
    EXPECT_TRUE(p.pixel(12, 14) == QColor(224, 224, 224) && p.pixel(150, 90) == QColor(0, 0, 0));
}
