#include "port/config_file.h"

#include "device/commands.h"
#include "platform/vb.h"

#include <QFile>
#include <cctype>
#include <cstdlib>

namespace portcfg {

std::optional<double> read(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.exists() || !f.open(QIODevice::ReadOnly)) return std::nullopt;
    // The file is one short line; anything longer is not ours.
    QByteArray data = f.read(256);
    std::string line = data.toStdString();
    auto eol = line.find_first_of("\r\n");
    if (eol != std::string::npos) line.resize(eol);
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    const char* start = line.c_str() + i;
    char* end = nullptr;
    double v = std::strtod(start, &end);
    if (end == start) return std::nullopt;
    // The number must be followed by nothing but blanks or a comma.
    for (const char* p = end; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != ',') return std::nullopt;
    return v;
}

bool write(const std::string& path, int lpt) {
    QFile::remove(QString::fromStdString(path));
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    std::string line = vb::NumberText(lpt) + "\r\n";
    return f.write(line.data(), qint64(line.size())) == qint64(line.size());
}

int baseAddress(int lpt) {
    switch (lpt) {
    case 1:
        return cmd::Lpt1Base;
    case 2:
        return cmd::Lpt2Base;
    case 3:
        return cmd::Lpt3Base;
    default:
        return 0;
    }
}

} // namespace portcfg
