// Viewports of release-12 drawings keep their view in the "ACAD"
// application's "MVIEW" extended data; after the load the values move into
// the viewport's own fields and the group leaves the extended data.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "toolkit/ad.h"
#include "toolkit/db/r12/r12_read.h"

namespace {

constexpr double kDirectionEpsilon = 1e-13;
constexpr std::int16_t kFrozenBlockSize = 128;
constexpr std::int16_t kXdataBlockSize = 4096;

// The items of the group after its "MVIEW" string, in their published
// order; each value goes to the next free slot of its kind.
constexpr std::int16_t kGroupCodes[] = {
    1002,                                            // {
    1070,                                            // version of the group
    1010, 1010,                                      // target, direction
    1040, 1040, 1040, 1040, 1040, 1040, 1040,        // twist, height, centre x, y, lens, front, back clip
    1070, 1070, 1070, 1070, 1070, 1070, 1070, 1070,  // view mode, circle zoom, fast zoom, icon, snap, grid,
                                                     // snap style, isometric pair
    1040, 1040, 1040, 1040, 1040, 1040, 1040,        // snap angle, base x, y, snap x, y, grid x, y
    1070,                                            // hidden in plot
    1002,                                            // { of the frozen layers
};
constexpr int kGroupLength = static_cast<int>(sizeof kGroupCodes / sizeof kGroupCodes[0]);

struct Mview {
    double points[2][3];
    double reals[14];
    std::int16_t words[10];
    AdStore* frozen;
    std::int32_t frozenCount;
};

enum Word { kVersion, kViewMode, kCircleZoom, kFastZoom, kIcon, kSnap, kGrid, kSnapStyle, kIsoPair, kHidePlot };

// Status-flag bits of the viewport that the group's words set.
constexpr std::int32_t kConverted = 0x3FFF;
constexpr std::int32_t kViewModeBits = 0x1F;
constexpr std::int32_t kIconShift = 5;  // on 32, at the origin 64
constexpr std::int32_t kFastZoomBit = 0x80;
constexpr std::int32_t kSnapBit = 0x100;
constexpr std::int32_t kGridBit = 0x200;
constexpr std::int32_t kIsometricBit = 0x400;
constexpr std::int32_t kHidePlotBit = 0x800;
constexpr std::int32_t kIsoPairTop = 0x1000;
constexpr std::int32_t kIsoPairRight = 0x2000;

bool isOpen(const AdXdataItem& item) { return item.code == 1002 && item.value.text[0] == '{'; }

// Takes the group's items after its "MVIEW" string, to the closing brace.
bool readGroup(AdStream* stream, Mview* m) {
    AdXdataItem item;
    int points = 0, reals = 0, words = 0;
    for (int i = 0; i < kGroupLength; ++i) {
        if (!adXdataReadItem(stream, &item) || item.code != kGroupCodes[i]) return false;
        if (item.code == 1002 && !isOpen(item)) return false;
        if (item.code == 1010) std::memcpy(m->points[points++], item.value.point, sizeof m->points[0]);
        if (item.code == 1040) m->reals[reals++] = item.value.real;
        if (item.code == 1070) m->words[words++] = item.value.int16;
    }
    // Layers that are no longer there have left the null handle: skipped.
    while (adXdataReadItem(stream, &item) && item.code == 1003) {
        if (adHandleLength(&item.value.handle) == 0) continue;
        if (!m->frozen) m->frozen = adStoreCreate(kFrozenBlockSize);
        AdStream* out = m->frozen ? adStreamOpenAppend(m->frozen) : nullptr;
        const bool kept = out && adStreamWrite(out, item.value.handle.b, sizeof item.value.handle.b);
        if (out) adStreamCloseAppend(out);
        if (!kept) return false;
        ++m->frozenCount;
    }
    if (item.code != 1002 || isOpen(item)) return false;
    return adXdataReadItem(stream, &item) && item.code == 1002 && !isOpen(item);
}

void apply(const Mview& m, AdViewportData* v) {
    std::memcpy(v->viewTarget, m.points[0], sizeof v->viewTarget);
    for (int i = 0; i < 3; ++i)
        v->viewDirection[i] = std::fabs(m.points[1][i]) < kDirectionEpsilon ? 0.0 : m.points[1][i];
    v->twist = m.reals[0];
    v->viewHeight = m.reals[1];
    v->viewCentre[0] = m.reals[2];
    v->viewCentre[1] = m.reals[3];
    v->lensLength = m.reals[4];
    v->frontClip = m.reals[5];
    v->backClip = m.reals[6];
    v->snapAngle = m.reals[7];
    v->snapBase[0] = m.reals[8];
    v->snapBase[1] = m.reals[9];
    v->snapSpacing[0] = m.reals[10];
    v->snapSpacing[1] = m.reals[11];
    v->gridSpacing[0] = m.reals[12];
    v->gridSpacing[1] = m.reals[13];
    v->circleZoom = m.words[kCircleZoom];
    std::int32_t flags = (m.words[kViewMode] & kViewModeBits) | ((m.words[kIcon] & 0x03) << kIconShift);
    if (m.words[kFastZoom]) flags |= kFastZoomBit;
    if (m.words[kSnap]) flags |= kSnapBit;
    if (m.words[kGrid]) flags |= kGridBit;
    if (m.words[kSnapStyle]) flags |= kIsometricBit;
    if (m.words[kHidePlot]) flags |= kHidePlotBit;
    if (m.words[kIsoPair] == 1) flags |= kIsoPairTop;
    if (m.words[kIsoPair] == 2) flags |= kIsoPairRight;
    v->statusFlags = (v->statusFlags & ~kConverted) | flags;
    v->frozenLayers = m.frozen;
    v->frozenLayerCount = m.frozenCount;
}

// Copies the extended data into a new store, all but the "ACAD" group
// whose first item is "MVIEW", which fills m instead. 1 with the group
// read, 0 when the data has none, -1 when it lacks an item or the copy fails.
int split(AdStore* xdata, const AdHandle& acad, AdStore** rest, Mview* m) {
    AdStream* in = adStreamOpenRead(xdata);
    *rest = adStoreCreate(kXdataBlockSize);
    AdStream* out = *rest ? adStreamOpenWrite(*rest) : nullptr;
    bool found = false;
    bool ok = in && out;
    bool inAcad = false;
    AdXdataItem item;
    while (ok && adXdataReadItem(in, &item)) {
        if (item.code == 1001) inAcad = adHandleCompare(&item.value.handle, &acad) == 0;
        if (inAcad && !found && item.code == 1000 && std::strcmp(item.value.text, "MVIEW") == 0) {
            found = true;
            ok = readGroup(in, m);
            continue;
        }
        if (!inAcad || item.code != 1001) ok = adXdataWriteItem(out, &item);
    }
    if (out) adStreamCloseWrite(out);
    if (in) adStreamCloseRead(in);
    if (!ok) return -1;
    return found ? 1 : 0;
}

// The paper-space viewport list record of the viewport; null when it has none.
AdListRecord* viewportRecord(AdDrawing* drawing, const AdHandle& handle) {
    AdRecordList* list = drawing->vportEntities;
    AdListRecord* record = adListFirst(list);
    for (std::int32_t i = adListCount(list); record && i > 0; --i, record = record->next) {
        AdVportEntityHeader viewport;
        std::memcpy(&viewport, adListRecordData(record), sizeof viewport);
        if (adHandleCompare(&viewport.entityHandle, &handle) == 0) return record;
    }
    return nullptr;
}

// Storing the viewport back makes its list record anew; what its
// viewport-entity header gave that record is carried over.
constexpr std::size_t kHeaderPart = offsetof(AdVportEntityHeader, entityIndex);

int update(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data) {
    std::uint8_t headerPart[kHeaderPart];
    AdListRecord* before = viewportRecord(drawing, header->handle);
    if (before) std::memcpy(headerPart, adListRecordData(before), kHeaderPart);
    if (!adEntityUpdate(drawing, list, &header->handle, header, data)) return 0;
    AdListRecord* after = before ? viewportRecord(drawing, header->handle) : nullptr;
    if (after) std::memcpy(adListRecordData(after), headerPart, kHeaderPart);
    return 1;
}

// 1 when the viewport was converted (or had nothing to convert).
int convert(AdDrawing* drawing, AdRecordList* list, const AdHandle& acad, AdEntityHeader* header, AdEntityData* data) {
    Mview m{};
    AdStore* rest = nullptr;
    const int group = split(header->xdata, acad, &rest, &m);
    if (group <= 0) {
        if (rest) adStoreFree(rest);
        if (m.frozen) adStoreFree(m.frozen);
        return group == 0;
    }
    AdStore* old = header->xdata;
    header->xdata = adStoreSize(rest) > 0 ? rest : nullptr;
    if (!header->xdata) adStoreFree(rest);
    AdStore* oldFrozen = data->viewport.frozenLayers;
    apply(m, &data->viewport);
    if (update(drawing, list, header, data)) return 1;
    if (header->xdata) adStoreFree(header->xdata);
    if (m.frozen) adStoreFree(m.frozen);
    header->xdata = old;
    data->viewport.frozenLayers = oldFrozen;
    return 0;
}

}  // namespace

int adConvertR12Viewports(AdDrawing* drawing) {
    AdHandle acad{};
    if (!drawing || !drawing->blocks || !adAppidHandleByName(drawing, "ACAD", &acad)) return 1;
    auto* header = static_cast<AdEntityHeader*>(HostAlloc(sizeof(AdEntityHeader)));
    auto* data = static_cast<AdEntityData*>(HostAlloc(sizeof(AdEntityData)));
    int ok = header && data;
    const std::int32_t blocks = adListCount(drawing->blocks);
    AdListRecord* node = adListFirst(drawing->blocks);
    for (std::int32_t b = 0; header && data && node && b < blocks; ++b, node = node->next) {
        AdStoredBlock block;
        std::memcpy(&block, adListRecordData(node), sizeof block);
        AdRecordList* list = block.header.entities;
        if (!list || !adEntityRewind(list)) continue;
        for (std::int32_t n = adListCount(list); n > 0 && adEntityNext(list, header, data); --n) {
            // A viewport that cannot be converted keeps its extended data;
            // the others are still converted.
            if (header->type == AD_ENTITY_VIEWPORT && header->xdata && !convert(drawing, list, acad, header, data))
                ok = 0;
        }
    }
    HostFree(header);
    HostFree(data);
    return ok;
}
