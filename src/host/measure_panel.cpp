#include "host/measure_panel.h"

#include "analysis/cursors.h"
#include "analysis/si_format.h"
#include "host/cursor_layer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

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
constexpr size_t RowCount = std::size(Rows);
const char* const StatColumns[] = {"Current", "Mean", "Min", "Max", "Std dev", "Count"};
constexpr const char* PartialTip =
    "Over less than one whole period: the value depends on where the window starts and ends";

std::string text(const Reading& r, const char* unit) {
    return std::string_view(unit) == "%" ? analysis::formatFixed(r, 1, unit)
                                         : analysis::formatSI(r, unit);
}

QString reasonOf(const Reading& r) {
    return QString::fromUtf8(r.reason.data(), int(r.reason.size()));
}

// A value, right-aligned, with the reason it has none in its tooltip.
QTableWidgetItem* cell(const Reading& r, const char* unit) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text(r, unit)));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setToolTip(reasonOf(r));
    return item;
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

QTableWidget* makeTable(QWidget* parent, const char* name, int rowHeight) {
    auto* t = new QTableWidget(parent);
    t->setObjectName(name);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->verticalHeader()->setDefaultSectionSize(rowHeight);
    t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    t->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    return t;
}

} // namespace

MeasurePanel::MeasurePanel(RecordWatch& record, CursorLayer& cursors, QWidget* parent)
    : Panel(record, parent), cursors_(cursors) {
    setObjectName("MeasurePanel");
    // Rows one line high, so every value shows beside the window of the Parts.
    const int rowHeight = fontMetrics().height() + 4;
    // Everything in a scroll area: a panel taller than its dock scrolls rather than
    // stretching the window (and the window of the Parts with it).
    auto* area = new QScrollArea(this);
    area->setObjectName("measureArea");
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    inner_ = new QWidget(area);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area);
    auto* v = new QVBoxLayout(inner_);
    span_ = new QLabel(this);
    span_->setObjectName("measureSpan");
    whole_ = new QCheckBox("Whole record", this);
    whole_->setObjectName("measureWholeRecord");
    whole_->setToolTip("Measure every sample of the capture instead of the display window");
    statistics_ = new QCheckBox("Statistics", this);
    statistics_->setObjectName("measureStatistics");
    statistics_->setToolTip("Each value's mean, least, greatest, standard deviation and count "
                            "over the captures since Reset");
    rows_ = new QToolButton(this);
    rows_->setObjectName("measureRows");
    rows_->setText("Rows");
    rows_->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(rows_);
    for (const Row& r : Rows) {
        QAction* a = menu->addAction(r.name);
        a->setCheckable(true);
        a->setChecked(true);
        a->setObjectName(QString("measureRow ") + r.name);
        connect(a, &QAction::toggled, this, [this] { refresh(); });
    }
    rows_->setMenu(menu);
    auto* reset = new QPushButton("Reset", this);
    reset->setObjectName("measureReset");
    reset->setToolTip("Start the statistics again");
    auto* options = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(whole_), static_cast<QWidget*>(statistics_),
                       static_cast<QWidget*>(rows_), static_cast<QWidget*>(reset)})
        options->addWidget(w);
    options->addStretch();
    table_ = makeTable(this, "measureTable", rowHeight);
    auto* form = new QFormLayout;
    gain_ = new QLabel(this);
    gain_->setObjectName("measureGain");
    phase_ = new QLabel(this);
    phase_->setObjectName("measurePhase");
    form->addRow("B / A gain:", gain_);
    form->addRow("B / A phase:", phase_);
    buildCursorBox(rowHeight);

    v->addWidget(span_);
    v->addLayout(options);
    v->addWidget(table_);
    v->addLayout(form);
    v->addWidget(cursorBox_);
    v->addStretch(1);
    area->setWidget(inner_);
    connect(whole_, &QCheckBox::toggled, this, [this] {
        resetStatistics(); // another stretch of samples: other values
        refresh();
    });
    connect(statistics_, &QCheckBox::toggled, this, [this] { refresh(); });
    connect(reset, &QPushButton::clicked, this, [this] {
        resetStatistics();
        refresh();
    });
}

// The readouts of the two cursors, shown while they are on.
void MeasurePanel::buildCursorBox(int rowHeight) {
    cursorBox_ = new QGroupBox("Two cursors", this);
    cursorBox_->setObjectName("cursorBox");
    auto* cv = new QVBoxLayout(cursorBox_);
    auto* levels = new QHBoxLayout;
    cursorChannel_ = new QComboBox(cursorBox_);
    cursorChannel_->setObjectName("cursorChannel");
    cursorChannel_->addItems({"A", "B"});
    levels->addWidget(new QLabel("Levels in the volts of", cursorBox_));
    levels->addWidget(cursorChannel_);
    levels->addStretch();
    cursorTable_ = makeTable(cursorBox_, "cursorTable", rowHeight);
    cursorTable_->setColumnCount(3);
    cursorTable_->setHorizontalHeaderLabels({"1", "2", "2 - 1"});
    inverseDt_ = new QLabel(cursorBox_);
    inverseDt_->setObjectName("cursorInverseDt");
    cv->addLayout(levels);
    cv->addWidget(cursorTable_);
    cv->addWidget(inverseDt_);
    connect(&cursors_, &OverlayLayer::changed, this, [this] {
        if (!isOpen()) return;
        const bool shown = cursorBox_->isVisibleTo(this);
        showCursors();
        if (!shown && cursorBox_->isVisibleTo(this)) emit roomWanted();
    });
    connect(cursorChannel_, &QComboBox::activated, this, [this](int i) {
        analysis::Cursors c = cursors_.cursors();
        c.channel = i ? analysis::Channel::B : analysis::Channel::A;
        cursors_.setCursors(c);
    });
}

QSize MeasurePanel::sizeHint() const {
    const QSize inner = inner_->sizeHint();
    const int margins = inner_->layout()->contentsMargins().left() * 4;
    const int w = std::max({inner.width(), wanted_[0] + margins, wanted_[1] + 2 * margins});
    return {w + style()->pixelMetric(QStyle::PM_ScrollBarExtent), inner.height()};
}

bool MeasurePanel::rowShown(size_t row) const {
    return rows_->menu()->actions()[int(row)]->isChecked();
}

void MeasurePanel::resetStatistics() {
    stats_.clear();
}

void MeasurePanel::follow(Change c) {
    if (c != Change::Capture) return refresh();
    // Each capture once into the statistics; the redraw that follows shows it.
    const InstrumentState& s = record_.state();
    const size_t total = analysis::recordCount(s, record_.origin());
    const analysis::Span span =
        whole_->isChecked() ? analysis::Span{0, total} : analysis::displaySpan(s, record_.origin());
    analysis::Report r = analysis::report(s, analysis::shownChannels(s), span, record_.origin());
    if (moreColumns) moreColumns(r, span);
    for (const analysis::ChannelReport& ch : r.channels) {
        std::vector<analysis::Statistic>& st = stats_[ch.name];
        st.resize(RowCount);
        for (size_t i = 0; i < RowCount; ++i)
            st[i].add(ch.m.*Rows[i].value);
    }
}

void MeasurePanel::fitTable(QTableWidget* t) {
    // As wide as its columns want to be, which the window makes room for where it can.
    int w = t->verticalHeader()->sizeHint().width() + 2 * t->frameWidth();
    const QFontMetrics fm = t->fontMetrics();
    for (int c = 0; c < t->columnCount(); ++c) {
        int widest = t->horizontalHeader()->sectionSizeHint(c);
        for (int r = 0; r < t->rowCount(); ++r)
            if (const QTableWidgetItem* item = t->item(r, c))
                widest = std::max(widest, fm.horizontalAdvance(item->text()) + fm.height());
        w += widest;
    }
    wanted_[t == table_ ? 0 : 1] = w;
    // As tall as its rows: no row hides behind a scroll bar.
    int h = t->horizontalHeader()->sizeHint().height() + 2 * t->frameWidth();
    for (int i = 0; i < t->rowCount(); ++i)
        if (!t->isRowHidden(i)) h += t->rowHeight(i);
    if (t->horizontalScrollBar()->isVisible()) h += t->horizontalScrollBar()->sizeHint().height();
    t->setFixedHeight(h);
}

void MeasurePanel::refresh() {
    const InstrumentState& s = record_.state();
    const analysis::Origin origin = record_.origin();
    const size_t total = analysis::recordCount(s, origin);
    const bool whole = whole_->isChecked();
    const analysis::Span span = whole ? analysis::Span{0, total} : analysis::displaySpan(s, origin);
    analysis::Report r = analysis::report(s, analysis::shownChannels(s), span, origin);
    if (moreColumns) moreColumns(r, span);
    span_->setText(spanText(r, origin, whole, total));
    if (statistics_->isChecked())
        showStatistics(r);
    else
        showValues(r);
    const int before = wanted_[0];
    fitTable(table_);
    if (wanted_[0] > before) emit roomWanted();
    setValue(gain_, analysis::formatFixed(r.bOverA.gainDb, 2, "dB"), r.bOverA.gainDb.reason);
    setValue(phase_, analysis::formatFixed(r.bOverA.phaseDeg, 1, "deg"), r.bOverA.phaseDeg.reason);
    showCursors();
}

void MeasurePanel::showValues(const analysis::Report& r) {
    table_->clear();
    table_->setRowCount(int(RowCount));
    table_->setColumnCount(int(r.channels.size()));
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    for (size_t i = 0; i < RowCount; ++i) {
        table_->setVerticalHeaderItem(int(i), new QTableWidgetItem(Rows[i].name));
        table_->setRowHidden(int(i), !rowShown(i));
    }
    for (int c = 0; c < int(r.channels.size()); ++c) {
        const analysis::ChannelReport& ch = r.channels[size_t(c)];
        auto* head = new QTableWidgetItem(QString::fromStdString(ch.name) +
                                          (ch.m.clipped ? " CLIPPED" : ""));
        if (ch.m.clipped) {
            head->setForeground(Qt::red);
            head->setToolTip("A sample reached code 0 or 255: the input left the range");
        }
        table_->setHorizontalHeaderItem(c, head);
        for (size_t i = 0; i < RowCount; ++i) {
            const Reading& v = ch.m.*Rows[i].value;
            QTableWidgetItem* item = cell(v, Rows[i].unit);
            if (Rows[i].overPeriods && ch.m.partialPeriod && v.ok()) {
                item->setText(item->text() + " *");
                item->setToolTip(PartialTip);
            }
            table_->setItem(int(i), c, item);
        }
    }
}

void MeasurePanel::showStatistics(const analysis::Report& r) {
    table_->clear();
    table_->setColumnCount(int(std::size(StatColumns)));
    for (int c = 0; c < int(std::size(StatColumns)); ++c)
        table_->setHorizontalHeaderItem(c, new QTableWidgetItem(StatColumns[c]));
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setRowCount(0);
    for (const analysis::ChannelReport& ch : r.channels) {
        const auto found = stats_.find(ch.name);
        for (size_t i = 0; i < RowCount; ++i) {
            if (!rowShown(i)) continue;
            const int row = table_->rowCount();
            table_->insertRow(row);
            table_->setVerticalHeaderItem(
                row, new QTableWidgetItem(QString::fromStdString(ch.name) + " " + Rows[i].name));
            const analysis::Statistic none;
            const analysis::Statistic& st = found != stats_.end() ? found->second[i] : none;
            const char* unit = Rows[i].unit;
            const Reading values[] = {st.current(), st.mean(), st.minimum(), st.maximum(),
                                      st.deviation()};
            for (int c = 0; c < int(std::size(values)); ++c)
                table_->setItem(row, c, cell(values[c], unit));
            auto* count = new QTableWidgetItem(QString::number(st.count()));
            count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, int(std::size(values)), count);
        }
    }
}

void MeasurePanel::showCursors() {
    const InstrumentState& s = record_.state();
    cursorBox_->setVisible(cursors_.active());
    if (!cursors_.active()) return;
    const analysis::Cursors& c = cursors_.cursors();
    cursorChannel_->setCurrentIndex(c.channel == analysis::Channel::B ? 1 : 0);
    const analysis::CursorReadout r =
        analysis::cursorReadout(s, c, analysis::recordCount(s, record_.origin()));
    cursorTable_->setRowCount(2 + int(r.traces.size()));
    const auto row = [this](int i, const QString& name, const Reading(&v)[3], const char* unit) {
        cursorTable_->setVerticalHeaderItem(i, new QTableWidgetItem(name));
        for (int k = 0; k < 3; ++k)
            cursorTable_->setItem(i, k, cell(v[k], unit));
    };
    row(0, "Time", {r.t[0], r.t[1], r.dt}, "s");
    row(1, "Level", {Reading::of(r.v[0]), Reading::of(r.v[1]), Reading::of(r.dv)}, "V");
    for (size_t i = 0; i < r.traces.size(); ++i) {
        const Reading* at = r.traces[i].at;
        const Reading diff =
            at[0].ok() && at[1].ok() ? Reading::of(*at[1] - *at[0]) : (at[0].ok() ? at[1] : at[0]);
        row(2 + int(i), QString::fromStdString(r.traces[i].name), {at[0], at[1], diff}, "V");
    }
    fitTable(cursorTable_);
    inverseDt_->setText("1/dt: " + QString::fromStdString(analysis::formatSI(r.inverseDt, "Hz")));
    inverseDt_->setToolTip(reasonOf(r.inverseDt));
}

void MeasurePanel::saveOptions(QSettings& q) const {
    QStringList hidden;
    for (size_t i = 0; i < RowCount; ++i)
        if (!rowShown(i)) hidden << Rows[i].name;
    q.setValue("hiddenRows", hidden);
    q.setValue("wholeRecord", whole_->isChecked());
    q.setValue("statistics", statistics_->isChecked());
}

void MeasurePanel::restoreOptions(const QSettings& q) {
    const QStringList hidden = q.value("hiddenRows").toStringList();
    for (size_t i = 0; i < RowCount; ++i)
        rows_->menu()->actions()[int(i)]->setChecked(!hidden.contains(Rows[i].name));
    whole_->setChecked(q.value("wholeRecord", false).toBool());
    statistics_->setChecked(q.value("statistics", false).toBool());
}

} // namespace host
