// Each corpus DWG with a DXF twin holds what ezdxf reads from the twin: the
// count of each entity type in each space and block, the sample geometry
// and the layer names; and the graphics its wipeouts are drawn from.
#include "corpus_summary.h"
#include "toolkit/ad.h"
#include "toolkit/db/bit_fixture.h"
#include "toolkit/db/store_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <iterator>
#include <map>

namespace {

class CorpusDwgTwinsTest : public CorpusTest {};

// The graphics of each WIPEOUT of the drawing, by handle.
std::map<std::uint64_t, std::vector<std::uint8_t>> wipeoutGraphics(AdDrawing* drawing) {
    std::map<std::uint64_t, std::vector<std::uint8_t>> out;
    walkEntities(drawing, [&](const std::string&, const AdEntityHeader& header, const AdEntityData& data) {
        if (adEntityKind(drawing, header.type) != AD_KIND_WIPEOUT) return;
        out[valueOf(header.handle)] = data.image.pixels ? ReadAll(data.image.pixels) : std::vector<std::uint8_t>{};
    });
    return out;
}

// The R14 sampler's DWG holds its wipeouts' R2000 graphics, the frame
// polyline alone; its DXF the R14 ones, a filled polygon and the frame.
const char* const kOwnWipeoutGraphics[] = {"ac1014_example"};

TEST_F(CorpusDwgTwinsTest, WipeoutsKeepTheGraphicsOfTheirTwins) {
    const std::vector<std::string> twins = twinStems();
    if (twins.empty()) GTEST_SKIP() << "no DWG with a DXF twin in " << corpusFolder("dwg");
    std::size_t compared = 0;
    for (const std::string& stem : twins) {
        LoadedDrawing dwg(corpusFolder("dwg") / (stem + ".dwg"));
        LoadedDrawing dxf(corpusFolder("dxf") / (stem + ".dxf"));
        if (!dwg.get() || !dxf.get()) continue;  // the twin comparison above reports it
        const auto ours = wipeoutGraphics(dwg.get());
        const auto theirs = wipeoutGraphics(dxf.get());
        const bool own = std::find(std::begin(kOwnWipeoutGraphics), std::end(kOwnWipeoutGraphics), stem) !=
                         std::end(kOwnWipeoutGraphics);
        if (!own) {
            EXPECT_EQ(ours, theirs) << stem;
        }
        EXPECT_EQ(ours.size(), theirs.size()) << stem;
        for (const auto& [handle, graphics] : ours) EXPECT_GT(graphics.size(), 8u) << stem << " " << std::hex << handle;
        compared += ours.size();
    }
    EXPECT_GT(compared, 0u) << "the samplers hold wipeouts";
}

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
