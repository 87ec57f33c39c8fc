#include "host/xy_panel.h"

#include "analysis/math_trace.h"
#include "analysis/si_format.h"
#include "host/math_layer.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

namespace host {

namespace {
constexpr int Divisions = 8;
}

XyPlot::XyPlot(QWidget* parent) : QWidget(parent) {
    setObjectName("xyPlot");
    setMinimumSize(160, 160);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void XyPlot::setPoints(const std::deque<analysis::XyPoints>& sets, double perDiv, bool dots) {
    sets_ = &sets;
    perDiv_ = perDiv;
    dots_ = dots;
    update();
}

void XyPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    // Equal scales: a square, as large as the widget allows.
    const double side = std::min(width(), height()) - 8;
    const QRectF box((width() - side) / 2, (height() - side) / 2, side, side);
    const double div = side / Divisions;
    for (int k = 0; k <= Divisions; ++k) {
        p.setPen(QPen(k == Divisions / 2 ? QColor(90, 90, 90) : QColor(200, 200, 200), 0));
        p.drawLine(QPointF(box.left() + k * div, box.top()),
                   QPointF(box.left() + k * div, box.bottom()));
        p.drawLine(QPointF(box.left(), box.top() + k * div),
                   QPointF(box.right(), box.top() + k * div));
    }
    if (!sets_) return;
    const QPointF centre = box.center();
    const double scale = div / perDiv_;
    const int n = int(sets_->size());
    for (int s = 0; s < n; ++s) {
        const analysis::XyPoints& xy = (*sets_)[size_t(s)];
        QPolygonF poly;
        poly.reserve(int(xy.x.size()));
        for (size_t i = 0; i < xy.x.size(); ++i)
            poly << QPointF(centre.x() + xy.x[i] * scale, centre.y() - xy.y[i] * scale);
        QColor c(160, 0, 140);
        c.setAlpha(s == n - 1 ? 255 : 40 + 150 * (s + 1) / n);
        p.setPen(QPen(c, dots_ ? 2 : 0));
        if (dots_)
            p.drawPoints(poly);
        else
            p.drawPolyline(poly);
    }
}

XyPanel::XyPanel(RecordWatch& record, QWidget* parent) : Panel(record, parent) {
    setObjectName("XyPanel");
    auto* g = new QGridLayout(this);
    plot_ = new XyPlot(this);
    style_ = new QComboBox(this);
    style_->setObjectName("xyStyle");
    style_->addItems({"Lines", "Dots"});
    depth_ = new QSpinBox(this);
    depth_->setObjectName("xyPersistence");
    depth_->setRange(1, 64);
    depth_->setPrefix("Keep ");
    depth_->setSuffix(" captures");
    auto* clear = new QPushButton("Clear", this);
    clear->setObjectName("xyClear");
    scale_ = new QLabel(this);
    scale_->setObjectName("xyScale");
    phase_ = new QLabel(this);
    phase_->setObjectName("xyPhase");
    g->addWidget(plot_, 0, 0, 1, 3);
    g->addWidget(style_, 1, 0);
    g->addWidget(depth_, 1, 1);
    g->addWidget(clear, 1, 2);
    g->addWidget(scale_, 2, 0);
    g->addWidget(phase_, 2, 1, 1, 2);
    connect(style_, &QComboBox::currentIndexChanged, this, [this] { show(); });
    connect(depth_, &QSpinBox::valueChanged, this, [this] {
        while (int(sets_.size()) > depth_->value())
            sets_.pop_front();
        show();
    });
    connect(clear, &QPushButton::clicked, this, [this] {
        sets_.clear();
        take(true);
    });
}

void XyPanel::take(bool newCapture) {
    const InstrumentState& s = record_.state();
    const analysis::Origin origin = record_.origin();
    if (!holdsSamples(record_)) {
        sets_.clear();
        phase_->setText("B/A phase: -");
        phase_->setToolTip("no samples of A and B on show");
        return show();
    }
    const size_t total = analysis::recordCount(s, origin);
    const analysis::Span span = analysis::displaySpan(s, origin);
    const analysis::WindowOffset off = origin == analysis::Origin::Capture
                                           ? analysis::bWindowOffset(s)
                                           : analysis::WindowOffset{0, {}};
    analysis::XyPoints xy = analysis::xyPoints(analysis::traceOf(s, analysis::Channel::A, 0, total),
                                               analysis::traceOf(s, analysis::Channel::B, 0, total),
                                               span.first, span.count, off.samples.value_or(0));
    if (newCapture || sets_.empty())
        sets_.push_back(std::move(xy));
    else
        sets_.back() = std::move(xy);
    while (int(sets_.size()) > depth_->value())
        sets_.pop_front();
    const analysis::Report r = analysis::report(s, {}, span, origin);
    phase_->setText("B/A phase: " +
                    QString::fromStdString(analysis::formatFixed(r.bOverA.phaseDeg, 1, "deg")));
    phase_->setToolTip(
        QString::fromUtf8(r.bOverA.phaseDeg.reason.data(), int(r.bOverA.phaseDeg.reason.size())));
    show();
}

void XyPanel::show() {
    double peak = 0;
    for (const analysis::XyPoints& p : sets_)
        peak = std::max(peak, p.largest());
    perDiv_ = analysis::scaleFor(peak, Divisions / 2.0);
    scale_->setText(QString::fromStdString(analysis::formatSI(perDiv_, "V/div", 3)));
    plot_->setPoints(sets_, perDiv_, style_->currentIndex() == 1);
}

void XyPanel::refresh() {
    take(false);
}

void XyPanel::follow(Change c) {
    take(c == Change::Capture);
}

void XyPanel::saveOptions(QSettings& q) const {
    q.setValue("dots", style_->currentIndex() == 1);
    q.setValue("persistence", depth_->value());
}

void XyPanel::restoreOptions(const QSettings& q) {
    style_->setCurrentIndex(q.value("dots", false).toBool() ? 1 : 0);
    depth_->setValue(q.value("persistence", 1).toInt());
}

} // namespace host
