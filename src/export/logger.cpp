#include "export/logger.h"

#include "analysis/measure.h"
#include "analysis/record.h"
#include "app/instrument_state.h"
#include "export/sigrok_session.h"
#include "export/wav.h"
#include "files/formats.h"

#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace exporting {

namespace {

// Temporary names of captures being written: hidden, and ours alone.
constexpr const char* PartSuffix = ".wqk-part";

// "1 capture", "2 captures".
std::string captures(int n) {
    return std::to_string(n) + (n == 1 ? " capture" : " captures");
}

std::string errnoText() {
    return std::strerror(errno);
}

std::string number(double v, const char* format = "%.6g") {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

std::string reading(const analysis::Reading& r) {
    return r.ok() ? number(*r) : std::string();
}

// One channel of a capture as its index line needs it, the samples copied: the line is
// measured on the writer thread while the loop takes the next capture into the buffers.
struct ChannelCopy {
    bool on = false;
    int range = 0, probe = 0;
    std::vector<int16_t> samples;
    double voltsPerUnit = 0, sampleRateHz = 0;
};

ChannelCopy copyChannel(const InstrumentState& s, analysis::Channel c, size_t count) {
    const bool a = c == analysis::Channel::A;
    ChannelCopy k;
    k.on = a ? s.chanAOn() : s.chanBOn();
    if (!k.on) return k;
    k.range = a ? s.dataRangeA() : s.DataRangeB;
    k.probe = a ? s.probeA() : s.probeB();
    const analysis::Trace t = analysis::traceOf(s, c, 0, count);
    k.samples.assign(t.data, t.data + t.count);
    k.voltsPerUnit = t.voltsPerUnit;
    k.sampleRateHz = t.sampleRateHz;
    return k;
}

// Range, probe, frequency, peak-to-peak and RMS of one channel; empty for a channel
// that was off.
std::string channelFields(const ChannelCopy& k) {
    if (!k.on) return "off,,,,";
    const analysis::Measurements m =
        analysis::measure({k.samples.data(), k.samples.size(), k.voltsPerUnit, k.sampleRateHz});
    return number(analysis::fullScaleVolts(k.range)) + (k.probe ? ",x10," : ",x1,") +
           reading(m.frequencyHz) + "," + reading(m.vppV) + "," + reading(m.rmsV);
}

struct IndexCopy {
    std::string head; // time, file, rate and count
    ChannelCopy a, b;
    std::string line() const { return head + channelFields(a) + "," + channelFields(b) + "\n"; }
};

long posixWrite(int fd, const void* data, size_t n) {
    return long(::write(fd, data, n));
}

std::optional<uint64_t> posixFree(const std::string& dir) {
    struct statvfs v {};
    if (statvfs(dir.c_str(), &v) != 0) return std::nullopt;
    return uint64_t(v.f_bavail) * uint64_t(v.f_frsize);
}

int64_t systemMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// All of `bytes`, across short writes and interruptions.
bool writeAll(const LogIo& io, int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const long n = io.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

std::string humanBytes(uint64_t b) {
    const char* units[] = {"bytes", "KB", "MB", "GB", "TB"};
    double v = double(b);
    int u = 0;
    while (v >= 1000 && u < 4) {
        v /= 1000;
        ++u;
    }
    return u == 0 ? number(v, "%.0f") + " bytes" : number(v, "%.1f") + " " + units[u];
}

// Temporary files a killed recording left behind.
void removeParts(const std::string& dir) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    const std::string suffix = PartSuffix;
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() > suffix.size() && name[0] == '.' &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            unlink((dir + "/" + name).c_str());
    }
    closedir(d);
}

bool makeDirs(const std::string& dir) {
    for (size_t at = 1; at <= dir.size(); ++at) {
        if (at < dir.size() && dir[at] != '/') continue;
        const std::string part = dir.substr(0, at);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::optional<LogFormat> logFormatOf(std::string_view name) {
    if (name == "wav") return LogFormat::Wav;
    if (name == "wqk") return LogFormat::Wqk;
    if (name == "csv") return LogFormat::Csv;
    if (name == "sr") return LogFormat::Sr;
    return std::nullopt;
}

const char* extensionOf(LogFormat f) {
    switch (f) {
    case LogFormat::Wav:
        return "wav";
    case LogFormat::Wqk:
        return "wqk";
    case LogFormat::Csv:
        return "csv";
    case LogFormat::Sr:
        return "sr";
    }
    return "";
}

bool encodeCapture(const InstrumentState& s, LogFormat f, std::string& out, std::string& error) {
    switch (f) {
    case LogFormat::Wav:
        return encodeWav(wavSourceOf(s), out, error);
    case LogFormat::Wqk:
        if (files::encodeSignal(s, files::WqkSignal, out)) return true;
        error = "a sample does not fit in one byte";
        return false;
    case LogFormat::Csv:
        out = files::encodeExport(s, true);
        return true;
    case LogFormat::Sr:
        return encodeSessionOf(s, out, error);
    }
    return false;
}

std::string isoTime(int64_t utcMs) {
    const int64_t ms = ((utcMs % 1000) + 1000) % 1000;
    const std::time_t secs = std::time_t((utcMs - ms) / 1000);
    std::tm t{};
    gmtime_r(&secs, &t);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, int(ms));
    return buf;
}

std::string indexHeader() {
    return "time,file,rate_hz,samples,"
           "range_a_v,probe_a,frequency_a_hz,peak_to_peak_a_v,rms_a_v,"
           "range_b_v,probe_b,frequency_b_hz,peak_to_peak_b_v,rms_b_v\n";
}

namespace {
IndexCopy indexCopy(const InstrumentState& s, int64_t utcMs, const std::string& file) {
    const size_t count = analysis::capturedCount(s);
    const double rate = analysis::sampleRateHz(s.dataRateA(), s.RateFactor);
    return {isoTime(utcMs) + "," + file + "," + number(rate, "%.0f") + "," + std::to_string(count) +
                ",",
            copyChannel(s, analysis::Channel::A, count),
            copyChannel(s, analysis::Channel::B, count)};
}
} // namespace

std::string indexLine(const InstrumentState& s, int64_t utcMs, const std::string& file) {
    return indexCopy(s, utcMs, file).line();
}

CaptureLogger::CaptureLogger(std::string dir, LogFormat format, LogLimits limits, Clock clock,
                             LogIo io)
    : dir_(std::move(dir)), format_(format), limits_(limits), clock_(std::move(clock)),
      io_(std::move(io)) {
    while (dir_.size() > 1 && dir_.back() == '/')
        dir_.pop_back();
    if (!clock_) clock_ = systemMs;
    if (!io_.write) io_.write = posixWrite;
    if (!io_.freeBytes) io_.freeBytes = posixFree;
}

CaptureLogger::~CaptureLogger() {
    if (pending_.valid()) pending_.wait();
    if (index_ >= 0) ::close(index_);
}

bool CaptureLogger::openIndex() {
    const std::string path = dir_ + "/" + IndexName;
    index_ = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (index_ < 0) return false;
    // Only a regular file keeps the lines: a device or pipe in its place would swallow them.
    struct stat st {};
    if (fstat(index_, &st) != 0 || !S_ISREG(st.st_mode)) {
        errno = ENOTSUP;
        return false;
    }
    const off_t size = lseek(index_, 0, SEEK_END);
    const std::string header = indexHeader();
    if (size == 0) return writeAll(io_, index_, header);
    std::string first(header.size(), '\0');
    if (pread(index_, first.data(), first.size(), 0) != ssize_t(first.size()) || first != header) {
        errno = EINVAL;
        return false;
    }
    // A line cut short by a crash goes: the index ends after its last whole line.
    off_t end = size;
    char c = 0;
    while (end > off_t(header.size()) && pread(index_, &c, 1, end - 1) == 1 && c != '\n')
        --end;
    return end == size || ftruncate(index_, end) == 0;
}

bool CaptureLogger::start() {
    status_ = LogStatus{};
    if (!makeDirs(dir_)) {
        fail("cannot make the folder " + dir_ + ": " + errnoText());
        return false;
    }
    removeParts(dir_);
    if (!openIndex()) {
        const std::string why = errno == EINVAL    ? "it is not an index of captures"
                                : errno == ENOTSUP ? "it is not a regular file"
                                                   : errnoText();
        fail("cannot use " + dir_ + "/" + IndexName + ": " + why);
        return false;
    }
    startMs_ = clock_();
    status_.recording = true;
    status_.freeBytes = io_.freeBytes(dir_);
    return true;
}

std::string CaptureLogger::freshName(int64_t utcMs) const {
    // 20240131T142501.123Z: the ISO time without the separators a file name may not hold.
    std::string stamp;
    for (char c : isoTime(utcMs))
        if (c != '-' && c != ':') stamp += c;
    const std::string ext = std::string(".") + extensionOf(format_);
    std::string name = stamp + ext;
    for (int n = 1; access((dir_ + "/" + name).c_str(), F_OK) == 0; ++n)
        name = stamp + "-" + std::to_string(n) + ext;
    return name;
}

bool CaptureLogger::writeFile(const std::string& name, const std::string& bytes,
                              std::string& error) {
    const std::string part = dir_ + "/." + name + PartSuffix;
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errnoText();
        return false;
    }
    const bool ok = writeAll(io_, fd, bytes);
    if (!ok) error = errnoText();
    if (::close(fd) != 0 && ok) error = errnoText();
    if (!ok || !error.empty() || std::rename(part.c_str(), (dir_ + "/" + name).c_str()) != 0) {
        if (error.empty()) error = errnoText();
        unlink(part.c_str());
        return false;
    }
    return true;
}

bool CaptureLogger::append(const std::string& line, std::string& error) {
    const off_t before = lseek(index_, 0, SEEK_END);
    if (writeAll(io_, index_, line)) return true;
    error = errnoText();
    // Back to the last whole line: the index never holds part of one.
    if (before >= 0 && ftruncate(index_, before) != 0) error += "; the index could not be mended";
    return false;
}

void CaptureLogger::fail(const std::string& what) {
    // The first reason the recording ended is the one it keeps.
    const bool ended = !status_.recording && !status_.message.empty();
    status_.recording = false;
    stop("-");
    if (ended) return;
    status_.message =
        "Recording stopped: " + what + ". " + captures(status_.written) + " kept in " + dir_ + ".";
    status_.failed = true;
}

// The capture being written: its file, then its line. Only this thread touches the
// folder and the index until finish() has taken its result.
std::string CaptureLogger::write(const std::string& name, const std::string& bytes,
                                 const std::string& line) {
    std::string error;
    if (!writeFile(name, bytes, error)) return "cannot write " + name + ": " + error;
    if (!append(line, error)) {
        unlink((dir_ + "/" + name).c_str()); // a file the index does not name
        return std::string("cannot add to ") + IndexName + ": " + error;
    }
    return "";
}

bool CaptureLogger::finish() {
    if (!pending_.valid()) return true;
    const std::string error = pending_.get();
    if (!error.empty()) {
        fail(error);
        return false;
    }
    lastFile_ = pendingName_;
    written_.push_back(lastFile_);
    ++status_.written;
    status_.freeBytes = io_.freeBytes(dir_);
    return true;
}

bool CaptureLogger::record(const InstrumentState& s) {
    if (!status_.recording || !finish()) return false;
    if (expired()) {
        stop("Recording finished: the duration is over. " + captures(status_.written) +
             " written.");
        return false;
    }
    const int64_t now = clock_();
    std::string bytes, error;
    if (!encodeCapture(s, format_, bytes, error)) {
        fail("cannot encode the capture: " + error);
        return false;
    }
    status_.freeBytes = io_.freeBytes(dir_);
    if (limits_.minFreeBytes > 0 && status_.freeBytes &&
        *status_.freeBytes < limits_.minFreeBytes + bytes.size() + 4096) {
        stop("Recording finished: the disk space limit is reached. " + captures(status_.written) +
             " written.");
        return false;
    }
    // The disk is written beside the run: the next capture waits only if this one is not
    // written by then.
    pendingName_ = freshName(now);
    pending_ = std::async(std::launch::async, [this, name = pendingName_, data = std::move(bytes),
                                               index = indexCopy(s, now, pendingName_)] {
        return write(name, data, index.line());
    });
    if (limits_.count > 0 && status_.written + 1 >= limits_.count) {
        stop("Recording finished: " + captures(limits_.count) + " written.");
        return false;
    }
    return true;
}

void CaptureLogger::stop(const std::string& message) {
    if (!finish()) return; // failed: its own message
    if (index_ >= 0) {
        fsync(index_);
        ::close(index_);
        index_ = -1;
        const int d = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (d >= 0) {
            fsync(d);
            ::close(d);
        }
    }
    if (status_.recording || status_.message.empty())
        status_.message = message.empty() ? "Recording stopped: " + statusText() + "." : message;
    status_.recording = false;
}

bool CaptureLogger::expired() const {
    return status_.recording && limits_.durationS > 0 &&
           double(clock_() - startMs_) >= limits_.durationS * 1000;
}

std::string CaptureLogger::statusText() const {
    std::string t = captures(status_.written) + " written";
    if (status_.freeBytes) t += ", " + humanBytes(*status_.freeBytes) + " left";
    return t;
}

} // namespace exporting
