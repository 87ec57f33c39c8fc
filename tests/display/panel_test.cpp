// The display toggles and SDISPLAY: bold captions, exclusive A+B / A-B, Y Mag, panels.
#include "display_fixture.h"

#include <gtest/gtest.h>

using display_test::Display;

TEST(Toggles, EachNegatesItsFieldAndShowsItInBold) {
    Display d;
    struct Toggle {
        VbButton* button;
        std::function<void()> click;
        std::function<double()> field;
    };
    const std::vector<Toggle> toggles = {
        {d.w.Command13, [&] { d.w.Command13_Click(); }, [&] { return d.s.GridOn.num(); }},
        {d.w.Command15, [&] { d.w.Command15_Click(); }, [&] { return d.s.JoinOn.num(); }},
        {d.w.Command16, [&] { d.w.Command16_Click(); }, [&] { return double(d.s.UnitsOn); }},
        {d.w.Command17, [&] { d.w.Command17_Click(); }, [&] { return d.s.ShowA.num(); }},
        {d.w.Command18, [&] { d.w.Command18_Click(); }, [&] { return d.s.ShowB.num(); }},
        {d.w.Command19, [&] { d.w.Command19_Click(); }, [&] { return d.s.ShowD.num(); }},
    };
    for (const Toggle& t : toggles) {
        const double before = t.field();
        EXPECT_EQ(t.button->fontBold(), before == 1) << t.button->objectName().toStdString();
        t.click();
        EXPECT_EQ(t.field(), -before) << t.button->objectName().toStdString();
        EXPECT_EQ(t.button->fontBold(), -before == 1) << t.button->objectName().toStdString();
    }
    // The toggles stay whole numbers, as profiles store them.
    EXPECT_EQ(d.s.GridOn.kind(), vb::Variant::Kind::Whole);
}

TEST(Toggles, SumAndDifferenceExcludeEachOther) {
    Display d;
    d.w.Command21_Click();
    EXPECT_EQ(d.s.ShowAminusB, 1);
    EXPECT_TRUE(d.w.Command21->fontBold());
    d.w.Command20_Click();
    EXPECT_EQ(d.s.ShowAplusB.num(), 1);
    EXPECT_EQ(d.s.ShowAminusB, -1);
    EXPECT_TRUE(d.w.Command20->fontBold());
    EXPECT_FALSE(d.w.Command21->fontBold());
    // With a combined trace on, Y Mag is usable and the trigger level is not.
    EXPECT_TRUE(d.w.Command12->isEnabled());
    EXPECT_FALSE(d.w.TriglevelBUTTON->isEnabled());
    d.w.Command20_Click();
    EXPECT_FALSE(d.w.Command12->isEnabled());
    EXPECT_TRUE(d.w.TriglevelBUTTON->isEnabled());
}

TEST(YMag, StepsTheCombinedTraceAndResetsItsPosition) {
    Display d;
    d.w.Command20_Click();
    EXPECT_EQ(d.s.SumYMagFactor, 1);
    EXPECT_FALSE(d.w.Scrollup->isVisibleTo(&d.w)); // arrows only when magnified
    d.w.Command12_Click();
    EXPECT_DOUBLE_EQ(d.s.sumYMag(), 1);
    EXPECT_EQ(d.s.SumYMagFactor, 2);
    EXPECT_TRUE(d.w.Scrollup->isVisibleTo(&d.w));
    EXPECT_TRUE(d.w.scrolldown->isVisibleTo(&d.w));
    d.w.scrolldown_Click();
    d.w.scrolldown_Click();
    EXPECT_EQ(d.s.TracePosSum, 2);
    EXPECT_EQ(d.s.ShiftSum, 212);
    EXPECT_DOUBLE_EQ(d.s.voltOffsetSum(), 0.3);
    EXPECT_EQ(d.s.BaseSum, 1280 + 3 * 212);
    d.w.Command12_Click();
    EXPECT_EQ(d.s.SumYMagFactor, 5);
    EXPECT_EQ(d.s.TracePosSum, 2); // kept while magnified
    d.w.Command12_Click();         // back to x 1
    EXPECT_DOUBLE_EQ(d.s.sumYMag(), 0);
    EXPECT_EQ(d.s.SumYMagFactor, 1);
    EXPECT_EQ(d.s.TracePosSum, 0);
    EXPECT_EQ(d.s.ShiftSum, 0);
    EXPECT_DOUBLE_EQ(d.s.voltOffsetSum(), 0);
    EXPECT_FALSE(d.w.Scrollup->isVisibleTo(&d.w));
}

TEST(YMag, IgnoredInGeneratorAndFftMode) {
    Display d;
    for (int mode : {1, 3}) {
        d.s.ScopeMode = mode;
        d.w.Command12_Click();
        EXPECT_DOUBLE_EQ(d.s.sumYMag(), 0) << mode;
        d.w.SDISPLAY();
        EXPECT_FALSE(d.w.Command12->isEnabled()) << mode;
        EXPECT_EQ(d.s.SumYMagFactor, 1);
    }
}

TEST(Sdisplay, CursorColourLetterAndReadoutBox) {
    Display d;
    const int x = d.w.CURSINFO->width() - 2, y = d.w.CURSINFO->height() - 2;
    EXPECT_FALSE(d.w.Cursorch->isVisibleTo(&d.w));
    EXPECT_EQ(d.w.CURSINFO->pixel(x, y), QColor(192, 192, 192));
    d.s.CursorMode = 1;
    d.w.SDISPLAY();
    EXPECT_TRUE(d.w.Cursorch->isVisibleTo(&d.w));
    EXPECT_TRUE(d.w.Command23->fontBold());
    EXPECT_EQ(d.s.cursorColour(), plat::RGB(0, 0, 224));
    EXPECT_EQ(d.w.CURSINFO->pixel(x, y), QColor(255, 255, 192));
    d.s.ShowB = 1;
    d.s.CursorMode = 2;
    d.w.SDISPLAY();
    EXPECT_EQ(d.s.cursorColour(), plat::RGB(0, 224, 0));
    d.s.ShowAplusB = 1; // curtest moves the cursor to the combined trace
    d.w.SDISPLAY();
    EXPECT_DOUBLE_EQ(d.s.cursorMode(), 3);
    EXPECT_EQ(d.s.cursorColour(), plat::RGB(192, 0, 192));
}

TEST(Sdisplay, MagnificationBoxesShowTheirState) {
    Display d;
    const int x = d.w.YMagAbutton->width() - 2, y = d.w.YMagAbutton->height() - 2;
    EXPECT_EQ(d.w.YMagAbutton->pixel(x, y), QColor(192, 255, 192));
    d.w.YMagAbutton_Click();
    EXPECT_EQ(d.w.YMagAbutton->pixel(x, y), QColor(255, 128, 128));
    EXPECT_DOUBLE_EQ(d.s.yMagFactorA(), 2);
}
