// What load completion makes of small DXF drawings of older releases: the
// DIMFIT split, unloaded external references and long layout names.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "dxf_groups.h"
#include "toolkit/db/load_stages.h"

namespace {

// An AC1014 drawing with a DIMFIT in its header and in one DIMSTYLE, an
// external reference "PLAN" whose record's extension dictionary says it was
// unloaded, and a root dictionary whose round-trip record lists the long name
// of the layout "LAYOU~1".
std::string olderDrawing(const char* version, int dimfit) {
    const std::string fit = std::to_string(dimfit);
    const std::string tables =
        g({{0, "TABLE"}, {2, "DIMSTYLE"}, {5, "A"}, {70, "1"}}) +
        g({{0, "DIMSTYLE"}, {105, "1D"}, {330, "A"}, {2, "FIT"}, {70, "0"}, {287, fit}}) + g({{0, "ENDTAB"}}) +
        g({{0, "TABLE"}, {2, "BLOCK_RECORD"}, {5, "1"}, {70, "3"}}) +
        g({{0, "BLOCK_RECORD"}, {5, "1F"}, {330, "1"}, {2, "*Model_Space"}}) +
        g({{0, "BLOCK_RECORD"}, {5, "1B"}, {330, "1"}, {2, "*Paper_Space"}}) +
        g({{0, "BLOCK_RECORD"}, {5, "30"}, {102, "{ACAD_XDICTIONARY"}, {360, "60"}, {102, "}"}, {330, "1"},
           {2, "PLAN"}}) +
        g({{0, "ENDTAB"}});
    auto block = [](const char* handle, const char* name, const char* flags, const char* endblk) {
        return g({{0, "BLOCK"}, {5, handle}, {8, "0"}, {2, name}, {70, flags}, {10, "0"}, {20, "0"}, {30, "0"},
                  {3, name}, {1, name[0] == '*' ? "" : "plan.dwg"}}) +
               g({{0, "ENDBLK"}, {5, endblk}, {8, "0"}});
    };
    const std::string blocks = block("20", "*Model_Space", "0", "21") + block("1C", "*Paper_Space", "0", "1D0") +
                               block("31", "PLAN", "4", "33");
    const std::string objects =
        g({{0, "DICTIONARY"}, {5, "C"}, {102, "{ACAD_XDICTIONARY"}, {360, "70"}, {102, "}"}, {330, "0"},
           {100, "AcDbDictionary"}, {3, "ACAD_LAYOUT"}, {350, "1A"}}) +
        g({{0, "DICTIONARY"}, {5, "1A"}, {330, "C"}, {100, "AcDbDictionary"}, {3, "LAYOU~1"}, {350, "80"},
           {3, "Model"}, {350, "81"}}) +
        g({{0, "DICTIONARY"}, {5, "60"}, {330, "30"}, {100, "AcDbDictionary"}, {3, "ACAD_UNLOAD"}, {350, "62"}}) +
        g({{0, "DICTIONARY"}, {5, "70"}, {330, "C"}, {100, "AcDbDictionary"}, {3, "ACAD_XREC_ROUNDTRIP"},
           {350, "71"}}) +
        g({{0, "XRECORD"}, {5, "71"}, {330, "70"}, {100, "AcDbXrecord"}, {102, "EXTNAMES"}, {1, "LAYOU~1"},
           {2, "A layout name of more than thirty-one characters"}, {1, "OTHER~1"}}) +
        g({{0, "XRECORD"}, {5, "62"}, {330, "60"}, {100, "AcDbXrecord"}});
    return section("HEADER", g({{9, "$ACADVER"}, {1, version}, {9, "$HANDSEED"}, {5, "200"}, {9, "$DIMFIT"},
                                {70, fit}})) +
           section("TABLES", tables) + section("BLOCKS", blocks) + section("ENTITIES", "") +
           section("OBJECTS", objects) + g({{0, "EOF"}});
}

class DxfLoadCompletion : public LoadingDxf {
protected:
    AdDrawing* open(const char* version, int dimfit, int upgrade = 0) {
        const std::string path = dir_.write("older.dxf", olderDrawing(version, dimfit));
        AdDrawing* d = adOpenDrawing(path.c_str(), 1, upgrade);
        EXPECT_NE(d, nullptr) << "error " << adGlobals->errorCode;
        return d;
    }
};

// A DIMFIT above 3 is the pair DIMFIT 3 and DIMTMOVE (value - 3) of later
// releases, in the header and in every style; AC1015 files keep theirs.
TEST_F(DxfLoadCompletion, DimFitAboveThreeIsSplit) {
    struct Case {
        const char* version;
        int dimfit;
        int fit, move;
    };
    for (const Case& c : {Case{"AC1014", 5, 3, 2}, Case{"AC1012", 4, 3, 1}, Case{"AC1014", 2, 2, 0},
                          Case{"AC1015", 5, 5, 0}}) {
        AdDrawing* d = open(c.version, c.dimfit);
        if (!d) continue;
        EXPECT_EQ(d->header->dimatfit, c.fit) << c.version << " " << c.dimfit;
        EXPECT_EQ(d->header->dimtmove, c.move) << c.version << " " << c.dimfit;
        AdDimStyleRecord style;
        const AdHandle fit = handle("1D");
        ASSERT_EQ(adDimStyleByHandle(d, &fit, &style), 1);
        EXPECT_EQ(style.dimfit, c.fit) << c.version << " " << c.dimfit;
        EXPECT_EQ(style.dimtmove, c.move) << c.version << " " << c.dimfit;
        adCloseDrawing(d);
    }
}

TEST(DimFitSplit, EdgeValues) {
    struct Case {
        std::int32_t value;
        std::uint8_t fit;
        std::int16_t move;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{3, 3, 0}, Case{4, 3, 1}, Case{5, 3, 2}}) {
        std::uint8_t fit = 99;
        std::int16_t move = 99;
        adSplitDimFit(c.value, &fit, &move);
        EXPECT_EQ(fit, c.fit) << c.value;
        EXPECT_EQ(move, c.move) << c.value;
    }
}

// An AC1014 reference whose record's extension dictionary holds
// "ACAD_UNLOAD" is marked unloaded; other releases do not look.
TEST_F(DxfLoadCompletion, UnloadedReferenceOfAc1014) {
    for (const auto& [version, unloaded] : {std::pair{"AC1014", 1}, std::pair{"AC1012", 0}}) {
        AdDrawing* d = open(version, 3);
        if (!d) continue;
        AdHandle plan{};
        AdBlockHeader block;
        ASSERT_EQ(adBlockHandleByName(d, "PLAN", &plan), 1) << version;
        ASSERT_EQ(adBlockByHandle(d, &plan, &block), 1) << version;
        EXPECT_EQ(block.unloaded, unloaded) << version;
        AdHandle model{};
        ASSERT_EQ(adBlockHandleByName(d, "*Model_Space", &model), 1);
        ASSERT_EQ(adBlockByHandle(d, &model, &block), 1);
        EXPECT_EQ(block.unloaded, 0) << version;
        adCloseDrawing(d);
    }
}

// On upgrade, layout names kept short by an older release take back the long
// names of the root's round-trip record; names it does not list stay.
TEST_F(DxfLoadCompletion, LongLayoutNamesComeBackOnUpgrade) {
    for (int upgrade : {0, 1}) {
        AdDrawing* d = open("AC1014", 3, upgrade);
        if (!d) continue;
        const AdHandle layouts = handle("1A");
        AdHandle found{};
        const bool restored =
            adDictionaryFindEntry(d, &layouts, "A layout name of more than thirty-one characters", &found) == 1;
        EXPECT_EQ(restored, upgrade == 1);
        const AdHandle layout = handle("80");
        if (restored) {
            EXPECT_EQ(adHandleCompare(&found, &layout), 0);
        }
        EXPECT_EQ(adDictionaryFindEntry(d, &layouts, "LAYOU~1", nullptr), upgrade ? 0 : 1);
        EXPECT_EQ(adDictionaryFindEntry(d, &layouts, "Model", nullptr), 1);
        adCloseDrawing(d);
    }
}

}  // namespace
