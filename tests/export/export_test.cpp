// Pictures, the WAV export and the session file of a capture, each read back with the
// tool a user would open it with.
#include "device/drawn_text.h"
#include "export/logger.h"
#include "export/picture.h"
#include "export/sigrok_session.h"
#include "export/wav.h"
#include "support/fixture.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <sndfile.h>

namespace {

using exporting::PictureFormat;

std::string saved(const WQK& w, const std::string& path, PictureFormat f) {
    std::string error;
    EXPECT_TRUE(exporting::savePicture(w, path, f, error)) << error;
    return path;
}

TEST(WavExport, ReadsBackWithLibsndfile) {
    const struct {
        const char* name;
        int model, rateA, size;
        bool bOn;
        int rate;
    } rows[] = {{"20 MHz model, both channels", 20, 2, 4, true, 200000},
                {"30 MHz model: the rate factor counts", 30, 4, 4, true, 30000000},
                {"B off is silence", 20, 3, 0, false, 2000000}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Options o;
        o.model = row.model;
        testing_support::Harness h(o);
        WQK& w = h.window();
        InstrumentState& s = w.state();
        s.SampleSizeIndex = row.size;
        w.DSAMPLE();
        s.RateA = row.rateA;
        if (!row.bOn) w.SCHBbutton_Click();
        w.GOBUTTON_Click();
        std::string bytes, error;
        ASSERT_TRUE(exporting::encodeWav(exporting::wavSourceOf(s), bytes, error)) << error;
        h.writeFile("t.wav", bytes);
        SF_INFO info{};
        SNDFILE* f = sf_open((h.dir() + "/t.wav").c_str(), SFM_READ, &info);
        ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
        EXPECT_EQ(info.samplerate, row.rate);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
        ASSERT_EQ(info.channels, 2);
        ASSERT_EQ(info.frames, s.ReadCount);
        std::vector<short> v(size_t(info.frames) * 2);
        ASSERT_EQ(sf_readf_short(f, v.data(), info.frames), info.frames);
        sf_close(f);
        int bad = 0;
        for (size_t i = 0; i < size_t(info.frames); ++i)
            bad += (v[2 * i] / 256 + 128 != s.ChanABuffer[i] / 10) +
                   (v[2 * i + 1] / 256 + 128 != (row.bOn ? s.ChanBBuffer[i] / 10 : 128));
        EXPECT_EQ(bad, 0);
    }
}

// sigrok-cli reads the session file: its rate and channel names, and every sample of each
// channel as the CSV export of the same capture has it, within the 2 decimals it prints
// and the CSV's own rounding (1 mV on the 1.2 V range, 10 mV on 12 V).
TEST(SessionExport, ReadsBackInTheRealReaderAsTheCsvExport) {
    EXPECT_EQ(exporting::crc32("123456789"), 0xCBF43926u); // the zip's check value
    if (QStandardPaths::findExecutable("sigrok-cli").isEmpty())
        GTEST_SKIP() << "sigrok-cli not found (scripts/common.sh installs it)";
    // clang-format off
    const struct { const char* name; int model; bool onePointTwo, bOn; const char* show; } rows[] = {
        {"both on 1.2 V", 20, true, true,
         "Samplerate: 2000000\nChannels: 2\n- A: analog\n- B: analog\nAnalog sample count: 4096\n"},
        {"30 MHz model, A alone on 12 V", 30, false, false,
         "Samplerate: 3000000\nChannels: 1\n- A: analog\nAnalog sample count: 4096\n"}};
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Options o;
        o.model = row.model;
        o.inputB = {sim::InputSpec::Kind::Sine, 3000, 0.8};
        testing_support::Harness h(o);
        WQK& w = h.window();
        if (row.onePointTwo) w.Command3_Click(), w.Command6_Click();
        if (!row.bOn) w.SCHBbutton_Click();
        w.GOBUTTON_Click();
        w.GOBUTTON_Click(); // the whole 4K: the first capture keeps the start-up pretrigger
        std::string sr, csv, error;
        ASSERT_TRUE(encodeCapture(w.state(), exporting::LogFormat::Sr, sr, error)) << error;
        ASSERT_TRUE(encodeCapture(w.state(), exporting::LogFormat::Csv, csv, error)) << error;
        h.writeFile("c.sr", sr);
        const auto reader = [&h](const QStringList& args) {
            QProcess p;
            p.start("sigrok-cli", QStringList{"-i", (h.dir() + "/c.sr").c_str()} + args);
            EXPECT_TRUE(p.waitForFinished(60000));
            return QString(p.readAllStandardOutput());
        };
        EXPECT_EQ(reader({"--show"}).toStdString(), row.show);
        std::map<QString, std::vector<double>> read; // "A: -0.39 V DC" per sample
        for (const QString& line : reader({"-O", "analog"}).split('\n', Qt::SkipEmptyParts))
            read[line.section(':', 0, 0)].push_back(line.section(' ', 1, 1).toDouble());
        const QStringList lines = QString(csv.c_str()).split("\r\n").mid(3, 4096);
        const double tolerance = 0.005 + (row.onePointTwo ? 0.0005 : 0.005) + 1e-6;
        for (const int c : {0, 1}) {
            const std::vector<double>& got = read[c ? "B" : "A"];
            ASSERT_EQ(got.size(), c && !row.bOn ? 0u : 4096u);
            int off = 0;
            for (size_t i = 0; i < got.size(); ++i)
                off += std::abs(got[i] - lines[int(i)].section(',', c, c).toDouble()) > tolerance;
            EXPECT_EQ(off, 0) << "channel " << c;
        }
    }
}

struct Pictures : ::testing::Test {
    testing_support::Harness h;
    WQK& w = drawn::shown(h.window());
    InstrumentState& s = w.state();
    std::string path(const char* name) { return h.dir() + "/" + name; }
};

// SVG: traces as paths, numbers as text; PDF: one page of the display's size; PNG: the
// window's pixels, or twice the size.
TEST_F(Pictures, AreTheDisplayAsShown) {
    w.GOBUTTON_Click();
    s.ShowB = s.UnitsOn = 1;
    w.Command23_Click(); // the cursor on: its readout goes under the display
    w.HScroll1_Change();
    QFile f(saved(w, path("d.svg"), PictureFormat::Svg).c_str());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader x(&f);
    int paths = 0, images = 0;
    QStringList texts;
    while (!x.atEnd())
        if (x.readNext() == QXmlStreamReader::StartElement) {
            paths += x.name() == u"path";
            images += x.name() == u"image";
            if (x.name() == u"text") texts << x.readElementText().trimmed();
        }
    ASSERT_FALSE(x.hasError()) << x.errorString().toStdString();
    EXPECT_EQ(images, 0);
    EXPECT_GE(paths, 2); // A and B
    const exporting::Scene sc = exporting::sceneOf(w);
    QStringList want = {sc.readout.value.c_str(), "V", sc.readout.timeUnit.c_str()};
    for (const display::GridOp& op : sc.frame.grid)
        if (op.kind == display::GridOp::Kind::Label) want << op.text.c_str();
    for (const QString& t : want)
        EXPECT_TRUE(texts.contains(t.trimmed())) << t.toStdString() << " of " << want.size();
    for (const bool cursor : {true, false}) {
        while ((s.cursorMode() > 0) != cursor) // the button steps through the readings
            w.Command23_Click();
        QProcess info;
        info.start("pdfinfo", {saved(w, path("d.pdf"), PictureFormat::Pdf).c_str()});
        ASSERT_TRUE(info.waitForFinished(20000));
        // 9520 x 2780 twips, and 355 more for the readout (in whole points).
        const QString out = info.readAllStandardOutput(), size = cursor ? "157" : "139";
        EXPECT_TRUE(out.contains(
            QRegularExpression("Pages: +1\nEncrypted: +no\nPage size: +476 x " + size + " pts")))
            << out.toStdString();
        const QImage one = QImage(saved(w, path("1.png"), PictureFormat::Png1x).c_str());
        const QImage two = QImage(saved(w, path("2.png"), PictureFormat::Png2x).c_str());
        const QImage shown = w.control<PictureBox>("Picture1")->image(),
                     box = w.control<PictureBox>("CURSINFO")->image();
        ASSERT_EQ(one.height(), shown.height() + (cursor ? box.height() : 0));
        EXPECT_TRUE(one.copy(shown.rect()) == shown.convertToFormat(one.format()));
        EXPECT_TRUE(!cursor || one.copy(box.rect().translated(0, shown.height())) ==
                                   box.convertToFormat(one.format()));
        EXPECT_EQ(two.size(), one.size() * 2);
    }
}

} // namespace
