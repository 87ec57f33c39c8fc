#include "fra/fra_dialog.h"

#include "app/wqk.h"
#include "files/file_io.h"
#include "fra/bode_plot.h"
#include "generator/synthesis.h"
#include "instrument/instrument.h"
#include "platform/msgbox.h"

#include <QBuffer>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <cmath>

namespace fra {

namespace {

QDoubleSpinBox* frequencyBox(const char* name, double value) {
    auto* b = new QDoubleSpinBox;
    b->setObjectName(name);
    b->setRange(gen::MinFreq, gen::MaxFreq);
    b->setDecimals(0);
    b->setSuffix(" Hz");
    b->setValue(value);
    return b;
}

QPushButton* button(const char* name, const char* text) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    return b;
}

} // namespace

FraDialog::FraDialog(WQK& w, QWidget* parent) : QDialog(parent), sweep_(w.instrument()) {
    setObjectName("frequencyResponse");
    setWindowTitle("Frequency response");
    from_ = frequencyBox("fraFrom", 100);
    to_ = frequencyBox("fraTo", 100000);
    spacing_ = new QComboBox;
    spacing_->setObjectName("fraSpacing");
    spacing_->addItems({"Points per decade", "Points in all"});
    points_ = new QSpinBox;
    points_->setObjectName("fraPoints");
    points_->setRange(1, 1000);
    points_->setValue(5);
    amplitude_ = new QComboBox;
    amplitude_->setObjectName("fraAmplitude");
    amplitude_->addItems({"2 V p-p", "1 V p-p"});
    reference_ = new QComboBox;
    reference_->setObjectName("fraReference");
    reference_->addItems({"Channel A (wired to the generator output)", "Generator samples (D)"});
    auto* form = new QFormLayout;
    form->addRow("Start", from_);
    form->addRow("Stop", to_);
    auto* spacing = new QHBoxLayout;
    spacing->addWidget(points_);
    spacing->addWidget(spacing_);
    form->addRow("Points", spacing);
    form->addRow("Stimulus", amplitude_);
    form->addRow("Reference", reference_);
    auto* note = new QLabel("Channel A: the generator plays on while A and B are captured beside "
                            "it, each point once the circuit has settled. D: one combined "
                            "generate-and-sample run a point (about 1.2 s), the only run that "
                            "ties the samples to the generator's own.");
    note->setObjectName("fraReferenceNote");
    note->setWordWrap(true);
    form->addRow("", note);
    form->addRow("Response", new QLabel("Channel B"));

    start_ = button("fraStart", "Start");
    cancel_ = button("fraCancel", "Cancel");
    csv_ = button("fraExportCsv", "Export CSV...");
    picture_ = button("fraExportPicture", "Export picture...");
    progress_ = new QProgressBar;
    progress_->setObjectName("fraProgress");
    status_ = new QLabel;
    status_->setObjectName("fraStatus");
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    plot_ = new BodePlot;

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {start_, cancel_, csv_, picture_})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* side = new QVBoxLayout;
    side->addLayout(form);
    side->addLayout(buttons);
    side->addWidget(progress_);
    side->addWidget(status_);
    side->addStretch();
    auto* top = new QHBoxLayout(this);
    top->addLayout(side);
    top->addWidget(plot_, 1);

    connect(start_, &QPushButton::clicked, this, &FraDialog::startSweep);
    connect(cancel_, &QPushButton::clicked, &sweep_, &Sweep::cancel);
    connect(csv_, &QPushButton::clicked, this, &FraDialog::chooseCsv);
    connect(picture_, &QPushButton::clicked, this, &FraDialog::choosePicture);
    connect(&sweep_, &Sweep::measured, this, &FraDialog::measured);
    connect(&sweep_, &Sweep::started, this, [this](int total) { progress_->setRange(0, total); });
    connect(plot_, &BodePlot::cursorMoved, this, [this] { status_->setText(status()); });
    setRunning(false);
}

Settings FraDialog::settings() const {
    Settings s;
    s.fromHz = from_->value();
    s.toHz = to_->value();
    (spacing_->currentIndex() == 0 ? s.perDecade : s.points) = points_->value();
    s.ampDiv = amplitude_->currentIndex() + 1;
    s.reference = reference_->currentIndex() == 0 ? Reference::A : Reference::D;
    return s;
}

void FraDialog::setRunning(bool on) {
    for (QWidget* c : std::initializer_list<QWidget*>{from_, to_, spacing_, points_, amplitude_,
                                                      reference_, start_, csv_, picture_})
        c->setEnabled(!on);
    cancel_->setEnabled(on);
    if (!on) {
        csv_->setEnabled(!plot_->points().empty());
        picture_->setEnabled(!plot_->points().empty());
    }
}

QString FraDialog::status() const {
    QStringList lines;
    const std::vector<Point>& pts = plot_->points();
    if (sweep_.running())
        lines << QString("Point %1 of %2, about %3 s left")
                     .arg(pts.size() + 1)
                     .arg(sweep_.total())
                     .arg(std::lround(progress_->property("secondsLeft").toDouble()));
    else if (sweep_.cancelled())
        lines << QString("Cancelled: %1 of %2 points kept").arg(pts.size()).arg(sweep_.total());
    else if (!pts.empty())
        lines << QString("%1 points").arg(pts.size());
    if (!plot_->cornerText().isEmpty()) lines << plot_->cornerText();
    if (std::any_of(pts.begin(), pts.end(), [](const Point& p) { return p.clipped; }))
        lines << "Open dots: an input left its range (clipped).";
    if (!plot_->readout().isEmpty()) lines << "Cursor: " + plot_->readout();
    return lines.join("\n");
}

void FraDialog::measured(const Point& p, int done, int total, double secondsLeft) {
    plot_->addPoint(p);
    progress_->setRange(0, total);
    progress_->setValue(done);
    progress_->setProperty("secondsLeft", secondsLeft);
    status_->setText(status());
}

void FraDialog::startSweep() {
    if (sweep_.running()) return;
    const Settings s = settings();
    plot_->start(s.fromHz, s.toHz);
    progress_->setRange(0, 1);
    progress_->setValue(0);
    const double planned = sweep_.plannedS(s);
    progress_->setProperty("secondsLeft", planned);
    setRunning(true);
    status_->setText(QString("Starting: about %1 s").arg(std::lround(planned)));
    const std::string error = sweep_.run(s);
    setRunning(false);
    status_->setText(status());
    if (!error.empty())
        plat::MsgBox(error, plat::Buttons::OK, "Frequency response", plat::Icon::Exclamation);
    if (closeWhenDone_) {
        closeWhenDone_ = false;
        QDialog::reject();
    }
}

void FraDialog::reject() {
    // Closed during a sweep: the sweep ends first, its settings are put back, then close.
    if (sweep_.running()) {
        closeWhenDone_ = true;
        sweep_.cancel();
        return;
    }
    QDialog::reject();
}

std::string FraDialog::exportCsv(const QString& path) const {
    if (!files::saveWhole(path.toStdString(), toCsv(plot_->points())))
        return "Could not write " + path.toStdString() + ".";
    return "";
}

std::string FraDialog::exportPicture(const QString& path) const {
    const QSize size(1000, 700);
    const QString ext = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    bool ok = true;
    if (ext == "svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&buf);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(), size));
        svg.setTitle("Frequency response");
        QPainter p(&svg);
        plot_->draw(p, size);
    } else if (ext == "pdf") {
        QPdfWriter pdf(&buf);
        pdf.setTitle("Frequency response");
        pdf.setResolution(96); // one dot per pixel of the PNG
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96, QPageSize::Point, QString(),
                                  QPageSize::ExactMatch));
        QPainter p;
        ok = p.begin(&pdf);
        if (ok) plot_->draw(p, size);
    } else {
        ok = plot_->render(size).save(&buf, "PNG");
    }
    if (!ok || !files::saveWhole(path.toStdString(), bytes.toStdString()))
        return "Could not write " + path.toStdString() + ".";
    return "";
}

void FraDialog::chooseCsv() {
    const QString path =
        QFileDialog::getSaveFileName(this, "Export CSV", "bode.csv", "CSV (*.csv)");
    if (path.isEmpty()) return;
    const std::string error = exportCsv(path);
    if (!error.empty())
        plat::MsgBox(error, plat::Buttons::OK, "Export CSV", plat::Icon::Exclamation);
}

void FraDialog::choosePicture() {
    const QString path =
        QFileDialog::getSaveFileName(this, "Export picture", "bode.png",
                                     "PNG picture (*.png);;SVG picture (*.svg);;PDF (*.pdf)");
    if (path.isEmpty()) return;
    const std::string error = exportPicture(path);
    if (!error.empty())
        plat::MsgBox(error, plat::Buttons::OK, "Export picture", plat::Icon::Exclamation);
}

FraDialog* showDialog(WQK& w, QWidget* parent) {
    auto* d = parent->findChild<FraDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (!d) d = new FraDialog(w, parent);
    d->show();
    d->raise();
    d->activateWindow();
    return d;
}

} // namespace fra
