// REGION, 3DSOLID and BODY: the SAT text goes to the solid-model renderer,
// and the polylines it answers with are drawn segment by segment through the
// linetype, like the segments of every other entity.
#include "toolkit/display/handlers.h"

#include "toolkit/display/curves.h"
#include "toolkit/display/linetype.h"
#include "toolkit/display/sat_source.h"
#include "toolkit/solids/acis_request.h"

#include <vector>

namespace {

// One solid's reading and its primitive being collected.
struct BridgeState {
    const AdSolidDrawRecord* record;
    AdSatSource source;
    std::int32_t mode = 0;
    std::vector<double> vertices;  // x, y, z
};

std::int32_t readSat(void* buffer, std::int32_t size, void* user) {
    return adSatSourceRead(static_cast<BridgeState*>(user)->source, buffer, size);
}

void beginPrimitive(std::int32_t mode, void* user) {
    auto* state = static_cast<BridgeState*>(user);
    state->mode = mode;
    state->vertices.clear();
}

void addVertex(double x, double y, double z, void* user) {
    auto* state = static_cast<BridgeState*>(user);
    try {
        state->vertices.insert(state->vertices.end(), {x, y, z});
    } catch (const std::bad_alloc&) {
        // The vertex is dropped; those collected stay.
    }
}

void segment(const AdSolidDrawRecord* record, const double* a, const double* b) {
    double start[3] = {a[0], a[1], a[2]}, end[3] = {b[0], b[1], b[2]};
    adApplyLinetype(record->drawing, start, end, record->block, record->matrices, record->linetype,
                    record->linetypeDrawing, nullptr, record->curve, record->curveLength);
}

void endPrimitive(void* user) {
    auto* state = static_cast<BridgeState*>(user);
    adDrawSolidPrimitive(state->record, state->mode, state->vertices.data(),
                         static_cast<std::int32_t>(state->vertices.size() / 3));
    state->vertices.clear();
    state->mode = 0;
}

}  // namespace

// A line strip joins every vertex to the next; separate segments pair them
// up, and a last vertex without its pair is left out.
void adDrawSolidPrimitive(const AdSolidDrawRecord* record, std::int32_t mode, const double* v, std::int32_t count) {
    if (mode == 3) {
        for (std::int32_t i = 1; i < count; ++i) segment(record, v + 3 * (i - 1), v + 3 * i);
    } else if (mode == 1) {
        for (std::int32_t i = 1; i < count; i += 2) segment(record, v + 3 * (i - 1), v + 3 * i);
    }
}

std::int32_t adSolidBridge(AdSolidDrawRecord* record, std::int32_t*) {
    if (!record || !record->sat) return 0;
    AdStream* stream = adStreamOpenRead(record->sat);
    if (!stream) return 0;
    BridgeState state{record, {stream, adStreamLength(stream)}, 0, {}};
    AdAcisRequest request{readSat, beginPrimitive, endPrimitive, addVertex, &state, record->segmentsPerSpan, 4, 0, 0};
    const std::int32_t result = adAcisRender(&request);
    adStreamCloseRead(stream);
    return result;
}

void adDrawSolidEntity(AdDrawContext& entity) {
    if (!adRender->hooks.solidModel) return;
    AdDisplayState* state = entity.drawing->display;
    ++state->curveCounter;
    AdSolidDrawRecord record{entity.data->sat.satText, 0, entity.drawing, entity.block, entity.matrices,
                             entity.linetype, entity.linetypeDrawing, nullptr, state->curveCounter, 0, 0.0,
                             adCurveSetting(entity.header)};
    std::int32_t result = 0;
    adRender->hooks.solidModel(&record, &result);
}
