// The fixed header block of AC1002..AC1009 files: where each header variable
// lies, in what form, and the first version that stores it. The reader takes
// the variables from there and the writer puts them there.
#pragma once
#include "toolkit/ad_internal.h"

#include <cstddef>
#include <cstdint>

enum AdR12HeaderKind : std::uint8_t {
    AD_R12_HV_SHORT,       // int16 of an int16 field
    AD_R12_HV_BYTE,        // byte of a byte field
    AD_R12_HV_BYTE_SHORT,  // byte of an int16 field
    AD_R12_HV_DOUBLES,     // count doubles
    AD_R12_HV_TEXT,        // a text of count bytes, cut at its first NUL and at the field
    AD_R12_HV_DATE,        // day and milliseconds, two int32
    AD_R12_HV_INDEX,       // int16 table index (field: its AdHeaderIndexSlot)
};

struct AdR12HeaderRow {
    std::int16_t offset;
    AdR12HeaderKind kind;
    std::int16_t count;
    std::size_t field;  // offset in AdHeaderVars, or the index slot
    std::size_t size;
    std::int16_t from;  // version index
};
struct AdR12HeaderRows {
    const AdR12HeaderRow* rows;
    std::size_t count;
};
AdR12HeaderRows adR12HeaderRows();
// Bytes the row takes in the header block.
std::int32_t adR12HeaderRowWidth(const AdR12HeaderRow& row);

// The variables that the rows leave out: their presence hangs on the format
// word or their form is their own.
constexpr std::int32_t AD_R12_HEADER_USER_VALUES = 879;  // USERI1..5, then USERR1..5
constexpr std::int32_t AD_R12_HEADER_MENU_FIRST = 404;
constexpr std::int32_t AD_R12_HEADER_MENU_REST = 508;
constexpr std::int32_t AD_R12_HEADER_MENU_FIRST_WIDTH = 15;
constexpr std::int32_t AD_R12_HEADER_MENU_REST_WIDTH = 45;
constexpr std::int32_t AD_R12_HEADER_MIRRTEXT = 1005;
constexpr std::int32_t AD_R12_HEADER_HANDSEED = 1262;
constexpr std::int32_t AD_R12_HEADER_WORLDVIEW = 1308;
constexpr std::int32_t AD_R12_HEADER_VISRETAIN = 1723;
