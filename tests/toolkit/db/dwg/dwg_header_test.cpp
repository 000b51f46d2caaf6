// Header variables of bit-coded DWG files: the real files against what their
// DXF twins say, and the AC1015 values whose presence or meaning depends on
// others.
#include "oracle.h"
#include "dwg_corpus.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/ad.h"
#include "toolkit/db/dimension_unit.h"
#include "toolkit/db/dwg/dwg_header_order.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

class DwgHeaderTest : public StartedToolkit {};

#ifdef _WIN32
TEST_F(DwgHeaderTest, AgreesWithTheDxfTwins) {
    if (const std::string why = pythonOracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
    GTEST_SKIP() << "the DXF twins are read with Python's ezdxf, which the Windows build does not run";
}
#else
using Expectations = std::map<std::string, std::map<std::string, std::vector<std::string>>>;

// The twins' values, written by the script beside this file.
Expectations readTwins(const std::filesystem::path& file) {
    Expectations twins;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name;
        std::string key;
        std::string value;
        if (!(words >> name >> key)) continue;
        std::vector<std::string>& values = twins[name][key];
        while (words >> value) values.push_back(value);
    }
    return twins;
}

void expectNear(double actual, const std::string& expected, double tolerance = 1e-9) {
    const double value = std::stod(expected);
    EXPECT_NEAR(actual, value, tolerance * std::max(1.0, std::fabs(value))) << expected;
}

// The twins' exporter recomputed the extents, which moves them by a little.
void expectExtent(const double* actual, const std::vector<std::string>& expected) {
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("coordinate " + std::to_string(i));
        expectNear(actual[i], expected[i], 0.02);
    }
}

void expectPoint(const double* actual, const std::vector<std::string>& expected) {
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("coordinate " + std::to_string(i));
        expectNear(actual[i], expected[i]);
    }
}

AdHandle handleOf(const std::string& hex) {
    AdHandle handle{};
    EXPECT_EQ(adHexToHandle(hex.c_str(), &handle), 1) << hex;
    return handle;
}

// The twins were exported in other time zones: the creation times differ by
// whole hours only.
void expectSameTimeOfHour(const AdJulianDate& date, const std::string& expected) {
    const double hours = (date.day + date.milliseconds / 86400000.0 - std::stod(expected)) * 24.0;
    EXPECT_NEAR(hours, std::round(hours), 1e-4) << expected;
    EXPECT_LE(std::fabs(hours), 14.0) << expected;
}

AdHandle highestMapped(AdDwgFile* dwg) {
    AdHandle handle{};
    AdHandle highest{};
    std::int32_t offset = 0;
    adStreamRewind(dwg->indexReader);
    while (adDwgNextIndexEntry(dwg, &handle, &offset)) highest = handle;
    return highest;
}


TEST_F(DwgHeaderTest, AgreesWithTheDxfTwins) {
    if (const std::string why = pythonOracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
    if (bitCodedCorpus().empty()) GTEST_SKIP() << "no R13..R2000 DWG files under " << dwgCorpusDir();
    TempDir dir;
    const std::filesystem::path script = std::filesystem::path(VT_TEST_SOURCE_DIR) / "toolkit/db/dwg/dwg_header_twins.py";
    const std::filesystem::path output = dir.path() / "twins.txt";
    ASSERT_EQ(runPython({script.string(), VT_SHARED_DATA_DIR, output.string()}), 0) << script;
    const Expectations twins = readTwins(output);
    ASSERT_GE(twins.size(), 3u);
    for (const auto& [name, values] : twins) {
        SCOPED_TRACE(name);
        OpenedDwg dwg((dwgCorpusDir() / (name + ".dwg")).string());
        ASSERT_EQ(dwg.opened(), 1) << dwg.error();
        const AdHeaderVars& h = *dwg.get()->header;
        for (const auto& [key, expected] : values) {
            SCOPED_TRACE(key);
            if (key == "$EXTMIN") expectExtent(h.extmin, expected);
            if (key == "$EXTMAX") expectExtent(h.extmax, expected);
            if (key == "$LIMMIN") expectPoint(h.limmin, expected);
            if (key == "$LIMMAX") expectPoint(h.limmax, expected);
            if (key == "$DIMSCALE") expectNear(h.dimscale, expected[0]);
            if (key == "$TDCREATE") expectSameTimeOfHour(h.tdcreate, expected[0]);
            if (key == "$CLAYER") {
                const AdHandle layer = handleOf(expected[0]);
                EXPECT_EQ(adHandleCompare(&h.clayerHandle, &layer), 0) << expected[0];
            }
            if (key == "LAYERS") {
                EXPECT_EQ(dwg.get()->tableEntryCounts[AD_CONTROL_LAYER], std::stoi(expected[0]));
            }
            if (key == "$HANDSEED") {
                // The exporter gave out handles of its own; the file's seed
                // follows its highest object.
                AdHandle next = highestMapped(dwg.dwg());
                adHandleIncrement(&next);
                const AdHandle exported = handleOf(expected[0]);
                EXPECT_EQ(adHandleCompare(&h.handseed, &next), 0);
                EXPECT_LE(adHandleCompare(&h.handseed, &exported), 0) << expected[0];
            }
        }
        EXPECT_EQ(h.handling, 1);
        EXPECT_EQ(dwg.get()->seedFromFile, 1);
        EXPECT_EQ(adHandleCompare(&dwg.get()->fileHandleSeed, &h.handseed), 0);
    }
}
#endif

// An AC1015 header section written row by row: every short holds the same
// value (so $CEPSNTYPE does too), every handle the next number.
struct SyntheticHeader {
    std::int32_t flagWord;
    std::int16_t shorts;
    bool nullHandles = false;
    AdHandle lastHandle{};
    AdHandle cepsnid{};

    // Writes the whole AC1015 order into the drawing's write buffer.
    void write(AdDrawing* drawing) {
        ASSERT_EQ(adBitBufferReset(drawing, 0), 1);
        for (const AdDwgVarSpan& span : adDwgHeaderOrderAc1015.spans)
            for (std::int32_t i = 0; i < span.count; ++i) writeRow(span.rows[i]);
    }

    void writeHandle() {
        if (!nullHandles) adHandleIncrement(&lastHandle);
        adBitWriteHandle(&lastHandle, 0x50);
    }

    void writeRow(const AdDwgVarRow& row) {
        static const double point[3] = {1.5, 2.5, 3.5};
        switch (row.kind) {
        case AD_DV_B:
        case AD_DV_DROP_BIT: adBitWriteBitFast(1); break;
        case AD_DV_RC: adBitWriteByte(7); break;
        case AD_DV_BS: adBitWriteShort(shorts); break;
        case AD_DV_BL: adBitWriteLong(1234); break;
        case AD_DV_BD: adBitWriteDouble(0.25); break;
        case AD_DV_2RD: adBitWritePoint2D(point); break;
        case AD_DV_3BD: adBitWrite3D(point); break;
        case AD_DV_T: adBitWriteText("text"); break;
        case AD_DV_FLAG_WORD: adBitWriteLong(flagWord); break;
        case AD_DV_CEPSNID:
            if (shorts != 3) break;
            writeHandle();
            cepsnid = lastHandle;
            break;
        default: writeHandle(); break;  // handles
        }
    }
};

TEST_F(DwgHeaderTest, Ac1015FlagWordAndPlotStyleHandle) {
    struct Case {
        std::int32_t flagWord;
        std::int16_t plotStyleType;
        std::uint8_t lwdisplay;
        std::uint8_t xedit;
        std::int16_t celweight;
        std::uint8_t extnames;
    };
    const Case cases[] = {
        {0, 3, 1, 1, 0, 0},
        {0x600 | 28, 2, 0, 0, -1, 0},
        {0x800 | 0x200 | 7, 3, 0, 1, 25, 1},
        {31, 1, 1, 1, -3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("flag word " + std::to_string(c.flagWord));
        AdDrawing* drawing = adCreateDrawing();
        ASSERT_NE(drawing, nullptr);
        AdHeaderVars header{};
        drawing->header = &header;
        drawing->version = 7;
        AdDwgFile* dwg = adDwgBeginFile(drawing);
        SyntheticHeader written{c.flagWord, c.plotStyleType};
        written.write(drawing);
        std::memcpy(adGlobals->buffer128kA, adGlobals->buffer128kB, AD_BIT_CHUNK_SIZE);
        adDwgBitStreamOver(drawing, 0, AD_BIT_CHUNK_SIZE);

        EXPECT_EQ(adDwgReadHeaderVars(drawing, dwg), 1);
        EXPECT_EQ(header.lwdisplay, c.lwdisplay);
        EXPECT_EQ(header.xedit, c.xedit);
        EXPECT_EQ(header.celweight, c.celweight);
        EXPECT_EQ(header.extnames, c.extnames);
        EXPECT_EQ(header.cepsntype, c.plotStyleType);
        EXPECT_EQ(adHandleCompare(&header.cepsnidHandle, &written.cepsnid), 0);
        // Every value after the optional handle lines up only if it was taken right.
        EXPECT_STREQ(header.versionguid, "text");
        EXPECT_EQ(adHandleCompare(&drawing->continuousLtype, &written.lastHandle), 0);
        EXPECT_DOUBLE_EQ(header.extmax[2], 3.5);
        drawing->header = nullptr;
        adDwgReleaseFile(drawing);
        adCloseDrawing(drawing);
    }
}

TEST(DwgHeaderUnits, Ac1014DimensionUnitsTakeTheAc1015Form) {
    struct Case {
        std::int16_t unit;
        std::int16_t expectedUnit;
        std::int16_t expectedFraction;
    };
    const Case cases[] = {{2, 2, 9}, {4, 4, 0}, {5, 5, 0}, {6, 4, 2}, {7, 5, 2}, {8, 6, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("unit " + std::to_string(c.unit));
        AdHeaderVars header{};
        header.dimlunit = c.unit;
        header.dimfrac = 9;
        adDimUnitToAc1015(&header);
        EXPECT_EQ(header.dimlunit, c.expectedUnit);
        EXPECT_EQ(header.dimfrac, c.expectedFraction);
    }
}

TEST_F(DwgHeaderTest, ANullTableControlHandleFailsTheOpen) {
    const std::filesystem::path original = dwgCorpusDir() / "ac1015_sample.dwg";
    if (!std::filesystem::exists(original)) GTEST_SKIP() << "no " << original;
    // Writes a header section of null handles behind the file and points the
    // header's locator at it.
    AdDrawing* scratch = adCreateDrawing();
    ASSERT_NE(scratch, nullptr);
    adDwgBeginFile(scratch);
    SyntheticHeader written{0, 0, true};
    written.write(scratch);
    std::string bytes = fileBytes(original);
    const std::uint32_t offset = static_cast<std::uint32_t>(bytes.size());
    const std::uint32_t sizes[2] = {AD_BIT_CHUNK_SIZE, 16 + 4 + AD_BIT_CHUNK_SIZE + 2 + 16};
    auto putLong = [&bytes](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
    };
    putLong(26, offset);
    putLong(30, sizes[1]);
    bytes.append(16, '\0');
    bytes.append(4, '\0');
    putLong(offset + 16, sizes[0]);
    bytes.append(reinterpret_cast<const char*>(adGlobals->buffer128kB), AD_BIT_CHUNK_SIZE);
    bytes.append(2 + 16, '\0');
    adDwgReleaseFile(scratch);
    adCloseDrawing(scratch);

    TempDir dir;
    OpenedDwg dwg(dir.write("null_handles.dwg", bytes));
    EXPECT_EQ(dwg.opened(), 0);
    EXPECT_EQ(dwg.error(), AD_ERR_DWG_HANDLE_MISSING);
}

}  // namespace
