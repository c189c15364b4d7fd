// The editor's document reader, and the round trip of what it accepts.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "editor/document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SpriteDocument document;
    ResetDocument(document);
    if (!DecodeDocument(data, size, document).ok())
        return 0;
    std::vector<uint8_t> encoded = EncodeDocument(document);
    // What was read is written back byte for byte (sizes of 0 are raised only by the editor).
    size_t expected = 5 + size_t(data[0]) * data[1];
    if (encoded.size() != expected || std::memcmp(encoded.data(), data, expected) != 0)
        __builtin_trap();
    return 0;
}
