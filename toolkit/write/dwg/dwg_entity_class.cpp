// Entity records of the kinds a drawing numbers by class: LWPOLYLINE,
// OLE2FRAME, IMAGE and WIPEOUT, RTEXT and ARCALIGNEDTEXT, and any other
// class kept as a proxy with its data bits and references.
#include "toolkit/write/dwg/dwg_entity_head.h"

#include "toolkit/db/dwg/dwg_class_read.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
constexpr std::int16_t kExtrusion = AD_DWG_LW_EXTRUSION;
constexpr std::int16_t kThickness = AD_DWG_LW_THICKNESS;
constexpr std::int16_t kConstantWidth = AD_DWG_LW_CONSTANT_WIDTH;
constexpr std::int16_t kElevation = AD_DWG_LW_ELEVATION;
constexpr double kSmall = 1e-10;
constexpr std::int16_t kRectangle = 1;
constexpr std::int32_t kOlePiece = 4096;
constexpr std::int32_t kProxyFormat = 0x60017;

bool ac1015(const AdDwgWriter* writer) { return adDwgWritesAc1015(writer); }

std::int16_t lwpolylineFlags(const AdEntityHeader* header, const AdLwpolylineData& p) {
    std::int16_t flags = p.flags & ~(kExtrusion | kThickness | kConstantWidth | kElevation);
    if (p.constantWidth >= kSmall) flags |= kConstantWidth;
    if (std::fabs(p.elevation) >= kSmall) flags |= kElevation;
    if (std::fabs(header->thickness) >= kSmall) flags |= kThickness;
    const double* e = header->extrusion;
    if (std::fabs(e[0]) >= kSmall || std::fabs(e[1]) >= kSmall || std::fabs(e[2] - 1.0) >= kSmall)
        flags |= kExtrusion;
    return flags;
}

int writeLwpolyline(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                    const AdDwgEntityLinks& links, std::int16_t type) {
    const AdLwpolylineData& p = data->lwpolyline;
    const std::int16_t flags = lwpolylineFlags(header, p);
    const bool bulges = (p.flags & AD_DWG_LW_BULGES) != 0;
    const bool widths = (p.flags & AD_DWG_LW_WIDTHS) != 0;
    const int perVertex = 2 + (bulges ? 1 : 0) + (widths ? 2 : 0);
    const std::vector<double> values = adStoredDoubles(p.vertices, static_cast<std::int64_t>(p.vertexCount) * perVertex);
    const auto count = static_cast<std::int32_t>(values.size() / perVertex);
    adBitWriteShort(flags);
    if (flags & kConstantWidth) adBitWriteDouble(p.constantWidth);
    if (flags & kElevation) adBitWriteDouble(p.elevation);
    if (flags & kThickness) adBitWriteDouble(header->thickness);
    if (flags & kExtrusion) adBitWrite3D(header->extrusion);
    adBitWriteLong(count);
    if (bulges) adBitWriteLong(count);
    if (widths) adBitWriteLong(count);
    for (std::int32_t i = 0; i < count; ++i) {
        const double* v = &values[static_cast<std::size_t>(i * perVertex)];
        if (i == 0 || !ac1015(writer)) {
            adBitWriteRaw2D(v);
        } else {
            adBitWriteDefDouble(v[0], v[-perVertex]);
            adBitWriteDefDouble(v[1], v[1 - perVertex]);
        }
    }
    for (std::int32_t i = 0; bulges && i < count; ++i) adBitWriteDouble(values[static_cast<std::size_t>(i * perVertex + 2)]);
    for (std::int32_t i = 0; widths && i < count; ++i) {
        const double* w = &values[static_cast<std::size_t>(i * perVertex + (bulges ? 3 : 2))];
        adBitWriteDouble(w[0]);
        adBitWriteDouble(w[1]);
    }
    return adDwgEntityHandles(writer, header, type, links);
}

struct HostBuffer {
    void operator()(std::uint8_t* p) const { HostFree(p); }
};

int writeOle2Frame(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                   const AdDwgEntityLinks& links, std::int16_t type) {
    const AdOle2FrameData& f = data->ole2Frame;
    std::unique_ptr<std::uint8_t, HostBuffer> piece(static_cast<std::uint8_t*>(HostAlloc(kOlePiece)));
    if (!piece) {
        adNoMemory(AD_ERR_BUFFER_128K_A);
        return 0;
    }
    adBitWriteShort(f.version);
    if (ac1015(writer)) adBitWriteShort(f.spareShort);
    const std::int32_t stored = f.data ? adStoreSize(f.data) : 0;
    const std::int32_t length = f.dataLength < stored ? f.dataLength : stored;
    adBitWriteLong(length > 0 ? length : 0);
    AdStream* in = length > 0 ? adStreamOpenRead(f.data) : nullptr;
    int ok = length <= 0 || in != nullptr;
    for (std::int32_t left = length; ok && left > 0;) {
        const std::int32_t n = left < kOlePiece ? left : kOlePiece;
        ok = adStreamRead(in, piece.get(), n) && adBitWriteBytes(piece.get(), n) > 0;
        left -= n;
    }
    if (in) adStreamCloseRead(in);
    if (!ok) return 0;
    if (ac1015(writer)) adBitWriteByte(f.spareByte);
    return adDwgEntityHandles(writer, header, type, links);
}

// The stored clip polygon.
std::vector<double> clipVertices(const AdImageData& image) {
    return adStoredDoubles(image.clipVertices, 2 * static_cast<std::int64_t>(image.clipVertexCount));
}

int writeImage(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
               const AdDwgEntityLinks& links, std::int16_t type, bool wipeout) {
    const AdImageData& image = data->image;
    adBitWriteLong(image.classVersion);
    adBitWrite3D(image.insertion);
    adBitWrite3D(image.uVector);
    adBitWrite3D(image.vVector);
    adBitWriteRaw2D(image.size);
    adBitWriteShort(image.displayProperties);
    adBitWriteBit(image.clipping != 0);
    adBitWriteByte(static_cast<std::uint8_t>(image.brightness));
    adBitWriteByte(static_cast<std::uint8_t>(image.contrast));
    adBitWriteByte(static_cast<std::uint8_t>(image.fade));
    adBitWriteShort(image.clipBoundaryType);
    if (image.clipBoundaryType == kRectangle) {
        adBitWriteRaw2D(image.clipCorners[0]);
        adBitWriteRaw2D(image.clipCorners[1]);
    } else {
        const std::vector<double> vertices = clipVertices(image);
        std::int32_t n = static_cast<std::int32_t>(vertices.size() / 2);
        // The stored polygon repeats its first vertex at its end; the file's
        // does not. A polygon without vertices stays without.
        if (!wipeout) n = n > 0 ? n - 1 : 0;
        else if (n > 1 && vertices[0] == vertices[2 * n - 2] && vertices[1] == vertices[2 * n - 1]) --n;
        adBitWriteLong(n);
        for (std::int32_t i = 0; i < n; ++i) adBitWriteRaw2D(&vertices[2 * static_cast<std::size_t>(i)]);
    }
    if (!adDwgEntityHandles(writer, header, type, links)) return 0;
    if (wipeout) {
        adBitWriteByte(0x50);
        adBitWriteByte(0x30);
    } else {
        adBitWriteHandle(&image.imageDef, AD_REF_HARD_POINTER);
        adBitWriteHandle(&image.imageDefReactor, AD_REF_HARD_OWNER);
    }
    return adBitUsable() ? 1 : 0;
}

int writeRtext(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
               const AdDwgEntityLinks& links, std::int16_t type) {
    const AdRtextData& r = data->rtext;
    adBitWrite3D(r.insertion);
    adBitWrite3D(header->extrusion);
    adBitWriteDouble(r.rotation);
    adBitWriteDouble(r.height);
    adBitWriteShort(r.flags);
    adBitWriteText(r.text);
    if (!adDwgEntityHandles(writer, header, type, links)) return 0;
    adBitWriteHandle(&r.style, AD_REF_SOFT_POINTER);
    return adBitUsable() ? 1 : 0;
}

void numberText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", value);
    adBitWriteText(text);
}

int writeArcAlignedText(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                        const AdDwgEntityLinks& links, std::int16_t type) {
    const AdArcAlignedTextData& a = data->arcAlignedText;
    auto style = std::make_unique<AdStyleRecord>();
    const bool named = adHandleLength(&a.style) && adStyleByHandle(writer->source, &a.style, style.get());
    numberText(a.textHeight);
    numberText(a.widthFactor);
    numberText(a.characterSpacing);
    adBitWriteText(named ? style->name : "Standard");
    adBitWriteText(a.fontFile);
    adBitWriteText(a.bigFontFile);
    adBitWriteText(a.text);
    numberText(a.offset);
    numberText(a.rightOffset);
    numberText(a.leftOffset);
    adBitWrite3D(a.centre);
    adBitWriteDouble(a.radius);
    adBitWriteDouble(a.startAngle);
    adBitWriteDouble(a.endAngle);
    adBitWrite3D(header->extrusion);
    adBitWriteLong(a.colour);
    for (int index : adArcAlignedTextShortOrder) adBitWriteShort(index < 0 ? a.value280 : a.values70[index]);
    if (!adDwgEntityHandles(writer, header, type, links)) return 0;
    adBitWriteHandle(&a.arc, AD_REF_SOFT_POINTER);
    return adBitUsable() ? 1 : 0;
}

int writeProxy(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
               const AdDwgEntityLinks& links, std::int16_t type) {
    const AdProxyData& p = data->proxy;
    if (p.data) {
        if (ac1015(writer)) {
            adBitWriteLong(adDwgProxyClass(p));
            adBitWriteLong(p.drawingFormat ? p.drawingFormat : kProxyFormat);
            adBitWriteBit(1);
        } else if (header->type == AD_ENTITY_PROXY && writer->version == AD_VERSION_AC1014) {
            adBitWriteLong(AD_ENTITY_PROXY);
            adBitWriteLong(adDwgProxyClass(p));
        }
        if (!adDwgCopyBits(p.data, p.dataBits)) return 0;
    }
    if (!adDwgEntityHandles(writer, header, type, links)) return 0;
    return adDwgWriteHandleRefs(p.objectIds, p.objectIdCount);
}
}  // namespace

int adDwgWriteClassEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                          const AdDwgEntityLinks& links, std::int16_t type) {
    switch (adEntityKind(writer->source, header->type)) {
    case AD_KIND_LWPOLYLINE: return writeLwpolyline(writer, header, data, links, type);
    case AD_KIND_OLE2FRAME: return writeOle2Frame(writer, header, data, links, type);
    case AD_KIND_HATCH: return adDwgWriteHatchEntity(writer, header, data, links, type);
    case AD_KIND_IMAGE: return writeImage(writer, header, data, links, type, false);
    case AD_KIND_WIPEOUT: return writeImage(writer, header, data, links, type, true);
    case AD_KIND_RTEXT: return writeRtext(writer, header, data, links, type);
    case AD_KIND_ARCALIGNEDTEXT: return writeArcAlignedText(writer, header, data, links, type);
    default: return writeProxy(writer, header, data, links, type);
    }
}
