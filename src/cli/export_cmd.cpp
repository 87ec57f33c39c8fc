// wqkscope capture: one capture into the files a user opens elsewhere (the signal file,
// the CSV export, a WAV file, a picture). wqkscope log: a Repeat run recorded into a
// folder until a count, a duration, the disk or Ctrl-C ends it.
#include "cli/cli.h"
#include "cli/output.h"
#include "export/logger.h"
#include "export/picture.h"
#include "platform/timer.h"

#include <QFileInfo>
#include <atomic>
#include <charconv>
#include <climits>
#include <cmath>
#include <csignal>
#include <ostream>

namespace cli {

namespace {

std::optional<double> decimal(const std::string& v) {
    double d = 0;
    const auto r = std::from_chars(v.data(), v.data() + v.size(), d);
    if (v.empty() || r.ec != std::errc() || r.ptr != v.data() + v.size() || !std::isfinite(d))
        return std::nullopt;
    return d;
}

std::string extension(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).suffix().toLower().toStdString();
}

// An option whose value is kept in Settings::more once `check` accepts it ("" or an
// error).
Option kept(const char* name, const char* value, const char* help,
            std::string (*check)(const std::string&)) {
    return {name, value, help, [name, check](Settings& s, const std::string& v) {
                const std::string e = check(v);
                if (e.empty()) s.more[name] = v;
                return e;
            }};
}

std::string positiveWhole(const char* name, const std::string& v) {
    const auto n = decimal(v);
    return n && *n >= 1 && *n <= INT_MAX && std::fmod(*n, 1) == 0
               ? ""
               : std::string(name) + " must be a whole number of at least 1: " + v;
}

std::atomic<bool> interrupted{false};

} // namespace

const OptionList& captureFileOptions() {
    static const OptionList list = {
        kept("--out", "F.wqk|F.csv|F.wav|-",
             "the capture as the SAVE window's signal file, its CSV export or a WAV file",
             [](const std::string& v) -> std::string {
                 return v == "-" || exporting::logFormatOf(extension(v))
                            ? ""
                            : "--out must name a .wqk, .csv or .wav file, or -: " + v;
             }),
        kept("--picture", "F.png|F.svg|F.pdf|-", "the signal display as a picture",
             [](const std::string& v) -> std::string {
                 return v == "-" || exporting::pictureFormatOf(v)
                            ? ""
                            : "--picture must name a .png, .svg or .pdf file, or -: " + v;
             }),
        kept("--format", "wqk|csv|wav|png|svg|pdf",
             "the format of the one output that is - (standard output)",
             [](const std::string& v) -> std::string {
                 return exporting::logFormatOf(v) || exporting::pictureFormatOf("-." + v)
                            ? ""
                            : "--format must be wqk, csv, wav, png, svg or pdf: " + v;
             }),
        kept("--picture-scale", "1|2", "size of a PNG picture (default 1)",
             [](const std::string& v) -> std::string {
                 return v == "1" || v == "2" ? "" : "--picture-scale must be 1 or 2: " + v;
             }),
    };
    return list;
}

const OptionList& logOptions() {
    static const OptionList list = {
        kept("--count", "N", "stop after N captures",
             [](const std::string& v) { return positiveWhole("--count", v); }),
        kept("--duration", "S", "stop after S seconds",
             [](const std::string& v) -> std::string {
                 const auto d = decimal(v);
                 return d && *d > 0 ? "" : "--duration must be a number of seconds above 0: " + v;
             }),
        kept("--dir", "DIR", "the folder of the capture files and index.csv (made if missing)",
             [](const std::string& v) -> std::string {
                 return v.empty() ? "--dir needs a folder" : "";
             }),
        kept("--format", "wav|wqk|csv", "the capture files' format (default wav)",
             [](const std::string& v) -> std::string {
                 return exporting::logFormatOf(v) ? "" : "--format must be wav, wqk or csv: " + v;
             }),
        kept("--keep-free", "MB", "stop before the disk has less than MB megabytes free",
             [](const std::string& v) -> std::string {
                 const auto d = decimal(v);
                 return d && *d >= 0 ? "" : "--keep-free must be a number of megabytes: " + v;
             }),
    };
    return list;
}

Status runCapture(Session& session, const Settings& o, std::ostream& stdOut, std::ostream& err) {
    const auto more = [&o](const char* name) {
        const auto it = o.more.find(name);
        return it == o.more.end() ? std::string() : it->second;
    };
    const std::string out = more("--out"), picture = more("--picture"), format = more("--format");
    if (out.empty() && picture.empty()) {
        err << "wqkscope capture: nothing to write: give --out, --picture or both\n";
        return Usage;
    }
    // A file's format is its name's; "-" (standard output, for one of them) takes --format's.
    const std::string outFormat = out == "-" ? format : extension(out);
    const auto pictureFormat = exporting::pictureFormatOf(picture == "-" ? "-." + format : picture,
                                                          more("--picture-scale") == "2" ? 2 : 1);
    if ((out == "-") + (picture == "-") != !format.empty() ||
        (out == "-" && !exporting::logFormatOf(outFormat)) || (picture == "-" && !pictureFormat)) {
        err << "wqkscope capture: one of --out and --picture may be -, with --format naming its "
               "format\n";
        return Usage;
    }
    if (const Status st = session.apply(false); st != Done) return st;
    if (const Status st = session.capture(1, [] {}); st != Done) return st;
    std::string bytes, error;
    if (!out.empty() && (!exporting::encodeCapture(
                             session.state(), *exporting::logFormatOf(outFormat), bytes, error) ||
                         !writeOutput(out, bytes, stdOut, err))) {
        if (!error.empty()) err << "wqkscope: cannot write " << out << ": " << error << "\n";
        return WriteFailed;
    }
    if (!picture.empty() &&
        (!exporting::renderPicture(session.wqk(), *pictureFormat, bytes, error) ||
         !writeOutput(picture, bytes, stdOut, err))) {
        if (!error.empty()) err << "wqkscope: cannot write " << picture << ": " << error << "\n";
        return WriteFailed;
    }
    return Done;
}

Status runLog(Session& session, const Settings& o, std::ostream& out, std::ostream& err) {
    const auto more = [&o](const char* name) {
        const auto it = o.more.find(name);
        return it == o.more.end() ? std::string() : it->second;
    };
    const std::string dir = more("--dir"), count = more("--count"), duration = more("--duration");
    if (dir.empty() || count.empty() == duration.empty()) {
        err << "wqkscope log: give --dir and one of --count and --duration\n";
        return Usage;
    }
    exporting::LogLimits limits;
    limits.count = count.empty() ? 0 : int(*decimal(count));
    limits.durationS = duration.empty() ? 0 : *decimal(duration);
    limits.minFreeBytes = uint64_t(decimal(more("--keep-free")).value_or(0) * 1e6);
    const std::string format = more("--format");
    exporting::CaptureLogger logger(dir, *exporting::logFormatOf(format.empty() ? "wav" : format),
                                    limits);
    if (const Status st = session.apply(false); st != Done) return st;
    if (!logger.start()) {
        err << "wqkscope: " << logger.status().message << "\n";
        return WriteFailed;
    }
    // Ctrl-C and the duration end the run as a user would: STOP.
    interrupted = false;
    struct sigaction act {
    }, old{};
    act.sa_handler = [](int) { interrupted = true; };
    sigaction(SIGINT, &act, &old);
    plat::Timer watch;
    watch.setInterval(100);
    watch.onTimer = [&] {
        if ((interrupted || logger.expired()) && session.state().running())
            session.wqk().GOBUTTON_Click();
    };
    watch.setEnabled(true);
    // Each file's name once it is indexed (one capture at most is being written).
    int printed = 0;
    const auto printNames = [&] {
        if (logger.status().written > printed) out << logger.lastFile() << std::endl;
        printed = logger.status().written;
    };
    const Status st = session.captureWhile(
        limits.count > 0 ? limits.count : INT_MAX,
        [&] {
            if (interrupted) return false;
            const bool going = logger.record(session.state());
            printNames();
            return going;
        },
        [&] { return interrupted || logger.expired(); });
    watch.setEnabled(false);
    sigaction(SIGINT, &old, nullptr);
    if (logger.recording()) logger.stop();
    printNames();
    err << "wqkscope: " << logger.status().message << "\n";
    if (logger.status().failed) return WriteFailed;
    return st;
}

} // namespace cli
