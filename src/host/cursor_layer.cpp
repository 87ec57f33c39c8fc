#include "host/cursor_layer.h"

#include "app/instrument_state.h"

#include <QPainter>
#include <cmath>

namespace host {

namespace {
const QColor Colours[2] = {QColor(230, 110, 0), QColor(160, 0, 200)};
constexpr double GrabPx = 5; // how near a press must be to take a line
} // namespace

CursorLayer::CursorLayer(const InstrumentState& s, QObject* parent) : OverlayLayer(parent), s_(s) {
    setObjectName("CursorLayer");
}

bool CursorLayer::active() const {
    return on_ && analysis::showsSamples(s_);
}

void CursorLayer::setOn(bool on, const analysis::DisplayMap& m) {
    if (on && !on_) {
        c_.channel = !s_.showA() && s_.showB() ? analysis::Channel::B : analysis::Channel::A;
        for (int k = 0; k < 2; ++k) {
            c_.sample[k] = m.sampleAt(m.widthPx * (1 + 2 * k) / 4);
            c_.volts[k] = m.voltsAt(c_.channel, m.heightPx * (1 + 2 * k) / 4);
        }
    }
    on_ = on;
    emit changed();
}

void CursorLayer::setCursors(const analysis::Cursors& c) {
    c_ = c;
    emit changed();
}

void CursorLayer::paint(QPainter& p, const analysis::DisplayMap& m) const {
    QFont f = p.font();
    f.setPixelSize(std::max(9, int(m.heightPx / 22)));
    p.setFont(f);
    for (int k = 0; k < 2; ++k) {
        QPen pen(Colours[k], k == chosen_ ? 2 : 1, Qt::DashLine);
        p.setPen(pen);
        const double x = m.xOf(c_.sample[k]), y = m.yOf(c_.channel, c_.volts[k]);
        p.drawLine(QPointF(x, 0), QPointF(x, m.heightPx));
        p.drawLine(QPointF(0, y), QPointF(m.widthPx, y));
        p.drawText(QPointF(x + 3, f.pixelSize() + 2), QString("t%1").arg(k + 1));
        p.drawText(QPointF(m.widthPx - 3 * f.pixelSize(), y - 3), QString("V%1").arg(k + 1));
    }
}

void CursorLayer::moveTo(int line, QPointF at, const analysis::DisplayMap& m) {
    if (line < 2)
        c_.sample[line] = m.sampleAt(at.x());
    else
        c_.volts[line - 2] = m.voltsAt(c_.channel, at.y());
    chosen_ = line % 2;
    emit changed();
}

bool CursorLayer::press(QPointF at, Qt::MouseButton button, const analysis::DisplayMap& m) {
    // A line near the press is taken as it is; otherwise the nearer cursor of the pair
    // the button moves comes to the press.
    double best = GrabPx;
    grabbed_ = -1;
    for (int k = 0; k < 2; ++k) {
        const double dx = std::abs(m.xOf(c_.sample[k]) - at.x());
        const double dy = std::abs(m.yOf(c_.channel, c_.volts[k]) - at.y());
        if (dx < best) best = dx, grabbed_ = k;
        if (dy < best) best = dy, grabbed_ = 2 + k;
    }
    if (grabbed_ < 0) {
        const bool level = button == Qt::RightButton;
        if (!level && button != Qt::LeftButton) return false;
        const auto distance = [&](int k) {
            return level ? std::abs(m.yOf(c_.channel, c_.volts[k]) - at.y())
                         : std::abs(m.xOf(c_.sample[k]) - at.x());
        };
        grabbed_ = (level ? 2 : 0) + (distance(1) < distance(0) ? 1 : 0);
    }
    moveTo(grabbed_, at, m);
    return true;
}

void CursorLayer::drag(QPointF at, const analysis::DisplayMap& m) {
    if (grabbed_ >= 0) moveTo(grabbed_, at, m);
}

bool CursorLayer::key(int key, Qt::KeyboardModifiers mods, const analysis::DisplayMap& m) {
    const double px = mods & Qt::ShiftModifier ? 10 : 1;
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        chosen_ = 1 - chosen_;
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        c_.sample[chosen_] += (key == Qt::Key_Left ? -px : px) * m.window / m.widthPx;
        break;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const double y = m.yOf(c_.channel, c_.volts[chosen_]) + (key == Qt::Key_Up ? -px : px);
        c_.volts[chosen_] = m.voltsAt(c_.channel, y);
        break;
    }
    default:
        return false;
    }
    emit changed();
    return true;
}

} // namespace host
