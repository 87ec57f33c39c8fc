// Pictures, the WAV export and the capture files against the window's own: each read
// back with the tool a user would open it with.
#include "device/drawn_text.h"
#include "export/logger.h"
#include "export/picture.h"
#include "export/wav.h"
#include "support/fixture.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <sndfile.h>

namespace {

using exporting::LogFormat;

struct Captured {
    testing_support::Harness h;
    WQK& w;
    InstrumentState& s;
    explicit Captured(sim::Options o = {}, bool bOn = true, int size = 4)
        : h(o), w(drawn::shown(h.window())), s(w.state()) {
        s.SampleSizeIndex = size;
        w.DSAMPLE();
        if (!bOn) w.SCHBbutton_Click();
        w.GOBUTTON_Click(); // Single: one capture
    }
    std::string path(const std::string& name) const { return h.dir() + "/" + name; }
    std::string file(LogFormat f) {
        std::string out, error;
        EXPECT_TRUE(exporting::encodeCapture(s, f, out, error)) << error;
        return out;
    }
};

TEST(WavExport, ReadsBackWithLibsndfile) {
    const struct {
        const char* name;
        int model;
        bool bOn;
        int rateA, size;
        int expectedRate;
    } rows[] = {{"20 MHz model, both channels, 200 kS/s", 20, true, 2, 4, 200000},
                {"30 MHz model: the rate factor counts", 30, true, 4, 4, 30000000},
                {"B off is silence", 20, false, 3, 0, 2000000}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Options o;
        o.model = row.model;
        Captured c(o, row.bOn, row.size);
        c.s.RateA = row.rateA;
        c.w.GOBUTTON_Click();
        const std::string bytes = c.file(LogFormat::Wav);
        c.h.writeFile("t.wav", bytes);
        SF_INFO info{};
        SNDFILE* f = sf_open(c.path("t.wav").c_str(), SFM_READ, &info);
        ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
        EXPECT_EQ(info.samplerate, row.expectedRate);
        EXPECT_EQ(info.channels, 2);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
        ASSERT_EQ(info.frames, c.s.ReadCount);
        std::vector<short> v(size_t(info.frames) * 2);
        ASSERT_EQ(sf_readf_short(f, v.data(), info.frames), info.frames);
        sf_close(f);
        int bad = 0;
        for (size_t i = 0; i < size_t(info.frames); ++i) {
            const int a = v[2 * i] / 256 + 128, b = v[2 * i + 1] / 256 + 128;
            bad += a != vb::CLng(c.s.ChanABuffer[i] / 10.0);
            bad += b != (row.bOn ? vb::CLng(c.s.ChanBBuffer[i] / 10.0) : 128);
        }
        EXPECT_EQ(bad, 0);
    }
}

// The signal file and the CSV export of a capture are the SAVE window's files.
TEST(CaptureFiles, AreTheWindowsOwnFiles) {
    Captured c;
    c.s.FilePath = c.path("window.wqk");
    c.w.chabsave();
    c.s.FilePath = c.path("window.csv");
    c.s.ExportABReq = 1;
    c.w.exportab();
    ASSERT_TRUE(c.s.saveDone());
    EXPECT_TRUE(c.file(LogFormat::Wqk) == c.h.readFile("window.wqk"));
    EXPECT_TRUE(c.file(LogFormat::Csv) == c.h.readFile("window.csv"));
}

struct Svg {
    int paths = 0, images = 0;
    std::vector<std::string> texts;
};
Svg parseSvg(const QByteArray& bytes) {
    Svg svg;
    QXmlStreamReader x(bytes);
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement) continue;
        if (x.name() == u"path") ++svg.paths;
        if (x.name() == u"image") ++svg.images;
        if (x.name() == u"text") svg.texts.push_back(x.readElementText().trimmed().toStdString());
    }
    EXPECT_FALSE(x.hasError()) << x.errorString().toStdString();
    return svg;
}

bool holds(const std::vector<std::string>& v, const std::string& text) {
    return std::find(v.begin(), v.end(), QString::fromStdString(text).trimmed().toStdString()) !=
           v.end();
}

TEST(Pictures, SvgHoldsTracesAsPathsAndNumbersAsText) {
    Captured c;
    c.s.ShowB = 1;
    c.s.UnitsOn = 1;
    c.w.Command23_Click(); // the cursor on: its readout goes under the display
    c.w.HScroll1_Change();
    std::string error;
    const std::string path = c.path("d.svg");
    ASSERT_TRUE(exporting::savePicture(c.w, path, exporting::PictureFormat::Svg, error)) << error;
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const Svg svg = parseSvg(f.readAll());
    EXPECT_EQ(svg.images, 0); // no pixels inside
    EXPECT_GE(svg.paths, 2);  // A and B
    const exporting::Scene sc = exporting::sceneOf(c.w);
    for (const display::GridOp& op : sc.frame.grid) {
        if (op.kind == display::GridOp::Kind::Label) {
            EXPECT_TRUE(holds(svg.texts, op.text)) << op.text;
        }
    }
    EXPECT_TRUE(holds(svg.texts, sc.readout.value));
    EXPECT_TRUE(holds(svg.texts, sc.readout.timeUnit));
}

TEST(Pictures, PdfIsOnePageOfTheDisplaysSize) {
    Captured c;
    const struct {
        const char* name;
        bool cursor;
        const char* size;
    } rows[] = {{"display alone", false, "476 x 139 pts"},
                {"with the cursor readout", true, "476 x 157 pts"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if ((c.s.cursorMode() > 0) != row.cursor) c.w.Command23_Click();
        ASSERT_EQ(c.s.cursorMode() > 0, row.cursor);
        std::string error;
        const std::string path = c.path("d.pdf");
        ASSERT_TRUE(exporting::savePicture(c.w, path, exporting::PictureFormat::Pdf, error));
        QProcess info;
        info.start("pdfinfo", {QString::fromStdString(path)});
        if (!info.waitForFinished(20000)) GTEST_SKIP() << "pdfinfo is not installed";
        const QString out = QString::fromUtf8(info.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QRegularExpression("Pages: +1\n"))) << out.toStdString();
        EXPECT_TRUE(out.contains(QRegularExpression(QString("Page size: +") + row.size + "\n")))
            << out.toStdString();
    }
}

TEST(Pictures, PngAtOneIsTheWindowsPixelsAtTwoTwiceTheSize) {
    Captured c;
    for (const bool cursor : {false, true}) {
        SCOPED_TRACE(cursor ? "with the cursor readout" : "display alone");
        if ((c.s.cursorMode() > 0) != cursor) c.w.Command23_Click();
        std::string error;
        ASSERT_TRUE(
            exporting::savePicture(c.w, c.path("1.png"), exporting::PictureFormat::Png1x, error));
        ASSERT_TRUE(
            exporting::savePicture(c.w, c.path("2.png"), exporting::PictureFormat::Png2x, error));
        const QImage shown = c.w.Picture1->image().convertToFormat(QImage::Format_RGB32);
        const QImage readout = c.w.CURSINFO->image().convertToFormat(QImage::Format_RGB32);
        const QImage one =
            QImage(QString::fromStdString(c.path("1.png"))).convertToFormat(QImage::Format_RGB32);
        const QImage two(QString::fromStdString(c.path("2.png")));
        ASSERT_EQ(one.height(), shown.height() + (cursor ? readout.height() : 0));
        EXPECT_EQ(one.copy(0, 0, shown.width(), shown.height()), shown);
        if (cursor) {
            EXPECT_EQ(one.copy(0, shown.height(), readout.width(), readout.height()), readout);
        }
        EXPECT_EQ(two.size(), one.size() * 2);
    }
}

} // namespace
