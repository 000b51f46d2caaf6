// Which entities a target version can hold, and the light-weight polyline as
// an old-style POLYLINE with VERTEX records and a SEQEND.
#include "toolkit/write/writer.h"

#include <cstring>
#include <memory>

namespace {
constexpr std::int16_t kLwFlagConstantWidth = 0x04;
constexpr std::int16_t kLwFlagElevation = 0x08;
constexpr std::int16_t kLwFlagBulges = 0x10;
constexpr std::int16_t kLwFlagWidths = 0x20;
constexpr std::int16_t kLwFlagLinetypeGeneration = 0x100;
constexpr std::int16_t kLwFlagClosed = 0x200;

// Type codes of the converted records in bit-coded files.
constexpr std::uint16_t kDwgPolyline2D = 15;
constexpr std::uint16_t kDwgVertex2D = 10;
constexpr std::uint16_t kDwgSeqend = 6;

bool hasLwpolylineClass(AdDrawing* drawing) {
    AdClassRecord record{};
    return adClassByName(drawing, "LWPOLYLINE", &record) != 0;
}

// A vertex of the LWPOLYLINE's store, by its flags.
bool readVertex(AdStream* store, std::int16_t flags, double point[2], double* bulge, double widths[2]) {
    *bulge = 0.0;
    widths[0] = widths[1] = 0.0;
    if (!adStreamReadDouble(store, &point[0]) || !adStreamReadDouble(store, &point[1])) return false;
    if ((flags & kLwFlagBulges) && !adStreamReadDouble(store, bulge)) return false;
    if ((flags & kLwFlagWidths) && (!adStreamReadDouble(store, &widths[0]) || !adStreamReadDouble(store, &widths[1])))
        return false;
    return true;
}
}  // namespace

int adEntityWritable(const AdEntityHeader* header, const AdEntityData* data, const AdDrawing* drawing,
                     const AdOutputDrawing* output) {
    const std::uint16_t type = header->type;
    if (type == AD_ENTITY_SHAPE && data->shape.shapeNumber == 255) return 0;
    const std::int16_t version = output->version;
    if (version >= AD_VERSION_FIRST_BITCODED) return 1;
    switch (type) {
        case AD_ENTITY_REGION:
        case AD_ENTITY_3DSOLID:
        case AD_ENTITY_BODY:
        case AD_ENTITY_RAY:
        case AD_ENTITY_XLINE:
        case AD_ENTITY_MTEXT:
        case AD_ENTITY_SPLINE:
        case AD_ENTITY_MLINE:
        case AD_ENTITY_LEADER:
        case AD_ENTITY_TOLERANCE:
        case AD_ENTITY_ELLIPSE:
            return 0;
        default:
            break;
    }
    if (type >= AD_ENTITY_PROXY) {
        const std::int16_t lw = adClassNumLwpolyline(drawing);
        return lw != 0 && type == static_cast<std::uint16_t>(lw);
    }
    if (version >= AD_VERSION_AC1009) return 1;
    if (type == AD_ENTITY_VIEWPORT) return 0;
    if (version >= AD_VERSION_AC1003) return 1;
    return type != AD_ENTITY_3DLINE && type != AD_ENTITY_3DFACE && type != AD_ENTITY_DIMENSION;
}

void adLwpolyHandleReserve(AdDrawing* drawing, AdOutputDrawing* output, AdHandle* seed) {
    if (!hasLwpolylineClass(drawing)) return;
    const std::int16_t lw = adClassNumLwpolyline(drawing);
    std::uint32_t sum = 0;
    auto block = std::make_unique<AdBlockHeader>();
    auto header = std::make_unique<AdEntityHeader>();
    auto data = std::make_unique<AdEntityData>();
    const std::int32_t blocks = adBlockCount(drawing);
    adBlockRewind(drawing);
    for (std::int32_t i = 0; i < blocks && adBlockNext(drawing, block.get()); ++i) {
        AdRecordList* list = block->entities;
        if (!list) continue;
        adEntityRewind(list);
        while (adEntityNext(list, header.get(), data.get())) {
            // Its vertices and its SEQEND; one without vertices still has a SEQEND.
            if (lw != 0 && header->type == static_cast<std::uint16_t>(lw))
                sum += static_cast<std::uint32_t>(data->lwpolyline.vertexCount > 0 ? data->lwpolyline.vertexCount : 0) + 1;
        }
    }
    output->conversionSeed = *seed;
    adHandleIncrement(&output->conversionSeed);
    adHandleAddLong(seed, sum + 2, seed);
}

int adWriteLwpolyAsPolyline(AdDrawing* drawing, AdOutputDrawing* output, AdEntityHeader* header,
                            AdEntityData* data, int bitCoded, AdConvertedEntitySink sink, void* user) {
    const AdLwpolylineData lw = data->lwpolyline;
    const std::int32_t count = lw.vertexCount > 0 ? lw.vertexCount : 0;
    const bool constant = (lw.flags & kLwFlagConstantWidth) != 0;

    AdPolylineData& polyline = data->polyline;
    std::memset(data, 0, sizeof(AdEntityData));
    polyline.elevation = (lw.flags & kLwFlagElevation) ? lw.elevation : 0.0;
    polyline.startWidth = polyline.endWidth = constant ? lw.constantWidth : 0.0;
    polyline.flags = static_cast<std::int16_t>(((lw.flags & kLwFlagClosed) ? 1 : 0) |
                                               ((lw.flags & kLwFlagLinetypeGeneration) ? 0x80 : 0));
    header->type = bitCoded ? kDwgPolyline2D : static_cast<std::uint16_t>(AD_ENTITY_POLYLINE);
    if (bitCoded && count > 0) {
        output->polylineFirst = output->conversionSeed;
        adHandleAddLong(&output->polylineFirst, static_cast<std::uint32_t>(count - 1), &output->polylineLast);
        output->polylineSeqend = output->polylineLast;
        adHandleIncrement(&output->polylineSeqend);
    } else if (bitCoded) {
        // No vertices: the SEQEND takes the next handle itself.
        output->polylineFirst = output->polylineLast = AdHandle{};
        output->polylineSeqend = output->conversionSeed;
    }
    const double polylineWidth = polyline.startWidth;
    if (!sink(drawing, output, header, data, AD_CONVERTED_POLYLINE, user)) return 0;

    // The vertices: the polyline's layer and colour, nothing of its own.
    header->type = bitCoded ? kDwgVertex2D : static_cast<std::uint16_t>(AD_ENTITY_VERTEX);
    header->xdata = nullptr;
    header->reactors = nullptr;
    header->reactorCount = 0;
    header->extensionDictionary = AdHandle{};
    header->flags &= static_cast<std::uint8_t>(~AD_ENTITY_FLAG_EXTRUDED);
    header->thickness = 0.0;
    header->extrusion[0] = header->extrusion[1] = 0.0;
    header->extrusion[2] = 1.0;
    header->linetypeScale = 1.0;
    AdStream* store = lw.vertices ? adStreamOpenRead(lw.vertices) : nullptr;
    if (count > 0 && !store) return 0;
    int result = 1;
    for (std::int32_t i = 0; i < count && result; ++i) {
        double point[2];
        double bulge;
        double widths[2];
        if (!readVertex(store, lw.flags, point, &bulge, widths)) {
            result = 0;
            break;
        }
        std::memset(data, 0, sizeof(AdEntityData));
        AdVertexData& vertex = data->vertex;
        vertex.point[0] = point[0];
        vertex.point[1] = point[1];
        vertex.bulge = bulge;
        vertex.startWidth = widths[0];
        vertex.endWidth = widths[1];
        if (!constant) {
            vertex.startWidthGiven = widths[0] != polylineWidth;
            vertex.endWidthGiven = widths[1] != polylineWidth;
        }
        header->handle = output->conversionSeed;
        adHandleIncrement(&output->conversionSeed);
        result = sink(drawing, output, header, data, AD_CONVERTED_VERTEX, user);
    }
    if (store) adStreamCloseRead(store);
    if (!result) return 0;

    std::memset(data, 0, sizeof(AdEntityData));
    header->type = bitCoded ? kDwgSeqend : static_cast<std::uint16_t>(AD_ENTITY_SEQEND);
    header->handle = output->conversionSeed;
    adHandleIncrement(&output->conversionSeed);
    return sink(drawing, output, header, data, AD_CONVERTED_SEQEND, user);
}
