// What every entity record has: its keyword, handle, layer, linetype and
// colour groups, the names it refers to, and its extended data.
#include "toolkit/write/dxf/dxf_entity_groups.h"
#include "toolkit/ad_internal.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace {
constexpr std::int16_t kLineweightDefault = 28;

// The keyword of a type: the fixed kinds by the shared table, the known
// classes by name, an entity kept from a class by its class's name (in
// kept), anything else as a proxy.
const char* keyword(AdDrawing* source, std::uint16_t type, const AdEntityData* data, std::int16_t version,
                    char* kept) {
    if (type >= 1 && type <= 35) return adDxfEntityName(type);
    if (adDxfKeptClassEntity(source, type, data, kept)) return kept;
    struct Known {
        std::int16_t (*number)(const AdDrawing*);
        const char* name;
    };
    static constexpr Known kKnown[] = {
        {adClassNumOle2Frame, "OLE2FRAME"}, {adClassNumArcAlignedText, "ARCALIGNEDTEXT"},
        {adClassNumLwpolyline, "LWPOLYLINE"}, {adClassNumHatch, "HATCH"}, {adClassNumImage, "IMAGE"},
        {adClassNumWipeout, "WIPEOUT"},       {adClassNumRText, "RTEXT"},
    };
    for (const Known& k : kKnown)
        if (k.number(source) != 0 && k.number(source) == type) return k.name;
    return version == AD_VERSION_AC1012 ? "ACAD_ZOMBIE_ENTITY" : "ACAD_PROXY_ENTITY";
}

int writeXdataItem(AdDrawing* source, AdOutputDrawing* output, const AdXdataItem& item) {
    const std::int16_t code = item.code;
    switch (code) {
        case 1000:
            return adDxfWriteEscapedGroup(output, 1000, item.value.text);
        case 1001: {
            auto appid = std::make_unique<AdAppidRecord>();
            if (!adXdataAppidByHandle(source, &item.value.handle, appid.get())) {
                adSetError(AD_ERR_XDATA_APPID);
                return 0;
            }
            return adDxfWriteStringGroup(output, 1001, appid->name);
        }
        case 1002:
            return adDxfWriteCharGroup(output, 1002, item.value.text[0] == '}' ? '}' : '{');
        case 1003: {
            auto layer = std::make_unique<AdLayerRecord>();
            // A reference to a layer that is gone is dropped.
            if (adHandleLength(&item.value.handle) == 0 || !adXdataLayerByHandle(source, &item.value.handle, layer.get()))
                return 1;
            return adDxfWriteStringGroup(output, 1003, layer->name);
        }
        case 1004: {
            const std::int16_t length = item.length < 0 ? 0 : (item.length > 255 ? 255 : item.length);
            if (output->format == AD_FORMAT_DXF_ASCII) {
                char hex[2 * 256 + 1];
                adBytesToHex(item.value.bytes, static_cast<std::size_t>(length), hex, sizeof hex);
                return adDxfWriteStringGroup(output, 1004, hex);
            }
            const auto byte = static_cast<std::uint8_t>(length);
            return adDxfWriteGroupCode(output, 1004) && adOutWrite(output, &byte, 1) &&
                   adOutWrite(output, item.value.bytes, static_cast<std::size_t>(length));
        }
        case 1005:
            return adDxfWriteHandleGroup(output, 1005, &item.value.handle);
        case 1010:
        case 1011:
        case 1012:
        case 1013: {
            const std::int16_t saved = output->defaultGroups;
            output->defaultGroups = 1;
            const int written = adDxfWritePointOptZ(output, code, item.value.point);
            output->defaultGroups = saved;
            return written;
        }
        case 1040:
        case 1041:
        case 1042:
            return adDxfWriteRealGroup(output, code, &item.value.real);
        case 1070:
            return adDxfWriteShortGroup(output, 1070, item.value.int16);
        case 1071:
            return adDxfWriteLongGroup(output, 1071, item.value.int32);
        default:
            return 1;
    }
}

bool nameIs(const char* name, const char* other) { return adStrCompareNoCase(name, other) == 0; }
}  // namespace

int adDxfWriteXdataStore(AdDrawing* source, AdOutputDrawing* output, AdStore* xdata) {
    if (!xdata) return 1;
    AdStream* stream = adStreamOpenRead(xdata);
    if (!stream) return 0;
    auto item = std::make_unique<AdXdataItem>();
    int result = 1;
    bool unnamed = false;
    while (result && adXdataReadItem(stream, item.get())) {
        // An application block whose application the drawing never resolved
        // has no name to be written under: it is left out, not the file.
        if (item->code == 1001) unnamed = adHandleLength(&item->value.handle) == 0;
        if (!unnamed) result = writeXdataItem(source, output, *item);
    }
    adStreamCloseRead(stream);
    return result;
}

void adDxfBeginBlock(AdDxfEntityContext* context, const AdBlockHeader* block, const char* name, std::int32_t number) {
    AdDxfBlockBegin& begin = context->block;
    std::strncpy(begin.name, name, sizeof begin.name - 1);
    begin.name[sizeof begin.name - 1] = '\0';
    begin.flags = block->flags;
    if (block->overlay && context->output->version >= AD_VERSION_AC1014) begin.flags = static_cast<std::uint8_t>(begin.flags + 8);
    begin.number = number;
    begin.unloaded = block->unloaded;
    std::strncpy(begin.description, block->description, sizeof begin.description - 1);
    begin.description[sizeof begin.description - 1] = '\0';
    begin.xrefPath[0] = '\0';
}

int adDxfResolveEntityNames(AdDxfEntityContext* context, AdEntityHeader* header, AdEntityData* data) {
    AdDrawing* source = context->source;
    AdDxfEntityNames& names = context->names;
    if (!adDxfLtypeName(source, &header->linetype, names.linetype)) return 0;
    if (!adDxfLayerName(source, &header->layer, names.layer)) return 0;
    switch (header->type) {
        case AD_ENTITY_SHAPE: {
            if (!adDxfStyleName(source, &data->shape.style, names.style)) return 0;
            char shape[AD_SHAPE_NAME_SIZE] = {};
            // A shape whose file does not name it cannot be written.
            if (!adShapeNameFromFile(source, &data->shape.style, data->shape.shapeNumber, shape)) {
                data->shape.shapeNumber = 255;
                return 1;
            }
            std::strncpy(names.shape, shape, sizeof names.shape - 1);
            names.shape[sizeof names.shape - 1] = '\0';
            return 1;
        }
        case AD_ENTITY_TEXT:
            return adDxfStyleName(source, &data->text.fields.style, names.style);
        case AD_ENTITY_ATTDEF:
            return adDxfStyleName(source, &data->attdef.fields.style, names.style);
        case AD_ENTITY_ATTRIB:
            return adDxfStyleName(source, &data->attrib.fields.style, names.style);
        case AD_ENTITY_MTEXT:
            return adDxfStyleName(source, &data->mtext.style, names.style);
        case AD_ENTITY_MLINE: {
            // A drawing without any multiline style cannot carry an MLINE.
            context->mlineStyle = data->mline.style;
            if (adDxfMlineStyleName(source, &context->mlineStyle, names.mlineStyle)) return 1;
            adSetError(AD_ERR_HEADER_MLSTYLE);
            return 0;
        }
        case AD_ENTITY_INSERT:
            return adDxfBlockName(source, &data->insert.block, names.block);
        case AD_ENTITY_DIMENSION:
            return adDxfBlockName(source, &data->dimension.block, names.block) &&
                   adDxfDimStyleName(source, &data->dimension.dimStyle, names.dimStyle);
        case AD_ENTITY_TOLERANCE:
            return adDxfDimStyleName(source, &data->tolerance.dimStyle, names.dimStyle);
        case AD_ENTITY_LEADER:
            return adDxfDimStyleName(source, &data->leader.dimStyle, names.dimStyle);
        default:
            break;
    }
    const AdEntityKind kind = adEntityKind(source, header->type);
    if (kind == AD_KIND_RTEXT) return adDxfStyleName(source, &data->rtext.style, names.style);
    if (kind == AD_KIND_ARCALIGNEDTEXT) return adDxfStyleName(source, &data->arcAlignedText.style, names.style);
    return 1;
}

bool adDxfKeptClassEntity(AdDrawing* source, std::uint16_t type, const AdEntityData* data, char* name) {
    // Only the DXF reader keeps a class's data group-coded; a DWG file's
    // proxies carry the class's own bits.
    return source->format != AD_FORMAT_DWG && type == AD_ENTITY_PROXY && data->proxy.classId >= AD_FIRST_CLASS_NUMBER &&
           adClassNameByNumber(source, data->proxy.classId, name) && name[0];
}

int adDxfWriteEntityCommon(AdDxfEntityContext* context, const AdEntityHeader* header, const AdEntityData* data,
                           double elevation) {
    AdDrawing* source = context->source;
    AdOutputDrawing* output = context->output;
    const std::int16_t v = output->version;
    const std::uint16_t type = header->type;
    const bool paper = (header->flags & AD_ENTITY_FLAG_PAPER_SPACE) != 0;
    char kept[AD_TABLE_NAME_SIZE] = "";
    if (!adDxfWriteStringGroup(output, 0, keyword(source, type, data, v, kept))) return 0;
    if (v >= AD_VERSION_AC1012) {
        if (!adDxfWriteHandleGroup(output, 5, &header->handle)) return 0;
        if (adHandleLength(&header->extensionDictionary) != 0 &&
            !(adDxfWriteStringGroup(output, 102, "{ACAD_XDICTIONARY") &&
              adDxfWriteHandleGroup(output, 360, &header->extensionDictionary) &&
              adDxfWriteStringGroup(output, 102, "}")))
            return 0;
        if (header->reactors && (v >= AD_VERSION_AC1014 || type > 497) &&
            !(adDxfWriteStringGroup(output, 102, "{ACAD_REACTORS") &&
              adDxfWriteReactorHandles(output, header->reactors, adStoreSize(header->reactors) / 8) &&
              adDxfWriteStringGroup(output, 102, "}")))
            return 0;
        if (!adDxfWriteStringGroup(output, 100, "AcDbEntity")) return 0;
        if (paper && !adDxfWriteShortGroup(output, 67, 1)) return 0;
    }
    std::int16_t layerIndex = 0;
    adLayerHandleToIndex(source, &header->layer, &layerIndex);
    if (!adDxfWriteNameGroup(source, output, 8, context->names.layer, layerIndex, adGetNameLengthLimit())) return 0;
    if (v == AD_VERSION_AC1015 && header->lineweight != -1 && header->lineweight != kLineweightDefault &&
        !adDxfWriteShortGroup(output, 370, header->lineweight))
        return 0;
    if (!nameIs(context->names.linetype, "BYLAYER")) {
        std::int16_t ltypeIndex = 0;
        adLtypeHandleToIndex(source, &header->linetype, &ltypeIndex);
        if (!adDxfWriteNameGroup(source, output, 6, context->names.linetype, ltypeIndex, adGetNameLengthLimit()))
            return 0;
    }
    if (header->color != 256 && !adDxfWriteShortGroup(output, 62, header->color)) return 0;
    if (header->linetypeScale != 1.0 && !adDxfWriteRealGroup(output, 48, &header->linetypeScale)) return 0;
    const double threshold = output->roundingThreshold;
    const bool endMarker = type == AD_ENTITY_ENDBLK || type == AD_ENTITY_SEQEND;
    if (((std::fabs(elevation) >= threshold && v < AD_VERSION_AC1006) || (v == AD_VERSION_AC1006 && type == AD_ENTITY_BLOCK) ||
         endMarker) &&
        v < AD_VERSION_AC1012 && !adDxfWriteRealGroup(output, 38, &elevation))
        return 0;
    if (v < AD_VERSION_AC1012 && std::fabs(header->thickness) >= threshold &&
        !adDxfWriteRealGroup(output, 39, &header->thickness))
        return 0;
    if (v == AD_VERSION_AC1006 || v == AD_VERSION_AC1009) {
        const bool handle = adHandleLength(&header->handle) != 0 && output->handlesFlag &&
                            !(v == AD_VERSION_AC1006 && context->inBlocks);
        if (handle && !adDxfWriteHandleGroup(output, 5, &header->handle)) return 0;
        if (paper && !adDxfWriteShortGroup(output, 67, 1)) return 0;
    }
    if (v >= AD_VERSION_AC1012 && (header->flags & AD_ENTITY_FLAG_INVISIBLE) && !adDxfWriteShortGroup(output, 60, 1)) return 0;
    return 1;
}

int adDxfWriteExtrusion(AdOutputDrawing* output, const AdEntityHeader* header) {
    if (!(header->flags & AD_ENTITY_FLAG_EXTRUDED)) return 1;
    return adDxfWriteFullPoint3D(output, 210, header->extrusion);
}
