#include "print/printer.h"

#include "platform/picturebox.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QWidget>
#include <algorithm>

namespace printing {

namespace {
PrinterQuery& query() {
    static PrinterQuery q;
    return q;
}
QString& title() {
    static QString t = QStringLiteral("WQK Scope");
    return t;
}
std::string& pdfPath() {
    static std::string p;
    return p;
}
// Where a picture with or without an offset from the paper's edges lands.
QRectF target(QSizeF sizeTwips, std::optional<QPointF> offsetTwips, const QRectF& paper,
              const QRectF& printable, int dpi) {
    if (!offsetTwips) return placePicture(sizeTwips, printable.topLeft(), printable, dpi);
    const QPointF at(offsetTwips->x() * dpi / TwipsPerInch, offsetTwips->y() * dpi / TwipsPerInch);
    return placePicture(sizeTwips, paper.topLeft() + at, paper, dpi);
}

std::string printToPdf(QWidget& w, QSizeF sizeTwips, std::optional<QPointF> offsetTwips) {
    const std::string& path = pdfPath();
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    const auto failed = [&] {
        return "Cannot write " + path + ": " + file.errorString().toStdString();
    };
    if (!file.open(QIODevice::WriteOnly)) return failed();
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(jobTitle());
        pdf.setCreator(QStringLiteral("WQK Scope"));
        pdf.setResolution(1200);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        // Coordinates from the paper's edge, as on the printer.
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        const int dpi = pdf.resolution();
        const QRectF paper = pdf.pageLayout().fullRectPixels(dpi);
        const double margin = 10 / 25.4 * dpi;
        const QRectF printable = paper.adjusted(margin, margin, -margin, -margin);
        const QRectF to = target(sizeTwips, offsetTwips, paper, printable, dpi);
        QPainter p;
        if (!p.begin(&pdf)) return "Cannot start the PDF file " + path + ".";
        if (w.width() > 0 && w.height() > 0 && !to.isEmpty()) {
            p.translate(to.topLeft());
            p.scale(to.width() / w.width(), to.height() / w.height());
            w.render(&p);
        }
    }
    return file.commit() ? std::string() : failed();
}

std::string quoted(const QString& name) {
    return "\"" + name.toStdString() + "\"";
}
} // namespace

void setDefaultPrinterQuery(PrinterQuery q) {
    query() = std::move(q);
}

QString defaultPrinterName() {
    if (query()) return query()();
    return QPrinterInfo::defaultPrinterName();
}

void setJobTitle(const QString& t) {
    title() = t;
}
QString jobTitle() {
    return title();
}

QRectF placePicture(QSizeF sizeTwips, QPointF at, const QRectF& limit, double dpi) {
    const double k = dpi / TwipsPerInch;
    QSizeF size(sizeTwips.width() * k, sizeTwips.height() * k);
    if (size.width() <= 0 || size.height() <= 0) return QRectF(at, QSizeF(0, 0));
    const double roomW = limit.right() - at.x(), roomH = limit.bottom() - at.y();
    double f = std::min({1.0, roomW / size.width(), roomH / size.height()});
    f = std::max(0.0, f);
    return QRectF(at, size * f);
}

std::string printImage(const QImage& image, QSizeF sizeTwips, std::optional<QPointF> offsetTwips) {
    const QString name = defaultPrinterName();
    if (name.isEmpty()) return "No default printer is set up.";
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) return "Printer " + quoted(name) + " was not found.";
    if (info.state() == QPrinter::Error)
        return "Printer " + quoted(name) + " is stopped (off-line).";

    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat)
        return "Printer " + quoted(name) + " is not available.";
    printer.setDocName(jobTitle());
    // Page coordinates from the paper's edge, so an offset is measured from it.
    printer.setFullPage(true);

    QPainter p;
    if (!p.begin(&printer)) return "Printer " + quoted(name) + " could not start the print job.";
    const int dpi = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const QRectF paper = layout.fullRectPixels(dpi);
    const QRectF printable = layout.paintRectPixels(dpi);
    p.drawImage(target(sizeTwips, offsetTwips, paper, printable, dpi), image);
    if (!p.end() || printer.printerState() == QPrinter::Error)
        return "Printer " + quoted(name) + " could not complete the print job.";
    return {};
}

void setPdfOutput(const std::string& path) {
    pdfPath() = path;
}
const std::string& pdfOutput() {
    return pdfPath();
}

std::string printWidget(QWidget& w, QSizeF sizeTwips, std::optional<QPointF> offsetTwips) {
    if (!pdfPath().empty()) return printToPdf(w, sizeTwips, offsetTwips);
    // The widget and the controls inside it as they are on screen.
    QImage picture = w.grab().toImage();
    if (auto* box = qobject_cast<plat::PictureBox*>(&w); box && picture.isNull())
        picture = box->image();
    return printImage(picture, sizeTwips, offsetTwips);
}

} // namespace printing
