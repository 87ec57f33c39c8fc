#pragma once
// Pages on the default printer through Qt PrintSupport (CUPS on Linux), or into a PDF
// file. Every failure comes back as a sentence for the user; nothing here shows a
// message itself.
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace printing {

// Which printer counts as the default. Without a query it is the platform's default
// printer; a query may name another queue, or none ("" = no default printer).
using PrinterQuery = std::function<QString()>;
void setDefaultPrinterQuery(PrinterQuery q);
QString defaultPrinterName();

// Title of the print jobs as the spooler lists them (and names PDF files).
void setJobTitle(const QString& title);
QString jobTitle();

constexpr double TwipsPerInch = 1440.0;

// Where a picture sizeTwips large lands on the page, in device pixels at dpi: its
// top-left corner at `at`, shrunk (keeping its shape) where it would pass the right or
// bottom edge of `limit`.
QRectF placePicture(QSizeF sizeTwips, QPointF at, const QRectF& limit, double dpi);

// Prints one page holding `image` at the size sizeTwips. With offsetTwips the picture's
// corner stands that far from the top-left edges of the paper; without, it stands at the
// top-left corner of the printable area. Returns "" when the page went to the printer,
// else what went wrong.
std::string printImage(const QImage& image, QSizeF sizeTwips,
                       std::optional<QPointF> offsetTwips = std::nullopt);

// While a file is named here, each printout is written into it as a one-page A4 PDF
// (10 mm of margin standing for the printable area) instead of going to the printer;
// "" sends printouts to the printer again.
void setPdfOutput(const std::string& path);
const std::string& pdfOutput();

// Prints one page holding `w` and the controls inside it, sizeTwips large, placed as
// printImage() places its picture. The printer gets the widget's pixels; a PDF gets the
// widget as it paints itself, so its texts stay text.
std::string printWidget(QWidget& w, QSizeF sizeTwips,
                        std::optional<QPointF> offsetTwips = std::nullopt);

} // namespace printing
