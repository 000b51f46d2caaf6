// The framing of a bit-coded DWG file checked byte by byte, with its own
// CRC so that a fault shared with the writer's cannot hide.
#include "dwg_structure.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

namespace {
const std::uint8_t kHeaderStart[16] = {0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                       0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};
const std::uint8_t kHeaderEnd[16] = {0x30, 0x84, 0xE0, 0xDC, 0x02, 0x21, 0xC7, 0x56,
                                     0xA0, 0x83, 0x97, 0x47, 0xB1, 0x92, 0xCC, 0xA0};
const std::uint8_t kClassesStart[16] = {0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                        0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};
const std::uint8_t kClassesEnd[16] = {0x72, 0x5E, 0x3B, 0x47, 0x3B, 0x56, 0x07, 0x3A,
                                      0x3F, 0x23, 0x0B, 0xA0, 0x18, 0x30, 0x49, 0x75};
const std::uint8_t kImageStart[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                      0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
const std::uint8_t kSecondStart[16] = {0xD4, 0x7B, 0x21, 0xCE, 0x28, 0x93, 0x9F, 0xBF,
                                       0x53, 0x24, 0x40, 0x09, 0x12, 0x3C, 0xAA, 0x01};

// CRC-16 with the polynomial 0xA001, bit by bit.
std::uint16_t crc16(std::uint16_t crc, const std::uint8_t* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= bytes[i];
        for (int b = 0; b < 8; ++b) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

struct Reader {
    const std::vector<std::uint8_t>& f;
    std::vector<std::string>& faults;
    bool has(std::int64_t at, std::int64_t n) const {
        return at >= 0 && n >= 0 && static_cast<std::uint64_t>(at + n) <= f.size();
    }
    std::uint32_t le32(std::int64_t at) const {
        return f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) | (static_cast<std::uint32_t>(f[at + 3]) << 24);
    }
    std::uint16_t le16(std::int64_t at) const { return static_cast<std::uint16_t>(f[at] | (f[at + 1] << 8)); }
    bool sentinel(std::int64_t at, const std::uint8_t* s, const char* what) {
        if (has(at, 16) && std::memcmp(&f[at], s, 16) == 0) return true;
        faults.push_back(std::string(what) + " sentinel missing at " + std::to_string(at));
        return false;
    }
    // Sentinel, int32 size, data, CRC (seed 0xC0C1), end sentinel.
    void framed(std::int64_t at, std::int64_t size, const std::uint8_t* start, const std::uint8_t* end,
                const char* what) {
        if (!sentinel(at, start, what) || !has(at + 16, 4)) return;
        const std::int64_t n = le32(at + 16);
        if (!has(at + 20, n + 18)) {
            faults.push_back(std::string(what) + " runs past the file");
            return;
        }
        if (crc16(0xC0C1, &f[at + 16], static_cast<std::size_t>(n + 4)) != le16(at + 20 + n))
            faults.push_back(std::string(what) + " CRC wrong");
        sentinel(at + 22 + n, end, what);
        if (size != n + 38) faults.push_back(std::string(what) + " locator size " + std::to_string(size));
    }
};

std::uint64_t modularUnsigned(const std::vector<std::uint8_t>& f, std::size_t& at, std::size_t end) {
    std::uint64_t value = 0;
    for (int shift = 0; at < end && shift < 64; shift += 7) {
        const std::uint8_t b = f[at++];
        value |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) break;
    }
    return value;
}

std::int64_t modularSigned(const std::vector<std::uint8_t>& f, std::size_t& at, std::size_t end) {
    std::int64_t value = 0;
    for (int shift = 0; at < end && shift < 63; shift += 7) {
        const std::uint8_t b = f[at++];
        if (b & 0x80) {
            value |= static_cast<std::int64_t>(b & 0x7F) << shift;
            continue;
        }
        value |= static_cast<std::int64_t>(b & 0x3F) << shift;
        return (b & 0x40) ? -value : value;
    }
    return value;
}

// A record at offset: modular-short size, data, CRC over both.
bool recordSound(const std::vector<std::uint8_t>& f, std::int64_t at) {
    if (at < 0 || static_cast<std::uint64_t>(at) + 2 > f.size()) return false;
    std::int64_t size = f[at] | (f[at + 1] << 8);
    std::int64_t head = 2;
    if (size & 0x8000) {
        if (static_cast<std::uint64_t>(at) + 4 > f.size()) return false;
        size = (size & 0x7FFF) | (static_cast<std::int64_t>(f[at + 2] | (f[at + 3] << 8)) << 15);
        head = 4;
    }
    if (static_cast<std::uint64_t>(at + head + size + 2) > f.size()) return false;
    const std::uint16_t stored = static_cast<std::uint16_t>(f[at + head + size] | (f[at + head + size + 1] << 8));
    return crc16(0xC0C1, &f[at], static_cast<std::size_t>(head + size)) == stored;
}
}  // namespace

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t decodeObjectMap(const std::vector<std::uint8_t>& f, std::size_t at, std::size_t mapEnd, DwgStructure* s) {
    const std::size_t start = at;
    std::uint64_t previousHandle = 0;
    while (at + 2 <= mapEnd) {
        const std::size_t sectionSize = (f[at] << 8) | f[at + 1];
        if (sectionSize == 2) return at + 4 - start;
        if (at + sectionSize + 2 > mapEnd || sectionSize < 2) {
            s->faults.push_back("object map section runs past the map");
            break;
        }
        const std::uint16_t stored = static_cast<std::uint16_t>((f[at + sectionSize] << 8) | f[at + sectionSize + 1]);
        if (crc16(0xC0C1, &f[at], sectionSize) != stored) s->faults.push_back("object map section CRC wrong");
        ++s->mapSections;
        std::size_t p = at + 2;
        const std::size_t end = at + sectionSize;
        std::uint64_t handle = 0;
        std::int64_t offset = 0;
        while (p < end) {
            handle += modularUnsigned(f, p, end);
            offset += modularSigned(f, p, end);
            if (handle <= previousHandle && !s->handles.empty())
                s->faults.push_back("object map handle " + std::to_string(handle) + " does not ascend");
            previousHandle = handle;
            s->handles.push_back(handle);
            s->offsets.push_back(static_cast<std::int32_t>(offset));
        }
        at += sectionSize + 2;
    }
    s->faults.push_back("object map without its closing section");
    return at - start;
}

DwgStructure checkDwgStructure(const std::vector<std::uint8_t>& f) {
    DwgStructure s;
    Reader r{f, s.faults};
    if (!r.has(0, 25)) {
        s.faults.push_back("no file header");
        return s;
    }
    const std::string version(f.begin(), f.begin() + 6);
    const int locators = static_cast<int>(r.le32(21));
    const int expected = version == "AC1012" ? 4 : version == "AC1014" ? 5 : version == "AC1015" ? 6 : -1;
    if (locators != expected) s.faults.push_back("locator count " + std::to_string(locators) + " for " + version);
    const std::int64_t crcAt = 25 + 9 * static_cast<std::int64_t>(locators);
    if (expected < 0 || !r.has(crcAt, 2)) return s;
    const std::uint16_t x = version == "AC1012" ? 0x8101 : version == "AC1014" ? 0x3CC4 : 0x8461;
    if ((crc16(0, f.data(), static_cast<std::size_t>(crcAt)) ^ x) != r.le16(crcAt))
        s.faults.push_back("file header CRC wrong");
    auto locator = [&](int i, std::int64_t* address, std::int64_t* size) {
        *address = r.le32(25 + 9 * i + 1);
        *size = r.le32(25 + 9 * i + 5);
        if (f[25 + 9 * i] != i) s.faults.push_back("locator " + std::to_string(i) + " misnumbered");
    };
    std::int64_t address = 0, size = 0;
    locator(0, &address, &size);
    r.framed(address, size, kHeaderStart, kHeaderEnd, "header section");
    locator(1, &address, &size);
    r.framed(address, size, kClassesStart, kClassesEnd, "CLASSES");
    std::int64_t fixedAddress = 0, fixedSize = 0;
    locator(3, &fixedAddress, &fixedSize);
    if (fixedSize != 53 || !r.has(fixedAddress, 53)) s.faults.push_back("53-byte section misplaced");
    else r.sentinel(fixedAddress + 53, kSecondStart, "second header");
    if (!r.has(13, 4) || !r.sentinel(r.le32(13), kImageStart, "image")) {}
    if (locators >= 5) {
        std::int64_t m = 0, n = 0;
        locator(4, &m, &n);
        if (n != 4 || !r.has(m, 4)) s.faults.push_back("measurement locator misplaced");
    }
    // The object map: sections of ascending handles, each offset a record.
    locator(2, &address, &size);
    if (!r.has(address, size)) {
        s.faults.push_back("object map outside the file");
        return s;
    }
    decodeObjectMap(f, static_cast<std::size_t>(address), static_cast<std::size_t>(address + size), &s);
    for (std::size_t i = 0; i < s.handles.size(); ++i)
        if (!recordSound(f, s.offsets[i]))
            s.faults.push_back("record of handle " + std::to_string(s.handles[i]) + " unsound at " +
                               std::to_string(s.offsets[i]));
    s.records = static_cast<std::int32_t>(s.handles.size());
    if (std::set<std::uint64_t>(s.handles.begin(), s.handles.end()).size() != s.handles.size())
        s.faults.push_back("a handle appears twice");
    return s;
}
