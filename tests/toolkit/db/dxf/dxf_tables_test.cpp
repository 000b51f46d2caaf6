// The DXF pre-scan and the readers of header, classes, tables and blocks:
// small files that show each rule, and the tables of the real files
// compared with what ezdxf's tag reader finds in them.
#include "oracle.h"
#include "dxf_fixture.h"
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

namespace {

std::string section(const std::string& name, const std::string& body) {
    return asciiGroups({{0, "SECTION"}, {2, name}}) + body + asciiGroups({{0, "ENDSEC"}});
}

std::string table(const std::string& name, const std::string& records) {
    return asciiGroups({{0, "TABLE"}, {2, name}, {70, "1"}}) + records + asciiGroups({{0, "ENDTAB"}});
}

const std::string kEof = asciiGroups({{0, "EOF"}});

// An AC1009 drawing with a linetype of two dashes and one of twenty, a
// layer, a CLASS pair, a block and a VIEWPORT entity.
std::string smallDrawing() {
    std::string ltypes = asciiGroups({{0, "LTYPE"}, {2, "DASHED"}, {5, "14"}, {3, "__ __"}, {72, "65"}, {73, "2"},
                                      {40, "0.75"}, {49, "0.5"}, {9, "AB"}, {49, "-0.25"}, {74, "2"}, {75, "3"},
                                      {50, "90"}, {9, "CDE"}});
    ltypes += asciiGroups({{0, "LTYPE"}, {2, "LONG"}, {5, "15"}, {73, "20"}});
    for (int i = 0; i < 20; ++i) ltypes += asciiGroups({{49, std::to_string(i)}, {9, std::string(40, 'x')}});
    const std::string layers = asciiGroups({{0, "LAYER"}, {2, "WALLS"}, {70, "4"}, {62, "-3"}, {6, "DASHED"},
                                            {1001, "ACAD"}, {1070, "7"}});
    return section("HEADER", asciiGroups({{9, "$ACADVER"}, {1, "AC1009"}, {9, "$INSBASE"}, {10, "1"}, {20, "2"},
                                          {30, "3"}, {9, "$CLAYER"}, {8, "WALLS"}, {9, "$HANDSEED"}, {5, "2A0"}})) +
           section("CLASSES", asciiGroups({{0, "CLASS"}, {1, "E"}, {281, "1"}, {0, "CLASS"}, {1, "O"}, {281, "0"},
                                           {90, "70000"}})) +
           section("TABLES", table("LTYPE", ltypes) + table("LAYER", layers)) +
           section("BLOCKS", asciiGroups({{0, "BLOCK"}, {8, "0"}, {2, "B1"}, {70, "4"}, {71, "0"}, {0, "ENDBLK"}})) +
           section("ENTITIES", asciiGroups({{0, "LINE"}, {0, "VIEWPORT"}, {68, "0"}, {69, "1"}})) + kEof;
}

using DxfPrescan = DxfTest;

TEST_F(DxfPrescan, NotesWhereEachPartLies) {
    OpenedDxf dxf(dir_.write("s.dxf", smallDrawing()));
    ASSERT_EQ(dxf.open(), 1) << adGlobals->errorCode;
    AdDrawing* d = dxf.get();
    EXPECT_EQ(d->version, 4);
    EXPECT_EQ(d->header->insbase[2], 3.0);
    EXPECT_STREQ(adGlobals->headerNames[AD_HEADER_NAME_CLAYER], "WALLS");
    EXPECT_STREQ(adGlobals->headerNames[AD_HEADER_NAME_CELTYPE], "Continuous");
    EXPECT_EQ(d->fileHandleSeed.b[6], 0x02);
    EXPECT_EQ(d->tableEntryCounts[AD_CONTROL_LTYPE], 2);
    EXPECT_EQ(d->tableEntryCounts[AD_CONTROL_LAYER], 1);
    EXPECT_EQ(d->tableEntryCounts[AD_CONTROL_BLOCK], 1);
    EXPECT_EQ(d->tableEntryCounts[AD_CONTROL_VPORT_ENTITY], 1);
    EXPECT_EQ(d->classEntryCount, 2);
    EXPECT_EQ(d->dxfSections, AD_DXF_SECTION_HEADER | AD_DXF_SECTION_LTYPE | AD_DXF_SECTION_LAYER);
    EXPECT_EQ(adGlobals->errorCode, 0);
}

TEST_F(DxfPrescan, ReadsTablesClassesBlocksAndViewports) {
    OpenedDxf dxf(dir_.write("s.dxf", smallDrawing()));
    ASSERT_EQ(dxf.open(), 1);
    AdDrawing* d = dxf.get();
    std::uint8_t xdata = 0;
    AdLtypeRecord ltype{};
    ASSERT_EQ(adDxfTableBegin(d, AD_DXF_KIND_LTYPE), 1);
    ASSERT_EQ(adDxfLtypeNext(d, &ltype, &xdata), 1);
    EXPECT_STREQ(ltype.name, "DASHED");
    EXPECT_EQ(ltype.dashCount, 2);
    EXPECT_EQ(ltype.dashes[1].length, -0.25);
    EXPECT_EQ(ltype.dashes[1].shapeNumber, 3);
    EXPECT_NEAR(ltype.dashes[1].rotation, 1.5707963, 1e-6);
    EXPECT_STREQ(ltype.textArea + ltype.dashes[0].textPosition, "AB");
    EXPECT_STREQ(ltype.textArea + ltype.dashes[1].textPosition, "CDE");
    EXPECT_EQ(ltype.dashes[1].textPosition, 3);
    // Twenty dashes of 40-byte texts: fifteen dashes kept, the texts cut at the area.
    ASSERT_EQ(adDxfLtypeNext(d, &ltype, &xdata), 1);
    EXPECT_EQ(ltype.dashCount, AD_LTYPE_DASH_COUNT);
    EXPECT_EQ(ltype.dashes[14].length, 14.0);
    EXPECT_EQ(ltype.textArea[AD_LTYPE_TEXT_AREA_SIZE - 1], '\0');
    EXPECT_EQ(ltype.dashes[14].textPosition, static_cast<std::int16_t>(AD_LTYPE_TEXT_AREA_SIZE - 1));

    AdLayerRecord layer{};
    ASSERT_EQ(adDxfTableBegin(d, AD_DXF_KIND_LAYER), 1);
    ASSERT_EQ(adDxfTableNext(d, AD_DXF_KIND_LAYER, &layer, &xdata), 1);
    EXPECT_STREQ(layer.name, "WALLS");
    EXPECT_EQ(layer.colour, -3);
    EXPECT_EQ(layer.flags, 4);
    EXPECT_EQ(xdata, 1);
    EXPECT_STREQ(adGlobals->dxfNames[AD_DXF_NAME_LAYER_LINETYPE], "DASHED");
    EXPECT_GT(adHandleLength(&layer.handle), 0);  // the file gave none

    AdClassRecord classes[2]{};
    ASSERT_EQ(adDxfClassBegin(d), 1);
    ASSERT_EQ(adDxfClassNext(d, &classes[0]), 1);
    ASSERT_EQ(adDxfClassNext(d, &classes[1]), 1);
    EXPECT_EQ(classes[0].isEntity, 498);
    EXPECT_EQ(classes[1].isEntity, 499);
    EXPECT_EQ(classes[1].proxyFlags, 70000);
    EXPECT_EQ(adDxfClassNext(d, &classes[0]), 0);

    AdStoredBlock block{};
    ASSERT_EQ(adDxfBlockBegin(d), 1);
    ASSERT_EQ(adDxfBlockNext(d, &block, &xdata), 1);
    EXPECT_STREQ(block.header.name, "B1");
    EXPECT_EQ(block.header.loadState, 0);  // an external reference not loaded
    EXPECT_EQ(adDxfBlockNext(d, &block, &xdata), 0);

    AdVportEntityHeader viewport{};
    ASSERT_EQ(adDxfVportHeaderBegin(d), 1);
    ASSERT_EQ(adDxfVportHeaderNext(d, &viewport), 1);
    EXPECT_EQ(viewport.flags, 0);  // status 0: off
    EXPECT_EQ(adDxfVportHeaderNext(d, &viewport), 0);
}

struct PrescanCase {
    const char* name;
    std::string file;
    int result;
    std::int32_t error;
};

class DxfPrescanOutcome : public DxfTest, public testing::WithParamInterface<PrescanCase> {};

TEST_P(DxfPrescanOutcome, AnswersWithItsCode) {
    OpenedDxf dxf(dir_.write("o.dxf", GetParam().file));
    EXPECT_EQ(dxf.open(), GetParam().result);
    EXPECT_EQ(adGlobals->errorCode, GetParam().error);
}

const std::string kLayerTable = table("LAYER", asciiGroups({{0, "LAYER"}, {2, "A"}}));

INSTANTIATE_TEST_SUITE_P(
    Cases, DxfPrescanOutcome,
    testing::Values(
        PrescanCase{"Complete", section("TABLES", kLayerTable) + kEof, 1, 0},
        PrescanCase{"NoEof", section("TABLES", kLayerTable), 0, AD_ERR_DXF_NO_EOF},
        PrescanCase{"HeaderCutShort", asciiGroups({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1009"}}), 0,
                    AD_ERR_DXF_HEADER},
        PrescanCase{"TableCutShort", asciiGroups({{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}}), 0,
                    AD_ERR_DXF_TABLES},
        PrescanCase{"EntitiesCutShort", asciiGroups({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}}), 0,
                    AD_ERR_DXF_ENTITIES},
        PrescanCase{"BlocksCutShort", asciiGroups({{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}}), 0,
                    AD_ERR_DXF_BLOCKS},
        PrescanCase{"ObjectsCutShort", asciiGroups({{0, "SECTION"}, {2, "OBJECTS"}}), 0, AD_ERR_DXF_OBJECTS},
        PrescanCase{"LetterInCode", section("ENTITIES", "1X\nA\n") + kEof, 0, AD_ERR_DXF_GROUP_CODE},
        PrescanCase{"LongLine", section("TABLES", asciiGroups({{999, std::string(3000, 'c')}})) + kEof, 0,
                    AD_ERR_DXF_LINE_LENGTH},
        PrescanCase{"LetterInCodeAmongEntities", section("ENTITIES", asciiGroups({{0, "LINE"}, {8, "0"}}) + "1X\nA\n") + kEof,
                    0, AD_ERR_DXF_GROUP_CODE},
        PrescanCase{"LongLineAmongEntities",
                    section("ENTITIES", asciiGroups({{0, "LINE"}, {8, "0"}, {1, std::string(3000, 'c')}})) + kEof, 0,
                    AD_ERR_DXF_LINE_LENGTH}),
    [](const testing::TestParamInfo<PrescanCase>& info) { return std::string(info.param.name); });

// The entities are counted past group by group: a value that reads like a
// name is no 0 group, and a VIEWPORT behind a comment is noted from the
// comment on, where its read begins.
TEST_F(DxfPrescan, EntityPositionsFollowTheGroups) {
    const std::string head = section("HEADER", asciiGroups({{9, "$ACADVER"}, {1, "AC1009"}})) +
                             asciiGroups({{0, "SECTION"}, {2, "ENTITIES"}}) +
                             asciiGroups({{0, "LINE"}, {1, "ENDSEC"}, {2, "VIEWPORT"}, {8, "0"}});
    const std::string first = asciiGroups({{999, "note"}, {0, "VIEWPORT"}, {68, "1"}, {1, "x"}});
    const std::string second = asciiGroups({{0, "VIEWPORT"}, {68, "0"}});
    const std::string file = head + first + second + asciiGroups({{0, "ENDSEC"}}) + kEof;
    for (const bool crLf : {false, true}) {
        // CR LF ends take the same way as LF ends.
        std::string text = file;
        if (crLf) {
            text.clear();
            for (const char c : file) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        const std::int64_t scale = crLf ? 2 : 1;
        auto at = [&](std::size_t offset) {
            const auto lines = static_cast<std::int64_t>(std::count(file.begin(), file.begin() + offset, '\n'));
            return static_cast<std::int64_t>(offset) + (scale - 1) * lines;
        };
        OpenedDxf dxf(dir_.write("p.dxf", text));
        ASSERT_EQ(dxf.open(), 1) << adGlobals->errorCode;
        AdDrawing* d = dxf.get();
        EXPECT_EQ(d->tableEntryCounts[AD_CONTROL_VPORT_ENTITY], 2);
        EXPECT_EQ(d->dxfEntitiesEnd, at(head.size() + first.size() + second.size()));
        AdStream* stream = adStreamOpenRead(d->loadStores[AD_DXF_STORE_VIEWPORTS]);
        ASSERT_NE(stream, nullptr);
        std::int64_t positions[2] = {};
        EXPECT_EQ(adStreamRead(stream, positions, sizeof positions), 1);
        adStreamCloseRead(stream);
        EXPECT_EQ(positions[0], at(head.size()));
        EXPECT_EQ(positions[1], at(head.size() + first.size()));
    }
}

// A file without HEADER keeps the sniffed version; a second TABLES section
// is not counted.
TEST_F(DxfPrescan, NoHeaderAndSecondTables) {
    OpenedDxf dxf(dir_.write("t.dxf", section("TABLES", kLayerTable) + section("TABLES", kLayerTable) + kEof));
    ASSERT_EQ(dxf.open(), 1);
    EXPECT_EQ(dxf.get()->version, -1);
    EXPECT_STREQ(dxf.get()->header->acadver, "");
    EXPECT_EQ(dxf.get()->tableEntryCounts[AD_CONTROL_LAYER], 1);
}

TEST_F(DxfPrescan, UnknownVersionReadsAsAc1009) {
    OpenedDxf dxf(
        dir_.write("u.dxf", section("HEADER", asciiGroups({{9, "$ACADVER"}, {1, "AC1032"}})) + kEof));
    ASSERT_EQ(dxf.open(), 1);
    EXPECT_EQ(dxf.get()->version, 4);
    EXPECT_EQ(dxf.get()->unknownVersion, 1);
}

// The corpus against the oracle: per file, whether it ends with 0 EOF and
// its table rows.
struct Expected {
    bool ends = false;
    std::multiset<std::string> rows;
};
using Rows = std::map<std::string, Expected>;

std::string row(const std::string& table, const char* name, const std::string& value) {
    return table + "\t" + name + "\t" + value;
}

template <typename Record>
void readTable(AdDrawing* d, int kind, const char* label, std::multiset<std::string>* rows,
               std::string (*value)(const Record&)) {
    const std::int32_t count = d->tableEntryCounts[adDxfKindControl(kind)];
    ASSERT_EQ(adDxfTableBegin(d, kind), 1);
    for (std::int32_t i = 0; i < count; ++i) {
        Record record{};
        std::uint8_t xdata = 0;
        const int read = kind == AD_DXF_KIND_LTYPE ? adDxfLtypeNext(d, &record, &xdata)
                                                   : adDxfTableNext(d, kind, &record, &xdata);
        ASSERT_EQ(read, 1) << label << " " << i;
        rows->insert(row(label, record.name, value(record)));
        adStoreFree(record.reactors);
    }
}

template <typename Record>
std::string none(const Record&) {
    return "";
}

std::multiset<std::string> readTables(AdDrawing* d) {
    std::multiset<std::string> rows;
    readTable<AdLtypeRecord>(d, AD_DXF_KIND_LTYPE, "LTYPE", &rows,
                             [](const AdLtypeRecord& r) { return std::to_string(r.dashCount); });
    readTable<AdLayerRecord>(d, AD_DXF_KIND_LAYER, "LAYER", &rows,
                             [](const AdLayerRecord& r) { return std::to_string(r.colour); });
    readTable<AdStyleRecord>(d, AD_DXF_KIND_STYLE, "STYLE", &rows, none<AdStyleRecord>);
    readTable<AdVportRecord>(d, AD_DXF_KIND_VPORT, "VPORT", &rows, none<AdVportRecord>);
    readTable<AdAppidRecord>(d, AD_DXF_KIND_APPID, "APPID", &rows, none<AdAppidRecord>);
    readTable<AdDimStyleRecord>(d, AD_DXF_KIND_DIMSTYLE, "DIMSTYLE", &rows, none<AdDimStyleRecord>);
    if (d->dxfBlockRecordCount > 0) {
        EXPECT_EQ(adDxfBlockRecordBegin(d), 1);
    }
    for (std::int32_t i = 0; i < d->dxfBlockRecordCount; ++i) {
        AdDxfBlockRecord record{};
        EXPECT_EQ(adDxfBlockRecordRead(d, &record), 1);
        rows.insert(row("BLOCK_RECORD", record.name, ""));
        adStoreFree(record.preview);
        adStoreFree(record.xdata);
    }
    return rows;
}

Rows readOracle(const std::filesystem::path& path) {
    Rows rows;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        Expected& file = rows[line.substr(0, tab)];
        if (line.compare(tab + 1, 4, "FILE") == 0) {
            file.ends = line.back() == '1';
        } else {
            file.rows.insert(line.substr(tab + 1));
        }
    }
    return rows;
}

using DxfCorpus = DxfTest;

TEST_F(DxfCorpus, TablesAsEzdxfReadsThem) {
    if (const std::string why = pythonOracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
    const std::filesystem::path script = std::filesystem::path(VT_TEST_SOURCE_DIR) / "toolkit/db/dxf/dxf_tables_oracle.py";
    const std::filesystem::path output = dir_.path() / "oracle.txt";
    ASSERT_EQ(runPython({script.string(), VT_SHARED_DATA_DIR, output.string()}), 0) << script;
    const Rows oracle = readOracle(output);
    ASSERT_GE(oracle.size(), 30u);
    for (const auto& [name, expected] : oracle) {
        SCOPED_TRACE(name);
        OpenedDxf dxf((std::filesystem::path(VT_SHARED_DATA_DIR) / "dxf" / name).string());
        if (!expected.ends) {
            EXPECT_EQ(dxf.open(), 0);
            EXPECT_EQ(adGlobals->errorCode, AD_ERR_DXF_NO_EOF);
            continue;
        }
        ASSERT_EQ(dxf.open(), 1) << "error " << adGlobals->errorCode;
        EXPECT_EQ(readTables(dxf.get()), expected.rows);
    }
}

}  // namespace
