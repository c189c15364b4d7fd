#include "util/files.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/path.h"

InputFile::InputFile(InputFile&& other) noexcept : fd(other.fd), size(other.size)
{
    other.fd = -1;
}

InputFile& InputFile::operator=(InputFile&& other) noexcept
{
    if (this != &other) {
        if (fd >= 0)
            ::close(fd);
        fd = other.fd;
        size = other.size;
        other.fd = -1;
    }
    return *this;
}

InputFile::~InputFile()
{
    if (fd >= 0)
        ::close(fd);
}

Result OpenInputFile(const std::string& path, InputFile& file)
{
    file = InputFile();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return FailedFromErrno(errno, "cannot open");
    struct stat info;
    int err = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (err != 0) {
        ::close(fd);
        return FailedFromErrno(err, err == EISDIR ? "cannot read" : "cannot stat");
    }
    file.fd = fd;
    file.size = info.st_size > 0 ? uint64_t(info.st_size) : 0;
    return {};
}

Result ReadInputFile(const InputFile& file, uint64_t offset, uint8_t* data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        ssize_t got = ::pread(file.fd, data + done, size - done, off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return FailedFromErrno(errno, "cannot read");
        if (got == 0)
            return Failed(RunErrorShortRead, "file ended early");
        done += size_t(got);
    }
    return {};
}

Result ReadWholeFile(const std::string& path, std::vector<uint8_t>& data)
{
    data.clear();
    InputFile file;
    Result result = OpenInputFile(path, file);
    if (!result.ok())
        return result;
    if (file.size > data.max_size())
        return Failed(RunErrorOutOfMemory, "out of memory for the file image");
    try {
        data.resize(size_t(file.size));
    } catch (const std::bad_alloc&) {
        return Failed(RunErrorOutOfMemory, "out of memory for the file image");
    }
    result = ReadInputFile(file, 0, data.data(), data.size());
    if (!result.ok())
        data.clear();
    return result;
}

// The file a chain of symbolic links ends at (which need not exist yet). A rename over the link
// itself would cut it off and leave its target, the user's real file, unchanged.
static std::string FollowLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            break;
        char target[PATH_MAX];
        ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length <= 0 || size_t(length) >= sizeof target)
            break;
        std::string next(target, size_t(length));
        path = next[0] == '/' ? next : DirectoryPart(path, PathSeparators::Slash) + next;
    }
    return path;
}

Result BeginAtomicWrite(const std::string& linkedPath, AtomicFile& file)
{
    // A file-size limit must surface as a short write, not kill the process.
    std::signal(SIGXFSZ, SIG_IGN);

    const std::string path = FollowLinks(linkedPath);
    AbandonAtomicWrite(file);  // a file begun again drops its earlier temporary
    file.path = path;
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return FailedFromErrno(EISDIR, "cannot create");
        file.mode = info.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        file.mode = 0666 & ~mask;
    }
    file.temp = DirectoryPart(path, PathSeparators::Slash) + ".gravlin-XXXXXX";
    file.fd = ::mkstemp(file.temp.data());
    if (file.fd < 0)
        return FailedFromErrno(errno, "cannot create");
    return {};
}

void AbandonAtomicWrite(AtomicFile& file)
{
    if (file.fd >= 0) {
        ::close(file.fd);
        ::unlink(file.temp.c_str());
        file.fd = -1;
    }
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : fd(other.fd), path(std::move(other.path)), temp(std::move(other.temp)), mode(other.mode)
{
    other.fd = -1;
}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept
{
    if (this != &other) {
        AbandonAtomicWrite(*this);
        fd = other.fd;
        path = std::move(other.path);
        temp = std::move(other.temp);
        mode = other.mode;
        other.fd = -1;
    }
    return *this;
}

AtomicFile::~AtomicFile()
{
    AbandonAtomicWrite(*this);
}

static Result ShortWrite(int err)
{
    return Failed(RunErrorShortWrite, std::string("short write: ") + std::strerror(err));
}

Result WriteAtomicChunk(AtomicFile& file, const uint8_t* data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        ssize_t put = ::write(file.fd, data + done, size - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            Result status = ShortWrite(put < 0 ? errno : ENOSPC);
            AbandonAtomicWrite(file);
            return status;
        }
        done += size_t(put);
    }
    return {};
}

Result CommitAtomicWrite(AtomicFile& file, bool durable)
{
    auto fail = [&](Result status) {
        AbandonAtomicWrite(file);
        return status;
    };
    if (::fchmod(file.fd, file.mode) != 0)
        return fail(FailedFromErrno(errno, "cannot set permissions"));
    if (durable && ::fsync(file.fd) != 0)
        return fail(ShortWrite(errno));
    int fd = file.fd;
    file.fd = -1;
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(file.temp.c_str());
        return ShortWrite(err);
    }
    if (::rename(file.temp.c_str(), file.path.c_str()) != 0) {
        int err = errno;
        ::unlink(file.temp.c_str());
        return FailedFromErrno(err, "cannot replace");
    }
    return {};
}

Result WriteFileAtomic(const std::string& path, const uint8_t* data, size_t size, bool durable)
{
    AtomicFile file;
    Result status = BeginAtomicWrite(path, file);
    if (status.ok())
        status = WriteAtomicChunk(file, data, size);
    if (status.ok())
        status = CommitAtomicWrite(file, durable);
    return status;
}
