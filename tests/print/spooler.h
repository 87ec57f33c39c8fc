#pragma once
// What the print tests need from a real spooler: a cups-pdf default printer, the folder
// its PDF files arrive in, and poppler to read them back.
#include <QImage>
#include <QString>
#include <string>

namespace spooler {
// Empty when the default printer is a cups-pdf printer and poppler is there; else why
// the tests that print for real cannot run here.
std::string unavailable();
// A job title no other test process uses.
QString uniqueTitle(const char* what);
// The first page of the finished PDF of the job with this title rendered at dpi, or a
// null image if none is complete in time. The spooler works on its own clock, so this
// waits for it in short steps; the PDF is removed after reading.
QImage printedPage(const QString& title, int dpi);
// Bounding box of everything not white on the page.
QRect inkBox(const QImage& page);
// Mean difference per colour channel (0..255) of two pictures of the same size.
double meanDifference(const QImage& a, const QImage& b);
} // namespace spooler
