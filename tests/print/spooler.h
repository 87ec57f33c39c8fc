#pragma once
// What the print tests need from a real spooler: a cups-pdf default printer, the folder
// its PDF files arrive in, and poppler to read them back.
#include <QImage>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <string>

namespace spooler {

// Empty when the default printer is a cups-pdf printer and poppler's tools are there;
// otherwise why the tests that print for real cannot run here.
std::string unavailable();
// Where cups-pdf puts the files of this user's jobs.
QString pdfDir();
// A job title no other test process uses.
QString uniqueTitle(const char* what);
// The finished PDF of the job with this title, or "" if none is complete in time. The
// spooler works on its own clock, so this waits for it in short steps.
QString waitForPdf(const QString& title, int timeoutMs = 60000);
// Page size in points, and the number of pages, from pdfinfo.
QSizeF pageSizePt(const QString& pdf, int* pages = nullptr);
// The first page rendered by pdftoppm at dpi.
QImage render(const QString& pdf, int dpi);
// Bounding box of everything not white on the page.
QRect inkBox(const QImage& page);
// Mean difference per colour channel (0..255) of two pictures of the same size.
double meanDifference(const QImage& a, const QImage& b);

} // namespace spooler
