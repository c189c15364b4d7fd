// The run both converters share: the command line, the inputs (SGI or PNG, told apart by their
// first bytes), naming and writing the outputs, decoding outputs back to PNG, and reporting
// failures through util/fatal.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "convert/sgi.h"
#include "util/result.h"

struct InputFile;
struct PngImageOut;

// Where the packed picture goes in an output file.
struct PictureLayout {
    std::vector<uint8_t> head;  // written first
    size_t cornerBytes = 0;     // then the first bytes of the top row (zeros when there are no pixels)
    size_t rows = 0;            // then, of each of the picture's first rows rows,
    size_t rowBytes = 0;        // the first rowBytes bytes
};

// What sets one converter apart from the other.
struct Converter {
    const char* program;          // "tintpour"
    const char* usageLine;        // first line of the usage text, exactly as users know it
    const char* outputExtension;  // ".vas"
    const char* description;      // the part of --help on the output file
    SgiPacking packing;
    // The output's layout for a picture of width x height pixels, or the rejection of a size
    // the output cannot hold.
    Result (*layout)(uint32_t width, uint32_t height, PictureLayout& layout);
    // --decode: the picture of one of the converter's output files, its pixels in pixels (which
    // image then points into), or the rejection of a file that is not such an output.
    Result (*decode)(const std::vector<uint8_t>& file, std::vector<uint8_t>& pixels, PngImageOut& image);
};

// The whole program; gives the exit status. With one input everything happens as it always
// has: the first failure stops the program with its status. With several, each input is
// converted on its own and reported as such a run would report it, and the status is the first
// failure's (0 when all converted).
int RunConverter(int argc, char** argv, const Converter& converter);

// The output's name: the input's directory part as written (up to and including its last '/'
// or '\'), then its file name with the extension (from the last '.' of the file name on)
// replaced by extension, or extension appended when the file name has no '.'.
std::string ConverterOutputName(const std::string& input, const std::string& extension);

// Converts one input into output, as a run with that input alone does. A failure comes back
// with the file it is about in failedFile: the input's (cannot be read, rejected) or the
// output's (cannot be written).
Result ConvertInput(const Converter& converter, const std::string& input, const std::string& output,
                    std::string& failedFile);

// The same once the input is open: its length is the one it had then, and a file that another
// program shortens since ends the conversion with error 100, leaving no output.
Result ConvertOpenInput(const Converter& converter, const InputFile& file, const std::string& input,
                        const std::string& output, std::string& failedFile);

// Rows of a band that keep the band buffer to about a quarter of a MiB (at least 1 row).
size_t DefaultBandRows(const SgiHeader& header, SgiPacking packing);

// Gives count packed rows of a picture, from row top down, one after the other.
using BandSource = std::function<Result(size_t top, size_t count, uint8_t* pixels)>;

// Writes the output of a picture of height rows of rowBytes packed bytes atomically: the rows
// come from source a band of bandRows rows at a time into one buffer, and each band goes out
// at once, so that neither the picture nor the output is ever whole in memory. On any failure
// no output is left and an existing one is untouched; sourceFailed tells whether it was the
// source's (naming the input) or the output's. An existing output that the user may not write
// is refused with run-time error 13, as creating it anew would be (root replaces it).
Result WritePictureInBands(const std::string& output, const PictureLayout& layout, size_t height, size_t rowBytes,
                           size_t bandRows, const BandSource& source, bool& sourceFailed);
