// The group codes of extended data and the kinds of their values.
#include "toolkit/db/xdata_kinds.h"

namespace {

struct XdataRange {
    std::int16_t from;
    std::int16_t to;
    AdXdataKind kind;
};

constexpr XdataRange kXdataRanges[] = {
    {1000, 1000, AdXdataKind::Text},   {1001, 1001, AdXdataKind::Handle}, {1002, 1002, AdXdataKind::Brace},
    {1003, 1003, AdXdataKind::Handle}, {1004, 1004, AdXdataKind::Binary}, {1005, 1005, AdXdataKind::Handle},
    {1010, 1013, AdXdataKind::Point},  {1040, 1042, AdXdataKind::Real},   {1070, 1070, AdXdataKind::Int16},
    {1071, 1071, AdXdataKind::Int32},
};

}  // namespace

AdXdataKind adXdataKind(std::int16_t code) {
    for (const XdataRange& r : kXdataRanges)
        if (code >= r.from && code <= r.to) return r.kind;
    return AdXdataKind::Refused;
}

std::int32_t adXdataFixedLength(AdXdataKind kind) {
    switch (kind) {
        case AdXdataKind::Brace: return 1;
        case AdXdataKind::Handle: return static_cast<std::int32_t>(sizeof(AdHandle));
        case AdXdataKind::Point: return 3 * static_cast<std::int32_t>(sizeof(double));
        case AdXdataKind::Real: return static_cast<std::int32_t>(sizeof(double));
        case AdXdataKind::Int16: return 2;
        case AdXdataKind::Int32: return 4;
        case AdXdataKind::Refused:
        case AdXdataKind::Text:
        case AdXdataKind::Binary: return 0;
    }
    return 0;
}
