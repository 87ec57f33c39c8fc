#pragma once
// Recording of a Repeat run: each capture becomes a file in a folder (WAV, the signal
// file, the CSV export or a session file) named by its UTC time, and one line of index.csv. Fed
// with the record after every capture; no widgets, so it runs under the window, the command line
// and the tests alike.
//
// Nothing is lost or half-written: a capture is written under a temporary name and
// renamed only when complete, and its index line is appended (in one write) only after
// that. A failed write stops the recording with a message, removes what it had begun
// and leaves the index as it was; a process killed at any point leaves every indexed
// file complete, and at most the capture in progress missing. The next recording in the
// same folder clears that capture's temporary file and goes on with the same index.
//
// A capture is encoded in the run, and its file and line are written beside it, so that
// the run does not wait for the disk: record() takes the previous capture's result first,
// so one capture at most is in progress, and status() counts the captures written so far.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct InstrumentState;

namespace exporting {

enum class LogFormat { Wav, Wqk, Csv, Sr };
// "wav", "wqk", "csv", "sr".
std::optional<LogFormat> logFormatOf(std::string_view name);
const char* extensionOf(LogFormat f);

// A capture's file as the SAVE window (signal file, CSV export), the WAV export or the
// session-file export writes it; false with the reason in `error`.
bool encodeCapture(const InstrumentState& s, LogFormat f, std::string& out, std::string& error);

// Time as ISO 8601 with milliseconds, UTC: "2024-01-31T14:25:01.123Z".
std::string isoTime(int64_t utcMs);
// The index's first line and one capture's line.
std::string indexHeader();
std::string indexLine(const InstrumentState& s, int64_t utcMs, const std::string& file);

struct LogLimits {
    int count = 0;             // captures; 0: no limit
    double durationS = 0;      // seconds from the start; 0: no limit
    uint64_t minFreeBytes = 0; // stop rather than leave less on the disk
};

// The file system calls the logger makes, replaceable so that a test can fail them.
struct LogIo {
    std::function<long(int fd, const void* data, size_t n)> write;            // ::write
    std::function<std::optional<uint64_t>(const std::string& dir)> freeBytes; // statvfs
};

struct LogStatus {
    bool recording = false;
    int written = 0;
    std::optional<uint64_t> freeBytes;
    bool failed = false; // stopped by an error rather than a limit or the user
    std::string message; // why the recording stopped
};

class CaptureLogger {
  public:
    using Clock = std::function<int64_t()>; // milliseconds since 1970, UTC
    static constexpr const char* IndexName = "index.csv";

    CaptureLogger(std::string dir, LogFormat format, LogLimits limits = {}, Clock clock = {},
                  LogIo io = {});
    ~CaptureLogger();
    CaptureLogger(const CaptureLogger&) = delete;
    CaptureLogger& operator=(const CaptureLogger&) = delete;

    // Makes the folder, opens or creates its index; false with status().message.
    bool start();
    // Writes the capture now in the record. False once the recording has stopped: a
    // limit was reached or a write failed (status() says which); the capture that
    // reaches the count limit is written before it returns.
    bool record(const InstrumentState& s);
    // Ends the recording once the capture in progress is written, the index synced.
    // The message is by default "Recording stopped: " and the status text.
    void stop(const std::string& message = {});

    bool recording() const { return status_.recording; }
    // The duration is over: the next capture ends the recording unwritten.
    bool expired() const;
    const LogStatus& status() const { return status_; }
    // "12 captures written, 3.4 GB left".
    std::string statusText() const;
    const std::string& dir() const { return dir_; }
    const std::string& lastFile() const { return lastFile_; }
    // The names of the files indexed since the last call, in the order they were written.
    std::vector<std::string> takeWritten() { return std::exchange(written_, {}); }

  private:
    bool openIndex();
    std::string freshName(int64_t utcMs) const;
    bool writeFile(const std::string& name, const std::string& bytes, std::string& error);
    bool append(const std::string& line, std::string& error);
    void fail(const std::string& what);
    std::string write(const std::string& name, const std::string& bytes, const std::string& line);
    // Takes the result of the capture being written; false when it failed.
    bool finish();

    std::string dir_;
    LogFormat format_;
    LogLimits limits_;
    Clock clock_;
    LogIo io_;
    int index_ = -1;
    int64_t startMs_ = 0;
    std::string lastFile_;
    std::vector<std::string> written_;
    std::future<std::string> pending_; // the capture being written: "" or what failed
    std::string pendingName_;
    LogStatus status_;
};

} // namespace exporting
