// On the simulated low-pass (virtual clock): the sweep against the closed form, its early
// ends and the settings put back; the dialog from its menu; the bode subcommand.
#include "cli/cli.h"
#include "fra/bode_plot.h"
#include "fra/fra_dialog.h"
#include "generator/synthesis.h"
#include "host/main_window.h"
#include "instrument/instrument.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
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

} // namespace

TEST(FraSweep, MatchesTheFirstOrderLowPass) {
    // Reference, amplitude divisor, corner, sweep. Every point within 0.1 dB and 1 degree,
    // or where the response is a code or two, within three times what the 10 mV of noise
    // and the code steps leave of a sine fitted to the n samples measured (nine tenths of
    // the combined run's table; at least the planned read beside the output):
    // sqrt(2 / n) sqrt(1/12 + (noise / step)^2 / 6) of its amplitude. The slow circuit
    // (100 Hz from 10 Hz) is still settling when a new table or step clock has just
    // started: those points are captured again once it has settled, and only those.
    const std::tuple<Reference, int, double, fra::Settings> rows[] = {
        {Reference::A, 1, 1000, {100, 100000, 5}},   {Reference::A, 1, 10000, {100, 100000, 5}},
        {Reference::A, 1, 100000, {100, 100000, 5}}, {Reference::D, 1, 10000, {100, 100000, 5}},
        {Reference::A, 2, 2000, {100, 100000, 5}},   {Reference::A, 1, 100, {10, 1000, 5}}};
    for (auto [ref, ampDiv, cornerHz, set] : rows) {
        set.ampDiv = ampDiv, set.reference = ref;
        Harness h(lowPass(cornerHz));
        Instrument& inst = h.window().instrument();
        const long captures = inst.captureCount();
        fra::Sweep sweep(inst);
        ASSERT_EQ(sweep.run(set), "") << cornerHz;
        ASSERT_EQ(sweep.points().size(), 16u - 5 * (cornerHz == 100)) << cornerHz;
        EXPECT_EQ(inst.captureCount() - captures > long(sweep.points().size()), cornerHz == 100);
        const std::vector<fra::Step> plan = fra::planContinuous(set, 1);
        for (const Point& p : sweep.points()) {
            SCOPED_TRACE(testing::Message() << cornerHz << " Hz corner, " << p.freqHz << " Hz");
            const double x = p.freqHz / cornerHz, gainDb = -10 * std::log10(1 + x * x);
            const gen::Settled g = gen::settleFrequency(std::lround(p.freqHz), 1);
            const auto step = std::find_if(plan.begin(), plan.end(), [&](const fra::Step& st) {
                return st.freqHz == p.freqHz;
            });
            const double n = ref == Reference::D ? 0.9 * g.points * g.cycles : double(step->count);
            const double codes = std::pow(10, gainDb / 20) / ampDiv / 0.009375;
            const double rel =
                std::sqrt(2 / n) * std::sqrt(1.0 / 12 + std::pow(0.01 / 0.009375, 2) / 6) / codes;
            EXPECT_FALSE(p.clipped);
            EXPECT_NEAR(p.gainDb, gainDb, std::max(0.1, 3 * rel * 20 / std::log(10)));
            EXPECT_NEAR(p.phaseDeg, -std::atan(x) * 180 / M_PI,
                        std::max(1.0, 3 * rel * 180 / M_PI));
        }
    }
}

TEST(FraSweep, CancelEndsWithinAFifthOfASecondOnARealPortsTime) {
    // Clicked as a new table starts uploading (a tenth of a second at 1000 ns an access):
    // seen when the upload is done, then the output is stopped by clearing the memory.
    sim::Options o = lowPass(10000);
    o.latencyNs = 1000;
    Harness h(o);
    fra::Sweep sweep(h.window().instrument());
    int64_t clicked = -1;
    QObject::connect(&sweep, &fra::Sweep::measured, [&](const Point&, int done) {
        if (done != 4) return; // the next point plays the next table
        clicked = h.clock().nowMs();
        h.clock().at(clicked, [&] { sweep.cancel(); });
    });
    EXPECT_EQ(sweep.run({100, 100000, 10}), "");
    EXPECT_EQ(sweep.points().size(), 4u);
    EXPECT_LE(h.clock().nowMs() - clicked, 200);
    EXPECT_GE(h.clock().nowMs() - clicked, 190); // an upload and the clearing
}

TEST(FraSweep, StopsEarlyKeepsItsPointsAndPutsEverythingBack) {
    enum class How { Cancel, StopInWindow, BOff, NoGenerator };
    struct Row {
        const char *name, *error;
        How how;
        size_t points;
    } rows[] = {
        {"cancel after 3 points", "", How::Cancel, 3},
        {"STOP in the window", "No data at 100000 Hz: the capture was stopped or did not end.",
         How::StopInWindow, 3},
        {"B off in the window", "No reading at 100000 Hz: B was not captured with A.", How::BOff,
         3},
        {"no generator", "This instrument has no generator.", How::NoGenerator, 0},
    };
    for (const Row& r : rows) {
        sim::Options o = lowPass(10000);
        o.generator = r.how != How::NoGenerator;
        Harness h(o);
        WQK& w = h.window();
        InstrumentState& s = w.state();
        // A user's state: FFT mode, a custom wave in CUSTOM mode, A DC-coupled on 12 V,
        // B off, Repeat; a capture in the buffers.
        for (int i = 0; i < 3; ++i)
            w.SCOPEMODE_Click();
        w.GENMODEBUTTON_MouseDown();
        w.GENMODEBUTTON_MouseDown();
        std::fill_n(s.CustomWave.begin(), 100, int16_t(777));
        w.Command2_Click();
        if (s.chanBOn()) w.SCHBbutton_Click();
        w.TRESETBUTTON_Click();
        std::tie(s.ChanABuffer[7], s.SaveA[9]) = std::make_pair(1234, 2222);
        const InstrumentState before = s;

        fra::Sweep sweep(w.instrument());
        bool lockedDuringCapture = false;
        QObject::connect(&sweep, &fra::Sweep::measured, [&](const Point&, int done, int, double) {
            if (done != 3) return;
            h.clock().atDoEvents(2, [&] {
                lockedDuringCapture = !w.control<PictureBox>("SCOPEMODE")->isEnabled() &&
                                      !w.control<VbButton>("fileloadbutton")->isEnabled() &&
                                      !w.control<VbButton>("GENMODEBUTTON")->isEnabled();
                r.how == How::Cancel ? sweep.cancel()
                : r.how == How::BOff ? w.SCHBbutton_Click()
                                     : w.GOBUTTON_Click();
            });
        });
        EXPECT_EQ(sweep.run({}), r.error) << r.name;
        EXPECT_EQ(sweep.points().size(), r.points) << r.name;
        EXPECT_EQ(sweep.cancelled(), r.how == How::Cancel) << r.name;
        EXPECT_EQ(lockedDuringCapture, r.points > 0) << r.name;
        EXPECT_TRUE(!s.running() && w.control<PictureBox>("SCOPEMODE")->isEnabled()) << r.name;
        EXPECT_EQ(settingsOf(s), settingsOf(before)) << r.name;
        EXPECT_TRUE(s.GenWave == before.GenWave && s.CustomWave == before.CustomWave &&
                    s.ChanABuffer == before.ChanABuffer && s.SaveA == before.SaveA)
            << r.name;
    }
}

TEST(FraDialog, SweepsFromItsFieldsAndExports) {
    Harness h(lowPass(10000));
    host::MainWindow mw;
    mw.wqk().activate();
    mw.action("actionResponse")->trigger();
    fra::FraDialog& d = *mw.findChild<fra::FraDialog*>();
    c(d, "fraFrom")->setProperty("value", 1000);
    c(d, "fraPoints")->setProperty("value", 3);
    c(d, "fraReference")->setProperty("currentIndex", 1);
    int live = 0; // points that were on the plot as they arrived, the fields locked
    QObject::connect(&d.sweep(), &fra::Sweep::measured, [&](const fra::Point&, int done) {
        live += d.plot()->points().size() == size_t(done) && !c(d, "fraStart")->isEnabled() &&
                !c(d, "fraReference")->isEnabled();
    });
    QMetaObject::invokeMethod(c(d, "fraStart"), "click");
    EXPECT_EQ(live, 7); // 1 kHz to 100 kHz at 3 per decade
    EXPECT_EQ(c(d, "fraProgress")->property("value").toInt(), 7);
    EXPECT_TRUE(c(d, "fraStart")->isEnabled() && !c(d, "fraCancel")->isEnabled());
    d.plot()->setCursor(6);
    EXPECT_TRUE(d.status().contains("-3 dB at 10.1 kHz, phase -45.")) << d.status().toStdString();
    EXPECT_TRUE(d.status().contains("Cursor: 100 kHz   -20.0")) << d.status().toStdString();

    EXPECT_EQ(d.exportCsv(QString::fromStdString(h.dir() + "/b.csv")), "");
    EXPECT_EQ(h.readFile("b.csv"), fra::toCsv(d.plot()->points()));
    for (const char* name : {"/b.png", "/b.svg", "/b.pdf"})
        EXPECT_EQ(d.exportPicture(QString::fromStdString(h.dir() + name)), "") << name;
    EXPECT_EQ(QImage(QString::fromStdString(h.dir() + "/b.png")).size(), QSize(1000, 700));
    EXPECT_EQ(h.readFile("b.svg").substr(0, 5) + h.readFile("b.pdf").substr(0, 4), "<?xml%PDF");
    const std::string nowhere = h.dir() + "/no/such/folder/b.csv";
    EXPECT_EQ(d.exportCsv(QString::fromStdString(nowhere)), "Could not write " + nowhere + ".");

    // Closed during a second sweep: the sweep ends, puts everything back, keeps its
    // points, and then the dialog closes.
    QObject::connect(&d.sweep(), &fra::Sweep::measured, [&](const fra::Point&, int done) {
        if (done == 2) h.clock().atDoEvents(1, [&] { d.reject(); });
    });
    QMetaObject::invokeMethod(c(d, "fraStart"), "click");
    EXPECT_EQ(d.plot()->points().size(), 2u);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(d.status().startsWith("Cancelled: 2 of 7 points kept"));
    EXPECT_TRUE(h.messages().shown.empty());
}

TEST(FraBode, CommandLine) {
    Harness h; // the clock, the port file and a current directory
    const std::pair<std::vector<std::string>, int> rows[] = {
        {{"--from=1000", "--to=100000", "--per-decade=1", "--json", "--out=b.csv"}, 0},
        {{"--from=1000"}, 2}, // no --to
        {{"--to=100", "--from=9", "--reference=b"}, 2},
        {{"--from=10", "--to=20", "--no-gen"}, 3},
        {{"--from=10", "--to=20", "--out=no/b.csv"}, 1},
    };
    for (const auto& [args, status] : rows) {
        std::vector<std::string> a = {"bode", "--port=sim", "--input-a=dac", "--input-b=gen"};
        a.insert(a.end(), args.begin(), args.end());
        std::ostringstream out, err;
        EXPECT_EQ(cli::run(a, out, err), status) << err.str();
        if (status != 0) continue;
        const std::string json = out.str();
        EXPECT_EQ(
            json.rfind(
                R"({"reference": "a", "amplitude_vpp": 2, "points": [{"frequency_hz": 1000,)", 0),
            0u)
            << json;
        EXPECT_EQ(std::count(json.begin(), json.end(), '{'), 5) << json; // 3 points, corner
        EXPECT_EQ(h.readFile("b.csv").substr(0, 44),
                  "frequency_hz,gain_db,phase_deg\n1000.0000,-0.");
    }
}

// The -3 dB label stays whole: right of its mark, or left of it near the plot's edge.
TEST(FraBode, CornerLabelIsNeverCutOff) {
    std::vector<fra::Point> points;
    for (double f = 100; f <= 100001; f *= std::sqrt(10.0))
        points.push_back({f, -10 * std::log10(1 + std::pow(f / 40000, 2)), 0});
    const auto labelPixels = [&](double toHz) { // green, under the gain pane's top edge
        fra::BodePlot plot;
        plot.start(100, toHz);
        for (const fra::Point& p : points)
            plot.addPoint(p);
        const QImage img = plot.render({640, 480});
        int n = 0;
        for (int y = 30; y < 50; ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                n += c.green() > c.red() + 60 && c.green() > c.blue() + 60;
            }
        return n;
    };
    // The same label with the corner near the right edge (axis to 100 kHz) and mid-axis.
    const int nearEdge = labelPixels(100000), midAxis = labelPixels(1e7);
    EXPECT_GT(midAxis, 100);
    EXPECT_GT(nearEdge, midAxis * 9 / 10);
}
