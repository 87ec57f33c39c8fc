// Where a picture lands on the page.
#include "print/printer.h"

#include <gtest/gtest.h>

using printing::placePicture;

TEST(PrintLayout, TwipsBecomeDevicePixelsAtTheirPlace) {
    // 1440 twips are an inch: at 1200 dpi the display's 9520 x 2780 twips, 1000 twips in.
    const QRectF a4(0, 0, 9921, 14031); // A4 at 1200 dpi
    QRectF r = placePicture(QSizeF(9520, 2780), QPointF(1000 * 1200.0 / 1440, 1000 * 1200.0 / 1440),
                            a4, 1200);
    EXPECT_NEAR(r.left(), 833.33, 0.01);
    EXPECT_NEAR(r.top(), 833.33, 0.01);
    EXPECT_NEAR(r.width(), 7933.33, 0.01);
    EXPECT_NEAR(r.height(), 2316.67, 0.01);
    // At 72 dpi a twip is a twentieth of a point.
    r = placePicture(QSizeF(1440, 720), QPointF(50, 50), QRectF(0, 0, 595, 842), 72);
    EXPECT_EQ(r, QRectF(50, 50, 72, 36));
}

TEST(PrintLayout, APictureTooLargeForThePageShrinksKeepingItsShape) {
    // 10 inches wide on a page with 7 inches of room to the right of the corner.
    QRectF r = placePicture(QSizeF(14400, 7200), QPointF(100, 100), QRectF(0, 0, 800, 1100), 100);
    EXPECT_DOUBLE_EQ(r.right(), 800);
    EXPECT_DOUBLE_EQ(r.width() / r.height(), 2.0);
    EXPECT_EQ(r.topLeft(), QPointF(100, 100));
    // Too tall: the bottom edge limits.
    r = placePicture(QSizeF(1440, 14400), QPointF(0, 0), QRectF(0, 0, 850, 500), 100);
    EXPECT_DOUBLE_EQ(r.bottom(), 500);
    EXPECT_DOUBLE_EQ(r.height() / r.width(), 10.0);
    // Exactly fitting: unchanged.
    r = placePicture(QSizeF(1440, 1440), QPointF(0, 0), QRectF(0, 0, 100, 100), 100);
    EXPECT_EQ(r, QRectF(0, 0, 100, 100));
}

TEST(PrintLayout, DegenerateCasesGiveAnEmptyPlace) {
    EXPECT_TRUE(placePicture(QSizeF(0, 100), QPointF(5, 5), QRectF(0, 0, 100, 100), 100).isEmpty());
    EXPECT_TRUE(
        placePicture(QSizeF(100, -1), QPointF(5, 5), QRectF(0, 0, 100, 100), 100).isEmpty());
    // A corner beyond the page leaves no room at all.
    EXPECT_TRUE(
        placePicture(QSizeF(1440, 1440), QPointF(200, 10), QRectF(0, 0, 100, 100), 100).isEmpty());
}
