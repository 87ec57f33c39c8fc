// The command line on the simulated instrument and the virtual clock, in-process: its
// JSON and CSV against the simulated inputs, its table, and its exit statuses.
#include "cli/cli.h"
#include "platform/version.h"
#include "support/fixture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <sstream>

namespace {

struct Result {
    int status;
    std::string out, err;
};

class Cli : public ::testing::Test {
  protected:
    Result run(std::vector<std::string> args) {
        std::ostringstream out, err;
        args.insert(args.begin() + 1, "--port=sim");
        const int status = cli::run(args, out, err);
        return {status, out.str(), err.str()};
    }
    static QJsonObject json(const Result& r) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    }
    testing_support::Harness h_; // the current directory, the port file and the clock
};

const std::vector<std::string> Quiet = {"--noise=0", "--range-a=1.2", "--range-b=1.2",
                                        "--input-b=sine:1000:0.5"};

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST_F(Cli, MeasureJsonHoldsTheInputsValues) {
    const Result r = run(with({"measure", "--json", "--pretrigger=10", "--channels=ab"}, Quiet));
    ASSERT_EQ(r.status, 0) << r.err;
    const QJsonObject o = json(r);
    EXPECT_EQ(o.keys(), QStringList({"b_over_a", "channels", "model", "rate_hz", "samples"}));
    EXPECT_EQ(o["model"].toString(), "20 MHz");
    EXPECT_EQ(o["rate_hz"].toDouble(), 2e6);
    EXPECT_EQ(o["samples"].toInt(), 4086); // 4K less the pretrigger
    const QJsonObject a = o["channels"]["A"].toObject(), b = o["channels"]["B"].toObject();
    EXPECT_EQ(a.keys(), QStringList({"ac_rms_v", "clipped", "duty_pct", "fall_s", "frequency_hz",
                                     "mean_v", "partial_period", "period_s", "reasons", "rise_s",
                                     "rms_v", "vmax_v", "vmin_v", "vpp_v"}));
    EXPECT_EQ(a["reasons"].toObject().size(), 0); // everything measured
    EXPECT_NEAR(a["frequency_hz"].toDouble(), 1000, 1);
    EXPECT_NEAR(a["vpp_v"].toDouble(), 2.0, 2 * 0.009375); // two codes
    EXPECT_NEAR(b["vpp_v"].toDouble(), 1.0, 2 * 0.009375);
    EXPECT_NEAR(o["b_over_a"]["gain_db"].toDouble(), -6.02, 0.2);
    EXPECT_NEAR(o["b_over_a"]["phase_deg"].toDouble(), 0, 2);

    // One channel: B against A cannot be measured, and says so with null.
    const QJsonObject one = json(run(with({"measure", "--json", "--channels=a"}, Quiet)));
    EXPECT_EQ(one["channels"].toObject().keys(), QStringList({"A"}));
    EXPECT_TRUE(one["b_over_a"]["gain_db"].isNull());
}

TEST_F(Cli, MeasureTableIsAligned) {
    const Result r = run(with({"measure"}, Quiet));
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line, header;
    std::vector<std::string> rows;
    while (std::getline(lines, line))
        if (!line.empty()) rows.push_back(line);
    ASSERT_GE(rows.size(), 17u);
    EXPECT_EQ(rows[0], "Model    20 MHz");
    EXPECT_EQ(rows[4], "Frequency     1.000 kHz  1.000 kHz");
    EXPECT_EQ(rows[16], "B / A gain    -6.03 dB");
}

TEST_F(Cli, SpectrumJsonAndCsv) {
    const Result r =
        run(with({"spectrum", "--json", "--peaks=1", "--average=3", "--out=s.csv"}, Quiet));
    ASSERT_EQ(r.status, 0) << r.err;
    const QJsonObject o = json(r);
    EXPECT_EQ(o.keys(),
              QStringList({"bin_hz", "channels", "peaks", "points", "rate_hz", "scale", "window"}));
    EXPECT_EQ(o["points"].toInt(), 4096);
    EXPECT_EQ(o["bin_hz"].toDouble(), 2e6 / 4096);
    const QJsonArray peaks = o["peaks"].toArray();
    ASSERT_EQ(peaks.size(), 2); // one per channel
    EXPECT_EQ(peaks[1]["channel"].toString(), "B");
    EXPECT_NEAR(peaks[0]["frequency_hz"].toDouble(), 1000, 488.28125 * 0.1);
    EXPECT_EQ(peaks[0]["level"].toDouble(), 100);

    const QStringList lines =
        QString::fromStdString(h_.readFile("s.csv")).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 2048);
    EXPECT_EQ(lines[0], "frequency_hz,A,B");
    EXPECT_TRUE(lines[1].startsWith("0,0,0")) << lines[1].toStdString();
    EXPECT_TRUE(lines[3].startsWith("976.5625,100,")) << lines[3].toStdString();

    // dB full scale through the flat-top window: a 1 V sine between bins, far from the
    // zero (whose image would share the window's wide lobe), on the 1.2 V range.
    const QJsonObject db = json(run(with({"spectrum", "--json", "--peaks=1", "--window=flattop",
                                          "--scale=dbfs", "--input-a=sine:100000:1"},
                                         Quiet)));
    EXPECT_NEAR(db["peaks"][0]["level"].toDouble(), 20 * std::log10(1 / 1.2), 0.1);
}

TEST_F(Cli, NumbersOfTheSimulatedInputsOrTheirReasons) {
    // In the default 10 mV of noise: a sine at 0.46 of the rate reads within 1e-3; a DC
    // level and an open input have no frequency, and B against A none without B.
    const QJsonObject fast = json(run({"measure", "--json", "--range-a=1.2", "--range-b=1.2",
                                       "--input-a=sine:920100:1", "--input-b=off"}));
    EXPECT_NEAR(fast["channels"]["A"]["frequency_hz"].toDouble() / 920100, 1, 1e-3);
    EXPECT_EQ(fast["b_over_a"]["reasons"]["gain_db"], "B below its noise at A's frequency");
    const QJsonObject quiet = json(run({"measure", "--json", "--range-a=1.2", "--range-b=1.2",
                                        "--input-a=dc:0.5", "--input-b=off"}));
    for (const char* c : {"A", "B"})
        for (const char* key : {"frequency_hz", "period_s", "duty_pct", "rise_s", "fall_s"}) {
            EXPECT_TRUE(quiet["channels"][c][key].isNull()) << c << key;
            EXPECT_EQ(quiet["channels"][c]["reasons"][key], "no periodic signal") << c << key;
        }

    // Spectrum: a 1 V peak sine half-way between bins reads -3.01 dBV and 1 V; a 1.5 V one
    // on the 1.2 V range is marked clipped.
    for (const char* input : {"sine:49072.265625:1", "sine:1000:1.5"}) {
        const bool clips = std::string(input).find(":1.5") != std::string::npos;
        const QJsonObject o =
            json(run({"spectrum", "--json", "--peaks=1", "--scale=dbv", "--range-a=1.2",
                      "--channels=a", "--noise=0", std::string("--input-a=") + input}));
        EXPECT_EQ(o["channels"]["A"]["clipped"].toBool(), clips) << input;
        if (clips) continue;
        EXPECT_NEAR(o["peaks"][0]["level"].toDouble(), -3.0103, 0.1);
        EXPECT_NEAR(o["peaks"][0]["amplitude_v"].toDouble(), 1, 0.01);
    }
}

TEST_F(Cli, ExitStatuses) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string says; // on stdout when it succeeds (help: a line of it), else on stderr
    } rows[] = {
        // clang-format off
        {"measure help", {"measure", "--help"}, 0, "  --pretrigger=0|10|100  "},
        {"version after a subcommand", {"measure", "--version"}, 0,
         std::string("wqkscope ") + plat::version + "\n"},
        {"rate and input frequency with multipliers", // a wrong rate is refused
         {"measure", "--rate=200k", "--input-a=sine:1k:1"}, 0, "Frequency     1.000 kHz"},
        {"bode from and to with multipliers",
         {"bode", "--from=1k", "--to=0.01M", "--per-decade=1", "--input-a=dac"}, 0, "1.00000 kHz"},
        {"bad value", {"measure", "--size=3K"}, 2, "--size must be 2K, 4K, 8K, 16K or 32K: 3K"},
        {"rate of another model", {"measure", "--rate=3M"}, 2,
         "wqkscope measure: --rate must be one of 2k, 20k, 200k, 2M, 20M on this model: 3M\n"},
        {"120 V without its probe", {"measure", "--range-a=120"}, 2,
         "wqkscope measure: --range-a=120 needs the x10 probe: --probe-a=10\n"},
        {"1.2 V with the x10 probe", {"spectrum", "--range-b=1.2", "--probe-b=10"}, 2,
         "wqkscope spectrum: --range-b=1.2 needs the x1 probe: --probe-b=1\n"},
        {"bode out of range", {"bode", "--from=1M", "--to=2"}, 2,
         "wqkscope bode: --from must be 5 to 500k Hz: 1M\nwqkscope bode: --to must be"},
        {"bode without --to", {"bode", "--from=1k"}, 2, "wqkscope bode: --from and --to are"},
        {"nothing to capture", {"capture"}, 2, "wqkscope capture: nothing to write"},
        {"mistyped subcommand", {"mesure"}, 2,
         "wqkscope: unknown subcommand \"mesure\"; did you mean \"measure\"?\n"},
        {"unknown subcommand", {"xyz"}, 2, "wqkscope: unknown subcommand \"xyz\"\n"},
        {"no channel B", {"measure", "--channels=b", "--no-chb"}, 2,
         "--channels must be a on this instrument: channel B is not fitted"},
        {"no instrument", {"measure", "--no-instrument"}, 3, "No WQK Hardware !!! Aborting Command ..."},
        {"no power", {"spectrum", "--power-off"}, 3, "No Power to WQK  !!! Check Power to WQK"},
        {"slow capture", {"measure", "--rate=2k", "--size=32K", "--timeout=1"}, 0, "Samples  32768"},
        {"no trigger", {"measure", "--input-a=dc:0", "--trigger=a+", "--level=0.5", "--timeout=2"}, 4,
         "no trigger within 2 s"},
        {"auto trigger", {"measure", "--input-a=dc:0", "--trigger=a+", "--level=0.5", "--timeout=2",
                          "--trigger-auto"}, 0, "Samples  4096"},
        {"auto-set: 3 periods of 10 kHz at 20 MHz", {"measure", "--autoset", "--input-a=sine:10k:5"},
         0, "Rate     20.00 MHz\nSamples  8192"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Result r = run(row.args);
        EXPECT_EQ(r.status, row.status);
        EXPECT_NE((row.status ? r.err : r.out).find(row.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out.rfind("Usage: wqkscope " + row.args[0] + " [options]", 0) == 0,
                  row.args.back() == "--help");
        // Each subcommand lists only its own options; a failure prints nothing on stdout.
        EXPECT_EQ(r.out.find("--window=") != std::string::npos,
                  std::string(row.name) == "spectrum help");
        // One style: "wqkscope SUB: what is wrong", a usage error ending in a pointer to
        // the help; a name that is no subcommand, to the program's.
        const std::string sub = cli::isSubcommand(row.args) ? " " + row.args[0] : "";
        EXPECT_EQ(r.err.rfind("wqkscope" + sub + ": ", 0) == 0, row.status != 0) << r.err;
        const QString help = QString::fromStdString("Try 'wqkscope" + sub + " --help'.\n");
        EXPECT_EQ(QString::fromStdString(r.err).endsWith(help), row.status == 2) << r.err;
    }
    EXPECT_GE(h_.clock().nowMs(), 2000); // the timeout ran on the virtual clock
}

// Auto-set without a periodic signal says so and measures all the same.
TEST_F(Cli, AutosetWithoutAPeriodicSignalSaysSo) {
    const Result r = run({"spectrum", "--autoset", "--input-a=dc:0.5", "--channels=a"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "wqkscope spectrum: auto-set: no periodic signal; ranges for the level, "
                     "instant trigger, rate unchanged\n");
    EXPECT_NE(r.out.find("Peak"), std::string::npos) << r.out;
}

// A file that cannot be written is named with the system's reason, before a capture or a
// sweep where it can be, and nothing else is written; a sweep whose file fails late still
// prints its points.
TEST_F(Cli, AFileThatCannotBeWrittenIsNamedWithItsReasonAndNothingElseIsWritten) {
    ASSERT_TRUE(QDir().mkdir("ro") && QDir().mkdir("late"));
    QFile::setPermissions("ro", QFile::ReadOwner | QFile::ExeOwner);
    testing_support::NoDacOverride asUser;
    const std::string denied = "Permission denied\n";
    const struct {
        std::vector<std::string> args;
        std::string err;
        bool printed;
    } rows[] = {
        // clang-format off
        {{"capture", "--out=a.wav", "--picture=ro/a.png"},
         "wqkscope capture: cannot write ro/a.png: " + denied, false},
        {{"capture", "--picture=a.svg", "--out=no/a.sr"},
         "wqkscope capture: cannot write no/a.sr: No such file or directory\n", false},
        {{"spectrum", "--out=ro/s.csv"}, "wqkscope spectrum: cannot write ro/s.csv: " + denied, false},
        {{"bode", "--from=1k", "--to=10k", "--out=ro/b.csv"},
         "wqkscope bode: cannot write ro/b.csv: " + denied, false},
        {{"bode", "--from=1k", "--to=10k", "--per-decade=1", "--reference=d", "--out=late/b.csv"},
         "wqkscope bode: cannot write late/b.csv: " + denied, true}};
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.back());
        const int64_t start = h_.clock().nowMs();
        if (row.printed) // read-only once the sweep has begun (D: over a second a point)
            h_.clock().at(start + 1500, [] {
                QFile::setPermissions("late", QFile::ReadOwner | QFile::ExeOwner);
            });
        const Result r = run(row.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, row.err);
        EXPECT_EQ(r.out.find("Frequency    Gain") != std::string::npos, row.printed) << r.out;
        EXPECT_EQ(h_.clock().nowMs() - start > 1000, row.printed); // the sweep ran or not
        EXPECT_EQ(QDir().entryList(QDir::Files), QStringList({"WQKport.cfg"}));
    }
}

// log prints each file it wrote; a subcommand reads the port file and never writes one.
TEST(CliFiles, LogPrintsEveryFileAndNoSubcommandWritesThePortFile) {
    testing_support::Harness h({}, false); // no WQKport.cfg
    std::ostringstream out, err;
    ASSERT_EQ(cli::run({"log", "--port=sim", "--count=5", "--dir=rec", "--format=sr"}, out, err), 0)
        << err.str();
    const QStringList names = QString::fromStdString(out.str()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(names, QDir("rec").entryList({"*.sr"}, QDir::Files, QDir::Name));
    EXPECT_EQ(names.size(), 5);
    EXPECT_FALSE(QFile::exists("WQKport.cfg"));
}

// The picture of capture shows every channel captured (the display shows A alone at
// start-up), and with --units its numbers.
TEST_F(Cli, CapturePictureDrawsEveryCapturedChannelAndTakesUnits) {
    const struct {
        std::vector<std::string> args;
        bool bDrawn, numbers;
    } rows[] = {{{"--channels=ab"}, true, false},
                {{"--channels=ab", "--units"}, true, true},
                {{"--channels=a", "--units"}, false, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.back());
        const Result r = run(with({"capture", "--picture=p.svg"}, row.args));
        ASSERT_EQ(r.status, 0) << r.err;
        const QString svg = QString::fromStdString(h_.readFile("p.svg"));
        EXPECT_EQ(svg.count("<path "), row.bDrawn ? 2 : 1); // one path a trace
        EXPECT_EQ(svg.contains(">uS</text>"), row.numbers);
    }
}
