// Printing through a real spooler, as a user prints: the buttons are pressed and the
// PDF that the cups-pdf printer makes is read back with poppler.
#include "print/printer.h"
#include "print/spooler.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QPrinterInfo>
#include <gtest/gtest.h>

using testing_support::Harness;

namespace {

constexpr int Dpi = 144; // 1000 twips = 100 pixels
double px(double twips) {
    return twips * Dpi / 1440.0;
}

class Spooler : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string why = spooler::unavailable();
        if (!why.empty()) GTEST_SKIP() << "no spooler to print on: " << why;
    }
    void TearDown() override {
        printing::setJobTitle("WQK Scope");
        // What a test printed is read; it is not kept.
        for (const QString& f : printed_)
            QFile::remove(f);
    }

    // Presses PRINT, then the given button of the menu; returns the PDF that arrives.
    QString printWith(Harness& h, WQK& w, VbButton* WQK::*which, const char* what) {
        const QString title = spooler::uniqueTitle(what);
        printing::setJobTitle(title);
        h.clock().atDoEvents(1, [&w, which] { (w.*which)->click(); });
        w.Command1->click();
        EXPECT_TRUE(h.messages().shown.empty())
            << (h.messages().shown.empty() ? "" : h.messages().shown[0].text);
        const QString pdf = spooler::waitForPdf(title);
        EXPECT_FALSE(pdf.isEmpty()) << "no PDF titled " << title.toStdString() << " arrived in "
                                    << spooler::pdfDir().toStdString();
        if (!pdf.isEmpty()) printed_.push_back(pdf);
        return pdf;
    }

  private:
    std::vector<QString> printed_;
};

WQK& shownWindow(Harness& h) {
    WQK& w = h.window();
    w.show();
    QCoreApplication::processEvents();
    return w;
}

} // namespace

TEST_F(Spooler, TheSignalDisplayLandsOneThousandTwipsFromTheEdges) {
    Harness h;
    WQK& w = shownWindow(h);
    const QString pdf = printWith(h, w, &WQK::Printsignal, "signal");
    ASSERT_FALSE(pdf.isEmpty());
    int pages = 0;
    const QSizeF pt = spooler::pageSizePt(pdf, &pages);
    EXPECT_EQ(pages, 1);
    ASSERT_GT(pt.width(), px(10520) * 72 / Dpi) << "page narrower than the printout";

    const QImage page = spooler::render(pdf, Dpi);
    ASSERT_FALSE(page.isNull());
    const QRect ink = spooler::inkBox(page);
    // The display, and nothing else, at 1000 twips from the left and top paper edges,
    // at its design size of 9520 x 2780 twips.
    EXPECT_NEAR(ink.left(), px(1000), 2);
    EXPECT_NEAR(ink.top(), px(1000), 2);
    EXPECT_NEAR(ink.width(), px(9520), 3);
    EXPECT_NEAR(ink.height(), px(2780), 3);

    // It shows what the display shows.
    const QImage shown = w.Picture1->grab().toImage().scaled(ink.size(), Qt::IgnoreAspectRatio,
                                                             Qt::SmoothTransformation);
    EXPECT_LT(spooler::meanDifference(page.copy(ink), shown), 12);
    EXPECT_FALSE(w.printwindow->isVisible());
}

TEST_F(Spooler, TheWholeWindowLandsInTheCornerOfThePrintableArea) {
    Harness h;
    WQK& w = shownWindow(h);
    const QString pdf = printWith(h, w, &WQK::Printform, "window");
    ASSERT_FALSE(pdf.isEmpty());
    const QImage page = spooler::render(pdf, Dpi);
    ASSERT_FALSE(page.isNull());
    const QRect ink = spooler::inkBox(page);
    const QImage window = w.grab().toImage();
    ASSERT_GT(window.width(), 0);

    // Near the top-left corner, at the design width of the window and its shape.
    EXPECT_LT(ink.left(), px(1440));
    EXPECT_LT(ink.top(), px(1440));
    EXPECT_NEAR(ink.width(), px(WQK::DesignWidth), 4);
    EXPECT_NEAR(double(ink.height()) / ink.width(), double(window.height()) / window.width(), 0.01);
    const QImage shown = window.scaled(ink.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(spooler::meanDifference(page.copy(ink), shown), 12);
}

TEST_F(Spooler, AStoppedPrinterIsReportedAndNothingIsPrinted) {
    const QString offline = "PDF-offline";
    if (QPrinterInfo::printerInfo(offline).isNull())
        GTEST_SKIP() << "the stopped queue " << offline.toStdString()
                     << " is not set up (scripts/cups.sh adds it)";
    printing::setDefaultPrinterQuery([offline] { return offline; });
    Harness h;
    WQK& w = shownWindow(h);
    h.clock().atDoEvents(1, [&] { w.Printsignal->click(); });
    w.Command1->click();
    printing::setDefaultPrinterQuery(nullptr);
    ASSERT_EQ(h.messages().shown.size(), 1u);
    EXPECT_EQ(h.messages().shown[0].title, "Printer Error!");
    EXPECT_EQ(h.messages().shown[0].text, "Printer \"PDF-offline\" is stopped (off-line).");
    EXPECT_FALSE(w.ended());
}
