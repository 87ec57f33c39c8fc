#include "files/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace files {

namespace {
QString qpath(const std::string& p) {
    return QFile::decodeName(QByteArray::fromStdString(p));
}
} // namespace

bool readFileStart(const std::string& path, size_t maxBytes, std::string& out) {
    const QString p = qpath(path);
    // Only regular files: reading a pipe or a device could block or never end.
    if (!QFileInfo(p).isFile()) return false;
    QFile f(p);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const size_t want = std::min(maxBytes, size_t(std::max<qint64>(0, f.size())));
    std::string data;
    data.resize(want);
    qint64 got = 0;
    while (size_t(got) < want) {
        qint64 n = f.read(data.data() + got, qint64(want) - got);
        if (n < 0) return false;
        if (n == 0) break;
        got += n;
    }
    data.resize(size_t(got));
    out = std::move(data);
    return true;
}

bool saveWhole(const std::string& path, const std::string& bytes) {
    QSaveFile f(qpath(path));
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        f.cancelWriting();
        f.commit();
        return false;
    }
    return f.commit();
}

} // namespace files
