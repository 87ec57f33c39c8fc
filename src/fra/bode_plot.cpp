#include "fra/bode_plot.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace fra {

namespace {

constexpr int Left = 64, Right = 36, Top = 28, Gap = 28, Bottom = 30;

struct Pane {
    QRect r;
    double lo, hi; // value range, bottom to top
    int y(double v) const {
        return r.bottom() - int(std::lround((v - lo) / (hi - lo) * r.height()));
    }
};

// The value axis: whole steps around the values and at least lo..hi. A value within a
// hundredth of a step of a grid line (0.000 dB in the passband) adds no step.
std::pair<double, double> axis(const std::vector<double>& v, double step, double lo, double hi) {
    for (double x : v) {
        lo = std::min(lo, std::floor(x / step + 0.01) * step);
        hi = std::max(hi, std::ceil(x / step - 0.01) * step);
    }
    if (hi - lo < step) hi = lo + step;
    return {lo, hi};
}

void grid(QPainter& p, const Pane& pane, double step, const QString& unit) {
    p.setFont(QFont(p.font().family(), 8));
    for (double v = pane.lo; v <= pane.hi + 1e-9; v += step) {
        const int y = pane.y(v);
        p.setPen(QColor(220, 220, 220));
        p.drawLine(pane.r.left(), y, pane.r.right(), y);
        p.setPen(Qt::black);
        p.drawText(QRect(0, y - 8, Left - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(v) + unit);
    }
}

} // namespace

QString frequencyText(double hz) {
    if (hz >= 1e6) return QString::number(hz / 1e6, 'g', 3) + " MHz";
    if (hz >= 1e3) return QString::number(hz / 1e3, 'g', 3) + " kHz";
    return QString::number(hz, 'g', 3) + " Hz";
}

BodePlot::BodePlot(QWidget* parent) : QWidget(parent) {
    setObjectName("bodePlot");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(360, 280);
}

void BodePlot::start(double fromHz, double toHz) {
    points_.clear();
    cursor_ = -1;
    loDecade_ = std::floor(std::log10(std::max(fromHz, 1.0)));
    hiDecade_ = std::max(loDecade_ + 1, std::ceil(std::log10(std::max(toHz, 1.0)) - 1e-9));
    update();
}

void BodePlot::addPoint(const Point& p) {
    // The sweep may measure out of frequency order; the lines join neighbours.
    const auto at = std::upper_bound(points_.begin(), points_.end(), p.freqHz,
                                     [](double f, const Point& q) { return f < q.freqHz; });
    points_.insert(at, p);
    update();
}

void BodePlot::setCursor(int index) {
    const int i = points_.empty() ? -1 : std::clamp(index, 0, int(points_.size()) - 1);
    if (i == cursor_) return;
    cursor_ = i;
    update();
    emit cursorMoved(i);
}

QString BodePlot::readout() const {
    if (cursor_ < 0) return "";
    const Point& p = points_[size_t(cursor_)];
    return frequencyText(p.freqHz) + "   " + QString::number(p.gainDb, 'f', 2) + " dB   " +
           QString::number(p.phaseDeg, 'f', 1) + QChar(0xB0) + (p.clipped ? "   clipped" : "");
}

QString BodePlot::cornerText() const {
    const std::optional<Corner> c = findCorner(points_);
    if (!c) return "";
    return "-3 dB at " + frequencyText(c->freqHz) + ", phase " +
           QString::number(c->phaseDeg, 'f', 1) + QChar(0xB0);
}

QImage BodePlot::render(QSize size) const {
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    draw(p, size);
    return img;
}

void BodePlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    draw(p, size());
}

void BodePlot::draw(QPainter& p, QSize size) const {
    p.fillRect(QRect(QPoint(), size), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = size.width() - Left - Right;
    const int h = (size.height() - Top - Gap - Bottom) / 2;
    std::vector<double> gains, phases;
    for (const Point& q : points_) {
        gains.push_back(q.gainDb);
        phases.push_back(q.phaseDeg);
    }
    const auto [glo, ghi] = axis(gains, 10, -10, 0);
    const auto [plo, phi] = axis(phases, 45, -90, 0);
    const Pane gain{QRect(Left, Top, w, h), glo, ghi};
    const Pane phase{QRect(Left, Top + h + Gap, w, h), plo, phi};
    const auto x = [&](double f) {
        return Left + int(std::lround((std::log10(f) - loDecade_) / (hiDecade_ - loDecade_) * w));
    };
    grid(p, gain, ghi - glo > 60 ? 20 : 10, " dB");
    grid(p, phase, phi - plo > 180 ? 90 : 45, QString(QChar(0xB0)));
    // Decades with their 2..9 lines; the frequency under each decade.
    for (double d = loDecade_; d <= hiDecade_; ++d) {
        for (int m = 1; m < 10 && (m == 1 || d < hiDecade_); ++m) {
            const int xv = x(m * std::pow(10.0, d));
            p.setPen(QColor(m == 1 ? 200 : 235, m == 1 ? 200 : 235, m == 1 ? 200 : 235));
            for (const Pane* pane : {&gain, &phase})
                p.drawLine(xv, pane->r.top(), xv, pane->r.bottom());
        }
        p.setPen(Qt::black);
        p.drawText(QRect(x(std::pow(10.0, d)) - 40, phase.r.bottom() + 4, 80, 16), Qt::AlignCenter,
                   frequencyText(std::pow(10.0, d)));
    }
    p.setPen(Qt::black);
    p.drawRect(gain.r);
    p.drawRect(phase.r);
    p.drawText(QRect(Left, 4, w, 20), Qt::AlignLeft | Qt::AlignVCenter, "Gain (dB) and phase");
    // The traces: gain blue, phase red, each point a dot.
    const auto trace = [&](const Pane& pane, const std::vector<double>& v, QColor c) {
        p.setPen(QPen(c, 1.5));
        for (size_t i = 0; i < v.size(); ++i) {
            const QPoint at(x(points_[i].freqHz), pane.y(v[i]));
            if (i > 0) p.drawLine(QPoint(x(points_[i - 1].freqHz), pane.y(v[i - 1])), at);
            p.setBrush(points_[i].clipped ? Qt::white : c);
            p.drawEllipse(at, 3, 3);
        }
    };
    trace(gain, gains, QColor(0, 0, 192));
    trace(phase, phases, QColor(192, 0, 0));
    if (const std::optional<Corner> c = findCorner(points_)) {
        p.setPen(QPen(QColor(0, 128, 0), 1, Qt::DashLine));
        p.drawLine(x(c->freqHz), gain.r.top(), x(c->freqHz), phase.r.bottom());
        // Right of the mark, or left of it where the edge would cut the label off.
        const QString label = cornerText();
        const int tw = p.fontMetrics().horizontalAdvance(label) + 2, xc = x(c->freqHz);
        const int left = xc + 4 + tw <= size.width() ? xc + 4 : std::max(0, xc - 4 - tw);
        p.drawText(QRect(left, gain.r.top() + 2, tw, p.fontMetrics().height()), Qt::AlignLeft,
                   label);
    }
    if (cursor_ >= 0) {
        p.setPen(QPen(Qt::darkGray, 1, Qt::DotLine));
        const int xc = x(points_[size_t(cursor_)].freqHz);
        p.drawLine(xc, gain.r.top(), xc, phase.r.bottom());
        p.setPen(Qt::black);
        p.drawText(QRect(Left, Top + h + 4, w, Gap - 6), Qt::AlignRight | Qt::AlignVCenter,
                   readout());
    }
}

int BodePlot::nearest(double xPixel) const {
    if (points_.empty()) return -1;
    const int w = width() - Left - Right;
    const double f =
        std::pow(10.0, loDecade_ + (xPixel - Left) / std::max(1, w) * (hiDecade_ - loDecade_));
    int best = 0;
    for (int i = 1; i < int(points_.size()); ++i)
        if (std::abs(std::log(points_[size_t(i)].freqHz / f)) <
            std::abs(std::log(points_[size_t(best)].freqHz / f)))
            best = i;
    return best;
}

void BodePlot::mousePressEvent(QMouseEvent* e) {
    setCursor(nearest(e->position().x()));
}

void BodePlot::mouseMoveEvent(QMouseEvent* e) {
    setCursor(nearest(e->position().x()));
}

void BodePlot::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Left)
        setCursor(std::max(0, cursor_ - 1));
    else if (e->key() == Qt::Key_Right)
        setCursor(cursor_ + 1);
    else
        QWidget::keyPressEvent(e);
}

} // namespace fra
