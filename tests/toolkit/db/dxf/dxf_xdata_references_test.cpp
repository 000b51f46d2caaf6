// Extended data of a DXF file names applications (1001) and layers (1003);
// the load turns each name into the handle of its record once the tables are
// read. Each item must get its own record's handle, wherever it lies in the
// data: a table record's, an entity's, after other items and other
// applications.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dxf_groups.h"

namespace {

using DxfXdataReferences = LoadingDxf;

// APPIDs A1 (handle 11) and APP2 (12), layers 0 (20) and WALLS (21). The
// table records sit before the APPID table, as in every file of the R13
// layout, and the STYLE's data begins with another application than ACAD.
std::string referencesDrawing() {
    const Groups xdata = {{1001, "APP2"}, {1000, "first"}, {1003, "WALLS"}, {1070, "7"},
                          {1001, "A1"},   {1000, "second"}, {1003, "0"}};
    Groups style = {{0, "STYLE"}, {5, "30"}, {2, "NOTES"}, {70, "0"}, {40, "0"}, {41, "1"}, {3, "txt"}};
    Groups layer = {{0, "LAYER"}, {5, "21"}, {2, "WALLS"}, {70, "0"}, {62, "1"}, {6, "CONTINUOUS"}};
    Groups line = {{0, "LINE"}, {5, "40"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "1"}, {31, "0"}};
    for (Groups* record : {&style, &layer, &line}) record->insert(record->end(), xdata.begin(), xdata.end());
    const std::string tables =
        g({{0, "TABLE"}, {2, "LAYER"}, {70, "2"}, {0, "LAYER"}, {5, "20"}, {2, "0"}, {70, "0"}, {62, "7"},
           {6, "CONTINUOUS"}}) +
        g(layer) + g({{0, "ENDTAB"}, {0, "TABLE"}, {2, "STYLE"}, {70, "1"}}) + g(style) +
        g({{0, "ENDTAB"}, {0, "TABLE"}, {2, "APPID"}, {70, "2"}, {0, "APPID"}, {5, "11"}, {2, "A1"}, {70, "0"},
           {0, "APPID"}, {5, "12"}, {2, "APP2"}, {70, "0"}, {0, "ENDTAB"}});
    return section("HEADER", g({{9, "$ACADVER"}, {1, "AC1009"}, {9, "$HANDSEED"}, {5, "100"}})) +
           section("TABLES", tables) + section("ENTITIES", g(line)) + g({{0, "EOF"}});
}

// The 1001 and 1003 items of a store, as the handles they hold.
std::vector<std::string> references(AdStore* xdata) {
    std::vector<std::string> result;
    AdStream* stream = xdata ? adStreamOpenRead(xdata) : nullptr;
    if (!stream) return result;
    AdXdataItem item;
    while (adXdataReadItem(stream, &item))
        if (item.code == 1001 || item.code == 1003)
            result.push_back(std::to_string(item.code) + " " + hexOf(item.value.handle));
    adStreamCloseRead(stream);
    return result;
}

TEST_F(DxfXdataReferences, EveryNameTakesItsOwnRecordsHandle) {
    const std::string path = dir_.write("references.dxf", referencesDrawing());
    AdDrawing* d = adOpenDrawing(path.c_str(), 1, 0);
    ASSERT_NE(d, nullptr) << "error " << adGlobals->errorCode;
    const std::vector<std::string> expected = {"1001 12", "1003 21", "1001 11", "1003 20"};

    AdStyleRecord style;
    const AdHandle styleHandle = handle("30");
    ASSERT_EQ(adStyleByHandle(d, &styleHandle, &style), 1);
    EXPECT_EQ(references(style.xdata), expected) << "STYLE";

    AdLayerRecord layer;
    const AdHandle layerHandle = handle("21");
    ASSERT_EQ(adLayerByHandle(d, &layerHandle, &layer), 1);
    EXPECT_EQ(references(layer.xdata), expected) << "LAYER";

    auto line = std::make_unique<AdEntityHeader>();
    auto data = std::make_unique<AdEntityData>();
    AdRecordList* model = adBlockEntityList(d, &d->modelSpaceBlock);
    ASSERT_NE(model, nullptr);
    adEntityRewind(model);
    ASSERT_EQ(adEntityNext(model, line.get(), data.get()), 1);
    EXPECT_EQ(references(line->xdata), expected) << "LINE";
    adCloseDrawing(d);
}

}  // namespace
