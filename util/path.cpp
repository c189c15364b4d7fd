#include "util/path.h"

static size_t LastSeparator(const std::string& path, PathSeparators separators)
{
    return separators == PathSeparators::Slash ? path.rfind('/') : path.find_last_of("/\\");
}

std::string DirectoryPart(const std::string& path, PathSeparators separators)
{
    size_t separator = LastSeparator(path, separators);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string FileNamePart(const std::string& path, PathSeparators separators)
{
    size_t separator = LastSeparator(path, separators);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

void SplitExtension(const std::string& fileName, std::string& stem, std::string& extension)
{
    size_t dot = fileName.rfind('.');
    if (dot == std::string::npos) {
        stem = fileName;
        extension.clear();
        return;
    }
    stem = fileName.substr(0, dot);
    extension = fileName.substr(dot);
}
