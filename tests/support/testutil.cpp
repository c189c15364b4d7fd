#include "tests/support/testutil.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

ScratchDir::ScratchDir() : path((fs::temp_directory_path() / "gravlin-test-XXXXXX").string())
{
    if (!::mkdtemp(path.data()))
        throw std::runtime_error("mkdtemp failed");
}

// Folders made read-only by a test must become writable again to be removed.
ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto& entry : fs::recursive_directory_iterator(path, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    if (!std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size()))
        throw std::runtime_error("cannot write " + path);
}

bool PathExists(const std::string& path) { return fs::exists(fs::symlink_status(path)); }

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void StdoutToStderr() { std::fflush(stdout), ::dup2(2, 1); }

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& workDir, long fileSizeLimit)
{
    // Everything the child needs is made before the fork: another thread may hold the heap's lock.
    ScratchDir streams;
    const std::string out = streams / "out", err = streams / "err";
    std::vector<char*> args(argv.size() + 1);
    for (size_t i = 0; i < argv.size(); ++i)
        args[i] = const_cast<char*>(argv[i].c_str());
    const rlimit limit = {rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open("/dev/null", O_RDONLY | O_CLOEXEC), 0);
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600), 2);
        if ((!workDir.empty() && ::chdir(workDir.c_str()) != 0) ||
            (fileSizeLimit > 0 && ::setrlimit(RLIMIT_FSIZE, &limit) != 0))
            ::_exit(126);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const std::vector<uint8_t> o = ReadBytes(out), e = ReadBytes(err);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return {code, {o.begin(), o.end()}, {e.begin(), e.end()}};
}

std::string BuiltProgram(const std::string& name)
{
    for (const char* folder : {"/editor/", "/convert/", "/tools/"})
        if (::access((GRAVLIN_BUILD_DIR + std::string(folder) + name).c_str(), X_OK) == 0)
            return GRAVLIN_BUILD_DIR + std::string(folder) + name;
    return GRAVLIN_BUILD_DIR "/" + name;
}

bool RunImageMagick(std::vector<std::string> args)
{
    args.insert(args.begin(), {"/usr/bin/env", "convert"});
    return RunProgram(args).status == 0;
}
