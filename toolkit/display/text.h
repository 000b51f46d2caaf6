// Single-line text: TEXT, ATTRIB and ATTDEF strings in shape fonts and
// TrueType faces, the style's fonts, quick-text outlines, realignment, and
// the TrueType glyph slot's routine. Internal to the engine.
#pragma once
#include "toolkit/display/glyphs.h"

// The fonts a text style names: the primary font (never null while the
// toolkit runs: the default font stands in), the big font or null, and the
// big-font ratio (its character height over the primary height unit; 0
// without a big font).
struct AdStyleFonts {
    AdFont* font;
    AdFont* bigFont;
    double bigFontRatio;
};
// The face name and flags come from the style's extended data (the last
// 1000 and 1071 items).
void adResolveStyleFonts(AdDrawing* drawing, const AdStyleRecord* style, AdStyleFonts* fonts);

// The default font: what stands in for a font that cannot be loaded.
AdFont* adDefaultFont();

// One string at the insertion point under the entity matrix. The params are
// changed in place (signs, oblique, the ".pfb" halving). viewMatrices: the
// entity's per-viewport matrices, for the quick-text outline; threshold: a
// height below it draws the baseline only. 0 when memory runs out and no
// fatal-error hook is installed.
int adDrawTextString(AdDrawing* drawing, const double insertion[3], const char* text, const AdStyleRecord* style,
                     AdTextParams* params, const AdMatrix4* matrix, const AdMatrix4* viewMatrices, double threshold);

// Moves a TEXT or ATTRIB insertion point (or scales its height or width
// factor) to match its alignment; 0 when a font cannot be loaded (nothing
// changes then). bigFontFile may be null.
int adRealignText(AdDrawing* drawing, const char* text, double insertion[3], AdTextParams* params,
                  const char* fontFile, const char* bigFontFile);

// The TrueType glyph slot's routine: the host's outline of one character,
// drawn (stroked or filled) and measured, and the pen advanced.
void adDrawTrueTypeGlyph(AdGlyphRun* run, std::uint32_t code, AdFontRequest* request, AdDrawing* drawing,
                         const AdMatrix4* matrices, std::uint8_t styleFlags, const AdArcBox* extents,
                         std::uint8_t toggles, std::uint8_t draw);

double adPointDistance2d(const double p[2], const double q[2]);
// Rotates p's x and y about the centre, counter-clockwise, in place.
void adRotatePoint2d(double p[2], const double centre[2], double angle);
