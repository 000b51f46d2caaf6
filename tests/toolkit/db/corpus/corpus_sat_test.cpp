// The SAT text of every 3D solid, region and body of the corpus drawings
// that load opens with the SAT header line: the version number, the record
// count, the body count and the history flag, all integers.
#include "corpus_summary.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

class CorpusSatTest : public CorpusTest {};

// The first line of a store, at most 256 bytes of it.
std::string firstLine(AdStore* store) {
    std::string line;
    AdStream* stream = store ? adStreamOpenRead(store) : nullptr;
    if (!stream) return line;
    std::uint8_t byte = 0;
    for (std::int32_t n = std::min<std::int32_t>(adStoreSize(store), 256); n > 0 && adStreamReadByte(stream, &byte);
         --n) {
        if (byte == '\n' || byte == '\r') break;
        line.push_back(static_cast<char>(byte));
    }
    adStreamCloseRead(stream);
    return line;
}

// The words of a SAT text. The twins' writers differ in trailing blanks and
// in how many digits a number gets, so numbers are compared by value
// (relative 1e-12); everything else must match exactly.
std::vector<std::string> satWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

bool sameWord(const std::string& a, const std::string& b) {
    if (a == b) return true;
    char* endA = nullptr;
    char* endB = nullptr;
    const double x = std::strtod(a.c_str(), &endA);
    const double y = std::strtod(b.c_str(), &endB);
    if (*endA != '\0' || *endB != '\0' || a.empty() || b.empty()) return false;
    return std::fabs(x - y) <= 1e-12 * std::max({1.0, std::fabs(x), std::fabs(y)});
}

// The first word where the texts differ, or empty when they agree.
std::string firstDifference(const std::string& expected, const std::string& got) {
    const std::vector<std::string> a = satWords(expected);
    const std::vector<std::string> b = satWords(got);
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (!sameWord(a[i], b[i])) return "word " + std::to_string(i) + ": \"" + a[i] + "\" against \"" + b[i] + "\"";
    if (a.size() != b.size()) return std::to_string(a.size()) + " words against " + std::to_string(b.size());
    return {};
}

bool isSatHeader(const std::string& line) {
    std::istringstream fields(line);
    std::string field;
    int count = 0;
    while (fields >> field) {
        for (char c : field)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        ++count;
    }
    return count >= 3 && std::stoi(line) >= 100;
}

TEST_F(CorpusSatTest, SatTextStartsWithItsHeaderLine) {
    const int solids = walkCorpusSolids([](const std::string& stem, const char* kind, const std::string& container,
                                           const AdEntityHeader& header, const AdEntityData& data) {
        const std::string line = firstLine(data.sat.satText);
        EXPECT_TRUE(isSatHeader(line)) << stem << "." << kind << " " << container << " entity type " << header.type
                                       << ": \"" << line << "\"";
    });
    if (!solids) GTEST_SKIP() << "no corpus drawing with a 3D solid, region or body loads";
}

// Twins whose SAT data the two files hold in different modeller forms (sense
// words against numbers, another product line, no end marker in the DWG).
const char* const kSatFormsDiffer[] = {"ac1014_example", "ac1015_example", "ac1015_ts1_sampler"};

bool satFormsDiffer(const std::string& stem) {
    return std::find(std::begin(kSatFormsDiffer), std::end(kSatFormsDiffer), stem) != std::end(kSatFormsDiffer);
}

// A DXF file and its DWG twin hold the same SAT text, whatever escapes the
// DXF writer put into it.
TEST_F(CorpusSatTest, DxfAndDwgTwinsHoldTheSameSatText) {
    int compared = 0;
    for (const std::string& stem : twinStems()) {
        LoadedDrawing dwg(corpusFolder("dwg") / (stem + ".dwg"));
        LoadedDrawing dxf(corpusFolder("dxf") / (stem + ".dxf"));
        if (satFormsDiffer(stem) || !dwg.get() || !dxf.get()) continue;
        const auto fromDwg = satTexts(dwg.get());
        const auto fromDxf = satTexts(dxf.get());
        for (const auto& [handle, text] : fromDwg) {
            const auto twin = fromDxf.find(handle);
            if (twin == fromDxf.end()) continue;
            ++compared;
            EXPECT_EQ(firstDifference(text, twin->second), "") << stem << " solid " << std::hex << handle;
        }
    }
    if (!compared) GTEST_SKIP() << "no corpus twins with solids that both load";
}

}  // namespace
