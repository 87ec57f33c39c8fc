#include "port/config_file.h"

#include "device/commands.h"
#include "platform/vb.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace portcfg {

std::optional<double> read(const std::string& path) {
    // Only a regular file is read: opened without waiting and checked on the open file,
    // so a pipe of that name cannot stop the start-up and a folder or device is no port
    // number. Anything else counts as no configuration, and stderr says why.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno != ENOENT)
            std::fprintf(stderr, "%s: cannot be read (%s); taken as missing\n", path.c_str(),
                         std::strerror(errno));
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        std::fprintf(stderr, "%s: not a regular file; taken as missing\n", path.c_str());
        return std::nullopt;
    }
    // The file is one short line; anything longer is not ours.
    char buf[256];
    ssize_t n;
    do
        n = ::read(fd, buf, sizeof buf);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n < 0) return std::nullopt;
    std::string line(buf, size_t(n));
    auto eol = line.find_first_of("\r\n");
    if (eol != std::string::npos) line.resize(eol);
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    const char* start = line.c_str() + i;
    char* end = nullptr;
    double v = std::strtod(start, &end);
    // A decimal number only (strtod would also take hex, "inf" and "nan").
    if (end == start ||
        std::string(start, size_t(end - start)).find_first_not_of("0123456789+-.eE") !=
            std::string::npos)
        return std::nullopt;
    // The number must be followed by nothing but blanks or a comma, to the line's end: a
    // NUL ends nothing.
    for (size_t k = size_t(end - line.c_str()); k < line.size(); ++k)
        if (line[k] != ' ' && line[k] != '\t' && line[k] != ',') return std::nullopt;
    return v;
}

namespace {
bool writeAll(int fd, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}
} // namespace

bool write(const std::string& path, int lpt) {
    const std::string line = vb::NumberText(lpt) + "\r\n";
    // Written beside the old file and renamed over its name only once every byte is out:
    // a full disk keeps the last good configuration, and a link put in the file's place
    // is replaced, never followed to what it points at.
    const std::string temp = path + ".new";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
        const bool ok = writeAll(fd, line);
        if (::close(fd) == 0 && ok && ::rename(temp.c_str(), path.c_str()) == 0) return true;
        ::unlink(temp.c_str());
        return false;
    }
    // A folder the user may not write: the file itself, when it is writable, in place.
    fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && writeAll(fd, line);
    return ::close(fd) == 0 && ok;
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
