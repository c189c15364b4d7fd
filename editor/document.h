// The sprite being edited and its file: five header bytes (width, height, originX, originY,
// keyColour), then width x height cells row by row. The same layout serves pack sprites.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "util/files.h"

enum : int32_t {
    DocumentGrid = 256,  // cells kept for the whole run, whatever the sprite's size
    DocumentHeaderSize = 5,
    FreshDocumentSize = 16,
};

struct SpriteDocument {
    uint8_t width;
    uint8_t height;
    // Plain integers, kept in 0..size-1 by the normalisation after each frame's keys; read from
    // the file as unsigned bytes.
    int32_t originX;
    int32_t originY;
    uint8_t keyColour;
    // cells[y][x]. Cells outside width x height keep their values, so a sprite that shrinks
    // and grows again shows them unchanged.
    uint8_t cells[DocumentGrid][DocumentGrid];
};

// 16 x 16, origin (0, 0), key colour 0, every cell 0.
void ResetDocument(SpriteDocument& document);

// Takes the header and cells from a file image when it holds them all (bytes after the last
// cell are ignored); else fails with 100 (the file ended early), leaving the document untouched.
Result DecodeDocument(const uint8_t* data, size_t size, SpriteDocument& document);

// The file image of the document: header and the width x height visible cells.
std::vector<uint8_t> EncodeDocument(const SpriteDocument& document);

// What reading found out about the file, for deciding later what a save must keep.
struct DocumentSource {
    bool existed = false;   // false: a new document, created at exit
    bool readOnly = false;  // the file or its folder may not be written: a save will fail
    // The whole file as read when it holds bytes after the last cell (a hi-colour sprite's
    // picture, say), else empty: the first save that replaces the file keeps these beside it.
    std::vector<uint8_t> withExtraBytes;
};

// The sprite layout leaves no signature to refuse other files by; these are the ones a slip of
// the tab key brings (a PNG, an SGI image). Returns what the file is, or nullptr.
const char* ForeignImageKind(const uint8_t* data, size_t size);

// Reads the document named path. A file that does not exist, or is empty, leaves the document
// fresh (a missing one is created at exit). Otherwise fails, and the editor stops before its
// window opens: the OS error code for a file that cannot be read or a missing file whose folder
// is missing too, 100 for one that ends early, a rejection for a PNG or SGI image. source is
// set only on success.
Result ReadDocument(const std::string& path, SpriteDocument& document, DocumentSource* source = nullptr);

// Sizes of 0 become 1 and the origin wraps into the sprite, as after each frame's keys.
void NormaliseHeader(SpriteDocument& document);

// The file image of the document as the next frame's normalisation leaves it: what a save
// writes, and what tells an edited document from the one read.
std::vector<uint8_t> EncodeNormalised(const SpriteDocument& document);

// Writes the document atomically: a failure leaves the existing file as it was. A file
// without any write permission is not replaced (EACCES). A symbolic link is followed, so the
// file it names is replaced and the link stays (as every atomic write does).
Result WriteDocument(const std::string& path, const SpriteDocument& document);
// The same for a file image already made.
Result WriteDocumentImage(const std::string& path, const std::vector<uint8_t>& image);

// Writes the document to a recovery file, next to path when that folder takes it, else in the
// temporary folder. Returns the recovery file's path, or "" when no place took it.
std::string WriteRecoveryFile(const std::string& path, const SpriteDocument& document);
