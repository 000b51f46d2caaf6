// How far a load is through the entity data, for the host's progress while
// the ENTITIES section is read.
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cstdio>

namespace {
constexpr std::int64_t kPercentLimit = 32767;

std::int64_t filePosition(AdDrawing* drawing) { return drawing->file ? HostTell(drawing->file) : 0; }

// The file position of an object found through the object map; -1 when the
// map does not know it.
std::int64_t objectPosition(AdDrawing* drawing, const AdHandle& handle) {
    return adDwgSeekObject(drawing, &handle) ? filePosition(drawing) : -1;
}

// Both chains, each from its first entity object to its last; the reader's
// place in the file and in its chain is put back as it was.
void measureChains(AdDrawing* drawing) {
    AdDrawing::AdLoadProgress& p = drawing->loadProgress;
    AdDrawing::AdDwgChains& chains = drawing->dwgChains;
    AdDwgFile* dwg = adDwgFileOf(drawing);
    const std::int64_t position = filePosition(drawing);
    const AdHandle next = chains.next;
    const AdHandle current = dwg ? dwg->currentObject : AdHandle{};
    const std::int64_t paperFirst = objectPosition(drawing, chains.paperFirst);
    const std::int64_t paperLast = objectPosition(drawing, chains.paperLast);
    const std::int64_t modelFirst = objectPosition(drawing, chains.modelFirst);
    const std::int64_t modelLast = objectPosition(drawing, chains.modelLast);
    // A chain the map cannot place counts as empty.
    if (paperFirst >= 0 && paperLast >= paperFirst) {
        p.paperStart = paperFirst;
        p.paperLength = paperLast - paperFirst;
    }
    if (modelFirst >= 0 && modelLast >= modelFirst) {
        p.modelStart = modelFirst;
        p.modelLength = modelLast - modelFirst;
    }
    if (drawing->file) HostSeek(drawing->file, position, SEEK_SET);
    chains.next = next;
    if (dwg) dwg->currentObject = current;
}

// The percentage done, before it is checked; answer is set instead when the
// call has its answer already.
std::int64_t rawPercent(AdDrawing* drawing, bool* answered) {
    AdDrawing::AdLoadProgress& p = drawing->loadProgress;
    const std::int64_t position = filePosition(drawing);
    *answered = true;
    if (!adIsBitCodedDwg(drawing)) {
        std::int64_t start = drawing->dxfEntitiesStart;
        std::int64_t end = drawing->dxfEntitiesEnd;
        const AdDwgFile* dwg = drawing->dxf ? nullptr : adDwgFileOf(drawing);
        if (dwg) {
            start = dwg->entitiesStart;
            end = dwg->entitiesEnd;
        }
        if (start == end) return 100;
        *answered = false;
        return (position - start) * 100 / (end - start);
    }
    if (p.modelStart == 0) {
        measureChains(drawing);
        p.last = 0;
        return 0;
    }
    std::int64_t done = 0;
    if (drawing->dwgChains.phase == 0) {
        if (position < p.paperStart) {
            p.last = 0;
            return 0;
        }
        done = position - p.paperStart;
    } else {
        done = p.paperLength + position - p.modelStart;
    }
    const std::int64_t total = p.paperLength + p.modelLength;
    if (total == 0) return 100;
    *answered = false;
    return done * 100 / total;
}
}  // namespace

std::int32_t adLoadPercent(AdDrawing* drawing) {
    if (!drawing) return 0;
    AdDrawing::AdLoadProgress& progress = drawing->loadProgress;
    bool answered = false;
    const std::int64_t raw = rawPercent(drawing, &answered);
    if (answered) return static_cast<std::int32_t>(raw);
    std::int64_t percent = raw + 1;
    if (percent < 0 || percent >= kPercentLimit) percent = progress.last < 0 ? 0 : progress.last;
    else if (percent > 100) percent = progress.last > 100 ? 100 : progress.last;
    progress.last = static_cast<std::int32_t>(percent);
    return progress.last;
}
