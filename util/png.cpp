#include "util/png.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

// libpng reports an error by calling our handler, which must not return: it jumps back to the
// setjmp of the call in progress. C++ objects with destructors must therefore not live in any
// frame the jump crosses; everything a decode or encode owns sits in one state record created
// before the setjmp, and the handlers keep their message in a fixed buffer (no allocation).
namespace {

struct PngState {
    char reason[256] = {};
    char warning[128] = {};
    bool outOfMemory = false;
    // Reading
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t at = 0;
    PngPicture* picture = nullptr;
    std::vector<png_bytep> rows;
    // Writing
    std::vector<uint8_t>* file = nullptr;
};

// Palettes are copied in and out as they are laid out in PLTE: three bytes an entry.
static_assert(sizeof(png_color) == 3, "png_color is not three bytes");

const png_byte GrabName[5] = {'g', 'r', 'A', 'b', 0};
enum : size_t { GrabSize = 8 };

// Deflate never expands data more than 1032 times, so a file claiming more pixel bytes than
// that is refused before a buffer for them is taken (a 40-byte file cannot make us ask for
// gigabytes). Files written by any encoder stay far inside this bound.
enum : uint64_t { InflateMaxRatio = 1032, InflateSlack = 65536 };

void SetReason(PngState& state, const char* message)
{
    if (!state.reason[0])
        std::snprintf(state.reason, sizeof state.reason, "%s", message && *message ? message : "libpng failed");
}

PngState& StateOf(png_structp png)
{
    return *static_cast<PngState*>(png_get_error_ptr(png));
}

void OnError(png_structp png, png_const_charp message)
{
    PngState& state = StateOf(png);
    // A bad header is detailed in the warnings just before ("Image width exceeds user limit").
    if (message && std::strcmp(message, "Invalid IHDR data") == 0 && state.warning[0]) {
        char detailed[sizeof state.reason];
        std::snprintf(detailed, sizeof detailed, "%s: %s", message, state.warning);
        SetReason(state, detailed);
    }
    SetReason(state, message);
    png_longjmp(png, 1);
}

// libpng's warnings are about things it has already mended or skipped: never printed, only kept
// for an error that follows.
void OnWarning(png_structp png, png_const_charp message)
{
    PngState& state = StateOf(png);
    if (message)
        std::snprintf(state.warning, sizeof state.warning, "%s", message);
}

png_voidp OnMalloc(png_structp png, png_alloc_size_t size)
{
    void* block = std::malloc(size);
    if (!block)
        static_cast<PngState*>(png_get_mem_ptr(png))->outOfMemory = true;
    return block;
}

void OnFree(png_structp, png_voidp block)
{
    std::free(block);
}

void OnRead(png_structp png, png_bytep out, png_size_t length)
{
    PngState& state = *static_cast<PngState*>(png_get_io_ptr(png));
    if (length > state.size - state.at)
        png_error(png, "the file is cut short");
    std::memcpy(out, state.data + state.at, length);
    state.at += length;
}

int32_t BigEndian32(const uint8_t* p)
{
    return int32_t(uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]));
}

int OnUnknownChunk(png_structp png, png_unknown_chunkp chunk)
{
    if (std::memcmp(chunk->name, GrabName, 4) != 0)
        return 0;  // libpng's default: an unknown ancillary chunk is skipped
    PngState& state = *static_cast<PngState*>(png_get_user_chunk_ptr(png));
    if (chunk->size != GrabSize) {
        std::snprintf(state.reason, sizeof state.reason, "the grAb chunk holds %zu bytes instead of 8",
                      size_t(chunk->size));
        return -1;
    }
    state.picture->hasGrab = true;
    state.picture->grabX = BigEndian32(chunk->data);
    state.picture->grabY = BigEndian32(chunk->data + 4);
    return 1;
}

Result OutOfMemory(const char* what)
{
    return Failed(RunErrorOutOfMemory, std::string("out of memory for ") + what);
}

// Sets up the transformations and reads the picture (only its size when headerOnly). False on
// any failure, with the reason in state. Locals changed after the setjmp are not read after the
// jump.
bool ReadPicture(png_structp png, png_infop info, PngIndices indices, bool headerOnly, PngState& state)
{
    PngPicture& picture = *state.picture;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &state, OnRead);
    // A damaged ancillary chunk (tRNS, grAb) would otherwise be dropped with a warning and the
    // picture read differently from what was written.
    png_set_crc_action(png, PNG_CRC_DEFAULT, PNG_CRC_ERROR_QUIT);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, GrabName, 1);
    png_set_read_user_chunk_fn(png, &state, OnUnknownChunk);
    png_read_info(png, info);

    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    int colourType = png_get_color_type(png, info);
    int bitDepth = png_get_bit_depth(png, info);
    if (headerOnly) {
        picture.width = width;
        picture.height = height;
        return true;
    }
    uint64_t packedBits = uint64_t(width) * png_get_channels(png, info) * uint64_t(bitDepth);
    uint64_t packedBytes = (packedBits + 7) / 8 * height;
    if (packedBytes > InflateMaxRatio * state.size + InflateSlack) {
        std::snprintf(state.reason, sizeof state.reason, "the file is too small to hold a %ux%u picture",
                      unsigned(width), unsigned(height));
        return false;
    }

    bool keep = indices == PngIndices::Keep && colourType == PNG_COLOR_TYPE_PALETTE;
    size_t channels = 1;
    if (keep) {
        png_set_packing(png);  // one index a byte, values untouched
        picture.indexed = true;
    } else {
        // Palette to RGB, grey to 8 bits, tRNS to alpha: the tRNS colour is compared before
        // 16-bit samples lose their low byte.
        png_set_expand(png);
        png_set_strip_16(png);  // the high byte, not a rounded scale
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);  // only where there is no alpha yet
        channels = 4;
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * channels) {
        SetReason(state, "libpng gave rows of an unexpected length");
        return false;
    }
    size_t rowBytes = size_t(width) * channels;
    png_colorp entries = nullptr;
    int count = 0;
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    try {
        if (keep && png_get_PLTE(png, info, &entries, &count) && count > 0)
            picture.palette.assign(&entries[0].red, &entries[0].red + 3 * size_t(count));
        if (keep && png_get_tRNS(png, info, &alphas, &alphaCount, nullptr) && alphas && alphaCount > 0)
            picture.paletteAlpha.assign(alphas, alphas + alphaCount);
        picture.pixels.resize(rowBytes * height);
        state.rows.resize(height);
    } catch (const std::bad_alloc&) {
        state.outOfMemory = true;
        SetReason(state, "out of memory");
        return false;
    }
    for (size_t y = 0; y < height; y++)
        state.rows[y] = picture.pixels.data() + y * rowBytes;
    png_read_image(png, state.rows.data());
    png_read_end(png, info);  // the chunks after the image, checked as well
    picture.width = width;
    picture.height = height;
    return true;
}

void OnWrite(png_structp png, png_bytep data, png_size_t length)
{
    PngState& state = *static_cast<PngState*>(png_get_io_ptr(png));
    try {
        state.file->insert(state.file->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        state.outOfMemory = true;
    }
    if (state.outOfMemory)
        png_error(png, "out of memory");
}

void OnFlush(png_structp) {}

void PutBigEndian32(uint8_t* p, int32_t value)
{
    uint32_t v = uint32_t(value);
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

bool WritePicture(png_structp png, png_infop info, const PngImageOut& image, PngState& state)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &state, OnWrite, OnFlush);
    int colourType = image.colour == PngColour::Indexed ? PNG_COLOR_TYPE_PALETTE
                     : image.colour == PngColour::Rgb   ? PNG_COLOR_TYPE_RGB
                                                        : PNG_COLOR_TYPE_RGBA;
    png_set_IHDR(png, info, image.width, image.height, 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (image.colour == PngColour::Indexed) {
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(image.palette.data()),
                     int(image.palette.size() / 3));
        if (!image.paletteAlpha.empty())
            png_set_tRNS(png, info, image.paletteAlpha.data(), int(image.paletteAlpha.size()), nullptr);
    }
    uint8_t grab[GrabSize];
    if (image.hasGrab) {
        PutBigEndian32(grab, image.grabX);
        PutBigEndian32(grab + 4, image.grabY);
        png_unknown_chunk chunk;
        std::memset(&chunk, 0, sizeof chunk);
        std::memcpy(chunk.name, GrabName, sizeof chunk.name);
        chunk.data = grab;
        chunk.size = GrabSize;
        chunk.location = PNG_HAVE_PLTE;  // before the image data, where readers look for it
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, GrabName, 1);
        png_set_unknown_chunks(png, info, &chunk, 1);
    }
    png_write_info(png, info);
    size_t rowBytes = size_t(image.width) * (image.colour == PngColour::Indexed ? 1
                                             : image.colour == PngColour::Rgb   ? 3
                                                                                : 4);
    for (size_t y = 0; y < image.height; y++)
        png_write_row(png, image.pixels + y * rowBytes);
    png_write_end(png, info);
    return true;
}

}  // namespace

bool HasPngSignature(const uint8_t* data, size_t size)
{
    return size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

static Result Decode(const uint8_t* data, size_t size, PngIndices indices, bool headerOnly, PngPicture& picture)
{
    picture = PngPicture();
    if (!HasPngSignature(data, size))
        return Rejected(size < 8 && size > 0 && png_sig_cmp(data, 0, size) == 0 ? "the file is cut short"
                                                                                 : "not a PNG file");
    PngState state;
    state.data = data;
    state.size = size;
    state.picture = &picture;
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning, &state, OnMalloc,
                                               OnFree);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool started = info != nullptr;
    bool done = started && ReadPicture(png, info, indices, headerOnly, state);
    if (png)
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (done)
        return Result();
    picture = PngPicture();
    if (state.outOfMemory || !started)
        return OutOfMemory("the PNG picture");
    return Rejected(state.reason[0] ? state.reason : "libpng failed");
}

Result DecodePng(const uint8_t* data, size_t size, PngIndices indices, PngPicture& picture)
{
    return Decode(data, size, indices, false, picture);
}

Result ReadPngSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height)
{
    PngPicture picture;
    Result result = Decode(data, size, PngIndices::Keep, true, picture);
    width = picture.width;
    height = picture.height;
    return result;
}

Result EncodePng(const PngImageOut& image, std::vector<uint8_t>& file)
{
    file.clear();
    if (image.width == 0 || image.height == 0 || image.width > PNG_UINT_31_MAX || image.height > PNG_UINT_31_MAX)
        return Rejected("a PNG picture is 1 to 2147483647 pixels in each dimension");
    if (!image.pixels)
        return Rejected("no pixels to write");
    if (image.colour == PngColour::Indexed &&
        (image.palette.empty() || image.palette.size() % 3 != 0 || image.palette.size() > 3 * 256 ||
         image.paletteAlpha.size() > image.palette.size() / 3))
        return Rejected("a PNG palette is 1 to 256 entries of 3 bytes, with at most one alpha for each");
    PngState state;
    state.file = &file;
    png_structp png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning, &state, OnMalloc,
                                                OnFree);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool started = info != nullptr;
    bool done = started && WritePicture(png, info, image, state);
    if (png)
        png_destroy_write_struct(&png, info ? &info : nullptr);
    if (done)
        return Result();
    file.clear();
    if (state.outOfMemory || !started)
        return OutOfMemory("the PNG file");
    return Rejected(state.reason[0] ? state.reason : "libpng failed");
}
