// Every corpus DXF that loads holds, per space and block, as many entities
// of each type as ezdxf reads from the same file.
#include "corpus_summary.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

class CorpusDxfOracleTest : public CorpusTest {};

TEST_F(CorpusDxfOracleTest, EntityCountsMatchEzdxf) {
    const std::string skip = ezdxfSkipReason();
    if (!skip.empty()) GTEST_SKIP() << skip;
    const auto& oracle = ezdxfSummaries();
    int compared = 0;
    for (const std::string& stem : corpusStems("dxf")) {
        LoadedDrawing drawing(corpusFolder("dxf") / (stem + ".dxf"));
        if (!drawing.get()) continue;
        const auto found = oracle.find(stem);
        if (found == oracle.end() || found->second.empty() || found->second[0][0] == "REFUSED") {
            std::cout << "not compared: ezdxf does not read " << stem << "\n";
            continue;
        }
        for (const std::string& difference :
             summaryDifferences(found->second, drawingSummary(drawing.get()), kSummaryCounts))
            ADD_FAILURE() << stem << ": " << difference;
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

}  // namespace
