// Before AC1015 a viewport's view settings travel as the "ACAD" application's
// "MVIEW" extended data, in front of the viewport's own.
#include "toolkit/write/writer.h"

#include <cstring>
#include <initializer_list>

namespace {
constexpr std::int16_t kBlockSize = 4096;
constexpr std::int16_t kMviewVersion = 16;

struct ItemWriter {
    AdStream* stream;
    bool ok = true;

    void put(AdXdataItem& item) {
        if (ok) ok = adXdataWriteItem(stream, &item) != 0;
    }
    void text(std::int16_t code, const char* value) {
        AdXdataItem item{};
        item.code = code;
        std::strncpy(item.value.text, value, sizeof item.value.text - 1);
        put(item);
    }
    void word(std::int16_t value) {
        AdXdataItem item{};
        item.code = 1070;
        item.value.int16 = value;
        put(item);
    }
    void real(double value) {
        AdXdataItem item{};
        item.code = 1040;
        item.value.real = value;
        put(item);
    }
    void point(const double value[3]) {
        AdXdataItem item{};
        item.code = 1010;
        std::memcpy(item.value.point, value, sizeof item.value.point);
        put(item);
    }
    void handle(std::int16_t code, const AdHandle& value) {
        AdXdataItem item{};
        item.code = code;
        item.value.handle = value;
        put(item);
    }
};

std::int16_t bit(std::int32_t flags, int position) { return static_cast<std::int16_t>((flags >> position) & 1); }
}  // namespace

int adMviewXdataItems(AdDrawing* drawing, const AdViewportData* viewport, AdStream* stream) {
    ItemWriter w{stream};
    AdHandle acad{};
    adAppidHandleByName(drawing, "ACAD", &acad);
    const std::int32_t flags = viewport->statusFlags;
    w.handle(1001, acad);
    w.text(1000, "MVIEW");
    w.text(1002, "{");
    w.word(kMviewVersion);
    w.point(viewport->viewTarget);
    w.point(viewport->viewDirection);
    for (double value : {viewport->twist, viewport->viewHeight, viewport->viewCentre[0], viewport->viewCentre[1],
                         viewport->lensLength, viewport->frontClip, viewport->backClip})
        w.real(value);
    w.word(static_cast<std::int16_t>(flags & 0x1F));
    w.word(viewport->circleZoom);
    w.word(bit(flags, 7));
    w.word(bit(flags, 5));
    w.word(bit(flags, 8));
    w.word(bit(flags, 9));
    w.word(bit(flags, 10));
    w.word(static_cast<std::int16_t>(bit(flags, 12) | bit(flags, 13)));
    for (double value : {viewport->snapAngle, viewport->snapBase[0], viewport->snapBase[1], viewport->snapSpacing[0],
                         viewport->snapSpacing[1], viewport->gridSpacing[0], viewport->gridSpacing[1]})
        w.real(value);
    w.word(bit(flags, 11));
    w.text(1002, "{");
    if (viewport->frozenLayers && w.ok) {
        AdStream* layers = adStreamOpenRead(viewport->frozenLayers);
        if (!layers) return 0;
        AdHandle layer{};
        for (std::int32_t i = 0; w.ok && i < viewport->frozenLayerCount && adStreamReadHandle(layers, &layer); ++i)
            w.handle(1003, layer);
        adStreamCloseRead(layers);
    }
    w.text(1002, "}");
    w.text(1002, "}");
    return w.ok;
}

int adDwgBuildMviewXdata(AdDrawing* drawing, AdOutputDrawing* output, AdEntityHeader* header,
                         const AdViewportData* viewport, AdStore** saved) {
    *saved = header->xdata;
    if (header->type != AD_ENTITY_VIEWPORT || output->version < AD_VERSION_AC1009 || output->version > AD_VERSION_AC1014) return 1;
    AdStore* built = adStoreCreate(kBlockSize);
    AdStream* stream = built ? adStreamOpenWrite(built) : nullptr;
    bool ok = stream && adMviewXdataItems(drawing, viewport, stream);
    if (ok && header->xdata) {
        AdStream* own = adStreamOpenRead(header->xdata);
        AdXdataItem item{};
        ok = own != nullptr;
        while (ok && adXdataReadItem(own, &item)) ok = adXdataWriteItem(stream, &item) != 0;
        if (own) adStreamCloseRead(own);
    }
    if (stream && !adStreamCloseWrite(stream)) ok = false;
    if (!ok) {
        if (built) adStoreFree(built);
        adNoMemory(AD_ERR_SAVE_WORK_AREA);
        return 0;
    }
    header->xdata = built;
    return 1;
}

void adDwgRestoreMviewXdata(AdEntityHeader* header, AdStore* saved) {
    if (header->xdata == saved) return;
    adStoreFree(header->xdata);
    header->xdata = saved;
}
