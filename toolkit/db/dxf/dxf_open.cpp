// The DXF reader's open operation, the pre-scan: the HEADER section is read
// whole; every other section only leaves where its parts lie, so that the
// readers can seek to them later in whatever order the loaders ask.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>
#include <initializer_list>

namespace {
// The binary sentinel line ends with a NUL.
bool skipSentinel(AdDrawing* drawing) {
    for (std::int32_t n = 0; n < static_cast<std::int32_t>(AD_SNIFF_SIZE); ++n) {
        const int c = HostGetc(drawing->file);
        if (c == EOF) return false;
        if (c == 0) return true;
    }
    return false;
}

// A binary file of unknown version whose first group code is two zero bytes
// gives every code two bytes.
bool startFile(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    t.twoByteCodes = 0;
    if (!adDxfSeek(drawing, 0)) return false;
    if (drawing->format != AD_FORMAT_DXF_BINARY) return true;
    if (!skipSentinel(drawing)) return false;
    if (drawing->version != -1) return true;
    std::uint8_t first[2] = {1, 1};
    const bool both = HostRead(first, 1, sizeof first, drawing->file) == sizeof first;
    if (!adDxfSeek(drawing, 0) || !skipSentinel(drawing)) return false;
    t.twoByteCodes = both && first[0] == 0 && first[1] == 0;
    return true;
}

// The name-valued variables a file does not set name the standard records.
void startHeader(AdDrawing* drawing) {
    adHeaderDefaults(drawing->header);
    drawing->header->handling = 1;
    drawing->header->acadver[0] = '\0';
    char (*names)[AD_HEADER_NAME_SIZE] = adGlobals->headerNames;
    adDxfCopyText(names[AD_HEADER_NAME_CLAYER], AD_HEADER_NAME_SIZE, "0");
    adDxfCopyText(names[AD_HEADER_NAME_CELTYPE], AD_HEADER_NAME_SIZE, "Continuous");
    for (AdHeaderNameSlot slot : {AD_HEADER_NAME_DIMSTYLE, AD_HEADER_NAME_TEXTSTYLE, AD_HEADER_NAME_CMLSTYLE,
                                  AD_HEADER_NAME_DIMTXSTY})
        adDxfCopyText(names[slot], AD_HEADER_NAME_SIZE, "Standard");
    // Nothing of an earlier load may stay behind in the four base and
    // orthographic reference names either.
    for (AdHeaderNameSlot slot : {AD_HEADER_NAME_UCSNAME, AD_HEADER_NAME_PUCSNAME, AD_HEADER_NAME_UCSBASE,
                                  AD_HEADER_NAME_PUCSBASE, AD_HEADER_NAME_UCSORTHOREF, AD_HEADER_NAME_PUCSORTHOREF})
        names[slot][0] = '\0';
}

void clearScan(AdDrawing* drawing) {
    for (std::int64_t& position : drawing->dxfTablePositions) position = 0;
    for (std::int32_t& count : drawing->tableEntryCounts) count = 0;
    for (AdHandle& control : drawing->tableControls) control = AdHandle{};
    drawing->classEntryCount = drawing->dxfBlockRecordCount = drawing->dxfMlineStyleCount = 0;
    drawing->dxfEntitiesStart = drawing->dxfEntitiesEnd = drawing->dxfBlocksPosition = 0;
    drawing->dxfClassesPosition = drawing->dxfObjectsPosition = drawing->dxfMlineStylePosition = 0;
    drawing->dxfSections = 0;
    drawing->dxfBlockOffset = 0;
    drawing->dxfInBlock = 0;
    drawing->dxfBlockDescription[0] = '\0';
    drawing->dxfDeferredArrowCount = 0;
}

bool createStores(AdDrawing* drawing) {
    for (int slot : {AD_DXF_STORE_BLOCKS, AD_DXF_STORE_VIEWPORTS}) {
        adStoreFree(drawing->loadStores[slot]);
        drawing->loadStores[slot] = adStoreCreate(AD_STORE_BLOCK_SIZE);
        if (!drawing->loadStores[slot]) return false;
    }
    return true;
}

void freeStores(AdDrawing* drawing) {
    for (int slot : {AD_DXF_STORE_BLOCKS, AD_DXF_STORE_VIEWPORTS}) {
        adStoreFree(drawing->loadStores[slot]);
        drawing->loadStores[slot] = nullptr;
    }
}

// The group reader's own codes say more than the section's.
bool fail(std::int32_t code) {
    const std::int32_t current = adGlobals->errorCode;
    if (current != AD_ERR_DXF_LINE_LENGTH && current != AD_ERR_DXF_GROUP_CODE && current != AD_ERR_PRE_RELEASE)
        adSetError(code);
    return false;
}

struct Section {
    const char* name;
    int (*scan)(AdDrawing* drawing);
    std::int32_t error;
};

int readHeader(AdDrawing* drawing) {
    drawing->dxfSections |= AD_DXF_SECTION_HEADER;
    return adDxfReadHeader(drawing, drawing->header);
}

const Section kSections[] = {
    {"HEADER", readHeader, AD_ERR_DXF_HEADER},        {"ENTITIES", adDxfScanEntities, AD_ERR_DXF_ENTITIES},
    {"TABLES", adDxfScanTables, AD_ERR_DXF_TABLES},   {"BLOCKS", adDxfScanBlocks, AD_ERR_DXF_BLOCKS},
    {"OBJECTS", adDxfScanObjects, AD_ERR_DXF_OBJECTS}, {"CLASSES", adDxfScanClasses, AD_ERR_DXF_NO_EOF},
};

// TABLES and CLASSES count once: a later section of the same name is skipped.
bool onceOnly(const Section& section) {
    return std::strcmp(section.name, "TABLES") == 0 || std::strcmp(section.name, "CLASSES") == 0;
}

// Sections until 0 EOF. Groups outside the known sections are passed over.
bool scanSections(AdDrawing* drawing) {
    bool seen[sizeof kSections / sizeof kSections[0]] = {};
    while (adGlobals->continueFlag) {
        do {
            if (!adDxfReadGroup(drawing)) return fail(AD_ERR_DXF_NO_EOF);
            if (adDxfTokenIs(0, "EOF")) return true;
        } while (!adDxfTokenIs(0, "SECTION"));
        if (!adDxfReadGroup(drawing)) return fail(AD_ERR_DXF_NO_EOF);
        if (adDxfToken().code != 2) continue;
        for (std::size_t i = 0; i < sizeof kSections / sizeof kSections[0]; ++i) {
            const Section& section = kSections[i];
            if (std::strcmp(adDxfToken().text, section.name) != 0 || (seen[i] && onceOnly(section))) continue;
            seen[i] = true;
            if (!section.scan(drawing)) return fail(section.error);
        }
    }
    adSetError(AD_OK);
    return false;
}
}  // namespace

int adDxfOpen(AdDrawing* drawing) {
    if (!adGlobals || !drawing || !drawing->file || !drawing->header || !adGlobals->buffer128kA) return 0;
    adDxfToken().text = reinterpret_cast<char*>(adGlobals->buffer128kA);
    adDxfToken().text[0] = '\0';
    adDxfToken().code = -1;
    if (!startFile(drawing)) {
        adSetError(AD_ERR_DXF_PRESCAN);
        return 0;
    }
    adSetError(AD_ERR_DXF_PRESCAN);
    if (!createStores(drawing)) {
        freeStores(drawing);
        return 0;
    }
    startHeader(drawing);
    clearScan(drawing);
    if (!scanSections(drawing)) {
        freeStores(drawing);
        return 0;
    }
    AdHeaderVars* h = drawing->header;
    drawing->seedFromFile = h->handling != 0;
    drawing->visRetain = h->visretain;
    drawing->fileHandleSeed = h->handseed;
    adSetError(AD_OK);
    return adGlobals->continueFlag ? 1 : 0;
}
