#include "print/spooler.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <pwd.h>
#include <unistd.h>

namespace spooler {
namespace {
bool run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
QString pdfDir() { // cups-pdf writes into the PDF folder of the job owner's home
    if (const char* d = std::getenv("WQK_PDF_DIR"); d && *d) return QString::fromLocal8Bit(d);
    const passwd* pw = getpwuid(getuid());
    return (pw && pw->pw_dir ? QString::fromLocal8Bit(pw->pw_dir) : QDir::homePath()) + "/PDF";
}
} // namespace

std::string unavailable() {
    const QPrinterInfo def = QPrinterInfo::defaultPrinter();
    if (def.isNull()) return "no default printer (scripts/cups.sh sets up a cups-pdf one)";
    if (!def.makeAndModel().contains("CUPS-PDF", Qt::CaseInsensitive))
        return "the default printer is not a cups-pdf printer; test pages are not sent to it";
    for (const char* tool : {"pdfinfo", "pdftoppm"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) return std::string(tool) + " not found";
    return {};
}

QString uniqueTitle(const char* what) {
    static int n = 0; // the time keeps a file left from an earlier run from passing for this one
    return QString("wqktest-%1-%2-%3-%4")
        .arg(what)
        .arg(getpid())
        .arg(QDateTime::currentMSecsSinceEpoch())
        .arg(++n);
}

QImage printedPage(const QString& title, int dpi) {
    QElapsedTimer t;
    t.start();
    QString seen;
    qint64 lastSize = -1;
    while (t.elapsed() < 60000) {
        const QFileInfoList files =
            QDir(pdfDir()).entryInfoList({title + "*.pdf"}, QDir::Files, QDir::Time);
        // Complete when it no longer grows and poppler reads it whole.
        if (!files.isEmpty() && files.front().absoluteFilePath() == seen &&
            files.front().size() == lastSize && lastSize > 0 && run("pdfinfo", {seen})) {
            QTemporaryDir dir;
            const QString png = dir.filePath("page");
            const bool ok = run("pdftoppm", {"-r", QString::number(dpi), "-png", "-singlefile",
                                             "-f", "1", "-l", "1", seen, png});
            QFile::remove(seen);
            return ok ? QImage(png + ".png").convertToFormat(QImage::Format_RGB32) : QImage();
        }
        if (!files.isEmpty())
            seen = files.front().absoluteFilePath(), lastSize = files.front().size();
        QEventLoop loop; // lets the spooler work without blocking this process's events
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return {};
}

QRect inkBox(const QImage& page) {
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y);
            if (qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

double meanDifference(const QImage& a0, const QImage& b0) {
    if (a0.size() != b0.size() || a0.isNull()) return 255;
    const QImage a = a0.convertToFormat(QImage::Format_RGB32);
    const QImage b = b0.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}
} // namespace spooler
