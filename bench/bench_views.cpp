// The signal display redrawn with every view on against the plain redraw, side by side
// in one loop: 32768 samples in the window on A and B, the math trace, four references
// of 32768 samples, persistence of the last 16 captures and the two cursors. Both sides
// redraw the window's picture and paint it into one frame as the screen would; the views
// side paints the overlay over it too. BM_ViewsRatio reports views / plain (target: at most 3).
#include "host/display_overlay.h"
#include "host/main_window.h"
#include "host/math_layer.h"
#include "host/persistence_layer.h"
#include "host/views_panel.h"
#include "platform/port.h"
#include "port/config_file.h"
#include "sim/wqk01.h"
#include "window_main.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

host::MainWindow& window() {
    static host::MainWindow* mw = [] {
        static QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
        portcfg::write(portcfg::FileName, 1);
        static sim::Wqk01 instrument;
        plat::setPortBackend(&instrument);
        auto* m = new host::MainWindow(host::MainWindow::Start::Defaults);
        WQK& w = m->wqk();
        w.activate();
        // The window of the Parts at bench_redraw's size: Picture1 1600 pixels wide.
        m->show();
        m->resize(1622 + m->width() - w.width(), 1134 + m->height() - w.height());
        QApplication::processEvents();
        InstrumentState& s = w.state();
        s.SampleSizeIndex = 4;
        s.ShowA = s.ShowB = s.JoinOn = s.GridOn = s.UnitsOn = 1;
        w.GOBUTTON_Click(); // a capture: the record holds samples
        s.XMagnify = 32767;
        auto* panel = m->findChild<host::ViewsPanel*>();
        m->persistence().setOn(true);
        m->persistence().setDepth(16);
        for (int k = 0; k < 16; ++k) {
            for (int i = 0; i < 32768; ++i) {
                const double t = i / 32768.0;
                s.ChanABuffer[size_t(i)] =
                    int16_t(1280 + 900 * std::sin(2 * M_PI * 37 * t + k) + (i * 7919 % 61) - 30);
                s.ChanBBuffer[size_t(i)] = int16_t((i / 700 + k) % 2 ? 700 : 1900);
            }
            emit w.captured(); // into persistence as a capture does
        }
        w.HScroll1_Change();
        m->math().setOn(true);
        for (int k = 0; k < 4; ++k)
            panel->store(k, k == 3 ? "M" : k % 2 ? "B" : "A");
        m->action("actionTwoCursors")->trigger();
        std::printf("Picture1: %d x %d pixels, window %d samples, %d captures kept\n",
                    w.control<PictureBox>("Picture1")->width(),
                    w.control<PictureBox>("Picture1")->height(), s.xMagnify(),
                    m->persistence().count());
        return m;
    }();
    return *mw;
}

QImage& frame() {
    static QImage f(window().wqk().control<PictureBox>("Picture1")->size(),
                    QImage::Format_ARGB32_Premultiplied);
    return f;
}

void plainRedraw(host::MainWindow& m) {
    m.wqk().HScroll1_Change();
    QPainter p(&frame());
    p.drawImage(0, 0, m.wqk().control<PictureBox>("Picture1")->image());
}

// newCapture 3: as the first redraw after a capture, M computed (1) and the kept
// captures composed again (2); the references stay as they were.
void viewsRedraw(host::MainWindow& m, int newCapture) {
    if (newCapture & 1) m.math().setOp(m.math().op());
    if (newCapture & 2) m.persistence().setDepth(m.persistence().depth());
    plainRedraw(m);
    QPainter p(&frame());
    m.overlay().render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
}

void BM_ViewsRatio(benchmark::State& state) {
    host::MainWindow& m = window();
    using Clock = std::chrono::steady_clock;
    double plain = 0, views = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        plainRedraw(m);
        auto t1 = Clock::now();
        viewsRedraw(m, int(state.range(0)));
        auto t2 = Clock::now();
        plain += std::chrono::duration<double, std::milli>(t1 - t0).count();
        views += std::chrono::duration<double, std::milli>(t2 - t1).count();
    }
    const double n = double(state.iterations());
    state.counters["plain_ms"] = plain / n;
    state.counters["views_ms"] = views / n;
    state.counters["ratio"] = views / plain;
}
// 0: a redraw of the same capture (the window scrolled back and forth, a panel moved);
// 3: the redraw after a new capture.
BENCHMARK(BM_ViewsRatio)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    runWindowBenchmarks(argc, argv);
    return 0;
}
