// The groups of the fixed entity kinds that exist only from AC1012:
// ELLIPSE, SPLINE, the ACIS bodies, RAY and XLINE, MTEXT, LEADER, TOLERANCE
// and MLINE.
#include "toolkit/write/dxf/dxf_entity_groups.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr std::int32_t kMtextPiece = 249;
constexpr std::size_t kPieceBuffer = 512;
constexpr std::int32_t kSatLine = 255;

bool isUnitX(const double* v) { return v[0] == 1.0 && v[1] == 0.0 && v[2] == 0.0; }
bool isZero(const double* v) { return v[0] == 0.0 && v[1] == 0.0 && v[2] == 0.0; }

void full3(AdDxfEntityGroups& g, std::int16_t code, const double* p) {
    if (g.ok) g.ok = adDxfWriteFullPoint3D(g.output, code, p);
}

void fullReal(AdDxfEntityGroups& g, std::int16_t code, double value) {
    if (g.ok) g.ok = adDxfWriteFullRealGroup(g.output, code, &value);
}

// The extrusion at 16 decimals whether or not it is the default.
void normal(AdDxfEntityGroups& g) { full3(g, 210, g.header->extrusion); }

void writeEllipse(AdDxfEntityGroups& g, const AdEllipseData& e) {
    g.marker("AcDbEllipse");
    g.pointZ(10, e.centre);
    full3(g, 11, e.majorAxis);
    normal(g);
    g.real(40, e.axisRatio);
    fullReal(g, 41, e.startParameter);
    fullReal(g, 42, e.endParameter);
}

void writeSpline(AdDxfEntityGroups& g, const AdSplineData& s) {
    g.marker("AcDbSpline");
    normal(g);
    g.shortGroup(70, s.flags);
    g.shortGroup(71, s.degree);
    const bool rational = (s.flags & 4) != 0;
    const std::int64_t perControl = rational ? 4 : 3;
    const std::int64_t knots = s.knotCount > 0 ? s.knotCount : 0;
    const std::int64_t controls = s.controlPointCount > 0 ? s.controlPointCount : 0;
    const std::int64_t fits = s.fitPointCount > 0 ? s.fitPointCount : 0;
    // The counts written are those the store can give whole.
    const std::vector<double> values = adStoredDoubles(s.points, knots + controls * perControl + 3 * fits);
    const auto held = static_cast<std::int64_t>(values.size());
    const std::int64_t k = held < knots ? held : knots;
    std::int64_t c = (held - k) / perControl;
    if (c > controls) c = controls;
    std::int64_t f = (held - k - c * perControl) / 3;
    if (f > fits) f = fits;
    g.shortGroup(72, static_cast<std::int16_t>(k));
    g.shortGroup(73, static_cast<std::int16_t>(c));
    g.shortGroup(74, static_cast<std::int16_t>(f));
    if (k > 0) g.real(42, s.knotTolerance);
    if (c > 0) g.real(43, s.controlPointTolerance);
    if (f > 0) g.real(44, s.fitTolerance);
    if (!isZero(s.startTangent)) full3(g, 12, s.startTangent);
    if (!isZero(s.endTangent)) full3(g, 13, s.endTangent);
    const double* at = values.data();
    for (std::int64_t i = 0; i < k; ++i) fullReal(g, 40, *at++);
    for (std::int64_t i = 0; i < c; ++i, at += perControl) {
        full3(g, 10, at);
        if (rational) fullReal(g, 41, at[3]);
    }
    for (std::int64_t i = 0; i < f; ++i, at += 3) full3(g, 11, at);
}

// Each printable ASCII byte b of a SAT line as 159 - b.
void scramble(char* line) {
    for (char* p = line; *p; ++p) {
        const auto b = static_cast<unsigned char>(*p);
        if (b >= 33 && b <= 126) *p = static_cast<char>(159 - b);
    }
}
}  // namespace

int adDxfWriteSatLines(AdOutputDrawing* output, AdStore* store) {
    AdStream* in = store ? adStreamOpenRead(store) : nullptr;
    if (!in) return store ? 0 : 1;
    char line[kSatLine + 1];
    int ended = 0;
    int ok = 1;
    while (ok && adStreamReadLine(in, line, kSatLine, &ended) > 0) {
        scramble(line);
        ok = adDxfWriteStringGroup(output, static_cast<std::int16_t>(ended ? 1 : 3), line);
    }
    adStreamCloseRead(in);
    return ok;
}

int adDxfWriteMtextPiece(AdOutputDrawing* output, const char* text, std::size_t length, bool more) {
    char piece[kPieceBuffer];
    std::size_t n = 0;
    for (std::size_t i = 0; i < length && n < sizeof piece - 1; ++i)
        if (text[i] != '\n') piece[n++] = text[i];
    piece[n] = '\0';
    return adDxfWriteEscapedGroup(output, static_cast<std::int16_t>(more ? 3 : 1), piece);
}

int adDxfWriteMtextText(AdOutputDrawing* output, const char* text, std::size_t length, int codePage) {
    std::size_t at = 0;
    do {
        std::size_t n = length - at;
        if (n > static_cast<std::size_t>(kMtextPiece)) {
            n = static_cast<std::size_t>(kMtextPiece);
            // A double-byte character is never split: the piece stops before a
            // lead byte whose second byte would fall into the next piece.
            std::size_t i = 0;
            while (i < n) i += adIsLeadByte(codePage, static_cast<unsigned char>(text[at + i])) ? 2 : 1;
            if (i > n) --n;
        }
        const bool more = at + n < length;
        if (!adDxfWriteMtextPiece(output, text + at, n, more)) return 0;
        at += n;
    } while (at < length);
    return 1;
}

namespace {
int writeMtextBody(AdDxfEntityGroups& g, const AdMtextData& m) {
    const int codePage = g.context->source->header ? g.context->source->header->dwgcodepage : 0;
    // An inline text is one group 1; what the piece buffer cannot hold of it
    // is left out rather than written past the buffer.
    if (!m.longText) return adDxfWriteMtextPiece(g.output, m.text, strnlen(m.text, sizeof m.text), false);
    const std::int32_t size = adStoreSize(m.longText);
    auto* text = static_cast<char*>(HostAlloc(static_cast<std::size_t>(size > 0 ? size : 0) + 1));
    if (!text) {
        adSetError(AD_ERR_DXF_MTEXT_MEMORY);
        adFatalError(AD_FATAL_NO_MEMORY);
        return 0;
    }
    AdStream* in = adStreamOpenRead(m.longText);
    const bool read = in && (size <= 0 || adStreamRead(in, text, size));
    if (in) adStreamCloseRead(in);
    // A stored text ends at its terminator when it has one.
    const std::size_t length = read ? strnlen(text, static_cast<std::size_t>(size > 0 ? size : 0)) : 0;
    const int ok = read && adDxfWriteMtextText(g.output, text, length, codePage);
    HostFree(text);
    return ok;
}

void writeMtext(AdDxfEntityGroups& g, const AdMtextData& m) {
    g.marker("AcDbMText");
    g.pointZ(10, m.insertion);
    g.real(40, m.height);
    g.real(41, m.referenceWidth);
    g.shortGroup(71, m.attachment);
    g.shortGroup(72, m.drawingDirection);
    if (g.ok) g.ok = writeMtextBody(g, m);
    if (g.context->names.style[0] && !adDxfIsDefaultStyle(g.context))
        g.name(7, g.context->names.style, adDxfStyleNumber(g.context->source, m.style));
    g.extrusion();
    if (!isUnitX(m.xAxis)) g.pointZ(11, m.xAxis);
    if (g.v == AD_VERSION_AC1015) {
        g.shortGroup(73, m.lineSpacingStyle);
        g.real(44, m.lineSpacingFactor);
    }
}

void writeLeader(AdDxfEntityGroups& g, const AdEntityHeader& header, const AdLeaderData& l) {
    AdDimStyleSettings settings{};
    adDimStyleOverrides(g.context->source, &header, &l.dimStyle, &settings);
    const std::vector<double> points = adStoredDoubles(l.vertices, 3 * static_cast<std::int64_t>(l.vertexCount));
    const auto count = static_cast<std::int16_t>(points.size() / 3);
    std::int16_t number = 0;
    adDimStyleHandleToIndex(g.context->source, &l.dimStyle, &number);
    g.marker("AcDbLeader");
    g.name(3, g.context->names.dimStyle, number);
    if (l.arrowhead != 1) g.shortGroup(71, l.arrowhead);
    g.shortIf(72, l.pathType);
    g.shortGroup(73, l.annotationType);
    g.shortGroup(74, l.hooklineDirection);
    g.shortGroup(75, l.hookline);
    g.real(40, l.textHeight);
    if (l.textWidth != 0.0) g.real(41, l.textWidth);
    const bool hook = l.hookline != 0 && count > 0;
    g.shortGroup(76, static_cast<std::int16_t>(count + (hook ? 1 : 0)));
    for (std::int16_t i = 0; i < count; ++i) {
        const double* p = &points[3 * static_cast<std::size_t>(i)];
        if (hook && i == count - 1) {
            // The hook line's end lies one arrow size along the horizontal
            // direction from the last vertex, before it.
            const double sign = l.hooklineDirection ? 1.0 : -1.0;
            double extra[3];
            for (int k = 0; k < 3; ++k) extra[k] = p[k] + l.horizontalDirection[k] * settings.arrowSize * sign;
            g.pointZ(10, extra);
        }
        g.pointZ(10, p);
    }
    g.shortGroup(77, l.colour);
    if (adHandleLength(&l.annotation) != 0) g.handle(340, l.annotation);
    if (!isUnitX(l.horizontalDirection)) full3(g, 211, l.horizontalDirection);
    if (!isZero(l.blockOffset)) full3(g, 212, l.blockOffset);
    if (!isZero(l.annotationOffset)) full3(g, 213, l.annotationOffset);
    g.extrusion();
}

void writeTolerance(AdDxfEntityGroups& g, const AdToleranceData& t) {
    std::int16_t number = 0;
    adDimStyleHandleToIndex(g.context->source, &t.dimStyle, &number);
    g.marker("AcDbFcf");
    g.name(3, g.context->names.dimStyle, number);
    g.pointZ(10, t.insertion);
    // The value is one line: every line feed becomes a caret and J.
    std::string text;
    for (std::size_t i = 0; i < sizeof t.text && t.text[i]; ++i) {
        if (t.text[i] == '\n') text += "^J";
        else text += t.text[i];
    }
    g.text(1, text.c_str());
    g.extrusion();
    if (!isUnitX(t.xDirection)) g.pointZ(11, t.xDirection);
}

void writeMline(AdDxfEntityGroups& g, const AdMlineData& m) {
    g.marker("AcDbMline");
    g.name(2, g.context->names.mlineStyle, 0);
    g.handle(340, g.context->mlineStyle);
    g.real(40, m.scale);
    g.shortGroup(70, m.justification);
    g.shortGroup(71, m.flags);
    // The vertices the store holds whole, each with its parameter lists.
    struct Vertex {
        double points[9];
        std::vector<std::vector<double>> lists;
    };
    std::vector<Vertex> vertices;
    const std::int16_t lines = m.lineCount > 0 ? m.lineCount : 0;
    AdStream* in = m.vertices && m.vertexCount > 0 ? adStreamOpenRead(m.vertices) : nullptr;
    const std::int32_t held = in ? adStoreSize(m.vertices) : 0;
    for (std::int32_t i = 0; in && i < m.vertexCount; ++i) {
        Vertex v{};
        bool whole = adStreamRead(in, v.points, sizeof v.points) != 0;
        v.lists.resize(2 * static_cast<std::size_t>(lines));
        for (std::vector<double>& list : v.lists) {
            std::int16_t n = 0;
            whole = whole && adStreamRead(in, &n, sizeof n) && n >= 0 && n <= held / 8;
            if (!whole) break;
            list.resize(static_cast<std::size_t>(n));
            for (double& value : list) whole = whole && adStreamReadDouble(in, &value);
        }
        if (!whole) break;
        vertices.push_back(std::move(v));
    }
    if (in) adStreamCloseRead(in);
    g.shortGroup(72, static_cast<std::int16_t>(vertices.size()));
    g.shortGroup(73, lines);
    full3(g, 10, m.start);
    normal(g);
    for (const Vertex& v : vertices) {
        for (int p = 0; p < 3; ++p) full3(g, static_cast<std::int16_t>(11 + p), &v.points[3 * p]);
        for (std::size_t k = 0; k < v.lists.size(); ++k) {
            const bool fill = k % 2 == 1;
            g.shortGroup(static_cast<std::int16_t>(fill ? 75 : 74), static_cast<std::int16_t>(v.lists[k].size()));
            for (double value : v.lists[k]) {
                if (fill) g.real(42, value);
                else fullReal(g, 41, value);
            }
        }
    }
}
}  // namespace

int adDxfWriteModernKind(AdDxfEntityGroups& g, const AdEntityData* data) {
    switch (g.header->type) {
        case AD_ENTITY_ELLIPSE: writeEllipse(g, data->ellipse); break;
        case AD_ENTITY_SPLINE: writeSpline(g, data->spline); break;
        case AD_ENTITY_REGION:
        case AD_ENTITY_3DSOLID:
        case AD_ENTITY_BODY:
            g.marker("AcDbModelerGeometry");
            g.shortGroup(70, 1);
            if (g.ok) g.ok = adDxfWriteSatLines(g.output, data->sat.satText);
            break;
        case AD_ENTITY_RAY:
        case AD_ENTITY_XLINE:
            g.marker(g.header->type == AD_ENTITY_RAY ? "AcDbRay" : "AcDbXline");
            g.pointZ(10, data->ray.base);
            full3(g, 11, data->ray.direction);
            break;
        case AD_ENTITY_MTEXT: writeMtext(g, data->mtext); break;
        case AD_ENTITY_LEADER: writeLeader(g, *g.header, data->leader); break;
        case AD_ENTITY_TOLERANCE: writeTolerance(g, data->tolerance); break;
        case AD_ENTITY_MLINE: writeMline(g, data->mline); break;
        default: break;
    }
    return g.ok;
}
