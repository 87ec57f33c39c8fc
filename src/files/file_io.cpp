#include "files/file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

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

namespace {

std::string errnoText(int e = errno) {
    return std::strerror(e);
}

// All of `bytes`, across short writes and interruptions; at `offset` unless it is -1.
// 0 or the error.
int writeAll(int fd, const std::string& bytes, off_t offset = -1) {
    for (size_t done = 0; done < bytes.size();) {
        const size_t n = bytes.size() - done;
        const ssize_t k = offset < 0 ? ::write(fd, bytes.data() + done, n)
                                     : ::pwrite(fd, bytes.data() + done, n, offset + off_t(done));
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return k < 0 ? errno : ENOSPC;
        done += size_t(k);
    }
    return 0;
}

// Synced and closed: a disk that takes the bytes but not the file shows here. A device
// or pipe cannot be synced, which is no failure.
int syncAndClose(int fd) {
    int e = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    if (::close(fd) != 0 && e == 0) e = errno;
    return e;
}

// A device or a pipe: written as it is, never replaced. Opened without waiting, so that
// a pipe nobody reads is refused instead of stopping the program.
std::string writeToNode(const std::string& path, const std::string& bytes, mode_t type) {
    if (S_ISDIR(type)) return errnoText(EISDIR);
    if (S_ISBLK(type)) return "it is a block device, which is not written over";
    if (S_ISSOCK(type)) return "it is a socket";
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno == ENXIO && S_ISFIFO(type) ? "nothing reads the pipe" : errnoText();
    struct stat st {};
    int e = ::fstat(fd, &st) != 0                           ? errno
            : !S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode) ? EAGAIN // changed meanwhile
                                                            : 0;
    // From here a slow reader is waited for, not cut short.
    if (e == 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) e = errno;
    if (e == 0) e = writeAll(fd, bytes);
    const int closed = syncAndClose(fd);
    if (e == 0) e = closed;
    return e ? errnoText(e) : "";
}

// A regular file in a folder that cannot take a temporary file: in place, keeping its
// links and owner. The new length is reserved first, so a full disk or a size limit
// refuses the save before a byte changes; should a write still fail, the old bytes go
// back.
std::string writeInPlace(const std::string& path, const std::string& bytes) {
    int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    bool readable = fd >= 0;
    if (fd < 0) fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errnoText();
    struct stat st {};
    int e = ::fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EAGAIN;
    if (e != 0) {
        ::close(fd);
        return errnoText(e);
    }
    std::string old(size_t(st.st_size), '\0');
    readable = readable && ::pread(fd, old.data(), old.size(), 0) == ssize_t(old.size());
    e = bytes.empty() ? 0 : ::posix_fallocate(fd, 0, off_t(bytes.size()));
    if (e == EOPNOTSUPP || e == EINVAL) e = 0; // nothing reserved here: the old bytes go back
    if (e == 0) e = writeAll(fd, bytes, 0);
    if (e == 0 && ::ftruncate(fd, off_t(bytes.size())) != 0) e = errno;
    if (e == 0 && ::fsync(fd) != 0) e = errno;
    if (e != 0 && readable && writeAll(fd, old, 0) == 0) (void)!::ftruncate(fd, st.st_size);
    if (::close(fd) != 0 && e == 0) e = errno;
    return e ? errnoText(e) : "";
}

std::string save(const std::string& path, const std::string& bytes) {
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return writeToNode(path, bytes, st.st_mode);
    // A link is written through: the file it names is replaced, the link stays.
    std::string target = path;
    if (char* real = exists ? ::realpath(path.c_str(), nullptr) : nullptr) {
        target = real;
        std::free(real);
    }
    const size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = target.substr(dir.size());
    static std::atomic<unsigned> serial{0};
    std::string temp;
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < 100; ++tries) {
        temp = dir + "." + base + "." + std::to_string(::getpid()) + "-" +
               std::to_string(serial++) + ".part";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        // A folder the user may not write still lets a writable file be saved.
        if (exists && (errno == EACCES || errno == EPERM)) return writeInPlace(target, bytes);
        return errnoText();
    }
    int e = exists && ::fchmod(fd, st.st_mode & 07777) != 0 ? errno : 0;
    if (e == 0) e = writeAll(fd, bytes);
    const int closed = syncAndClose(fd);
    if (e == 0) e = closed;
    if (e == 0 && std::rename(temp.c_str(), target.c_str()) != 0) e = errno;
    if (e != 0) ::unlink(temp.c_str());
    return e ? errnoText(e) : "";
}

} // namespace

bool saveWhole(const std::string& path, const std::string& bytes, std::string* why) {
    const std::string error = save(path, bytes);
    if (why) *why = error;
    return error.empty();
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
