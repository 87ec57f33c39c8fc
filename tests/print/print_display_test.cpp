// Printing and the guide with the signal display at work: what is drawn is printed, and
// the display is redrawn when the menu or the guide closes.
#include "print/printer.h"
#include "print/spooler.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

using testing_support::Harness;

namespace {

const QColor TraceA(0, 0, 128);

WQK& shownWindow(Harness& h) {
    WQK& w = h.window();
    w.show();
    QCoreApplication::processEvents();
    return w;
}

// Channel A holds a sine of a few cycles across the displayed window, and is drawn.
void drawSine(WQK& w) {
    for (int i = 0; i < 32768; ++i)
        w.state().ChanABuffer[i] =
            int16_t(10 * std::lround(128 + 100 * std::sin(i * 2 * M_PI / 128)));
    w.HScroll1_Change();
}

int count(const QImage& img, const QColor& c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += QColor(img.pixel(x, y)) == c;
    return n;
}

// Pixels where blue stands out from red and green, as along trace A.
int bluish(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor p(img.pixel(x, y));
            n += p.blue() - p.red() > 30 && p.blue() - p.green() > 30;
        }
    return n;
}

// Paints the display red all over, as a stale picture that a redraw must replace.
void spoil(WQK& w) {
    w.Picture1->Box(0, w.Picture1->ScaleTop(), w.Picture1->ScaleWidth(),
                    w.Picture1->ScaleTop() + w.Picture1->ScaleHeight(), plat::RGB(255, 0, 0), true);
}

struct NoPrinter {
    NoPrinter() {
        printing::setDefaultPrinterQuery([] { return QString(); });
    }
    ~NoPrinter() { printing::setDefaultPrinterQuery(nullptr); }
};

} // namespace

TEST(PrintDisplay, ClosingTheMenuOrTheGuideRedrawsTheDisplay) {
    Harness h;
    WQK& w = shownWindow(h);
    NoPrinter none;
    drawSine(w);
    const QImage live = w.Picture1->image().copy();
    ASSERT_GT(count(live, TraceA), 50) << "the display draws no trace A";

    for (const char* how : {"exitprint", "Printsignal", "Printform", "helpexit"}) {
        spoil(w);
        ASSERT_GT(count(w.Picture1->image(), QColor(255, 0, 0)), 1000);
        auto* b = w.findChild<VbButton*>(how);
        h.clock().atDoEvents(1, [b] { b->click(); });
        (std::string(how) == "helpexit" ? w.helpbutton : w.Command1)->click();
        EXPECT_EQ(w.Picture1->image(), live) << how;
    }
    EXPECT_EQ(h.messages().shown.size(), 2u); // the two printouts had no printer
}

TEST(PrintDisplay, AfterAPrinterErrorTheDisplayFollowsNewData) {
    Harness h;
    WQK& w = shownWindow(h);
    NoPrinter none;
    h.clock().atDoEvents(1, [&] { w.Printsignal->click(); });
    w.Command1->click();
    ASSERT_EQ(h.messages().shown.size(), 1u);
    const QImage before = w.Picture1->image().copy();
    drawSine(w);
    EXPECT_NE(w.Picture1->image(), before);
    EXPECT_GT(count(w.Picture1->image(), TraceA), 50);
}

TEST(PrintDisplay, TheSignalPrintoutHoldsTheTracesOnShow) {
    const std::string why = spooler::unavailable();
    if (!why.empty()) GTEST_SKIP() << "no spooler to print on: " << why;
    Harness h;
    WQK& w = shownWindow(h);
    drawSine(w);
    const QImage shown = w.Picture1->grab().toImage();
    ASSERT_GT(count(shown, TraceA), 50);

    const QString title = spooler::uniqueTitle("traces");
    printing::setJobTitle(title);
    h.clock().atDoEvents(1, [&] { w.Printsignal->click(); });
    w.Command1->click();
    printing::setJobTitle("WQK Scope");
    ASSERT_TRUE(h.messages().shown.empty());
    const QString pdf = spooler::waitForPdf(title);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF arrived in " << spooler::pdfDir().toStdString();
    const QImage page = spooler::render(pdf, 144);
    QFile::remove(pdf);
    const QRect ink = spooler::inkBox(page);
    ASSERT_NEAR(ink.left(), 100, 2);
    ASSERT_NEAR(ink.top(), 100, 2);
    const QImage printed = page.copy(ink);
    const QImage expected =
        shown.scaled(ink.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(spooler::meanDifference(printed, expected), 12);
    // The trace is there, about as much of it as on screen at this size: the printer
    // blends a thin line with the grey around it, so count the bluish pixels.
    const int onPage = bluish(printed), onScreen = bluish(expected);
    EXPECT_GT(onScreen, 300);
    EXPECT_GT(onPage, onScreen / 2);
    EXPECT_LT(onPage, onScreen * 2);
}
