// The bit-coded DWG writer of AC1012, AC1014 and AC1015: the file laid out
// section by section, every record's offset collected for the object map,
// and the locators and the file-header CRC filled in at the end.
#include "toolkit/write/dwg/dwg_writer.h"

#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/table_cursor.h"

#include <cstring>
#include <memory>
#include <new>

namespace {
bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, sizeof a.b) == 0; }

// A handle the source drawing lacks is drawn from its seed.
bool ensureHandle(AdDrawing* source, AdHandle* handle) {
    return adHandleLength(handle) > 0 || adNextHandle(source, handle);
}

// The drawing's root dictionary and the entries of it the header names.
void rootDictionary(AdDwgWriter* writer) {
    AdDwgHeaderHandles& h = writer->handles;
    auto header = std::make_unique<AdObjectHeader>();
    auto data = std::make_unique<AdObjectData>();
    adObjectRewind(writer->source);
    if (!adObjectNext(writer->source, header.get(), data.get()) || header->type != AD_OBJECT_DICTIONARY) return;
    h.root = header->handle;
    AdStream* in = data->dictionary.entries ? adStreamOpenRead(data->dictionary.entries) : nullptr;
    const struct {
        const char* name;
        AdHandle* handle;
    } named[] = {{"ACAD_GROUP", &h.groupDictionary},
                 {"ACAD_MLINESTYLE", &h.mlineStyleDictionary},
                 {"ACAD_LAYOUT", &h.layoutDictionary},
                 {"ACAD_PLOTSETTINGS", &h.plotSettingsDictionary},
                 {"ACAD_PLOTSTYLENAME", &h.plotStyleDictionary}};
    AdNameRecord entry{};
    for (std::int32_t i = 0; in && i < data->dictionary.entryCount && adStreamReadNameRecord(in, &entry); ++i)
        for (const auto& n : named)
            if (std::strcmp(entry.name, n.name) == 0) *n.handle = entry.handle;
    if (in) adStreamCloseRead(in);
}

bool takeHeaderHandles(AdDwgWriter* writer) {
    AdDrawing* s = writer->source;
    AdDwgHeaderHandles& h = writer->handles;
    h = AdDwgHeaderHandles{};
    for (int i = 0; i < AD_TABLE_CONTROL_COUNT; ++i) h.controls[i] = s->tableControls[i];
    h.groupDictionary = s->groupDictionary;
    h.mlineStyleDictionary = s->mlineStyleDictionary;
    h.root = s->namedObjectDictionary;
    h.modelSpaceBlock = s->modelSpaceBlock;
    h.paperSpaceBlock = s->paperSpaceBlock;
    h.modelSpaceBlockEntity = s->modelSpaceBlockEntity;
    h.modelSpaceEndblk = s->modelSpaceEndblkEntity;
    h.paperSpaceBlockEntity = s->paperSpaceBlockEntity;
    h.paperSpaceEndblk = s->paperSpaceEndblkEntity;
    h.byLayerLtype = s->byLayerLtype;
    h.byBlockLtype = s->byBlockLtype;
    h.continuousLtype = s->continuousLtype;
    if (adHandleLength(&h.continuousLtype) == 0) adTableFirstHandle(s, adLtypeTable, &h.continuousLtype);
    rootDictionary(writer);
    // Without a root dictionary the file would name none, and no reader
    // takes such a file.
    if (adHandleLength(&h.root) == 0) {
        adSetError(AD_ERR_DWG_HANDLE_MISSING);
        return false;
    }
    // A drawing that never was a bit-coded file may lack some of them.
    AdHandle* needed[] = {&h.modelSpaceBlockEntity, &h.modelSpaceEndblk, &h.paperSpaceBlockEntity,
                          &h.paperSpaceEndblk};
    for (AdHandle& control : h.controls)
        if (!ensureHandle(s, &control)) return false;
    for (AdHandle* handle : needed) {
        // A damaged file may give a space's entity the handle of a record
        // the drawing holds.
        if (adHandleLength(handle) && adHandleIndexFind(s, handle)) *handle = AdHandle{};
        if (!ensureHandle(s, handle)) return false;
    }
    return true;
}

// The VIEWPORTs of paper space, by handle, with their ids.
struct PaperViewport {
    AdHandle handle;
    std::int16_t id;
};

std::vector<PaperViewport> paperViewports(AdDwgWriter* writer) {
    std::vector<PaperViewport> viewports;
    AdRecordList* list = adBlockEntityList(writer->source, &writer->handles.paperSpaceBlock);
    if (!list) return viewports;
    AdEntityHeader* header = writer->work->entityHeader;
    AdEntityData* data = writer->work->entityData;
    adEntityRewind(list);
    while (adEntityNext(list, header, data))
        if (header->type == AD_ENTITY_VIEWPORT) viewports.push_back({header->handle, data->viewport.id});
    return viewports;
}

// The viewport entity headers: the drawing's own records, or for a drawing
// that has none (one read from DXF) one per paper-space VIEWPORT, so that
// such drawings save too. Entry 0 stands for the current viewport.
bool buildVportMap(AdDwgWriter* writer) {
    AdDrawing* source = writer->source;
    std::vector<AdDwgVportMapEntry>& map = writer->vportMap;
    const std::vector<PaperViewport> viewports = paperViewports(writer);
    auto record = std::make_unique<AdVportEntityHeader>();
    try {
        adTableRewind(source, adVportEntityTable);
        std::vector<AdDwgVportMapEntry> records;
        while (adTableNext(source, adVportEntityTable, record.get())) {
            const AdHandle& viewport =
                adHandleLength(&record->viewportEntity) ? record->viewportEntity : record->entityHandle;
            records.push_back({viewport, record->handle, 0, static_cast<std::uint8_t>(record->flags & 1)});
        }
        if (records.empty())
            for (const PaperViewport& v : viewports) records.push_back({v.handle, AdHandle{}, 0, 1});
        if (records.empty()) return true;
        // The drawing's own header must not be one of the VIEWPORTs'.
        const AdDwgFile* dwg = adDwgFileOf(source);
        AdHandle own = dwg ? dwg->vportEntityHeader : AdHandle{};
        for (const AdDwgVportMapEntry& r : records)
            if (sameHandle(r.header, own)) own = AdHandle{};
        map.push_back({AdHandle{}, own, 0, 1});
        map.insert(map.end(), records.begin(), records.end());
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_DWG_VPORT_MAP);
        return false;
    }
    for (AdDwgVportMapEntry& entry : map)
        if (!ensureHandle(source, &entry.header)) return false;
    for (const PaperViewport& v : viewports)
        for (std::size_t i = 1; i < map.size(); ++i)
            if (sameHandle(map[i].viewport, v.handle)) map[i].id = v.id;
    for (std::size_t i = 1; i < map.size(); ++i)
        if (map[i].id == 1 && adHandleLength(&writer->handles.currentVportEntity) == 0)
            writer->handles.currentVportEntity = map[i].header;
    return true;
}

// Table controls, AC1014 and AC1015 write them all ahead of the blocks,
// followed by the root dictionary.
int writeControls(AdDwgWriter* writer) {
    for (int c = 0; c < AD_TABLE_CONTROL_COUNT; ++c)
        if (!adDwgWriteTableControl(writer, static_cast<AdTableControl>(c))) return 0;
    return 1;
}

int writeObject(AdDwgWriter* writer, const AdOwnerMap& owners, AdObjectHeader* header, AdObjectData* data) {
    // What no dictionary or object of the drawing owns keeps the owner it has.
    AdHandle owner{};
    if (!adOwnerMapFind(&owners, &header->handle, &owner)) owner = header->owner;
    switch (header->type) {
    case AD_OBJECT_DICTIONARY: return adDwgWriteDictionary(writer, header, &data->dictionary, &owner);
    case AD_OBJECT_MLINESTYLE: return adDwgWriteMlineStyle(writer, header, &data->mlineStyle, &owner);
    case AD_OBJECT_GROUP: return adDwgWriteGroup(writer, header, &data->group, &owner);
    default: return adDwgWriteObject(writer, header, data, &owner);
    }
}

// An object's extension dictionary belongs to the object.
int noteExtensionDictionaries(AdDwgWriter* writer, AdObjectHeader* header, AdObjectData* data) {
    adObjectRewind(writer->source);
    while (adObjectNext(writer->source, header, data))
        if (!adNoteOwnedHandle(writer->output, &header->handle, &header->extensionDictionary)) return 0;
    return 1;
}

int writeObjects(AdDwgWriter* writer) {
    auto header = std::make_unique<AdObjectHeader>();
    auto data = std::make_unique<AdObjectData>();
    AdOwnerMap owners{};
    if (!noteExtensionDictionaries(writer, header.get(), data.get()) ||
        !adBuildOwnerMap(writer->source, writer->output, &owners))
        return 0;
    int ok = 1;
    adObjectRewind(writer->source);
    for (bool first = true; ok && adObjectNext(writer->source, header.get(), data.get()); first = false) {
        // A drawing whose first object is not a dictionary has no root.
        if (first && writer->version >= AD_VERSION_AC1014 && header->type == AD_OBJECT_DICTIONARY) {
            // Written with the controls; its owner is none.
            ok = adDwgWriteDictionary(writer, header.get(), &data->dictionary, nullptr);
            continue;
        }
        ok = writeObject(writer, owners, header.get(), data.get());
    }
    adOwnerMapFree(&owners);
    return ok;
}

int writeFile(AdDwgWriter* writer) {
    AdDrawing* source = writer->source;
    AdOutputDrawing* output = writer->output;
    adResetHandleCaches(source);
    if (!takeHeaderHandles(writer) || !buildVportMap(writer)) return 0;
    AdHandle seed = source->handleSeed;
    if (!writer->vportMap.empty() && !adNextHandle(source, &seed)) return 0;
    if (writer->version == AD_VERSION_AC1012) adLwpolyHandleReserve(source, output, &seed);
    output->header->handseed = seed;
    adReportSaveProgress(5);

    AdDwgBitScope scope(writer);
    if (!adDwgWriteFileHeader(writer) || !adDwgWriteHeaderSection(writer)) {
        adSetError(AD_ERR_DWG_HEADER_WRITE);
        return 0;
    }
    if (!adDwgWriteClasses(writer) || !adDwgWriteGap(writer)) return 0;
    const bool older = writer->version == AD_VERSION_AC1012;
    if (older ? !adDwgWriteTableControl(writer, AD_CONTROL_BLOCK) : !writeControls(writer)) return 0;
    adReportSaveProgress(20);
    if (!adDwgWriteBlocks(writer)) return 0;
    adReportSaveProgress(60);
    if (!adDwgWriteTables(writer, older) || !adDwgWriteVportEntityHeaders(writer)) return 0;
    adReportSaveProgress(70);
    if (!writeObjects(writer)) return 0;
    adReportSaveProgress(90);
    writer->sections.mapAddress = adOutTell(output);
    if (!adObjectMapWrite(writer)) {
        if (adGlobals->errorCode != AD_ERR_DWG_DUPLICATE) adSetError(AD_ERR_DWG_OBJECT_MAP);
        return 0;
    }
    writer->sections.mapSize = adOutTell(output) - writer->sections.mapAddress;
    return adDwgWriteFixedSection(writer) && adDwgWriteSecondHeader(writer) && adDwgWriteImage(writer) &&
           adDwgFinishFileHeader(writer);
}
}  // namespace

int adDwgWriteR13(AdDrawing* source, AdOutputDrawing* output, AdSaveWork* work) {
    auto writer = std::make_unique<AdDwgWriter>();
    writer->source = source;
    writer->output = output;
    writer->work = work;
    writer->version = output->version;
    if (!writeFile(writer.get())) return 0;
    HostFile* file = output->file;
    output->file = nullptr;
    if (!file || HostClose(file) != 0) {
        adSetError(AD_ERR_WRITE);
        return 0;
    }
    adSetError(AD_OK);
    adReportSaveProgress(100);
    return 1;
}
