// What the font manager's files share: bounded reads of a shape file, the
// parsing of its header and index, one font's release, the exact shape
// lookup and the failed-font ring.
#pragma once
#include "toolkit/ad.h"

// An open shape file and its length; every read is checked against it.
struct AdShxFile {
    HostFile* file;
    std::int64_t length;
};

// Reads count bytes at offset; 0 when they do not all lie in the file.
int adShxReadAt(const AdShxFile* shx, std::int64_t offset, void* buffer, std::int32_t count);
// Reads count little-endian 16-bit words at offset.
int adShxReadWords(const AdShxFile* shx, std::int64_t offset, std::int16_t* words, std::int32_t count);

// The kind of a shape file (AD_FONT_SHAPES_10, _11, AD_FONT_BIGFONT,
// AD_FONT_UNIFONT) from its signature, with the offset after the signature's
// 0x1A; 0 when the signature is not one of them.
std::uint8_t adShxClassify(const AdShxFile* shx, std::int32_t* headerStart);

// The readers of a shape file's tables answer 1, 0 when the file is cut
// short or malformed, and this when memory ran out (the error is set).
constexpr int AD_SHX_NO_MEMORY = -1;

// Builds the sorted shape index of a shapes 1.x file or a unifont (offsets are
// file offsets; a shape whose bytes are not all in the file is left out) and
// the header words (267, 268).
int adShxReadIndex(const AdShxFile* shx, std::int32_t headerStart, AdFont* font);
// Reads a bigfont's header, escape ranges and hashed index, and copies its
// shape data into a store with an open read stream (270, 293). The stream
// position is left at the font information (-1 when there is none).
int adShxReadBigFont(const AdShxFile* shx, std::int32_t headerStart, AdFont* font);

// Frees a font: its page table and record, and unless the index and page
// data are the init data's (the built-in fonts), those and its bigfont
// tables and stream.
void adFontRelease(AdFont* font, bool ownsTables);

// A zeroed font record (293 when memory runs out).
AdFont* adFontCreate();

// Positions the font's reader at the shape with exactly this number; 0 when
// the font has none. A bigfont is searched through its hashed index.
int adFontSeekCode(AdFont* font, std::uint32_t code);

// Reads the font information shape (number 0) into above, below and modes.
void adFontReadInfo(AdFont* font);

// The failed-font ring: 1 when the name is among the remembered failures
// (ignoring ASCII case); remembering writes over the oldest of five.
int adFontFailedBefore(const AdDrawing* drawing, const char* name);
void adFontRememberFailure(AdDrawing* drawing, const char* name);

// 1 when the name asks for a TrueType face (".ttf", ".ttc" or the bold option).
int adFontNamesTrueType(const char* name);
// Reads the "|b", "|i", "|c", "|p" options of a font name into the face
// parameters (a name with '|' starts from 0) and cuts the name at its first
// '|' when any option was read.
void adFontNameOptions(char* name, std::int32_t* faceParameters);
// Asks the host's TrueType face resolver for a face; 1 when it named one.
// Nothing is resolved unless both the resolver and the display engine's
// glyph slot are set.
int adFontResolveTrueType(const char* name, const char* face, std::int32_t faceParameters, AdFontRequest* request);
