// Sweeps on the simulated instrument (virtual clock): the measured response of the
// simulated first-order low-pass against its closed form, the cancel path and the
// settings put back afterwards; the dialog with its live plot and exports.
#include "fra/bode_plot.h"
#include "fra/fra_dialog.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using fra::Point;
using fra::Reference;
using testing_support::Harness;

namespace {

sim::Options lowPass(double cornerHz) {
    sim::Options o;
    std::string error;
    EXPECT_TRUE(sim::parseInput("dac", o.inputA, error));
    EXPECT_TRUE(sim::parseInput("gen:" + std::to_string(cornerHz), o.inputB, error));
    return o;
}

// What a sweep changes and must put back.
auto settingsOf(const InstrumentState& s) {
    return std::make_tuple(int(s.mode()), s.genMode(), s.genStyle(), s.genFreq(), s.AmpDiv,
                           s.GenDirty, s.GenLast, s.dcA(), s.rangeSelA(), s.chanBOn(), s.RunRepeat,
                           s.ReadCount, s.dataRateA());
}

// A control of the dialog by name, set and clicked through its properties and slots.
QWidget* c(QWidget& d, const char* name) {
    return d.findChild<QWidget*>(name);
}
void click(QWidget& d, const char* name) {
    QMetaObject::invokeMethod(c(d, name), "click");
}

} // namespace

TEST(FraSweep, MatchesTheFirstOrderLowPass) {
    struct Row {
        Reference ref;
        int ampDiv;
        double cornerHz, upToHz, dbTol, degTol;
    } rows[] = {
        {Reference::A, 1, 10000, 1e6, 0.3, 3},
        {Reference::D, 1, 10000, 20000, 0.5, 5},
        // Below -20 dB the 0.5 V stimulus leaves the response a few codes: not checked.
        {Reference::A, 2, 2000, 20000, 0.3, 3},
    };
    for (const Row& r : rows) {
        Harness h(lowPass(r.cornerHz));
        fra::Sweep sweep(h.window());
        ASSERT_EQ(sweep.run({100, 100000, 5, 0, r.ampDiv, r.ref}), "") << r.cornerHz;
        ASSERT_EQ(sweep.points().size(), 16u) << r.cornerHz;
        for (const Point& p : sweep.points()) {
            const double gainDb = -10 * std::log10(1 + std::pow(p.freqHz / r.cornerHz, 2));
            const double phaseDeg = -std::atan(p.freqHz / r.cornerHz) * 180 / M_PI;
            const std::string at = std::to_string(r.cornerHz) + " " + std::to_string(p.freqHz);
            EXPECT_FALSE(p.clipped) << at;
            if (p.freqHz > r.upToHz) continue;
            EXPECT_NEAR(p.gainDb, gainDb, r.dbTol) << at;
            EXPECT_NEAR(p.phaseDeg, phaseDeg, r.degTol) << at;
        }
    }
}

TEST(FraSweep, StopsEarlyKeepsItsPointsAndPutsEverythingBack) {
    enum class How { Cancel, StopInWindow, BOff, NoGenerator, NoChannelB };
    struct Row {
        const char *name, *error;
        How how;
        size_t points;
    } rows[] = {
        {"cancel after 3 points", "", How::Cancel, 3},
        {"STOP in the window", "No data at 398 Hz: the capture was stopped or did not end.",
         How::StopInWindow, 3},
        {"B off in the window", "No reading at 398 Hz: B was not captured with A.", How::BOff, 3},
        {"no generator", "This instrument has no generator.", How::NoGenerator, 0},
        {"no channel B", "This instrument has no channel B.", How::NoChannelB, 0},
    };
    for (const Row& r : rows) {
        sim::Options o = lowPass(10000);
        o.generator = r.how != How::NoGenerator;
        o.channelB = r.how != How::NoChannelB;
        Harness h(o);
        WQK& w = h.window();
        InstrumentState& s = w.state();
        // A user's state: FFT mode, a custom wave in CUSTOM mode, A DC-coupled on 12 V,
        // B off, Repeat; a capture in the buffers.
        for (int i = 0; i < 3; ++i)
            w.SCOPEMODE_Click();
        ASSERT_EQ(s.mode(), modes::FFT);
        w.GENMODEBUTTON_MouseDown();
        w.GENMODEBUTTON_MouseDown();
        for (int i = 0; i < 100; ++i)
            s.CustomWave[size_t(i)] = int16_t(i * 20);
        w.Command2_Click();
        if (s.chanBOn()) w.SCHBbutton_Click();
        w.TRESETBUTTON_Click();
        std::tie(s.ChanABuffer[7], s.SaveA[9]) = std::make_pair(1234, 2222);
        const InstrumentState before = s;

        fra::Sweep sweep(w);
        bool lockedDuringCapture = false;
        QObject::connect(&sweep, &fra::Sweep::measured, [&](const Point&, int done, int, double) {
            if (done != 3) return;
            h.clock().atDoEvents(2, [&] {
                lockedDuringCapture = !w.SCOPEMODE->isEnabled() && !w.fileloadbutton->isEnabled() &&
                                      !w.GENMODEBUTTON->isEnabled();
                r.how == How::Cancel ? sweep.cancel()
                : r.how == How::BOff ? w.SCHBbutton_Click()
                                     : w.GOBUTTON_Click();
            });
        });
        EXPECT_EQ(sweep.run({}), r.error) << r.name;
        EXPECT_EQ(sweep.points().size(), r.points) << r.name;
        EXPECT_EQ(sweep.cancelled(), r.how == How::Cancel) << r.name;
        EXPECT_EQ(lockedDuringCapture, r.points > 0) << r.name;
        EXPECT_TRUE(!s.running() && w.SCOPEMODE->isEnabled()) << r.name;
        EXPECT_EQ(settingsOf(s), settingsOf(before)) << r.name;
        EXPECT_TRUE(s.GenWave == before.GenWave && s.CustomWave == before.CustomWave &&
                    s.ChanABuffer == before.ChanABuffer && s.SaveA == before.SaveA)
            << r.name;
    }
}

TEST(FraDialog, SweepsFromItsFieldsAndExports) {
    Harness h(lowPass(10000));
    fra::FraDialog d(h.window());
    c(d, "fraFrom")->setProperty("value", 1000);
    c(d, "fraPoints")->setProperty("value", 3);
    c(d, "fraReference")->setProperty("currentIndex", 1);
    EXPECT_EQ(d.settings().reference, fra::Reference::D);
    size_t live = 0;
    QObject::connect(&d.sweep(), &fra::Sweep::measured, [&] {
        live = d.plot()->points().size();
        EXPECT_FALSE(c(d, "fraStart")->isEnabled() || c(d, "fraExportCsv")->isEnabled());
    });
    click(d, "fraStart");
    EXPECT_EQ(live, 7u); // 1 kHz to 100 kHz at 3 per decade
    EXPECT_EQ(c(d, "fraProgress")->property("value").toInt(), 7);
    EXPECT_TRUE(c(d, "fraStart")->isEnabled() && !c(d, "fraCancel")->isEnabled());
    d.plot()->setCursor(6);
    EXPECT_TRUE(d.status().contains("-3 dB at 10.1 kHz, phase -45.")) << d.status().toStdString();
    EXPECT_TRUE(d.status().contains("Cursor: 100 kHz   -20.0")) << d.status().toStdString();

    EXPECT_EQ(d.exportCsv(QString::fromStdString(h.dir() + "/b.csv")), "");
    EXPECT_EQ(h.readFile("b.csv"), fra::toCsv(d.plot()->points()));
    EXPECT_EQ(d.exportPicture(QString::fromStdString(h.dir() + "/b.png")), "");
    EXPECT_EQ(QImage(QString::fromStdString(h.dir() + "/b.png")).size(), QSize(1000, 700));
    const std::string nowhere = h.dir() + "/no/such/folder/b.csv";
    EXPECT_EQ(d.exportCsv(QString::fromStdString(nowhere)), "Could not write " + nowhere + ".");

    // Closed during a second sweep: the sweep ends, puts everything back, keeps its
    // points, and then the dialog closes.
    d.show();
    QObject::connect(&d.sweep(), &fra::Sweep::measured, [&](const fra::Point&, int done) {
        if (done == 2) h.clock().atDoEvents(1, [&] { d.reject(); });
    });
    click(d, "fraStart");
    EXPECT_EQ(d.plot()->points().size(), 2u);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(d.status().startsWith("Cancelled: 2 of 7 points kept"));
    EXPECT_TRUE(h.messages().shown.empty());
    EXPECT_EQ(h.s().mode(), modes::Scope);
}
