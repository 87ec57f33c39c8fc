// Full redraw of the signal display, 1600 pixels wide, 32768 samples in the window,
// traces A, B and D joined, grid and numbers on: the column drawing against drawing
// every sample with its own Line on the same canvas. BM_RedrawRatio times both side by
// side in one loop and reports the ratio.
#include "app/wqk.h"
#include "platform/port.h"
#include "port/config_file.h"
#include "sim/wqk01.h"
#include "window_main.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

WQK& window() {
    static WQK* w = [] {
        // The program started on the simulated instrument in a scratch directory.
        static QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        portcfg::write(portcfg::FileName, 1);
        static sim::Wqk01 instrument;
        plat::setPortBackend(&instrument);
        auto* win = new WQK;
        win->activate();
        // The form scales the 9650-twip design; Picture1 is 9520 twips of it.
        win->resize(1622, 1134);
        win->show();
        QApplication::processEvents();
        InstrumentState& s = win->state();
        s.SampleSizeIndex = 4;
        s.XMagnify = 32767;
        s.ShowA = 1;
        s.ShowB = 1;
        s.ShowD = 1;
        s.JoinOn = 1;
        s.GridOn = 1;
        s.UnitsOn = 1;
        for (int i = 0; i < 32768; ++i) {
            const double t = i / 32768.0;
            s.ChanABuffer[size_t(i)] =
                int16_t(1280 + 900 * std::sin(2 * M_PI * 37 * t) + (i * 7919 % 61) - 30);
            s.ChanBBuffer[size_t(i)] = int16_t((i / 700) % 2 ? 700 : 1900);
            s.GenWave[size_t(i)] = int16_t((i % 4096) * 2550 / 4096);
        }
        win->HScroll1_Change();
        std::printf("Picture1: %d x %d pixels, window %d samples\n",
                    win->control<PictureBox>("Picture1")->width(),
                    win->control<PictureBox>("Picture1")->height(), s.xMagnify());
        return win;
    }();
    return *w;
}

void fastRedraw(WQK& w) {
    w.HScroll1_Change();
    w.control<PictureBox>("Picture1")->image(); // finish the drawing
}

// The same picture, each trace sample drawn with its own Line call.
void perSampleRedraw(WQK& w) {
    InstrumentState& s = w.state();
    s.ShowA = s.ShowB = s.ShowD = -1;
    w.HScroll1_Change(); // grid, numbers, bar, cursor: all but the traces
    s.ShowA = s.ShowB = s.ShowD = 1;
    PictureBox* p = w.control<PictureBox>("Picture1");
    const int first = s.scrollPos(), last = first + s.xMagnify();
    p->ForeColor = long(s.ColourD);
    for (int x = first + 1; x <= last; ++x)
        p->Line(x - 1 - first, 2560 - s.GenWave[size_t(x - 1)], x - first,
                2560 - s.GenWave[size_t(x)]);
    const int lastScope = std::min(last, 32767 - 1);
    auto trace = [&](const std::vector<int16_t>& buf, double base, double m, float colour) {
        p->ForeColor = long(colour);
        for (int x = first + 1; x <= lastScope; ++x)
            p->Line(x - 1 - first, base + m * (base - buf[size_t(x - 1)]), x - first,
                    base + m * (base - buf[size_t(x)]));
    };
    trace(s.ChanBBuffer, s.BaseB, s.YMagFactorB, s.ColourB);
    trace(s.ChanABuffer, s.BaseA, s.yMagFactorA(), s.ColourA);
    p->image();
}

void BM_FullRedraw(benchmark::State& state) {
    WQK& w = window();
    for (auto _ : state)
        fastRedraw(w);
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

void BM_PerSampleRedraw(benchmark::State& state) {
    WQK& w = window();
    for (auto _ : state)
        perSampleRedraw(w);
}
BENCHMARK(BM_PerSampleRedraw)->Unit(benchmark::kMillisecond);

void BM_RedrawRatio(benchmark::State& state) {
    WQK& w = window();
    using Clock = std::chrono::steady_clock;
    double fast = 0, slow = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        fastRedraw(w);
        auto t1 = Clock::now();
        perSampleRedraw(w);
        auto t2 = Clock::now();
        fast += std::chrono::duration<double, std::milli>(t1 - t0).count();
        slow += std::chrono::duration<double, std::milli>(t2 - t1).count();
    }
    const double n = double(state.iterations());
    state.counters["redraw_ms"] = fast / n;
    state.counters["per_sample_ms"] = slow / n;
    state.counters["speedup"] = slow / fast;
}
BENCHMARK(BM_RedrawRatio)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    runWindowBenchmarks(argc, argv);
    return 0;
}
