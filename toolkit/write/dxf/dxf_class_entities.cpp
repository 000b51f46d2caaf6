// The groups of the class-numbered entity kinds after their common part:
// OLE2FRAME, LWPOLYLINE, IMAGE and WIPEOUT, RTEXT, ARCALIGNEDTEXT, HATCH,
// entities kept from a class and proxies.
#include "toolkit/write/dxf/dxf_entity_groups.h"
#include "toolkit/db/dwg/dwg_class_read.h"

#include <vector>

namespace {
constexpr std::int32_t kChunk = 127;
constexpr std::int32_t kOleChunk = 32;
constexpr std::int16_t kRectangle = 1;

void full3(AdDxfEntityGroups& g, std::int16_t code, const double* p) {
    if (g.ok) g.ok = adDxfWriteFullPoint3D(g.output, code, p);
}

void full2(AdDxfEntityGroups& g, std::int16_t code, const double* p) {
    if (g.ok) g.ok = adDxfWriteFullPoint2D(g.output, code, p);
}

void fullReal(AdDxfEntityGroups& g, std::int16_t code, double value) {
    if (g.ok) g.ok = adDxfWriteFullRealGroup(g.output, code, &value);
}

void chunks(AdDxfEntityGroups& g, AdStore* store, std::int32_t size) {
    if (g.ok) g.ok = adDxfWriteBinaryChunks(g.output, store, 310, size);
}

// Proxy graphics: their size and their bytes, when the entity has some.
void graphics(AdDxfEntityGroups& g, AdStore* store) {
    if (!store) return;
    g.longGroup(92, adStoreSize(store));
    chunks(g, store, kChunk);
}

void writeOle2Frame(AdDxfEntityGroups& g, const AdOle2FrameData& f) {
    g.marker("AcDbOle2Frame");
    g.shortGroup(70, f.version);
    g.pointZ(10, f.upperLeft);
    g.pointZ(11, f.lowerRight);
    g.shortGroup(71, 2);
    g.shortGroup(72, 0);
    g.shortGroup(73, f.spareByte);
    g.longGroup(90, f.dataLength);
    chunks(g, f.data, kOleChunk);
    g.text(1, "OLE");
}

void writeLwpolyline(AdDxfEntityGroups& g, const AdLwpolylineData& p) {
    const bool bulges = (p.flags & 16) != 0;
    const bool widths = (p.flags & 32) != 0;
    const int perVertex = 2 + (bulges ? 1 : 0) + (widths ? 2 : 0);
    const std::vector<double> values = adStoredDoubles(p.vertices, static_cast<std::int64_t>(p.vertexCount) * perVertex);
    const auto count = static_cast<std::int32_t>(values.size() / static_cast<std::size_t>(perVertex));
    g.marker("AcDbPolyline");
    g.longGroup(90, count);
    std::int16_t flags = (p.flags & 512) ? 1 : 0;
    if (p.flags & 256) flags = static_cast<std::int16_t>(flags + 128);
    g.shortGroup(70, flags);
    if (p.constantWidth != 0.0) g.real(43, p.constantWidth);
    if (p.elevation != 0.0) g.real(38, p.elevation);
    if (g.header->thickness != 0.0) g.real(39, g.header->thickness);
    for (std::int32_t i = 0; i < count; ++i) {
        const double* v = &values[static_cast<std::size_t>(i) * static_cast<std::size_t>(perVertex)];
        g.real(10, v[0]);
        g.real(20, v[1]);
        const double* w = v + (bulges ? 3 : 2);
        if (widths) {
            g.real(40, w[0]);
            g.real(41, w[1]);
        }
        // Every write counts: a lost bulge would change the outline.
        if (bulges && v[2] != 0.0) g.real(42, v[2]);
    }
    g.extrusion();
}

void writeImage(AdDxfEntityGroups& g, const AdImageData& image, bool wipeout) {
    graphics(g, image.pixels);
    g.marker(wipeout ? "AcDbWipeout" : "AcDbRasterImage");
    g.longGroup(90, image.classVersion);
    g.point3(10, image.insertion);
    g.point3(11, image.uVector);
    g.point3(12, image.vVector);
    g.point2(13, image.size);
    if (wipeout) g.text(340, "0");
    else g.handle(340, image.imageDef);
    g.shortGroup(70, image.displayProperties);
    g.shortGroup(280, image.clipping);
    g.shortGroup(281, image.brightness);
    g.shortGroup(282, image.contrast);
    g.shortGroup(283, image.fade);
    if (wipeout) g.text(360, "0");
    else g.handle(360, image.imageDefReactor);
    g.shortGroup(71, image.clipBoundaryType);
    if (image.clipBoundaryType == kRectangle) {
        g.longGroup(91, 2);
        g.point2(14, image.clipCorners[0]);
        g.point2(14, image.clipCorners[1]);
        return;
    }
    const std::vector<double> vertices = adStoredDoubles(image.clipVertices, 2 * static_cast<std::int64_t>(image.clipVertexCount));
    const auto count = static_cast<std::int32_t>(vertices.size() / 2);
    g.longGroup(91, count);
    for (std::int32_t i = 0; i < count; ++i) g.point2(14, &vertices[2 * static_cast<std::size_t>(i)]);
}

void writeRtext(AdDxfEntityGroups& g, const AdRtextData& r) {
    graphics(g, r.longText);
    g.marker("RText");
    g.point3(10, r.insertion);
    full3(g, 210, g.header->extrusion);
    g.angle(50, r.rotation);
    g.real(40, r.height);
    g.name(7, g.context->names.style, adDxfStyleNumber(g.context->source, r.style));
    g.shortGroup(70, r.flags);
    g.text(1, r.text);
}

void writeArcAlignedText(AdDxfEntityGroups& g, const AdArcAlignedTextData& a) {
    graphics(g, a.graphics);
    g.marker("AcDbArcAlignedText");
    g.text(1, a.text);
    g.text(2, a.fontFile);
    g.text(3, a.bigFontFile);
    g.name(7, g.context->names.style, adDxfStyleNumber(g.context->source, a.style));
    g.point3(10, a.centre);
    g.real(40, a.radius);
    g.real(41, a.widthFactor);
    g.real(42, a.textHeight);
    g.real(43, a.characterSpacing);
    g.real(44, a.offset);
    g.real(45, a.rightOffset);
    g.real(46, a.leftOffset);
    g.angle(50, a.startAngle);
    g.angle(51, a.endAngle);
    for (int i = 0; i < 10; ++i) g.shortGroup(static_cast<std::int16_t>(70 + i), a.values70[i]);
    g.longGroup(90, a.colour);
    full3(g, 210, g.header->extrusion);
    g.shortGroup(280, a.value280);
    g.handle(330, a.arc);
}

struct HatchWriter {
    AdDxfEntityGroups& g;
    AdStoreValues& c;
    std::int64_t limit;  // no count of the store can exceed its size in bytes

    bool more() const { return g.ok && c.ok; }
    std::int32_t bounded(std::int32_t n) const {
        if (n < 0) return 0;
        return n > limit ? static_cast<std::int32_t>(limit) : n;
    }
    void point(std::int16_t code) {
        const double p[2] = {c.get<double>(), c.get<double>()};
        full2(g, code, p);
    }
    void edge() {
        const std::int16_t type = c.get<std::int16_t>();
        g.shortGroup(72, type);
        switch (type) {
            case 1:
                point(10);
                point(11);
                break;
            case 2: {
                point(10);
                const double radius = c.get<double>();
                const double start = c.get<double>();
                const double end = c.get<double>();
                fullReal(g, 40, radius);
                g.angle(50, start);
                g.angle(51, end);
                g.shortGroup(73, c.get<std::int16_t>());
                break;
            }
            case 3: {
                point(10);
                point(11);
                const double ratio = c.get<double>();
                double start = adEllipseParamToAngle(c.get<double>(), ratio);
                double end = adEllipseParamToAngle(c.get<double>(), ratio);
                g.real(40, ratio);
                // At most one turn is added: angles come from atan2.
                while ((start < 0.0 || end < 0.0) && start > -4 * AD_PI && end > -4 * AD_PI) {
                    start += 2 * AD_PI;
                    end += 2 * AD_PI;
                }
                g.angle(50, start);
                g.angle(51, end);
                g.shortGroup(73, c.get<std::int16_t>());
                break;
            }
            case 4: {
                g.longGroup(94, c.get<std::int32_t>());
                const bool rational = c.get<std::int16_t>() != 0;
                g.shortGroup(73, rational ? 1 : 0);
                g.shortGroup(74, c.get<std::int16_t>());
                const std::int32_t knots = bounded(c.get<std::int32_t>());
                const std::int32_t points = bounded(c.get<std::int32_t>());
                g.longGroup(95, knots);
                g.longGroup(96, points);
                for (std::int32_t i = 0; more() && i < knots; ++i) g.real(40, c.get<double>());
                for (std::int32_t i = 0; more() && i < points; ++i) {
                    point(10);
                    if (rational) fullReal(g, 42, c.get<double>());
                }
                break;
            }
            default: break;
        }
    }
    // One boundary path; answers whether it was derived.
    bool path(AdStream* sources) {
        const std::int32_t flags = c.get<std::int32_t>();
        g.longGroup(92, flags);
        if (flags & 2) {
            const std::int16_t bulges = c.get<std::int16_t>();
            g.shortGroup(72, bulges);
            g.shortGroup(73, c.get<std::int16_t>());
            const std::int32_t n = bounded(c.get<std::int32_t>());
            g.longGroup(93, n);
            for (std::int32_t i = 0; more() && i < n; ++i) {
                point(10);
                if (bulges) fullReal(g, 42, c.get<double>());
            }
        } else {
            const std::int32_t n = bounded(c.get<std::int32_t>());
            g.longGroup(93, n);
            for (std::int32_t i = 0; more() && i < n; ++i) edge();
        }
        const std::int32_t n = bounded(c.get<std::int32_t>());
        g.longGroup(97, n);
        AdHandle source{};
        for (std::int32_t i = 0; more() && i < n; ++i) {
            if (!sources || !adStreamReadHandle(sources, &source)) source = AdHandle{};
            g.handle(330, source);
        }
        return (flags & 4) != 0;
    }
};

void writeHatch(AdDxfEntityGroups& g, const AdHatchData& h) {
    g.marker("AcDbHatch");
    full3(g, 10, h.elevation);
    full3(g, 210, g.header->extrusion);
    g.text(2, h.patternName);
    g.shortGroup(70, h.solidFill);
    g.shortGroup(71, h.associative);
    const std::int32_t paths = h.paths && h.pathCount > 0 ? h.pathCount : 0;
    g.longGroup(91, paths);
    bool derived = false;
    {
        AdStoreValues c(h.paths);
        AdStream* sources = h.further ? adStreamOpenRead(h.further) : nullptr;
        HatchWriter w{g, c, h.paths ? adStoreSize(h.paths) : 0};
        for (std::int32_t i = 0; w.more() && i < paths; ++i) derived = w.path(sources) || derived;
        if (sources) adStreamCloseRead(sources);
        if (paths > 0 && !c.ok) g.ok = 0;
    }
    g.shortGroup(75, h.style);
    g.shortGroup(76, h.patternType);
    if (!h.solidFill) g.angle(52, h.patternAngle);
    if (h.patternScale != 0.0) g.real(41, h.patternScale);
    if (!h.solidFill) {
        g.shortGroup(77, h.doubleFlag);
        const std::int16_t lines = h.patternLines && h.patternLineCount > 0 ? h.patternLineCount : 0;
        g.shortGroup(78, lines);
        AdStoreValues c(h.patternLines);
        const std::int64_t limit = h.patternLines ? adStoreSize(h.patternLines) : 0;
        for (std::int16_t i = 0; g.ok && c.ok && i < lines; ++i) {
            g.angle(53, c.get<double>());
            g.real(43, c.get<double>());
            g.real(44, c.get<double>());
            fullReal(g, 45, c.get<double>());
            fullReal(g, 46, c.get<double>());
            std::int16_t dashes = c.get<std::int16_t>();
            if (dashes < 0 || dashes > limit) dashes = 0;
            g.shortGroup(79, dashes);
            for (std::int16_t k = 0; g.ok && c.ok && k < dashes; ++k) g.real(49, c.get<double>());
        }
        if (lines > 0 && !c.ok) g.ok = 0;
    }
    if (derived) {
        g.real(47, h.pixelSize);
        const std::vector<double> seeds = adStoredDoubles(h.seeds, 2 * static_cast<std::int64_t>(h.seedCount));
        const auto count = static_cast<std::int32_t>(seeds.size() / 2);
        g.longGroup(98, count);
        for (std::int32_t i = 0; i < count; ++i) full2(g, 10, &seeds[2 * static_cast<std::size_t>(i)]);
    }
}

void writeKept(AdDxfEntityGroups& g, const AdProxyData& p) {
    graphics(g, p.graphics);
    if (g.ok) g.ok = adDxfWriteGroupData(g.output, p.data, p.objectIds, p.objectIdCount);
}

void writeProxy(AdDxfEntityGroups& g, const AdProxyData& p) {
    g.text(100, g.v == AD_VERSION_AC1012 ? "AcDbZombieEntity" : "AcDbProxyEntity");
    g.longGroup(90, AD_ENTITY_PROXY);
    // The entity's type is its class when the drawing has that class; the
    // stored number otherwise.
    char className[AD_TABLE_NAME_SIZE];
    const bool typeIsClass = adClassNameByNumber(g.context->source, static_cast<std::int16_t>(g.header->type), className);
    const std::int32_t number = typeIsClass || !p.applicationClass ? g.header->type : p.applicationClass;
    g.longGroup(91, adDxfWrittenClassNumber(g.context->source, number));
    if (g.v == AD_VERSION_AC1015) {
        g.longGroup(95, p.drawingFormat);
        g.shortGroup(70, p.originalFormat);
    }
    g.longGroup(92, p.graphics ? adStoreSize(p.graphics) : 0);
    chunks(g, p.graphics, kChunk);
    g.longGroup(93, p.dataBits);
    chunks(g, p.data, kChunk);
    if (g.ok) g.ok = adDxfWriteHandleRefs(g.output, p.objectIds, p.objectIdCount);
    g.longGroup(94, 0);
}
}  // namespace

int adDxfWriteClassEntity(AdDxfEntityContext* context, const AdEntityHeader* header, const AdEntityData* data) {
    if (context->output->version < AD_VERSION_AC1012) return 1;
    AdDxfEntityGroups g(context, header);
    char kept[AD_TABLE_NAME_SIZE];
    switch (adEntityKind(context->source, header->type)) {
        case AD_KIND_OLE2FRAME: writeOle2Frame(g, data->ole2Frame); break;
        case AD_KIND_LWPOLYLINE: writeLwpolyline(g, data->lwpolyline); break;
        case AD_KIND_IMAGE: writeImage(g, data->image, false); break;
        case AD_KIND_WIPEOUT: writeImage(g, data->image, true); break;
        case AD_KIND_RTEXT: writeRtext(g, data->rtext); break;
        case AD_KIND_ARCALIGNEDTEXT: writeArcAlignedText(g, data->arcAlignedText); break;
        case AD_KIND_HATCH: writeHatch(g, data->hatch); break;
        default:
            if (adDxfKeptClassEntity(context->source, header->type, data, kept)) writeKept(g, data->proxy);
            else writeProxy(g, data->proxy);
            break;
    }
    return g.ok;
}
