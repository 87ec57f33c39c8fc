// The capture logger and the capture and log commands: the files byte for byte as the
// window writes them, and a recording folder that stays consistent whatever happens.
#include "cli/cli.h"
#include "export/logger.h"
#include "export/wav.h"
#include "support/fixture.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using namespace exporting;

std::string readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "";
}

// Every line of index.csv is whole and names a complete file (`bytes`, or not empty), and
// the folder holds at most `orphans` other files (killed between the two writes). Returns
// the number of lines.
int checkedLines(const QString& dir, const std::string& bytes, int orphans = 0) {
    const std::string index = readAll(dir + "/index.csv"), header = indexHeader();
    EXPECT_EQ(index.substr(0, header.size()), header);
    QStringList files = QDir(dir).entryList(QDir::Files | QDir::Hidden), named;
    size_t at = header.size();
    for (size_t end; (end = index.find('\n', at)) != std::string::npos; at = end + 1) {
        named << QString::fromStdString(index.substr(at, end - at)).section(',', 1, 1);
        const std::string got = readAll(dir + "/" + named.back());
        EXPECT_TRUE(bytes.empty() ? !got.empty() : got == bytes) << named.back().toStdString();
        files.removeOne(named.back());
    }
    EXPECT_EQ(at, index.size()) << "a line cut short";
    files.removeOne("index.csv");
    EXPECT_LE(files.size(), orphans) << files.join(' ').toStdString();
    return int(named.size());
}

TEST(CaptureLogger, StopsAtALimitOrAFailedWriteWithAConsistentIndex) {
    // Write 1 is the header; then each capture's file (2, 4, 6) and its line (3, 5, 7).
    // At write `at` only `keep` bytes go out when keep > 0; then, or at once, `err`.
    const struct {
        const char* name;
        LogLimits limits;
        int at, keep, err;
        uint64_t perCapture; // disk space each capture takes, of 1 MB + 100000 bytes
        const char* message;
    } rows[] = {
        {"count", {3, 0, 0}, 0, 0, 0, 0, "Recording finished: 3 captures written."},
        {"short writes", {3, 0, 0}, 4, 100, 0, 0, "finished: 3 captures written."},
        {"1 s, captures at 0, 0.3, 0.6, 0.9 s", {0, 1, 0}, 0, 0, 0, 0, "over. 4 captures written."},
        {"1 MB to keep", {0, 0, 1 << 20}, 0, 0, 0, 50000, "reached. 1 capture written."},
        {"disk full in the 3rd file", {3, 0, 0}, 6, 0, ENOSPC, 0, "device. 2 captures kept in"},
        {"disk full in the 2nd line", {3, 0, 0}, 5, 0, ENOSPC, 0, "device. 1 capture kept in"},
        {"3rd line cut short, disk full", {3, 0, 0}, 7, 20, ENOSPC, 0, "device. 2 captures kept"},
    };
    InstrumentState s;
    s.ReadCount = 2048;
    for (int i = 0; i < s.ReadCount; ++i)
        s.ChanABuffer[size_t(i)] = int16_t(10 * (128 + i % 100));
    std::string bytes, error;
    ASSERT_TRUE(encodeCapture(s, LogFormat::Wqk, bytes, error));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir tmp;
        int calls = 0;
        int64_t now = 1700000000000;
        uint64_t space = (1 << 20) + 100000;
        LogIo io;
        io.freeBytes = [&](const std::string&) { return std::optional<uint64_t>(space); };
        io.write = [&](int fd, const void* data, size_t n) {
            const int at = ++calls - row.at;
            if (row.at > 0 && at == 0 && row.keep > 0)
                return long(::write(fd, data, size_t(row.keep)));
            if (row.at > 0 && at == (row.keep > 0) && row.err != 0) {
                errno = row.err;
                return -1L;
            }
            return long(::write(fd, data, n));
        };
        CaptureLogger log((tmp.path() + "/log").toStdString(), LogFormat::Wqk, row.limits,
                          [&] { return now; }, io);
        ASSERT_TRUE(log.start()) << log.status().message;
        for (int i = 0; i < 100 && log.record(s); ++i, now += 300)
            space -= row.perCapture;
        EXPECT_EQ(log.status().failed, row.err != 0);
        EXPECT_NE(log.status().message.find(row.message), std::string::npos)
            << log.status().message;
        EXPECT_EQ(checkedLines(tmp.path() + "/log", bytes), log.status().written);
    }
}

int run(std::vector<std::string> args, std::string* err = nullptr, std::string* out = nullptr) {
    std::ostringstream output, errors;
    args.insert(args.end(), {"--port=sim", "--input-a=dc:0.5", "--input-b=dc:-0.25", "--noise=0"});
    const int status = cli::run(args, output, errors);
    if (err) *err = errors.str();
    if (out) *out = output.str();
    return status;
}

TEST(CaptureCommand, WritesTheWindowsOwnFilesAndReportsBadUsage) {
    sim::Options o; // the same steady inputs
    o.noise = 0;
    o.inputA = {sim::InputSpec::Kind::Dc, 0, 0, 0.5};
    o.inputB = {sim::InputSpec::Kind::Dc, 0, 0, -0.25};
    testing_support::Harness h(o);
    WQK& w = h.window();
    w.GOBUTTON_Click();
    w.GOBUTTON_Click(); // reads the whole 4K: the first capture keeps the start-up pretrigger
    w.state().FilePath = h.dir() + "/window.wqk";
    w.chabsave();
    w.state().FilePath = h.dir() + "/window.csv";
    w.state().ExportABReq = 1;
    w.exportab();
    std::string wav, error, shown;
    ASSERT_TRUE(encodeWav(wavSourceOf(w.state()), wav, error));
    h.writeFile("window.wav", wav);
    for (const std::string ext : {"wqk", "csv", "wav"}) {
        ASSERT_EQ(run({"capture", "--out=" + h.dir() + "/cli." + ext}, &error), 0) << error;
        EXPECT_TRUE(h.readFile("cli." + ext) == h.readFile("window." + ext)) << ext;
        ASSERT_EQ(run({"capture", "--out=-", "--format=" + ext}, &error, &shown), 0) << error;
        EXPECT_TRUE(shown == h.readFile("window." + ext)) << ext; // on standard output
    }
    // A window never shown is drawn at 96 dpi.
    ASSERT_EQ(run({"capture", "--picture=" + h.dir() + "/d.png", "--picture-scale=2"}), 0);
    EXPECT_EQ(QImage((h.dir() + "/d.png").c_str()).size(), QSize(1270, 370));
    // A pipe and a device (where one can be made) behind links: never replaced, no index.
    ASSERT_EQ(mkfifo("pipe", 0600) | symlink("pipe", "fifo.wav") | symlink("null", "null.wav") |
                  mkdir("linked", 0700) | symlink("../null", "linked/index.csv"),
              0);
    const bool device = mknod("null", S_IFCHR | 0666, makedev(1, 3)) == 0;
    const struct {
        std::vector<std::string> args;
        int status;
        const char* err;
        bool needsDevice = false;
    } rows[] = {
        {{"capture", "--out=c.mp3"},
         2,
         "--out must name a .wqk, .csv, .wav or .sr file, or -: c.mp3"},
        {{"log", "--dir=d", "--count=2", "--duration=1"}, 2, "one of --count and --duration"},
        {{"log", "--dir=/proc/wqk", "--count=1"}, 1, "cannot make the folder /proc/wqk"},
        {{"capture", "--out=fifo.wav"}, 1, "cannot write fifo.wav: nothing reads the pipe"},
        {{"capture", "--out=-", "--picture=-", "--format=wav"}, 2, "one of --out and --picture"},
        {{"log", "--dir=linked", "--count=2"}, 1, "index.csv: it is not a regular file", true},
        {{"capture", "--out=null.wav"}, 0, "", true},
    };
    for (const auto& row : rows) {
        if (row.needsDevice && !device) continue;
        EXPECT_EQ(run(row.args, &error), row.status) << row.args.back();
        EXPECT_NE(error.find(row.err), std::string::npos) << error;
    }
    EXPECT_TRUE(QFileInfo::exists("pipe") && !QFileInfo("pipe").isFile() &&
                !QFileInfo("null").isFile()); // neither replaced
}

// Past a file-size limit an output fails as any write does: status 1, why, old file kept.
TEST(CaptureCommand, SizeLimitIsAWriteError) {
    testing_support::Harness h;
    const QStringList outputs[] = {
        {"capture", "--out=x.wav"},     {"capture", "--picture=x.png"},
        {"capture", "--picture=x.svg"}, {"capture", "--picture=x.pdf"},
        {"spectrum", "--out=x.csv"},    {"log", "--dir=rec", "--count=1"}};
    static const rlimit small{1024, 1024};
    for (const QStringList& args : outputs) {
        SCOPED_TRACE(args[1].toStdString());
        const std::string file = args[0] == "log" ? "" : args[1].section('=', 1).toStdString();
        if (!file.empty()) h.writeFile(file, "previous");
        QProcess p;
        p.setWorkingDirectory(h.dir().c_str());
        p.setChildProcessModifier([] { setrlimit(RLIMIT_FSIZE, &small); });
        p.start(WQK_PROGRAM, args + QStringList{"--port=sim"});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, 1);
        EXPECT_TRUE(p.readAllStandardError().contains(": File too large"));
        EXPECT_EQ(file.empty() ? "previous" : h.readFile(file), "previous");
    }
}

// The program stopped after its second file. Killed: at most the capture in progress is
// missing (a complete file without its line), and the next run mends what a kill in the
// middle of a write leaves. Interrupted: it ends cleanly with every file indexed.
TEST(LogCommand, KilledOrInterruptedLeavesAConsistentIndex) {
    for (const int sig : {SIGKILL, SIGINT}) {
        testing_support::Harness h; // the folder and its port file
        QProcess p;
        p.setWorkingDirectory(h.dir().c_str());
        p.start(WQK_PROGRAM, {"log", "--port=sim", "--count=100000", "--dir=rec", "--size=32K"});
        int printed = 0;
        while (printed < 2 && p.waitForReadyRead(30000))
            printed += int(p.readAllStandardOutput().count('\n'));
        ASSERT_GE(printed, 2) << p.readAllStandardError().toStdString();
        ::kill(pid_t(p.processId()), sig);
        ASSERT_TRUE(p.waitForFinished(30000));
        const bool clean = sig == SIGINT;
        EXPECT_EQ(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, clean);
        printed += int(p.readAllStandardOutput().count('\n'));
        const QString dir = (h.dir() + "/rec").c_str();
        const int indexed = checkedLines(dir, "", !clean);
        EXPECT_TRUE(indexed >= printed && indexed <= printed + !clean) << indexed;
        // time, file (the time without - and :), rate, samples, A's and B's range and
        // probe, and A's 1 kHz sine of 1 V peak: frequency, peak to peak, RMS.
        QStringList l = QString(readAll(dir + "/index.csv").c_str()).section('\n', 1, 1).split(',');
        EXPECT_TRUE(
            l.value(0).contains(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT[\\d:]{8}\\.\\d{3}Z$")));
        EXPECT_EQ((l.mid(1, 5) + l.mid(9, 2)).join(','),
                  l.value(0).remove(QRegularExpression("[-:]")) + ".wav,2000000,32768,12,x1,12,x1");
        EXPECT_TRUE(std::abs(l.value(6).toDouble() - 1000) < 1 &&
                    std::abs(l.value(7).toDouble() - 2) < 0.1 &&
                    std::abs(l.value(8).toDouble() - 0.707) < 0.01)
            << l.join(',').toStdString();
        if (clean) continue;
        QFile index(dir + "/index.csv"), part(dir + "/.x.wav.wqk-part");
        ASSERT_TRUE(index.open(QIODevice::Append) && part.open(QIODevice::WriteOnly));
        index.write("2023-11-14T22:13:20.001Z,x.wav,2000");
        index.close();
        part.close();
        ASSERT_EQ(run({"log", "--count=1", "--dir=" + dir.toStdString()}), 0);
        EXPECT_EQ(checkedLines(dir, "", 1), indexed + 1);
    }
}

} // namespace
