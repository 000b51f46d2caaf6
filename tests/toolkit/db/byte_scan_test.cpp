// The word-at-a-time line scans against a byte-by-byte reading: the stop byte
// at every place in and around a word, with stop bytes and near misses
// before and after it, so that a wrong lane or a borrow between bytes shows.
#include "toolkit/db/byte_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::size_t lineEndByBytes(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] != '\r' && s[i] != '\n') ++i;
    return i;
}

std::size_t controlByBytes(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) >= 0x20 || s[i] == '\t')) ++i;
    return i;
}

TEST(ByteScan, AgreesWithAByteByByteReading) {
    // Bytes next to the ones looked for, that a faulty mask would take: 0x0B
    // and 0x0C beside CR and LF, 0x1F and 0x20 at the control bound, 0x80 and
    // 0xFF with their high bits set, and tabs that do not stop a line.
    const std::string fillers[] = {"a", "\x0b", "\x0c", "\x1f\x20", "\x80\xff", "\t"};
    const char stops[] = {'\r', '\n', '\0', '\x01', '\x1f'};
    for (const std::string& filler : fillers) {
        for (char stop : stops) {
            for (std::size_t at = 0; at < 20; ++at) {
                for (std::size_t tail = 0; tail < 10; ++tail) {
                    std::string s;
                    while (s.size() < at) s += filler;
                    s.resize(at);
                    s += stop;
                    s += std::string(tail, filler[0]);
                    s += "\r\n";
                    const auto* bytes = reinterpret_cast<const std::uint8_t*>(s.data());
                    ASSERT_EQ(adFindLineEnd(bytes, s.size()), lineEndByBytes(s)) << at << ' ' << int(stop);
                    ASSERT_EQ(adFindControl(s.data(), s.size()), controlByBytes(s)) << at << ' ' << int(stop);
                    // Cut short: no stop byte in reach answers the length.
                    ASSERT_EQ(adFindLineEnd(bytes, at), lineEndByBytes(s.substr(0, at)));
                    ASSERT_EQ(adFindControl(s.data(), at), controlByBytes(s.substr(0, at)));
                }
            }
        }
    }
}

}  // namespace
