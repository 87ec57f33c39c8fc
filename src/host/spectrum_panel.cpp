#include "host/spectrum_panel.h"

#include "analysis/report.h"
#include "analysis/si_format.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace host {

namespace {

using analysis::Scale;
using analysis::Window;

const std::pair<const char*, Window> Windows[] = {
    {"Rectangular", Window::Rectangular}, {"Hann", Window::Hann},
    {"Hamming", Window::Hamming},         {"Blackman-Harris", Window::BlackmanHarris},
    {"Flat-top", Window::FlatTop},
};
const std::pair<const char*, Scale> Scales[] = {
    {"Normalised 0..100", Scale::Normalised}, {"dBFS", Scale::Dbfs}, {"dBV", Scale::Dbv}};

QColor colourOf(long bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QString levelText(double v, Scale scale) {
    if (scale == Scale::Normalised) return QString::number(v, 'f', 1);
    return QString::number(v, 'f', 1) + (scale == Scale::Dbfs ? " dBFS" : " dBV");
}

} // namespace

SpectrumPanel::SpectrumPanel(RecordWatch& record, QWidget* parent) : Panel(record, parent) {
    setObjectName("SpectrumPanel");
    auto* v = new QVBoxLayout(this);
    options_ = new QWidget(this);
    auto* form = new QFormLayout(options_);
    form->setContentsMargins(0, 0, 0, 0);
    window_ = new QComboBox(this);
    window_->setObjectName("spectrumWindow");
    for (const auto& w : Windows)
        window_->addItem(w.first);
    scale_ = new QComboBox(this);
    scale_->setObjectName("spectrumScale");
    for (const auto& sc : Scales)
        scale_->addItem(sc.first);
    average_ = new QSpinBox(this);
    average_->setObjectName("spectrumAverage");
    average_->setRange(1, analysis::PowerAverager::MaxCount);
    average_->setToolTip("Power average of the last N spectra (1 = off)");
    form->addRow("Window:", window_);
    form->addRow("Scale:", scale_);
    form->addRow("Average:", average_);
    status_ = new QLabel(this);
    status_->setObjectName("spectrumStatus");
    clipped_ = new QLabel(this);
    clipped_->setObjectName("spectrumClipped");
    clipped_->setStyleSheet("color: red");
    clipped_->setToolTip("A sample reached code 0 or 255: the input left the range, so the "
                         "levels read low and the spectrum holds harmonics the input has not");
    plot_ = new SpectrumPlot(this);
    peaks_ = new QTableWidget(0, 4, this);
    peaks_->setObjectName("spectrumPeaks");
    peaks_->setHorizontalHeaderLabels({"Peak", "Frequency", "Level", "Amplitude"});
    peaks_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    peaks_->verticalHeader()->hide();
    peaks_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    peaks_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    v->addWidget(options_);
    v->addWidget(status_);
    v->addWidget(clipped_);
    v->addWidget(plot_, 2);
    v->addWidget(peaks_, 1);
    // Any change of setting starts the average again.
    const auto restart = [this] {
        if (isOpen()) compute(false);
    };
    connect(window_, &QComboBox::currentIndexChanged, this, restart);
    connect(scale_, &QComboBox::currentIndexChanged, this, restart);
    connect(average_, &QSpinBox::valueChanged, this, restart);
}

void SpectrumPanel::refresh() {
    compute(false);
}

void SpectrumPanel::follow(Change c) {
    if (c == Change::Capture) compute(true);
    if (c == Change::Load || c == Change::Mode || c == Change::Settings) compute(false);
}

void SpectrumPanel::setCollapsed(bool collapsed) {
    if (collapsed == collapsed_) return;
    collapsed_ = collapsed;
    for (QWidget* w : {options_, static_cast<QWidget*>(plot_), static_cast<QWidget*>(peaks_)})
        w->setVisible(!collapsed);
    // Outside FFT mode only the status line: the room goes to the panel beside it.
    setMaximumHeight(collapsed ? sizeHint().height() : QWIDGETSIZE_MAX);
    emit collapsedChanged(collapsed);
}

void SpectrumPanel::saveOptions(QSettings& q) const {
    q.setValue("window", window_->currentIndex());
    q.setValue("scale", scale_->currentIndex());
    q.setValue("average", average_->value());
}

void SpectrumPanel::restoreOptions(const QSettings& q) {
    window_->setCurrentIndex(std::clamp(q.value("window", 0).toInt(), 0, window_->count() - 1));
    scale_->setCurrentIndex(std::clamp(q.value("scale", 0).toInt(), 0, scale_->count() - 1));
    average_->setValue(q.value("average", 1).toInt());
}

void SpectrumPanel::compute(bool add) {
    const InstrumentState& s = record_.state();
    const Window window = Windows[std::max(0, window_->currentIndex())].second;
    const Scale scale = Scales[std::max(0, scale_->currentIndex())].second;
    traces_.clear();
    QStringList clipped;
    const bool fft = s.mode() == modes::FFT;
    setCollapsed(!fft);
    const analysis::Origin origin = record_.origin();
    if (!fft || origin == analysis::Origin::Nothing || origin == analysis::Origin::SpectrumFile) {
        for (auto& a : averagers_)
            a.reset();
        status_->setText(!fft ? "Active in FFT mode (press F)"
                         : origin == analysis::Origin::Nothing
                             ? "Nothing captured yet"
                             : "A spectrum file is loaded: no samples to transform");
    } else {
        const analysis::Channel chans[2] = {analysis::Channel::A, analysis::Channel::B};
        const bool shown[2] = {s.showA(), s.showB()};
        for (int i = 0; i < 2; ++i) {
            analysis::PowerAverager& avg = averagers_[i];
            if (avg.count() != average_->value()) avg.setCount(average_->value());
            if (!add) avg.reset();
            if (!shown[i]) continue;
            const analysis::Trace t = analysis::traceOf(s, chans[i], 0, analysis::fftPoints(s));
            const analysis::Spectrum& sp = avg.add(analysis::spectrumOf(t, window));
            if (sp.clipped) clipped << (i == 0 ? "A" : "B");
            const double fs = analysis::channelScale(s, chans[i]).fullScaleV;
            traces_.push_back({i == 0 ? "A" : "B", colourOf(i == 0 ? s.colourA() : s.colourB()),
                               sp.binHz, analysis::scaled(sp, scale, fs),
                               analysis::findPeaks(sp, PeakCount, scale, fs)});
        }
        const int n = std::max(averagers_[0].averaged(), averagers_[1].averaged());
        status_->setText(QString("%1 points, %2 per bin, average %3 of %4")
                             .arg(analysis::fftPoints(s))
                             .arg(QString::fromStdString(analysis::formatSI(
                                 traces_.empty() ? 0 : traces_.front().binHz, "Hz")))
                             .arg(n)
                             .arg(average_->value()));
    }
    clipped_->setText(clipped.isEmpty() ? "" : clipped.join(", ") + " CLIPPED");
    clipped_->setVisible(!clipped.isEmpty());
    plot_->setTraces(&traces_, scale);
    showPeaks();
}

void SpectrumPanel::showPeaks() {
    const Scale scale = Scales[std::max(0, scale_->currentIndex())].second;
    peaks_->setRowCount(0);
    for (const SpectrumTrace& t : traces_) {
        for (size_t i = 0; i < t.peaks.size(); ++i) {
            const int row = peaks_->rowCount();
            peaks_->insertRow(row);
            const analysis::Peak& p = t.peaks[i];
            const QString f = QString::fromStdString(analysis::formatSI(p.frequencyHz, "Hz", 6));
            peaks_->setItem(row, 0, new QTableWidgetItem(t.name + QString::number(i + 1)));
            peaks_->setItem(row, 1, new QTableWidgetItem(f));
            peaks_->setItem(row, 2, new QTableWidgetItem(levelText(p.level, scale)));
            peaks_->setItem(row, 3,
                            new QTableWidgetItem(
                                QString::fromStdString(analysis::formatSI(p.amplitudeV, "V"))));
            peaks_->item(row, 0)->setForeground(t.colour);
        }
    }
}

} // namespace host
