#include "editor/packpath.h"

#include <cctype>
#include <climits>
#include <unistd.h>

#include "util/path.h"

static bool FileExists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

std::string ResourcePackPathFor(const std::string& programPath)
{
    std::string folder = DirectoryPart(programPath, PathSeparators::Slash);
    std::string name = FileNamePart(programPath, PathSeparators::Slash);
    // A program file with an extension (koba.exe) still reads KOBA.VPK; only the last
    // extension gives way (my.koba.exe reads MY.KOBA.VPK), and never the whole name (.koba).
    std::string stem, extension;
    SplitExtension(name, stem, extension);
    if (!stem.empty())
        name = stem;
    for (char& c : name)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    std::string beside = folder + name + ".VPK";
    if (FileExists(beside))
        return beside;
    std::string installed = folder + "../share/koba/" + name + ".VPK";
    if (FileExists(installed))
        return installed;
    return beside;
}

std::string ResourcePackPath(const std::string& argv0)
{
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) {
        buffer[length] = 0;
        return ResourcePackPathFor(buffer);
    }
    return ResourcePackPathFor(argv0);
}
