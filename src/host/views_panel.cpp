#include "host/views_panel.h"

#include "analysis/reference.h"
#include "analysis/si_format.h"
#include "files/file_io.h"
#include "host/math_layer.h"
#include "host/persistence_layer.h"
#include "host/reference_layer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace host {

namespace {
constexpr int LowestStep = -27, HighestStep = 27; // 1-2-5 steps from 1: 1 n .. 1 G a division
constexpr qint64 MostFileBytes = 4 << 20;         // a CSV export of 32768 pairs is under 1 MB

template <class T> T* named(T* w, const char* name) {
    w->setObjectName(name);
    return w;
}
} // namespace

ViewsPanel::ViewsPanel(RecordWatch& record, MathLayer& math, ReferenceLayer& refs,
                       PersistenceLayer& persistence, QWidget* parent)
    : Panel(record, parent), math_(math), refs_(refs), persistence_(persistence) {
    setObjectName("ViewsPanel");
    auto* v = new QVBoxLayout(this);
    v->addWidget(buildMath());
    v->addWidget(buildReferences());
    v->addWidget(buildPersistence());
    v->addStretch(1);
    for (OverlayLayer* l : {static_cast<OverlayLayer*>(&math_), static_cast<OverlayLayer*>(&refs_),
                            static_cast<OverlayLayer*>(&persistence_)})
        connect(l, &OverlayLayer::changed, this, [this] {
            if (isOpen()) refresh();
        });
}

QWidget* ViewsPanel::buildMath() {
    auto* mbox = new QGroupBox("Math trace M", this);
    auto* mg = new QGridLayout(mbox);
    mathOn_ = named(new QCheckBox("On", mbox), "mathOn");
    mathOp_ = named(new QComboBox(mbox), "mathOp");
    for (const analysis::MathOpInfo& i : analysis::mathOps())
        mathOp_->addItem(i.name);
    mathPerDiv_ = named(new QComboBox(mbox), "mathPerDiv");
    mathPosition_ = named(new QDoubleSpinBox(mbox), "mathPosition");
    mathPosition_->setRange(-4, 4);
    mathPosition_->setSingleStep(0.2);
    mathPosition_->setSuffix(" div");
    auto* fit = named(new QPushButton("Fit", mbox), "mathFit");
    fit->setToolTip("The scale that holds M in the display window");
    mg->addWidget(mathOn_, 0, 0);
    mg->addWidget(mathOp_, 0, 1);
    mg->addWidget(fit, 0, 2);
    mg->addWidget(mathPerDiv_, 1, 0, 1, 2);
    mg->addWidget(mathPosition_, 1, 2);
    connect(mathOn_, &QCheckBox::toggled, this, [this](bool on) {
        if (on && !math_.on()) fitMath();
        math_.setOn(on);
    });
    connect(mathOp_, &QComboBox::activated, this, [this](int i) {
        math_.setOp(analysis::mathOps()[size_t(i)].op);
        fitMath();
    });
    connect(fit, &QPushButton::clicked, this, [this] { fitMath(); });
    connect(mathPerDiv_, &QComboBox::activated, this, [this] {
        math_.setScale({mathPerDiv_->currentData().toDouble(), math_.scale().position});
    });
    connect(mathPosition_, &QDoubleSpinBox::valueChanged, this, [this](double d) {
        math_.setScale({math_.scale().perDiv, d});
    });
    return mbox;
}

QWidget* ViewsPanel::buildReferences() {
    auto* rbox = new QGroupBox("References", this);
    auto* rg = new QGridLayout(rbox);
    for (int k = 0; k < ReferenceLayer::Count; ++k) {
        const QString n = QString::number(k + 1);
        refShown_[k] = new QCheckBox("R" + n, rbox);
        refShown_[k]->setObjectName("refShown" + n);
        auto* storeButton = new QToolButton(rbox);
        storeButton->setObjectName("refStore" + n);
        storeButton->setText("Store");
        storeButton->setPopupMode(QToolButton::InstantPopup);
        auto* menu = new QMenu(storeButton);
        for (const char* what : {"A", "B", "M", "File A...", "File B..."})
            connect(menu->addAction(what), &QAction::triggered, this, [this, k, what] {
                const QString w(what);
                if (!w.startsWith("File")) return void(store(k, w));
                const QString path = QFileDialog::getOpenFileName(
                    this, "Load R" + QString::number(k + 1), QString(),
                    "Signal files and CSV exports (*.wqk *.WQK *.csv *.CSV);;All files (*)");
                if (!path.isEmpty())
                    loadFile(k, path,
                             w == "File A..." ? analysis::Channel::A : analysis::Channel::B);
            });
        storeButton->setMenu(menu);
        auto* clear = new QPushButton("Clear", rbox);
        clear->setObjectName("refClear" + n);
        refPerDiv_[k] = new QComboBox(rbox);
        refPerDiv_[k]->setObjectName("refPerDiv" + n);
        refSource_[k] = new QLabel(rbox);
        refSource_[k]->setObjectName("refSource" + n);
        QPalette pal = refShown_[k]->palette();
        pal.setColor(QPalette::WindowText, ReferenceLayer::colour(k));
        refShown_[k]->setPalette(pal);
        rg->addWidget(refShown_[k], k, 0);
        rg->addWidget(storeButton, k, 1);
        rg->addWidget(refPerDiv_[k], k, 2);
        rg->addWidget(clear, k, 3);
        rg->addWidget(refSource_[k], k, 4);
        connect(refShown_[k], &QCheckBox::toggled, this,
                [this, k](bool on) { refs_.setShown(k, on); });
        connect(clear, &QPushButton::clicked, this, [this, k] { refs_.clear(k); });
        connect(refPerDiv_[k], &QComboBox::activated, this, [this, k] {
            refs_.setScale(k,
                           {refPerDiv_[k]->currentData().toDouble(), refs_.at(k).scale.position});
        });
    }
    return rbox;
}

QWidget* ViewsPanel::buildPersistence() {
    auto* pbox = new QGroupBox("Persistence", this);
    auto* pg = new QGridLayout(pbox);
    persistOn_ = named(new QCheckBox("On", pbox), "persistOn");
    persistDepth_ = named(new QSpinBox(pbox), "persistDepth");
    persistDepth_->setRange(PersistenceLayer::MinDepth, PersistenceLayer::MaxDepth);
    persistDepth_->setSuffix(" captures");
    persistInfinite_ = named(new QCheckBox("Infinite", pbox), "persistInfinite");
    auto* pclear = named(new QPushButton("Clear", pbox), "persistClear");
    persistCount_ = named(new QLabel(pbox), "persistCount");
    pg->addWidget(persistOn_, 0, 0);
    pg->addWidget(persistDepth_, 0, 1);
    pg->addWidget(persistInfinite_, 0, 2);
    pg->addWidget(pclear, 1, 0);
    pg->addWidget(persistCount_, 1, 1, 1, 2);
    connect(persistOn_, &QCheckBox::toggled, &persistence_, &PersistenceLayer::setOn);
    connect(persistDepth_, &QSpinBox::valueChanged, &persistence_, &PersistenceLayer::setDepth);
    connect(persistInfinite_, &QCheckBox::toggled, &persistence_, &PersistenceLayer::setInfinite);
    connect(pclear, &QPushButton::clicked, &persistence_, &PersistenceLayer::clear);
    return pbox;
}

void ViewsPanel::fillScales(QComboBox* box, const std::string& unit, double perDiv) {
    const QSignalBlocker block(box);
    // Filled again only for another unit: a capture costs no items.
    const QString u = QString::fromStdString(unit);
    if (box->count() == 0 || box->property("unit").toString() != u) {
        box->clear();
        for (int s = LowestStep; s <= HighestStep; ++s) {
            const double value = analysis::scaleStep(1, s);
            box->addItem(QString::fromStdString(analysis::formatSI(value, unit + "/div", 3)),
                         value);
        }
        box->setProperty("unit", u);
    }
    for (int i = 0; i < box->count(); ++i)
        if (std::abs(box->itemData(i).toDouble() / perDiv - 1) < 1e-6) box->setCurrentIndex(i);
}

void ViewsPanel::fitMath() {
    const analysis::Wave& w = math_.wave();
    const analysis::Span span = analysis::displaySpan(record_.state(), record_.origin());
    double peak = 0;
    for (size_t i = span.first; i < std::min(w.values.size(), span.first + span.count); ++i)
        if (std::isfinite(w.values[i])) peak = std::max(peak, std::abs(w.values[i]));
    math_.setScale({analysis::scaleFor(peak, 3), math_.scale().position});
}

void ViewsPanel::refresh() {
    const QSignalBlocker b1(mathOn_), b2(mathOp_), b3(mathPosition_), b4(persistOn_),
        b5(persistDepth_), b6(persistInfinite_);
    mathOn_->setChecked(math_.on());
    mathOp_->setCurrentIndex(int(math_.op()));
    fillScales(mathPerDiv_, analysis::mathOpInfo(math_.op()).unit, math_.scale().perDiv);
    mathPosition_->setValue(math_.scale().position);
    for (int k = 0; k < ReferenceLayer::Count; ++k) {
        const Reference& r = refs_.at(k);
        const QSignalBlocker block(refShown_[k]);
        refShown_[k]->setChecked(r.stored && r.shown);
        refShown_[k]->setEnabled(r.stored);
        refPerDiv_[k]->setEnabled(r.stored);
        fillScales(refPerDiv_[k], r.wave.unit, r.scale.perDiv);
        if (r.stored || refSource_[k]->text().isEmpty() || !refSource_[k]->text().startsWith("not"))
            refSource_[k]->setText(r.stored ? QString::fromStdString(r.source) : "");
    }
    persistOn_->setChecked(persistence_.on());
    persistDepth_->setValue(persistence_.depth());
    persistInfinite_->setChecked(persistence_.infinite());
    persistCount_->setText(QString("%1 captures kept").arg(persistence_.count()));
}

void ViewsPanel::follow(Change) {
    refresh();
}

QString ViewsPanel::store(int k, const QString& what) {
    QString problem;
    if (!holdsSamples(record_))
        problem = "nothing captured to store";
    else if (what == "M")
        refs_.store(k, math_.wave(), math_.name());
    else
        refs_.store(k,
                    channelWave(record_, what == "B" ? analysis::Channel::B : analysis::Channel::A),
                    what.toStdString());
    if (!problem.isEmpty()) refSource_[k]->setText("not stored: " + problem);
    return problem;
}

QString ViewsPanel::loadFile(int k, const QString& path, analysis::Channel c) {
    std::string bytes, why;
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        why = "cannot be read";
    else if (f.size() > MostFileBytes)
        why = "is too large for a signal file or a CSV export";
    else
        bytes = f.readAll().toStdString();
    analysis::Wave w;
    if (why.empty()) why = analysis::readReference(bytes, c, w);
    const QString name = QFileInfo(path).fileName();
    if (!why.empty()) {
        refSource_[k]->setText("not loaded: " + name + " " + QString::fromStdString(why));
        return refSource_[k]->text();
    }
    refs_.store(k, std::move(w), name.toStdString() + (c == analysis::Channel::A ? " A" : " B"));
    return "";
}

void ViewsPanel::saveOptions(QSettings& q) const {
    math_.save(q);
    refs_.save(q);
    persistence_.save(q);
}

void ViewsPanel::restoreOptions(const QSettings& q) {
    math_.restore(q);
    if (!refs_.restore(q))
        for (int k = 0; k < ReferenceLayer::Count; ++k)
            if (!refs_.at(k).stored && q.value(QString("reference%1/stored").arg(k + 1)).toBool())
                refSource_[k]->setText("not restored: its stored trace is damaged");
    persistence_.restore(q);
    refresh();
}

void addViewColumns(analysis::Report& r, analysis::Span span, const MathLayer& math,
                    const ReferenceLayer& refs) {
    if (r.channels.empty() && !r.reason.empty()) return;
    if (math.active())
        r.channels.push_back(
            {math.name(), analysis::measureWave(math.wave(), span.first, span.count)});
    for (int k = 0; k < ReferenceLayer::Count; ++k) {
        const Reference& ref = refs.at(k);
        if (ref.stored && ref.shown)
            r.channels.push_back({"R" + std::to_string(k + 1),
                                  analysis::measureWave(ref.wave, span.first, span.count)});
    }
}

} // namespace host
