// The tools around the window: the shortcuts the guide and the manual page list, auto-set
// from the menu, the two cursors (readouts against closed forms, nothing drawn while
// off), statistics over a run, the panels' room, and the remembered session.
#include "analysis/cursors.h"
#include "device/drawn_text.h"
#include "files/window_driver.h"
#include "help/guide_text.h"
#include "help/help_pages.h"
#include "host/cursor_layer.h"
#include "host/display_overlay.h"
#include "host/main_window.h"
#include "instrument/instrument.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>
#include <gtest/gtest.h>

using testing_support::Harness;
using Kind = sim::InputSpec::Kind;

namespace {

sim::Options quiet() {
    sim::Options o;
    o.inputA = {Kind::Sine, 1000, 1};
    o.inputB = {Kind::Sine, 1000, 0.5};
    o.noise = 0;
    return o;
}

// The main window shown and started.
struct Tools {
    explicit Tools(Harness&, host::MainWindow::Start start = host::MainWindow::Start::Remembered)
        : mw(start) {
        mw.show();
        w.activate();
    }
    host::MainWindow mw;
    WQK& w = mw.wqk();
    std::string status() { return mw.statusBar()->currentMessage().toStdString(); }
    QTableWidget* table(const char* name) { return mw.findChild<QTableWidget*>(name); }
    std::string cell(const char* name, int r, int c) {
        const QTableWidgetItem* i = table(name)->item(r, c);
        return i ? i->text().toStdString() : "";
    }
};

} // namespace

TEST(Tools, ShortcutsAreTheGuidesOnTheMenusAndInTheManualPage) {
    Harness h;
    Tools t(h);
    for (const help::Shortcut& s : help::shortcuts()) {
        SCOPED_TRACE(s.action);
        ASSERT_NE(t.mw.action(s.action), nullptr);
        EXPECT_EQ(t.mw.action(s.action)->shortcut(), QKeySequence(QString(s.keys)));
    }
    EXPECT_NE(help::guideText().find("Tools Around the Window"), std::string::npos);
    EXPECT_NE(help::manualSection(help::toolsPage()).find(".TP\n.B Ctrl+A\nAcquire > Auto\\-set\n"),
              std::string::npos);
    // Space (Run/Stop) is the GO button.
    t.mw.action("actionRunStop")->trigger();
    EXPECT_EQ(t.w.instrument().captureCount(), 1);
}

TEST(Tools, AutosetFromTheMenuSetsTheWindowAndSaysWhatItFound) {
    Harness h(quiet());
    Tools t(h);
    t.mw.action("actionAutoset")->trigger();
    EXPECT_EQ(t.status(), "Auto-set: A at 1.000 kHz, trigger on A rising");
    // Three periods at 2 MHz on the bar and in the record, the window's own buttons lit.
    EXPECT_NEAR(t.w.control<QScrollBar>("HScroll2")->value(), 6000, 10);
    EXPECT_EQ(t.w.state().xMagnify(), t.w.control<QScrollBar>("HScroll2")->value());
    EXPECT_EQ(t.w.control<VbButton>("Command2")->text(), "DC");
    EXPECT_TRUE(t.w.control<VbButton>("Command16")->fontBold()); // UNITS
    // Outside SCOPE mode it says why and changes nothing.
    t.w.FFTbutton_Click();
    const std::string before = files::encodeProfile(t.w.state());
    t.mw.action("actionAutoset")->trigger();
    EXPECT_EQ(t.status(), "Auto-set not done: it works in SCOPE mode");
    EXPECT_EQ(files::encodeProfile(t.w.state()), before);
}

TEST(Tools, TwoCursorsReadClosedFormsAndDrawNothingWhileOff) {
    Harness h(quiet());
    Tools t(h);
    t.w.Command3_Click(); // A on 1.2 V, B on 12 V: 9.375 and 93.75 mV a code
    t.w.Command18_Click();
    t.w.GOBUTTON_Click();
    t.mw.action("actionMeasurements")->trigger();
    const QImage off = t.w.grab().toImage();
    t.mw.action("actionTwoCursors")->trigger();
    EXPECT_NE(t.w.grab().toImage(), off);
    host::CursorLayer& layer = t.mw.cursors();
    analysis::Cursors c;
    c.sample[0] = 500, c.sample[1] = 1000; // 250 and 500 us at 2 MHz: the peak and a zero
    c.volts[0] = 0.5, c.volts[1] = -0.25;
    layer.setCursors(c);
    const std::vector<std::vector<std::string>> shown = {{"250.0 us", "500.0 us", "250.0 us"},
                                                         {"500.0 mV", "-250.0 mV", "-750.0 mV"}};
    for (int r = 0; r < 2; ++r)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(t.cell("cursorTable", r, k), shown[size_t(r)][size_t(k)]);
    EXPECT_EQ(t.mw.findChild<QLabel*>("cursorInverseDt")->text(), "1/dt: 4.000 kHz");
    const analysis::CursorReadout r = analysis::cursorReadout(t.w.state(), c, 4095);
    ASSERT_EQ(r.traces.size(), 2u);
    EXPECT_NEAR(*r.traces[0].at[0], 1.0, 0.0094); // A: sin(pi/2) V within a code
    EXPECT_NEAR(*r.traces[0].at[1], 0.0, 0.0094);
    EXPECT_NEAR(*r.traces[1].at[0], 0.5, 0.094); // B
    // A click takes the nearer time cursor to the sample under it; the right button the
    // nearer level to the volts there: 1/4 down is 650 units, 630 above A's zero.
    const analysis::DisplayMap m = t.mw.overlay().map();
    layer.press({m.widthPx / 2, 5}, Qt::LeftButton, m);
    layer.release();
    EXPECT_DOUBLE_EQ(layer.cursors().sample[0], 256); // half of the 512 on show
    layer.press({5, m.heightPx / 4}, Qt::RightButton, m);
    layer.release();
    EXPECT_NEAR(layer.cursors().volts[0], 630 * 0.0009375, 1e-9);
    // The arrow keys move the chosen cursor by a pixel's worth.
    layer.key(Qt::Key_Right, Qt::ShiftModifier, m);
    EXPECT_DOUBLE_EQ(layer.cursors().sample[0], 256 + 10 * 512 / m.widthPx);
    t.mw.action("actionTwoCursors")->trigger();
    EXPECT_EQ(t.w.grab().toImage(), off);
}

TEST(Tools, StatisticsOverARunOfCapturesAndTheRowsChosen) {
    Harness h(quiet());
    Tools t(h);
    t.mw.action("actionMeasurements")->trigger();
    t.mw.findChild<QCheckBox*>("measureStatistics")->click();
    ASSERT_EQ(t.w.instrument().captureRun(5, 10).end, Instrument::RunEnd::Done);
    // Rows "A Frequency" ..., columns Current, Mean, Min, Max, Std dev, Count. The 256 us
    // on show hold no period of 1 kHz: no frequency in any capture. Without noise every
    // capture gives the same peak-to-peak: no deviation.
    EXPECT_EQ(t.table("measureTable")->rowCount(), 11); // A's rows (B is not shown)
    EXPECT_EQ(t.cell("measureTable", 0, 5), "0");
    EXPECT_EQ(t.cell("measureTable", 2, 5), "5");
    EXPECT_EQ(t.cell("measureTable", 2, 4), "0.000 V");
    EXPECT_EQ(t.cell("measureTable", 2, 2), t.cell("measureTable", 2, 3));
    t.mw.findChild<QToolButton*>("measureRows")->menu()->actions()[0]->trigger(); // no frequency
    EXPECT_EQ(t.table("measureTable")->rowCount(), 10);
    EXPECT_EQ(t.table("measureTable")->verticalHeaderItem(0)->text(), "A Period");
    t.mw.findChild<QPushButton*>("measureReset")->click();
    EXPECT_EQ(t.cell("measureTable", 1, 5), "0");
    EXPECT_EQ(t.cell("measureTable", 1, 1), "-");
}

TEST(Tools, BothPanelsOpenEveryRowShowsAndTheSpectrumGivesItsRoomBack) {
    Harness h(quiet());
    Tools t(h);
    t.mw.action("actionMeasurements")->trigger();
    t.mw.action("actionSpectrum")->trigger();
    t.w.GOBUTTON_Click();
    QCoreApplication::processEvents();
    QTableWidget* table = t.table("measureTable");
    const int last = table->rowCount() - 1;
    EXPECT_LE(table->rowViewportPosition(last) + table->rowHeight(last),
              table->viewport()->height());
    EXPECT_FALSE(t.mw.findChild<QScrollArea*>("measureArea")->verticalScrollBar()->isVisible());
    QDockWidget *measure = t.mw.dock("MeasurementsDock"), *spectrum = t.mw.dock("SpectrumDock");
    EXPECT_LT(spectrum->height() * 4, measure->height());
    t.w.FFTbutton_Click();
    QCoreApplication::processEvents();
    EXPECT_GT(spectrum->height() * 2, measure->height());
}

TEST(Tools, TheLastSessionComesBackADamagedOneIsIgnoredAndDefaultsStartFresh) {
    Harness h;
    std::string start, kept;
    {
        Tools t(h);
        start = files::encodeProfile(t.w.state());
        t.w.Command3_Click();
        t.w.SRATEN_MouseDown();
        t.w.Command18_Click();
        t.mw.action("actionMeasurements")->trigger();
        t.mw.action("actionAutoTrigger")->trigger();
        kept = files::encodeProfile(t.w.state());
        t.w.close(); // as the window's close box: the session is kept
    }
    InstrumentState restored;
    std::vector<std::string> buttons;
    // The buttons' captions, bold and enabled: the panels as a window shows the record.
    const auto buttonsOf = [](const WQK& w) {
        std::vector<std::string> out;
        for (const VbButton* b : w.findChildren<VbButton*>())
            out.push_back(b->objectName().toStdString() + " " + b->text().toStdString() +
                          (b->fontBold() ? " bold" : "") + (b->isEnabled() ? "" : " off"));
        std::sort(out.begin(), out.end());
        return out;
    };
    {
        Tools t(h);
        EXPECT_EQ(files::encodeProfile(t.w.state()), kept);
        EXPECT_TRUE(t.mw.dock("MeasurementsDock")->isVisible());
        EXPECT_TRUE(t.w.instrument().autoTrigger());
        restored = t.w.state();
        buttons = buttonsOf(t.w);
    }
    {
        Tools t(h, host::MainWindow::Start::Defaults);
        EXPECT_EQ(files::encodeProfile(t.w.state()), start);
        EXPECT_FALSE(t.mw.dock("MeasurementsDock")->isVisible());
        // The session as the same profile through LOAD: every field and every button.
        h.writeFile("s.dpf", kept);
        filetest::runWindow(
            h, [&] { t.w.control<VbButton>("fileloadbutton")->click(); }, {[&] {
                t.w.control<FileListBox>("File1")->selectFile("s.dpf");
                t.w.control<VbButton>("profileloadbutton")->click();
            }},
            [&] { t.w.control<VbButton>("loadexitbutton")->click(); });
        // (but the load window's own note of the file it read)
        EXPECT_EQ(InstrumentState::differences(restored, t.w.state()),
                  (std::vector<std::string>{"LoadFromButton", "FileInvalid", "FilePath"}));
        EXPECT_EQ(buttonsOf(t.w), buttons);
    }
    h.writeFile("config/wqkscope/session.dpf", "DPF, 9 , damaged");
    Tools t(h);
    EXPECT_EQ(files::encodeProfile(t.w.state()), start);
    EXPECT_EQ(t.status(), "The last session's settings were ignored: " + h.dir() +
                              "/config/wqkscope/session.dpf: not a valid WQK profile");
}
