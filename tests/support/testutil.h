// Small helpers shared by the tests: scratch folders, whole files, running programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with its contents at the end.
struct ScratchDir {
    std::string path;
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool PathExists(const std::string& path);
std::vector<std::string> FolderNames(const std::string& folder);  // sorted
// Death tests see the child's standard error only, but the worded stop lines go to standard output.
void StdoutToStderr();

// status: the exit status, or 128 + the signal.
struct ProgramResult { int status = -1; std::string out, err; };
// Runs a program (no shell), optionally in a folder and under a file-size limit in bytes (0: none).
ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& workDir = "", long fileSizeLimit = 0);
std::string BuiltProgram(const std::string& name);  // for example "tintpour" or "koba"
// ImageMagick's convert (a third-party writer of test pictures); false when it is missing or fails.
bool RunImageMagick(std::vector<std::string> args);
