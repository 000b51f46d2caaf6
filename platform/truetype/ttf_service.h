// The host's TrueType glyph service: resolves the faces that text styles
// name and outlines their characters, over GDI and the registry. The host
// starts it before opening drawings and registers ttfResolveFace as the
// toolkit's face resolver and ttfGlyphOutline as the display engine's
// glyph-outline hook.
#pragma once
#include "toolkit/ad.h"

#include <windows.h>

int TTFInit();
void TTFTerm();

// The face resolver: fills the request's face field with an installed face,
// or clears its name and face fields when none is found.
int ttfResolveFace(void* request);
// The glyph-outline hook: the character's contours as closed segment lists
// moved by the pen origin, and its advance. Always answers 0; a character
// that cannot be outlined leaves the answer empty.
std::int32_t ttfGlyphOutline(std::uint32_t character, double* penOrigin, AdFontRequest* request,
                             AdGlyphAnswer* answer, void* userData);

// The face list; callers hold the service's lock.
LOGFONTA* ttfFaceLookup(const char* faceName);
LOGFONTA* ttfFaceAdd(const char* faceName);

// File name to face name through the registry; 1 when found.
int ttfFaceFromFontsKey(AdFontRequest* request);
int ttfFaceFromAltNames(AdFontRequest* request, HKEY key);
int ttfFaceFromSubkeys(AdFontRequest* request, HKEY key);
int ttfFaceFromAutoCAD(AdFontRequest* request);

// Outline conversion: points in 16.16 fixed point relative to the pen
// origin, and absolute points, go into the current contour.
void ttfAddOutlinePoint(const POINTFX* point);
void ttfAddAbsolutePoint(double x, double y);
int ttfConvertOutline(const std::uint8_t* buffer, std::uint32_t size, AdGlyphAnswer* answer);
