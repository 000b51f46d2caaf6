// Every drawing of the corpus saved as DWG of AC1002 to AC1009 and read back
// by our reader: the file passes the reader's full check of every record's
// check value, and reads back with the same tables, the same entities per
// container and the same sample geometry as the source, after what the
// target version cannot hold.
#include "save_expectations.h"
#include "toolkit/db/dwg/dwg_read.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/write/writer.h"
#include "toolkit/ad_internal.h"

#include <string>
#include <vector>

namespace {
class DwgR12Corpus : public CorpusTest {};

TEST_F(DwgR12Corpus, EverySavedDrawingReadsBackAlike) {
    const std::vector<std::string> dwgs = corpusStems("dwg");
    const std::vector<std::string> dxfs = corpusStems("dxf");
    if (dwgs.empty() && dxfs.empty()) GTEST_SKIP() << "no corpus drawings under " << corpusFolder("dwg").parent_path();
    TempDir dir;
    int saved = 0;
    auto check = [&](const char* kind, const std::string& stem) {
        LoadedDrawing drawing(corpusFolder(kind) / (stem + "." + kind));
        if (!drawing.get()) return;  // files our reader refuses are not the writer's
        const Summary summary = readBack(drawing.get());
        const std::int16_t own = adDrawingVersion(drawing.get());
        // Every drawing as AC1009; those of the older versions also as
        // their own version and each older one.
        std::vector<std::int16_t> targets = {AD_VERSION_AC1009};
        for (std::int16_t v = AD_VERSION_AC1002; v < AD_VERSION_AC1009 && own < AD_VERSION_AC1009; ++v)
            if (v <= own) targets.push_back(v);
        for (const std::int16_t version : targets) {
            const std::string label = stem + "." + kind + " as " + adVersionString(version);
            const std::string out = (dir.path() / "out.dwg").string();
            ASSERT_EQ(adSaveDrawing(drawing.get(), out.c_str(), AD_FORMAT_DWG, version, 1, 16, 0, 1), 1)
                << label << ": error " << adGlobals->errorCode;
            if (version == AD_VERSION_AC1009) {
                HostFile* file = HostOpenFile(out.c_str(), "rb");
                ASSERT_NE(file, nullptr);
                EXPECT_EQ(adDwgCheckFile(file, AD_DWG_CHECK_FULL), 0)
                    << label << ": the reader's check fails, error " << adGlobals->errorCode;
                HostClose(file);
            }
            LoadedDrawing back(out);
            ASSERT_NE(back.get(), nullptr) << label << ": our reader refuses it, error " << back.error();
            const Summary expected = expectedAt(drawing.get(), summary, version, AD_FORMAT_DWG);
            const auto differences = summaryDifferences(normalised(expected), normalised(readBack(back.get(), &expected)),
                                                        kSummaryCounts | kSummaryGeometry | kSummaryTables);
            for (std::size_t i = 0; i < differences.size() && i < 8; ++i) ADD_FAILURE() << label << ": " << differences[i];
            ++saved;
        }
    };
    for (const std::string& stem : dwgs) check("dwg", stem);
    for (const std::string& stem : dxfs) check("dxf", stem);
    EXPECT_GT(saved, 0);
}
}  // namespace
