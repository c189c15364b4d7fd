// The PNG reader (libpng behind our own guards) and the sprite import on arbitrary files.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/pngdoc.h"
#include "util/png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (PngIndices indices : {PngIndices::Keep, PngIndices::Expand}) {
        PngPicture picture;
        Result result = DecodePng(data, size, indices, picture);
        size_t pixelBytes = picture.indexed ? 1 : 4;
        if (result.ok() ? picture.pixels.size() != size_t(picture.width) * picture.height * pixelBytes
                        : picture.width != 0 || !picture.pixels.empty())
            __builtin_trap();
    }
    static uint8_t palette[PaletteSize];
    static SpriteDocument document, again;
    PngImportNotes notes;
    if (!DecodeDocumentPng(data, size, palette, document, notes).ok())
        return 0;
    if (document.originX < 0 || document.originX >= document.width || document.originY < 0 ||
        document.originY >= document.height)
        __builtin_trap();
    // Whatever was imported comes back unchanged through an export.
    std::vector<uint8_t> file;
    if (!EncodeDocumentPng(document, palette, file).ok() ||
        !DecodeDocumentPng(file.data(), file.size(), palette, again, notes).ok() ||
        EncodeDocument(document) != EncodeDocument(again))
        __builtin_trap();
    return 0;
}
