// The initial view of a shown drawing: model space from its "*ACTIVE" VPORT
// record, paper space from the VIEWPORT entities of the layout (the sheet's
// own viewport first, then the model-space windows on it, at most 49).
#include "toolkit/display/boundary_outline.h"
#include "toolkit/display/view.h"

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr double kSmallComponent = 1e-13;
constexpr std::int32_t kViewportOff = 0x20000;
constexpr int kViewportListLimit = 48;

// What one viewport entry starts from.
struct ViewSource {
    double target[4] = {0.0, 0.0, 0.0, 1.0};
    double direction[4] = {0.0, 0.0, 1.0, 1.0};
    double centre[2] = {0.0, 0.0};
    double twist = 0.0;
    double height = 0.0;
    double aspect = -1.0;
    double lens = 50.0;
    std::int16_t mode = 0;
    double sheetCentre[3] = {0.0, 0.0, 0.0};
    double sheetHeight = 0.0;
    double sheetWidth = 0.0;
};

void copy3(const double* from, double* to) {
    for (int i = 0; i < 3; ++i) to[i] = from[i];
}

void cleanDirection(double direction[4]) {
    for (int i = 0; i < 3; ++i)
        if (std::fabs(direction[i]) < kSmallComponent) direction[i] = 0.0;
    if (direction[0] == 0.0 && direction[1] == 0.0 && direction[2] == 0.0) direction[2] = 1.0;
    direction[3] = 1.0;
}

// The first VPORT other than the last whose flag byte is 0 and whose name is
// exactly "*ACTIVE", or else the last one; used when its name is "*ACTIVE" in
// any case.
ViewSource activeVport(AdDrawing* drawing) {
    ViewSource source;
    AdVportRecord record{}, chosen{};
    bool any = false;
    adVportRewind(drawing);
    while (adVportNext(drawing, &record)) {
        chosen = record;
        any = true;
        if (record.flags == 0 && std::memcmp(record.name, "*ACTIVE", 8) == 0) break;
    }
    if (!any || adStrCompareNoCase(chosen.name, "*ACTIVE") != 0) return source;
    copy3(chosen.viewDirection, source.direction);
    copy3(chosen.viewTarget, source.target);
    source.centre[0] = chosen.viewCentre[0];
    source.centre[1] = chosen.viewCentre[1];
    source.twist = chosen.viewTwist;
    source.height = chosen.viewHeight;
    source.mode = chosen.viewMode;
    source.aspect = chosen.aspectRatio;
    source.lens = chosen.lensLength;
    return source;
}

ViewSource fromViewport(const AdViewportData& viewport) {
    ViewSource source;
    copy3(viewport.viewTarget, source.target);
    copy3(viewport.viewDirection, source.direction);
    source.twist = viewport.twist;
    source.height = viewport.viewHeight > 0.0 ? viewport.viewHeight : 1.0;
    source.centre[0] = viewport.viewCentre[0];
    source.centre[1] = viewport.viewCentre[1];
    source.lens = viewport.lensLength;
    source.mode = static_cast<std::int16_t>(viewport.statusFlags & 0x1F);
    copy3(viewport.centre, source.sheetCentre);
    source.sheetHeight = viewport.height;
    source.sheetWidth = viewport.width > 0.0 ? viewport.width : 1.0;
    return source;
}

// The sheet of a drawing without viewports: its extents, or 11 by 8.5.
ViewSource defaultSheet(const AdDrawing* drawing) {
    ViewSource source;
    const AdHeaderVars* header = drawing->header;
    double width = header ? header->extmax[0] - header->extmin[0] : 0.0;
    double height = header ? header->extmax[1] - header->extmin[1] : 0.0;
    double cx = header ? (header->extmax[0] + header->extmin[0]) / 2.0 : 0.0;
    double cy = header ? (header->extmax[1] + header->extmin[1]) / 2.0 : 0.0;
    if (!(width > 0.0 && width < 1e12) || !(height > 0.0 && height < 1e12)) {
        width = 11.0, height = 8.5, cx = 5.5, cy = 4.25;
    }
    source.height = height;
    source.sheetWidth = width;
    source.sheetHeight = height;
    source.centre[0] = cx;
    source.centre[1] = cy;
    source.sheetCentre[0] = cx;
    source.sheetCentre[1] = cy;
    return source;
}

struct Window {
    ViewSource source;
    std::vector<AdHandle> frozen;
    AdHandle clip{};  // the clip entity of a non-rectangular window
};

constexpr std::int32_t kClippedWindow = 0x10000;

void readFrozen(const AdViewportData& viewport, std::vector<AdHandle>& frozen) {
    if (!viewport.frozenLayers || viewport.frozenLayerCount <= 0) return;
    AdStream* stream = adStreamOpenRead(viewport.frozenLayers);
    if (!stream) return;
    AdHandle handle{};
    for (std::int32_t i = 0; i < viewport.frozenLayerCount && adStreamReadHandle(stream, &handle); ++i)
        frozen.push_back(handle);
    adStreamCloseRead(stream);
}

Window windowOf(const AdViewportData& viewport) {
    Window window{fromViewport(viewport), {}, {}};
    readFrozen(viewport, window.frozen);
    if (viewport.statusFlags & kClippedWindow) window.clip = viewport.clipBoundary;
    return window;
}

// Window i's outline, in sheet units, from its clip entity in the layout
// block's list; the window stays rectangular when there is none.
void clipOutline(AdDrawing* drawing, const AdHandle& block, const AdHandle& clip, AdViewportEntry& entry) {
    AdRecordList* list = adHandleLength(&clip) != 0 ? adBlockEntityList(drawing, &block) : nullptr;
    AdStore* store = list ? adClipEntityOutline(drawing, &clip, list) : nullptr;
    if (!store) return;
    const std::int32_t count = adStoreSize(store) / static_cast<std::int32_t>(2 * sizeof(double));
    auto* points = count >= 3 ? static_cast<AdClipPoint*>(HostAlloc(sizeof(AdClipPoint) * static_cast<std::size_t>(count))) : nullptr;
    AdStream* in = points ? adStreamOpenRead(store) : nullptr;
    std::int32_t read = 0;
    if (in) {
        while (read < count && adStreamReadDouble(in, &points[read].x) && adStreamReadDouble(in, &points[read].y)) ++read;
        adStreamCloseRead(in);
    }
    adStoreFree(store);
    if (read < 3) {
        if (points) HostFree(points);
        return;
    }
    if (entry.outline) HostFree(entry.outline);
    entry.outline = points;
    entry.outlineCount = read;
}

// The VIEWPORT entities of a layout block, the sheet's own (id 1) first.
bool windowsOfBlock(AdDrawing* drawing, const AdHandle& block, bool defaultBlock, std::vector<Window>& windows) {
    AdRecordList* list = adBlockEntityList(drawing, &block);
    if (!list) return false;
    AdEntityHeader* header = adDisplayGlobals->subHeader;
    AdEntityData* data = adDisplayGlobals->subData;
    const bool ac1015 = adDrawingVersion(drawing) >= 7;
    adEntityRewind(list);
    bool sheetSeen = false;
    std::int32_t guard = adListCount(list);
    while (guard-- > 0 && adEntityNext(list, header, data)) {
        if (header->type != AD_ENTITY_VIEWPORT) continue;
        const AdViewportData& viewport = data->viewport;
        const bool on = ac1015 ? (viewport.statusFlags & kViewportOff) == 0 : !defaultBlock || viewport.status != 0;
        if (!on) continue;
        // The sheet's own viewport goes first even when the block lists it
        // late; the windows after the 49th are left out.
        if (viewport.id == 1 && !sheetSeen) {
            sheetSeen = true;
            windows.insert(windows.begin(), windowOf(viewport));
            if (windows.size() > AD_VIEWPORT_LIMIT) windows.pop_back();
        } else if (windows.size() < AD_VIEWPORT_LIMIT) {
            windows.push_back(windowOf(viewport));
        }
    }
    return !windows.empty();
}

// The drawing's own viewport-entity list: the sheet's viewport, then every
// other one that is on, 48 entries at most.
bool windowsOfList(AdDrawing* drawing, std::vector<Window>& windows) {
    AdRecordList* list = drawing->vportEntities;
    if (!list || adListCount(list) == 0) return false;
    AdEntityHeader* header = adDisplayGlobals->subHeader;
    AdEntityData* data = adDisplayGlobals->subData;
    for (int pass = 0; pass < 2; ++pass) {
        adListRewind(list);
        AdVportEntityHeader record{};
        std::int32_t guard = adListCount(list);
        while (guard-- > 0 && adListReadNext(list, &record, sizeof record)) {
            if (!record.entityRecord || !adUnpackEntityRecord(record.entityRecord, header, data, nullptr, nullptr))
                return false;
            if (header->type != AD_ENTITY_VIEWPORT) continue;
            const AdViewportData& viewport = data->viewport;
            if (pass == 0 && viewport.id == 1) {
                windows.push_back(windowOf(viewport));
                break;
            }
            if (pass == 1 && viewport.id != 1 && viewport.status != 0 && windows.size() < kViewportListLimit)
                windows.push_back(windowOf(viewport));
        }
        // Without the sheet's own viewport the list cannot place windows.
        if (pass == 0 && windows.empty()) return false;
    }
    return true;
}

void clearLayerBits(AdDrawing* drawing) {
    std::vector<AdHandle> marked;
    AdLayerRecord layer{};
    adLayerRewind(drawing);
    while (adLayerNext(drawing, &layer))
        if (adLayerViewportBits(&layer) != 0) marked.push_back(layer.handle);
    for (const AdHandle& handle : marked) {
        if (!adLayerByHandle(drawing, &handle, &layer)) continue;
        adSetLayerViewportBits(&layer, 0);
        adLayerUpdate(drawing, &layer);
    }
}

void freezeInViewport(AdDrawing* drawing, const std::vector<AdHandle>& frozen, int entry) {
    AdLayerRecord layer{};
    for (const AdHandle& handle : frozen) {
        if (!adLayerByHandle(drawing, &handle, &layer)) continue;
        adSetLayerViewportBits(&layer, adLayerViewportBits(&layer) | (std::uint64_t{1} << entry));
        adLayerUpdate(drawing, &layer);
    }
}

void setEntry(AdDrawing* drawing, int i, const ViewSource& source, const std::int32_t rect[4], AdViewRecord* out) {
    AdDisplayState* state = drawing->display;
    AdViewportEntry& entry = state->viewports[i];
    for (int k = 0; k < 4; ++k) entry.target[k] = source.target[k], entry.direction[k] = source.direction[k];
    entry.target[3] = 1.0;
    cleanDirection(entry.direction);
    adUpVector(entry.direction, source.twist, entry.up);
    copy3(source.sheetCentre, entry.sheetCentre);
    entry.sheetHeight = source.sheetHeight;
    entry.sheetWidth = source.sheetWidth;
    entry.viewHeight = source.height;
    entry.lensLength = source.lens;
    entry.viewMode = source.mode;
    adViewOrientation(entry.target, entry.direction, entry.up, source.centre[0], source.centre[1],
                      &state->worldToView);
    adViewGroundPoint(state, entry.target);
    const double h = source.height;
    if (i == 0) {
        adMainDeviceRect(state, rect);
        const double a = adRectAspect(rect[0], rect[1], rect[2], rect[3]);
        const double pixel = adRenderValues.pixelAspect;
        if (source.aspect == -1.0 || !(source.aspect > a)) {
            out->height = h;
            out->width = h * a * pixel;
        } else {
            out->width = h * source.aspect * pixel;
            out->height = a != 0.0 ? h * source.aspect / a : h * source.aspect;
        }
    } else {
        adViewportDeviceRect(state, i);
    }
    const double* d = entry.deviceRect;
    AdMatrix4 toDevice;
    adViewToDeviceMatrix(d[0], d[1], d[2], d[3], h * adRectAspect(d[0], d[1], d[2], d[3]) * adRenderValues.pixelAspect,
                         h, &toDevice);
    adMatrixMultiply(&state->worldToView, &toDevice, &entry.full);
    if (i == 0) state->viewToDevice = toDevice;
    adVectorNormalize(entry.direction);
    adVectorNormalize(entry.up);
    entry.direction[3] = 0.0;
    entry.up[3] = 0.0;
}

}  // namespace

std::uint64_t adLayerViewportBits(const AdLayerRecord* layer) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, layer->spareSlot, sizeof bits);
    return bits;
}

void adSetLayerViewportBits(AdLayerRecord* layer, std::uint64_t bits) {
    std::memcpy(layer->spareSlot, &bits, sizeof bits);
}

namespace {

int setupView(AdDrawing* drawing, const std::int32_t rect[4], AdViewRecord* out, const std::uint8_t space[8]) {
    AdDisplayState* state = drawing->display;
    AdHandle defaultPaper{};
    adSpaceBlockHandle(drawing, &defaultPaper, AD_SPACE_PAPER);
    state->paperBlock = defaultPaper;
    clearLayerBits(drawing);

    std::vector<Window> windows;
    if (!state->paperSpace) {
        windows.push_back(Window{activeVport(drawing), {}, {}});
    } else {
        AdHandle block{};
        if (space) std::memcpy(&block, space, sizeof block);
        const bool defaultBlock = adHandleLength(&block) == 0;
        if (defaultBlock) block = defaultPaper;
        if (adHandleLength(&block) != 0 && windowsOfBlock(drawing, block, defaultBlock, windows))
            state->paperBlock = block;
        if (windows.empty() && !windowsOfList(drawing, windows)) windows.clear();
        if (windows.empty()) windows.push_back(Window{defaultSheet(drawing), {}, {}});
    }
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        freezeInViewport(drawing, windows[i].frozen, i);
        setEntry(drawing, i, windows[i].source, rect, out);
        if (i > 0) clipOutline(drawing, state->paperBlock, windows[i].clip, state->viewports[i]);
    }
    const AdViewportEntry& main = state->viewports[0];
    for (int k = 0; k < 4; ++k) {
        out->direction[k] = main.direction[k];
        out->target[k] = main.target[k];
        out->up[k] = main.up[k];
    }
    state->viewportCount = static_cast<std::int16_t>(count);
    if (state->paperSpace) state->layoutViewportCount = static_cast<std::int16_t>(count);
    return adPushClipRegions(state, nullptr, nullptr);
}

}  // namespace

int adSetupView(AdDrawing* drawing, const std::int32_t rect[4], AdViewRecord* out, const std::uint8_t space[8]) {
    try {
        return setupView(drawing, rect, out, space);
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_DISPLAY_STATE_MEMORY);
        return 0;
    }
}
