#include "host/measure_panel.h"

#include "analysis/si_format.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace host {

namespace {

using analysis::Measurements;
using analysis::Reading;

struct Row {
    const char* name;
    Reading Measurements::*value;
    const char* unit; // "%": fixed decimals, else SI prefixes
    bool overPeriods; // taken over whole periods: marked when there was none
};
constexpr Row Rows[] = {
    {"Frequency", &Measurements::frequencyHz, "Hz", false},
    {"Period", &Measurements::periodS, "s", false},
    {"Peak-to-peak", &Measurements::vppV, "V", false},
    {"Maximum", &Measurements::vmaxV, "V", false},
    {"Minimum", &Measurements::vminV, "V", false},
    {"Mean", &Measurements::meanV, "V", true},
    {"RMS", &Measurements::rmsV, "V", true},
    {"AC RMS", &Measurements::acRmsV, "V", true},
    {"Duty cycle", &Measurements::dutyPct, "%", false},
    {"Rise time", &Measurements::riseS, "s", false},
    {"Fall time", &Measurements::fallS, "s", false},
};
constexpr const char* PartialTip =
    "Over less than one whole period: the value depends on where the window starts and ends";

std::string text(const Reading& r, const char* unit) {
    return std::string_view(unit) == "%" ? analysis::formatFixed(r, 1, unit)
                                         : analysis::formatSI(r, unit);
}

// A value, or "-" with the reason it has none in its tooltip.
void setValue(QLabel* l, const std::string& value, std::string_view reason) {
    l->setText(QString::fromStdString(value));
    l->setToolTip(QString::fromUtf8(reason.data(), int(reason.size())));
}

QString spanText(const analysis::Report& r, analysis::Origin origin, bool whole, size_t total) {
    using analysis::Origin;
    if (origin == Origin::Nothing || origin == Origin::SpectrumFile)
        return QString::fromUtf8(r.reason.data(), int(r.reason.size()));
    const QString from = origin == Origin::SignalFile ? " (signal file)" : "";
    if (whole) return QString("Whole record: %1 samples%2").arg(total).arg(from);
    if (r.span.count == 0) return QString("Display window: no samples of the %1").arg(total);
    return QString("Display window: samples %1 to %2 of %3%4")
        .arg(r.span.first)
        .arg(r.span.first + r.span.count - 1)
        .arg(total)
        .arg(from);
}

} // namespace

MeasurePanel::MeasurePanel(RecordWatch& record, QWidget* parent) : Panel(record, parent) {
    setObjectName("MeasurePanel");
    auto* v = new QVBoxLayout(this);
    span_ = new QLabel(this);
    span_->setObjectName("measureSpan");
    whole_ = new QCheckBox("Whole record", this);
    whole_->setObjectName("measureWholeRecord");
    whole_->setToolTip("Measure every sample of the capture instead of the display window");
    table_ = new QTableWidget(int(std::size(Rows)), 0, this);
    table_->setObjectName("measureTable");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Rows one line high, so every value shows beside the window of the Parts.
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    for (int i = 0; i < int(std::size(Rows)); ++i)
        table_->setVerticalHeaderItem(i, new QTableWidgetItem(Rows[i].name));
    auto* form = new QFormLayout;
    gain_ = new QLabel(this);
    gain_->setObjectName("measureGain");
    phase_ = new QLabel(this);
    phase_->setObjectName("measurePhase");
    form->addRow("B / A gain:", gain_);
    form->addRow("B / A phase:", phase_);
    v->addWidget(span_);
    v->addWidget(whole_);
    v->addWidget(table_, 1);
    v->addLayout(form);
    connect(whole_, &QCheckBox::toggled, this, [this] { refresh(); });
}

void MeasurePanel::follow(Change c) {
    // The redraw that follows every capture brings the new window too.
    if (c != Change::Capture) refresh();
}

void MeasurePanel::refresh() {
    const InstrumentState& s = record_.state();
    const analysis::Origin origin = record_.origin();
    const size_t total = analysis::recordCount(s, origin);
    const bool whole = whole_->isChecked();
    const analysis::Span span = whole ? analysis::Span{0, total} : analysis::displaySpan(s, origin);
    const analysis::Report r = analysis::report(s, analysis::shownChannels(s), span, origin);
    span_->setText(spanText(r, origin, whole, total));

    table_->setColumnCount(int(r.channels.size()));
    for (int c = 0; c < int(r.channels.size()); ++c) {
        const analysis::ChannelReport& ch = r.channels[size_t(c)];
        auto* head = new QTableWidgetItem(QString::fromStdString(ch.name) +
                                          (ch.m.clipped ? " CLIPPED" : ""));
        if (ch.m.clipped) {
            head->setForeground(Qt::red);
            head->setToolTip("A sample reached code 0 or 255: the input left the range");
        }
        table_->setHorizontalHeaderItem(c, head);
        for (int i = 0; i < int(std::size(Rows)); ++i) {
            const Reading& v = ch.m.*Rows[i].value;
            const bool partial = Rows[i].overPeriods && ch.m.partialPeriod && v.ok();
            auto* item = new QTableWidgetItem(QString::fromStdString(text(v, Rows[i].unit)) +
                                              (partial ? " *" : ""));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setToolTip(partial ? PartialTip
                                     : QString::fromUtf8(v.reason.data(), int(v.reason.size())));
            table_->setItem(i, c, item);
        }
    }
    setValue(gain_, analysis::formatFixed(r.bOverA.gainDb, 2, "dB"), r.bOverA.gainDb.reason);
    setValue(phase_, analysis::formatFixed(r.bOverA.phaseDeg, 1, "deg"), r.bOverA.phaseDeg.reason);
}

} // namespace host
