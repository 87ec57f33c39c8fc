// The guide as a user meets it: HELP, the topic buttons, EXIT.
#include "support/fixture.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using testing_support::Harness;

namespace {

struct Topic {
    const char* button;
    const char* caption;
    const char* title;
};

// The topics in the order in which the guide serves their requests.
const std::vector<Topic> Topics = {
    {"helpspec", "Specifications", "WQK01 Technical Specifications (20MHz)"},
    {"helpcontact", "Contact us", "Contact and Support"},
    {"helpprint", "Printing", "Printing"},
    {"Helpload", "Loading Files", "File Loading"},
    {"HelpSave", "Saving Files", "File Saving"},
    {"Helpgenerator", "Using generator", "Using Signal Generator"},
    {"Helpscope", "Using Scope", "Using the SCOPE"},
    {"HelpFFT", "Using FFT", "Using the FFT"},
    {"helpreadme", "Readme 1st", "Important Information"},
    {"helpbasic", "Software", "Software Information"},
};

const char* const StartHeading = "User Guide for WQK Scope & Generator";

VbButton* button(WQK& w, const char* name) {
    auto* b = w.findChild<VbButton*>(name);
    EXPECT_NE(b, nullptr) << name;
    return b;
}

// Records the titles of the pages drawn, in order.
struct PageLog {
    std::vector<std::string> titles;
    explicit PageLog(WQK& w) {
        QObject::connect(&w, &WQK::helpPageDrawn,
                         [this](const QString& t) { titles.push_back(t.toStdString()); });
    }
};

WQK& shownWindow(Harness& h) {
    WQK& w = h.window();
    w.show();
    QCoreApplication::processEvents();
    return w;
}

} // namespace

TEST(HelpWindow, OpensOnTheStartPageWithItsButtonsAndClosesOnExit) {
    Harness h;
    WQK& w = shownWindow(h);
    PageLog log(w);
    bool seenOpen = false;
    h.clock().atDoEvents(1, [&] {
        seenOpen = w.helpwindow->isVisible() && w.htextwin->isVisible();
        // The start heading is drawn in blue.
        bool blue = false;
        const QImage& img = w.htextwin->image();
        for (int y = 0; y < img.height() / 8 && !blue; ++y)
            for (int x = 0; x < img.width() && !blue; ++x)
                blue = QColor(img.pixel(x, y)) == QColor(0, 0, 255);
        EXPECT_TRUE(blue);
        w.helpexit->click();
    });
    w.helpbutton->click();

    EXPECT_TRUE(seenOpen);
    EXPECT_FALSE(w.helpwindow->isVisible());
    EXPECT_FALSE(w.ended());
    ASSERT_EQ(log.titles.size(), 1u);
    EXPECT_EQ(log.titles[0], StartHeading);
    EXPECT_EQ(w.state().HelpExit.num(), 0);
    for (const Topic& t : Topics)
        EXPECT_EQ(button(w, t.button)->text(), t.caption) << t.button;
    EXPECT_EQ(w.helpexit->text(), "EXIT");
    EXPECT_EQ(w.helpwindow->findChild<PictureBox*>("htextwin"), w.htextwin);
}

TEST(HelpWindow, EveryTopicButtonShowsItsTitleAndClearsItsRequest) {
    Harness h;
    WQK& w = shownWindow(h);
    PageLog log(w);
    int n = 1;
    for (const Topic& t : Topics) {
        h.clock().atDoEvents(n++, [&w, t] { button(w, t.button)->click(); });
    }
    h.clock().atDoEvents(n, [&] {
        // Every page has been served and every request is back at 0.
        for (double f : {w.state().HelpSpecReq.num(), double(w.state().HelpContactReq),
                         w.state().HelpPrintReq.num(), w.state().HelpLoadReq.num(),
                         w.state().HelpSaveReq.num(), double(w.state().HelpGenReq),
                         w.state().HelpScopeReq.num(), w.state().HelpFFTReq.num(),
                         w.state().HelpReadmeReq.num(), w.state().HelpBasicReq.num()})
            EXPECT_EQ(f, 0);
        w.helpexit->click();
    });
    w.helpbutton->click();

    std::vector<std::string> expected{StartHeading};
    for (const Topic& t : Topics)
        expected.push_back(t.title);
    EXPECT_EQ(log.titles, expected);
}

TEST(HelpWindow, RequestsOfOneRoundAreServedInTableOrder) {
    Harness h;
    WQK& w = shownWindow(h);
    PageLog log(w);
    h.clock().atDoEvents(1, [&] {
        // All ten pressed before the loop looks, last topic first.
        for (auto it = Topics.rbegin(); it != Topics.rend(); ++it)
            button(w, it->button)->click();
    });
    h.clock().atDoEvents(2, [&] { w.helpexit->click(); });
    w.helpbutton->click();

    std::vector<std::string> expected{StartHeading};
    for (const Topic& t : Topics)
        expected.push_back(t.title);
    EXPECT_EQ(log.titles, expected);
}

TEST(HelpWindow, PressingATopicTwiceRedrawsTheSamePage) {
    Harness h;
    WQK& w = shownWindow(h);
    PageLog log(w);
    QImage first;
    h.clock().atDoEvents(1, [&] { w.helpprint->click(); });
    h.clock().atDoEvents(2, [&] {
        first = w.htextwin->image().copy();
        // Spoil the text area; the second press must draw the page afresh.
        w.htextwin->Box(0, 0, w.htextwin->ScaleWidth(), w.htextwin->ScaleHeight(),
                        plat::RGB(255, 0, 0), true);
        w.helpprint->click();
    });
    QImage second;
    h.clock().atDoEvents(3, [&] {
        second = w.htextwin->image().copy();
        w.helpexit->click();
    });
    w.helpbutton->click();

    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(second, first);
    EXPECT_EQ(log.titles, (std::vector<std::string>{StartHeading, "Printing", "Printing"}));
}

TEST(HelpWindow, SpecificationsFollowTheDetectedModel) {
    sim::Options fast;
    fast.model = 30;
    Harness h(fast);
    WQK& w = shownWindow(h);
    ASSERT_EQ(w.state().ModelCode, 2);
    PageLog log(w);
    h.clock().atDoEvents(1, [&] { w.helpspec->click(); });
    h.clock().atDoEvents(2, [&] { w.helpexit->click(); });
    w.helpbutton->click();
    ASSERT_EQ(log.titles.size(), 2u);
    EXPECT_EQ(log.titles[1], "WQK01 Technical Specifications (30MHz)");
}

TEST(HelpWindow, SpecificationsShowNothingWithoutAKnownModel) {
    for (int code : {0, 3}) {
        Harness h;
        WQK& w = shownWindow(h);
        w.state().ModelCode = int16_t(code);
        PageLog log(w);
        QImage before, after;
        h.clock().atDoEvents(1, [&] {
            before = w.htextwin->image().copy();
            w.helpspec->click();
        });
        h.clock().atDoEvents(2, [&] {
            after = w.htextwin->image().copy();
            EXPECT_EQ(w.state().HelpSpecReq.num(), 0);
            // The other topics still work.
            w.helpbasic->click();
        });
        h.clock().atDoEvents(3, [&] { w.helpexit->click(); });
        w.helpbutton->click();
        EXPECT_EQ(after, before) << "ModelCode " << code;
        EXPECT_EQ(log.titles, (std::vector<std::string>{StartHeading, "Software Information"}))
            << "ModelCode " << code;
    }
}

TEST(HelpWindow, ClosingTheWindowEndsTheGuideLoop) {
    Harness h;
    WQK& w = shownWindow(h);
    h.clock().atDoEvents(1, [&] { w.close(); });
    w.helpbutton->click(); // returns instead of waiting for EXIT forever
    EXPECT_TRUE(w.ended());
}

TEST(HelpWindow, HelpAndPrintAreLockedWithTheFileGroup) {
    Harness h;
    WQK& w = shownWindow(h);
    PageLog log(w);
    w.FILEDISABLE();
    // Disabled buttons open neither the guide nor the print menu.
    w.helpbutton->click();
    w.Command1->click();
    EXPECT_TRUE(log.titles.empty());
    EXPECT_FALSE(w.helpwindow->isVisible());
    EXPECT_FALSE(w.printwindow->isVisible());
    w.FILEENABLE();
    EXPECT_TRUE(w.helpbutton->isEnabled());
    EXPECT_TRUE(w.Command1->isEnabled());
}

TEST(HelpWindow, HelpAndPrintCannotBeUsedDuringARun) {
    Harness h;
    WQK& w = shownWindow(h);
    PageLog log(w);
    w.state().RunRepeat = 1;
    bool helpOn = true, printOn = true;
    h.clock().atDoEvents(3, [&] {
        helpOn = w.helpbutton->isEnabled();
        printOn = w.Command1->isEnabled();
        // Pressed anyway: neither the guide nor the print menu opens inside the run.
        w.helpbutton->click();
        w.Command1->click();
        w.GOBUTTON->click(); // STOP
    });
    w.GOBUTTON->click();
    EXPECT_EQ(w.state().RunState.num(), 0);
    EXPECT_FALSE(helpOn);
    EXPECT_FALSE(printOn);
    EXPECT_TRUE(log.titles.empty());
    EXPECT_FALSE(w.printwindow->isVisible());
    EXPECT_TRUE(w.helpbutton->isEnabled());
    EXPECT_TRUE(w.Command1->isEnabled());
}
