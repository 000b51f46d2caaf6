// Entity records that keep part of their data in stores: MTEXT, LEADER,
// TOLERANCE, MLINE and SPLINE.
#include "toolkit/write/dwg/dwg_entity_head.h"

#include "toolkit/db/dwg/dwg_class_read.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {
constexpr std::size_t kLongestText = 0xFFFF;

bool ac1015(const AdDwgWriter* writer) { return adDwgWritesAc1015(writer); }

// An MTEXT's text: its store up to the first NUL, or the record's own.
std::vector<char> mtextText(const AdMtextData& m) {
    std::vector<char> text;
    if (!m.longText) {
        text.assign(m.text, m.text + strnlen(m.text, sizeof m.text));
        return text;
    }
    AdStream* in = adStreamOpenRead(m.longText);
    const std::int32_t size = in ? adStoreSize(m.longText) : 0;
    std::uint8_t byte = 0;
    for (std::int32_t i = 0; i < size && text.size() < kLongestText && adStreamReadByte(in, &byte) && byte; ++i)
        text.push_back(static_cast<char>(byte));
    if (in) adStreamCloseRead(in);
    return text;
}
}  // namespace

int adDwgWriteMtextEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                          const AdDwgEntityLinks& links, std::int16_t type) {
    const AdMtextData& m = data->mtext;
    adBitWrite3D(m.insertion);
    adBitWrite3D(header->extrusion);
    adBitWrite3D(m.xAxis);
    adBitWriteDouble(m.referenceWidth);
    adBitWriteDouble(m.height);
    adBitWriteShort(m.attachment);
    adBitWriteShort(m.drawingDirection);
    adBitWriteDouble(m.extentsHeight);
    adBitWriteDouble(m.extentsWidth);
    const std::vector<char> text = mtextText(m);
    adBitWriteShort(static_cast<std::int16_t>(static_cast<std::uint16_t>(text.size())));
    if (!text.empty()) adBitWriteBytes(text.data(), static_cast<std::int32_t>(text.size()));
    if (ac1015(writer)) {
        adBitWriteShort(m.lineSpacingStyle);
        adBitWriteDouble(m.lineSpacingFactor);
        adBitWriteBit(0);
    }
    return adDwgEntityHandlesWith(writer, header, type, links, {&m.style});
}

int adDwgWriteLeaderEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                           const AdDwgEntityLinks& links, std::int16_t type) {
    const AdLeaderData& l = data->leader;
    AdDimStyleSettings dim{};
    if (!adDimStyleOverrides(writer->source, header, &dim, &l.dimStyle)) {
        adSetError(AD_ERR_DWG_LEADER_STYLE);
        return 0;
    }
    const std::vector<double> points = adStoredDoubles(l.vertices, 3 * static_cast<std::int64_t>(l.vertexCount));
    const std::int32_t count = static_cast<std::int32_t>(points.size() / 3);
    adBitWriteBit(0);
    adBitWriteShort(l.annotationType);
    adBitWriteShort(l.pathType);
    adBitWriteLong(count);
    for (std::int32_t i = 0; i < count; ++i) adBitWrite3D(&points[3 * static_cast<std::size_t>(i)]);
    const double none[3] = {};
    adBitWrite3D(count > 0 ? points.data() : none);
    adBitWrite3D(header->extrusion);
    adBitWrite3D(l.horizontalDirection);
    adBitWrite3D(l.blockOffset);
    if (writer->version >= AD_VERSION_AC1014) adBitWrite3D(l.annotationOffset);
    if (!ac1015(writer)) adBitWriteDouble(dim.gap * dim.scale);
    adBitWriteDouble(l.textHeight);
    adBitWriteDouble(l.textWidth);
    adBitWriteBit(l.hooklineDirection != 0);
    adBitWriteBit(l.arrowhead != 0);
    if (ac1015(writer)) {
        adBitWriteShort(0);
    } else {
        adBitWriteShort(dim.arrowCode);
        adBitWriteDouble(dim.arrowSize * dim.scale);
        adBitWriteBit(0);
        adBitWriteBit(0);
        adBitWriteShort(dim.lineColour);
        adBitWriteShort(l.colour);
    }
    adBitWriteBit(0);
    adBitWriteBit(0);
    return adDwgEntityHandlesWith(writer, header, type, links, {&l.annotation, &l.dimStyle});
}

int adDwgWriteToleranceEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                              const AdDwgEntityLinks& links, std::int16_t type) {
    const AdToleranceData& t = data->tolerance;
    if (!ac1015(writer)) {
        auto style = std::make_unique<AdDimStyleRecord>();
        if (!adDimStyleByHandle(writer->source, &t.dimStyle, style.get())) {
            adSetError(AD_ERR_DWG_TOLERANCE_STYLE);
            return 0;
        }
        adBitWriteShort(0);
        adBitWriteDouble(style->dimtxt);
        adBitWriteDouble(style->dimgap);
    }
    adBitWrite3D(t.insertion);
    adBitWrite3D(t.xDirection);
    adBitWrite3D(header->extrusion);
    adBitWriteText(t.text);
    return adDwgEntityHandlesWith(writer, header, type, links, {&t.dimStyle});
}

int adDwgWriteMlineEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                          const AdDwgEntityLinks& links, std::int16_t type) {
    const AdMlineData& m = data->mline;
    adBitWriteDouble(m.scale);
    adBitWriteByte(static_cast<std::uint8_t>(m.justification));
    adBitWrite3D(m.start);
    adBitWrite3D(header->extrusion);
    adBitWriteShort(m.flags);
    adBitWriteByte(static_cast<std::uint8_t>(m.lineCount));
    // Vertices the store cannot give whole are left out, and counted so.
    struct Vertex {
        double points[9];
        std::vector<std::vector<double>> parameters;  // two lists per line
    };
    std::vector<Vertex> vertices;
    AdStream* in = m.vertices && m.vertexCount > 0 ? adStreamOpenRead(m.vertices) : nullptr;
    auto readList = [in](std::vector<double>* list) {
        std::int16_t n = 0;
        if (!adStreamRead(in, &n, sizeof n) || n < 0) return false;
        list->resize(static_cast<std::size_t>(n));
        for (double& value : *list)
            if (!adStreamReadDouble(in, &value)) return false;
        return true;
    };
    for (std::int32_t i = 0; in && i < m.vertexCount; ++i) {
        Vertex v{};
        bool whole = adStreamRead(in, v.points, sizeof v.points) != 0;
        v.parameters.resize(2 * static_cast<std::size_t>(std::max<std::int16_t>(m.lineCount, 0)));
        for (std::vector<double>& list : v.parameters) whole = whole && readList(&list);
        if (!whole) break;
        vertices.push_back(std::move(v));
    }
    if (in) adStreamCloseRead(in);
    adBitWriteLong(static_cast<std::int32_t>(vertices.size()));
    for (const Vertex& v : vertices) {
        for (int p = 0; p < 3; ++p) adBitWrite3D(&v.points[3 * p]);
        for (const std::vector<double>& list : v.parameters) {
            adBitWriteShort(static_cast<std::int16_t>(list.size()));
            for (double value : list) adBitWriteDouble(value);
        }
    }
    return adDwgEntityHandlesWith(writer, header, type, links, {&m.style});
}

int adDwgWriteSplineEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                           const AdDwgEntityLinks& links, std::int16_t type) {
    const AdSplineData& s = data->spline;
    const bool rational = (s.flags & AD_DWG_SPLINE_RATIONAL) != 0;
    const std::int64_t perControl = rational ? 4 : 3;
    const std::int64_t knots = std::max<std::int16_t>(s.knotCount, 0);
    const std::int64_t controls = std::max<std::int16_t>(s.controlPointCount, 0);
    const std::int64_t fits = std::max<std::int16_t>(s.fitPointCount, 0);
    const std::vector<double> values = adStoredDoubles(s.points, knots + controls * perControl + 3 * fits);
    const std::size_t held = values.size();
    if (fits > 0) {
        const std::size_t first = static_cast<std::size_t>(knots + controls * perControl);
        const std::int32_t n = held > first ? static_cast<std::int32_t>(std::min<std::size_t>((held - first) / 3, fits)) : 0;
        adBitWriteShort(AD_DWG_SPLINE_BY_FIT_POINTS);
        adBitWriteShort(s.degree);
        adBitWriteDouble(s.fitTolerance);
        adBitWrite3D(s.startTangent);
        adBitWrite3D(s.endTangent);
        adBitWriteLong(n);
        for (std::int32_t i = 0; i < n; ++i) adBitWrite3D(&values[first + 3 * static_cast<std::size_t>(i)]);
    } else {
        const std::int32_t k = static_cast<std::int32_t>(std::min<std::size_t>(held, knots));
        const std::int32_t c = static_cast<std::int32_t>(
            std::min<std::size_t>((held - static_cast<std::size_t>(k)) / perControl, controls));
        adBitWriteShort(AD_DWG_SPLINE_BY_CONTROL_POINTS);
        adBitWriteShort(s.degree);
        adBitWriteBit(rational);
        adBitWriteBit((s.flags & AD_DWG_SPLINE_CLOSED) != 0);
        adBitWriteBit((s.flags & AD_DWG_SPLINE_PERIODIC) != 0);
        adBitWriteDouble(s.knotTolerance);
        adBitWriteDouble(s.controlPointTolerance);
        adBitWriteLong(k);
        adBitWriteLong(c);
        adBitWriteBit(rational);
        for (std::int32_t i = 0; i < k; ++i) adBitWriteDouble(values[static_cast<std::size_t>(i)]);
        for (std::int32_t i = 0; i < c; ++i) {
            const double* p = &values[static_cast<std::size_t>(k + i * perControl)];
            adBitWrite3D(p);
            if (rational) adBitWriteDouble(p[3]);
        }
    }
    return adDwgEntityHandles(writer, header, type, links);
}
