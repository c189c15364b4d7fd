#include "convert/convrun.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <getopt.h>
#include <map>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "util/fatal.h"
#include "util/files.h"
#include "util/path.h"
#include "util/png.h"
#include "util/version.h"

static const char* const authorsNotice = "Gravlin graphics tools, (c) the Gravlin tools authors";
static const char* const replacesInput =
    "the output would replace the input itself; give the image another extension";

static void PrintUsage(const Converter& converter)
{
    std::printf("%s\n%s\n", converter.usageLine, authorsNotice);
}

static void PrintHelp(const Converter& c)
{
    const char* p = c.program;
    const char* ext = c.outputExtension;
    std::printf("%s\n%s\n\n", c.usageLine, authorsNotice);
    std::printf("Usage: %s [-v] [-o DIR] [--] IMAGE...\n       %s --decode [-v] [-o DIR] [--] FILE%s...\n"
                "       %s --help | --version\n\n",
                p, p, ext, p);
    std::printf(
        "IMAGE is a PNG file (any kind libpng reads: indexed, grey, RGB, with or without alpha,\n"
        "1 to 16 bits) or an SGI image with four 8-bit channels (red, green, blue, alpha), verbatim\n"
        "or RLE, without a colour map; the first bytes tell which, not the name. 16-bit samples give\n"
        "their high byte; no gamma or colour profile is applied; a PNG without alpha is opaque\n"
        "except for its tRNS colour or entries.\n"
        "\n"
        "Each output goes beside its IMAGE, under its name with the extension replaced by %s\n"
        "(art/ship.png gives art/ship%s); an existing file of that name is replaced.\n"
        "\n"
        "  -o, --output-dir DIR  write the outputs into the existing folder DIR instead\n"
        "  -v, --verbose         print \"IMAGE -> OUTPUT\" for every file written\n"
        "      --decode          turn %s files back into PNG files (FILE.png): 8-bit colour,\n"
        "                        each 5- or 6-bit field widened by repeating its top bits\n"
        "  --                    every argument after it is a file, even one starting with '-'\n"
        "  -h, --help            this text\n"
        "      --version         the version\n"
        "\n"
        "Nothing is printed on success without -v. Without IMAGE the two usage lines are printed.\n"
        "Two inputs that would write the same file stop the run before anything is written.\n\n",
        ext, ext, ext);
    std::printf("%s", c.description);
    std::printf(
        "\n"
        "Exit status:\n"
        "  0    converted, or usage, help or version printed\n"
        "  1    a file was rejected, or the command line is wrong; the reason is on standard error\n"
        "       and no file is written\n"
        "  2    a file does not exist\n"
        "  13   the output exists and may not be written\n"
        "  100  a file ended early while it was read\n"
        "  101  the output could not be written in full (disk full, a file size limit)\n"
        "  203  out of memory\n"
        "  other the operating system's error code for a file that cannot be opened or created\n"
        "A failure other than a rejection prints \"Runtime error N at 0x...\" on standard output;\n"
        "an existing output file is never left half written. With several files, the status is\n"
        "the first failing file's, and the others are converted all the same.\n");
}

std::string ConverterOutputName(const std::string& input, const std::string& extension)
{
    std::string stem, oldExtension;
    SplitExtension(FileNamePart(input, PathSeparators::SlashOrBackslash), stem, oldExtension);
    return DirectoryPart(input, PathSeparators::SlashOrBackslash) + stem + extension;
}

struct Options {
    bool decode = false;
    bool verbose = false;
    bool hasFolder = false;
    std::string folder;
    std::vector<std::string> inputs;
};

// The output of an input: beside it, or in the folder given with -o under its file name alone.
static std::string OutputFor(const std::string& input, const Options& options, const char* extension)
{
    const std::string& folder = options.folder;
    if (!options.hasFolder)
        return ConverterOutputName(input, extension);
    std::string name = ConverterOutputName(FileNamePart(input, PathSeparators::SlashOrBackslash), extension);
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

static std::string RealPath(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

// The file a path names once its folder's links are followed (and its own, when it exists):
// two outputs are the same file exactly when these are equal. The real paths of folders are
// kept in folders, since a batch writes many files into few.
static std::string ResolvedPath(const std::string& path, std::map<std::string, std::string>& folders)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0) {
        std::string real = RealPath(path);
        if (!real.empty())
            return real;
    }
    std::string folder = DirectoryPart(path, PathSeparators::Slash);
    auto [known, fresh] = folders.try_emplace(folder);
    if (fresh)
        known->second = RealPath(folder.empty() ? "." : folder);
    return known->second.empty() ? path : known->second + "/" + FileNamePart(path, PathSeparators::Slash);
}

// Whether output names the file that is open as input (through any link): replacing it would
// destroy the picture being read.
static bool IsInput(const InputFile& input, const std::string& output)
{
    struct stat in, out;
    return ::fstat(input.fd, &in) == 0 && ::stat(output.c_str(), &out) == 0 && in.st_dev == out.st_dev &&
           in.st_ino == out.st_ino;
}

// Replacing by rename would get past an existing file's missing write permission: honour it, as
// creating the file anew would (so root, who may write anything, still replaces it).
static Result RefuseUnwritableOutput(const std::string& output)
{
    if (::faccessat(AT_FDCWD, output.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES)
        return FailedFromErrno(EACCES, "cannot create");
    return {};
}

static size_t BandRowsFor(size_t rowBytes)
{
    // Small enough to stay in the cache between decoding and the write that copies it out.
    return rowBytes == 0 ? 1 : std::max<size_t>(1, (256 << 10) / rowBytes);
}

size_t DefaultBandRows(const SgiHeader& header, SgiPacking packing)
{
    return BandRowsFor(size_t(header.xSize) * SgiPixelBytes(packing));
}

// Writes what the layout takes from count packed rows that start top rows below the picture's
// top: the corner with the top row, then the rows it keeps, squeezed together in place first
// when it keeps only part of each.
static Result WriteRows(AtomicFile& file, const PictureLayout& layout, size_t top, size_t count, uint8_t* rows,
                        size_t rowBytes)
{
    Result status;
    if (top == 0 && count > 0 && rowBytes > 0 && layout.cornerBytes > 0)
        status = WriteAtomicChunk(file, rows, layout.cornerBytes);
    size_t kept = top < layout.rows ? std::min(count, layout.rows - top) : 0;
    if (!status.ok() || kept == 0 || layout.rowBytes == 0)
        return status;
    if (layout.rowBytes != rowBytes)
        for (size_t r = 1; r < kept; r++)
            std::memmove(rows + r * layout.rowBytes, rows + r * rowBytes, layout.rowBytes);
    return WriteAtomicChunk(file, rows, kept * layout.rowBytes);
}

// Creates the temporary output and writes the head, and the corner's zeros for a picture
// without pixels (which has no top row to take it from).
static Result StartOutput(const std::string& output, AtomicFile& file, const PictureLayout& layout, bool noPixels)
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

static Result OutOfMemory(const char* what)
{
    return Failed(RunErrorOutOfMemory, std::string("out of memory for ") + what);
}

// A buffer of bytes, left unfilled (a file image is read over it at once).
static Result Allocate(size_t bytes, std::unique_ptr<uint8_t[]>& buffer, const char* what)
{
    try {
        buffer = std::make_unique_for_overwrite<uint8_t[]>(bytes);
    } catch (const std::bad_alloc&) {
        return OutOfMemory(what);
    }
    return {};
}

Result WritePictureInBands(const std::string& output, const PictureLayout& layout, size_t height, size_t rowBytes,
                           size_t bandRows, const BandSource& source, bool& sourceFailed)
{
    sourceFailed = false;
    Result result = RefuseUnwritableOutput(output);
    if (!result.ok())
        return result;
    bandRows = std::clamp<size_t>(bandRows, 1, std::max<size_t>(height, 1));
    std::unique_ptr<uint8_t[]> band;
    result = Allocate(bandRows * rowBytes, band, "the band buffer");
    if (!result.ok()) {
        sourceFailed = true;
        return result;
    }
    AtomicFile file;
    // Outputs can be made again from their images: no flush to the disk before the rename.
    result = StartOutput(output, file, layout, height == 0 || rowBytes == 0);
    for (size_t top = 0; result.ok() && top < height; top += bandRows) {
        size_t count = std::min(bandRows, height - top);
        Result read = source(top, count, band.get());
        if (!read.ok()) {
            sourceFailed = true;
            return read;
        }
        result = WriteRows(file, layout, top, count, band.get(), rowBytes);
    }
    if (result.ok())
        result = CommitAtomicWrite(file, false);
    return result;
}

// The input whole in memory.
static Result ReadWholeInput(const InputFile& file, std::unique_ptr<uint8_t[]>& image)
{
    if (file.size > uint64_t(PTRDIFF_MAX))
        return OutOfMemory("the file image");
    Result result = Allocate(size_t(file.size), image, "the file image");
    return result.ok() ? ReadInputFile(file, 0, image.get(), size_t(file.size)) : result;
}

// An SGI image as the band writer reads it: whole in memory, or open on the disk with its first
// bytes (the header, and the row tables of an RLE image) in memory. Reading, unlike a mapping,
// survives another program shortening the file (it ends with error 100), and reading a band at
// a time costs no fresh memory for the whole file.
struct SgiInput {
    const uint8_t* image = nullptr;
    uint64_t length = 0;
    const InputFile* file = nullptr;
    std::vector<uint8_t> tables;
    std::unique_ptr<uint8_t[]> ownImage;  // the file read whole, when a band needed it
};

// The verbatim planes hold each band's rows in one stretch each (bottom row first).
static Result ReadVerbatimBand(const SgiInput& input, const SgiHeader& header, SgiPacking packing, size_t top,
                               size_t count, uint8_t* planes, uint8_t* pixels)
{
    size_t width = header.xSize;
    size_t height = header.ySize;
    size_t stretch = count * width;
    for (unsigned z = 0; z < (packing == AlphaSprite ? 4u : 3u); z++) {
        uint64_t offset = SgiHeaderSize + (uint64_t(z) * height + height - top - count) * width;
        Result read = ReadInputFile(*input.file, offset, planes + z * stretch, stretch);
        if (!read.ok())
            return read;
    }
    for (size_t r = 0; r < count; r++) {
        const uint8_t* row = planes + (count - 1 - r) * width;
        PackSgiRow(row, row + stretch, row + 2 * stretch, row + 3 * stretch, width, packing,
                   pixels + r * width * SgiPixelBytes(packing));
    }
    return {};
}

// Reads the stretches of the file that hold a band's compressed rows, plane by plane, and
// decodes the band from them; decoded false when the rows are not where the tables say, or are
// short or bad. A stretch far longer than a band's rows can be (rows spread over the file) is
// not read: decoded false as well.
static Result ReadRleBand(const SgiInput& input, const SgiHeader& header, SgiPacking packing, size_t top,
                          size_t count, std::vector<uint8_t> (&windows)[4], uint8_t* rows, uint8_t* pixels,
                          bool& decoded)
{
    decoded = false;
    uint64_t longest = 4 * count * (2 * uint64_t(header.xSize) + 2) + 4096;
    SgiRleWindows stretches;
    for (unsigned z = 0; z < (packing == AlphaSprite ? 4u : 3u); z++) {
        uint64_t start = 0, end = 0;
        SgiRleWindow(input.tables.data(), input.tables.size(), header, input.length, z, top, count, start, end);
        if (end - start > longest)
            return {};
        try {
            windows[z].resize(size_t(end - start));
        } catch (const std::bad_alloc&) {
            return OutOfMemory("the band buffer");
        }
        Result read = ReadInputFile(*input.file, start, windows[z].data(), windows[z].size());
        if (!read.ok())
            return read;
        stretches.data[z] = windows[z].data();
        stretches.start[z] = start;
        stretches.length[z] = windows[z].size();
    }
    decoded = DecodeSgiRleBand(input.tables.data(), header, packing, stretches, top, count, pixels, rows);
    return {};
}

static Result ReadWholeSgi(SgiInput& input)
{
    if (input.image)
        return {};
    Result result = ReadWholeInput(*input.file, input.ownImage);
    input.image = input.ownImage.get();
    return result;
}

// Writes an SGI file image that CheckSgiImage accepted. An image with a short or bad RLE
// row is decoded whole in the file's own order from that band on (a short row keeps the
// previous row's tail, and a bad row is reported as the first in the file's order); a bad row
// also outranks a failure of the output.
static Result WriteSgiPicture(const std::string& output, SgiInput& input, const SgiHeader& header,
                              SgiPacking packing, const PictureLayout& layout, size_t bandRows, bool& sourceFailed)
{
    size_t width = header.xSize;
    size_t rowBytes = width * SgiPixelBytes(packing);
    bandRows = std::clamp<size_t>(bandRows, 1, std::max<size_t>(header.ySize, 1));
    bool verbatimFromDisk = !input.image && header.storage == 0;
    std::unique_ptr<uint8_t[]> scratch;
    Result result = Allocate(verbatimFromDisk ? 4 * bandRows * width : SgiBandScratchBytes(header), scratch,
                             "the band buffer");
    if (!result.ok()) {
        sourceFailed = true;
        return result;
    }
    // Bands before the first short or bad row hold only full rows, which decode the same in any
    // order: the picture decoded whole in the file's order serves the bands from there on.
    std::vector<uint8_t> windows[4];
    std::unique_ptr<uint8_t[]> whole;
    BandSource source = [&](size_t top, size_t count, uint8_t* pixels) -> Result {
        if (!whole) {
            bool decoded = false;
            Result read;
            if (verbatimFromDisk)
                return ReadVerbatimBand(input, header, packing, top, count, scratch.get(), pixels);
            if (input.image)
                decoded = DecodeSgiBand(input.image, input.length, header, packing, top, count, pixels, scratch.get());
            else
                read = ReadRleBand(input, header, packing, top, count, windows, scratch.get(), pixels, decoded);
            if (read.ok() && decoded)
                return read;
            size_t bytes = 0;
            if (read.ok() && !SgiPixelBufferSize(header, packing, bytes))
                read = OutOfMemory("the pixel buffer");
            if (read.ok())
                read = ReadWholeSgi(input);
            if (read.ok())
                read = Allocate(bytes, whole, "the pixel buffer");
            if (read.ok())
                read = DecodeSgiImage(input.image, input.length, header, packing, whole.get());
            if (!read.ok())
                return read;
        }
        std::memcpy(pixels, whole.get() + top * rowBytes, count * rowBytes);
        return {};
    };
    result = WritePictureInBands(output, layout, header.ySize, rowBytes, bandRows, source, sourceFailed);
    // The picture is read before its output is made: a bad row in a band not yet reached
    // outranks a failure of the output.
    if (!result.ok() && !sourceFailed && header.storage == 1) {
        Result rows = ReadWholeSgi(input);
        if (rows.ok())
            rows = CheckSgiRows(input.image, input.length, header, packing);
        if (!rows.ok()) {
            sourceFailed = true;
            return rows;
        }
    }
    return result;
}

static Result WritePng(const std::string& output, const PngPicture& picture, SgiPacking packing,
                       const PictureLayout& layout, bool& sourceFailed)
{
    size_t width = picture.width;
    size_t rowBytes = width * SgiPixelBytes(packing);
    BandSource source = [&](size_t top, size_t count, uint8_t* pixels) -> Result {
        for (size_t r = 0; r < count; r++)
            PackRgbaRow(picture.pixels.data() + (top + r) * width * 4, width, packing, pixels + r * rowBytes);
        return {};
    };
    return WritePictureInBands(output, layout, picture.height, rowBytes, BandRowsFor(rowBytes), source, sourceFailed);
}

static uint32_t BigEndian32(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

Result ConvertInput(const Converter& converter, const std::string& input, const std::string& output,
                    std::string& failedFile)
{
    failedFile = input;
    InputFile file;
    Result result = OpenInputFile(input, file);
    return result.ok() ? ConvertOpenInput(converter, file, input, output, failedFile) : result;
}

Result ConvertOpenInput(const Converter& converter, const InputFile& file, const std::string& input,
                        const std::string& output, std::string& failedFile)
{
    failedFile = input;
    uint8_t head[SgiHeaderSize];
    size_t headLength = size_t(std::min<uint64_t>(file.size, SgiHeaderSize));
    Result result = ReadInputFile(file, 0, head, headLength);
    if (!result.ok())
        return result;
    if (IsInput(file, output))
        return Rejected(replacesInput);

    PictureLayout layout;
    bool sourceFailed = true;  // until a writer says otherwise
    if (HasPngSignature(head, headLength)) {
        // A size the output cannot hold is refused before a picture of that size is decoded.
        if (headLength >= 24 && std::memcmp(head + 12, "IHDR", 4) == 0)
            result = converter.layout(BigEndian32(head + 16), BigEndian32(head + 20), layout);
        std::unique_ptr<uint8_t[]> image;
        PngPicture picture;
        if (result.ok())
            result = ReadWholeInput(file, image);
        if (result.ok())
            result = DecodePng(image.get(), size_t(file.size), PngIndices::Expand, picture);
        image.reset();
        if (result.ok())
            result = converter.layout(picture.width, picture.height, layout);
        if (result.ok())
            result = WritePng(output, picture, converter.packing, layout, sourceFailed);
    } else {
        // The header and, for an RLE image, its row tables; the rest stays on the disk.
        SgiInput sgi;
        sgi.file = &file;
        sgi.length = file.size;
        sgi.tables.assign(head, head + headLength);
        if (headLength == SgiHeaderSize && head[2] == 1) {
            uint64_t rows = uint64_t(head[8]) << 8 | head[9];
            sgi.tables.resize(size_t(std::min<uint64_t>(file.size, SgiHeaderSize + 32 * rows)));
            result = ReadInputFile(file, SgiHeaderSize, sgi.tables.data() + SgiHeaderSize,
                                   sgi.tables.size() - SgiHeaderSize);
        }
        SgiHeader header;
        if (result.ok())
            result = CheckSgiImage(sgi.tables.data(), size_t(file.size), header);
        if (result.ok())
            result = converter.layout(header.xSize, header.ySize, layout);
        if (result.ok())
            result = WriteSgiPicture(output, sgi, header, converter.packing, layout,
                                     DefaultBandRows(header, converter.packing), sourceFailed);
    }
    if (!result.ok() && !result.rejected() && !sourceFailed)
        failedFile = output;
    return result;
}

// --decode of one file: its picture as a PNG file.
static Result DecodeToPng(const Converter& converter, const std::string& input, const std::string& output,
                          std::string& failedFile)
{
    failedFile = input;
    InputFile opened;
    std::vector<uint8_t> file;
    Result result = OpenInputFile(input, opened);
    if (result.ok() && opened.size > file.max_size())
        result = OutOfMemory("the file image");
    if (result.ok()) {
        try {
            file.resize(size_t(opened.size));
            result = ReadInputFile(opened, 0, file.data(), file.size());
        } catch (const std::bad_alloc&) {
            result = OutOfMemory("the file image");
        }
    }
    if (!result.ok())
        return result;
    if (IsInput(opened, output))
        return Rejected(replacesInput);
    std::vector<uint8_t> pixels, png;
    PngImageOut image;
    result = converter.decode(file, pixels, image);
    if (result.ok())
        result = EncodePng(image, png);
    if (!result.ok())
        return result;
    failedFile = output;
    result = RefuseUnwritableOutput(output);
    return result.ok() ? WriteFileAtomic(output, png, false) : result;
}

// False when the help or the version was printed. Stops on a wrong command line.
static bool ParseOptions(int argc, char** argv, const Converter& converter, Options& options)
{
    enum { VersionOption = 1000, DecodeOption };
    static const struct option longOptions[] = {
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, VersionOption},
        {"decode", no_argument, nullptr, DecodeOption},
        {"output-dir", required_argument, nullptr, 'o'},
        {"verbose", no_argument, nullptr, 'v'},
        {nullptr, 0, nullptr, 0},
    };
    opterr = 0;  // the messages below name the program and the way to the help
    std::string help = std::string("; ") + converter.program + " --help lists the options";
    for (int option; (option = getopt_long(argc, argv, ":ho:v", longOptions, nullptr)) != -1;) {
        switch (option) {
        case 'h':
            PrintHelp(converter);
            return false;
        case VersionOption:
            PrintVersion();
            return false;
        case DecodeOption:
            options.decode = true;
            break;
        case 'o':
            options.folder = optarg;
            options.hasFolder = true;
            break;
        case 'v':
            options.verbose = true;
            break;
        case ':':
            StopOnFailure(Rejected(std::string("option ") + argv[optind - 1] + " needs a folder" + help), "");
            break;
        default: {
            std::string name = optopt ? std::string("-") + char(optopt) : std::string(argv[optind - 1]);
            StopOnFailure(Rejected("unknown option " + name + help), "");
        }
        }
    }
    options.inputs.assign(argv + optind, argv + argc);
    return true;
}

// Two inputs writing one file, or one writing over another input, would lose work whatever
// the order: refused before anything is written.
static void StopOnCollisions(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs)
{
    std::map<std::string, std::string> folders;
    std::map<std::string, size_t> writers;  // resolved output -> the first input writing it
    for (size_t i = 0; i < inputs.size(); i++) {
        auto [first, fresh] = writers.try_emplace(ResolvedPath(outputs[i], folders), i);
        if (!fresh)
            StopOnFailure(Rejected(inputs[first->second] + " and " + inputs[i] + " would both write " + outputs[i]),
                          "");
    }
    // Only an output that exists already can be an input.
    std::map<std::pair<dev_t, ino_t>, size_t> existing;
    struct stat info;
    for (size_t i = 0; i < outputs.size(); i++)
        if (::stat(outputs[i].c_str(), &info) == 0)
            existing.try_emplace({info.st_dev, info.st_ino}, i);
    for (size_t j = 0; !existing.empty() && j < inputs.size(); j++) {
        auto writer = ::stat(inputs[j].c_str(), &info) == 0 ? existing.find({info.st_dev, info.st_ino}) : existing.end();
        if (writer != existing.end() && writer->second != j)
            StopOnFailure(Rejected(inputs[writer->second] + " would write over " + inputs[j] + ", another input"), "");
    }
}

int RunConverter(int argc, char** argv, const Converter& converter)
{
    SetProgramName(converter.program);
    Options options;
    if (argc < 2 || argv[1][0] == '\0') {
        PrintUsage(converter);
        return 0;
    }
    if (!ParseOptions(argc, argv, converter, options))
        return 0;
    if (options.inputs.empty()) {
        PrintUsage(converter);
        return 0;
    }
    struct stat info;
    if (options.hasFolder && (::stat(options.folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)))
        StopOnFailure(Rejected("not an existing folder"), options.folder);
    const char* extension = options.decode ? ".png" : converter.outputExtension;
    std::vector<std::string> outputs;
    for (const std::string& input : options.inputs)
        outputs.push_back(OutputFor(input, options, extension));
    StopOnCollisions(options.inputs, outputs);

    int status = 0;
    for (size_t i = 0; i < options.inputs.size(); i++) {
        std::string failedFile;
        Result result = options.decode ? DecodeToPng(converter, options.inputs[i], outputs[i], failedFile)
                                       : ConvertInput(converter, options.inputs[i], outputs[i], failedFile);
        if (options.inputs.size() == 1)
            StopOnFailure(result, failedFile);
        if (!result.ok()) {
            int failure = ReportFailure(result, failedFile);
            status = status ? status : failure;
        } else if (options.verbose) {
            std::printf("%s -> %s\n", options.inputs[i].c_str(), outputs[i].c_str());
        }
    }
    return status;
}
