// Arbitrary bytes as a shape file: whatever loads as a shape font, big font
// or unifont has every shape it indexes interpreted, in horizontal and
// vertical text with under- and overlines, and a string of escapes and
// special characters walked over it, measuring the strokes. Shapes that
// recurse, overflow the position stack, divide by zero or run off the data
// must end their character and nothing else.
#include "fuzz/fuzz_drawing.h"
#include "toolkit/display/glyphs.h"

namespace {

// The strokes go into a box of their own, so that each is used.
void measureLine(AdDrawing*, double start[3], double end[3], const AdMatrix4*, const AdMatrix4*,
                 const AdLtypeRecord*, AdDrawing*, AdWideSegment*, std::int32_t, double) {
    static double box[6];
    static const AdArcBox strokes{box, &adIdentityMatrix};
    adGrowExtents(start, end, &strokes);
}

void interpretAll(AdDrawing* drawing, AdGlyphRun& run, AdFont* font, const AdArcBox* extents) {
    // The index is walked by position: a shape's own subshapes may seek.
    for (std::int32_t i = 0; i < font->indexCount; ++i) {
        const std::uint32_t number = font->index[i].number;
        AdFont* holder = adFontFindShape(drawing, run.font, run.bigFont, number, 0);
        if (!holder) continue;
        for (const std::uint8_t flags : {0x00, 0x04}) {
            run.style.flags = flags;
            run.pen[0] = run.pen[1] = 0.0;
            adGlyphs.stackTop = -1;
            if (adFontFindShape(drawing, run.font, run.bigFont, number, 0))
                adDrawGlyph(drawing, number, holder, &run, AD_TEXT_OVERLINE | AD_TEXT_UNDERLINE, extents);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzStartToolkit();
    adClearError();
    static AdDrawing drawing{};
    AdFont* font = adLoadFont(&drawing, FuzzInputFile(data, size, ".shx").c_str(),
                              AD_FONT_MASK_ANY | AD_FONT_MASK_BIGFONT, nullptr, nullptr, 0);
    if (font) {
        adGlyphs.line = measureLine;
        adGlyphs.arc = adArcExtents;
        double box[6];
        adResetExtents(box);
        const AdArcBox extents{box, &adIdentityMatrix};
        const bool big = (font->kind & AD_FONT_BIGFONT) != 0;
        AdGlyphRun run{};
        run.font = big ? adGlobals->builtinFonts[0] : font;
        run.bigFont = big ? font : nullptr;
        run.drawMode = 1;
        run.factor[0] = run.factor[1] = 1.0;
        run.heightUnit = static_cast<std::uint16_t>(run.font->above);
        interpretAll(&drawing, run, font, &extents);
        adGlyphs.stackTop = -1;
        adWalkGlyphs(&drawing, "Ag%%d%%p%%c%%u\\U+00b0\\M+18140\x81\x40%%o%%123%", &run, 0.8, &extents, 0);
        adGlyphs.line = nullptr;
        adGlyphs.arc = nullptr;
    }
    adFreeFonts(&drawing);
    return 0;
}
