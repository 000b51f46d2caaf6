// The record through which the display engine hands the solid-model bridge the
// SAT text of one 3D solid, region or body and takes its wireframe back.
// Kept apart from the bridge so that the toolkit's public header can carry it
// without pulling in the geometry library.
#pragma once

#include <cstdint>

// Every callback gets userData last. The display engine builds the record on
// its stack for one call of adAcisRender and owns everything it points to.
struct AdAcisRequest {
    std::int32_t (*read)(void* buffer, std::int32_t size, void* userData);  // bytes delivered, 0 = end
    void (*begin)(std::int32_t mode, void* userData);  // 1 vertex pairs, 3 one polyline
    void (*end)(void* userData);
    void (*vertex)(double x, double y, double z, void* userData);
    void* userData;
    std::int32_t segmentsPerSpan;
    std::int32_t surfaceCurveCount;
    std::int32_t toleranceHint;  // outside 1..10 it becomes 5
    std::int32_t nurbsCurveCount;
};

// Parses the SAT text the request delivers, draws every body through the
// request's callbacks and frees everything it built; always answers 0.
std::int32_t adAcisRender(AdAcisRequest* request);
