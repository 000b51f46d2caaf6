// Face resolution and glyph outlines over FreeType.
#include "tools/renderhost/freetype_glyphs.h"
#include "toolkit/display/display.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const char* const kFontDir = "/usr/share/fonts/truetype/";
constexpr int kSamples = 8;  // per curve, as the Windows service samples
constexpr int kAnsiCodePage = 30;

struct LoadedFace {
    FT_Face face = nullptr;
    double scale = 1.0;  // font units to the 1000-unit capital
};

FT_Library library = nullptr;
std::map<std::string, LoadedFace> faces;

// Names drawings give, lower case without extension, and the installed
// metric-compatible faces that stand in for them.
struct Substitute {
    const char* name;
    const char* file;
};
const Substitute kSubstitutes[] = {
    {"arial", "liberation/LiberationSans-Regular.ttf"},
    {"arialbd", "liberation/LiberationSans-Bold.ttf"},
    {"ariali", "liberation/LiberationSans-Italic.ttf"},
    {"arialbi", "liberation/LiberationSans-BoldItalic.ttf"},
    {"times", "liberation/LiberationSerif-Regular.ttf"},
    {"times new roman", "liberation/LiberationSerif-Regular.ttf"},
    {"timesbd", "liberation/LiberationSerif-Bold.ttf"},
    {"cour", "liberation/LiberationMono-Regular.ttf"},
    {"courier new", "liberation/LiberationMono-Regular.ttf"},
    {"courbd", "liberation/LiberationMono-Bold.ttf"},
};
const char* const kFallback = "dejavu/DejaVuSans.ttf";

std::string lowerStem(const char* name) {
    std::string text(name);
    const std::size_t slash = text.find_last_of("/\\");
    if (slash != std::string::npos) text = text.substr(slash + 1);
    const std::size_t bar = text.find('|');
    if (bar != std::string::npos) text = text.substr(0, bar);
    const std::size_t dot = text.rfind('.');
    if (dot != std::string::npos) text = text.substr(0, dot);
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

LoadedFace* openFace(const std::string& path) {
    auto found = faces.find(path);
    if (found != faces.end()) return found->second.face ? &found->second : nullptr;
    LoadedFace& loaded = faces[path];
    if (FT_New_Face(library, path.c_str(), 0, &loaded.face) != 0) {
        loaded.face = nullptr;
        return nullptr;
    }
    // The capital A's top is the unit height of every TrueType font.
    const FT_UInt capital = FT_Get_Char_Index(loaded.face, 'A');
    if (capital && FT_Load_Glyph(loaded.face, capital, FT_LOAD_NO_SCALE) == 0) {
        FT_BBox box;
        FT_Outline_Get_CBox(&loaded.face->glyph->outline, &box);
        if (box.yMax > 0) loaded.scale = 1000.0 / static_cast<double>(box.yMax);
    }
    return &loaded;
}

// Collects an outline as closed contours of line segments.
struct Collector {
    double scale;
    double origin[2];
    std::vector<std::vector<double>> contours;  // x, y pairs
    double at[2] = {0, 0};

    void add(double x, double y) {
        std::vector<double>& c = contours.back();
        const double px = origin[0] + x * scale, py = origin[1] + y * scale;
        if (!c.empty() && c[c.size() - 2] == px && c[c.size() - 1] == py) return;
        c.push_back(px);
        c.push_back(py);
    }
};

int moveTo(const FT_Vector* to, void* user) {
    auto* c = static_cast<Collector*>(user);
    c->contours.emplace_back();
    c->add(double(to->x), double(to->y));
    c->at[0] = double(to->x), c->at[1] = double(to->y);
    return 0;
}
int lineTo(const FT_Vector* to, void* user) {
    auto* c = static_cast<Collector*>(user);
    c->add(double(to->x), double(to->y));
    c->at[0] = double(to->x), c->at[1] = double(to->y);
    return 0;
}
int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* c = static_cast<Collector*>(user);
    const double a[2] = {c->at[0], c->at[1]}, b[2] = {double(control->x), double(control->y)};
    const double e[2] = {double(to->x), double(to->y)};
    for (int i = 1; i <= kSamples; ++i) {
        const double t = double(i) / kSamples, u = 1 - t;
        c->add(u * u * a[0] + 2 * u * t * b[0] + t * t * e[0], u * u * a[1] + 2 * u * t * b[1] + t * t * e[1]);
    }
    c->at[0] = e[0], c->at[1] = e[1];
    return 0;
}
int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
    auto* c = static_cast<Collector*>(user);
    const double a[2] = {c->at[0], c->at[1]}, b[2] = {double(control1->x), double(control1->y)};
    const double d[2] = {double(control2->x), double(control2->y)}, e[2] = {double(to->x), double(to->y)};
    for (int i = 1; i <= kSamples; ++i) {
        const double t = double(i) / kSamples, u = 1 - t;
        c->add(u * u * u * a[0] + 3 * u * u * t * b[0] + 3 * u * t * t * d[0] + t * t * t * e[0],
               u * u * u * a[1] + 3 * u * u * t * b[1] + 3 * u * t * t * d[1] + t * t * t * e[1]);
    }
    c->at[0] = e[0], c->at[1] = e[1];
    return 0;
}

// The contours as stores of segments (start x, y, end x, y), closed, with
// their point counts, for the engine to free.
bool handOut(const Collector& collector, AdGlyphAnswer* answer) {
    const std::size_t n = std::min<std::size_t>(collector.contours.size(), 0xFFFF);
    auto* stores = static_cast<AdStore**>(HostAlloc(sizeof(AdStore*) * std::max<std::size_t>(n, 1)));
    auto* counts = static_cast<std::uint16_t*>(HostAlloc(sizeof(std::uint16_t) * std::max<std::size_t>(n, 1)));
    if (!stores || !counts) {
        HostFree(stores);
        HostFree(counts);
        return false;
    }
    std::size_t made = 0;
    for (; made < n; ++made) {
        const std::vector<double>& points = collector.contours[made];
        const std::size_t count = std::min<std::size_t>(points.size() / 2, 0xFFFE);
        AdStore* store = adStoreCreate(4096);
        AdStream* stream = store ? adStreamOpenWrite(store) : nullptr;
        if (!stream) {
            if (store) adStoreFree(store);
            break;
        }
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t j = (i + 1) % count;
            const double segment[4] = {points[2 * i], points[2 * i + 1], points[2 * j], points[2 * j + 1]};
            adStreamWrite(stream, segment, sizeof segment);
        }
        adStreamCloseWrite(stream);
        stores[made] = store;
        counts[made] = static_cast<std::uint16_t>(count + 1);
    }
    if (made < n) {
        for (std::size_t i = 0; i < made; ++i) adStoreFree(stores[i]);
        HostFree(stores);
        HostFree(counts);
        return false;
    }
    answer->contours = stores;
    answer->pointCounts = counts;
    answer->contourCount = static_cast<std::uint16_t>(n);
    answer->kind = AD_GLYPH_FILL | AD_GLYPH_RECEIVER_FREES;
    return true;
}

}  // namespace

int ftResolveFace(void* record) {
    auto* request = static_cast<AdFontRequest*>(record);
    if (!request) return 0;
    request->name[sizeof request->name - 1] = '\0';
    request->face[sizeof request->face - 1] = '\0';
    const std::string wanted = lowerStem(request->face[0] ? request->face : request->name);
    std::string file = kFallback;
    for (const Substitute& s : kSubstitutes)
        if (wanted == s.name) file = s.file;
    std::snprintf(request->face, sizeof request->face, "%s%s", kFontDir, file.c_str());
    return 1;
}

std::int32_t ftGlyphOutline(std::uint32_t character, double* penOrigin, AdFontRequest* request,
                            AdGlyphAnswer* answer, void*) {
    if (!answer) return 0;
    std::memset(answer, 0, sizeof *answer);
    if (!library || !request || !penOrigin) return 0;
    LoadedFace* loaded = openFace(request->face);
    if (!loaded) return 0;
    std::uint32_t code = character & 0xFFFF;
    if (code >= 0x80 && code <= 0xFF) adCodePageToUnicode(kAnsiCodePage, code, &code);
    const FT_UInt glyph = FT_Get_Char_Index(loaded->face, code);
    if (FT_Load_Glyph(loaded->face, glyph, FT_LOAD_NO_SCALE) != 0) return 0;
    const FT_GlyphSlot slot = loaded->face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return 0;
    Collector collector{loaded->scale, {penOrigin[0], penOrigin[1]}, {}};
    const FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
    if (FT_Outline_Decompose(&slot->outline, &funcs, &collector) != 0) return 0;
    if (!handOut(collector, answer)) return 0;
    answer->advance = static_cast<double>(slot->advance.x) * loaded->scale;
    return 0;
}

int ftStartGlyphs() {
    if (!library && FT_Init_FreeType(&library) != 0) return 0;
    adSetFontNameHook(ftResolveFace);
    adSetGlyphOutlineHook(ftGlyphOutline);
    return 1;
}

void ftStopGlyphs() {
    for (auto& entry : faces)
        if (entry.second.face) FT_Done_Face(entry.second.face);
    faces.clear();
    if (library) FT_Done_FreeType(library);
    library = nullptr;
}
