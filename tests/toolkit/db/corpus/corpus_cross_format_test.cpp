// A corpus DWG and its DXF twin, each loaded by our own reader, give the
// same table names, entity counts per type and block, and sample geometry.
#include "corpus_summary.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

class CorpusCrossFormatTest : public CorpusTest {};

TEST_F(CorpusCrossFormatTest, DwgLoadsAsItsDxfTwin) {
    const std::vector<std::string> twins = twinStems();
    if (twins.empty()) GTEST_SKIP() << "no DWG with a DXF twin in " << corpusFolder("dwg");
    for (const std::string& stem : twins) {
        LoadedDrawing dxf(corpusFolder("dxf") / (stem + ".dxf"));
        LoadedDrawing dwg(corpusFolder("dwg") / (stem + ".dwg"));
        if (!dxf.get() || !dwg.get()) {
            ADD_FAILURE() << stem << " does not load: DXF error " << dxf.error() << ", DWG error " << dwg.error();
            continue;
        }
        for (const std::string& difference :
             summaryDifferences(drawingSummary(dxf.get()), drawingSummary(dwg.get()),
                                kSummaryCounts | kSummaryGeometry | kSummaryTables))
            if (const char* reason = twinFileDifference(stem, difference))
                std::cout << stem << ": " << difference << " (" << reason << ")\n";
            else
                ADD_FAILURE() << stem << ": " << difference;
    }
}

}  // namespace
