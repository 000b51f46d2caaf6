// Arbitrary bytes as a proxy-graphics stream: read record by record with
// every mesh and shell unpacked, then drawn through the display engine over
// a drawing with layers and linetypes for its table lookups.
#include "fuzz/fuzz_drawing.h"
#include "toolkit/display/display.h"
#include "toolkit/display/proxy.h"

#include <cstdlib>

namespace {

AdDrawing* shownDrawing() {
    static AdDrawing* drawing = [] {
        FuzzStartToolkit();
        AdDrawing* d = adOpenDrawing(VT_PROXY_TABLES_DXF, 1, 0);
        if (!d || !adInitRender()) std::abort();
        adSetDisplayCaching(0);
        const std::int32_t rect[4] = {0, 0, 640, 480};
        AdViewRecord view{};
        if (!adBeginDisplay(d, &view, rect, nullptr, nullptr)) std::abort();
        view = AdViewRecord{{0, 0, 1, 0}, {15, 15, 0, 1}, {0, 1, 0, 0}, 30, 30};
        adMakeViewTransform(d, &view, rect, nullptr);
        return d;
    }();
    return drawing;
}

void readAll(AdStore* store) {
    AdStream* stream = adStreamOpenRead(store);
    AdProxyRecord record;
    if (stream && adProxySkipPreamble(stream)) {
        while (adProxyReadRecord(stream, &record)) {
            if (record.type == 8) {
                AdProxyMesh mesh;
                if (adProxyReadMesh(stream, record.grid[0], record.grid[1], &mesh)) adProxyFreeMesh(&mesh);
            } else if (record.type == 9) {
                AdProxyShell shell;
                if (adProxyReadShell(stream, record.count, &shell)) adProxyFreeShell(&shell);
            }
            adProxyFreeRecord(&record);
            if (adStreamTell(stream) > record.end || !adStreamSeek(stream, record.end)) break;
        }
    }
    if (stream) adStreamCloseRead(stream);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AdDrawing* drawing = shownDrawing();
    adClearError();
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    if (!out) std::abort();
    adStreamWrite(out, data, static_cast<std::int32_t>(size));
    adStreamCloseWrite(out);
    readAll(store);
    AdMatrix4 matrices[AD_VIEWPORT_LIMIT];
    for (int v = 0; v < AD_VIEWPORT_LIMIT; ++v) matrices[v] = drawing->display->viewports[v].full;
    AdEntityHeader header{};
    header.type = AD_ENTITY_PROXY;
    header.extrusion[2] = 1.0;
    header.linetypeScale = 1.0;
    adDrawProxyGraphics(drawing, store, &adIdentityMatrix, matrices, &drawing->display->continuousRecord, drawing, 4,
                        2, &header);
    adStoreFree(store);
    return 0;
}
