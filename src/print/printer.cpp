#include "print/printer.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
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
    QRectF target;
    if (offsetTwips) {
        const QPointF at(offsetTwips->x() * dpi / TwipsPerInch,
                         offsetTwips->y() * dpi / TwipsPerInch);
        target = placePicture(sizeTwips, paper.topLeft() + at, paper, dpi);
    } else {
        target = placePicture(sizeTwips, printable.topLeft(), printable, dpi);
    }
    p.drawImage(target, image);
    if (!p.end() || printer.printerState() == QPrinter::Error)
        return "Printer " + quoted(name) + " could not complete the print job.";
    return {};
}

} // namespace printing
