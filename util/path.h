// Splitting paths and file names. Each caller names the separators it honours: file system
// paths on this system end folders at '/' alone; names that may come from elsewhere (an image
// given on a command line, a pack's own name) also at '\'.
#pragma once

#include <string>

enum class PathSeparators { Slash, SlashOrBackslash };

// The folder part as written: up to and including the last separator; "" when none.
std::string DirectoryPart(const std::string& path, PathSeparators separators);

// The part after the last separator; the whole path when none.
std::string FileNamePart(const std::string& path, PathSeparators separators);

// A file name split at its last '.': the extension includes the '.', "" when the name has none
// (stem is then the whole name). A leading '.' starts the extension too: ".rgba" has stem "".
void SplitExtension(const std::string& fileName, std::string& stem, std::string& extension);
