// adSaveDrawing: the toolkit's one entry for writing an open drawing. It
// prepares the drawing for the target version, creates the output drawing,
// calls the writer of the format and version, and undoes its preparations.
#include "toolkit/write/writer.h"
#include "toolkit/db/table_cursor.h"

#include <cstring>
#include <memory>

namespace {

// The four work areas a writer borrows, freed in reverse order.
struct WorkAreas {
    void* areas[4] = {};
    ~WorkAreas() {
        for (int i = 3; i >= 0; --i)
            if (areas[i]) HostFree(areas[i]);
    }
    bool allocate() {
        const std::size_t sizes[4] = {sizeof(AdEntityHeader), sizeof(AdEntityData), AD_TABLE_MAX_STORED,
                                      sizeof(AdXdataItem)};
        for (int i = 0; i < 4; ++i) {
            areas[i] = HostAlloc(sizes[i]);
            if (!areas[i]) return false;
            std::memset(areas[i], 0, sizes[i]);
        }
        return true;
    }
};

AdSaveWriter chooseWriter(std::uint8_t format, std::int16_t version) {
    const bool bitCoded = version >= AD_VERSION_FIRST_BITCODED;
    if (format == AD_FORMAT_DWG) return bitCoded ? adSaveWriters.dwgR13 : adSaveWriters.dwgR12;
    return bitCoded ? adSaveWriters.dxfR13 : adSaveWriters.dxfR12;
}

void copyFirstStyleName(AdDrawing* drawing, AdOutputDrawing* output) {
    auto style = std::make_unique<AdStyleRecord>();
    output->firstStyleName[0] = '\0';
    if (adStyleRewind(drawing) && adStyleNext(drawing, style.get())) {
        std::strncpy(output->firstStyleName, style->name, sizeof(output->firstStyleName) - 1);
        output->firstStyleName[sizeof(output->firstStyleName) - 1] = '\0';
    }
}
}  // namespace

std::int16_t adSaveDrawing(AdDrawing* drawing, const char* path, std::uint8_t format, std::int16_t version,
                           std::int32_t dxfOption1, std::int32_t dxfOption2, std::int32_t dxfOption3,
                           std::int32_t dxfOption4) {
    if (!adGlobals || !drawing || !path || version < 0 || version > AD_VERSION_AC1015) {
        adSetError(AD_ERR_NO_WRITER);
        return 0;
    }
    if (drawing->writerVersionLimit >= 0 && drawing->writerVersionLimit < AD_VERSION_AC1015 && version >= AD_VERSION_AC1015) {
        adSetError(AD_ERR_VERSION_CEILING);
        return 0;
    }
    const std::int16_t ownVersion = drawing->version;
    const bool otherVersion = version != ownVersion;
    const bool roundTrip = version < AD_VERSION_AC1015 || otherVersion;

    AdRecordList* side = adListCreate();
    AdHandle roundTripEntry{};
    if (side && roundTrip) adDetachRoundTripEntry(drawing, side, &roundTripEntry);
    adReportSaveProgress(0);

    int result = 0;
    bool versionSet = false;
    {
        WorkAreas work;
        adSetError(AD_ERR_SAVE_WORK_AREA);
        if (work.allocate()) {
            if (otherVersion) adSyncXrefBlockRefs(drawing, version);
            AdXrefBudgets budgets{};
            const bool budgetsBuilt = version >= AD_VERSION_AC1015 || adBuildXrefNameBudgets(drawing, &budgets);
            AdOutputDrawing* output = nullptr;
            if (!budgetsBuilt) {
                adSetError(AD_ERR_SAVE_WORK_AREA);
            } else {
                adSetError(AD_OK);
                output = adOpenOutputDrawing(path, version, format);
            }
            if (!output) adFreeXrefNameBudgets(&budgets);
            if (output) {
                output->budgets = budgets;
                std::memcpy(output->header, drawing->header, sizeof(AdHeaderVars));
                adSetOutputVersion(output, version, output->header);
                output->sourceVersion = ownVersion;
                drawing->version = version;
                versionSet = true;
                output->header->handseed = output->header->handling == 0 ? AdHandle{{0, 0, 0, 0, 0, 0, 0, 1}}
                                                                         : drawing->handleSeed;
                AdSaveWork areas{static_cast<AdEntityHeader*>(work.areas[0]),
                                 static_cast<AdEntityData*>(work.areas[1]),
                                 work.areas[2],
                                 static_cast<AdXdataItem*>(work.areas[3]),
                                 dxfOption1,
                                 dxfOption2,
                                 dxfOption3,
                                 dxfOption4};
                if (format != AD_FORMAT_DWG) copyFirstStyleName(drawing, output);
                AdSaveWriter writer = chooseWriter(format, version);
                if (writer) {
                    result = writer(drawing, output, &areas);
                } else {
                    adSetError(AD_ERR_NO_WRITER);
                }
                // The output drawing has one owner: this entry. A writer that
                // succeeded closed the file already.
                if (!adCloseOutputDrawing(output) && result) {
                    adSetError(AD_ERR_WRITE);
                    result = 0;
                }
            }
        }
    }
    if (result) adReportSaveProgress(100);
    if (versionSet) drawing->version = ownVersion;
    if (otherVersion) adSyncXrefBlockRefs(drawing, ownVersion);
    if (roundTrip) adRestoreRoundTripEntry(drawing, side, &roundTripEntry);
    adListFree(side);
    return static_cast<std::int16_t>(result ? 1 : 0);
}
