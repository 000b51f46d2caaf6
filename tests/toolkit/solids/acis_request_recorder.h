// A request as the display engine fills one: the SAT text read in chunks of
// a chosen size, every primitive recorded with its mode and vertices.
#pragma once
#include "toolkit/solids/acis_request.h"
#include "toolkit/solids/vector.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

struct RecordedPrimitive {
    std::int32_t mode = 0;
    std::vector<aPoint> vertices;
    bool ended = false;
};

class RecordingRequest {
public:
    explicit RecordingRequest(std::string text, std::int32_t chunk = 512) : text_(std::move(text)), chunk_(chunk) {
        request.read = &read;
        request.begin = &begin;
        request.end = &end;
        request.vertex = &vertex;
        request.userData = this;
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
    static std::int32_t read(void* buffer, std::int32_t size, void* user) {
        auto* self = static_cast<RecordingRequest*>(user);
        const std::size_t n = std::min<std::size_t>({static_cast<std::size_t>(size), static_cast<std::size_t>(self->chunk_),
                                                     self->text_.size() - self->position_});
        std::memcpy(buffer, self->text_.data() + self->position_, n);
        self->position_ += n;
        return static_cast<std::int32_t>(n);
    }
    static void begin(std::int32_t mode, void* user) {
        auto* self = static_cast<RecordingRequest*>(user);
        ++self->calls_;
        self->primitives.push_back({mode, {}, false});
    }
    static void end(void* user) {
        auto* self = static_cast<RecordingRequest*>(user);
        ++self->calls_;
        if (!self->primitives.empty()) self->primitives.back().ended = true;
    }
    static void vertex(double x, double y, double z, void* user) {
        auto* self = static_cast<RecordingRequest*>(user);
        ++self->calls_;
        if (!self->primitives.empty()) self->primitives.back().vertices.emplace_back(x, y, z);
    }

    std::string text_;
    std::int32_t chunk_;
    std::size_t position_ = 0;
    int calls_ = 0;
};
