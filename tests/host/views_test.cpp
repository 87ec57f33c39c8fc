// The math trace, the references and persistence over the signal display: nothing drawn
// while off, M measured as a column, references kept across a restart, persistence's
// count and clearing.
#include "files/formats.h"
#include "host/main_window.h"
#include "host/math_layer.h"
#include "host/persistence_layer.h"
#include "host/reference_layer.h"
#include "host/views_panel.h"
#include "host/xy_panel.h"
#include "instrument/instrument.h"
#include "platform/picturebox.h"
#include "support/fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <functional>

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

struct Views {
    explicit Views(Harness&) {
        mw.show();
        w.activate();
    }
    host::MainWindow mw;
    WQK& w = mw.wqk();
    host::ViewsPanel* panel() { return mw.findChild<host::ViewsPanel*>(); }
    template <class T> T* get(const char* name) { return mw.findChild<T*>(name); }
    QStringList columns() {
        QStringList out;
        auto* t = get<QTableWidget>("measureTable");
        for (int c = 0; c < t->columnCount(); ++c)
            out << t->horizontalHeaderItem(c)->text();
        return out;
    }
    QString cell(int row, int column) {
        return get<QTableWidget>("measureTable")->item(row, column)->text();
    }
};

} // namespace

TEST(Views, OffTheDisplayIsUnchangedOnMIsDrawnAndMeasured) {
    // The same captures on the virtual clock, once with every view on and off again.
    QImage plain;
    for (bool views : {false, true}) {
        Harness h(quiet());
        Views t(h);
        t.w.Command18_Click(); // show B
        t.w.GOBUTTON_Click();
        t.mw.action("actionMeasurements")->trigger();
        t.mw.action("actionMath and References")->trigger();
        if (views) {
            EXPECT_EQ(t.columns(), (QStringList{"A", "B"}));
            const QImage off = t.w.grab().toImage();
            t.get<QCheckBox>("mathOn")->click();
            auto* op = t.get<QComboBox>("mathOp");
            op->setCurrentIndex(int(analysis::MathOp::NegA));
            emit op->activated(op->currentIndex());
            EXPECT_EQ(t.columns(), (QStringList{"A", "B", "M (-A)"}));
            EXPECT_EQ(t.cell(2, 2), t.cell(2, 0)); // -A's peak-to-peak is A's
            EXPECT_NE(t.w.grab().toImage(), off);
            t.panel()->store(0, "A");
            t.get<QCheckBox>("persistOn")->click();
            t.mw.action("actionTwoCursors")->trigger();
        }
        t.w.GOBUTTON_Click();
        if (views) {
            EXPECT_EQ(t.columns(), (QStringList{"A", "B", "M (-A)", "R1"}));
            EXPECT_EQ(t.mw.persistence().count(), 1);
            t.mw.action("actionTwoCursors")->trigger();
            t.get<QCheckBox>("mathOn")->click();
            t.get<QCheckBox>("refShown1")->click();
            t.get<QCheckBox>("persistOn")->click();
            EXPECT_EQ(t.columns(), (QStringList{"A", "B"}));
            EXPECT_EQ(t.w.grab().toImage(), plain);
        }
        plain = t.w.grab().toImage();
    }
}

TEST(Views, ReferencesSurviveARestartAndADamagedOneIsLeftOut) {
    Harness h(quiet());
    std::vector<double> kept;
    {
        Views t(h);
        t.mw.action("actionMath and References")->trigger();
        EXPECT_EQ(t.panel()->store(0, "A"), "nothing captured to store");
        t.w.GOBUTTON_Click();
        ASSERT_EQ(t.panel()->store(0, "A"), "");
        h.writeFile("c.csv", files::encodeExport(t.w.state(), true));
        ASSERT_EQ(t.panel()->loadFile(1, QString::fromStdString(h.dir() + "/c.csv"),
                                      analysis::Channel::B),
                  "");
        EXPECT_EQ(t.panel()->loadFile(2, QString::fromStdString(h.dir() + "/none.wqk"),
                                      analysis::Channel::A),
                  "not loaded: none.wqk cannot be read");
        t.get<QCheckBox>("refShown2")->click(); // hidden, still kept
        kept = t.mw.references().at(0).wave.values;
        t.w.close();
    }
    {
        Views t(h);
        const host::ReferenceLayer& r = t.mw.references();
        ASSERT_TRUE(r.at(0).stored && r.at(1).stored);
        EXPECT_FALSE(r.at(2).stored);
        EXPECT_TRUE(r.at(0).shown);
        EXPECT_FALSE(r.at(1).shown);
        EXPECT_EQ(r.at(1).source, "c.csv B");
        ASSERT_EQ(r.at(0).wave.values.size(), kept.size());
        for (size_t i = 0; i < kept.size(); ++i)
            ASSERT_FLOAT_EQ(float(r.at(0).wave.values[i]), float(kept[i])) << i;
        t.w.GOBUTTON_Click();
        t.mw.action("actionMeasurements")->trigger();
        EXPECT_EQ(t.columns(), (QStringList{"A", "R1"}));
        t.w.close();
    }
    QSettings q(QString::fromStdString(h.dir() + "/config/wqkscope/wqkscope.conf"),
                QSettings::IniFormat);
    q.setValue("ViewsDock/reference1/wave", "damaged");
    q.sync();
    Views t(h);
    EXPECT_FALSE(t.mw.references().at(0).stored);
    EXPECT_TRUE(t.mw.references().at(1).stored);
    EXPECT_EQ(t.get<QLabel>("refSource1")->text(), "not restored: its stored trace is damaged");
}

TEST(Views, PersistenceKeepsTheLastNCapturesOrAllUntilCleared) {
    Harness h(quiet());
    Views t(h);
    host::PersistenceLayer& p = t.mw.persistence();
    t.w.GOBUTTON_Click();
    EXPECT_EQ(p.count(), 0); // off: nothing kept
    t.mw.action("actionMath and References")->trigger();
    t.get<QCheckBox>("persistOn")->click();
    t.get<QSpinBox>("persistDepth")->setValue(4);
    ASSERT_EQ(t.w.instrument().captureRun(6, 10).end, Instrument::RunEnd::Done);
    EXPECT_EQ(p.count(), 4);
    EXPECT_EQ(t.get<QLabel>("persistCount")->text(), "4 captures kept");
    t.get<QSpinBox>("persistDepth")->setValue(2);
    EXPECT_EQ(p.count(), 2);
    t.get<QCheckBox>("persistInfinite")->click();
    EXPECT_EQ(p.count(), 0);
    ASSERT_EQ(t.w.instrument().captureRun(5, 10).end, Instrument::RunEnd::Done);
    EXPECT_EQ(p.count(), 5);
    t.get<QPushButton>("persistClear")->click();
    EXPECT_EQ(p.count(), 0);
    p.setDepth(1);
    EXPECT_EQ(p.depth(), 2);
    p.setDepth(100);
    EXPECT_EQ(p.depth(), 64);
}

TEST(Views, PersistenceKeepsTheTracesAsTheDisplayDrewThem) {
    // One capture kept: the layer lights exactly the pixels the display drew in a trace's
    // colour (B and A, or the combined trace in their place).
    const std::pair<const char*, std::function<void(WQK&)>> rows[] = {
        {"A", [](WQK&) {}},
        {"B and A", [](WQK& w) { w.Command18_Click(); }},
        {"A+B", [](WQK& w) { w.Command20_Click(); }},
        {"A-B",
         [](WQK& w) {
             w.Command20_Click();
             w.Command21_Click();
         }},
    };
    for (const auto& [name, show] : rows) {
        Harness h(quiet());
        Views t(h);
        show(t.w);
        t.mw.persistence().setOn(true);
        t.w.GOBUTTON_Click();
        const analysis::DisplayMap m = t.mw.overlay().map();
        QImage layer(int(m.widthPx), int(m.heightPx), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        {
            QPainter p(&layer);
            t.mw.persistence().paint(p, m);
        }
        const QImage shown = t.w.control<plat::PictureBox>("Picture1")->image();
        ASSERT_EQ(shown.size(), layer.size()) << name;
        const InstrumentState& s = t.w.state();
        const QRgb traces[] = {plat::toQColor(s.colourA()).rgb(), plat::toQColor(s.colourB()).rgb(),
                               plat::toQColor(s.colourSum()).rgb()};
        int lit = 0, differ = 0;
        for (int x = 0; x < layer.width(); ++x) {
            for (int y = 0; y < layer.height(); ++y) {
                const bool kept = qAlpha(layer.pixel(x, y)) > 0;
                const QRgb d = shown.pixel(x, y) | 0xff000000;
                const bool drawn =
                    std::find(std::begin(traces), std::end(traces), d) != std::end(traces);
                lit += kept;
                differ += kept != drawn;
            }
        }
        EXPECT_GT(lit, layer.width()) << name;
        EXPECT_EQ(differ, 0) << name;
    }
}

TEST(Views, XyPlotsTheDisplayWindowAndReadsThePhase) {
    Harness h(quiet());
    Views t(h);
    t.w.Command18_Click();
    t.mw.action("actionMeasurements")->trigger();
    t.mw.action("actionXY View")->trigger();
    auto* xy = t.mw.findChild<host::XyPanel*>();
    EXPECT_EQ(t.get<QLabel>("xyPhase")->text(), "B/A phase: -");
    t.w.control<QScrollBar>("HScroll2")->setValue(3000); // three periods in the window
    t.w.GOBUTTON_Click();
    ASSERT_EQ(xy->sets().size(), 1u);
    EXPECT_EQ(xy->sets()[0].x.size(), 3001u);       // samples 0 to 3000
    EXPECT_NEAR(xy->sets()[0].largest(), 1, 0.094); // within a code of the 12 V range
    EXPECT_DOUBLE_EQ(xy->perDiv(), 0.5);            // 1 V peak within four divisions
    EXPECT_EQ(t.get<QLabel>("xyPhase")->text(),
              "B/A phase: " + t.get<QLabel>("measurePhase")->text());
    t.get<QSpinBox>("xyPersistence")->setValue(3);
    ASSERT_EQ(t.w.instrument().captureRun(4, 10).end, Instrument::RunEnd::Done);
    EXPECT_EQ(xy->sets().size(), 3u);
    t.get<QPushButton>("xyClear")->click();
    EXPECT_EQ(xy->sets().size(), 1u);
}
