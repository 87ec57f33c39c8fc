// The print menu and the failure paths, without any printer: these run everywhere.
#include "print/printer.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <functional>
#include <gtest/gtest.h>

using testing_support::Harness;

namespace {

// Stands in for the platform's answer to "which printer is the default?" and counts
// how often a printout asked.
struct PrinterChoice {
    int asked = 0;
    explicit PrinterChoice(QString name, std::function<void()> onAsk = nullptr) {
        printing::setDefaultPrinterQuery([this, name, onAsk] {
            ++asked;
            if (onAsk) onAsk();
            return name;
        });
    }
    ~PrinterChoice() { printing::setDefaultPrinterQuery(nullptr); }
};

WQK& shownWindow(Harness& h) {
    WQK& w = h.window();
    w.show();
    QCoreApplication::processEvents();
    return w;
}

// Whether any pixel of the box in the rectangle (twips of the window) has the colour.
bool drawnIn(plat::PictureBox& p, QRect twips, QColor c) {
    const QImage& img = p.image();
    const double sx = double(img.width()) / p.designWidth();
    const double sy = double(img.height()) / p.designHeight();
    QRect px(int(twips.x() * sx), int(twips.y() * sy), int(twips.width() * sx),
             int(twips.height() * sy));
    px = px.intersected(img.rect());
    for (int y = px.top(); y <= px.bottom(); ++y)
        for (int x = px.left(); x <= px.right(); ++x)
            if (QColor(img.pixel(x, y)) == c) return true;
    return false;
}

} // namespace

TEST(PrintMenu, OpensWithItsTextsAndButtonsAndExitPrintsNothing) {
    Harness h;
    WQK& w = shownWindow(h);
    PrinterChoice printer("");
    bool open = false;
    h.clock().atDoEvents(1, [&] {
        open = w.printwindow->isVisible();
        EXPECT_EQ(w.Printform->text(), "Print All details");
        EXPECT_EQ(w.Printsignal->text(), "Print Signal Display only");
        EXPECT_EQ(w.exitprint->text(), "EXIT");
        EXPECT_EQ(w.findChild<VbButton*>("Printform"), w.Printform);
        EXPECT_EQ(w.findChild<VbButton*>("Printsignal"), w.Printsignal);
        EXPECT_EQ(w.findChild<VbButton*>("exitprint"), w.exitprint);
        // Title, the two notes and the texts beside the two print buttons are drawn.
        const QColor ink(0, 0, 0xC0);
        EXPECT_TRUE(drawnIn(*w.printwindow, QRect(600, 400, 4000, 400), ink));
        EXPECT_TRUE(drawnIn(*w.printwindow, QRect(600, 1100, 6000, 250), ink));
        EXPECT_TRUE(drawnIn(*w.printwindow, QRect(600, 1350, 6000, 250), ink));
        EXPECT_TRUE(drawnIn(*w.printwindow, QRect(3500, 2500, 4000, 250), ink));
        EXPECT_TRUE(drawnIn(*w.printwindow, QRect(3500, 3300, 4000, 250), ink));
        EXPECT_FALSE(drawnIn(*w.printwindow, QRect(600, 5500, 8000, 1000), ink));
        w.exitprint->click();
    });
    w.Command1->click();

    EXPECT_TRUE(open);
    EXPECT_FALSE(w.printwindow->isVisible());
    EXPECT_EQ(printer.asked, 0) << "EXIT must not start a printout";
    EXPECT_TRUE(h.messages().shown.empty());
    EXPECT_EQ(w.state().PrintRedraw, 0);
    EXPECT_EQ(w.state().PrintFormReq.num(), 0);
    EXPECT_EQ(w.state().PrintSignalReq.num(), 0);
    EXPECT_FALSE(w.ended());
}

TEST(PrintMenu, NoDefaultPrinterShowsThePrinterErrorAndTheProgramGoesOn) {
    for (const char* which : {"Printsignal", "Printform"}) {
        Harness h;
        WQK& w = shownWindow(h);
        PrinterChoice printer("");
        h.clock().atDoEvents(1, [&] { w.findChild<VbButton*>(which)->click(); });
        w.Command1->click();

        ASSERT_EQ(h.messages().shown.size(), 1u) << which;
        const plat::Message& m = h.messages().shown[0];
        EXPECT_EQ(m.title, "Printer Error!");
        EXPECT_EQ(m.text, "No default printer is set up.");
        EXPECT_EQ(m.buttons, plat::Buttons::OK);
        EXPECT_EQ(printer.asked, 1);
        EXPECT_FALSE(w.printwindow->isVisible());
        EXPECT_EQ(w.state().PrintRedraw, 1);
        EXPECT_EQ(w.state().PrintFormReq.num(), 0);
        EXPECT_EQ(w.state().PrintSignalReq.num(), 0);
        EXPECT_FALSE(w.ended());

        // The menu opens and closes again as before.
        h.clock().atDoEvents(1, [&] { w.exitprint->click(); });
        w.Command1->click();
        EXPECT_FALSE(w.printwindow->isVisible());
        EXPECT_EQ(h.messages().shown.size(), 1u);
    }
}

TEST(PrintMenu, AMissingPrinterIsNamedInTheError) {
    Harness h;
    WQK& w = shownWindow(h);
    PrinterChoice printer("wqk-no-such-printer");
    h.clock().atDoEvents(1, [&] { w.Printsignal->click(); });
    w.Command1->click();
    ASSERT_EQ(h.messages().shown.size(), 1u);
    EXPECT_EQ(h.messages().shown[0].title, "Printer Error!");
    EXPECT_EQ(h.messages().shown[0].text, "Printer \"wqk-no-such-printer\" was not found.");
}

TEST(PrintMenu, BothRequestsInOneRoundGiveOnePrintout) {
    Harness h;
    WQK& w = shownWindow(h);
    PrinterChoice printer("");
    h.clock().atDoEvents(1, [&] {
        w.Printform->click();
        w.Printsignal->click();
    });
    w.Command1->click();
    EXPECT_EQ(printer.asked, 1);
    EXPECT_EQ(h.messages().shown.size(), 1u);
    EXPECT_EQ(w.state().PrintFormReq.num(), 0);
    EXPECT_EQ(w.state().PrintSignalReq.num(), 0);
}

TEST(PrintMenu, AtPrintTimeTheMenuAndTheCombinedTraceArrowsAreOutOfTheWay) {
    for (const char* which : {"Printsignal", "Printform"}) {
        for (int sumYMag : {0, 1}) {
            Harness h;
            WQK& w = shownWindow(h);
            w.state().SumYMag = sumYMag;
            w.state().ShowAplusB = 1; // the arrows belong to a combined trace on show
            w.Scrollup->show();
            w.scrolldown->show();
            bool menuShown = true, arrowsShown = false;
            int redraw = -1;
            PrinterChoice printer("", [&] {
                menuShown = w.printwindow->isVisible();
                arrowsShown = w.Scrollup->isVisible() || w.scrolldown->isVisible();
                redraw = w.state().PrintRedraw;
            });
            h.clock().atDoEvents(1, [&] { w.findChild<VbButton*>(which)->click(); });
            w.Command1->click();
            ASSERT_EQ(printer.asked, 1) << which;
            EXPECT_FALSE(menuShown) << which;
            EXPECT_EQ(redraw, 1) << which;
            // Only a magnified combined trace has its arrows hidden for the printout.
            EXPECT_EQ(arrowsShown, sumYMag == 0) << which << " SumYMag " << sumYMag;
        }
    }
}

TEST(PrintMenu, ClosingTheWindowEndsTheMenuLoop) {
    Harness h;
    WQK& w = shownWindow(h);
    PrinterChoice printer("");
    h.clock().atDoEvents(1, [&] { w.close(); });
    w.Command1->click();
    EXPECT_TRUE(w.ended());
    EXPECT_EQ(printer.asked, 0);
}
