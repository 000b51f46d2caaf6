// Text fields of entity data. Some types keep their texts inside the fixed
// part and store them whole; others store only the used part of each text,
// one after the other behind the fixed part. Either way a text is cut to its
// field on the way in, so a packed record never holds an unterminated text.
#include "toolkit/db/entity_layout.h"

#include <algorithm>
#include <cstring>

namespace {

struct TextField {
    std::uint16_t offset;  // in AdEntityData
    std::uint16_t size;
};

constexpr int kMaxFields = 3;

struct LayoutTexts {
    int layout;
    bool appended;  // stored behind the fixed part rather than in it
    int count;
    TextField fields[kMaxFields];
};

constexpr int kArcAlignedText = AD_LAYOUT_FIRST_CLASS + AD_KIND_ARCALIGNEDTEXT - 1;
constexpr int kRtext = AD_LAYOUT_FIRST_CLASS + AD_KIND_RTEXT - 1;
constexpr int kHatch = AD_LAYOUT_FIRST_CLASS + AD_KIND_HATCH - 1;

constexpr LayoutTexts kTexts[] = {
    {AD_ENTITY_TEXT, true, 1, {{offsetof(AdTextData, text), AD_ENTITY_TEXT_SIZE}}},
    {AD_ENTITY_ATTDEF,
     true,
     3,
     {{offsetof(AdAttdefData, prompt), AD_ATTRIBUTE_TEXT_SIZE},
      {offsetof(AdAttdefData, tag), AD_ATTRIBUTE_TEXT_SIZE},
      {offsetof(AdAttdefData, defaultValue), AD_ATTRIBUTE_TEXT_SIZE}}},
    {AD_ENTITY_ATTRIB,
     true,
     2,
     {{offsetof(AdAttribData, tag), AD_ATTRIBUTE_TEXT_SIZE}, {offsetof(AdAttribData, value), AD_ATTRIBUTE_VALUE_SIZE}}},
    {AD_ENTITY_DIMENSION, true, 1, {{offsetof(AdDimensionData, text), AD_DIMENSION_TEXT_SIZE}}},
    {AD_ENTITY_MTEXT, true, 1, {{offsetof(AdMtextData, text), AD_MTEXT_INLINE_SIZE}}},
    {AD_ENTITY_TOLERANCE, true, 1, {{offsetof(AdToleranceData, text), AD_TOLERANCE_TEXT_SIZE}}},
    {AD_ENTITY_BLOCK,
     false,
     2,
     {{offsetof(AdBlockData, name), AD_ENTITY_NAME_SIZE}, {offsetof(AdBlockData, xrefPath), AD_ENTITY_NAME_SIZE}}},
    {AD_ENTITY_VIEWPORT, false, 1, {{offsetof(AdViewportData, styleSheet), AD_ENTITY_NAME_SIZE}}},
    {kHatch, false, 1, {{offsetof(AdHatchData, patternName), AD_ENTITY_NAME_SIZE}}},
    {kRtext, false, 1, {{offsetof(AdRtextData, text), AD_RTEXT_TEXT_SIZE}}},
    {kArcAlignedText,
     false,
     3,
     {{offsetof(AdArcAlignedTextData, text), AD_ARC_TEXT_SIZE},
      {offsetof(AdArcAlignedTextData, fontFile), AD_ENTITY_NAME_SIZE},
      {offsetof(AdArcAlignedTextData, bigFontFile), AD_ENTITY_NAME_SIZE}}},
};

// Appended texts start at the first field, right after the fixed part, and
// the fields lie in their stored order; that is what lets a packed text
// never land beyond its own field.
constexpr bool appendedTextsInOrder() {
    for (const LayoutTexts& t : kTexts) {
        if (!t.appended) continue;
        std::size_t end = t.fields[0].offset;
        for (int i = 0; i < t.count; ++i) {
            if (t.fields[i].offset != end) return false;
            end += t.fields[i].size;
        }
        if (end > sizeof(AdEntityData)) return false;
    }
    return true;
}
static_assert(appendedTextsInOrder(), "appended texts follow one another from the fixed part on");

const LayoutTexts* textsOf(int layout) {
    for (const LayoutTexts& t : kTexts)
        if (t.layout == layout) return &t;
    return nullptr;
}

// Bytes before the terminator, at most limit.
std::size_t textLength(const std::uint8_t* text, std::size_t limit) {
    const void* end = std::memchr(text, '\0', limit);
    return end ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - text) : limit;
}

}  // namespace

std::int32_t adEntityTextsRoom(int layout) {
    const LayoutTexts* texts = textsOf(layout);
    std::int32_t room = 0;
    if (texts && texts->appended)
        for (int i = 0; i < texts->count; ++i) room += texts->fields[i].size;
    return room;
}

std::int32_t adEntityTextsPack(int layout, const std::uint8_t* data, std::uint8_t* out, std::int32_t fixedSize) {
    if (fixedSize > 0) std::memcpy(out, data, static_cast<std::size_t>(fixedSize));
    const LayoutTexts* texts = textsOf(layout);
    if (!texts) return fixedSize;
    if (!texts->appended) {
        for (int i = 0; i < texts->count; ++i) out[texts->fields[i].offset + texts->fields[i].size - 1] = '\0';
        return fixedSize;
    }
    std::int32_t at = fixedSize;
    for (int i = 0; i < texts->count; ++i) {
        const TextField& f = texts->fields[i];
        const std::size_t n = textLength(data + f.offset, f.size - 1u);
        std::memcpy(out + at, data + f.offset, n);
        out[at + static_cast<std::int32_t>(n)] = '\0';
        at += static_cast<std::int32_t>(n) + 1;
    }
    return at;
}

int adEntityTextsUnpack(int layout, std::uint8_t* data, std::int32_t size, std::int32_t fixedSize) {
    const LayoutTexts* texts = textsOf(layout);
    if (!texts || !texts->appended || size < fixedSize) return 0;
    std::int32_t starts[kMaxFields];
    std::int32_t lengths[kMaxFields];
    std::int32_t at = fixedSize;
    for (int i = 0; i < texts->count; ++i) {
        const std::int32_t room = std::min<std::int32_t>(size - at, texts->fields[i].size);
        if (room <= 0) return 0;
        const std::size_t n = textLength(data + at, static_cast<std::size_t>(room));
        if (n == static_cast<std::size_t>(room)) return 0;
        starts[i] = at;
        lengths[i] = static_cast<std::int32_t>(n) + 1;
        at += lengths[i];
    }
    if (at != size) return 0;
    // Later texts first: each moves towards the end of the data, over bytes
    // whose texts have already gone to their places.
    for (int i = texts->count - 1; i > 0; --i)
        std::memmove(data + texts->fields[i].offset, data + starts[i], static_cast<std::size_t>(lengths[i]));
    return 1;
}
