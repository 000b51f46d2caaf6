// The SAT text of every 3D solid, region and body of the corpus drawings
// that load opens with the SAT header line: the version number, the record
// count, the body count and the history flag, all integers.
#include "corpus_summary.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>

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

}  // namespace
