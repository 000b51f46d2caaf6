// TrueType faces and glyph outlines for the native build, through FreeType:
// the toolkit's face resolver and the display engine's glyph-outline hook,
// answering as the Windows glyph service does (the capital A 1000 units high,
// closed contours of line segments moved by the pen origin, the advance).
#pragma once
#include "toolkit/ad.h"

// Registers the face resolver with the toolkit and the outline hook with the
// display engine (both must be started); ftStopGlyphs closes the faces.
int ftStartGlyphs();
void ftStopGlyphs();

// Fills the request's face with the file of an installed face for the name
// it gives (a file name such as "arial.ttf" or a face name): the matching
// metric-compatible face where one is known, else a sans face.
int ftResolveFace(void* request);
std::int32_t ftGlyphOutline(std::uint32_t character, double* penOrigin, AdFontRequest* request,
                            AdGlyphAnswer* answer, void* userData);
