// wqkscope capture and wqkscope log: the capture's files byte for byte as the window
// writes them, bad usage and unwritable files, and a recording killed or interrupted in
// the middle.
#include "cli/cli.h"
#include "export/wav.h"
#include "index_check.h"
#include "support/fixture.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <gtest/gtest.h>
#include <sstream>

namespace {

struct Result {
    int status;
    std::string out, err;
};

Result run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

// Steady inputs, so that the window and the command line capture the same samples.
const std::vector<std::string> Steady = {"--port=sim", "--input-a=dc:0.5", "--input-b=dc:-0.25",
                                         "--noise=0"};
sim::Options steady() {
    sim::Options o;
    o.noise = 0;
    o.inputA = {sim::InputSpec::Kind::Dc, 0, 0, 0.5};
    o.inputB = {sim::InputSpec::Kind::Dc, 0, 0, -0.25};
    return o;
}

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(CaptureCommand, WritesTheWindowsOwnFiles) {
    testing_support::Harness h(steady());
    WQK& w = h.window();
    w.GOBUTTON_Click();
    w.GOBUTTON_Click(); // reads the whole 4K: the first capture keeps the start-up pretrigger
    w.state().FilePath = h.dir() + "/window.wqk";
    w.chabsave();
    w.state().FilePath = h.dir() + "/window.csv";
    w.state().ExportABReq = 1;
    w.exportab();
    std::string wav, error;
    ASSERT_TRUE(exporting::encodeWav(exporting::wavSourceOf(w.state()), wav, error));
    h.writeFile("window.wav", wav);
    for (const char* ext : {"wqk", "csv", "wav"}) {
        SCOPED_TRACE(ext);
        const Result r = run(with({"capture", "--out=" + h.dir() + "/cli." + ext}, Steady));
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string cli = h.readFile(std::string("cli.") + ext);
        const std::string window = h.readFile(std::string("window.") + ext);
        EXPECT_TRUE(cli == window)
            << cli.size() << " bytes, the window's " << window.size() << ", first difference at "
            << std::mismatch(cli.begin(), cli.end(), window.begin(), window.end()).first -
                   cli.begin();
    }
    // A picture of a window that is never shown: the display at 96 dpi.
    for (const char* scale : {"1", "2"}) {
        const Result r = run(with(
            {"capture", "--picture=" + h.dir() + "/d.png", std::string("--picture-scale=") + scale},
            Steady));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(QImage(QString::fromStdString(h.dir() + "/d.png")).size(),
                  QSize(635, 185) * std::stoi(scale));
    }
}

TEST(CaptureCommand, RefusesBadUsageAndReportsUnwritableFiles) {
    testing_support::Harness h;
    const struct {
        std::vector<std::string> args;
        int status;
        const char* err;
    } rows[] = {
        {{"capture"}, 2, "nothing to write"},
        {{"capture", "--out=c.mp3"}, 2, "--out must name a .wqk, .csv or .wav file: c.mp3"},
        {{"capture", "--picture=c.jpg"}, 2, "--picture must name a .png, .svg or .pdf"},
        {{"capture", "--out=missing/c.wqk"}, 1, "cannot write missing/c.wqk"},
        {{"log", "--count=2"}, 2, "give --dir and one of --count and --duration"},
        {{"log", "--dir=d", "--count=2", "--duration=1"}, 2, "one of --count and --duration"},
        {{"log", "--dir=d", "--count=0"}, 2, "--count must be a whole number of at least 1"},
        {{"log", "--dir=d", "--count=1", "--format=mp3"}, 2, "--format must be wav, wqk or csv"},
        {{"log", "--dir=/proc/wqk", "--count=1"}, 1, "cannot make the folder /proc/wqk"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.back());
        const Result r = run(with(row.args, {"--port=sim"}));
        EXPECT_EQ(r.status, row.status);
        EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    }
}

TEST(LogCommand, WritesEachCaptureAndItsIndexLine) {
    testing_support::Harness h;
    const Result r =
        run(with({"log", "--count=3", "--dir=" + h.dir() + "/rec", "--format=csv"}, Steady));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        QString::fromStdString(r.out).count(QRegularExpression(
            "^\\d{8}T\\d{6}\\.\\d{3}Z(-\\d+)?\\.csv\\n", QRegularExpression::MultilineOption)),
        3)
        << r.out;
    EXPECT_NE(r.err.find("Recording finished: 3 captures written."), std::string::npos) << r.err;
    EXPECT_EQ(index_check::checkedLines(QString::fromStdString(h.dir() + "/rec"), ""), 3);
}

// The program itself, recording until it is killed or interrupted after its second file.
TEST(LogCommand, KilledOrInterruptedLeavesAConsistentIndex) {
    const struct {
        const char* name;
        int signal;
        bool cleanExit;
    } rows[] = {{"killed", SIGKILL, false}, {"Ctrl-C", SIGINT, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        testing_support::Harness h; // the folder and its port file
        QProcess p;
        p.setWorkingDirectory(QString::fromStdString(h.dir()));
        p.start(WQK_PROGRAM, {"log", "--port=sim", "--count=100000", "--dir=rec", "--size=32K"});
        int lines = 0;
        while (lines < 2 && p.waitForReadyRead(30000))
            lines += p.readAllStandardOutput().count('\n');
        ASSERT_GE(lines, 2) << p.readAllStandardError().toStdString();
        ::kill(pid_t(p.processId()), row.signal);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, row.cleanExit)
            << p.readAllStandardError().toStdString();
        lines += p.readAllStandardOutput().count('\n');
        const int indexed = index_check::checkedLines(QString::fromStdString(h.dir() + "/rec"), "",
                                                      row.cleanExit ? 0 : 1);
        // Killed, the capture in progress may be missing or its name not yet printed.
        EXPECT_GE(indexed, row.cleanExit ? lines : lines - 1);
        EXPECT_LE(indexed, lines + (row.cleanExit ? 0 : 1));
    }
}

} // namespace
