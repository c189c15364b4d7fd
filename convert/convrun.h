// The run both converters share: the command line, reading the input, naming and writing the
// output, and the stops on failure (all through util/fatal.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "convert/sgi.h"

struct ConverterText {
    const char* program;      // "tintpour"
    const char* usageLine;    // first line of the usage text, exactly as users know it
    const char* outputExtension;  // ".vas"
    const char* description;  // the part of --help after the usage and synopsis lines
};

// Looks at the first argument. Prints the usage text (missing or empty argument), the help or
// the version and returns false: the program then ends with status 0. Otherwise returns true
// with the input's name. Arguments after the first are ignored.
bool TakeInputArgument(int argc, char** argv, const ConverterText& text, std::string& input);

// The output's name: the input's directory part as written (up to and including its last '/'
// or '\'), then its file name with the extension (from the last '.' of the file name on)
// replaced by extension, or extension appended when the file name has no '.'.
std::string ConverterOutputName(const std::string& input, const std::string& extension);

// Reads the whole input or stops with the run-time error of the failure (2 for a missing file).
void ReadInputOrStop(const std::string& input, std::vector<uint8_t>& file);

// Stops when the output would replace the input: the picture would be lost.
void StopIfOutputIsInput(const std::string& input, const std::string& output);

// Stops on a reader failure: a rejected image with its reason (status 1), or out of memory (203).
void StopOnSgiFailure(const std::string& input, const SgiResult& result);

// Gives the file image's memory back before the output is built.
void ReleaseFileImage(std::vector<uint8_t>& file);

// Writes the output atomically or stops with the run-time error (OS code, 101 short write).
void WriteOutputOrStop(const std::string& output, const uint8_t* data, size_t size);
