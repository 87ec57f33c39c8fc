#pragma once
// A started program with its window shown (so every picture has its pixel size), and
// pixel helpers for the signal display.
#include "display/trace_render.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <QImage>

namespace display_test {

inline const QColor BlueA(0, 0, 128), GreenB(0, 128, 0), RedD(192, 0, 0), PurpleSum(192, 0, 192);
inline const QColor Background(224, 224, 224), GridGrey(128, 128, 128);

struct Display {
    testing_support::Harness h;
    WQK& w;
    InstrumentState& s;

    Display() : w(h.window()), s(w.state()) {
        w.show();
        QCoreApplication::processEvents();
        w.HScroll1_Change();
    }

    // Pixel of a point given in the display's scale.
    QPoint px(double x, double y) const {
        return QPoint(display::pixelOf(w.Picture1->toPxX(x)),
                      display::pixelOf(w.Picture1->toPxY(y)));
    }
    int row(double y) const { return px(0, y).y(); }
    QColor at(double x, double y) const {
        QPoint p = px(x, y);
        return w.Picture1->pixel(p.x(), p.y());
    }
    QImage image() const { return w.Picture1->image().copy(); }

    // Whether any pixel of the given row (a display y) has the colour.
    bool rowHas(double y, const QColor& c) const { return countInRow(row(y), c) > 0; }
    int countInRow(int r, const QColor& c) const {
        const QImage& img = w.Picture1->image();
        int n = 0;
        for (int x = 0; x < img.width(); ++x)
            n += QColor(img.pixel(x, r)) == c;
        return n;
    }
    static int count(const QImage& img, const QColor& c) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += QColor(img.pixel(x, y)) == c;
        return n;
    }
    // Pixels of none of the given colours.
    static int others(const QImage& img, std::initializer_list<QColor> allowed) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                QColor p(img.pixel(x, y));
                bool ok = false;
                for (const QColor& c : allowed)
                    ok = ok || p == c;
                n += !ok;
            }
        return n;
    }

    void fillA(int v) { std::fill(s.ChanABuffer.begin(), s.ChanABuffer.end(), int16_t(v)); }
    void fillB(int v) { std::fill(s.ChanBBuffer.begin(), s.ChanBBuffer.end(), int16_t(v)); }
};

} // namespace display_test
