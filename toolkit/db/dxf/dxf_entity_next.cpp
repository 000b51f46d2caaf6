// Reading one entity of a DXF file: its name gives the type, the common
// groups fill the header, and the type's groups its data.
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>
#include <initializer_list>

namespace {
const std::uint16_t kProxyType = 500;
const std::uint16_t kEntityTypeLast = 35;

const char* const kBuiltinClasses[] = {"LWPOLYLINE", "OLE2FRAME", "HATCH", "IMAGE", "ARCALIGNEDTEXT", "RTEXT",
                                       "WIPEOUT"};

// The type of an entity name; 0 for a name the drawing does not know.
std::uint16_t identify(AdDxfEntityRead& read, const char* name) {
    const std::uint16_t fixed = adDxfEntityType(name);
    if (fixed >= 1 && fixed <= kEntityTypeLast) return fixed;
    if (std::strcmp(name, "ACAD_ZOMBIE_ENTITY") == 0 || std::strcmp(name, "ACAD_PROXY_ENTITY") == 0) {
        read.kind = AD_KIND_PROXY;
        // 500 may be a class of the drawing; then only 498 says proxy.
        return adEntityKind(read.drawing, kProxyType) == AD_KIND_PROXY ? kProxyType
                                                                       : std::uint16_t{AD_ENTITY_PROXY};
    }
    AdClassRecord record{};
    if (!adClassByName(read.drawing, name, &record) || record.number < AD_FIRST_CLASS_NUMBER) return 0;
    if (adDxfIsBuiltinClassEntity(name)) return static_cast<std::uint16_t>(record.number);
    read.encoded = true;
    read.kind = AD_KIND_PROXY;
    read.data->proxy.classId = record.number;
    read.data->proxy.originalFormat = 1;
    return AD_ENTITY_PROXY;
}

// The 0 groups that frame a file's sections and tables, which a read over
// the wrong part of a damaged file can meet; they are no entities.
bool structural(const char* name) {
    for (const char* frame : {"SECTION", "ENDSEC", "TABLE", "ENDTAB", "CLASS", "EOF"})
        if (std::strcmp(name, frame) == 0) return true;
    return false;
}

// Passes over the groups of an entity the reader does not know (a type of a
// later release, say); an entity is noted under its handle so the host can
// tell that something was left out.
bool skipEntity(AdDrawing* drawing, bool entity) {
    AdHandle handle{};
    AdDxfRecordStep step;
    while ((step = adDxfRecordGroup(drawing, nullptr)) == AdDxfRecordStep::Group)
        if (adDxfToken().code == 5) handle = adDxfToken().handle;
    if (entity) adNoteSkippedRecord(drawing, AD_ERR_DXF_ENTITY_TYPE, handle);
    return step == AdDxfRecordStep::RecordEnd;
}

void resetNames() {
    for (auto& name : adGlobals->dxfNames) name[0] = '\0';
    adDxfCopyText(adGlobals->dxfNames[AD_DXF_NAME_LAYER], AD_ENTITY_NAME_SIZE, "0");
    adDxfCopyText(adGlobals->dxfNames[AD_DXF_NAME_LINETYPE], AD_ENTITY_NAME_SIZE, "ByLayer");
    adGlobals->dxfLinetypeIndex = AD_LINETYPE_INDEX_BYLAYER;
    adGlobals->entityElevation = 0.0;
}

void setPoint(double point[3], double x, double y, double z) {
    point[0] = x;
    point[1] = y;
    point[2] = z;
}

void applyDefaults(AdDxfEntityRead& read, std::uint16_t type) {
    AdEntityHeader& h = *read.header;
    const AdProxyData proxy = read.data->proxy;
    h = AdEntityHeader{};
    h.type = type;
    h.color = AD_COLOR_BYLAYER;
    h.lineweight = -1;
    h.extrusion[2] = 1.0;
    h.linetypeScale = 1.0;
    std::memset(read.data, 0, sizeof *read.data);
    resetNames();
    AdEntityData& d = *read.data;
    switch (type) {
        case AD_ENTITY_SHAPE: d.shape.widthFactor = 1.0; break;
        case AD_ENTITY_TEXT: d.text.fields.widthFactor = 1.0; break;
        case AD_ENTITY_ATTDEF: d.attdef.fields.widthFactor = 1.0; break;
        case AD_ENTITY_ATTRIB: d.attrib.fields.widthFactor = 1.0; break;
        case AD_ENTITY_INSERT:
            setPoint(d.insert.scale, 1.0, 1.0, 1.0);
            d.insert.rowCount = d.insert.columnCount = 1;
            break;
        case AD_ENTITY_3DLINE: h.type = AD_ENTITY_LINE; break;
        case AD_ENTITY_VIEWPORT: adDefaultViewportData(&d.viewport); break;
        case AD_ENTITY_MTEXT:
            setPoint(d.mtext.xAxis, 1.0, 0.0, 0.0);
            d.mtext.lineSpacingStyle = 1;
            d.mtext.lineSpacingFactor = 1.0;
            break;
        case AD_ENTITY_LEADER:
            adDxfCopyText(adGlobals->dxfNames[AD_DXF_NAME_DIMSTYLE], AD_ENTITY_NAME_SIZE, "Standard");
            d.leader.horizontalDirection[0] = 1.0;
            d.leader.arrowhead = 1;
            d.leader.hooklineDirection = 1;
            d.leader.annotationType = 3;
            break;
        case AD_ENTITY_TOLERANCE:
            setPoint(d.tolerance.xDirection, 1.0, 0.0, 0.0);
            adDxfCopyText(adGlobals->dxfNames[AD_DXF_NAME_DIMSTYLE], AD_ENTITY_NAME_SIZE, "Standard");
            break;
        default: break;
    }
    if (read.kind != AD_KIND_PROXY) read.kind = adEntityKind(read.drawing, h.type);
    if (read.kind == AD_KIND_IMAGE || read.kind == AD_KIND_WIPEOUT) d.image.clipBoundaryType = 1;
    if (read.kind == AD_KIND_OLE2FRAME) d.ole2Frame.version = 2;
    if (read.encoded) {
        d.proxy.classId = proxy.classId;
        d.proxy.originalFormat = proxy.originalFormat;
    }
}

bool applyGroup(AdDxfEntityRead& read, std::int16_t code) {
    AdEntityHeader* h = read.header;
    if (adDxfIsCommonEntityGroup(code)) {
        adDxfApplyCommonEntityGroup(read.drawing, code, h, read.data, read.xdataFlag);
        return true;
    }
    if (code == 210 || code == 220 || code == 230) {
        h->extrusion[code / 10 - 21] = adDxfToken().real;
        h->flags |= AD_ENTITY_FLAG_EXTRUDED;
        return true;
    }
    if (read.kind != AD_KIND_FIXED && read.kind != AD_KIND_PROXY) return adDxfClassEntityGroup(read, code);
    if (h->type >= AD_ENTITY_PROXY) return adDxfProxyEntityGroup(read, code);
    bool ok = true;
    if (adDxfSpecialEntityGroup(read, code, &ok)) return ok;
    adDxfApplyEntityGroup(code, h, read.data);
    return true;
}

bool finish(AdDxfEntityRead& read, bool ok) {
    AdEntityHeader* h = read.header;
    if (ok) {
        if (read.kind != AD_KIND_FIXED && read.kind != AD_KIND_PROXY)
            ok = adDxfFinishClassEntity(read);
        else if (h->type < AD_ENTITY_PROXY)
            ok = adDxfFinishSpecialEntity(read);
    }
    if (h->extrusion[0] == 0.0 && h->extrusion[1] == 0.0 && h->extrusion[2] == 1.0)
        h->flags &= static_cast<std::uint8_t>(~AD_ENTITY_FLAG_EXTRUDED);
    adDxfWorkClose(read);
    for (AdStore* work : read.work) adStoreFree(work);
    if (read.refStream) adStreamCloseWrite(read.refStream);
    if (read.refs && read.refCount > 0 && ok) {
        read.data->proxy.objectIds = read.refs;
        read.data->proxy.objectIdCount = read.refCount;
    } else {
        adStoreFree(read.refs);
    }
    if (read.encoded && ok) {
        ok = adEncodeShort(0) != 0;
        std::int32_t bits = 0;
        AdStore* encoded = ok ? adEncodeEnd(read.drawing, &bits) : nullptr;
        read.data->proxy.data = encoded;
        read.data->proxy.dataBits = bits;
        ok = encoded != nullptr;
    }
    return ok;
}
}  // namespace

bool adDxfIsBuiltinClassEntity(const char* name) {
    if (!name) return false;
    for (const char* builtin : kBuiltinClasses)
        if (adStrCompareNoCase(name, builtin) == 0) return true;
    return false;
}

int adDxfEntityNext(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, std::uint8_t* xdataFlag) {
    if (!drawing || !header || !data || !xdataFlag || !adGlobals || !drawing->file) return 0;
    *xdataFlag = 0;
    adGlobals->xdataLength = 0;
    AdDxfEntityRead read{};
    read.drawing = drawing;
    read.header = header;
    read.data = data;
    read.xdataFlag = xdataFlag;
    const std::int32_t before = adGlobals->errorCode;
    std::uint16_t type = 0;
    while (type == 0) {
        if (!drawing->dxfInBlock && adDxfTell(drawing) >= drawing->dxfEntitiesEnd) return 0;
        if (!adDxfReadGroup(drawing)) return 0;
        const AdDxfToken& t = adDxfToken();
        if (t.code == 0 && (std::strcmp(t.text, "ENDSEC") == 0 || std::strcmp(t.text, "EOF") == 0)) return 0;
        std::memset(data, 0, sizeof *data);
        read.encoded = false;
        read.kind = AD_KIND_FIXED;
        if (t.code == 0) type = identify(read, t.text);
        if (type == 0 && !skipEntity(drawing, t.code == 0 && !structural(t.text))) return 0;
    }
    applyDefaults(read, type);
    if ((read.kind == AD_KIND_PROXY || read.encoded) && !adDxfNewStore(&read.refs, &read.refStream)) return 0;
    if (read.encoded && !adDxfEncodeStart(drawing)) {
        finish(read, false);
        return 0;
    }
    bool ok = true;
    while (ok && adDxfRecordGroup(drawing, xdataFlag) == AdDxfRecordStep::Group)
        ok = applyGroup(read, adDxfToken().code);
    if (finish(read, ok)) return 1;
    if (adGlobals->errorCode != before) return 0;
    // An entity whose groups cannot be taken is passed over and noted, so
    // that the entities behind it are still read: the next call goes on from
    // the next 0 group. A failure with a reason (memory) ends the list.
    adNoteSkippedRecord(drawing, AD_ERR_DXF_GROUP_CODE, header->handle);
    *xdataFlag = AD_ENTITY_READ_SKIP;
    return 1;
}
