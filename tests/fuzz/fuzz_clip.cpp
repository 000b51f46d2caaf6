// The polygon clipper over operands read from arbitrary bytes: small grid
// coordinates (which bring coincident edges, shared vertices and crossings
// through one point), raw doubles now and then (NaN, infinities, extremes),
// every operation, results that replace an operand, and allocations that fail.
#include "toolkit/db/host_fault.h"
#include "toolkit/display/clip/clip.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    bool empty() const { return at_ >= size_; }
    double coordinate() {
        const std::uint8_t b = byte();
        if (b != 0xFF) return static_cast<double>(b % 16) - 4 + (b >> 7) * 0.5;
        double raw = 0;
        for (int i = 0; i < 8; ++i) reinterpret_cast<std::uint8_t*>(&raw)[i] = byte();
        return raw;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void readOperand(Bytes& in, AdClipPolygon* p) {
    const int contours = in.byte() % 5;
    std::vector<std::int32_t> counts;
    for (int c = 0; c < contours; ++c) counts.push_back(in.byte() % 24);
    if (!adClipPolygonAlloc(p, contours, counts.data())) std::abort();
    for (int c = 0; c < contours; ++c) {
        AdClipPoint* points = adClipPolygonContourPoints(p, c);
        for (int v = 0; v < counts[c]; ++v) points[v] = {in.coordinate(), in.coordinate()};
    }
}

void checkResult(const AdClipPolygon* r) {
    for (std::int32_t i = 0; i < adClipPolygonContourCount(r); ++i)
        if (adClipPolygonContourSize(r, i) < 3 || (r->holeFlags[i] != 0 && r->holeFlags[i] != 1)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static AdGlobalState state;
    state = AdGlobalState{};
    adGlobals = &state;
    Bytes in(data, size);
    const std::uint8_t control = in.byte();
    const auto op = static_cast<AdClipOp>(control & 3);
    const int mode = (control >> 2) & 3;  // 0 fresh result, 1 into the subject, 2 into the clip, 3 strips
    const int failAfter = control >> 4 ? in.byte() : -1;
    AdClipPolygon subject{}, clip{};
    readOperand(in, &subject);
    readOperand(in, &clip);
    AdClipPolygon result{};
    AdTriStrips strips{};
    HostFailAllocationAfter(failAfter);
    int ok = 0;
    switch (mode) {
    case 0: ok = adClipBoolean(op, &subject, &clip, &result); break;
    case 1: ok = adClipBoolean(op, &subject, &clip, &subject); break;
    case 2: ok = adClipBoolean(op, &subject, &clip, &clip); break;
    default: ok = adClipBooleanStrips(op, &subject, &clip, &strips); break;
    }
    HostFailAllocationAfter(-1);
    if (!ok && state.errorCode != AD_ERR_CLIP_MEMORY) std::abort();
    if (ok) {
        checkResult(mode == 1 ? &subject : mode == 2 ? &clip : &result);
        for (std::int32_t i = 0; i < adTriStripsCount(&strips); ++i)
            if (adTriStripsSize(&strips, i) < 3) std::abort();
    }
    adClipPolygonFree(&result);
    adClipPolygonFree(&subject);
    adClipPolygonFree(&clip);
    adTriStripsFree(&strips);
    return 0;
}
