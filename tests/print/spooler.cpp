#include "print/spooler.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace spooler {

namespace {
bool run(const QString& program, const QStringList& args, QString* out = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return false;
    if (out) *out = QString::fromUtf8(p.readAllStandardOutput());
    return true;
}

// Lets the spooler work for a moment without blocking this process's events.
void waitStep(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
} // namespace

std::string unavailable() {
    const QPrinterInfo def = QPrinterInfo::defaultPrinter();
    if (def.isNull())
        return "no default printer: no CUPS scheduler with a cups-pdf printer is running "
               "(scripts/cups.sh sets one up)";
    if (!def.makeAndModel().contains("CUPS-PDF", Qt::CaseInsensitive))
        return "the default printer \"" + def.printerName().toStdString() +
               "\" is not a cups-pdf printer; test pages are not sent to it";
    for (const char* tool : {"pdfinfo", "pdftoppm"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return std::string(tool) + " not found (Debian package poppler-utils)";
    return {};
}

QString pdfDir() {
    if (const char* d = std::getenv("WQK_PDF_DIR"); d && *d) return QString::fromLocal8Bit(d);
    // cups-pdf writes into the PDF folder of the job owner's home from the user database.
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return QString::fromLocal8Bit(pw->pw_dir) + "/PDF";
    return QDir::homePath() + "/PDF";
}

QString uniqueTitle(const char* what) {
    static int n = 0;
    // The time keeps a file left over from an earlier run from passing for this job's.
    return QString("wqktest-%1-%2-%3-%4")
        .arg(what)
        .arg(getpid())
        .arg(QDateTime::currentMSecsSinceEpoch())
        .arg(++n);
}

QString waitForPdf(const QString& title, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    QString seen;
    qint64 lastSize = -1;
    while (t.elapsed() < timeoutMs) {
        const QFileInfoList files =
            QDir(pdfDir()).entryInfoList({title + "*.pdf"}, QDir::Files, QDir::Time);
        if (!files.isEmpty()) {
            const QFileInfo& f = files.front();
            // Complete when it no longer grows and poppler can read it whole.
            if (f.absoluteFilePath() == seen && f.size() == lastSize && f.size() > 0 &&
                run("pdfinfo", {f.absoluteFilePath()}))
                return seen;
            seen = f.absoluteFilePath();
            lastSize = f.size();
        }
        waitStep(100);
    }
    return {};
}

QSizeF pageSizePt(const QString& pdf, int* pages) {
    QString out;
    if (!run("pdfinfo", {pdf}, &out)) return {};
    const auto size = QRegularExpression("Page size:\\s+([0-9.]+) x ([0-9.]+) pts").match(out);
    const auto count = QRegularExpression("Pages:\\s+([0-9]+)").match(out);
    if (pages) *pages = count.hasMatch() ? count.captured(1).toInt() : 0;
    if (!size.hasMatch()) return {};
    return QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
}

QImage render(const QString& pdf, int dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("page");
    if (!run("pdftoppm", {"-r", QString::number(dpi), "-png", "-singlefile", "-f", "1", "-l", "1",
                          pdf, prefix}))
        return {};
    return QImage(prefix + ".png").convertToFormat(QImage::Format_RGB32);
}

QRect inkBox(const QImage& page) {
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = line[x];
            if (qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

double meanDifference(const QImage& a0, const QImage& b0) {
    if (a0.size() != b0.size() || a0.isNull()) return 255;
    const QImage a = a0.convertToFormat(QImage::Format_RGB32);
    const QImage b = b0.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* la = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* lb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qRed(la[x]) - qRed(lb[x])) + std::abs(qGreen(la[x]) - qGreen(lb[x])) +
                   std::abs(qBlue(la[x]) - qBlue(lb[x]));
    }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace spooler
