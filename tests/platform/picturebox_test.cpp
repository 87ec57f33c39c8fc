// The canvas: user scale, lines and points, text placement, opaque blanks (the not-XOR
// round trip is checked through the cursor on the display), and drawing again at a new
// size.
#include "device/drawn_text.h"
#include "platform/picturebox.h"
#include "support/fixture.h"

#include <gtest/gtest.h>
#include <map>

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

// What a box drew is drawn again at a new size, not stretched: after a round trip through
// a smaller size it is the box drawn fresh, in the screen's pixels (twice the widget's
// under QT_SCALE_FACTOR=2, which CTest runs this with too).
TEST(Canvas, ABoxAfterAResizeRoundTripIsTheBoxDrawnFresh) {
    const auto draw = [](plat::PictureBox& p) {
        p.setBackColor(RGB(255, 255, 192));
        p.FontSize = 9;
        p.FontBold = true;
        p.CurrentX = 100;
        p.CurrentY = 100;
        p.Print("12V  ");
        p.DrawStyle = plat::StyleDot;
        p.Line(0, 500, 1000, 500, RGB(128, 128, 128));
        p.DrawStyle = plat::StyleSolid;
        p.Box(600, 600, 900, 900, RGB(0, 128, 0), true);
        p.DrawMode = plat::DrawNotXor;
        p.Line(300, 0, 300, 1000, RGB(0, 0, 224));
        const int x[] = {10, 11, 12}, top[] = {20, 25, 30}, bottom[] = {40, 45, 50};
        p.ColumnRuns(x, top, bottom, 3);
    };
    plat::PictureBox a(nullptr, 1500, 1500), fresh(nullptr, 1500, 1500);
    a.resize(200, 100);
    draw(a);
    a.resize(90, 40);
    EXPECT_EQ(a.image().size(), QSize(90, 40) * a.devicePixelRatioF());
    a.resize(200, 100);
    fresh.resize(200, 100);
    draw(fresh);
    EXPECT_EQ(a.image(), fresh.image());
}

// The window made smaller and larger again: every box shows what it showed before (its
// titles, "12V", "X", "x 1"), not a blurred copy of its smaller self.
TEST(Canvas, TheWindowsBoxesAreSharpAfterItShrinksAndGrowsAgain) {
    testing_support::Harness h;
    WQK& w = drawn::shown(h.window());
    const QSize size = w.size();
    std::map<std::string, QImage> before;
    for (plat::PictureBox* p : w.findChildren<plat::PictureBox*>())
        if (p->isVisible()) before[p->objectName().toStdString()] = p->image().copy();
    w.resize(size / 2);
    QCoreApplication::processEvents();
    w.resize(size);
    QCoreApplication::processEvents();
    for (const auto& [name, image] : before)
        EXPECT_EQ(w.control<plat::PictureBox>(name.c_str())->image(), image) << name;
}
