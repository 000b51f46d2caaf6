// The slot a group code's value takes, the same for ASCII and binary files.
#include "toolkit/db/dxf/dxf_reader.h"

#include <array>
#include <iterator>

namespace {
struct CodeRange {
    std::int16_t from;
    std::int16_t to;
    AdDxfValueClass valueClass;
};

// Binary files keep 310..319 as counted bytes like 1004; read as text, such
// a group would swallow the groups behind it.
constexpr CodeRange kRanges[] = {
    {5, 5, AdDxfValueClass::Handle},         {10, 59, AdDxfValueClass::Real},
    {60, 79, AdDxfValueClass::Int16},        {90, 99, AdDxfValueClass::Int32},
    {105, 105, AdDxfValueClass::Handle},     {110, 149, AdDxfValueClass::Real},
    {170, 179, AdDxfValueClass::Int16},      {210, 239, AdDxfValueClass::Real},
    {270, 299, AdDxfValueClass::Int16},      {310, 319, AdDxfValueClass::Binary},
    {320, 369, AdDxfValueClass::Handle},     {370, 389, AdDxfValueClass::Int16},
    {390, 399, AdDxfValueClass::Handle},     {400, 409, AdDxfValueClass::Int16},
    // Later releases write colours, transparency and the like with these
    // codes. Their values are not kept, but a binary file must take each
    // with its own width, or every group behind it is read out of step.
    {420, 429, AdDxfValueClass::Int32},      {440, 459, AdDxfValueClass::Int32},
    {460, 469, AdDxfValueClass::Real},       {480, 481, AdDxfValueClass::Handle},
    {1004, 1004, AdDxfValueClass::Chunk},    {1005, 1005, AdDxfValueClass::Handle},
    {1010, 1059, AdDxfValueClass::Real},     {1060, 1070, AdDxfValueClass::Int16},
    {1071, 1071, AdDxfValueClass::Int32},
};
// Every group of a file asks: the ranges are laid out once as a table.
constexpr std::int16_t kTableSize = 1072;
static_assert(std::size(kRanges) > 0 && kRanges[std::size(kRanges) - 1].to < kTableSize);

constexpr std::array<AdDxfValueClass, kTableSize> makeTable() {
    std::array<AdDxfValueClass, kTableSize> table{};
    table.fill(AdDxfValueClass::String);
    for (const CodeRange& r : kRanges)
        for (int code = r.from; code <= r.to; ++code) table[static_cast<std::size_t>(code)] = r.valueClass;
    return table;
}

constexpr std::array<AdDxfValueClass, kTableSize> kTable = makeTable();
}  // namespace

AdDxfValueClass adDxfValueClass(std::int16_t code) {
    if (code < 0 || code >= kTableSize) return AdDxfValueClass::String;
    return kTable[static_cast<std::size_t>(code)];
}
