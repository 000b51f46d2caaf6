// A HATCH's boundary paths, pattern lines and seed points: each opens with
// its count and is followed by its values in a fixed order, which are
// taken from the next groups whatever their codes. The end of the file
// ends them.
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cmath>
#include <numbers>

namespace {
const std::int32_t kPolylinePath = 0x2;
const std::int32_t kDerivedPath = 0x4;
// More values than any real spline edge carries end the path.
const std::int64_t kMaxSplineValues = 1 << 24;

// Copies values of the next groups into an open stream. A false read stops
// the copying; `ok` turns false only when a store refused bytes.
struct Copier {
    AdDrawing* drawing;
    AdStream* out;
    bool ok = true;

    bool integer(std::int32_t* value) { return adDxfNextInteger(drawing, value); }
    bool putShort() {
        std::int32_t v = 0;
        if (!integer(&v)) return false;
        ok = adStreamPutShort(out, static_cast<std::int16_t>(v)) != 0;
        return ok;
    }
    bool putLong(std::int32_t* value) {
        if (!integer(value)) return false;
        ok = adStreamPutLong(out, *value) != 0;
        return ok;
    }
    bool putReal(double scale = 1.0) {
        double v = 0.0;
        if (!adDxfNextReal(drawing, &v)) return false;
        ok = adStreamPutDouble(out, v * scale) != 0;
        return ok;
    }
    bool putReals(std::int64_t count) {
        for (std::int64_t i = 0; i < count; ++i)
            if (!putReal()) return false;
        return true;
    }
};

constexpr double kRadians = std::numbers::pi / 180.0;

// An angle on the ellipse as the parameter of its point.
double ellipseParameter(double degrees, double ratio) {
    const double a = degrees * kRadians;
    double t = ratio != 0.0 ? std::atan2(std::sin(a), ratio * std::cos(a)) : a;
    if (t < 0.0) t += 2.0 * std::numbers::pi;
    return t;
}

bool edge(Copier& c) {
    std::int32_t type = 0;
    if (!c.integer(&type)) return false;
    c.ok = adStreamPutShort(c.out, static_cast<std::int16_t>(type)) != 0;
    if (!c.ok) return false;
    switch (type) {
        case 1: return c.putReals(4);
        case 2: return c.putReals(3) && c.putReal(kRadians) && c.putReal(kRadians) && c.putShort();
        case 3: {
            double v[7];
            for (double& value : v)
                if (!adDxfNextReal(c.drawing, &value)) return false;
            v[5] = ellipseParameter(v[5], v[4]);
            v[6] = ellipseParameter(v[6], v[4]);
            for (double value : v) c.ok = c.ok && adStreamPutDouble(c.out, value);
            return c.ok && c.putShort();
        }
        case 4: {
            std::int32_t degree = 0, rational = 0, knots = 0, points = 0;
            if (!c.putLong(&degree) || !c.integer(&rational)) return false;
            c.ok = adStreamPutShort(c.out, static_cast<std::int16_t>(rational)) != 0;
            if (!c.ok || !c.putShort() || !c.putLong(&knots) || !c.putLong(&points)) return false;
            const std::int64_t values =
                static_cast<std::int64_t>(knots) + (rational ? 3 : 2) * static_cast<std::int64_t>(points);
            return knots >= 0 && points >= 0 && values <= kMaxSplineValues && c.putReals(values);
        }
        default: return false;
    }
}

bool sources(AdDxfEntityRead& read, Copier& c) {
    std::int32_t count = 0;
    if (!c.putLong(&count)) return false;
    AdHatchData& h = read.data->hatch;
    if (!h.further) h.further = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = h.further ? adStreamOpenAppend(h.further) : nullptr;
    if (!out) return c.ok = false;
    bool more = true;
    for (std::int32_t i = 0; more && c.ok && i < count; ++i) {
        more = adDxfReadGroup(read.drawing) != 0;
        c.ok = !more || adStreamWriteHandle(out, &adDxfToken().handle);
    }
    c.ok = adStreamCloseAppend(out) && c.ok;
    return more && c.ok;
}

bool path(AdDxfEntityRead& read, Copier& c) {
    std::int32_t flags = 0;
    if (!c.putLong(&flags)) return false;
    if (flags & kDerivedPath) read.derived = true;
    if (flags & kPolylinePath) {
        std::int32_t bulges = 0, vertices = 0;
        if (!c.integer(&bulges)) return false;
        c.ok = adStreamPutShort(c.out, static_cast<std::int16_t>(bulges)) != 0;
        if (!c.ok || !c.putShort() || !c.putLong(&vertices)) return false;
        for (std::int32_t i = 0; i < vertices; ++i)
            if (!c.putReals(bulges ? 3 : 2)) return false;
    } else {
        std::int32_t edges = 0;
        if (!c.putLong(&edges)) return false;
        for (std::int32_t i = 0; i < edges; ++i)
            if (!edge(c)) return false;
    }
    return sources(read, c);
}

// Opens store for appending, runs the copy over count entries and counts
// those read whole.
template <typename Entry>
bool copyEntries(AdDxfEntityRead& read, AdStore** store, std::int32_t count, std::int32_t* done, Entry entry) {
    if (!*store) *store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    Copier c{read.drawing, *store ? adStreamOpenAppend(*store) : nullptr};
    if (!c.out) {
        adFatalError(AD_FATAL_NO_MEMORY);
        return false;
    }
    for (std::int32_t i = 0; i < count && entry(c); ++i) ++*done;
    return adStreamCloseAppend(c.out) && c.ok;
}

bool patternLine(Copier& c) {
    std::int32_t dashes = 0;
    if (!c.putReal(kRadians) || !c.putReals(4) || !c.integer(&dashes)) return false;
    c.ok = adStreamPutShort(c.out, static_cast<std::int16_t>(dashes)) != 0;
    return c.ok && c.putReals(dashes);
}
}  // namespace

bool adDxfHatchGroup(AdDxfEntityRead& read, std::int16_t code, bool* ok) {
    AdHatchData& h = read.data->hatch;
    const std::int32_t count = adDxfTokenInteger();
    switch (code) {
        case 91:
            *ok = copyEntries(read, &h.paths, count, &h.pathCount, [&](Copier& c) { return path(read, c); });
            return true;
        case 78: {
            std::int32_t lines = 0;
            *ok = copyEntries(read, &h.patternLines, count, &lines, patternLine);
            h.patternLineCount = static_cast<std::int16_t>(lines);
            if (*ok && read.derived) adDxfNextReal(read.drawing, &h.pixelSize);
            return true;
        }
        case 98:
            *ok = copyEntries(read, &h.seeds, count, &h.seedCount, [](Copier& c) { return c.putReals(2); });
            return true;
        default: return false;
    }
}
