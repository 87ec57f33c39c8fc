// PRINT: where a picture lands on the page, the menu and its failure paths without a
// printer, the display redrawn afterwards, and printouts through a real spooler.
#include "print/printer.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using testing_support::Harness;

namespace {
// What the printouts need from a real spooler: a cups-pdf default printer, the folder its
// PDF files arrive in, and poppler to read them back.
namespace spooler {
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
// Empty when the default printer is a cups-pdf printer and poppler is there; else why
// the tests that print for real cannot run here.
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
    return QString::asprintf("wqktest-%s-%d-%lld-%d", what, int(getpid()),
                             QDateTime::currentMSecsSinceEpoch(), ++n);
}

// The first page of the finished PDF of the job with this title rendered at dpi, or a null
// image if none is complete in time. The spooler works on its own clock, so this waits for
// it in short steps; the PDF is removed after reading.
QImage printedPage(const QString& title, int dpi) {
    QElapsedTimer t;
    t.start();
    for (qint64 lastSize = -1; t.elapsed() < 60000;) {
        const QFileInfoList files = QDir(pdfDir()).entryInfoList({title + "*.pdf"}, QDir::Files);
        const QString pdf = files.isEmpty() ? QString() : files.front().absoluteFilePath();
        const qint64 size = files.isEmpty() ? -1 : files.front().size();
        // Complete when it no longer grows and poppler reads it whole.
        if (size > 0 && size == lastSize && run("pdfinfo", {pdf})) {
            QTemporaryDir dir;
            const QString png = dir.filePath("page");
            const bool ok =
                run("pdftoppm", {"-r", QString::number(dpi), "-png", "-singlefile", pdf, png});
            QFile::remove(pdf);
            return ok ? QImage(png + ".png").convertToFormat(QImage::Format_RGB32) : QImage();
        }
        lastSize = size;
        QEventLoop loop; // lets the spooler work without blocking this process's events
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return {};
}

// Bounding box of everything not white on the page.
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

// Mean difference per colour channel (0..255) of two pictures of the same size.
double meanDifference(const QImage& a, const QImage& b) {
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

// Stands in for "which printer is the default?" and counts the printouts that asked.
struct PrinterChoice {
    int asked = 0;
    explicit PrinterChoice(QString name, std::function<void()> onAsk = nullptr) {
        printing::setDefaultPrinterQuery([this, name, onAsk] {
            ++asked;
            if (onAsk) onAsk();
            return name;
        });
    }
    ~PrinterChoice() { printing::setDefaultPrinterQuery(nullptr); }
};

struct Window {
    Harness h;
    WQK& w;
    Window() : w(h.window()) {
        w.show();
        QCoreApplication::processEvents();
    }
    // PRINT, then the named button of the menu in the menu's first round.
    void print(const char* button) {
        h.clock().atDoEvents(1, [this, button] { w.findChild<VbButton*>(button)->click(); });
        w.control<VbButton>("Command1")->click();
    }
    void drawSine() { // a few cycles of a sine across the window on channel A
        for (int i = 0; i < 32768; ++i)
            w.state().ChanABuffer[size_t(i)] =
                int16_t(10 * std::lround(128 + 100 * std::sin(i * 2 * M_PI / 128)));
        w.HScroll1_Change();
    }
};
} // namespace

TEST(PrintLayout, TwipsBecomeDevicePixelsAndTooLargeShrinksKeepingItsShape) {
    // clang-format off
    const struct { const char* name; double tw, th, x, y, pageW, pageH, dpi; QRectF want; } rows[] = {
        {"1000 twips in", 9520, 2780, 1000, 1000, 2e4, 2e4, 1440, {1000, 1000, 9520, 2780}},
        {"72 dpi: a twip is 1/20 point", 1440, 720, 50, 50, 595, 842, 72, {50, 50, 72, 36}},
        {"too wide", 14400, 7200, 100, 100, 800, 1100, 100, {100, 100, 700, 350}},
        {"too tall: the bottom limits", 1440, 14400, 0, 0, 850, 500, 100, {0, 0, 50, 500}},
        {"exactly fitting", 1440, 1440, 0, 0, 100, 100, 100, {0, 0, 100, 100}},
        {"no width", 0, 100, 5, 5, 100, 100, 100, {}}, // empty: nothing fits
        {"corner beyond the page", 1440, 1440, 200, 10, 100, 100, 100, {}}};
    // clang-format on
    for (const auto& r : rows) {
        const QRectF got =
            printing::placePicture({r.tw, r.th}, {r.x, r.y}, {0, 0, r.pageW, r.pageH}, r.dpi);
        auto text = [](const QRectF& q) {
            return q.isEmpty() ? QString("empty")
                               : QString::asprintf("%.2f %.2f %.2f %.2f", q.left(), q.top(),
                                                   q.width(), q.height());
        };
        EXPECT_EQ(text(got), text(r.want)) << r.name;
    }
}

TEST(PrintMenu, APrinterErrorIsShownOnceAndTheProgramGoesOn) {
    // clang-format off
    const struct { const char *printer, *button, *text; } rows[] = {
        {"", "Printsignal", "No default printer is set up."},
        {"", "Printform", "No default printer is set up."},
        {"wqk-no-such-printer", "Printsignal", "Printer \"wqk-no-such-printer\" was not found."}};
    // clang-format on
    for (const auto& r : rows) {
        Window t;
        PrinterChoice printer(r.printer);
        t.print(r.button);
        ASSERT_EQ(t.h.messages().shown.size(), 1u) << r.button;
        const plat::Message& m = t.h.messages().shown[0];
        EXPECT_TRUE(m.title == "Printer Error!" && m.buttons == plat::Buttons::OK) << r.button;
        EXPECT_EQ(m.text, r.text);
        EXPECT_EQ(printer.asked, 1);
        EXPECT_FALSE(t.w.control<PictureBox>("printwindow")->isVisible() || t.w.ended());
        EXPECT_EQ(t.w.state().PrintRedraw, 1);
        EXPECT_TRUE(t.w.state().PrintFormReq.num() == 0 && t.w.state().PrintSignalReq.num() == 0);
    }
    Window t; // both buttons in one round: one printout
    PrinterChoice printer("");
    t.h.clock().atDoEvents(1, [&] { t.w.control<VbButton>("Printform")->click(); });
    t.print("Printsignal");
    EXPECT_TRUE(printer.asked == 1 && t.h.messages().shown.size() == 1u);
}

TEST(PrintMenu, AtPrintTimeTheMenuAndTheMagnifiedCombinedTraceArrowsAreOutOfTheWay) {
    for (const char* which : {"Printsignal", "Printform"})
        for (int sumYMag : {0, 1}) {
            Window t;
            t.w.state().SumYMag = sumYMag;
            t.w.state().ShowAplusB = 1;
            t.w.control<PictureBox>("Scrollup")->show();
            t.w.control<PictureBox>("scrolldown")->show();
            bool menuShown = true, arrowsShown = false;
            PrinterChoice printer("", [&] {
                menuShown = t.w.control<PictureBox>("printwindow")->isVisible();
                arrowsShown = t.w.control<PictureBox>("Scrollup")->isVisible() ||
                              t.w.control<PictureBox>("scrolldown")->isVisible();
            });
            t.print(which);
            ASSERT_EQ(printer.asked, 1) << which;
            EXPECT_FALSE(menuShown) << which;
            EXPECT_EQ(arrowsShown, sumYMag == 0) << which << " SumYMag " << sumYMag;
        }
}

TEST(PrintMenu, ClosingTheMenuOrTheGuideRedrawsTheDisplayAndClosingTheWindowEndsIt) {
    Window t;
    PrinterChoice none("");
    const QImage blank = t.w.control<PictureBox>("Picture1")->image().copy();
    t.drawSine();
    const QImage live = t.w.control<PictureBox>("Picture1")->image().copy();
    ASSERT_NE(live, blank);
    int menus = 0;
    for (const char* how : {"exitprint", "Printsignal", "Printform", "helpexit"}) {
        t.w.control<PictureBox>("Picture1")
            ->Box(0, t.w.control<PictureBox>("Picture1")->ScaleTop(),
                  t.w.control<PictureBox>("Picture1")->ScaleWidth(),
                  t.w.control<PictureBox>("Picture1")->ScaleTop() +
                      t.w.control<PictureBox>("Picture1")->ScaleHeight(),
                  plat::RGB(255, 0, 0), true); // a stale picture
        auto* b = t.w.findChild<VbButton*>(how);
        t.h.clock().atDoEvents(1, [&t, &menus, b] {
            menus += t.w.control<PictureBox>("printwindow")->isVisible();
            b->click();
        });
        (std::string(how) == "helpexit" ? t.w.control<VbButton>("helpbutton")
                                        : t.w.control<VbButton>("Command1"))
            ->click();
        EXPECT_EQ(t.w.control<PictureBox>("Picture1")->image(), live) << how;
    }
    // After a printer error the display still follows new data.
    std::fill(t.w.state().ChanABuffer.begin(), t.w.state().ChanABuffer.end(), int16_t(1280));
    t.w.HScroll1_Change();
    EXPECT_NE(t.w.control<PictureBox>("Picture1")->image(), live);
    t.h.clock().atDoEvents(1, [&] { t.w.close(); });
    t.w.control<VbButton>("Command1")->click();
    EXPECT_TRUE(t.w.ended());
    EXPECT_EQ(none.asked, 2);
    EXPECT_EQ(menus, 3);
}

class Spooler : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string why = spooler::unavailable();
        if (!why.empty()) GTEST_SKIP() << "no spooler to print on: " << why;
    }
    void TearDown() override { printing::setJobTitle("WQK Scope"); }
    // Prints with the menu button; the page as it arrives at 144 dpi (1000 twips = 100 px).
    QImage print(Window& t, const char* button) {
        const QString title = spooler::uniqueTitle(button);
        printing::setJobTitle(title);
        t.print(button);
        EXPECT_TRUE(t.h.messages().shown.empty());
        const QImage page = spooler::printedPage(title, 144);
        EXPECT_FALSE(page.isNull()) << "no PDF titled " << title.toStdString() << " arrived";
        return page;
    }
};

TEST_F(Spooler, TheWholeWindowLandsInTheCornerAtItsDesignWidth) {
    Window t;
    const QImage page = print(t, "Printform");
    ASSERT_FALSE(page.isNull());
    const QRect ink = spooler::inkBox(page);
    const QImage window = t.w.grab().toImage();
    EXPECT_TRUE(ink.left() < 144 && ink.top() < 144);
    EXPECT_NEAR(ink.width(), WQK::DesignWidth * 144 / 1440.0, 4);
    EXPECT_NEAR(double(ink.height()) / ink.width(), double(window.height()) / window.width(), 0.01);
    const QImage shown = window.scaled(ink.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(spooler::meanDifference(page.copy(ink), shown), 12);
}

TEST_F(Spooler, AStoppedPrinterIsReportedAndNothingIsPrinted) {
    if (QPrinterInfo::printerInfo("PDF-offline").isNull())
        GTEST_SKIP() << "the stopped queue PDF-offline is not set up (scripts/cups.sh adds it)";
    Window t;
    PrinterChoice offline("PDF-offline");
    t.print("Printsignal");
    ASSERT_EQ(t.h.messages().shown.size(), 1u);
    EXPECT_EQ(t.h.messages().shown[0].title + t.h.messages().shown[0].text,
              "Printer Error!Printer \"PDF-offline\" is stopped (off-line).");
    EXPECT_FALSE(t.w.ended());
}

// File > Print to PDF: either printout, drawn as for the printer, on one page of the file,
// its texts as text; a file that cannot be written is the printout's error.
TEST(PrintToPdf, EachPrintoutIsOnePageHoldingItsTexts) {
    for (const char* tool : {"pdfinfo", "pdftotext"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " not found";
    const auto read = [](const char* tool, const QString& pdf) {
        QProcess p;
        p.start(tool, tool == std::string("pdftotext") ? QStringList{pdf, "-"} : QStringList{pdf});
        p.waitForFinished(30000);
        return p.readAllStandardOutput().simplified().toStdString();
    };
    // clang-format off
    const struct { const char* button; const char* file; std::vector<std::string> texts; } rows[] = {
        {"Printsignal", "signal.pdf", {"uS", "156", "-.9"}}, // the axis numbers with UNITS on
        {"Printform", "window.pdf", {"GO", "Single", "uS", "156"}},
        {"Printsignal", "no/such/folder.pdf", {}}};
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.button) + " " + r.file);
        Window t;
        t.w.Command16_Click(); // UNITS
        const QString pdf = QDir::current().filePath(r.file);
        printing::setPdfOutput(pdf.toStdString());
        t.print(r.button);
        printing::setPdfOutput("");
        const std::vector<plat::Message>& shown = t.h.messages().shown;
        EXPECT_EQ(shown.empty() ? "" : shown[0].text + " " + std::to_string(shown.size()),
                  r.texts.empty()
                      ? "Cannot write " + pdf.toStdString() + ": No such file or directory 1"
                      : "");
        if (r.texts.empty()) continue;
        EXPECT_NE(read("pdfinfo", pdf).find("Pages: 1 "), std::string::npos);
        const std::string text = " " + read("pdftotext", pdf) + " ";
        for (const std::string& want : r.texts)
            EXPECT_NE(text.find(" " + want + " "), std::string::npos) << want << " in: " << text;
    }
}
