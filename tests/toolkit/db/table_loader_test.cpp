// The table loaders over a scripted reader, and the real DXF files: the
// records every drawing gets, the order they take, and what a record that
// cannot be stored leaves behind.
#include "toolkit/ad.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/db/load_stages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <type_traits>
#include <string>
#include <vector>

#include "started_toolkit.h"
#include "no_entities.h"
#include "temp_dir.h"

namespace {

// Every table delivers the names listed for it (one record each, handles
// counting up); a table without a list delivers none.
struct Script {
    std::vector<std::string> ltypes, layers, vports, appids, styles, dimStyles;
    bool dimStylesErased = false;
    bool repeatHandleWithXdata = false;  // the second LAYER record repeats the first's handle
    std::uint8_t nextHandle = 0x40;
    int read = 0;
};
Script script;

AdHandle handleOf(std::uint8_t low) {
    AdHandle handle{};
    handle.b[7] = low;
    return handle;
}

int open(AdDrawing* drawing) {
    const std::vector<std::string>* lists[] = {&script.layers, &script.ltypes, &script.vports, &script.appids,
                                               &script.styles, &script.dimStyles};
    const AdTableControl controls[] = {AD_CONTROL_LAYER, AD_CONTROL_LTYPE, AD_CONTROL_VPORT, AD_CONTROL_APPID,
                                       AD_CONTROL_STYLE, AD_CONTROL_DIMSTYLE};
    for (int i = 0; i < 6; ++i) drawing->tableEntryCounts[controls[i]] = static_cast<std::int32_t>(lists[i]->size());
    drawing->seedFromFile = 1;
    drawing->fileHandleSeed = handleOf(0x20);
    return 1;
}

int begin(AdDrawing*) {
    script.read = 0;
    return 1;
}

void putXdata(std::uint8_t* flag) {
    static const std::uint8_t raw[] = {3, 0, 0x01, 0x12, 70, 42, 0, 0, 0};
    std::memcpy(adGlobals->buffer32kA, raw, sizeof raw);
    adGlobals->xdataLength = sizeof raw;
    *flag = 1;
}

template <class Record, std::vector<std::string> Script::*names>
int next(AdDrawing*, void* out, std::uint8_t* xdataFlag) {
    auto* record = static_cast<Record*>(out);
    const std::string& name = (script.*names)[static_cast<std::size_t>(script.read++)];
    std::snprintf(record->name, sizeof record->name, "%s", name.c_str());
    record->handle = handleOf(script.nextHandle++);
    if (names == &Script::layers && script.repeatHandleWithXdata && script.read == 2) {
        record->handle = handleOf(static_cast<std::uint8_t>(script.nextHandle - 2));
        putXdata(xdataFlag);
    }
    if constexpr (std::is_same_v<Record, AdDimStyleRecord>) record->erased = script.dimStylesErased ? 1 : 0;
    return 1;
}

AdReadOps scriptedReader() {
    AdReadOps ops{};
    ops.open = open;
    ops.readEntity = readNoEntity;
    ops.beginLtypes = ops.beginLayers = ops.beginVports = ops.beginUcs = ops.beginAppids = begin;
    ops.beginViews = ops.beginStyles = ops.beginBlocks = ops.beginDimStyles = ops.beginClasses = begin;
    ops.nextLtype = next<AdLtypeRecord, &Script::ltypes>;
    ops.nextLayer = next<AdLayerRecord, &Script::layers>;
    ops.nextVport = next<AdVportRecord, &Script::vports>;
    ops.nextAppid = next<AdAppidRecord, &Script::appids>;
    ops.nextStyle = next<AdStyleRecord, &Script::styles>;
    ops.nextDimStyle = next<AdDimStyleRecord, &Script::dimStyles>;
    return ops;
}

const std::string kDwg2000 = std::string("AC1015") + std::string(40, '\0');
const std::string kDxf2000 = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  0\nENDSEC\n  0\nEOF\n";

std::vector<std::string> namesOf(AdDrawing* drawing, const AdTableDesc& table) {
    std::vector<std::string> names;
    AdRecordList* list = adTableList(drawing, table);
    AdListRecord* node = list ? list->first : nullptr;
    for (; node; node = node->next)
        names.emplace_back(reinterpret_cast<const char*>(adListRecordData(node) + table.nameOffset));
    return names;
}

using Names = std::vector<std::string>;

class TableLoader : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        script = Script{};
        ops = scriptedReader();
        adGlobals->dwgReadOps = &ops;
        adGlobals->dxfReadOps = &ops;
    }
    AdDrawing* load(const std::string& bytes) { return adOpenDrawing(dir.write("drawing", bytes).c_str(), 1, 0); }
    AdReadOps ops{};
    TempDir dir;
};

// A record read but refused (its handle is taken) fails the stage and takes
// the extended data its reader made with it; the leak checker sees the rest.
TEST_F(TableLoader, RefusedRecordFreesItsStores) {
    script.layers = {"A", "B"};
    script.repeatHandleWithXdata = true;
    EXPECT_EQ(load(kDwg2000), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_STAGE_LAYER);
}

TEST_F(TableLoader, DxfGetsEveryStandardRecordInPlace) {
    script.ltypes = {"DASHED", "BYLAYER", "byblock"};
    script.layers = {"WALLS", "WALLS"};
    script.vports = {"NAMED"};
    script.appids = {"OTHER"};
    script.styles = {"ROMANS"};
    AdDrawing* drawing = load(kDxf2000);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(namesOf(drawing, adLtypeTable), (Names{"Continuous", "DASHED", "ByBlock", "ByLayer"}));
    EXPECT_EQ(namesOf(drawing, adLayerTable), (Names{"0", "WALLS"}));
    EXPECT_EQ(namesOf(drawing, adVportTable), (Names{"*ACTIVE", "NAMED"}));
    EXPECT_EQ(namesOf(drawing, adAppidTable), (Names{"ACAD", "OTHER"}));
    EXPECT_EQ(namesOf(drawing, adStyleTable), (Names{"ROMANS", "Standard"}));
    EXPECT_EQ(namesOf(drawing, adDimStyleTable), (Names{"Standard"}));
    // The file's BYBLOCK and BYLAYER handles stay the drawing's.
    AdHandle byLayer{};
    ASSERT_EQ(adLtypeHandleByName(drawing, "BYLAYER", &byLayer), 1);
    EXPECT_EQ(adHandleCompare(&byLayer, &drawing->byLayerLtype), 0);
    EXPECT_EQ(byLayer.b[7], 0x41);
    AdHandle continuous{};
    ASSERT_EQ(adLtypeHandleByName(drawing, "CONTINUOUS", &continuous), 1);
    EXPECT_EQ(adHandleCompare(&continuous, &drawing->continuousLtype), 0);
    // The dimension style names the first text style.
    AdDimStyleRecord dimStyle{};
    ASSERT_TRUE(adDimStyleRewind(drawing) && adDimStyleNext(drawing, &dimStyle));
    AdHandle romans{};
    ASSERT_EQ(adStyleHandleByName(drawing, "ROMANS", &romans), 1);
    EXPECT_EQ(adHandleCompare(&dimStyle.dimtxsty, &romans), 0);
    adCloseDrawing(drawing);
}

TEST_F(TableLoader, DwgKeepsItsTablesAndAddsWhatIsMissing) {
    script.ltypes = {"CONTINUOUS", "DASHED"};
    script.layers = {"WALLS"};
    script.appids = {"OTHER"};
    script.styles = {"ROMANS"};
    script.dimStyles = {"GONE"};
    script.dimStylesErased = true;
    AdDrawing* drawing = load(kDwg2000);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(namesOf(drawing, adLtypeTable), (Names{"CONTINUOUS", "DASHED", "ByBlock", "ByLayer"}));
    EXPECT_EQ(namesOf(drawing, adLayerTable), (Names{"WALLS"}));
    EXPECT_EQ(namesOf(drawing, adVportTable), (Names{"*ACTIVE"}));
    EXPECT_EQ(namesOf(drawing, adAppidTable), (Names{"OTHER"}));
    EXPECT_EQ(namesOf(drawing, adStyleTable), (Names{"ROMANS"}));
    EXPECT_EQ(namesOf(drawing, adDimStyleTable), (Names{"Standard", "GONE"}));
    adCloseDrawing(drawing);
}

TEST_F(TableLoader, EmptyAppidTableOfADwgGetsAcad) {
    AdDrawing* drawing = load(kDwg2000);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(namesOf(drawing, adAppidTable), (Names{"ACAD"}));
    adCloseDrawing(drawing);
}

TEST_F(TableLoader, StandardClassesAreRegisteredOnce) {
    AdDrawing* drawing = load(kDwg2000);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(adClassCount(drawing), 24);
    AdClassRecord record{};
    ASSERT_EQ(adClassByName(drawing, "OBJECT_PTR", &record), 1);
    EXPECT_STREQ(record.applicationName, "\"ASE-LPNTableRecord\"");
    EXPECT_EQ(record.proxyFlags, 32769);
    ASSERT_EQ(adClassByName(drawing, "WIPEOUT", &record), 1);
    EXPECT_EQ(record.isEntity, 498);
    EXPECT_EQ(drawing->classNumbers[AD_CLASS_LWPOLYLINE], 500);
    EXPECT_EQ(adRegisterStandardClasses(drawing), 1);
    EXPECT_EQ(adClassCount(drawing), 24);
    adCloseDrawing(drawing);
}

#ifdef VT_SHARED_DATA_DIR
// Real DXF files: every table stage goes through, so the load either
// completes or stops at a stage after the tables.
TEST(TableLoaderRealDxf, EveryTableStagePasses) {
    const std::filesystem::path root = std::string(VT_SHARED_DATA_DIR) + "/dxf";
    if (!std::filesystem::exists(root / "ac1015_example.dxf")) GTEST_SKIP() << "no real files in " << root;
    for (const char* name : {"ac1009_example.dxf", "ac1015_example.dxf", "ac1014_binary_small.dxf"}) {
        SCOPED_TRACE(name);
        HostUseEmbeddedInitData();
        std::int16_t error = -1;
        ASSERT_EQ(adInitToolkit(nullptr, &error), 1);
        adInstallDwgReadOps();
        adInstallDxfReadOps();
        AdDrawing* drawing = adOpenDrawing((root / name).string().c_str(), 1, 0);
        if (drawing)
            adCloseDrawing(drawing);
        else
            EXPECT_GT(adGlobals->errorCode, AD_STAGE_BLOCK);
        adTermToolkit();
    }
}
#endif

}  // namespace
