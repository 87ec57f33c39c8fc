// The host window: its menus lock with the window's buttons, its panels follow the
// record without changing it, and with them open the program does exactly what it
// does with them closed.
#include "analysis/si_format.h"
#include "files/formats.h"
#include "files/lists.h"
#include "host/main_window.h"
#include "host/measure_panel.h"
#include "host/spectrum_panel.h"
#include "support/fixture.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QLabel>
#include <QTableWidget>
#include <functional>
#include <gtest/gtest.h>
#include <random>

using testing_support::Harness;
using Kind = sim::InputSpec::Kind;

namespace {

// The tooltip of a value over a part of a period.
const char* const PartialTip =
    "Over less than one whole period: the value depends on where the window starts and ends";

sim::Options quietSines() {
    sim::Options o;
    o.inputA = {Kind::Sine, 2000, 1};
    o.inputB = {Kind::Sine, 2000, 0.5};
    o.noise = 0;
    return o;
}

// The window's items that stand beside its buttons, with the button each follows.
// clang-format off
const std::pair<const char*, const char*> Locked[] = {
    {"actionLoad", "fileloadbutton"}, {"actionSave", "filesavebutton"},
    {"actionPrint", "Command1"}, {"actionPrintPdf", "Command1"},
    {"actionPort", "SETUP"}, {"actionExit", "Command22"},
    {"actionGuide", "helpbutton"}, {"actionResponse", "fileloadbutton"},
    {"actionExportSession", "filesavebutton"}};
// clang-format on

void expectMenus(host::MainWindow& mw, bool enabled, const char* when) {
    for (const auto& [name, button] : Locked) {
        SCOPED_TRACE(std::string(when) + ": " + name);
        ASSERT_NE(mw.action(name), nullptr);
        EXPECT_EQ(mw.action(name)->isEnabled(), enabled);
        EXPECT_EQ(mw.wqk().control<VbButton>(button)->isEnabled(),
                  enabled); // as the button beside it
    }
}

// Everything the record holds that a tool could change, and what reached the port.
std::string snapshot(const InstrumentState& s, const sim::Wqk01& sim) {
    std::string out = files::encodeProfile(s) + std::to_string(sim.accessCount());
    for (const auto* b : {&s.ChanABuffer, &s.ChanBBuffer, &s.SaveA, &s.SaveB})
        out.append(reinterpret_cast<const char*>(b->data()), b->size() * sizeof(int16_t));
    return out;
}

// A capture in SCOPE mode with B shown, an FFT capture, back, and the window widened.
void session(WQK& w) {
    w.activate();
    w.Command3_Click(); // A and B on the 1.2 V range
    w.Command6_Click();
    w.Command18_Click(); // show B
    w.GOBUTTON_Click();
    w.FFTbutton_Click();
    w.GOBUTTON_Click();
    w.SCOPEMODE_Click();
    w.control<QScrollBar>("HScroll2")->setValue(3000);
}

std::string cell(host::MainWindow& mw, int row, int column) {
    auto* t = mw.findChild<QTableWidget*>("measureTable");
    return t->item(row, column) ? t->item(row, column)->text().toStdString() : "";
}
std::string text(host::MainWindow& mw, const char* label) {
    return mw.findChild<QLabel*>(label)->text().toStdString();
}

} // namespace

TEST(HostWindow, MenusLockWithTheButtonsDuringARunAndWhileAWindowCoversThem) {
    Harness h;
    host::MainWindow mw;
    WQK& w = mw.wqk();
    w.activate();
    EXPECT_EQ(mw.windowTitle(), w.windowTitle());
    expectMenus(mw, true, "stopped");
    w.TRESETBUTTON_Click(); // Repeat: the run goes on until STOP
    bool checked = false;
    h.clock().at(h.clock().nowMs() + 3000, [&] {
        expectMenus(mw, false, "running");
        checked = true;
        w.GOBUTTON_Click(); // STOP
    });
    w.GOBUTTON_Click();
    EXPECT_TRUE(checked);
    expectMenus(mw, true, "after the run");
    // File > Port opens the port-selection window over every button.
    h.clock().atDoEvents(2, [&] {
        EXPECT_FALSE(mw.action("actionLoad")->isEnabled());
        EXPECT_TRUE(mw.action("actionMeasurements")->isEnabled());
        w.CONFIGEXIT_Click();
    });
    mw.action("actionPort")->trigger();
    EXPECT_TRUE(w.control<PictureBox>("CONFIGWINDOW")->isHidden());
    expectMenus(mw, true, "port window closed");
}

TEST(HostWindow, OpenPanelsFollowTheRecordAndChangeNothing) {
    std::string closed, open;
    {
        Harness h(quietSines());
        host::MainWindow mw;
        session(mw.wqk());
        closed = snapshot(mw.wqk().state(), h.sim());
    }
    Harness h(quietSines());
    host::MainWindow mw;
    WQK& w = mw.wqk();
    auto* spectrum = mw.dock("SpectrumDock")->findChild<host::SpectrumPanel*>();
    mw.action("actionMeasurements")->trigger();
    mw.action("actionSpectrum")->trigger();
    EXPECT_EQ(text(mw, "measureSpan"), "nothing captured yet");
    session(w);
    EXPECT_EQ(snapshot(w.state(), h.sim()), closed);

    // Back in SCOPE mode: A and B over the display window, three periods.
    EXPECT_EQ(text(mw, "measureSpan"), "Display window: samples 0 to 3000 of 4096");
    EXPECT_EQ(cell(mw, 0, 0), "2.000 kHz");
    EXPECT_EQ(cell(mw, 2, 1), "993.7 mV"); // B: 106 codes of 9.375 mV
    EXPECT_EQ(text(mw, "measureGain"), "-6.02 dB");
    EXPECT_EQ(text(mw, "spectrumStatus"), "Active in FFT mode (press F)");
    // The capture saved and loaded again: a signal file does not keep B's offset, so no
    // phase rather than a wrong one.
    std::string bytes;
    ASSERT_TRUE(files::encodeSignal(w.state(), files::WqkSignal, bytes));
    h.writeFile("s.wqk", bytes);
    w.control<FileListBox>("File1")->setPath(h.dir(), true);
    ASSERT_TRUE(w.control<DirListBox>("Dir1")->setPath(h.dir()) &&
                w.control<FileListBox>("File1")->selectFile("s.wqk"));
    w.chabload();
    EXPECT_EQ(text(mw, "measureSpan"), "Display window: samples 0 to 3000 of 32767 (signal file)");
    EXPECT_EQ(text(mw, "measurePhase"), "-");
    EXPECT_EQ(mw.findChild<QLabel*>("measurePhase")->toolTip().toStdString(),
              "B's offset from A is not kept in a signal file");
    // A flat trace or one within its noise has no frequency: "-" and the reason; a part
    // of a period has its mean marked.
    auto* table = mw.findChild<QTableWidget*>("measureTable");
    std::vector<int16_t>& buf = w.state().ChanABuffer;
    const std::pair<std::function<int(size_t)>, const char*> rows[] = {
        {[](size_t) { return 0; }, "flat trace"},
        {[r = std::minstd_rand(1)](size_t) mutable { return int(r() % 4) * 10 - 20; },
         "no periodic signal"}, // whole codes, -2 to +1
        {[](size_t i) { return int(std::lround(900 * std::sin(double(i) * 1e-4))); }, PartialTip}};
    mw.findChild<QCheckBox*>("measureWholeRecord")->click();
    for (const auto& [level, why] : rows) {
        for (size_t i = 0; i < buf.size(); ++i)
            buf[i] = int16_t(InstrumentState::MidScale + level(i));
        mw.findChild<host::MeasurePanel*>()->refresh();
        const int row = why == PartialTip ? 5 : 0; // Mean, Frequency
        EXPECT_EQ(cell(mw, row, 0).back(), why == PartialTip ? '*' : '-') << why;
        EXPECT_EQ(table->item(row, 0)->toolTip().toStdString(), why);
    }

    // In FFT mode, with every option at its default, the panel shows the display's spectrum.
    w.FFTbutton_Click();
    w.GOBUTTON_Click();
    ASSERT_FALSE(spectrum->traces().empty());
    const std::vector<double>& a = spectrum->traces()[0].values;
    ASSERT_EQ(a.size(), 2048u);
    for (size_t k = 0; k < a.size(); ++k)
        ASSERT_EQ(a[k], w.state().ChanABuffer[k] / 25.5) << k;
    auto* peaks = mw.findChild<QTableWidget*>("spectrumPeaks");
    EXPECT_EQ(peaks->rowCount(), 2 * host::SpectrumPanel::PeakCount);
    EXPECT_EQ(peaks->item(0, 2)->text().toStdString(), "100.0");
    const double amplitude = spectrum->traces()[0].peaks[0].amplitudeV; // A's 1 V peak
    EXPECT_NEAR(amplitude, 1, 0.01);
    EXPECT_EQ(peaks->item(0, 3)->text().toStdString(), analysis::formatSI(amplitude, "V"));
    EXPECT_TRUE(mw.findChild<QLabel*>("spectrumClipped")->isHidden());
    std::fill_n(w.state().SaveB.begin(), 9, int16_t(2550)); // code 255 in B
    spectrum->refresh();
    EXPECT_EQ(text(mw, "spectrumClipped"), "B CLIPPED");
}
