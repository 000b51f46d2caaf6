// The fixed-header DWG files of the corpus, and their bytes changed in place
// with the header CRC stamped again, for the tests of the damage they cause.
#pragma once
#include "toolkit/db/dwg/dwg_corpus.h"
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Every AC1002 to AC1009 file, sorted; empty when the data is absent.
inline std::vector<std::filesystem::path> fixedHeaderCorpus() {
    std::vector<std::filesystem::path> files;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(dwgCorpusDir(), ignored)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".dwg" && name.size() > 7 && name.rfind("ac100", 0) == 0 && name[5] >= '2' &&
            name[5] <= '9')
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// "ac1009_blank.dwg" -> "AC1009".
inline std::string versionOf(const std::filesystem::path& path) {
    std::string version = path.filename().string().substr(0, 6);
    for (char& c : version) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return version;
}

inline bool readCorpusFile(const std::string& name, std::string* bytes) {
    *bytes = fileBytes(dwgCorpusDir() / name);
    return !bytes->empty();
}

inline void put16(std::string& bytes, std::size_t at, std::int32_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

inline void put32(std::string& bytes, std::size_t at, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::int32_t get16(const std::string& bytes, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                     (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

inline std::int32_t get32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i > 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i - 1]);
    return static_cast<std::int32_t>(value);
}

inline std::int32_t headerLength(const std::string& bytes) { return get32(bytes, 20); }

// Where record index of the table whose descriptor stands at descriptor lies.
inline std::size_t recordAt(const std::string& bytes, std::size_t descriptor, std::int32_t index) {
    return static_cast<std::size_t>(get32(bytes, descriptor + 6) + index * get16(bytes, descriptor));
}

// The header's CRC stands 18 bytes before its end and covers what precedes it.
inline void restampHeader(std::string& bytes) { adCrcStamp(bytes.data(), headerLength(bytes) - 16, 0x6718); }
