// Table records of fixed-header DWG files: the readers over real and damaged
// records, the chain of viewport-entity headers, and whole loads.
#include "toolkit/db/dwg/dwg_corpus.h"
#include "r12_bytes.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/ad.h"
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/db/dwg/dwg_read.h"
#include "toolkit/db/r12/r12_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

class R12TablesTest : public StartedToolkit {};

TEST_F(R12TablesTest, DeletedRecordsAreErasedAndShortOnesFail) {
    std::string bytes;
    if (!readCorpusFile("ac1009_entities_2d.dwg", &bytes)) GTEST_SKIP();
    const struct {
        const char* what;
        std::size_t byte;  // changed in the first LTYPE record
        char value;
        int answer;
        std::uint8_t erased;
        std::int32_t error;
    } cases[] = {
        {"as stored", 0, 0, 1, 0, 0},
        {"deleted", 0, '\x80', 1, 1, 0},
        // Twelve dash lengths fill the record; fifteen would run past it.
        {"more dashes than the record holds", 1 + 32 + 2 + 48 + 1, 15, 0, 0, AD_ERR_DWG_SECTION_RANGE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string changed = bytes;
        const std::size_t at = recordAt(changed, 74, 0) + c.byte;
        if (c.value != 0) changed[at] = c.value;
        TempDir dir;
        OpenedDwg dwg(dir.write("changed.dwg", changed));
        ASSERT_EQ(dwg.opened(), 1) << dwg.error();
        ASSERT_EQ(adR12BeginTable(dwg.get(), AD_CONTROL_LTYPE), 1);
        AdLtypeRecord record{};
        adSetError(0);
        EXPECT_EQ(adR12NextLtype(dwg.get(), &record), c.answer);
        EXPECT_EQ(record.erased, c.erased);
        EXPECT_EQ(adGlobals->errorCode, c.error);
        if (c.answer && !c.erased) {
            EXPECT_STREQ(record.name, "CONTINUOUS");
            EXPECT_EQ(record.dashCount, 0);
        }
        if (c.erased) {
            EXPECT_STREQ(record.name, "");
        }
    }
}

TEST_F(R12TablesTest, BlockRecordsLeaveTheirDefinitionOffset) {
    std::string bytes;
    if (!readCorpusFile("ac1003_entities.dwg", &bytes)) GTEST_SKIP();
    TempDir dir;
    OpenedDwg dwg(dir.write("blocks.dwg", bytes));
    ASSERT_EQ(dwg.opened(), 1) << dwg.error();
    AdDrawing* drawing = dwg.get();
    const AdDwgFile* f = dwg.dwg();
    ASSERT_EQ(adR12BeginTable(drawing, AD_CONTROL_BLOCK), 1);
    std::vector<std::int64_t> offsets;
    for (std::int32_t i = 0; i < drawing->tableEntryCounts[AD_CONTROL_BLOCK]; ++i) {
        AdBlockHeader block{};
        ASSERT_EQ(adR12NextBlock(drawing, &block), 1);
        EXPECT_NE(block.name[0], '\0');
        // Before AC1009 the external-reference bit is not one.
        EXPECT_EQ(block.flags & 4, 0);
        EXPECT_GE(drawing->dxfBlockOffset, 0);
        EXPECT_LT(drawing->dxfBlockOffset, f->blocksEnd - f->blocksStart);
        offsets.push_back(drawing->dxfBlockOffset);
    }
    ASSERT_EQ(offsets.size(), 3u);
    EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
    EXPECT_LT(offsets[0], offsets[2]);
}

TEST_F(R12TablesTest, DimensionStylesReadTheirVariables) {
    std::string bytes;
    if (!readCorpusFile("ac1009_aceb10_tables.dwg", &bytes)) GTEST_SKIP();
    TempDir dir;
    OpenedDwg dwg(dir.write("styles.dwg", bytes));
    ASSERT_EQ(dwg.opened(), 1) << dwg.error();
    AdDrawing* drawing = dwg.get();
    ASSERT_GT(drawing->tableEntryCounts[AD_CONTROL_DIMSTYLE], 0);
    ASSERT_EQ(adR12BeginTable(drawing, AD_CONTROL_DIMSTYLE), 1);
    for (std::int32_t i = 0; i < drawing->tableEntryCounts[AD_CONTROL_DIMSTYLE]; ++i) {
        AdDimStyleRecord style{};
        ASSERT_EQ(adR12NextDimStyle(drawing, &style), 1);
        if (style.erased) continue;
        SCOPED_TRACE(style.name);
        EXPECT_GT(style.dimscale, 0.0);
        EXPECT_GT(style.dimtxt, 0.0);
        EXPECT_EQ(style.xrefIndex, -1);
    }
}

// Whole loads: every table the file has, the blocks with the two spaces
// after them, and the header's current layer found among the layers.
TEST_F(R12TablesTest, EveryFixedHeaderFileLoads) {
    const std::vector<std::filesystem::path> files = fixedHeaderCorpus();
    if (files.empty()) GTEST_SKIP() << "no AC1002..AC1009 DWG files under " << dwgCorpusDir();
    adInstallDwgReadOps();
    for (const std::filesystem::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        std::int32_t blocks = 0;
        {
            OpenedDwg opened(path.string());
            ASSERT_EQ(opened.opened(), 1);
            blocks = opened.get()->tableEntryCounts[AD_CONTROL_BLOCK];
        }
        AdDrawing* drawing = adOpenDrawing(path.string().c_str(), 1, 0);
        ASSERT_NE(drawing, nullptr) << adGlobals->errorCode;
        EXPECT_EQ(adBlockCount(drawing), blocks + 2);
        EXPECT_GT(adLayerCount(drawing), 0);
        AdLayerRecord layer{};
        EXPECT_EQ(adLayerByHandle(drawing, &drawing->header->clayerHandle, &layer), 1);
        adCloseDrawing(drawing);
    }
}

// Records of 43 bytes whose next index stands at offset 39, in a file of
// their own; the drawing is made to read them as its viewport-entity headers.
class VportChain {
public:
    VportChain(const std::vector<std::int16_t>& next, const std::vector<std::uint8_t>& flags, std::int16_t first)
        : drawing_(adCreateDrawing()) {
        std::string bytes;
        for (std::size_t i = 0; i < next.size(); ++i) {
            std::string record(43, '\0');
            record[0] = static_cast<char>(flags[i]);
            record[1] = static_cast<char>('A' + i);
            put16(record, 39, next[i]);
            bytes += record;
        }
        const std::string path = dir_.write("headers.bin", bytes);
        drawing_->version = 4;
        drawing_->file = HostOpenRead(path.c_str());
        AdDwgFile* dwg = adDwgBeginFile(drawing_);
        dwg->fileLength = static_cast<std::int64_t>(bytes.size());
        dwg->fixedTables[AD_CONTROL_VPORT_ENTITY] = {43, static_cast<std::int32_t>(next.size()), 0};
        dwg->vportEntityIndex = first;
    }
    ~VportChain() {
        adDwgReleaseFile(drawing_);
        adCloseDrawing(drawing_);
    }
    VportChain(const VportChain&) = delete;
    VportChain& operator=(const VportChain&) = delete;
    AdDrawing* get() const { return drawing_; }

private:
    TempDir dir_;
    AdDrawing* drawing_;
};

TEST_F(R12TablesTest, ViewportHeaderChainsAreBoundedAndNumberTheHeaders) {
    const struct {
        const char* what;
        std::vector<std::int16_t> next;
        std::int16_t first;
        int answer;
        std::vector<std::int16_t> numbers;  // of the records in file order, when the chain holds
    } cases[] = {
        {"a chain through every header", {0, 2, 3, 0}, 1, 1, {0, 1, 2, 3}},
        {"a chain in another order", {0, 3, 0, 2}, 1, 1, {0, 1, 3, 2}},
        {"a header naming itself ends it", {0, 1, 0, 0}, 1, 1, {0, 1, -1, -1}},
        {"a loop of two", {0, 2, 1, 0}, 1, 0, {}},
        {"an index past the table", {0, 7, 0, 0}, 1, 0, {}},
        {"a negative index", {0, -3, 0, 0}, 1, 0, {}},
        {"an index above any table", {0, 2500, 0, 0}, 1, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VportChain chain(c.next, std::vector<std::uint8_t>(c.next.size(), 1), c.first);
        adSetError(0);
        ASSERT_EQ(adR12BeginVportEntities(chain.get()), c.answer);
        if (!c.answer) {
            EXPECT_EQ(adGlobals->errorCode, AD_ERR_R12_VPORT_CHAIN);
            continue;
        }
        for (std::size_t i = 0; i < c.numbers.size(); ++i) {
            AdVportEntityHeader header{};
            ASSERT_EQ(adR12NextVportEntity(chain.get(), &header), 1);
            EXPECT_EQ(header.number, c.numbers[i]) << i;
            EXPECT_EQ(header.fileOffset, static_cast<std::int32_t>(43 * i));
            EXPECT_EQ(header.name[0], 'A' + static_cast<int>(i));
        }
    }
}

TEST_F(R12TablesTest, HeadersThatAreOffOrDeletedTakeNoNumber) {
    VportChain chain({0, 2, 0}, {1, 0, 0x81}, 1);
    ASSERT_EQ(adR12BeginVportEntities(chain.get()), 1);
    AdVportEntityHeader headers[3] = {};
    for (AdVportEntityHeader& header : headers) ASSERT_EQ(adR12NextVportEntity(chain.get(), &header), 1);
    EXPECT_EQ(headers[1].number, 0);
    EXPECT_EQ(headers[1].erased, 0);
    EXPECT_EQ(headers[2].erased, 1);
}

}  // namespace
