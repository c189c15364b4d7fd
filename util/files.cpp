#include "util/files.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static FileStatus Failure(int code, const std::string& reason)
{
    FileStatus status;
    status.code = code;
    status.reason = reason;
    return status;
}

static FileStatus ErrnoFailure(int err, const std::string& action)
{
    return Failure(err > 0 && err < 256 ? err : 1, action + ": " + std::strerror(err));
}

FileStatus ReadWholeFile(const std::string& path, std::vector<uint8_t>& data)
{
    data.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ErrnoFailure(errno, "cannot open");
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        int err = errno;
        ::close(fd);
        return ErrnoFailure(err, "cannot stat");
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        return ErrnoFailure(EISDIR, "cannot read");
    }
    size_t expected = info.st_size > 0 ? size_t(info.st_size) : 0;
    try {
        data.resize(expected);
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return Failure(203, "out of memory for the file image");
    }
    size_t done = 0;
    while (done < expected) {
        ssize_t got = ::read(fd, data.data() + done, expected - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            ::close(fd);
            data.clear();
            return ErrnoFailure(err, "cannot read");
        }
        if (got == 0) {
            ::close(fd);
            data.clear();
            return Failure(100, "file ended early");
        }
        done += size_t(got);
    }
    ::close(fd);
    return {};
}

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

FileStatus WriteFileAtomic(const std::string& path, const uint8_t* data, size_t size)
{
    // A file-size limit must surface as a short write, not kill the process.
    std::signal(SIGXFSZ, SIG_IGN);

    mode_t mode;
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return ErrnoFailure(EISDIR, "cannot create");
        mode = info.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::string temp = DirectoryOf(path) + ".gravlin-XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return ErrnoFailure(errno, "cannot create");

    auto abandon = [&](FileStatus status) {
        ::close(fd);
        ::unlink(temp.c_str());
        return status;
    };

    size_t done = 0;
    while (done < size) {
        ssize_t put = ::write(fd, data + done, size - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            int err = put < 0 ? errno : ENOSPC;
            return abandon(Failure(101, std::string("short write: ") + std::strerror(err)));
        }
        done += size_t(put);
    }
    if (::fchmod(fd, mode) != 0)
        return abandon(ErrnoFailure(errno, "cannot set permissions"));
    if (::fsync(fd) != 0)
        return abandon(Failure(101, std::string("short write: ") + std::strerror(errno)));
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        return Failure(101, std::string("short write: ") + std::strerror(err));
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        return ErrnoFailure(err, "cannot replace");
    }
    return {};
}
