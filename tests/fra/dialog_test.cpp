// The Frequency response dialog on the simulated low-pass: a sweep from its fields with
// the plot drawn live, the exports, closing during a sweep.
#include "fra/bode_plot.h"
#include "fra/fra_dialog.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using testing_support::Harness;

namespace {

sim::Options lowPass() {
    sim::Options o;
    std::string error;
    EXPECT_TRUE(sim::parseInput("dac", o.inputA, error) && sim::parseInput("gen", o.inputB, error));
    return o;
}

// A control of the dialog by name, set and clicked through its properties and slots.
QWidget* c(QWidget& d, const char* name) {
    return d.findChild<QWidget*>(name);
}
void click(QWidget& d, const char* name) {
    QMetaObject::invokeMethod(c(d, name), "click");
}

} // namespace

TEST(FraDialog, SweepsFromItsFieldsAndExports) {
    Harness h(lowPass());
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
