// Handles of table records as the table positions the fixed-record formats
// store: BYLAYER and BYBLOCK take no place among the linetypes, model and paper
// space none among the blocks, and a missing record fails with its table's error.
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "drawing_text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
// An AC1015 drawing whose linetype table has a linetype between BYBLOCK and
// BYLAYER, and the given number of extra text styles after STANDARD.
std::string lookupDrawing(int extraStyles) {
    std::string s = dxfGroups({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"}, {9, "$HANDSEED"},
                               {5, "FFFF"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "TABLES"}});
    s += dxfGroups({{0, "TABLE"}, {2, "LTYPE"}, {5, "5"}, {70, "5"}});
    const std::vector<std::pair<std::string, std::string>> ltypes = {
        {"14", "ByBlock"}, {"20", "DASHED"}, {"15", "ByLayer"}, {"16", "Continuous"}, {"21", "CENTER"}};
    for (const auto& [handle, name] : ltypes)
        s += dxfGroups({{0, "LTYPE"}, {5, handle}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLinetypeTableRecord"},
                        {2, name}, {70, "0"}, {3, ""}, {72, "65"}, {73, "0"}, {40, "0.0"}});
    s += dxfGroups({{0, "ENDTAB"}, {0, "TABLE"}, {2, "LAYER"}, {5, "2"}, {70, "3"}});
    for (const auto& [handle, name] : std::vector<std::pair<std::string, std::string>>{{"10", "0"}, {"30", "A"}, {"31", "B"}})
        s += dxfGroups({{0, "LAYER"}, {5, handle}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLayerTableRecord"},
                        {2, name}, {70, "0"}, {62, "7"}, {6, "Continuous"}});
    s += dxfGroups({{0, "ENDTAB"}, {0, "TABLE"}, {2, "STYLE"}, {5, "3"}, {70, "1"}});
    for (int i = 0; i <= extraStyles; ++i) {
        char handle[16];
        std::snprintf(handle, sizeof handle, "%X", 0x1000 + i);
        s += dxfGroups({{0, "STYLE"}, {5, handle}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbTextStyleTableRecord"},
                        {2, i == 0 ? "STANDARD" : "S" + std::to_string(i)}, {70, "0"}, {40, "0"}, {41, "1"},
                        {50, "0"}, {71, "0"}, {42, "2.5"}, {3, "txt"}, {4, ""}});
    }
    s += dxfGroups({{0, "ENDTAB"}, {0, "TABLE"}, {2, "BLOCK_RECORD"}, {5, "1"}, {70, "3"}});
    const std::vector<std::pair<std::string, std::string>> blocks = {
        {"1F", "*Model_Space"}, {"1B", "*Paper_Space"}, {"40", "BLK"}};
    for (const auto& [handle, name] : blocks)
        s += dxfGroups({{0, "BLOCK_RECORD"}, {5, handle}, {100, "AcDbSymbolTableRecord"},
                        {100, "AcDbBlockTableRecord"}, {2, name}});
    s += dxfGroups({{0, "ENDTAB"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "BLOCKS"}});
    int next = 0x50;
    for (const auto& [owner, name] : blocks) {
        char begin[16], end[16];
        std::snprintf(begin, sizeof begin, "%X", next++);
        std::snprintf(end, sizeof end, "%X", next++);
        s += dxfGroups({{0, "BLOCK"}, {5, begin}, {330, owner}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"},
                        {2, name}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, name}, {1, ""}});
        s += dxfGroups({{0, "ENDBLK"}, {5, end}, {330, owner}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}});
    }
    s += dxfGroups({{0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}, {0, "ENDSEC"}, {0, "EOF"}});
    return s;
}

using Lookup = int (*)(AdDrawing*, const AdHandle*, std::int16_t*);

class IndexLookups : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDxfReadOps();
    }
    void TearDown() override {
        if (drawing_) adCloseDrawing(drawing_);
        StartedToolkit::TearDown();
    }
    AdDrawing* open(int extraStyles = 0) {
        const std::string path = dir_.write("lookups.dxf", lookupDrawing(extraStyles));
        drawing_ = adOpenDrawing(path.c_str(), 1, 0);
        EXPECT_NE(drawing_, nullptr) << "error " << adGlobals->errorCode;
        return drawing_;
    }
    TempDir dir_;
    AdDrawing* drawing_ = nullptr;
};

AdHandle handleOf(const char* text) {
    AdHandle handle{};
    adHexToHandle(text, &handle);
    return handle;
}

TEST_F(IndexLookups, HandlesGiveTablePositions) {
    struct Case {
        const char* what;
        Lookup lookup;
        const char* handle;  // "" is the null handle
        int ok;
        std::int16_t index;  // the answer, or the error number when not ok
    };
    const Case cases[] = {
        {"BYLAYER linetype", adLtypeHandleToIndex, "15", 1, 0x7FFF},
        {"BYBLOCK linetype", adLtypeHandleToIndex, "14", 1, 0x7FFE},
        {"linetype after BYBLOCK only", adLtypeHandleToIndex, "20", 1, 0},
        {"linetype after both", adLtypeHandleToIndex, "16", 1, 1},
        {"last linetype", adLtypeHandleToIndex, "21", 1, 2},
        {"missing linetype", adLtypeHandleToIndex, "999", 0, AD_ERR_LTYPE_INDEX},
        {"first layer", adLayerHandleToIndex, "10", 1, 0},
        {"third layer", adLayerHandleToIndex, "31", 1, 2},
        {"missing layer", adLayerHandleToIndex, "999", 0, AD_ERR_LAYER_INDEX},
        {"text style", adStyleHandleToIndex, "1000", 1, 0},
        {"missing text style", adStyleHandleToIndex, "999", 0, AD_ERR_STYLE_INDEX},
        {"named block", adBlockHandleToIndex, "40", 1, 0},
        {"model space is no table position", adBlockHandleToIndex, "1F", 0, AD_ERR_BLOCK_INDEX},
        {"paper space is no table position", adBlockHandleToIndex, "1B", 0, AD_ERR_BLOCK_INDEX},
        {"null dimension style", adDimStyleHandleToIndex, "", 1, -1},
        {"missing dimension style", adDimStyleHandleToIndex, "999", 0, AD_ERR_DIMSTYLE_INDEX},
        {"null UCS leaves the index", adUcsHandleToIndex, "", 1, 1234},
        {"missing UCS", adUcsHandleToIndex, "999", 0, AD_ERR_HEADER_UCS},
    };
    AdDrawing* drawing = open();
    ASSERT_NE(drawing, nullptr);
    for (const Case& c : cases) {
        const AdHandle handle = *c.handle ? handleOf(c.handle) : AdHandle{};
        std::int16_t index = 1234;
        adGlobals->errorCode = 0;
        // Asked twice: the second answer comes from the table's cache.
        for (int round = 0; round < 2; ++round) {
            EXPECT_EQ(c.lookup(drawing, &handle, &index), c.ok) << c.what << " round " << round;
            if (c.ok)
                EXPECT_EQ(index, c.index) << c.what << " round " << round;
            else
                EXPECT_EQ(adGlobals->errorCode, c.index) << c.what << " round " << round;
        }
    }
}

TEST_F(IndexLookups, TextStylesBeyondAByteHaveNoIndex) {
    AdDrawing* drawing = open(256);
    ASSERT_NE(drawing, nullptr);
    std::int16_t index = -1;
    const AdHandle last = handleOf("10FF");  // position 255
    EXPECT_EQ(adStyleHandleToIndex(drawing, &last, &index), 1);
    EXPECT_EQ(index, 255);
    const AdHandle beyond = handleOf("1100");  // position 256
    EXPECT_EQ(adStyleHandleToIndex(drawing, &beyond, &index), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_STYLE_INDEX);
}
}  // namespace
