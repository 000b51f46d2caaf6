// The shape and glyph interpreter: decodes the characters of a text string
// (escapes, %% codes, double-byte characters), executes the shape bytes of
// SHX shape fonts, big fonts and unicode fonts in font units, and hands
// TrueType characters to the TrueType glyph slot. It draws nothing itself:
// lines, arcs and TrueType characters go through the three glyph slots.
// Internal to the engine.
#pragma once
#include "toolkit/display/curves.h"

struct AdWideSegment;

// The parameters TEXT, ATTRIB and ATTDEF carry after their insertion point.
using AdTextParams = AdTextFields;

// The run state of one glyph walk; belongs to its caller.
struct AdGlyphRun {
    double pen[2];  // font units: where the next character starts
    double spare[2];
    AdStyleRecord style;  // of it only the flags byte is read (0x04 vertical)
    std::uint8_t drawMode;  // 1 draw, 0 measure
    const AdMatrix4* matrices;  // one per viewport, handed to the slots
    AdFont* font;
    AdFont* bigFont;  // or null
    // Multipliers of every shape displacement: 1, or the big-font ratio for
    // primary-font characters while a big font is loaded.
    double factor[2];
    std::uint16_t heightUnit;  // the primary font's height: unit of under- and overlines
};

// The slots through which glyphs are drawn (normally adApplyLinetype,
// adDrawArc and adDrawTrueTypeGlyph).
using AdGlyphLineSlot = void (*)(AdDrawing* drawing, double start[3], double end[3], const AdMatrix4* model,
                                 const AdMatrix4* matrices, const AdLtypeRecord* linetype,
                                 AdDrawing* linetypeDrawing, AdWideSegment* wide, std::int32_t curve,
                                 double curveLength);
using AdGlyphArcSlot = std::int32_t (*)(AdDrawing* drawing, const double centre[3], double start, double end,
                                        double radius, const AdMatrix4* block, const AdMatrix4* matrices,
                                        std::uint8_t draw, const AdLtypeRecord* linetype,
                                        AdDrawing* linetypeDrawing, const AdArcBox* box);
// (run, code, the font's TrueType request, drawing, matrices, style flags,
// extents or null, toggles (not read), draw flag)
using AdTrueTypeGlyphSlot = void (*)(AdGlyphRun* run, std::uint32_t code, AdFontRequest* request,
                                     AdDrawing* drawing, const AdMatrix4* matrices, std::uint8_t styleFlags,
                                     const AdArcBox* extents, std::uint8_t toggles, std::uint8_t draw);

// The position stack holds this many points.
constexpr int AD_GLYPH_STACK_SIZE = 5;
// Subshapes nest at most this deep; a deeper call ends the character.
constexpr int AD_GLYPH_NESTING_LIMIT = 16;

// The interpreter's process-wide state.
struct AdGlyphState {
    std::int16_t penFlag;  // non-zero while the pen is down in draw mode
    double stackX[AD_GLYPH_STACK_SIZE];
    double stackY[AD_GLYPH_STACK_SIZE];
    std::int16_t stackTop;  // -1: empty; callers set it before each walk
    std::int32_t advanceExtents;  // set while a fit-aligned string is measured
    AdGlyphLineSlot line;
    AdGlyphArcSlot arc;
    AdTrueTypeGlyphSlot trueType;  // also kept in the core's glyph hook slot
};
extern AdGlyphState adGlyphs;

// Fills the three slots with the engine's routines (at render start and at
// the start of every space walk); adClearGlyphSlots empties them.
void adSetGlyphSlots();
void adClearGlyphSlots();
// The TrueType slot alone; the font manager resolves TrueType faces only
// while it is set.
void adSetTrueTypeGlyphSlot(AdTrueTypeGlyphSlot slot);

// Toggle bits of a walk.
constexpr std::uint8_t AD_TEXT_OVERLINE = 0x01;
constexpr std::uint8_t AD_TEXT_UNDERLINE = 0x02;

// The special characters' codes for a font's kind flags.
std::uint16_t adDegreeCode(std::uint8_t fontFlags);
std::uint16_t adPlusMinusCode(std::uint8_t fontFlags);
std::uint16_t adDiameterCode(std::uint8_t fontFlags);

// The next character of a string in the code page, the cursor moved past it;
// 0 at the end. remap: 1 when the font search must still convert the code
// from the code page, 0 when it is final. toggles: %%o and %%u flip its bits.
std::uint16_t adNextTextChar(const char** cursor, std::uint8_t fontFlags, const AdGlyphRun* run, int codePage,
                             std::uint8_t* remap, std::uint8_t* toggles);

// An empty box (adGrowExtents widens it).
void adResetExtents(double box[6]);
// Stands in the arc slot while text is measured: widens the box by 64
// chords per full circle and draws nothing.
std::int32_t adArcExtents(AdDrawing* drawing, const double centre[3], double start, double end, double radius,
                          const AdMatrix4* block, const AdMatrix4* matrices, std::uint8_t draw,
                          const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing, const AdArcBox* box);

// One character. For a shape font the font's reader must stand at the
// character's shape, as adFontFindShape leaves it. Moves the run's pen to
// where the character ends; a malformed shape ends the character there.
void adDrawGlyph(AdDrawing* drawing, std::uint32_t code, AdFont* font, AdGlyphRun* run, std::uint8_t toggles,
                 const AdArcBox* extents);

// A whole string from pen (0, 0). measure: 1 to measure a TrueType string.
// 1, or 0 when a character has no shape in either font (what was drawn stays).
int adWalkGlyphs(AdDrawing* drawing, const char* text, AdGlyphRun* run, double bigFontRatio,
                 const AdArcBox* extents, int measure);

// The extents of a string in its own frame (height, width factor, oblique
// and generation flags applied, no rotation): box is min x, y, z, max x, y,
// z; descent the lower of the fonts' descender lines (negative). The params
// may be changed: pass a copy. fallback: the default font stands in for a
// primary font that cannot be loaded. 0 with error 296 (primary font) or
// 297 (big font).
int adMeasureText(AdDrawing* drawing, const char* text, AdTextParams* params, int vertical, const char* fontFile,
                  const char* bigFontFile, int fallback, double box[6], double* descent);
