// The host's TrueType glyphs for the display engine: FreeType in the native
// build, the platform's TrueType service in the Windows build. Start after the
// toolkit and the render context; registers the face resolver and the
// glyph-outline hook.
#pragma once

int hostStartGlyphs();
void hostStopGlyphs();
