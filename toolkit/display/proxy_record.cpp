// adProxyReadRecord: one framed record of a proxy-graphics stream unpacked
// into an AdProxyRecord. A frame that does not fit its store, and a payload
// that does not fit its frame, end the data: read on, they would be taken
// from the next record or from beyond the store.
#include "toolkit/display/proxy.h"

#include <cstring>

namespace {

constexpr std::int32_t kFrame = 8;

// Bytes of the fixed payload of the types that are drawn or kept.
std::int32_t fixedPayload(std::int32_t type) {
    switch (type) {
    case 2: return 56;
    case 3: return 72;
    case 4: return 92;
    case 5: return 76;
    case 6: case 7: case 9: case 32: return 4;
    case 8: return 8;
    case 10: return 100;
    case 11: return 72;
    case 12: case 13: return 48;
    case 14: case 16: case 18: case 19: case 20: return 4;
    default: return 0;
    }
}

// Types whose values nothing uses: they never stop the stream.
bool ignored(std::int32_t type) { return type == 1 || (type >= 22 && type <= 30 && type != 27 && type != 29); }

bool points(AdStream* s, double (*p)[3], int n) {
    for (int i = 0; i < n; ++i)
        if (!adStreamReadPoint3D(s, p[i])) return false;
    return true;
}

bool doubles(AdStream* s, double* v, int n) {
    for (int i = 0; i < n; ++i)
        if (!adStreamReadDouble(s, &v[i])) return false;
    return true;
}

bool fits(AdStream* s, std::int64_t bytes, std::int32_t end) { return bytes >= 0 && adStreamTell(s) + bytes <= end; }

// A matrix of four rows of four doubles, the fourth of each dropped.
bool matrix(AdStream* s, double (*m)[3]) {
    for (int r = 0; r < 4; ++r) {
        double dropped = 0.0;
        if (!doubles(s, m[r], 3) || !adStreamReadDouble(s, &dropped)) return false;
    }
    return true;
}

// Type 27: its 2n doubles go into a store of the record's own.
bool readClip(AdStream* s, AdProxyClip* c, std::int32_t end) {
    std::int32_t n = 0;
    if (!fits(s, 52, end) || !adStreamReadPoint3D(s, c->a) || !adStreamReadPoint3D(s, c->b) || !adStreamReadLong(s, &n))
        return false;
    if (n < 0 || n >= AD_PROXY_COUNT_LIMIT || !fits(s, std::int64_t{16} * n + 284, end)) return false;
    c->count = static_cast<std::int16_t>(n);
    c->points = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = c->points ? adStreamOpenWrite(c->points) : nullptr;
    bool ok = out != nullptr;
    for (std::int32_t i = 0; ok && i < 2 * n; ++i) {
        double v = 0.0;
        ok = adStreamReadDouble(s, &v) && adStreamWriteDouble(out, &v);
    }
    if (out) adStreamCloseWrite(out);
    std::int32_t flags[3] = {};
    ok = ok && matrix(s, c->first) && matrix(s, c->second) && adStreamReadLong(s, &flags[0]) &&
         adStreamReadLong(s, &flags[1]) && doubles(s, c->values, 2) && adStreamReadLong(s, &flags[2]);
    if (!ok) {
        if (c->points) adStoreFree(c->points);
        c->points = nullptr;
        return false;
    }
    c->flags[0] = flags[0] != 0;
    c->flags[1] = flags[1] != 0;
    c->present = 1;
    return true;
}

// Type 11: the fields after the string, the two font names, and the
// surplus bytes up to the record's end (at least none).
bool readFontText(AdStream* s, AdProxyText* t, std::int32_t end) {
    std::int32_t length = 0, raw = 0, flags[5] = {};
    double unused = 0.0;
    if (!adStreamReadLong(s, &length) || !adStreamReadLong(s, &raw) || !adStreamReadDouble(s, &t->height) ||
        !adStreamReadDouble(s, &t->widthFactor) || !adStreamReadDouble(s, &t->oblique) ||
        !adStreamReadDouble(s, &unused) || !adProxyReadLongs(s, 5, flags))
        return false;
    t->length = length;
    t->flags[0] = raw != 0;
    for (int i = 0; i < 5; ++i) t->flags[i + 1] = flags[i] != 0;
    if (!adProxyReadString(s, t->fontFile, AD_PROXY_FONT_SIZE) || adStreamTell(s) > end) return false;
    if (!adProxyReadString(s, t->bigFontFile, AD_PROXY_FONT_SIZE) || adStreamTell(s) > end) return false;
    return adStreamSeek(s, end) != 0;
}

bool readPayload(AdStream* s, AdProxyRecord* r) {
    const std::int32_t end = r->end;
    std::int32_t type = r->type;
    if (!fits(s, fixedPayload(type), end)) return false;
    switch (type) {
    case 2:
    case 4: {
        AdProxyCircle& c = r->circle;
        if (!adStreamReadPoint3D(s, c.centre) || !adStreamReadDouble(s, &c.radius) || !adStreamReadPoint3D(s, c.normal))
            return false;
        std::int32_t unused = 0;
        return type == 2 || (adStreamReadPoint3D(s, c.startVector) && adStreamReadDouble(s, &c.sweep) &&
                             adStreamReadLong(s, &unused));
    }
    case 3:
    case 5: {
        std::int32_t unused = 0;
        return points(s, r->points, 3) && (type == 3 || adStreamReadLong(s, &unused));
    }
    case 6:
    case 7:
    case 32:
        return adStreamReadLong(s, &r->count) && r->count >= 0 && fits(s, std::int64_t{24} * r->count, end);
    case 8: {
        std::int32_t* g = r->grid;
        return adStreamReadLong(s, &g[0]) && adStreamReadLong(s, &g[1]) && g[0] >= 0 && g[1] >= 0 &&
               g[0] < AD_PROXY_COUNT_LIMIT && g[1] < AD_PROXY_COUNT_LIMIT &&
               fits(s, std::int64_t{24} * g[0] * g[1], end);
    }
    case 9:
        return adStreamReadLong(s, &r->count) && r->count >= 0 && r->count < AD_PROXY_COUNT_LIMIT &&
               fits(s, std::int64_t{24} * r->count, end);
    case 10:
    case 11: {
        AdProxyText& t = r->text;
        if (!adStreamReadPoint3D(s, t.position) || !adStreamReadPoint3D(s, t.normal) ||
            !adStreamReadPoint3D(s, t.direction))
            return false;
        if (type == 10 && !doubles(s, &t.height, 3)) return false;
        if (!adProxyReadString(s, t.text, AD_PROXY_TEXT_SIZE) || adStreamTell(s) > end) return false;
        return type == 10 || readFontText(s, &t, end);
    }
    case 12:
    case 13:
        return points(s, r->points, 2);
    case 18:
        if (!adStreamReadLong(s, &r->value)) return false;
        if (r->value == -1) r->value = AD_PROXY_LTYPE_BYLAYER;
        if (r->value == -2) r->value = AD_PROXY_LTYPE_BYBLOCK;
        return true;
    case 14:
    case 16:
    case 19:
    case 20:
        return adStreamReadLong(s, &r->value) != 0;
    case 27:
        // A clip that cannot be read is no clip; the stream goes on.
        readClip(s, &r->clip, end);
        return true;
    case 29:
        // A matrix that cannot be read stays zero, which places nothing.
        if (fits(s, 128, end)) doubles(s, r->reals, 16);
        return true;
    default:
        return true;
    }
}

}  // namespace

int adProxyReadRecord(AdStream* stream, AdProxyRecord* record) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_READ_NULL);
        return 0;
    }
    const std::int32_t position = adStreamTell(stream);
    const std::int32_t length = adStreamLength(stream);
    std::int32_t size = 0, type = 0;
    if (position >= length || !adStreamReadLong(stream, &size) || !adStreamReadLong(stream, &type)) return 0;
    if (size < kFrame || size > length - position) return 0;
    std::memset(record, 0, sizeof *record);
    record->type = type;
    record->end = position + size;
    if (type < 1 || type > 32 || type == 15 || type == 17 || type == 21 || ignored(type))
        return adStreamSeek(stream, record->end);
    if (!readPayload(stream, record)) return 0;
    if (type == 27 || type == 29) return adStreamSeek(stream, record->end);
    return 1;
}

void adProxyFreeRecord(AdProxyRecord* record) {
    if (record->type == 27 && record->clip.points) adStoreFree(record->clip.points);
    if (record->type == 27) record->clip.points = nullptr;
}
