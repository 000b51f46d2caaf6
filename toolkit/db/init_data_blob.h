// The init data compiled into the program; the source that defines it is
// generated at build time by initdata/make_init_data.py.
#pragma once

#include <cstdint>

extern const std::uint8_t adInitDataBytes[];
extern const std::uint32_t adInitDataLength;
