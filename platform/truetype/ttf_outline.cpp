// Outlining one character: the platform's native outline (quadratic and
// cubic curves in 16.16 fixed point) as closed lists of line segments.
#include "platform/truetype/ttf_state.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::int16_t kContourBlock = 4096;
constexpr int kSamples = 8;  // per curve arc
constexpr std::uint16_t kContourLimit = 0xFFFF;
constexpr std::uint32_t kFirstTrailByte = 0x40;

double fixedValue(FIXED f) { return f.value + f.fract / 65536.0; }

// The code page of a face's character set, through which its codes become
// Unicode; -1 for the symbol set, whose codes are taken as they are.
int codePageOf(BYTE characterSet) {
    switch (characterSet) {
    case ANSI_CHARSET: return 30;
    case EASTEUROPE_CHARSET: return 28;
    case RUSSIAN_CHARSET: return 29;
    case GREEK_CHARSET: return 32;
    case TURKISH_CHARSET: return 33;
    case HEBREW_CHARSET: return 34;
    case ARABIC_CHARSET: return 35;
    case BALTIC_CHARSET: return 36;
    case THAI_CHARSET: return 37;
    case SHIFTJIS_CHARSET: return 38;
    case GB2312_CHARSET: return 39;
    case HANGUL_CHARSET: return 40;
    case CHINESEBIG5_CHARSET: return 41;
    default: return -1;
    }
}

void freeContours() {
    TtfService* s = ttfService;
    if (s->contour) {
        adStreamCloseWrite(s->contour);
        s->contour = nullptr;
    }
    for (std::uint16_t i = 0; i < s->contourCount; ++i) adStoreFree(s->contours[i]);
    s->contourCount = 0;
}

bool beginContour() {
    TtfService* s = ttfService;
    if (s->contourCount == kContourLimit) return false;
    if (s->contourCount == s->contourCapacity) {
        const std::size_t capacity = s->contourCapacity ? 2u * s->contourCapacity : 8u;
        auto* contours = static_cast<AdStore**>(std::realloc(s->contours, capacity * sizeof(AdStore*)));
        if (contours) s->contours = contours;
        auto* counts = static_cast<std::uint16_t*>(std::realloc(s->pointCounts, capacity * sizeof(std::uint16_t)));
        if (counts) s->pointCounts = counts;
        if (!contours || !counts) return false;
        s->contourCapacity = static_cast<std::uint16_t>(capacity > kContourLimit ? kContourLimit : capacity);
    }
    AdStore* store = adStoreCreate(kContourBlock);
    AdStream* stream = store ? adStreamOpenWrite(store) : nullptr;
    if (!stream) {
        if (store) adStoreFree(store);
        return false;
    }
    s->contours[s->contourCount] = store;
    s->pointCounts[s->contourCount] = 0;
    ++s->contourCount;
    s->contour = stream;
    return true;
}

bool endContour() {
    TtfService* s = ttfService;
    ttfAddAbsolutePoint(s->first[0], s->first[1]);
    const int closed = adStreamCloseWrite(s->contour);
    if (!closed) adStreamCloseRead(s->contour);  // the stream stays open when its last block is lost
    s->contour = nullptr;
    return closed != 0;
}

void point(const POINTFX& p, double out[2]) {
    out[0] = fixedValue(p.x) + ttfService->penOrigin[0];
    out[1] = fixedValue(p.y) + ttfService->penOrigin[1];
}

// Eight samples of a quadratic arc from a through control b to c.
void quadratic(const double a[2], const double b[2], const double c[2]) {
    for (int i = 1; i <= kSamples; ++i) {
        const double t = i == kSamples ? 1.0 : 0.125 * i;
        ttfAddAbsolutePoint(a[0] + t * 2 * (b[0] - a[0]) + t * t * (a[0] - 2 * b[0] + c[0]),
                            a[1] + t * 2 * (b[1] - a[1]) + t * t * (a[1] - 2 * b[1] + c[1]));
    }
}

// Eight samples of a cubic arc, as the quadratic ones.
void cubic(const double a[2], const double b[2], const double c[2], const double e[2]) {
    for (int i = 1; i <= kSamples; ++i) {
        const double t = i == kSamples ? 1.0 : 0.125 * i;
        const double u = 1 - t;
        ttfAddAbsolutePoint(u * u * u * a[0] + 3 * u * u * t * b[0] + 3 * u * t * t * c[0] + t * t * t * e[0],
                            u * u * u * a[1] + 3 * u * u * t * b[1] + 3 * u * t * t * c[1] + t * t * t * e[1]);
    }
}

// One curve record; `at` is the current point, moved to the record's end.
void curve(WORD type, const POINTFX* points, WORD count, double at[2]) {
    if (type == TT_PRIM_LINE) {
        for (WORD i = 0; i < count; ++i) {
            ttfAddOutlinePoint(&points[i]);
            point(points[i], at);
        }
    } else if (type == TT_PRIM_QSPLINE) {
        for (WORD i = 0; i + 1 < count; ++i) {
            double b[2], c[2];
            point(points[i], b);
            point(points[i + 1], c);
            if (i + 2 < count) {
                c[0] = (b[0] + c[0]) / 2;
                c[1] = (b[1] + c[1]) / 2;
            }
            quadratic(at, b, c);
            at[0] = c[0];
            at[1] = c[1];
        }
    } else if (type == TT_PRIM_CSPLINE) {
        for (WORD i = 0; i + 2 < count; i = static_cast<WORD>(i + 3)) {
            double b[2], c[2], e[2];
            point(points[i], b);
            point(points[i + 1], c);
            point(points[i + 2], e);
            cubic(at, b, c, e);
            at[0] = e[0];
            at[1] = e[1];
        }
    }
}

// Hands copies of the working arrays to the answer; the stores go with them.
bool handOut(AdGlyphAnswer* answer) {
    TtfService* s = ttfService;
    const std::size_t n = s->contourCount;
    auto* contours = static_cast<AdStore**>(HostAlloc(sizeof(AdStore*) * (n ? n : 1)));
    auto* counts = static_cast<std::uint16_t*>(HostAlloc(sizeof(std::uint16_t) * (n ? n : 1)));
    if (!contours || !counts) {
        HostFree(contours);
        HostFree(counts);
        return false;
    }
    if (n) {
        std::memcpy(contours, s->contours, sizeof(AdStore*) * n);
        std::memcpy(counts, s->pointCounts, sizeof(std::uint16_t) * n);
    }
    answer->contours = contours;
    answer->pointCounts = counts;
    answer->contourCount = s->contourCount;
    answer->kind = AD_GLYPH_FILL | AD_GLYPH_RECEIVER_FREES;
    s->contourCount = 0;
    return true;
}

bool growGlyphBuffer(DWORD size) {
    if (size <= ttfService->glyphBufferSize) return true;
    auto* buffer = static_cast<std::uint8_t*>(HostAlloc(size));
    if (!buffer) return false;
    HostFree(ttfService->glyphBuffer);
    ttfService->glyphBuffer = buffer;
    ttfService->glyphBufferSize = size;
    return true;
}

}  // namespace

void ttfAddAbsolutePoint(double x, double y) {
    TtfService* s = ttfService;
    std::uint16_t& count = s->pointCounts[s->contourCount - 1];
    if (count > 0 && x == s->previous[0] && y == s->previous[1]) return;
    if (count == 0) {
        s->first[0] = x;
        s->first[1] = y;
    } else {
        const double segment[4] = {s->previous[0], s->previous[1], x, y};
        adStreamWrite(s->contour, segment, sizeof segment);
    }
    if (count < kContourLimit) ++count;
    s->previous[0] = x;
    s->previous[1] = y;
}

void ttfAddOutlinePoint(const POINTFX* p) {
    double at[2];
    point(*p, at);
    ttfAddAbsolutePoint(at[0], at[1]);
}

int ttfConvertOutline(const std::uint8_t* buffer, std::uint32_t size, AdGlyphAnswer* answer) {
    std::uint32_t offset = 0;
    bool ok = true;
    while (ok && offset + sizeof(TTPOLYGONHEADER) <= size) {
        TTPOLYGONHEADER header;
        std::memcpy(&header, buffer + offset, sizeof header);
        if (header.dwType != TT_POLYGON_TYPE || header.cb < sizeof header || header.cb > size - offset) break;
        const std::uint32_t end = offset + header.cb;
        if (!beginContour()) {
            ok = false;
            break;
        }
        double at[2];
        ttfAddOutlinePoint(&header.pfxStart);
        point(header.pfxStart, at);
        std::uint32_t position = offset + sizeof header;
        while (position + offsetof(TTPOLYCURVE, apfx) <= end) {
            WORD type = 0;
            WORD count = 0;
            std::memcpy(&type, buffer + position + offsetof(TTPOLYCURVE, wType), sizeof type);
            std::memcpy(&count, buffer + position + offsetof(TTPOLYCURVE, cpfx), sizeof count);
            const std::uint32_t bytes = static_cast<std::uint32_t>(count) * sizeof(POINTFX);
            const std::uint32_t first = position + offsetof(TTPOLYCURVE, apfx);
            if (bytes > end - first) break;
            POINTFX* points = static_cast<POINTFX*>(HostAlloc(bytes ? bytes : 1));
            if (!points) {
                ok = false;
                break;
            }
            std::memcpy(points, buffer + first, bytes);
            curve(type, points, count, at);
            HostFree(points);
            position = first + bytes;
        }
        ok = endContour() && ok;
        offset = end;
    }
    if (!ok || !handOut(answer)) {
        freeContours();
        return 0;
    }
    return 1;
}

std::int32_t ttfGlyphOutline(std::uint32_t character, double* penOrigin, AdFontRequest* request,
                             AdGlyphAnswer* answer, void*) {
    if (!answer) return 0;
    std::memset(answer, 0, sizeof *answer);
    TtfService* s = ttfService;
    if (!s || !request || !penOrigin) return 0;

    LOGFONTA font{};
    {
        TtfLock lock(s);
        const LOGFONTA* found = ttfFaceLookup(request->face);
        if (!found) return 0;
        font = *found;
    }

    // A lead byte of double-byte text waits for the byte that follows it;
    // trail bytes start at 0x40 in every double-byte code page.
    const int codePage = codePageOf(font.lfCharSet);
    const std::int32_t lead = s->pendingLead;
    s->pendingLead = -1;
    std::uint32_t code = character & 0xFFFF;
    if (lead >= 0 && code >= kFirstTrailByte && code <= 0xFF) {
        code = static_cast<std::uint32_t>(lead) << 8 | code;
    } else if (codePage >= 0 && code >= 0x80 && code <= 0xFF && adIsLeadByte(codePage, static_cast<int>(code))) {
        s->pendingLead = static_cast<std::int32_t>(code);
        return 0;
    }
    if (codePage >= 0 && code >= 0x80) adCodePageToUnicode(codePage, code, &code);

    if (!ttfSelectFont(&font)) return 0;
    GLYPHMETRICS metrics;
    const DWORD size = GetGlyphOutlineW(s->dc, code, GGO_NATIVE, &metrics, 0, nullptr, &s->identity);
    if (size == GDI_ERROR || !growGlyphBuffer(size)) return 0;
    if (size > 0 &&
        GetGlyphOutlineW(s->dc, code, GGO_NATIVE, &metrics, size, s->glyphBuffer, &s->identity) == GDI_ERROR)
        return 0;
    s->penOrigin[0] = penOrigin[0];
    s->penOrigin[1] = penOrigin[1];
    if (!ttfConvertOutline(s->glyphBuffer, size, answer)) return 0;
    answer->advance = metrics.gmCellIncX;
    return 0;
}
