// Resolving the face a text style names, and the list of resolved faces.
#include "platform/truetype/ttf_state.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr std::int32_t kAnyFace = -1;
constexpr std::int32_t kCharacterSetShift = 8;

void copyName(char* field, std::size_t size, const char* text) {
    std::snprintf(field, size, "%s", text);
}

// Scales the logical font's height so that the top of 'A' (or of the face's
// default character when 'A' is outside it) lies 1000 units above the
// baseline. A character without height keeps the cell height.
void scaleToCapital(LOGFONTA* font, const TEXTMETRICA* metrics) {
    if (!ttfSelectFont(font)) return;
    const UINT character = 'A' >= metrics->tmFirstChar && 'A' <= metrics->tmLastChar
                               ? 'A'
                               : static_cast<UINT>(static_cast<std::uint8_t>(metrics->tmDefaultChar));
    GLYPHMETRICS glyph;
    if (GetGlyphOutlineA(ttfService->dc, character, GGO_METRICS, &glyph, 0, nullptr, &ttfService->identity) ==
            GDI_ERROR ||
        glyph.gmptGlyphOrigin.y <= 0)
        return;
    font->lfHeight = static_cast<LONG>(static_cast<double>(font->lfHeight) / glyph.gmptGlyphOrigin.y * 1000);
}

bool accepted(const AdFontRequest* request, const LOGFONTA* font) {
    const std::int32_t parameters = request->faceParameters;
    if (parameters == kAnyFace) return true;
    const std::size_t wanted = std::strlen(request->face);
    const std::size_t offered = std::strlen(font->lfFaceName);
    return font->lfCharSet == ((parameters >> kCharacterSetShift) & 0xFF) &&
           (font->lfItalic != 0) == ((parameters & AD_FACE_ITALIC) != 0) &&
           (font->lfWeight > FW_NORMAL) == ((parameters & AD_FACE_BOLD) != 0) &&
           std::strncmp(font->lfFaceName, request->face, wanted < offered ? wanted : offered) == 0;
}

int CALLBACK acceptFace(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD, LPARAM data) {
    auto* request = reinterpret_cast<AdFontRequest*>(data);
    TtfLock lock(ttfService);
    const bool accept = accepted(request, font);
    if (accept) {
        const auto* full = reinterpret_cast<const ENUMLOGFONTEXA*>(font);
        const char* name = reinterpret_cast<const char*>(full->elfFullName);
        LOGFONTA* kept = ttfFaceLookup(name);
        if (!kept && (kept = ttfFaceAdd(name)) != nullptr) {
            *kept = *font;
            kept->lfWidth = 0;
            kept->lfHeight = metrics->tmHeight;
            scaleToCapital(kept, metrics);
        }
        copyName(request->face, sizeof request->face, name);
    }
    return accept ? 0 : 1;
}

// Enumerates the families of the request's face; 1 when a face was accepted.
// An empty face would enumerate every family, so it accepts nothing.
bool enumerate(AdFontRequest* request) {
    if (request->face[0] == '\0') return false;
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    copyName(wanted.lfFaceName, sizeof wanted.lfFaceName, request->face);
    return EnumFontFamiliesExA(ttfService->dc, &wanted, acceptFace, reinterpret_cast<LPARAM>(request), 0) == 0;
}

// The name field cut to the file's base name and extension.
void baseName(char* name) {
    const char* base = name;
    for (const char* c = name; *c; ++c)
        if (*c == '\\' || *c == '/' || *c == ':') base = c + 1;
    std::memmove(name, base, std::strlen(base) + 1);
}

}  // namespace

LOGFONTA* ttfFaceLookup(const char* faceName) {
    for (TtfFace* face = ttfService->faces; face; face = face->next)
        if (std::strcmp(face->name, faceName) == 0) return &face->font;
    return nullptr;
}

LOGFONTA* ttfFaceAdd(const char* faceName) {
    auto* face = static_cast<TtfFace*>(HostAlloc(sizeof(TtfFace)));
    if (!face) return nullptr;
    std::memset(face, 0, sizeof *face);
    copyName(face->name, sizeof face->name, faceName);
    face->next = ttfService->faces;
    ttfService->faces = face;
    return &face->font;
}

int ttfResolveFace(void* record) {
    auto* request = static_cast<AdFontRequest*>(record);
    if (!ttfService || !request) return 0;
    request->name[sizeof request->name - 1] = '\0';
    request->face[sizeof request->face - 1] = '\0';
    if (request->face[0] == '\0') {
        baseName(request->name);
        ttfFaceFromFontsKey(request);
    }
    if (enumerate(request)) return 1;

    if (std::strcmp(request->face, "Haettenschweiler") == 0) {
        request->faceParameters |= AD_FACE_BOLD;
    } else if (request->face[0] == '@') {
        std::memmove(request->face, request->face + 1, std::strlen(request->face));
    } else if (!ttfFaceFromFontsKey(request)) {
        const std::size_t length = std::strlen(request->name);
        if (length > 0) request->name[length - 1] = 'c';
        ttfFaceFromFontsKey(request);
        if (char* both = std::strstr(request->face, " & ")) *both = '\0';
    }
    if (enumerate(request)) return 1;
    if (ttfFaceFromAutoCAD(request) && enumerate(request)) return 1;
    request->name[0] = '\0';
    request->face[0] = '\0';
    return 0;
}
