// A request as the display engine fills one: the SAT text read in chunks of
// a chosen size, every primitive recorded with its mode and vertices.
#pragma once
#include "sat_text_reader.h"

#include "toolkit/solids/vector.h"

#include <algorithm>
#include <string>
#include <vector>

struct RecordedPrimitive {
    std::int32_t mode = 0;
    std::vector<aPoint> vertices;
    bool ended = false;
};

class RecordingRequest : private SatTextReader {
public:
    explicit RecordingRequest(std::string sat, std::int32_t chunkSize = 512) : sat_(std::move(sat)) {
        text = sat_.data();
        size = sat_.size();
        chunk = static_cast<std::size_t>(chunkSize);
        request.read = &SatTextReader::read;
        request.begin = &begin;
        request.end = &end;
        request.vertex = &vertex;
        request.userData = static_cast<SatTextReader*>(this);
        request.segmentsPerSpan = 10;
        request.surfaceCurveCount = 4;
        request.toleranceHint = 0;
        request.nurbsCurveCount = 0;
    }

    std::int32_t render() { return adAcisRender(&request); }

    // Line segments drawn: vertex pairs of mode 1, consecutive vertices of mode 3.
    int segments() const {
        int n = 0;
        for (const auto& p : primitives) {
            const int v = static_cast<int>(p.vertices.size());
            n += p.mode == 1 ? v / 2 : std::max(0, v - 1);
        }
        return n;
    }
    int callbacks() const { return calls_; }

    AdAcisRequest request{};
    std::vector<RecordedPrimitive> primitives;

private:
    static RecordingRequest* of(void* user) { return static_cast<RecordingRequest*>(static_cast<SatTextReader*>(user)); }
    static void begin(std::int32_t mode, void* user) {
        auto* self = of(user);
        ++self->calls_;
        self->primitives.push_back({mode, {}, false});
    }
    static void end(void* user) {
        auto* self = of(user);
        ++self->calls_;
        if (!self->primitives.empty()) self->primitives.back().ended = true;
    }
    static void vertex(double x, double y, double z, void* user) {
        auto* self = of(user);
        ++self->calls_;
        if (!self->primitives.empty()) self->primitives.back().vertices.emplace_back(x, y, z);
    }

    std::string sat_;
    int calls_ = 0;
};
