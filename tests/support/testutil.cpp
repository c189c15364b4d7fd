#include "tests/support/testutil.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

ScratchDir::ScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "gravlin-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    // Folders made read-only by a test must become writable again to be removed.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(path, ignored);
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool PathExists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void StdoutToStderr()
{
    std::fflush(stdout);
    ::dup2(2, 1);
}

static std::string Slurp(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(got));
    return text;
}

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& workDir, long fileSizeLimit)
{
    ProgramResult result;
    char outName[] = "/tmp/gravlin-out-XXXXXX";
    char errName[] = "/tmp/gravlin-err-XXXXXX";
    int outFd = ::mkstemp(outName);
    int errFd = ::mkstemp(errName);
    ::unlink(outName);
    ::unlink(errName);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outFd, 1);
        ::dup2(errFd, 2);
        int nullFd = ::open("/dev/null", O_RDONLY);
        ::dup2(nullFd, 0);
        if (!workDir.empty() && ::chdir(workDir.c_str()) != 0)
            ::_exit(126);
        if (fileSizeLimit > 0) {
            struct rlimit limit = {rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    ::lseek(outFd, 0, SEEK_SET);
    ::lseek(errFd, 0, SEEK_SET);
    result.out = Slurp(outFd);
    result.err = Slurp(errFd);
    ::close(outFd);
    ::close(errFd);
    return result;
}

std::string BuiltProgram(const std::string& name)
{
    static const char* const folders[] = {"/editor/", "/convert/", "/tools/"};
    for (const char* folder : folders) {
        std::string path = std::string(GRAVLIN_BUILD_DIR) + folder + name;
        if (::access(path.c_str(), X_OK) == 0)
            return path;
    }
    return std::string(GRAVLIN_BUILD_DIR) + "/" + name;
}

bool RunImageMagick(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {"/usr/bin/env", "convert"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv).status == 0;
}
