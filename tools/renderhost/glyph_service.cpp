// Which TrueType glyph service the host registers.
#include "tools/renderhost/glyph_service.h"
#include "toolkit/display/display.h"

#ifdef _WIN32
#include "platform/truetype/ttf_service.h"

int hostStartGlyphs() {
    if (!TTFInit()) return 0;
    adSetFontNameHook(ttfResolveFace);
    adSetGlyphOutlineHook(ttfGlyphOutline);
    return 1;
}

void hostStopGlyphs() { TTFTerm(); }
#else
#include "tools/renderhost/freetype_glyphs.h"

int hostStartGlyphs() { return ftStartGlyphs(); }
void hostStopGlyphs() { ftStopGlyphs(); }
#endif
