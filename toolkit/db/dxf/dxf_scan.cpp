// The pre-scan's section scanners other than TABLES: each notes where the
// section and its records lie and counts them, reading every group once.
#include "toolkit/db/dxf/dxf_group.h"
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {
// Appends file positions to a store while a section is scanned.
class PositionWriter {
public:
    explicit PositionWriter(AdStore* store) : stream_(store ? adStreamOpenAppend(store) : nullptr) {}
    ~PositionWriter() { close(); }
    PositionWriter(const PositionWriter&) = delete;
    PositionWriter& operator=(const PositionWriter&) = delete;

    bool open() const { return stream_ != nullptr; }
    bool write(std::int64_t position) {
        ok_ = ok_ && adStreamWrite(stream_, &position, sizeof position);
        return ok_;
    }
    bool close() {
        if (stream_ && !adStreamCloseAppend(stream_)) ok_ = false;
        stream_ = nullptr;
        return ok_;
    }

private:
    AdStream* stream_;
    bool ok_ = true;
};

void dropStore(AdDrawing* drawing, int slot) {
    adStoreFree(drawing->loadStores[slot]);
    drawing->loadStores[slot] = nullptr;
}

// Reads up to 0 ENDSEC, counting the 0 groups with the name and noting the
// first one's position.
bool countRecords(AdDrawing* drawing, const char* name, std::int64_t* first, std::int32_t* count) {
    std::int64_t position = 0;
    while (adDxfReadGroupAt(drawing, &position)) {
        if (adDxfTokenIs(0, "ENDSEC")) return true;
        if (!adDxfTokenIs(0, name)) continue;
        if (*count == 0) *first = position;
        ++*count;
    }
    return false;
}

// Skims while it lives: the entities are most of a file, and the scan only
// looks at their 0 groups.
class Skim {
public:
    Skim() { adDxfToken().skim = 1; }
    ~Skim() { adDxfToken().skim = 0; }
    Skim(const Skim&) = delete;
    Skim& operator=(const Skim&) = delete;
};
}  // namespace

// Files before AC1009 keep no viewport-entity headers.
int adDxfScanEntities(AdDrawing* drawing) {
    const Skim skim;
    drawing->dxfEntitiesStart = adDxfTell(drawing);
    const bool viewports = drawing->version >= AD_VERSION_AC1009;
    PositionWriter writer(viewports ? drawing->loadStores[AD_DXF_STORE_VIEWPORTS] : nullptr);
    std::int32_t& count = drawing->tableEntryCounts[AD_CONTROL_VPORT_ENTITY];
    std::int64_t position = 0;
    bool ended = false;
    while (!ended) {
        adDxfSkimGroups(drawing);
        if (!adDxfReadGroupAt(drawing, &position)) break;
        if (adDxfTokenIs(0, "ENDSEC")) {
            drawing->dxfEntitiesEnd = position;
            ended = true;
        } else if (viewports && adDxfTokenIs(0, "VIEWPORT")) {
            if (!writer.write(position)) return 0;
            ++count;
        }
    }
    if (writer.close() && ended) return 1;
    dropStore(drawing, AD_DXF_STORE_VIEWPORTS);
    return 0;
}

int adDxfScanBlocks(AdDrawing* drawing) {
    drawing->dxfBlocksPosition = adDxfTell(drawing);
    PositionWriter writer(drawing->loadStores[AD_DXF_STORE_BLOCKS]);
    std::int64_t position = 0;
    bool ended = false;
    while (writer.open() && !ended && adDxfReadGroupAt(drawing, &position)) {
        if (adDxfTokenIs(0, "ENDSEC")) {
            ended = true;
        } else if (adDxfTokenIs(0, "BLOCK")) {
            if (!writer.write(position)) return 0;
            ++drawing->tableEntryCounts[AD_CONTROL_BLOCK];
        }
    }
    if (writer.close() && ended) return 1;
    dropStore(drawing, AD_DXF_STORE_BLOCKS);
    return 0;
}

int adDxfScanObjects(AdDrawing* drawing) {
    drawing->dxfObjectsPosition = adDxfTell(drawing);
    return countRecords(drawing, "MLINESTYLE", &drawing->dxfMlineStylePosition, &drawing->dxfMlineStyleCount) ? 1 : 0;
}

// The CLASS records are read later from the section's start.
int adDxfScanClasses(AdDrawing* drawing) {
    drawing->dxfClassesPosition = adDxfTell(drawing);
    std::int64_t first = 0;
    return countRecords(drawing, "CLASS", &first, &drawing->classEntryCount) ? 1 : 0;
}
