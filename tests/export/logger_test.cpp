// The capture logger under failing writes, a full disk, its limits and a killed run:
// whatever happens, every line of index.csv names a complete capture file, and the
// folder holds nothing the index does not name.
#include "app/instrument_state.h"
#include "export/logger.h"
#include "index_check.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cmath>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace exporting;
using index_check::checkedLines;

InstrumentState capture() {
    InstrumentState s;
    s.ReadCount = 2048;
    for (int i = 0; i < s.ReadCount; ++i)
        s.ChanABuffer[size_t(i)] = int16_t(10 * std::lround(128 + 100 * std::sin(i * 0.1)));
    return s;
}

// At write number failAt (1: the index header) only `keep` bytes go out when keep > 0;
// then, or at once, the write fails with `err` (none when 0).
struct FailingWrite {
    int failAt, keep, err;
    int calls = 0;
    long operator()(int fd, const void* data, size_t n) {
        const int at = ++calls - failAt;
        if (failAt > 0 && at == 0 && keep > 0) return long(::write(fd, data, size_t(keep)));
        if (failAt > 0 && at == (keep > 0 ? 1 : 0) && err != 0) {
            errno = err;
            return -1;
        }
        return long(::write(fd, data, n));
    }
};

TEST(CaptureLogger, KeepsTheIndexConsistentWhenAWriteFails) {
    // Writes: 1 the header, then per capture its file (2, 4, ...) and its line (3, 5, ...).
    const struct {
        const char* name;
        int failAt, keep, err;
        int indexed;
        bool failed;
    } rows[] = {
        {"no failure: the count limit ends it", 0, 0, 0, 3, false},
        {"short writes are completed", 4, 100, 0, 3, false},
        {"first capture file cannot be written", 2, 0, EIO, 0, true},
        {"disk full in the third capture file", 6, 0, ENOSPC, 2, true},
        {"disk full in the second index line", 5, 0, ENOSPC, 1, true},
        {"index line cut short, then the disk is full", 7, 20, ENOSPC, 2, true},
    };
    const InstrumentState s = capture();
    std::string bytes, error;
    ASSERT_TRUE(encodeCapture(s, LogFormat::Wav, bytes, error));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir tmp;
        const QString dir = tmp.path() + "/log";
        int64_t now = 1700000000000;
        LogIo io;
        io.write = FailingWrite{row.failAt, row.keep, row.err};
        CaptureLogger log(
            dir.toStdString(), LogFormat::Wav, {3, 0, 0}, [&] { return now += 250; }, io);
        ASSERT_TRUE(log.start()) << log.status().message;
        int records = 0;
        while (log.record(s))
            ++records;
        EXPECT_EQ(log.status().written, row.indexed);
        EXPECT_EQ(log.status().failed, row.failed) << log.status().message;
        EXPECT_FALSE(log.recording());
        EXPECT_EQ(checkedLines(dir, bytes), row.indexed);
    }
}

TEST(CaptureLogger, StopsAtItsLimits) {
    const struct {
        const char* name;
        LogLimits limits;
        uint64_t freeBytes, freeStep; // the disk's space, and what each capture takes
        int written;
        const char* message;
    } rows[] = {
        {"count", {2, 0, 0}, 1 << 30, 0, 2, "Recording finished: 2 captures written."},
        {"duration 1 s, a capture every 0.3 s: at 0, 0.3, 0.6 and 0.9 s",
         {0, 1.0, 0},
         1 << 30,
         0,
         4,
         "Recording finished: the duration is over. 4 captures written."},
        {"disk space to keep: room for one file of 65543 bytes",
         {0, 0, 1 << 20},
         (1 << 20) + 100000,
         50000,
         1,
         "Recording finished: the disk space limit is reached. 1 capture written."},
    };
    const InstrumentState s = capture();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir tmp;
        int64_t now = 0;
        uint64_t space = row.freeBytes;
        LogIo io;
        io.freeBytes = [&](const std::string&) { return std::optional<uint64_t>(space); };
        CaptureLogger log(
            tmp.path().toStdString(), LogFormat::Wqk, row.limits, [&] { return now; }, io);
        ASSERT_TRUE(log.start());
        for (int i = 0; i < 100 && log.record(s); ++i) {
            space -= row.freeStep;
            now += 300;
        }
        EXPECT_EQ(log.status().written, row.written);
        EXPECT_FALSE(log.status().failed);
        EXPECT_EQ(log.status().message, row.message);
        std::string bytes, error;
        ASSERT_TRUE(encodeCapture(s, LogFormat::Wqk, bytes, error));
        EXPECT_EQ(checkedLines(tmp.path(), bytes), row.written);
    }
}

// A run killed while writing leaves a temporary capture file and part of a line; the
// next run in the folder clears both and goes on with the same index.
TEST(CaptureLogger, GoesOnAfterAKilledRun) {
    QTemporaryDir tmp;
    const InstrumentState s = capture();
    std::string bytes, error;
    ASSERT_TRUE(encodeCapture(s, LogFormat::Csv, bytes, error));
    int64_t now = 1700000000000;
    {
        CaptureLogger first(tmp.path().toStdString(), LogFormat::Csv, {}, [&] { return now++; });
        ASSERT_TRUE(first.start());
        ASSERT_TRUE(first.record(s));
    } // killed: never stopped
    QFile index(tmp.path() + "/index.csv");
    ASSERT_TRUE(index.open(QIODevice::Append));
    index.write("2023-11-14T22:13:20.001Z,20231114T221320.001Z.csv,200");
    index.close();
    QFile part(tmp.path() + "/.20231114T221320.001Z.csv.wqk-part");
    ASSERT_TRUE(part.open(QIODevice::WriteOnly));
    part.write(bytes.substr(0, 100).c_str());
    part.close();
    CaptureLogger next(tmp.path().toStdString(), LogFormat::Csv, {}, [&] { return now++; });
    ASSERT_TRUE(next.start()) << next.status().message;
    ASSERT_TRUE(next.record(s));
    next.stop();
    EXPECT_EQ(checkedLines(tmp.path(), bytes), 2);
}

TEST(CaptureLogger, IndexLineAndTimes) {
    InstrumentState s = capture();
    s.ProbeA = 1;
    s.DataRangeA = 1; // the 1.2 V range with the x10 probe
    s.ChanBOn = 0;
    EXPECT_EQ(isoTime(1700000000123), "2023-11-14T22:13:20.123Z");
    EXPECT_EQ(isoTime(-1), "1969-12-31T23:59:59.999Z");
    const QStringList f = QString::fromStdString(indexLine(s, 1, "f.wav")).split(',');
    ASSERT_EQ(f.size(), 14);
    EXPECT_EQ(f.mid(0, 6).join(','), "1970-01-01T00:00:00.001Z,f.wav,2000000,2048,12,x10");
    EXPECT_EQ(f.mid(9).join(','), "off,,,,\n");
    // A sine of 0.1 rad a sample at 2 MS/s, 100 codes peak: 31831 Hz, 18.75 V peak to
    // peak and 6.63 V RMS on the 12 V range.
    EXPECT_NEAR(f[6].toDouble(), 2e6 * 0.1 / (2 * M_PI), 30);
    EXPECT_EQ(f[7].toDouble(), 200 * 10 * 0.009375);
    EXPECT_NEAR(f[8].toDouble(), 100 * 10 * 0.009375 / std::sqrt(2.0), 0.05);
}

} // namespace
