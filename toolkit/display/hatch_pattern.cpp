// A HATCH entity's pattern lines out of its pattern store: per line the
// angle, base point, offset, dash count and dash lengths.
#include "toolkit/display/hatch.h"

namespace {

bool readLine(AdStream* in, AdHatchPatternLine* line) {
    bool ok = adStreamReadDouble(in, &line->angle) && adStreamReadDouble(in, &line->base[0]) &&
              adStreamReadDouble(in, &line->base[1]) && adStreamReadDouble(in, &line->offset[0]) &&
              adStreamReadDouble(in, &line->offset[1]) && adStreamReadShort(in, &line->dashCount);
    if (!ok || line->dashCount < 0 || line->dashCount > adStreamLength(in) / 8) return false;
    if (line->dashCount == 0) return true;
    line->dashes = static_cast<double*>(HostAlloc(sizeof(double) * static_cast<std::size_t>(line->dashCount)));
    if (!line->dashes) {
        adFatalError(AD_FATAL_NO_MEMORY);
        return false;
    }
    for (std::int16_t k = 0; k < line->dashCount && ok; ++k) ok = adStreamReadDouble(in, &line->dashes[k]);
    return ok;
}

}  // namespace

int adHatchPatternUnpack(const AdHatchData* hatch, AdHatchPattern* pattern) {
    *pattern = AdHatchPattern{nullptr, hatch->style, 0};
    const std::int16_t count = hatch->patternLineCount;
    if (count <= 0 || !hatch->patternLines) return 1;
    AdStream* in = adStreamOpenRead(hatch->patternLines);
    if (!in) return 0;
    // Each line takes at least 42 bytes.
    if (count > adStreamLength(in) / 42) {
        adStreamCloseRead(in);
        return 0;
    }
    pattern->lines = static_cast<AdHatchPatternLine*>(HostAlloc(sizeof(AdHatchPatternLine) * static_cast<std::size_t>(count)));
    if (!pattern->lines) {
        adStreamCloseRead(in);
        adFatalError(AD_FATAL_NO_MEMORY);
        return 0;
    }
    bool ok = true;
    for (std::int16_t i = 0; i < count && ok; ++i) {
        pattern->lines[i] = AdHatchPatternLine{};
        ok = readLine(in, &pattern->lines[i]);
        pattern->lineCount = static_cast<std::uint16_t>(i + 1);
    }
    adStreamCloseRead(in);
    if (ok) return 1;
    adHatchPatternFree(pattern);
    return 0;
}

void adHatchPatternFree(AdHatchPattern* pattern) {
    for (std::uint16_t i = 0; i < pattern->lineCount; ++i) HostFree(pattern->lines[i].dashes);
    HostFree(pattern->lines);
    *pattern = AdHatchPattern{nullptr, pattern->style, 0};
}
