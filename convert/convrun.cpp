#include "convert/convrun.h"

#include <cstdio>

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

void ReadInputOrStop(const std::string& input, std::vector<uint8_t>& file)
{
    FileStatus status = ReadWholeFile(input, file);
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

void ReleaseFileImage(std::vector<uint8_t>& file)
{
    std::vector<uint8_t>().swap(file);
}

void WriteOutputOrStop(const std::string& output, const uint8_t* data, size_t size)
{
    FileStatus status = WriteFileAtomic(output, data, size);
    if (!status.ok())
        RunError(status.code, output, status.reason);
}
