#include "convert/convrun.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "util/fatal.h"
#include "util/files.h"

#ifndef GRAVLIN_VERSION
#define GRAVLIN_VERSION "unknown"
#endif

static const char* const authorsNotice = "Gravlin graphics tools, (c) the Gravlin tools authors";

static void PrintHelp(const ConverterText& text)
{
    std::printf("%s\n%s\n\n", text.usageLine, authorsNotice);
    std::printf("Usage: %s IMAGE\n       %s --help | --version\n\n", text.program, text.program);
    std::printf(
        "IMAGE must be an SGI image with four 8-bit channels (red, green, blue, alpha), verbatim or\n"
        "RLE, without a colour map. A file whose name starts with '-' is given as ./-name.\n"
        "\n"
        "The output goes beside IMAGE, under its name with the extension replaced by %s\n"
        "(art/ship.rgba gives art/ship%s); an existing file of that name is replaced. Nothing is\n"
        "printed on success. Without IMAGE the two usage lines are printed.\n\n",
        text.outputExtension, text.outputExtension);
    std::printf("%s", text.description);
    std::printf(
        "\n"
        "Exit status:\n"
        "  0    converted, or usage, help or version printed\n"
        "  1    the image was rejected; the reason is on standard error and no file is written\n"
        "  2    IMAGE does not exist\n"
        "  100  IMAGE ended early while it was read\n"
        "  101  the output could not be written in full (disk full, a file size limit)\n"
        "  203  out of memory\n"
        "  other the operating system's error code for a file that cannot be opened or created\n"
        "A failure other than a rejection prints \"Runtime error N at 0x...\" on standard output;\n"
        "an existing output file is never left half written.\n");
}

bool TakeInputArgument(int argc, char** argv, const ConverterText& text, std::string& input)
{
    SetProgramName(text.program);
    std::string first = argc > 1 ? argv[1] : "";
    if (first.empty()) {
        std::printf("%s\n%s\n", text.usageLine, authorsNotice);
        return false;
    }
    if (first == "--help" || first == "-h") {
        PrintHelp(text);
        return false;
    }
    if (first == "--version") {
        std::printf("%s %s\n", text.program, GRAVLIN_VERSION);
        return false;
    }
    input = first;
    return true;
}

std::string ConverterOutputName(const std::string& input, const std::string& extension)
{
    size_t separator = input.find_last_of("/\\");
    size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    size_t dot = input.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        return input + extension;
    return input.substr(0, dot) + extension;
}

void MapInputOrStop(const std::string& input, MappedFile& file)
{
    Result status = MapWholeFile(input, file);
    if (!status.ok())
        RunError(status.code, input, status.reason);
}

void StopIfOutputIsInput(const std::string& input, const std::string& output)
{
    if (input == output)
        FatalReject(input, "the output would replace the input itself; give the image another extension");
}

void StopOnSgiFailure(const std::string& input, const SgiResult& result)
{
    if (result.status == SgiStatus::OutOfMemory)
        RunError(RunErrorOutOfMemory, input, result.reason);
    if (result.status == SgiStatus::Rejected)
        FatalReject(input, result.reason);
}

size_t DefaultBandRows(const SgiHeader& header, SgiPacking packing)
{
    // Small enough to stay in the cache between decoding and the write that copies it out.
    size_t rowBytes = size_t(header.xSize) * SgiPixelBytes(packing);
    return rowBytes == 0 ? 1 : std::max<size_t>(1, (256 << 10) / rowBytes);
}

// Writes what the layout takes from count decoded rows that start top rows below the picture's
// top, rowStride bytes apart: the corner with the top row, then the rows it keeps, squeezed
// together in place first when it keeps only part of each.
static Result WriteRows(AtomicFile& file, const PictureLayout& layout, size_t top, size_t count, uint8_t* rows,
                            size_t rowStride)
{
    Result status;
    if (top == 0 && count > 0 && rowStride > 0 && layout.cornerBytes > 0)
        status = WriteAtomicChunk(file, rows, layout.cornerBytes);
    size_t kept = top < layout.rows ? std::min(count, layout.rows - top) : 0;
    if (!status.ok() || kept == 0 || layout.rowBytes == 0)
        return status;
    if (layout.rowBytes != rowStride)
        for (size_t r = 1; r < kept; r++)
            std::memmove(rows + r * layout.rowBytes, rows + r * rowStride, layout.rowBytes);
    return WriteAtomicChunk(file, rows, kept * layout.rowBytes);
}

// Creates the temporary output and writes the head, and the corner's zeros for a picture
// without pixels (which has no top row to take it from).
static Result StartOutput(const std::string& output, AtomicFile& file, const PictureLayout& layout,
                              bool noPixels)
{
    Result status = BeginAtomicWrite(output, file);
    if (status.ok())
        status = WriteAtomicChunk(file, layout.head.data(), layout.head.size());
    if (status.ok() && noPixels && layout.cornerBytes > 0) {
        std::vector<uint8_t> zeros(layout.cornerBytes, 0);
        status = WriteAtomicChunk(file, zeros.data(), zeros.size());
    }
    return status;
}

static SgiResult OutOfMemory(const char* what)
{
    return {SgiStatus::OutOfMemory, std::string("out of memory for ") + what};
}

// The whole picture decoded in the file's order, then written out from memory.
static ConvertResult WriteWholePicture(const std::string& output, const uint8_t* fileImage, size_t fileLength,
                                       const SgiHeader& header, SgiPacking packing, const PictureLayout& layout)
{
    ConvertResult result;
    size_t bytes = 0;
    std::unique_ptr<uint8_t[]> pixels;
    if (!SgiPixelBufferSize(header, packing, bytes)) {
        result.image = OutOfMemory("the pixel buffer");
        return result;
    }
    try {
        pixels = std::make_unique_for_overwrite<uint8_t[]>(bytes);
    } catch (const std::bad_alloc&) {
        result.image = OutOfMemory("the pixel buffer");
        return result;
    }
    result.image = DecodeSgiImage(fileImage, fileLength, header, packing, pixels.get());
    if (!result.image.ok())
        return result;
    AtomicFile file;
    result.file = StartOutput(output, file, layout, bytes == 0);
    if (result.file.ok())
        result.file = WriteRows(file, layout, 0, header.ySize, pixels.get(), size_t(header.xSize) * SgiPixelBytes(packing));
    if (result.file.ok())
        result.file = CommitAtomicWrite(file, false);
    return result;
}

ConvertResult WriteConvertedPicture(const std::string& output, const uint8_t* fileImage, size_t fileLength,
                                    const SgiHeader& header, SgiPacking packing, const PictureLayout& layout,
                                    size_t bandRows)
{
    ConvertResult result;
    size_t height = header.ySize;
    size_t rowBytes = size_t(header.xSize) * SgiPixelBytes(packing);
    bandRows = std::clamp<size_t>(bandRows, 1, std::max<size_t>(height, 1));
    std::unique_ptr<uint8_t[]> band;
    std::unique_ptr<uint8_t[]> scratch;
    try {
        band = std::make_unique_for_overwrite<uint8_t[]>(bandRows * rowBytes);
        scratch = std::make_unique_for_overwrite<uint8_t[]>(SgiBandScratchBytes(header));
    } catch (const std::bad_alloc&) {
        result.image = OutOfMemory("the band buffer");
        return result;
    }
    AtomicFile file;
    // Outputs can be made again from their images: no flush to the disk before the rename.
    result.file = StartOutput(output, file, layout, height == 0 || rowBytes == 0);
    for (size_t top = 0; result.file.ok() && top < height; top += bandRows) {
        size_t count = std::min(bandRows, height - top);
        if (!DecodeSgiBand(fileImage, fileLength, header, packing, top, count, band.get(), scratch.get())) {
            AbandonAtomicWrite(file);
            band.reset();
            scratch.reset();
            return WriteWholePicture(output, fileImage, fileLength, header, packing, layout);
        }
        result.file = WriteRows(file, layout, top, count, band.get(), rowBytes);
    }
    if (result.file.ok())
        result.file = CommitAtomicWrite(file, false);
    // The picture is read before its output is made: a bad row in a band not yet reached
    // outranks a failure of the output.
    if (!result.file.ok())
        result.image = CheckSgiRows(fileImage, fileLength, header, packing);
    return result;
}

void WriteConvertedPictureOrStop(const std::string& input, const std::string& output, const MappedFile& file,
                                 const SgiHeader& header, SgiPacking packing, const PictureLayout& layout)
{
    ConvertResult result = WriteConvertedPicture(output, file.data, file.size, header, packing, layout,
                                                 DefaultBandRows(header, packing));
    StopOnSgiFailure(input, result.image);
    if (!result.file.ok())
        RunError(result.file.code, output, result.file.reason);
}

bool StartConversion(int argc, char** argv, const ConverterText& text, Conversion& conversion)
{
    if (!TakeInputArgument(argc, argv, text, conversion.input))
        return false;
    MapInputOrStop(conversion.input, conversion.file);
    conversion.output = ConverterOutputName(conversion.input, text.outputExtension);
    StopIfOutputIsInput(conversion.input, conversion.output);
    StopOnSgiFailure(conversion.input, CheckSgiImage(conversion.file.data, conversion.file.size, conversion.header));
    return true;
}
