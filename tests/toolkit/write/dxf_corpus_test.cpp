// Every drawing of the corpus saved as DXF of both layouts and read back:
// the same tables, the same entities per container and the same sample
// geometry as the source, after what the target version cannot hold.
#include "save_expectations.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/write/writer.h"
#include "toolkit/ad_internal.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>

namespace {
struct Source {
    const char* kind;
    std::string stem;
};

class DxfCorpus : public CorpusTest {};

TEST_F(DxfCorpus, EverySavedDrawingReadsBackAlike) {
    std::vector<Source> sources;
    for (const std::string& stem : corpusStems("dxf")) sources.push_back({"dxf", stem});
    for (const std::string& stem : corpusStems("dwg")) sources.push_back({"dwg", stem});
    if (sources.empty()) GTEST_SKIP() << "no corpus drawings under " << corpusFolder("dxf").parent_path();
    TempDir dir;
    int saved = 0;
    for (const Source& source : sources) {
        const auto path = corpusFolder(source.kind) / (source.stem + "." + source.kind);
        LoadedDrawing drawing(path);
        if (!drawing.get()) continue;  // files our reader refuses are not the writer's
        const Summary summary = readBack(drawing.get());
        const std::int16_t own = adDrawingVersion(drawing.get());
        // Every drawing as AC1009, AC1012, AC1014 and AC1015, ASCII and
        // binary; the drawings of the older versions also as each older
        // version they can hold.
        std::vector<std::pair<std::int16_t, std::uint8_t>> targets;
        for (std::int16_t v = AD_VERSION_AC1009; v <= AD_VERSION_AC1015; ++v)
            targets.insert(targets.end(), {{v, AD_FORMAT_DXF_ASCII}, {v, AD_FORMAT_DXF_BINARY}});
        for (std::int16_t v = 0; v < 4 && own <= 4; ++v)
            if (v >= own - 1 || v == 0) targets.push_back({v, 1});
        for (const auto& [version, format] : targets) {
            const std::string label = source.stem + "." + source.kind + " as " + adVersionString(version) +
                                      (format == 2 ? " binary" : "");
            const std::string out = (dir.path() / "out.dxf").string();
            ASSERT_EQ(adSaveDrawing(drawing.get(), out.c_str(), format, version, 1, 16, 0, 1), 1)
                << label << ": error " << adGlobals->errorCode;
            LoadedDrawing back(out);
            ASSERT_NE(back.get(), nullptr) << label << ": our reader refuses it, error " << back.error();
            const Summary expected = expectedAt(drawing.get(), summary, version, format);
            const auto differences = summaryDifferences(normalised(expected), normalised(readBack(back.get(), &expected)),
                                                        kSummaryCounts | kSummaryGeometry | kSummaryTables);
            for (std::size_t i = 0; i < differences.size() && i < 8; ++i) ADD_FAILURE() << label << ": " << differences[i];
            ++saved;
        }
    }
    EXPECT_GT(saved, 0);
}
}  // namespace
