// The common part of an entity record of fixed-record DWG files (AC1002 to
// AC1009), as the reader takes it apart and the writer assembles it.
#pragma once
#include "toolkit/ad.h"

#include <cstdint>

// Flags of the common part: which optional fields follow.
constexpr std::uint8_t AD_R12_ENTITY_COLOUR = 0x01;
constexpr std::uint8_t AD_R12_ENTITY_LINETYPE = 0x02;
// The elevation; from AC1006, for the types that carry their own z, that the
// points carry none.
constexpr std::uint8_t AD_R12_ENTITY_ELEVATION = 0x04;
constexpr std::uint8_t AD_R12_ENTITY_THICKNESS = 0x08;
constexpr std::uint8_t AD_R12_ENTITY_HANDLE = 0x20;
constexpr std::uint8_t AD_R12_ENTITY_EXTRAS = 0x40;
constexpr std::uint8_t AD_R12_ENTITY_ATTRIBUTES_FOLLOW = 0x80;  // of an INSERT
// Extra flags (AC1009).
constexpr std::uint8_t AD_R12_EXTRAS_XDATA = 0x02;
constexpr std::uint8_t AD_R12_EXTRAS_PAPER = 0x04;
// The VERTEX option of AC1009 that marks a polyface face record.
constexpr std::uint16_t AD_R12_VERTEX_FACE_RECORD = 0x4000;
// Files before AC1009 keep the linetype in a byte; this one is BYBLOCK.
constexpr std::uint8_t AD_R12_BYBLOCK_LINETYPE_BYTE = 255;

// From AC1006 these types give their own z in place of the elevation.
inline bool adR12OwnsZ(std::uint16_t type) {
    return type == AD_ENTITY_LINE || type == AD_ENTITY_POINT || type == AD_ENTITY_3DLINE || type == AD_ENTITY_3DFACE;
}
