// Doubles as the drawing files store them: IEEE 754 binary64, least
// significant byte first, whatever the host's byte order.
#pragma once
#include <cstdint>

void adDoubleToBytes(double value, std::uint8_t bytes[8]);
// As stored, except that an exponent of all zeros (zero, denormals) or all ones
// (infinities, NaNs) gives 0.0: such values in a file are damage, and letting
// them into the database would poison every computation on the entity.
double adDoubleFromFileBytes(const std::uint8_t bytes[8]);
// The same rule on the double's bits.
double adDoubleFromFileBits(std::uint64_t bits);
