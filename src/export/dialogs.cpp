#include "export/dialogs.h"

#include "app/wqk.h"
#include "export/picture.h"
#include "files/file_io.h"
#include "platform/msgbox.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace exporting {

namespace {

void warn(const std::string& text, const char* title) {
    plat::MsgBox(text, plat::Buttons::OK, title, plat::Icon::Exclamation);
}

// The chosen name with the filter's extension when it has none.
QString withExtension(QString path, const QString& ext) {
    if (QFileInfo(path).suffix().isEmpty()) path += "." + ext;
    return path;
}

} // namespace

void savePictureAs(QWidget* parent, const WQK& w) {
    const QString png1 = "PNG picture (*.png)", png2 = "PNG picture, twice the size (*.png)",
                  svg = "SVG drawing (*.svg)", pdf = "PDF document (*.pdf)";
    QString filter = png1;
    QString path =
        QFileDialog::getSaveFileName(parent, "Save picture", "display.png",
                                     png1 + ";;" + png2 + ";;" + svg + ";;" + pdf, &filter);
    if (path.isEmpty()) return;
    const QString ext = filter == svg ? "svg" : filter == pdf ? "pdf" : "png";
    path = withExtension(path, ext);
    const std::string p = QFile::encodeName(path).toStdString();
    const auto format = pictureFormatOf(p, filter == png2 ? 2 : 1);
    std::string error = "the name must end in .png, .svg or .pdf";
    if (!format || !savePicture(w, p, *format, error))
        warn("Unable to save the picture " + path.toStdString() + ": " + error, "Save picture");
}

namespace {

// Asks for a file and writes the last capture into it in `format`.
void exportAs(QWidget* parent, const WQK& w, LogFormat format, const QString& title,
              const QString& filter) {
    const QString ext = extensionOf(format);
    QString path = QFileDialog::getSaveFileName(parent, title, "capture." + ext, filter);
    if (path.isEmpty()) return;
    path = withExtension(path, ext);
    std::string bytes, error;
    if (!encodeCapture(w.state(), format, bytes, error)) {
        warn("Unable to export the capture: " + error, title.toUtf8().constData());
        return;
    }
    if (!files::saveWhole(QFile::encodeName(path).toStdString(), bytes, &error))
        warn("Unable to save " + path.toStdString() + ": " + error, title.toUtf8().constData());
}

} // namespace

void exportWavAs(QWidget* parent, const WQK& w) {
    exportAs(parent, w, LogFormat::Wav, "Export WAV", "WAV sound file (*.wav)");
}

void exportSessionAs(QWidget* parent, const WQK& w) {
    exportAs(parent, w, LogFormat::Sr, "Export session", "Session file (*.sr)");
}

RecordDialog::RecordDialog(const WQK& w, QWidget* parent)
    : QDialog(parent), w_(w), folder_(new QLineEdit), format_(new QComboBox), count_(new QSpinBox),
      duration_(new QDoubleSpinBox), keepFree_(new QDoubleSpinBox),
      startStop_(new QPushButton("Start")), status_(new QLabel("Not recording")),
      timer_(new QTimer(this)) {
    setObjectName("RecordDialog");
    setWindowTitle("Record captures");
    folder_->setObjectName("recordFolder");
    auto* browse = new QPushButton("Browse...");
    browse->setObjectName("recordBrowse");
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_);
    folderRow->addWidget(browse);
    format_->setObjectName("recordFormat");
    format_->addItem("WAV sound file (.wav)", "wav");
    format_->addItem("Signal file (.wqk)", "wqk");
    format_->addItem("CSV export (.csv)", "csv");
    format_->addItem("Session file (.sr)", "sr");
    count_->setObjectName("recordCount");
    count_->setRange(0, 100000000);
    count_->setSpecialValueText("no limit");
    duration_->setObjectName("recordDuration");
    duration_->setRange(0, 1e7);
    duration_->setSuffix(" s");
    duration_->setSpecialValueText("no limit");
    keepFree_->setObjectName("recordKeepFree");
    keepFree_->setRange(0, 1e7);
    keepFree_->setSuffix(" MB");
    keepFree_->setSpecialValueText("no limit");
    startStop_->setObjectName("recordStart");
    status_->setObjectName("recordStatus");
    status_->setWordWrap(true);
    auto* form = new QFormLayout(this);
    form->addRow("Folder", folderRow);
    form->addRow("Format", format_);
    form->addRow("Stop after (captures)", count_);
    form->addRow("Stop after (time)", duration_);
    form->addRow("Keep free on the disk", keepFree_);
    form->addRow(startStop_);
    form->addRow(status_);
    timer_->setSingleShot(true);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString d =
            QFileDialog::getExistingDirectory(this, "Record captures into", folder_->text());
        if (!d.isEmpty()) folder_->setText(d);
    });
    connect(startStop_, &QPushButton::clicked, this,
            [this] { recording() ? stop() : (void)start(); });
    // The duration ends the recording even when no capture comes.
    connect(timer_, &QTimer::timeout, this, [this] { stop(); });
}

RecordDialog::~RecordDialog() = default;

bool RecordDialog::recording() const {
    return logger_ && logger_->recording();
}

bool RecordDialog::start() {
    if (recording()) return true;
    if (folder_->text().trimmed().isEmpty()) {
        warn("Choose a folder to record the captures into.", "Record captures");
        return false;
    }
    LogLimits limits;
    limits.count = count_->value();
    limits.durationS = duration_->value();
    limits.minFreeBytes = uint64_t(keepFree_->value() * 1e6);
    const auto format = logFormatOf(format_->currentData().toString().toStdString());
    logger_ = std::make_unique<CaptureLogger>(
        QFile::encodeName(folder_->text().trimmed()).toStdString(), *format, limits, clock, io);
    if (!logger_->start()) {
        finished();
        return false;
    }
    if (limits.durationS > 0) timer_->start(int(std::min(limits.durationS * 1000, 2e9)));
    for (QWidget* wd :
         std::initializer_list<QWidget*>{folder_, format_, count_, duration_, keepFree_})
        wd->setEnabled(false);
    startStop_->setText("Stop");
    showStatus();
    return true;
}

void RecordDialog::stop() {
    if (!recording()) return;
    logger_->stop();
    finished();
}

void RecordDialog::captured() {
    if (!recording()) return;
    if (logger_->record(w_.state()))
        showStatus();
    else
        finished();
}

void RecordDialog::showStatus() {
    status_->setText(
        QString::fromStdString("Recording into " + logger_->dir() + ": " + logger_->statusText()));
}

// The recording has ended: by the user, a limit or a failure, which is also told in a
// message box.
void RecordDialog::finished() {
    timer_->stop();
    for (QWidget* wd :
         std::initializer_list<QWidget*>{folder_, format_, count_, duration_, keepFree_})
        wd->setEnabled(true);
    startStop_->setText("Start");
    const LogStatus& st = logger_->status();
    status_->setText(QString::fromStdString(st.message));
    if (st.failed) warn(st.message, "Record captures");
}

} // namespace exporting
