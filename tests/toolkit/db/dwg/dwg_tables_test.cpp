// Symbol tables of bit-coded DWG files: the real files against what their
// DXF twins hold, and the field codings the files do not show.
#include "toolkit/db/bit_fixture.h"
#include "dwg_corpus.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/db/twin_lines.h"
#include "toolkit/ad.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/table_loader.h"
#include "toolkit/ad_internal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

class DwgTablesTest : public StartedToolkit {};

#ifdef _WIN32
TEST_F(DwgTablesTest, AgreesWithTheDxfTwins) {
    if (const std::string why = pythonOracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
    GTEST_SKIP() << "the DXF twins are read with Python's ezdxf, which the Windows build does not run";
}
#else
// The table stages the DWG readers fill, in the driver's order, called
// through the DWG reader table as the load driver calls them.
void loadTables(AdDrawing* drawing) {
    adInstallDwgReadOps();
    drawing->readOps = adGlobals->dwgReadOps;
    // Records of fixed-header files get their handles as they are stored.
    if (drawing->version < AD_VERSION_FIRST_BITCODED) {
        ASSERT_EQ(adSetHandleSeed(drawing, &adGlobals->handleSeedDefault), 1);
    }
    const struct {
        const char* table;
        int (*load)(AdDrawing*);
    } stages[] = {{"LTYPE", adLoadLtypes}, {"LAYER", adLoadLayers}, {"VPORT", adLoadVports}, {"UCS", adLoadUcs},
                  {"APPID", adLoadAppids}, {"VIEW", adLoadViews},   {"STYLE", adLoadStyles}};
    for (const auto& stage : stages) ASSERT_EQ(stage.load(drawing), 1) << stage.table << " " << adGlobals->errorCode;
}

// FILE -> lines of TABLE NAME VALUES..., as the script beside this file writes them.
using Twins = std::map<std::string, std::vector<std::vector<std::string>>>;

Twins readTwins(const std::string& versions = "") {
    Twins twins;
    for (std::vector<std::string> fields : twinLines("dwg/dwg_tables_twins.py", versions)) {
        if (fields.size() < 3) continue;
        const std::string name = fields[0];
        fields.erase(fields.begin());
        twins[name].push_back(fields);
    }
    return twins;
}

AdHandle handleOf(const std::string& hex) {
    AdHandle handle{};
    adHexToHandle(hex.c_str(), &handle);
    return handle;
}

std::int32_t countOf(AdDrawing* drawing, const std::string& table) {
    if (table == "LAYER") return adLayerCount(drawing);
    if (table == "LTYPE") return adLtypeCount(drawing);
    if (table == "STYLE") return adStyleCount(drawing);
    if (table == "APPID") return adAppidCount(drawing);
    // Fixed-header files keep their deleted viewports as erased records.
    std::int32_t live = 0;
    AdVportRecord record{};
    adVportRewind(drawing);
    while (adVportNext(drawing, &record))
        if (!record.erased) ++live;
    return live;
}

bool hasVport(AdDrawing* drawing, const std::string& name) {
    AdVportRecord record{};
    adVportRewind(drawing);
    while (adVportNext(drawing, &record))
        if (name == record.name) return true;
    return false;
}

void expectRecord(AdDrawing* drawing, const std::vector<std::string>& f) {
    const std::string& table = f[0];
    const char* name = f[1].c_str();
    SCOPED_TRACE(table + " " + f[1]);
    AdHandle handle{};
    if (table == "LAYER") {
        AdLayerRecord layer{};
        ASSERT_EQ(adLayerHandleByName(drawing, name, &handle), 1);
        ASSERT_EQ(adLayerByHandle(drawing, &handle, &layer), 1);
        EXPECT_EQ(layer.colour, std::stoi(f[2]));
        if (drawing->version < AD_VERSION_FIRST_BITCODED) {
            // Twins of fixed-header files name the linetype, having no handles.
            AdLtypeRecord ltype{};
            ASSERT_EQ(adLtypeByHandle(drawing, &layer.linetype, &ltype), 1);
            EXPECT_EQ(adStrCompareNoCase(ltype.name, f[3].c_str()), 0) << ltype.name << " " << f[3];
        } else {
            const AdHandle linetype = handleOf(f[3]);
            EXPECT_EQ(adHandleCompare(&layer.linetype, &linetype), 0) << f[3];
        }
        EXPECT_EQ(layer.flags & 0x17, std::stoi(f[4]) & 0x17);
    } else if (table == "LTYPE") {
        AdLtypeRecord ltype{};
        ASSERT_EQ(adLtypeHandleByName(drawing, name, &handle), 1);
        ASSERT_EQ(adLtypeByHandle(drawing, &handle, &ltype), 1);
        EXPECT_EQ(ltype.dashCount, std::stoi(f[2]));
        EXPECT_NEAR(ltype.patternLength, std::stod(f[3]), 1e-9);
    } else if (table == "STYLE") {
        AdStyleRecord style{};
        ASSERT_EQ(adStyleHandleByName(drawing, name, &handle), 1);
        ASSERT_EQ(adStyleByHandle(drawing, &handle, &style), 1);
        EXPECT_STREQ(style.fontFile, f.size() > 2 ? f[2].c_str() : "");
    } else if (table == "VPORT") {
        EXPECT_TRUE(hasVport(drawing, f[1]));
    } else if (table == "COUNT" && f[1] != "APPID") {
        EXPECT_EQ(countOf(drawing, f[1]), std::stoi(f[2])) << f[1];
    }
}

// The twins' exporters registered applications of their own and the R13 and
// R14 ones cut long names, so each application of the drawing must be in its
// twin, under its name or a beginning of it.
void expectApplications(AdDrawing* drawing, const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::string> twin;
    for (const std::vector<std::string>& f : lines)
        if (f[0] == "APPID") twin.push_back(f[1]);
    AdAppidRecord record{};
    adAppidRewind(drawing);
    std::int32_t count = 0;
    while (adAppidNext(drawing, &record)) {
        ++count;
        const bool found = std::any_of(twin.begin(), twin.end(), [&](const std::string& name) {
            return adStrCompareNoCaseN(record.name, name.c_str(), name.size()) == 0;
        });
        EXPECT_TRUE(found) << record.name;
    }
    EXPECT_GT(count, 0);
    EXPECT_LE(count, static_cast<std::int32_t>(twin.size()));
}

// Each drawing's tables loaded and held against its twin's lines. Versions
// before AC1009 have no APPID table (the loader gives them "ACAD").
void expectTwins(const Twins& twins) {
    for (const auto& [name, lines] : twins) {
        SCOPED_TRACE(name);
        OpenedDwg dwg((dwgCorpusDir() / (name + ".dwg")).string());
        ASSERT_EQ(dwg.opened(), 1) << dwg.error();
        loadTables(dwg.get());
        if (testing::Test::HasFatalFailure()) return;
        for (const std::vector<std::string>& line : lines) expectRecord(dwg.get(), line);
        if (dwg.get()->version >= 4) expectApplications(dwg.get(), lines);
    }
}

TEST_F(DwgTablesTest, AgreesWithTheDxfTwins) {
    if (const std::string why = pythonOracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
    if (bitCodedCorpus().empty()) GTEST_SKIP() << "no R13..R2000 DWG files under " << dwgCorpusDir();
    const Twins twins = readTwins();
    ASSERT_GE(twins.size(), 3u);
    expectTwins(twins);
}

TEST_F(DwgTablesTest, FixedHeaderFilesAgreeWithTheDxfTwins) {
    if (const std::string why = pythonOracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
    const Twins twins = readTwins("fixed");
    if (twins.empty()) GTEST_SKIP() << "no AC1002..AC1009 DWG with a DXF twin under " << dwgCorpusDir();
    ASSERT_GE(twins.size(), 4u);
    expectTwins(twins);
}
#endif

class DwgEntryFieldsTest : public BitFixture {};

TEST_F(DwgEntryFieldsTest, ViewModeTakesThreeBitsAndInvertsTheFourth) {
    const struct {
        const char* bits;
        std::int16_t mode;
    } cases[] = {{"1010", 0x15}, {"0000", 0x10}, {"1111", 0x07}, {"0001", 0x00}, {"0110", 0x16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        readOverBits(c.bits);
        EXPECT_EQ(adDwgReadViewMode(), c.mode);
    }
}

TEST_F(DwgEntryFieldsTest, LongNamesAreCutAtTheFieldAndPassedOver) {
    const struct {
        std::size_t length;
        std::int32_t field;
    } cases[] = {{600, AD_TABLE_NAME_SIZE}, {511, AD_TABLE_NAME_SIZE}, {512, AD_TABLE_NAME_SIZE}, {300, 256}, {0, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        ASSERT_EQ(adBitBufferReset(drawing_.get(), 0), 1);
        const std::string text(c.length, 'N');
        adBitWriteText(text.c_str());
        adBitWriteByte(0x5A);
        readBack();
        std::vector<char> field(static_cast<std::size_t>(c.field) + 1, '#');
        ASSERT_EQ(adDwgReadCutText(field.data(), c.field), 1);
        EXPECT_EQ(std::string(field.data()), text.substr(0, static_cast<std::size_t>(c.field) - 1));
        EXPECT_EQ(field[static_cast<std::size_t>(c.field)], '#');
        EXPECT_EQ(adBitReadByte(), 0x5A);
    }
}

TEST_F(DwgEntryFieldsTest, ATextBeyondTheDataFails) {
    readOverBits(byteBits({0x00, 0x10, 'a', 'b'}));  // RS form, length 16
    char field[32];
    EXPECT_EQ(adDwgReadCutText(field, sizeof field), 0);
    EXPECT_STREQ(field, "");
}

TEST(DwgLineweights, IndexIsTheFirstCodeOfTheWeight) {
    const struct {
        std::int16_t weight;
        std::int32_t code;
    } cases[] = {{0, 0}, {5, 1}, {158, 21}, {211, 23}, {-1, 28}, {-2, 30}, {-3, 31}, {7, -1}, {212, -1}};
    for (const auto& c : cases) EXPECT_EQ(adLineweightIndex(c.weight), c.code) << c.weight;
    for (std::int32_t code = 0; code < 24; ++code) EXPECT_EQ(adLineweightIndex(adLineweightFromIndex(code)), code);
}

}  // namespace
