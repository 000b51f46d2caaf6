// The R12-layout DXF writer on small drawings: the sections and tables each
// version has, the header's end, record groups, block numbering and order.
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "drawing_text.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
std::vector<std::int32_t> reported;
void noteProgress(std::int32_t percent) { reported.push_back(percent); }

class DxfR12Writer : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDxfReadOps();
        const std::string insert = dxfGroups({{0, "INSERT"}, {8, "0"}, {2, "*U12"}, {10, "1"}, {20, "2"}, {30, "0"}});
        const std::string paperLine =
            dxfGroups({{0, "LINE"}, {8, "0"}, {67, "1"}, {10, "0"}, {20, "0"}, {11, "5"}, {21, "5"}});
        const std::string modelLine = dxfGroups({{0, "LINE"}, {5, "2F"}, {8, "0"}, {10, "1"}, {20, "1"}, {11, "2"}, {21, "2"}});
        std::string text = r12Drawing({"0", "Walls (old)"}, paperLine + modelLine + insert);
        // An anonymous block named *U12 after XREF1.
        const std::string block = dxfGroups({{0, "BLOCK"}, {8, "0"}, {2, "*U12"}, {70, "1"}, {10, "0"}, {20, "0"},
                                             {30, "0"}, {3, "*U12"}, {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"},
                                             {11, "1"}, {21, "1"}, {0, "ENDBLK"}, {8, "0"}});
        text.insert(text.find("0\nENDSEC\n", text.find("BLOCKS")), block);
        drawing_ = adOpenDrawing(dir_.write("in.dxf", text).c_str(), 1, 0);
        ASSERT_NE(drawing_, nullptr) << "error " << adGlobals->errorCode;
    }
    void TearDown() override {
        adSetSaveProgressHook(nullptr);
        if (drawing_) adCloseDrawing(drawing_);
        StartedToolkit::TearDown();
    }
    std::string save(std::int16_t version, std::uint8_t format = 1, std::int32_t extras = 1) {
        const std::string path = (dir_.path() / "out.dxf").string();
        EXPECT_EQ(adSaveDrawing(drawing_, path.c_str(), format, version, 1, 6, 0, extras), 1)
            << "error " << adGlobals->errorCode;
        std::ifstream in(path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    TempDir dir_;
    AdDrawing* drawing_ = nullptr;
};

bool hasTable(const std::string& text, const std::string& table) {
    return text.find("  0\r\nTABLE\r\n  2\r\n" + table + "\r\n") != std::string::npos;
}

TEST_F(DxfR12Writer, EachVersionHasItsTablesAndHeaderEnd) {
    struct Case {
        std::int16_t version;
        std::int32_t extras;
        bool vport, ucs, appid;
        const char* lastVariable;
        bool handseed, viewdir;
    };
    const Case cases[] = {
        {4, 1, true, true, true, "$DWGCODEPAGE", true, false},
        {4, 0, true, true, true, "$VISRETAIN", true, false},
        {3, 1, true, true, false, "$WORLDVIEW", true, false},
        {2, 1, false, false, false, "$USERR5", false, true},
        {0, 1, false, false, false, "$USERR5", false, true},
    };
    for (const Case& c : cases) {
        const std::string text = save(c.version, 1, c.extras);
        SCOPED_TRACE(adVersionString(c.version));
        EXPECT_EQ(hasTable(text, "VPORT"), c.vport);
        EXPECT_EQ(hasTable(text, "UCS"), c.ucs);
        EXPECT_EQ(hasTable(text, "APPID"), c.appid);
        EXPECT_EQ(hasTable(text, "DIMSTYLE"), c.appid);
        EXPECT_EQ(text.find("CLASSES"), std::string::npos);
        EXPECT_EQ(text.find("BLOCK_RECORD"), std::string::npos);
        EXPECT_EQ(text.find("OBJECTS"), std::string::npos);
        EXPECT_EQ(text.find("$HANDSEED") != std::string::npos, c.handseed);
        EXPECT_EQ(text.find("$VIEWDIR") != std::string::npos, c.viewdir);
        const auto groups = groupsOf(text);
        std::string last;
        for (std::size_t i = 0; i < groups.size() && groups[i].second != "ENDSEC"; ++i)
            if (groups[i].first == 9) last = groups[i].second;
        EXPECT_EQ(last, c.lastVariable);
        EXPECT_EQ(groups.back(), (std::pair<int, std::string>{0, "EOF"}));
        EXPECT_EQ(text.find('\n') - 1, text.find('\r')) << "lines end in CR LF";
    }
}

TEST_F(DxfR12Writer, RecordsCarryTheirGroupsAndNamesAreLegal) {
    const std::string text = save(4);
    // An AC1009 LAYER: 0, 2, 70, 62, 6 and nothing else.
    EXPECT_NE(text.find("  0\r\nLAYER\r\n  2\r\nWALLS__OLD_\r\n 70\r\n     0\r\n 62\r\n     7\r\n  6\r\nCONTINUOUS\r\n  0\r\n"),
              std::string::npos);
    // The VIEW table says 70 0 however many views it has.
    EXPECT_NE(text.find("  2\r\nVIEW\r\n 70\r\n     0\r\n"), std::string::npos);
    // A plain LINE on layer 0, BYLAYER: 0, 8 and its handle, then points.
    EXPECT_NE(text.find("  0\r\nLINE\r\n  8\r\n0\r\n  5\r\n2F\r\n 10\r\n1.0\r\n"), std::string::npos) << text;
}

TEST_F(DxfR12Writer, AnonymousBlocksAreNumberedByPositionAndPaperSpaceComesFirst) {
    const std::string text = save(4);
    // *U12 is the second block: *U1 in BLOCKS and in the INSERT naming it.
    EXPECT_EQ(text.find("*U12"), std::string::npos);
    EXPECT_NE(text.find("  2\r\n*U1\r\n 70\r\n     1\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  0\r\nINSERT\r\n"), std::string::npos);
    EXPECT_NE(text.find("  2\r\n*U1\r\n 10\r\n1.0\r\n"), std::string::npos);
    const std::size_t entities = text.find("ENTITIES");
    const std::size_t paper = text.find(" 67\r\n     1\r\n", entities);
    const std::size_t model = text.find("  5\r\n2F\r\n", entities);
    ASSERT_NE(paper, std::string::npos);
    EXPECT_LT(paper, model);
}

TEST_F(DxfR12Writer, BinaryFilesStartWithTheSentinel) {
    const std::string bytes = save(4, 2);
    EXPECT_EQ(bytes.substr(0, 22), std::string("AutoCAD Binary DXF\r\n\x1a\0", 22));
    EXPECT_EQ(bytes.substr(22, 9), std::string("\0SECTION\0", 9));
    EXPECT_EQ(bytes.substr(bytes.size() - 5), std::string("\0EOF\0", 5));
}

TEST_F(DxfR12Writer, ProgressRisesAndStopsAtAHundred) {
    reported.clear();
    adSetSaveProgressHook(noteProgress);
    save(4);
    ASSERT_FALSE(reported.empty());
    for (std::size_t i = 1; i < reported.size(); ++i) EXPECT_GE(reported[i], reported[i - 1]);
    EXPECT_EQ(reported.back(), 100);
}

TEST_F(DxfR12Writer, AnUnknownCurrentLayerFailsBeforeAnythingIsWritten) {
    drawing_->header->clayerHandle = AdHandle{{0, 0, 0, 0, 0, 0, 0x7F, 0x7F}};
    const std::string path = (dir_.path() / "bad.dxf").string();
    EXPECT_EQ(adSaveDrawing(drawing_, path.c_str(), 1, 4, 1, 6, 0, 1), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_HEADER_LAYER);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(in.peek(), std::ifstream::traits_type::eof());
}
}  // namespace
