// Where each entity type's data lies: a layout index per type, the stored
// size of its fixed data part, and the text fields that need care when the
// data is packed.
#pragma once
#include "toolkit/ad.h"

#include <cstddef>
#include <cstdint>

// The fixed codes below AD_ENTITY_FIXED_CODE_LIMIT are their own layout (a
// code from there up to 497 has layout 0, no data); the class kinds follow in
// AdEntityKind order.
constexpr int AD_LAYOUT_FIRST_CLASS = AD_ENTITY_FIXED_CODE_LIMIT;
constexpr int AD_LAYOUT_IMAGE = AD_LAYOUT_FIRST_CLASS + AD_KIND_IMAGE - 1;
constexpr int AD_LAYOUT_WIPEOUT = AD_LAYOUT_FIRST_CLASS + AD_KIND_WIPEOUT - 1;
constexpr int AD_LAYOUT_PROXY = AD_LAYOUT_FIRST_CLASS + AD_KIND_PROXY - 1;
constexpr int AD_LAYOUT_COUNT = AD_LAYOUT_PROXY + 1;

int adEntityLayout(const AdDrawing* drawing, std::uint16_t type);
std::int32_t adEntityLayoutSize(int layout);

// The stored sizes of the class layouts, which are told apart in a packed
// record (that carries no drawing) by their size alone: 1 when size is one
// of them.
int adEntityClassSizeValid(std::int32_t size);

// VERTEX short forms: the x and y alone, or the point and the flags.
constexpr std::int32_t AD_VERTEX_SHORT_SIZE = 2 * sizeof(double);
constexpr std::int32_t AD_VERTEX_MEDIUM_SIZE = offsetof(AdVertexData, startWidth);

std::int32_t adVertexStoredSize(const AdVertexData* vertex);
// Sets what a short form left out; the size is one the vertex may have.
void adVertexRestore(AdVertexData* vertex, std::int32_t size);
int adVertexSizeValid(std::int32_t size);

// The largest stored data of any type, texts included, and the longest
// optional part with its tail: thickness, color, extrusion, xdata, linetype
// scale, spare word, reactors, extension dictionary and plot style, then
// lineweight, handle lengths, layer and linetype and the data size.
constexpr std::size_t AD_ENTITY_DATA_MAX = sizeof(AdEntityData);
constexpr std::size_t AD_PACKED_OPTIONAL_MAX = 8 + 2 + 24 + sizeof(AdStore*) + 8 + 4 + 4 + sizeof(AdStore*) +
                                               2 * (1 + sizeof(AdHandle)) + 2 + 1 + 2 * sizeof(AdHandle) + 2;

// Writes the stored form of the data (the fixed part with its texts cut to
// their fields, then the texts that follow it); answers its size.
std::int32_t adEntityTextsPack(int layout, const std::uint8_t* data, std::uint8_t* out, std::int32_t fixedSize);
// The most bytes the texts that follow a layout's fixed part may take; 0 for
// a layout without such texts.
std::int32_t adEntityTextsRoom(int layout);
// For a layout with such texts: checks that the size bytes of data hold the fixed part
// and exactly its texts, each terminated within its field, and moves the
// texts back to their fields; 0 when they do not.
int adEntityTextsUnpack(int layout, std::uint8_t* data, std::int32_t size, std::int32_t fixedSize);
