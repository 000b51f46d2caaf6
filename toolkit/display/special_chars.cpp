// The degree, plus-minus and diameter characters of a font's kind flags.
#include "toolkit/display/mtext.h"

std::uint16_t adDegreeCode(std::uint8_t fontFlags) {
    if (fontFlags & 0x40) return 126;
    if (fontFlags & 0x02) return 127;
    if (fontFlags & 0x01) return 248;
    if (fontFlags & 0x30) return 176;
    return 256;
}

std::uint16_t adPlusMinusCode(std::uint8_t fontFlags) {
    if (fontFlags & 0x80) return 177;
    if (fontFlags & 0x40) return 96;
    if (fontFlags & 0x02) return 128;
    if (fontFlags & 0x01) return 241;
    if (fontFlags & 0x30) return 177;
    return 257;
}

std::uint16_t adDiameterCode(std::uint8_t fontFlags) {
    if (fontFlags & 0x40) return 110;
    if (fontFlags & 0x02) return 129;
    if (fontFlags & 0x01) return 237;
    if (fontFlags & 0x20) return 216;
    if (fontFlags & 0x10) return 8709;
    return 258;
}
