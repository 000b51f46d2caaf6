// CLASSES, DIMSTYLE and BLOCK records of bit-coded DWG files against their
// DXF twins, and the BLOCK stage's model and paper space records.
#include "toolkit/db/bit_fixture.h"
#include "dwg_corpus.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/twin_lines.h"
#include "toolkit/ad.h"
#include "toolkit/db/dwg/dwg_blocks.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/table_loader.h"
#include "toolkit/ad_internal.h"
#include "toolkit/db/load_stages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::vector<AdStoredBlock> storedBlocks(AdDrawing* drawing) {
    std::vector<AdStoredBlock> blocks;
    AdListRecord* node = adListFirst(drawing->blocks);
    for (std::int32_t i = adListCount(drawing->blocks); node && i > 0; --i, node = node->next) {
        AdStoredBlock block;
        std::memcpy(&block, adListRecordData(node), sizeof block);
        blocks.push_back(block);
    }
    return blocks;
}

Names blockNames(AdDrawing* drawing) {
    Names names;
    for (const AdStoredBlock& block : storedBlocks(drawing)) names.emplace_back(block.header.name);
    return names;
}

// The two space records close the BLOCK list under the drawing's space
// handles and own its space lists; every other record owns a list of its own.
void expectSpacesLast(AdDrawing* drawing) {
    const std::vector<AdStoredBlock> blocks = storedBlocks(drawing);
    ASSERT_GE(blocks.size(), 2u);
    const AdBlockHeader& model = blocks[blocks.size() - 2].header;
    const AdBlockHeader& paper = blocks.back().header;
    EXPECT_EQ(upper(model.name), "*MODEL_SPACE");
    EXPECT_EQ(upper(paper.name), "*PAPER_SPACE");
    EXPECT_EQ(adHandleCompare(&model.handle, &drawing->modelSpaceBlock), 0);
    EXPECT_EQ(adHandleCompare(&paper.handle, &drawing->paperSpaceBlock), 0);
    EXPECT_NE(adHandleLength(&model.handle), 0);
    EXPECT_NE(adHandleLength(&paper.handle), 0);
    ASSERT_NE(drawing->modelSpace, nullptr);
    ASSERT_NE(drawing->paperSpace, nullptr);
    EXPECT_EQ(model.entities, drawing->modelSpace);
    EXPECT_EQ(paper.entities, drawing->paperSpace);
    std::vector<AdRecordList*> lists;
    for (const AdStoredBlock& block : blocks) {
        EXPECT_NE(block.header.entities, nullptr) << block.header.name;
        lists.push_back(block.header.entities);
    }
    std::sort(lists.begin(), lists.end());
    EXPECT_EQ(std::unique(lists.begin(), lists.end()), lists.end()) << "two blocks share an entity list";
}

class DwgBlocksTest : public StartedToolkit {};

// The stages up to the blocks, in the driver's order, through the DWG readers.
void loadUpToBlocks(AdDrawing* drawing) {
    adInstallDwgReadOps();
    drawing->readOps = adGlobals->dwgReadOps;
    const struct {
        const char* stage;
        int (*load)(AdDrawing*);
    } stages[] = {{"LTYPE", adLoadLtypes},   {"LAYER", adLoadLayers},         {"CLASSES", adLoadClasses},
                  {"VPORT", adLoadVports},   {"UCS", adLoadUcs},              {"APPID", adLoadAppids},
                  {"VIEW", adLoadViews},     {"STYLE", adLoadStyles},         {"DIMSTYLE", adLoadDimStyles},
                  {"BLOCK", adLoadBlockTable}};
    for (const auto& stage : stages) ASSERT_EQ(stage.load(drawing), 1) << stage.stage << " " << adGlobals->errorCode;
}

TEST_F(DwgBlocksTest, SpaceBlocksCloseTheBlockList) {
    const std::vector<std::filesystem::path> files = bitCodedCorpus();
    if (files.empty()) GTEST_SKIP() << "no R13..R2000 DWG files under " << dwgCorpusDir();
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        OpenedDwg dwg(file.string());
        ASSERT_EQ(dwg.opened(), 1) << dwg.error();
        loadUpToBlocks(dwg.get());
        if (HasFatalFailure()) return;
        expectSpacesLast(dwg.get());
        // AC1015 space records name their layouts, after the INSERT handles.
        const std::vector<AdStoredBlock> blocks = storedBlocks(dwg.get());
        if (dwg.get()->version >= AD_DWG_AC1015 && blocks.size() >= 2) {
            for (const AdStoredBlock* space : {&blocks[blocks.size() - 2], &blocks.back()}) {
                EXPECT_NE(adHandleLength(&space->header.layout), 0) << space->header.name;
                EXPECT_NE(adHandleCompare(&space->header.layout, &space->header.handle), 0);
            }
        }
    }
}

#ifdef _WIN32
TEST_F(DwgBlocksTest, AgreesWithTheDxfTwins) {
    if (const std::string why = pythonOracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
    GTEST_SKIP() << "the DXF twins are read with Python's ezdxf, which the Windows build does not run";
}
#else
// FILE -> KIND -> lines of NAME VALUES..., as the script beside this file
// writes them.
using Twins = std::map<std::string, std::map<std::string, std::vector<Names>>>;

Twins readTwins() {
    Twins twins;
    for (const Names& fields : twinLines("dwg/dwg_blocks_twins.py"))
        if (fields.size() >= 3) twins[fields[0]][fields[1]].emplace_back(fields.begin() + 2, fields.end());
    return twins;
}

// The classes the file holds come first, in its order; the standard ones
// the loader registers follow them.
Names fileClasses(AdDrawing* drawing) {
    Names names;
    AdClassRecord record{};
    adClassRewind(drawing);
    for (std::int32_t i = 0; i < drawing->classEntryCount && adClassNext(drawing, &record); ++i)
        names.emplace_back(record.dxfName);
    return names;
}

// The twins' exporter renames one class and appends classes of its own, so
// the file's classes are the twin's first ones, the exporter's name undone.
void expectClasses(const Names& read, Names twin) {
    std::replace(twin.begin(), twin.end(), std::string("ACDBDATATABLE"), std::string("DATATABLE"));
    ASSERT_FALSE(read.empty());
    ASSERT_LE(read.size(), twin.size());
    EXPECT_EQ(read, Names(twin.begin(), twin.begin() + static_cast<std::ptrdiff_t>(read.size())));
    for (std::size_t i = read.size(); i < twin.size(); ++i)
        EXPECT_TRUE(twin[i] == "ACDBSECTIONVIEWSTYLE" || twin[i] == "ACDBDETAILVIEWSTYLE") << twin[i];
}

Names sortedUpper(Names names) {
    for (std::string& name : names) name = upper(name);
    std::sort(names.begin(), names.end());
    return names;
}

// The exporter numbers, renames and drops anonymous blocks (a second
// *Paper_Space of the file becomes *Paper_Space0 or *X18, or goes), so only
// the named blocks are compared.
Names namedBlocks(const Names& names) {
    Names named;
    for (const std::string& name : names)
        if (!name.empty() && name[0] != '*') named.push_back(name);
    return sortedUpper(named);
}

// Each style of the twin, by name, with the text style it names and two
// values that lie before and after the arrow blocks of the older forms.
void expectDimStyles(AdDrawing* drawing, const std::vector<Names>& twin) {
    std::map<std::string, AdDimStyleRecord> read;
    AdDimStyleRecord record{};
    adDimStyleRewind(drawing);
    while (adDimStyleNext(drawing, &record))
        if (!record.erased) read[upper(record.name)] = record;
    EXPECT_EQ(read.size(), twin.size());
    for (const Names& line : twin) {
        SCOPED_TRACE(line[0]);
        const auto found = read.find(upper(line[0]));
        ASSERT_NE(found, read.end());
        AdHandle textStyle{};
        adHexToHandle(line[1].c_str(), &textStyle);
        EXPECT_EQ(adHandleCompare(&found->second.dimtxsty, &textStyle), 0) << line[1];
        EXPECT_NEAR(found->second.dimasz, std::stod(line[2]), 1e-9);
        EXPECT_EQ(found->second.dimclrt, std::stoi(line[3]));
    }
}

TEST_F(DwgBlocksTest, AgreesWithTheDxfTwins) {
    if (const std::string why = pythonOracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
    if (bitCodedCorpus().empty()) GTEST_SKIP() << "no R13..R2000 DWG files under " << dwgCorpusDir();
    const Twins twins = readTwins();
    ASSERT_GE(twins.size(), 3u);
    for (const auto& [name, kinds] : twins) {
        SCOPED_TRACE(name);
        OpenedDwg dwg((dwgCorpusDir() / (name + ".dwg")).string());
        ASSERT_EQ(dwg.opened(), 1) << dwg.error();
        loadUpToBlocks(dwg.get());
        if (HasFatalFailure()) return;
        const auto lines = [&](const char* kind) {
            const auto found = kinds.find(kind);
            return found == kinds.end() ? std::vector<Names>{} : found->second;
        };
        const auto twin = [&](const char* kind) {
            Names names;
            for (const Names& line : lines(kind)) names.push_back(line[0]);
            return names;
        };
        expectClasses(fileClasses(dwg.get()), twin("CLASS"));
        expectDimStyles(dwg.get(), lines("DIMSTYLE"));
        EXPECT_EQ(namedBlocks(blockNames(dwg.get())), namedBlocks(twin("BLOCK")));
        for (const Names& line : lines("BLOCK")) {
            if (upper(line[0]) != "*MODEL_SPACE") continue;
            AdHandle layout{};
            adHexToHandle(line[1].c_str(), &layout);
            const std::vector<AdStoredBlock> blocks = storedBlocks(dwg.get());
            ASSERT_GE(blocks.size(), 2u);
            EXPECT_EQ(adHandleCompare(&blocks[blocks.size() - 2].header.layout, &layout), 0) << line[1];
        }
    }
}
#endif

// CLASSES records run to the end of the section's data; one cut short ends
// them, and a name longer than the field is cut at it.
class DwgClassRecordsTest : public BitFixture {};

TEST_F(DwgClassRecordsTest, RecordsRunToTheEndOfTheData) {
    const std::string longName(600, 'N');
    const struct {
        const char* label;
        std::size_t dropped;  // bytes taken off the end of the data
        Names names;
    } cases[] = {{"whole", 0, {"FIRST", longName.substr(0, AD_TABLE_NAME_SIZE - 1)}}, {"cut short", 3, {"FIRST"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_EQ(adBitBufferReset(drawing_.get(), 0), 1);
        for (const std::string& name : {std::string("FIRST"), longName}) {
            adBitWriteShort(static_cast<std::int16_t>(500 + name.size()));
            adBitWriteShort(0x481);
            adBitWriteText("App");
            adBitWriteText("AcDbThing");
            adBitWriteText(name.c_str());
            adBitWriteBit(1);
            adBitWriteShort(0x1F2);
        }
        std::vector<std::uint8_t> bytes = writtenBytes();
        bytes.resize(bytes.size() - c.dropped);
        readOver(bytes);
        Names names;
        AdClassRecord record{};
        for (int i = 0; i < 4 && adDwgNextClass(drawing_.get(), &record); ++i) {
            names.emplace_back(record.dxfName);
            EXPECT_EQ(record.number, static_cast<std::int16_t>(500 + std::strlen(i == 0 ? "FIRST" : longName.c_str())));
            EXPECT_EQ(record.proxyFlags, 0x481);
            EXPECT_STREQ(record.applicationName, "App");
            EXPECT_STREQ(record.className, "AcDbThing");
            EXPECT_EQ(record.wasProxy, 1);
            EXPECT_EQ(record.isEntity, 498);
        }
        EXPECT_EQ(names, c.names);
    }
}

// A BLOCK table delivered by a scripted reader: the names listed, handles
// counting up from 0x40.
struct BlockScript {
    Names names;
    int read = 0;
};
BlockScript blockScript;

int beginScript(AdDrawing*) {
    blockScript.read = 0;
    return 1;
}

int nextScripted(AdDrawing*, void* out, std::uint8_t*) {
    auto* record = static_cast<AdBlockHeader*>(out);
    const std::string& name = blockScript.names.at(static_cast<std::size_t>(blockScript.read));
    std::snprintf(record->name, sizeof record->name, "%s", name.c_str());
    record->handle = AdHandle{};
    record->handle.b[7] = static_cast<std::uint8_t>(0x40 + blockScript.read++);
    return 1;
}

AdHandle low(std::uint8_t value) {
    AdHandle handle{};
    handle.b[7] = value;
    return handle;
}

class BlockStageTest : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        blockScript = BlockScript{};
        ops.beginBlocks = beginScript;
        ops.nextBlock = nextScripted;
        drawing = adCreateDrawing();
        ASSERT_NE(drawing, nullptr);
        drawing->readOps = &ops;
        drawing->handleSeed = low(0x80);
    }
    void TearDown() override {
        if (drawing) adCloseDrawing(drawing);
        StartedToolkit::TearDown();
    }
    int load(const Names& names) {
        blockScript.names = names;
        drawing->tableEntryCounts[AD_CONTROL_BLOCK] = static_cast<std::int32_t>(names.size());
        return adLoadBlockTable(drawing);
    }
    AdReadOps ops{};
    AdDrawing* drawing = nullptr;
};

// The spaces come last whatever the table gave, in its spelling when it
// named them (a DXF file) and as "*Model_Space" / "*Paper_Space" when not.
TEST_F(BlockStageTest, SpaceBlocksAreAddedLast) {
    const struct {
        const char* label;
        bool dxf;
        Names table;
        Names stored;
    } cases[] = {
        {"DWG naming neither", false, {"DOOR", "WINDOW"}, {"DOOR", "WINDOW", "*Model_Space", "*Paper_Space"}},
        {"DWG empty table", false, {}, {"*Model_Space", "*Paper_Space"}},
        {"DXF naming both", true, {"*PAPER_SPACE", "DOOR", "*model_space"},
         {"DOOR", "*model_space", "*PAPER_SPACE"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TearDown();
        SetUp();
        drawing->format = c.dxf ? AD_FORMAT_DXF_ASCII : AD_FORMAT_DWG;
        drawing->dxf = c.dxf ? 1 : 0;
        drawing->version = AD_DWG_AC1015;
        ASSERT_EQ(load(c.table), 1) << adGlobals->errorCode;
        EXPECT_EQ(blockNames(drawing), c.stored);
        expectSpacesLast(drawing);
    }
}

// A paper-space handle already taken cannot be stored: model space goes
// again, both space lists are freed and the stage fails (the leak checker
// sees the rest).
TEST_F(BlockStageTest, PaperSpaceThatCannotBeStoredUndoesModelSpace) {
    drawing->format = AD_FORMAT_DXF_ASCII;
    drawing->dxf = 1;
    drawing->version = AD_DWG_AC1015;
    drawing->modelSpaceBlock = low(0x60);
    drawing->paperSpaceBlock = low(0x40);  // the DOOR record's
    EXPECT_EQ(load({"DOOR"}), 0);
    EXPECT_EQ(drawing->modelSpace, nullptr);
    EXPECT_EQ(drawing->paperSpace, nullptr);
    EXPECT_EQ(adListCount(drawing->blocks), 0);
    EXPECT_EQ(adHandleIndexFind(drawing, &drawing->modelSpaceBlock), nullptr);
}

}  // namespace
