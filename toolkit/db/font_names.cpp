// Names: the ring of font names that failed, and the SHAPE names that
// shape files give their shape numbers.
#include "toolkit/db/font_files.h"

#include <cstring>
#include <iterator>

namespace {

using ShapeName = AdDrawing::AdShapeNameEntry;

// A STYLE's shape file opened with its index read; both are released when
// it goes.
struct ShapeIndex {
    AdShxFile shx{nullptr, 0};
    AdFont font{};
    ~ShapeIndex() {
        HostFree(font.index);
        if (shx.file) HostClose(shx.file);
    }
};

bool hasExtension(const char* name, const char* extension) {
    const std::size_t length = std::strlen(name);
    return length >= 4 && adStrCompareNoCase(name + length - 4, extension) == 0;
}

// The style's primary font file, found and opened with its index read: only
// shape files (STYLE flag 1) and not TrueType files.
int openStyleShapes(AdDrawing* drawing, const AdStyleRecord& style, ShapeIndex* shapes) {
    if (!(style.flags & 1) || hasExtension(style.fontFile, ".ttf")) return 0;
    char name[AD_PATH_SIZE];
    const void* terminator = std::memchr(style.fontFile, '\0', sizeof style.fontFile);
    if (!terminator) return 0;
    const auto length = static_cast<std::size_t>(static_cast<const char*>(terminator) - style.fontFile);
    if (length == 0 || length + 5 > sizeof name) return 0;
    std::memcpy(name, style.fontFile, length);
    name[length] = '\0';
    if (!(length >= 4 && name[length - 4] == '.')) std::memcpy(name + length, ".shx", 5);
    char path[AD_PATH_SIZE] = "";
    if (adGlobals->hooks.fileFinder) adGlobals->hooks.fileFinder(name, path, drawing->userData);
    else std::memcpy(path, name, std::strlen(name) + 1);
    path[sizeof path - 1] = '\0';
    shapes->shx.file = HostOpenRead(path);
    if (!shapes->shx.file) return 0;
    shapes->shx.length = HostFileLength(shapes->shx.file);
    std::int32_t headerStart = 0;
    shapes->font.kind = adShxClassify(&shapes->shx, &headerStart);
    if (!(shapes->font.kind & (AD_FONT_SHAPES_10 | AD_FONT_SHAPES_11 | AD_FONT_UNIFONT))) return 0;
    return adShxReadIndex(&shapes->shx, headerStart, &shapes->font) == 1;
}

// A shape's name: up to 31 characters, ended by NUL or a line end.
void readShapeName(const AdShxFile* shx, std::uint32_t offset, char name[AD_SHAPE_NAME_SIZE]) {
    std::int32_t n = 0;
    for (; n < static_cast<std::int32_t>(AD_SHAPE_NAME_SIZE) - 1; ++n) {
        std::uint8_t c = 0;
        if (!adShxReadAt(shx, static_cast<std::int64_t>(offset) + n, &c, 1) || c == 0 || c == '\r' || c == '\n')
            break;
        name[n] = static_cast<char>(c);
    }
    name[n] = '\0';
}

void remember(AdDrawing* drawing, const AdHandle& style, std::int16_t number, const char* name, bool wrap) {
    const auto capacity = static_cast<std::int16_t>(std::size(drawing->shapeNames));
    std::int16_t slot = drawing->shapeNameCount;
    if (slot >= capacity) {
        if (!wrap) return;
        slot = drawing->shapeNameNext;
        drawing->shapeNameNext = static_cast<std::int16_t>((slot + 1) % capacity);
    } else {
        ++drawing->shapeNameCount;
    }
    ShapeName& entry = drawing->shapeNames[slot];
    entry.style = style;
    entry.number = number;
    std::memcpy(entry.name, name, std::strlen(name) + 1);
}

}  // namespace

int adFontFailedBefore(const AdDrawing* drawing, const char* name) {
    for (std::int16_t i = 0; i < drawing->failedFontCount && i < static_cast<std::int16_t>(std::size(drawing->failedFonts)); ++i)
        if (adStrCompareNoCase(drawing->failedFonts[i], name) == 0) return 1;
    return 0;
}

void adFontRememberFailure(AdDrawing* drawing, const char* name) {
    const auto capacity = static_cast<std::int16_t>(std::size(drawing->failedFonts));
    const std::size_t length = std::strlen(name);
    if (length >= sizeof drawing->failedFonts[0] || drawing->failedFontNext < 0 || drawing->failedFontNext >= capacity)
        return;
    std::memcpy(drawing->failedFonts[drawing->failedFontNext], name, length + 1);
    drawing->failedFontNext = static_cast<std::int16_t>((drawing->failedFontNext + 1) % capacity);
    if (drawing->failedFontCount < capacity) ++drawing->failedFontCount;
}

int adShapeNameFromFile(AdDrawing* drawing, const AdHandle* style, std::int16_t number,
                        char name[AD_SHAPE_NAME_SIZE]) {
    if (!drawing || !style || !name || !adGlobals) return 0;
    for (std::int16_t i = 0; i < drawing->shapeNameCount; ++i) {
        const ShapeName& entry = drawing->shapeNames[i];
        if (entry.number == number && adHandleCompare(&entry.style, style) == 0) {
            std::memcpy(name, entry.name, AD_SHAPE_NAME_SIZE);
            return 1;
        }
    }
    AdStyleRecord record;
    ShapeIndex shapes;
    if (!adStyleByHandle(drawing, style, &record) || !openStyleShapes(drawing, record, &shapes) ||
        !adFontSeekCode(&shapes.font, static_cast<std::uint16_t>(number)))
        return 0;
    const std::uint32_t offset = static_cast<std::uint32_t>(shapes.font.readPage) << 13 |
                                 static_cast<std::uint32_t>(shapes.font.readOffset);
    readShapeName(&shapes.shx, offset, name);
    remember(drawing, *style, number, name, false);
    return 1;
}

int adShapeNumberFromName(AdDrawing* drawing, const char* name, AdHandle* style, std::int16_t* number) {
    if (!drawing || !name || !style || !number || !adGlobals) return 0;
    for (std::int16_t i = 0; i < drawing->shapeNameCount; ++i) {
        const ShapeName& entry = drawing->shapeNames[i];
        if (std::strcmp(entry.name, name) == 0) {
            *style = entry.style;
            *number = entry.number;
            return 1;
        }
    }
    AdStyleRecord record;
    const std::int32_t styles = adStyleCount(drawing);
    adStyleRewind(drawing);
    for (std::int32_t s = 0; s < styles && adStyleNext(drawing, &record); ++s) {
        ShapeIndex shapes;
        if (!openStyleShapes(drawing, record, &shapes)) continue;
        for (std::int32_t i = 0; i < shapes.font.indexCount; ++i) {
            char candidate[AD_SHAPE_NAME_SIZE];
            readShapeName(&shapes.shx, shapes.font.index[i].offset, candidate);
            if (std::strcmp(candidate, name) != 0) continue;
            *style = record.handle;
            *number = static_cast<std::int16_t>(shapes.font.index[i].number);
            remember(drawing, *style, *number, candidate, true);
            return 1;
        }
    }
    return 0;
}
