// The orders in which bit-coded DWG files store their header variables: rows
// of a value kind and the field it goes to, kept apart from the reader that
// walks them.
#pragma once
#include "toolkit/ad.h"

enum AdDwgVarKind : std::uint8_t {
    AD_DV_B,
    AD_DV_RC,
    AD_DV_BS,
    AD_DV_BL,
    AD_DV_BD,
    AD_DV_2RD,
    AD_DV_3BD,
    AD_DV_T,
    AD_DV_H,
    AD_DV_DROP_BIT,  // a bit read and dropped
    AD_DV_HANDSEED,  // H: $HANDSEED, also the drawing's seed
    AD_DV_FLAG_WORD, // BL: the line-weight and display switches of AC1015
    AD_DV_CEPSNID,   // H, only when $CEPSNTYPE is 3
};

// Where a row's field lies.
enum AdDwgVarPlace : std::uint8_t {
    AD_DV_IN_HEADER,
    AD_DV_IN_DRAWING,
    AD_DV_IN_DWG_FILE,
    AD_DV_NOWHERE,
};

struct AdDwgVarRow {
    std::uint8_t kind;
    std::uint8_t place;
    std::uint32_t offset;
    std::uint32_t size;  // of the field: the integer width, the text capacity
};

struct AdDwgVarSpan {
    const AdDwgVarRow* rows;
    std::int32_t count;
};

constexpr std::int32_t AD_DWG_ORDER_SPANS = 13;

// A header order: spans read one after the other; unused spans are empty.
struct AdDwgVarOrder {
    AdDwgVarSpan spans[AD_DWG_ORDER_SPANS];
};

extern const AdDwgVarOrder adDwgHeaderOrderAc1012;
extern const AdDwgVarOrder adDwgHeaderOrderAc1015;
