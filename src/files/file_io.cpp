#include "files/file_io.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {
QString qpath(const std::string& p) {
    return QFile::decodeName(QByteArray::fromStdString(p));
}
} // namespace

bool readFileStart(const std::string& path, size_t maxBytes, std::string& out) {
    // Opened without waiting, then checked on the open file: a pipe or a device put in
    // the file's place can neither block the open nor feed the loader.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    std::string data;
    if (ok) data.resize(std::min(maxBytes, size_t(std::max<off_t>(0, st.st_size))));
    size_t got = 0;
    while (ok && got < data.size()) {
        const ssize_t n = ::read(fd, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        got += size_t(n);
    }
    ::close(fd);
    if (!ok) return false;
    data.resize(got);
    out = std::move(data);
    return true;
}

bool saveWhole(const std::string& path, const std::string& bytes, std::string* error) {
    QSaveFile f(qpath(path));
    const auto failed = [&f, error] {
        if (error) *error = f.errorString().toStdString();
        return false;
    };
    // A folder the user may not write still lets a writable file be saved in place (its
    // links and owner stay); everywhere else the save goes through a temporary file.
    f.setDirectWriteFallback(true);
    // Unbuffered: each write reaches the file at once, so a full disk or a size limit
    // shows in the write itself. A buffered write would only fail in the flush inside
    // commit(), which QSaveFile does not count and would commit a cut-short file.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failed();
    const qint64 size = qint64(bytes.size());
    bool ok = true;
    for (qint64 done = 0; ok && done < size;) {
        const qint64 n = f.write(bytes.data() + done, size - done);
        ok = n > 0;
        done += std::max<qint64>(n, 0);
    }
    ok = ok && f.flush() && f.error() == QFileDevice::NoError;
    if (!ok) {
        failed();
        f.cancelWriting();
        f.commit(); // removes the temporary file
        return false;
    }
    return f.commit() || failed();
}

bool canSave(const std::string& path, std::string& error) {
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        error = std::strerror(EISDIR);
        return false;
    }
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "."
                            : slash == 0               ? "/"
                                                       : path.substr(0, slash);
    // As the effective user: a process that gave up its rights is refused as it will be.
    if (::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) == 0) return true;
    const int why = errno;
    if (exists && S_ISREG(st.st_mode) && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0)
        return true;
    error = std::strerror(why);
    return false;
}

} // namespace files
