// Each corpus DWG with a DXF twin holds what ezdxf reads from the twin: the
// count of each entity type in each space and block, the sample geometry
// and the layer names.
#include "corpus_summary.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

class CorpusDwgTwinsTest : public CorpusTest {};

TEST_F(CorpusDwgTwinsTest, MatchWhatEzdxfReadsFromTheTwin) {
    const std::string skip = ezdxfSkipReason();
    if (!skip.empty()) GTEST_SKIP() << skip;
    const std::vector<std::string> twins = twinStems();
    if (twins.empty()) GTEST_SKIP() << "no DWG with a DXF twin in " << corpusFolder("dwg");
    const auto& oracle = ezdxfSummaries();
    for (const std::string& stem : twins) {
        const auto found = oracle.find(stem);
        if (found == oracle.end() || found->second.empty() || found->second[0][0] == "REFUSED") {
            ADD_FAILURE() << stem << ".dxf: ezdxf does not read the twin";
            continue;
        }
        LoadedDrawing drawing(corpusFolder("dwg") / (stem + ".dwg"));
        if (!drawing.get()) {
            ADD_FAILURE() << stem << ".dwg does not load: error " << drawing.error();
            continue;
        }
        for (const std::string& difference : summaryDifferences(
                 found->second, drawingSummary(drawing.get()), kSummaryCounts | kSummaryGeometry | kSummaryLayers))
            if (const char* reason = twinFileDifference(stem, difference))
                std::cout << stem << ": " << difference << " (" << reason << ")\n";
            else
                ADD_FAILURE() << stem << ": " << difference;
    }
}

}  // namespace
