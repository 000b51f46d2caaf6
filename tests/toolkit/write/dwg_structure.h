// A check of a bit-coded DWG file's framing written apart from our reader:
// locators, sentinels, section and record CRCs and the object map.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct DwgStructure {
    std::vector<std::string> faults;  // empty when the file is sound
    std::int32_t records = 0;         // entries of the object map
    std::vector<std::uint64_t> handles;
    std::vector<std::int32_t> offsets;
    std::int32_t mapSections = 0;
};

// The object map's sections from their first byte: handles and offsets
// into s, faults for sections that do not ascend or whose CRC is wrong.
// Answers the bytes the map took, its closing empty section included.
std::size_t decodeObjectMap(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t end, DwgStructure* s);
DwgStructure checkDwgStructure(const std::vector<std::uint8_t>& file);
std::vector<std::uint8_t> readFileBytes(const std::string& path);
