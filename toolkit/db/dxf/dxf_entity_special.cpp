// The groups of fixed entity types that take more than one map row: SAT
// text, MTEXT text, LEADER vertices, SPLINE lists, MLINE vertices, the
// frozen layers of a VIEWPORT and the description of a BLOCK.
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {
const std::int16_t kRational = 0x4;
enum SplineList { kKnots, kControl, kFit };

bool isSat(std::uint16_t type) {
    return type == AD_ENTITY_REGION || type == AD_ENTITY_3DSOLID || type == AD_ENTITY_BODY;
}

bool appendText(AdStore** store, const char* text, std::size_t length) {
    if (!*store) *store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* stream = *store ? adStreamOpenAppend(*store) : nullptr;
    if (!stream) {
        adFatalError(AD_FATAL_NO_MEMORY);
        return false;
    }
    const bool ok = adStreamWrite(stream, text, static_cast<std::int32_t>(length)) != 0;
    return adStreamCloseAppend(stream) && ok;
}

// SAT text is stored with its printable characters mirrored (159 - c); a
// group 1 ends a line, a group 3 continues it.
bool readSat(AdDxfEntityRead& read) {
    AdDrawing* drawing = read.drawing;
    do {
        char* text = adDxfToken().text;
        const std::size_t length = std::strlen(text);
        for (std::size_t i = 0; i < length; ++i) {
            const auto c = static_cast<std::uint8_t>(text[i]);
            if (c >= 33 && c <= 126) text[i] = static_cast<char>(159 - c);
        }
        if (!appendText(&read.data->sat.satText, text, length)) return false;
        if (adDxfToken().code == 1 && !appendText(&read.data->sat.satText, "\r\n", 2)) return false;
        if (!adDxfReadGroup(drawing)) return true;
    } while (adDxfToken().code == 1 || adDxfToken().code == 3);
    return adDxfPutBack(drawing) != 0;
}

// A first 1 group that fits is the inline text; longer texts, and texts
// given in 3 groups ending with a 1, go to the long-text store.
bool readMtext(AdDxfEntityRead& read, std::int16_t code) {
    AdMtextData& m = read.data->mtext;
    if (read.textRead) return true;
    read.textRead = true;
    const char* text = adDxfToken().text;
    if (code == 1 && std::strlen(text) < sizeof m.text) {
        adDxfCopyText(m.text, sizeof m.text, text);
        return true;
    }
    for (;;) {
        if (!appendText(&m.longText, adDxfToken().text, std::strlen(adDxfToken().text))) return false;
        if (adDxfToken().code == 1 || !adDxfReadGroup(read.drawing)) return true;
        if (adDxfToken().code != 1 && adDxfToken().code != 3) return adDxfPutBack(read.drawing) != 0;
    }
}

// The next group when it has the code; otherwise it is put back.
bool nextIs(AdDrawing* drawing, std::int16_t code) {
    if (!adDxfReadGroup(drawing)) return false;
    if (adDxfToken().code == code) return true;
    adDxfPutBack(drawing);
    return false;
}

bool readLeader(AdDxfEntityRead& read) {
    AdLeaderData& l = read.data->leader;
    const std::int32_t known = l.vertexCount > 0 ? l.vertexCount : 0x7FFF;
    std::int32_t count = 0;
    do {
        double point[3];
        if (!adDxfReadPoint(read.drawing, point, 10) || !adDxfWorkWrite(read, 0, point, 3)) return false;
        ++count;
    } while (count < known && nextIs(read.drawing, 10));
    l.vertexCount = static_cast<std::int16_t>(count);
    return true;
}

// A SPLINE's list counts (72, 73, 74) may be missing: a list without its
// count then takes as many values as groups of its code follow, up to what
// the stored counts can hold.
std::int32_t listLimit(std::int32_t given) { return given > 0 ? given : 0x7FFF; }

bool readKnots(AdDxfEntityRead& read) {
    const std::int32_t given = read.data->spline.knotCount;
    const std::int32_t count = listLimit(given);
    for (std::int32_t i = 0; i < count; ++i) {
        const double knot = adDxfToken().real;
        if (!adDxfWorkWrite(read, kKnots, &knot, 1)) return false;
        ++read.workCount[kKnots];
        if (i + 1 < count && !(given > 0 ? adDxfReadGroup(read.drawing) : nextIs(read.drawing, 40))) break;
    }
    return true;
}

// Control points are kept with a weight each (1.0 unless given); the store
// gets the weights only when the spline is rational. A weight counts only
// when the first point had one, so every point has the same form.
bool readControlPoints(AdDxfEntityRead& read) {
    AdSplineData& s = read.data->spline;
    const std::int32_t count = listLimit(s.controlPointCount);
    // Weights that came first (as the groups are usually ordered) wait in
    // the list for their points.
    const std::int32_t waiting = read.leadingWeights;
    if (waiting > 0) adDxfWorkClose(read);
    // One weight before the first point: each weight stands before its own
    // point, and the one read after a point is the next point's.
    const bool interleaved = waiting == 1;
    double pending = 1.0;
    const auto another = [&]() {
        if (interleaved && nextIs(read.drawing, 41)) pending = adDxfToken().real;
        return nextIs(read.drawing, 10);
    };
    std::int32_t i = 0;
    do {
        double point[4] = {0.0, 0.0, 0.0, 1.0};
        if (!adDxfReadPoint(read.drawing, point, 10)) return false;
        if (i < waiting) {
            const auto offset = static_cast<std::int32_t>(i * 4 * sizeof(double));
            if (!adStorePatch(read.work[kControl], offset, point, 3 * sizeof(double))) return false;
            continue;
        }
        if (i == waiting && waiting > 0) {
            read.workStream[kControl] = adStreamOpenAppend(read.work[kControl]);
            if (!read.workStream[kControl]) return false;
        }
        if (interleaved) {
            point[3] = pending;
            pending = 1.0;
        } else if (nextIs(read.drawing, 41)) {
            if (i == 0) read.weights = true;
            if (read.weights) point[3] = adDxfToken().real;
        }
        if (!adDxfWorkWrite(read, kControl, point, 4)) return false;
        ++read.workCount[kControl];
    } while (++i < count && another());
    // Weights without points of their own are dropped.
    if (waiting > i) read.workCount[kControl] = i;
    read.leadingWeights = 0;
    if (waiting > 0 && !read.workStream[kControl]) {
        read.workStream[kControl] = adStreamOpenAppend(read.work[kControl]);
        if (!read.workStream[kControl]) return false;
    }
    if (waiting > 0 || read.weights) {
        s.flags |= kRational;
        return true;
    }
    if (!nextIs(read.drawing, 41)) return true;
    s.flags |= kRational;
    adDxfWorkClose(read);
    for (std::int32_t p = 0; p < read.workCount[kControl]; ++p) {
        if (p > 0 && !nextIs(read.drawing, 41)) break;
        const double weight = adDxfToken().real;
        const auto offset = static_cast<std::int32_t>((p * 4 + 3) * sizeof(double));
        if (!adStorePatch(read.work[kControl], offset, &weight, sizeof weight)) return false;
    }
    read.workStream[kControl] = adStreamOpenAppend(read.work[kControl]);
    return read.workStream[kControl] != nullptr;
}

bool readFitPoints(AdDxfEntityRead& read) {
    const std::int32_t count = listLimit(read.data->spline.fitPointCount);
    std::int32_t i = 0;
    do {
        double point[3];
        if (!adDxfReadPoint(read.drawing, point, 11) || !adDxfWorkWrite(read, kFit, point, 3)) return false;
        ++read.workCount[kFit];
    } while (++i < count && nextIs(read.drawing, 11));
    return true;
}

bool writeValue(AdStream* stream, double value) { return adStreamWrite(stream, &value, sizeof value) != 0; }

// Per vertex: the vertex, segment direction and miter direction, then per
// line element its parameters (74 count, 41 values) and fill parameters
// (75 count, 42 values).
bool readMlineVertices(AdDxfEntityRead& read) {
    AdMlineData& m = read.data->mline;
    AdDrawing* drawing = read.drawing;
    if (!m.vertices) m.vertices = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* stream = m.vertices ? adStreamOpenAppend(m.vertices) : nullptr;
    if (!stream) {
        adFatalError(AD_FATAL_NO_MEMORY);
        return false;
    }
    bool ok = true;
    for (std::int32_t v = 0; ok && v < m.vertexCount; ++v) {
        for (int p = 0; ok && p < 3; ++p) {
            double point[3];
            ok = (v == 0 && p == 0) || adDxfNextValueGroup(drawing);
            ok = ok && adDxfReadPoint(drawing, point, 0) && adStreamWrite(stream, point, sizeof point);
        }
        for (std::int32_t e = 0; ok && e < m.lineCount; ++e) {
            for (int list = 0; ok && list < 2; ++list) {
                std::int32_t n = 0;
                ok = adDxfNextInteger(drawing, &n) && n >= 0 && n <= 0x7FFF;
                const auto count = static_cast<std::int16_t>(n);
                ok = ok && adStreamWriteShort(stream, &count);
                for (std::int32_t k = 0; ok && k < n; ++k) {
                    double value = 0.0;
                    ok = adDxfNextReal(drawing, &value) && writeValue(stream, value);
                }
            }
        }
    }
    return adStreamCloseAppend(stream) && ok;
}

bool addFrozenLayer(AdViewportData& v) {
    if (!v.frozenLayers) v.frozenLayers = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* stream = v.frozenLayers ? adStreamOpenAppend(v.frozenLayers) : nullptr;
    if (!stream) return false;
    const bool ok = adStreamWriteHandle(stream, &adDxfToken().handle) != 0;
    if (ok) ++v.frozenLayerCount;
    return adStreamCloseAppend(stream) && ok;
}

// Writes the first take doubles of each entry.
auto firstDoubles(int take) {
    return [take](AdStream* out, const double* values, std::int32_t) {
        return adStreamWrite(out, values, take * static_cast<std::int32_t>(sizeof(double))) != 0;
    };
}

bool finishSpline(AdDxfEntityRead& read) {
    AdSplineData& s = read.data->spline;
    s.knotCount = static_cast<std::int16_t>(read.workCount[kKnots]);
    s.controlPointCount = static_cast<std::int16_t>(read.workCount[kControl]);
    s.fitPointCount = static_cast<std::int16_t>(read.workCount[kFit]);
    adDxfWorkClose(read);
    AdStream* out = nullptr;
    const int controlWidth = (s.flags & kRational) ? 4 : 3;
    const std::int64_t doubles = s.knotCount + std::int64_t{s.controlPointCount} * controlWidth + s.fitPointCount * 3;
    if (!adDxfNewStore(&s.points, &out, doubles * std::int64_t{sizeof(double)})) return false;
    const bool ok = adDxfCopyWork(read.work[kKnots], s.knotCount, 1, out, firstDoubles(1)) &&
                    adDxfCopyWork(read.work[kControl], s.controlPointCount, 4, out, firstDoubles(controlWidth)) &&
                    adDxfCopyWork(read.work[kFit], s.fitPointCount, 3, out, firstDoubles(3));
    return adStreamCloseWrite(out) && ok;
}

// A hook line's end is the last vertex; the vertex before it is dropped.
bool finishLeader(AdDxfEntityRead& read) {
    AdLeaderData& l = read.data->leader;
    adDxfWorkClose(read);
    if (!read.work[0]) return true;
    const int dropped = l.hookline && l.vertexCount >= 2 ? l.vertexCount - 2 : -1;
    AdStream* out = nullptr;
    if (!adDxfNewStore(&l.vertices, &out, std::int64_t{l.vertexCount} * 3 * std::int64_t{sizeof(double)})) return false;
    const bool ok = adDxfCopyWork(read.work[0], l.vertexCount, 3, out,
                                  [dropped](AdStream* o, const double* point, std::int32_t i) {
                                      return i == dropped || adStreamWrite(o, point, 3 * sizeof(double));
                                  });
    if (dropped >= 0) --l.vertexCount;
    return adStreamCloseWrite(out) && ok;
}
}  // namespace

bool adDxfSpecialEntityGroup(AdDxfEntityRead& read, std::int16_t code, bool* ok) {
    const std::uint16_t type = read.header->type;
    AdEntityData& d = *read.data;
    if (isSat(type) && (code == 1 || code == 3)) {
        *ok = readSat(read);
    } else if (type == AD_ENTITY_MTEXT && (code == 1 || code == 3)) {
        *ok = readMtext(read, code);
    } else if (type == AD_ENTITY_MTEXT && code == 50) {
        const double r = adDxfToken().real * std::numbers::pi / 180.0;
        d.mtext.xAxis[0] = std::cos(r);
        d.mtext.xAxis[1] = std::sin(r);
        d.mtext.xAxis[2] = 0.0;
    } else if (type == AD_ENTITY_LEADER && code == 10) {
        *ok = read.work[0] ? true : readLeader(read);
    } else if (type == AD_ENTITY_SPLINE && code == 40) {
        *ok = read.work[kKnots] ? true : readKnots(read);
    } else if (type == AD_ENTITY_SPLINE && code == 41 && read.leadingWeights == read.workCount[kControl]) {
        const double point[4] = {0.0, 0.0, 0.0, adDxfToken().real};
        *ok = adDxfWorkWrite(read, kControl, point, 4);
        ++read.workCount[kControl];
        ++read.leadingWeights;
    } else if (type == AD_ENTITY_SPLINE && code == 10) {
        *ok = read.work[kControl] && read.leadingWeights == 0 ? true : readControlPoints(read);
    } else if (type == AD_ENTITY_SPLINE && code == 11) {
        *ok = read.work[kFit] ? true : readFitPoints(read);
    } else if (type == AD_ENTITY_MLINE && code == 11) {
        *ok = readMlineVertices(read);
    } else if (type == AD_ENTITY_VIEWPORT && code == 341) {
        *ok = addFrozenLayer(d.viewport);
    } else if (type == AD_ENTITY_BLOCK && code == 4) {
        adDxfCopyText(read.drawing->dxfBlockDescription, sizeof read.drawing->dxfBlockDescription,
                      adDxfToken().text);
    } else if (type == AD_ENTITY_BLOCK && code == 71) {
        read.drawing->dxfBlockValue71 = static_cast<std::int16_t>(adDxfTokenInteger());
    } else {
        return false;
    }
    return true;
}

bool adDxfFinishSpecialEntity(AdDxfEntityRead& read) {
    AdEntityData& d = *read.data;
    switch (read.header->type) {
        case AD_ENTITY_DIMENSION: d.dimension.clonePoint[2] = d.dimension.textMidpoint[2]; return true;
        case AD_ENTITY_INSERT:
            if (d.insert.rowCount == 0) d.insert.rowCount = 1;
            if (d.insert.columnCount == 0) d.insert.columnCount = 1;
            return true;
        case AD_ENTITY_SPLINE: return finishSpline(read);
        case AD_ENTITY_LEADER: return finishLeader(read);
        case AD_ENTITY_REGION:
        case AD_ENTITY_3DSOLID:
        case AD_ENTITY_BODY:
            // Every DXF release escapes a caret of the mirrored text the same way.
            return !d.sat.satText || adDxfSatTextFix(&d.sat.satText);
        default: return true;
    }
}
