// The OBJECTS section: the walk over the drawing's objects and the objects of
// fixed type (DICTIONARY, MLINESTYLE, GROUP).
#include "toolkit/write/dxf/dxf_objects.h"
#include "toolkit/ad_internal.h"

#include <cstring>
#include <memory>

namespace {
constexpr std::int32_t kChunk = 127;
constexpr std::int16_t kByLayerIndex = 32767;
constexpr std::int16_t kByBlockIndex = 32766;

// Root entries that name objects AC1012 and AC1014 do not have.
constexpr const char* kLaterRootEntries[] = {"ACAD_LAYOUT", "ACAD_PLOTSETTINGS", "ACAD_WIPEOUT_VARS",
                                             "ACAD_PLOTSTYLENAME", "ACDBHEADERROUNDTRIPXREC"};

bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, 8) == 0; }

bool laterRootEntry(const char* name) {
    for (const char* later : kLaterRootEntries)
        if (adStrCompareNoCase(name, later) == 0) return true;
    return false;
}

// The linetype name of a multiline-style element: the record at its position
// in the LTYPE table.
void elementLinetype(AdDrawing* source, std::int16_t index, char* name) {
    if (index == kByLayerIndex || index == kByBlockIndex) {
        std::strcpy(name, index == kByLayerIndex ? "ByLayer" : "ByBlock");
        return;
    }
    auto record = std::make_unique<AdLtypeRecord>();
    std::strcpy(name, "ByLayer");
    std::int16_t at = 0;
    for (int ok = adLtypeRewind(source) && adLtypeNext(source, record.get()); ok;
         ok = adLtypeNext(source, record.get()), ++at) {
        if (at != index) continue;
        const std::size_t length = strnlen(record->name, AD_TABLE_NAME_SIZE - 1);
        std::memcpy(name, record->name, length);
        name[length] = '\0';
        return;
    }
}
}  // namespace

void AdDxfObjectGroups::common() {
    if (adHandleLength(&header->extensionDictionary) != 0) {
        text(102, "{ACAD_XDICTIONARY");
        handle(360, header->extensionDictionary);
        text(102, "}");
    }
    if (header->reactorCount > 0) {
        text(102, "{ACAD_REACTORS");
        if (ok) ok = adDxfWriteReactorHandles(output, header->reactors, header->reactorCount);
        text(102, "}");
    }
}

void AdDxfObjectGroups::head(const char* keyword, const char* marker) {
    text(0, keyword);
    handle(5, header->handle);
    common();
    if (marker[0]) text(100, marker);
}

void AdDxfObjectGroups::fixedHead(const char* keyword) {
    text(0, keyword);
    handle(5, header->handle);
    if (header->reactorCount > 0) common();
}

void AdDxfObjectGroups::xdata() {
    if (ok) ok = adDxfWriteXdataStore(source, output, header->xdata);
}

void AdDxfObjectGroups::full3(std::int16_t code, const double* point) {
    if (ok) ok = adDxfWriteFullPoint3D(output, code, point);
}

void AdDxfObjectGroups::handles(std::int16_t code, AdStore* store, std::int32_t count) {
    AdStream* in = store && count > 0 ? adStreamOpenRead(store) : nullptr;
    AdHandle h{};
    for (std::int32_t i = 0; ok && in && i < count && adStreamReadHandle(in, &h); ++i) handle(code, h);
    if (in) adStreamCloseRead(in);
}

void AdDxfObjectGroups::chunks(AdStore* store) {
    if (ok) ok = adDxfWriteBinaryChunks(output, store, 310, kChunk);
}

void AdDxfObjectGroups::sizedChunks(AdStore* store, std::int32_t size) {
    longGroup(90, size);
    chunks(store);
}

AdHandle adDxfOwnerUnlessReferenced(const AdHandle& owner, AdStore* store, std::int32_t count) {
    AdStream* in = store && count > 0 ? adStreamOpenRead(store) : nullptr;
    AdHandleEntry entry{};
    bool listed = false;
    for (std::int32_t i = 0; in && !listed && i < count && adStreamReadHandleEntry(in, &entry); ++i)
        listed = sameHandle(entry.handle, owner);
    if (in) adStreamCloseRead(in);
    return listed ? AdHandle{} : owner;
}

int adDxfWriteDictionary(AdDrawing* source, AdOutputDrawing* output, const AdObjectHeader* header,
                         const AdDictionaryData* data) {
    const std::int16_t v = output->version;
    const bool older = v < AD_VERSION_AC1015;
    if (older && adHandleLength(&source->layoutDictionary) && sameHandle(header->handle, source->layoutDictionary))
        return 1;
    const bool root = sameHandle(header->handle, source->namedObjectDictionary);
    adSetError(AD_ERR_DXF_DICTIONARY);
    AdDxfObjectGroups g(source, output, header);
    g.fixedHead("DICTIONARY");
    g.text(100, "AcDbDictionary");
    if (!older) {
        g.shortGroup(280, data->hardOwner);
        g.shortGroup(281, data->cloning);
    }
    AdStream* in = data->entries && data->entryCount > 0 ? adStreamOpenRead(data->entries) : nullptr;
    if (data->entries && data->entryCount > 0 && !in) return 0;
    auto entry = std::make_unique<AdNameRecord>();
    for (std::int32_t i = 0; g.ok && in && i < data->entryCount; ++i) {
        if (!adStreamReadNameRecord(in, entry.get())) {
            g.ok = 0;
            break;
        }
        entry->name[sizeof entry->name - 1] = '\0';
        if (root && older && laterRootEntry(entry->name)) continue;
        if (older) adStrUpper(entry->name, source->header ? source->header->dwgcodepage : 0);
        g.text(3, entry->name);
        const bool references = v == AD_VERSION_AC1014 && std::strcmp(entry->name, "ACAD_BLKREFS") == 0;
        g.handle(references ? 360 : 350, entry->handle);
    }
    if (in) adStreamCloseRead(in);
    g.xdata();
    if (g.ok) adSetError(AD_OK);
    return g.ok;
}

int adDxfWriteMlineStyle(AdDrawing* source, AdOutputDrawing* output, const AdObjectHeader* header,
                         const AdMlineStyleData* data, std::int32_t position) {
    adSetError(AD_ERR_DXF_OBJECT);
    AdDxfObjectGroups g(source, output, header);
    g.fixedHead("MLINESTYLE");
    g.text(100, "AcDbMlineStyle");
    if (g.ok) g.ok = adDxfWriteNameGroup(source, output, 2, data->name, position, adGetNameLengthLimit());
    g.shortGroup(70, data->flags);
    g.text(3, data->description);
    g.shortGroup(62, data->fillColour);
    g.angle(51, data->startAngle);
    g.angle(52, data->endAngle);
    g.shortGroup(71, data->elementCount);
    AdStream* in = data->elements && data->elementCount > 0 ? adStreamOpenRead(data->elements) : nullptr;
    for (int i = 0; g.ok && i < data->elementCount; ++i) {
        std::uint8_t record[16];
        if (!in || !adStreamRead(in, record, sizeof record)) {
            g.ok = 0;
            break;
        }
        std::int16_t colour = 0;
        std::int16_t index = 0;
        double offset = 0.0;
        std::memcpy(&colour, record, 2);
        std::memcpy(&index, record + 2, 2);
        std::memcpy(&offset, record + 8, 8);
        char linetype[AD_TABLE_NAME_SIZE];
        elementLinetype(source, index, linetype);
        g.real(49, offset);
        g.shortGroup(62, colour);
        if (g.ok) g.ok = adDxfWriteNameGroup(source, output, 6, linetype, index, adGetNameLengthLimit());
    }
    if (in) adStreamCloseRead(in);
    g.xdata();
    if (g.ok) adSetError(AD_OK);
    return g.ok;
}

int adDxfWriteGroup(AdDrawing* source, AdOutputDrawing* output, const AdObjectHeader* header,
                    const AdGroupData* data) {
    adSetError(AD_ERR_DXF_OBJECT);
    AdDxfObjectGroups g(source, output, header);
    g.fixedHead("GROUP");
    g.text(100, "AcDbGroup");
    g.text(300, data->description);
    g.shortGroup(70, data->unnamed);
    g.shortGroup(71, data->selectable);
    g.handles(340, data->members, data->memberCount);
    g.xdata();
    if (g.ok) adSetError(AD_OK);
    return g.ok;
}

int adDxfWriteObjects(AdDrawing* source, AdOutputDrawing* output) {
    AdOwnerMap owners{};
    if (!adBuildOwnerMap(source, output, &owners)) return 0;
    auto header = std::make_unique<AdObjectHeader>();
    auto data = std::make_unique<AdObjectData>();
    int ok = adDxfBeginSection(output, AdDxfKeywordTable[AD_KW_OBJECTS]);
    adObjectRewind(source);
    for (std::int32_t position = 0; ok && adObjectNext(source, header.get(), data.get()); ++position) {
        switch (header->type) {
            case AD_OBJECT_DICTIONARY: ok = adDxfWriteDictionary(source, output, header.get(), &data->dictionary); break;
            case AD_OBJECT_MLINESTYLE:
                ok = adDxfWriteMlineStyle(source, output, header.get(), &data->mlineStyle, position);
                break;
            case AD_OBJECT_GROUP: ok = adDxfWriteGroup(source, output, header.get(), &data->group); break;
            default: {
                AdHandle owner{};
                adOwnerMapFind(&owners, &header->handle, &owner);
                ok = adDxfWriteObject(source, output, header.get(), data.get(), &owner);
                break;
            }
        }
    }
    adOwnerMapFree(&owners);
    return ok;
}
