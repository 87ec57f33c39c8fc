// wqkscope capture: one capture into the files a user opens elsewhere (the signal file,
// the CSV export, a WAV file, a session file, a picture). wqkscope log: a Repeat run recorded into
// a folder until a count, a duration, the disk or Ctrl-C ends it.
#include "cli/cli.h"
#include "cli/output.h"
#include "export/logger.h"
#include "export/picture.h"
#include "files/file_io.h"
#include "platform/timer.h"

#include <QFileInfo>
#include <QSaveFile>
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

// Writes every file or none: each goes into a temporary file beside its place, and they
// are put in place only once all are complete. False with the file that failed and why.
bool writeEvery(const std::vector<std::pair<std::string, std::string>>& outputs,
                std::string& failed, std::string& error) {
    if (outputs.size() == 1) { // one file: as every other save writes it
        failed = outputs[0].first;
        return files::saveWhole(outputs[0].first, outputs[0].second, &error);
    }
    std::vector<std::unique_ptr<QSaveFile>> staged;
    for (const auto& [path, bytes] : outputs) {
        failed = path;
        auto f = std::make_unique<QSaveFile>(QFile::decodeName(QByteArray::fromStdString(path)));
        if (!f->open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
            f->write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
            error = f->errorString().toStdString();
            return false; // the staged files go with their QSaveFile
        }
        staged.push_back(std::move(f));
    }
    for (size_t i = 0; i < staged.size(); ++i)
        if (!staged[i]->commit()) {
            failed = outputs[i].first;
            error = staged[i]->errorString().toStdString();
            return false;
        }
    return true;
}

} // namespace

const OptionList& captureFileOptions() {
    static const OptionList list = {
        kept("--out", "F.wqk|F.csv|F.wav|F.sr|-",
             "the capture as the SAVE window's signal file, its CSV export, a WAV file or a "
             "session file",
             [](const std::string& v) -> std::string {
                 return v == "-" || exporting::logFormatOf(extension(v))
                            ? ""
                            : "--out must name a .wqk, .csv, .wav or .sr file, or -: " + v;
             }),
        kept("--picture", "F.png|F.svg|F.pdf|-", "the signal display as a picture",
             [](const std::string& v) -> std::string {
                 return v == "-" || exporting::pictureFormatOf(v)
                            ? ""
                            : "--picture must name a .png, .svg or .pdf file, or -: " + v;
             }),
        kept("--format", "wqk|csv|wav|sr|png|svg|pdf",
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
        {"--units", "", "the picture's axis numbers: time and each channel's volts",
         [](Settings& s, const std::string&) {
             s.more["--units"] = "yes";
             return std::string();
         }},
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
        kept("--format", "wav|wqk|csv|sr", "the capture files' format (default wav)",
             [](const std::string& v) -> std::string {
                 return exporting::logFormatOf(v) ? ""
                                                  : "--format must be wav, wqk, csv or sr: " + v;
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
        err << session.who << ": nothing to write: give --out, --picture or both\n";
        return Usage;
    }
    // A file's format is its name's; "-" (standard output, for one of them) takes --format's.
    const std::string outFormat = out == "-" ? format : extension(out);
    const auto pictureFormat = exporting::pictureFormatOf(picture == "-" ? "-." + format : picture,
                                                          more("--picture-scale") == "2" ? 2 : 1);
    if ((out == "-") + (picture == "-") != !format.empty() ||
        (out == "-" && !exporting::logFormatOf(outFormat)) || (picture == "-" && !pictureFormat)) {
        err << session.who
            << ": one of --out and --picture may be -, with --format naming its format\n";
        return Usage;
    }
    // A place that cannot be written is found before the capture, not after it.
    std::string error;
    for (const std::string& path : {out, picture})
        if (!path.empty() && path != "-" && !files::canSave(path, error)) {
            err << session.who << ": cannot write " << path << ": " << error << "\n";
            return WriteFailed;
        }
    if (const Status st = session.apply(false); st != Done) return st;
    if (const Status st = session.capture(1, [] {}); st != Done) return st;
    std::vector<std::pair<std::string, std::string>> outputs;
    std::string toStdOut;
    if (!out.empty()) {
        std::string& bytes = out == "-" ? toStdOut : outputs.emplace_back(out, "").second;
        if (!exporting::encodeCapture(session.state(), *exporting::logFormatOf(outFormat), bytes,
                                      error)) {
            err << session.who << ": cannot write " << out << ": " << error << "\n";
            return WriteFailed;
        }
    }
    if (!picture.empty()) {
        // Every channel captured, whatever the display buttons of a fresh window show.
        exporting::SceneChanges changes;
        changes.capturedChannels = true;
        changes.units = !more("--units").empty();
        std::string& bytes = picture == "-" ? toStdOut : outputs.emplace_back(picture, "").second;
        if (!exporting::renderPicture(session.state(), *pictureFormat, bytes, error, changes)) {
            err << session.who << ": cannot write " << picture << ": " << error << "\n";
            return WriteFailed;
        }
    }
    std::string failed;
    if (!outputs.empty() && !writeEvery(outputs, failed, error)) {
        err << session.who << ": cannot write " << failed << ": " << error << "\n";
        return WriteFailed;
    }
    if (!toStdOut.empty() && !writeOutput(session.who, "-", toStdOut, stdOut, err))
        return WriteFailed;
    return Done;
}

Status runLog(Session& session, const Settings& o, std::ostream& out, std::ostream& err) {
    const auto more = [&o](const char* name) {
        const auto it = o.more.find(name);
        return it == o.more.end() ? std::string() : it->second;
    };
    const std::string dir = more("--dir"), count = more("--count"), duration = more("--duration");
    if (dir.empty() || count.empty() == duration.empty()) {
        err << session.who << ": give --dir and one of --count and --duration\n";
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
        err << session.who << ": " << logger.status().message << "\n";
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
        if (interrupted || logger.expired()) session.instrument().stop();
    };
    watch.setEnabled(true);
    // Each file's name once it is indexed.
    const auto printNames = [&] {
        for (const std::string& name : logger.takeWritten())
            out << name << std::endl;
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
    err << session.who << ": " << logger.status().message << "\n";
    if (logger.status().failed) return WriteFailed;
    return st;
}

} // namespace cli
