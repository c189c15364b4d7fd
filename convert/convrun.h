// The run both converters share: the command line, reading the input, naming and writing the
// output, and the stops on failure (all through util/fatal.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "convert/sgi.h"
#include "util/files.h"

struct ConverterText {
    const char* program;      // "tintpour"
    const char* usageLine;    // first line of the usage text, exactly as users know it
    const char* outputExtension;  // ".vas"
    const char* description;  // the part of --help after the usage and synopsis lines
};

// One conversion's input and output, as StartConversion sets them up.
struct Conversion {
    std::string input;
    std::string output;
    MappedFile file;
    SgiHeader header;
};

// Looks at the first argument. Prints the usage text (missing or empty argument), the help or
// the version and returns false: the program then ends with status 0. Otherwise returns true
// with the input's name. Arguments after the first are ignored.
bool TakeInputArgument(int argc, char** argv, const ConverterText& text, std::string& input);

// The output's name: the input's directory part as written (up to and including its last '/'
// or '\'), then its file name with the extension (from the last '.' of the file name on)
// replaced by extension, or extension appended when the file name has no '.'.
std::string ConverterOutputName(const std::string& input, const std::string& extension);

// Maps the whole input read-only or stops with the run-time error (2 for a missing file).
void MapInputOrStop(const std::string& input, MappedFile& file);

// Stops when the output would replace the input: the picture would be lost.
void StopIfOutputIsInput(const std::string& input, const std::string& output);

// Stops on a reader failure: a rejected image with its reason (status 1), or out of memory (203).
void StopOnSgiFailure(const std::string& input, const SgiResult& result);

// Where the decoded picture goes in an output file.
struct PictureLayout {
    std::vector<uint8_t> head;  // written first
    size_t cornerBytes = 0;     // then the first bytes of the top row (zeros when there are no pixels)
    size_t rows = 0;            // then, of each of the picture's first rows rows,
    size_t rowBytes = 0;        // the first rowBytes bytes
};

// Outcome of a conversion: the image's (a rejection, out of memory) or the output file's.
struct ConvertResult {
    SgiResult image;
    Result file;
    bool ok() const { return image.ok() && file.ok(); }
};

// Rows of a band that keep the band buffer to about a quarter of a MiB (at least 1 row).
size_t DefaultBandRows(const SgiHeader& header, SgiPacking packing);

// Writes the output of an image that CheckSgiImage accepted, atomically: decodes it bandRows
// rows at a time into one buffer and streams each band out, so that neither the picture nor the
// output is ever whole in memory. An image with a bad or short RLE row is decoded whole in the
// file's own order instead (a rejection, or short rows keeping the previous row's tail). On any
// failure no output is left and an existing one is untouched.
ConvertResult WriteConvertedPicture(const std::string& output, const uint8_t* fileImage, size_t fileLength,
                                    const SgiHeader& header, SgiPacking packing, const PictureLayout& layout,
                                    size_t bandRows);

// The same with the default bands, stopping on failure: the reader's stops for the image, the
// run-time error of the file for the output (OS code, 101 short write).
void WriteConvertedPictureOrStop(const std::string& input, const std::string& output, const MappedFile& file,
                                 const SgiHeader& header, SgiPacking packing, const PictureLayout& layout);

// Everything before the picture is written: the command line (false when the usage, the help or
// the version was printed: the program ends with status 0), the input mapped, the output named
// (never the input itself) and the image's header checked; every failure stops the program.
bool StartConversion(int argc, char** argv, const ConverterText& text, Conversion& conversion);
