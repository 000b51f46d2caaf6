// Fixed-record DWG files: the record cursor, the check and the open.
#include "toolkit/db/dwg/dwg_corpus.h"
#include "r12_bytes.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/db/twin_lines.h"
#include "toolkit/ad.h"
#include "toolkit/db/r12/dwg_r12.h"
#include "toolkit/db/dwg/dwg_read.h"
#include "toolkit/db/r12/r12_read.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ScalarCase {
    const char* what;
    std::vector<std::uint8_t> bytes;
    int kind;  // 0 byte, 1 short, 2 long, 3 double
    double expected;
    int overrun;
};

double readScalar(AdR12Record* r, int kind) {
    switch (kind) {
    case 0: return adR12ReadByte(r);
    case 1: return adR12ReadShort(r);
    case 2: return adR12ReadLong(r);
    default: return adR12ReadDouble(r);
    }
}

TEST(R12Record, ScalarsAreLittleEndianAndShortRecordsGiveZero) {
    const ScalarCase cases[] = {
        {"byte", {0xFE}, 0, 254, 0},
        {"negative short", {0xFE, 0xFF}, 1, -2, 0},
        {"long", {0x78, 0x56, 0x34, 0x12}, 2, 0x12345678, 0},
        {"negative long", {0xFF, 0xFF, 0xFF, 0xFF}, 2, -1, 0},
        {"double 1.5", {0, 0, 0, 0, 0, 0, 0xF8, 0x3F}, 3, 1.5, 0},
        {"denormal reads 0", {1, 0, 0, 0, 0, 0, 0x0F, 0x00}, 3, 0.0, 0},
        {"infinity reads 0", {0, 0, 0, 0, 0, 0, 0xF0, 0x7F}, 3, 0.0, 0},
        {"NaN reads 0", {0, 0, 0, 0, 0, 0, 0xF8, 0xFF}, 3, 0.0, 0},
        {"smallest normal kept", {0, 0, 0, 0, 0, 0, 0x10, 0x00}, 3, 2.2250738585072014e-308, 0},
        {"short from one byte", {0x05}, 1, 0, 1},
        {"long from three bytes", {1, 2, 3}, 2, 0, 1},
        {"double from seven bytes", {0, 0, 0, 0, 0, 0, 0xF8}, 3, 0, 1},
        {"byte from nothing", {}, 0, 0, 1},
    };
    for (const ScalarCase& c : cases) {
        AdR12Record r;
        adR12BeginRecord(&r, c.bytes.data(), static_cast<std::int32_t>(c.bytes.size()));
        EXPECT_EQ(readScalar(&r, c.kind), c.expected) << c.what;
        EXPECT_EQ(r.overrun, c.overrun) << c.what;
    }
}

TEST(R12Record, OverrunSticksAndLaterReadsGiveZeros) {
    const std::uint8_t bytes[] = {1, 2, 3, 4, 5};
    AdR12Record r;
    adR12BeginRecord(&r, bytes, 5);
    EXPECT_EQ(adR12ReadLong(&r), 0x04030201);
    double p[3] = {9, 9, 9};
    adR12Read3D(&r, p);
    EXPECT_EQ(r.overrun, 1);
    EXPECT_EQ(p[0], 0.0);
    EXPECT_EQ(p[2], 0.0);
    // The byte that was left is not handed out after the overrun.
    EXPECT_EQ(adR12ReadByte(&r), 0);
}

struct TextCase {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::int32_t limit;
    int answer;
    const char* text;
    int overrun;
    std::uint8_t after;  // the byte read next, showing where the cursor stands
};

TEST(R12Record, TextsAreCutToTheirFieldAndKeepTheRecordAligned) {
    const TextCase cases[] = {
        {"fits", {3, 0, 'A', 'B', 'C', 7}, 8, 1, "ABC", 0, 7},
        {"exactly fills the field", {3, 0, 'A', 'B', 'C', 7}, 4, 1, "ABC", 0, 7},
        {"empty", {0, 0, 7}, 8, 1, "", 0, 7},
        {"negative length counts as 0", {0xFF, 0xFF, 7}, 8, 1, "", 0, 7},
        {"over-long is cut and skipped", {5, 0, 'A', 'B', 'C', 'D', 'E', 7}, 3, 0, "AB", 0, 7},
        {"runs past the record", {9, 0, 'A', 'B'}, 8, 0, "", 1, 0},
        {"no length", {4}, 8, 0, "", 1, 0},
    };
    for (const TextCase& c : cases) {
        AdR12Record r;
        adR12BeginRecord(&r, c.bytes.data(), static_cast<std::int32_t>(c.bytes.size()));
        char out[8];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(adR12ReadString(&r, out, c.limit), c.answer) << c.what;
        EXPECT_STREQ(out, c.text) << c.what;
        EXPECT_EQ(adR12ReadByte(&r), c.after) << c.what;
        EXPECT_EQ(r.overrun, c.overrun) << c.what;
    }
}

TEST(R12Record, FixedWidthTextsStopAtTheirNulAndTheirField) {
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::int32_t width;
        std::int32_t size;
        const char* text;
        int overrun;
        std::uint8_t after;
    } cases[] = {
        {"padded with NULs", {'A', 'B', 0, 0, 7}, 4, 8, "AB", 0, 7},
        {"filling the field", {'A', 'B', 'C', 'D', 7}, 4, 8, "ABCD", 0, 7},
        {"cut at the output", {'A', 'B', 'C', 'D', 7}, 4, 3, "AB", 0, 7},
        {"past the record", {'A', 'B'}, 4, 8, "", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AdR12Record r;
        adR12BeginRecord(&r, c.bytes.data(), static_cast<std::int32_t>(c.bytes.size()));
        char out[8];
        std::memset(out, 'x', sizeof out);
        adR12ReadText(&r, c.width, out, c.size);
        EXPECT_STREQ(out, c.text);
        EXPECT_EQ(adR12ReadByte(&r), c.after);
        EXPECT_EQ(r.overrun, c.overrun);
    }
}

class R12FileTest : public StartedToolkit {};

int checkFile(const std::string& path, int mode) {
    HostFile* file = HostOpenRead(path.c_str());
    if (!file) return -1;
    const int failed = adDwgCheckFile(file, mode);
    HostClose(file);
    return failed;
}

TEST_F(R12FileTest, EveryFixedHeaderFilePassesItsCheckAndOpens) {
    const std::vector<std::filesystem::path> files = fixedHeaderCorpus();
    if (files.empty()) GTEST_SKIP() << "no AC1002..AC1009 DWG files under " << dwgCorpusDir();
    for (const std::filesystem::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        for (int mode : {AD_DWG_CHECK_QUICK, AD_DWG_CHECK_FULL}) {
            EXPECT_EQ(checkFile(path.string(), mode), 0);
            EXPECT_EQ(adGlobals->errorCode, 0);
        }
        OpenedDwg dwg(path.string());
        ASSERT_EQ(dwg.opened(), 1) << dwg.error();
        const AdDwgFile* f = dwg.dwg();
        EXPECT_EQ(std::string(dwg.get()->header->acadver), versionOf(path));
        EXPECT_LE(f->entitiesStart, f->entitiesEnd);
        EXPECT_LE(f->entitiesEnd, f->fileLength);
        EXPECT_LE(f->blocksStart, f->blocksEnd);
        EXPECT_LE(f->blocksEnd, f->fileLength);
        EXPECT_LE(f->extrasEnd, f->fileLength);
        for (int i = 0; i < AD_TABLE_CONTROL_COUNT; ++i)
            EXPECT_EQ(dwg.get()->tableEntryCounts[i], f->fixedTables[i].count);
        EXPECT_GT(dwg.get()->tableEntryCounts[AD_CONTROL_LAYER], 0);
    }
}

TEST_F(R12FileTest, VersionsBeforeTheFixedHeaderFailWithTheVersionError) {
    for (const char* name : {"ac1_40_entities.dwg", "ac2_10_entities.dwg"}) {
        SCOPED_TRACE(name);
        const std::filesystem::path path = dwgCorpusDir() / name;
        if (!std::filesystem::exists(path)) GTEST_SKIP() << path;
        EXPECT_EQ(checkFile(path.string(), AD_DWG_CHECK_QUICK), 0);
        OpenedDwg dwg(path.string());
        EXPECT_EQ(dwg.opened(), 0);
        EXPECT_EQ(dwg.error(), AD_ERR_UNSUPPORTED_VERSION);
    }
}

struct DamageCase {
    const char* what;
    const char* file;
    std::function<void(std::string&)> damage;
    bool restamp;
    std::int32_t checkError;  // 0: the check passes
    std::int16_t detail;
    std::int32_t openError;  // 0: the open succeeds
};

TEST_F(R12FileTest, DamagedHeadersGiveTheirErrors) {
    const DamageCase cases[] = {
        {"a header byte flipped", "ac1009_blank.dwg", [](std::string& b) { b[300] ^= 0x40; }, false, 185, 0, 185},
        {"the stored CRC flipped", "ac1009_blank.dwg",
         [](std::string& b) { b[static_cast<std::size_t>(headerLength(b) - 18)] ^= 1; }, false, 185, 0, 185},
        {"a header longer than any", "ac1009_blank.dwg", [](std::string& b) { put32(b, 20, 0x900); }, false, 184, 0,
         184},
        {"entities ending past the file", "ac1009_blank.dwg",
         [](std::string& b) { put32(b, 24, static_cast<std::int32_t>(b.size()) + 1); }, true, 186, 2, 186},
        {"blocks starting before the file", "ac1009_blank.dwg", [](std::string& b) { put32(b, 28, -5); }, true, 186, 3,
         186},
        {"extras starting past the file", "ac1009_blank.dwg",
         [](std::string& b) { put32(b, 36, static_cast<std::int32_t>(b.size()) + 9); }, true, 186, 5, 186},
        {"BLOCK records past the file", "ac1009_blank.dwg",
         [](std::string& b) {
             put32(b, 50, static_cast<std::int32_t>(b.size()));
             put32(b, 46, 1);
         },
         true, 186, 7, 186},
        {"a negative LAYER count", "ac1009_blank.dwg", [](std::string& b) { put32(b, 56, -1); }, true, 186, 8, 186},
        {"viewport-entity headers past the file", "ac1009_blank.dwg", [](std::string& b) { put32(b, 1697, 100000); },
         true, 186, 16, 186},
        // Without the format word that marks a CRC the header is not checked.
        {"no CRC to check", "ac1009_blank.dwg",
         [](std::string& b) {
             put16(b, 0x11, 0xCC);
             b[300] ^= 0x40;
         },
         false, 0, 0, 0},
        // Cut short inside its blocks (its extras moved before them, so that
        // every section still starts in the file), with viewport-entity headers.
        {"cut short with viewport-entity headers", "ac1009_aceb10_tables.dwg",
         [](std::string& b) {
             put32(b, 36, get32(b, 20));
             restampHeader(b);
             b.resize(static_cast<std::size_t>(get32(b, 28)) + 100);
         },
         false, 0, 0, AD_ERR_DWG_TRUNCATED_VIEWS},
        // Older files carry no CRC and pass the check, yet the open still
        // refuses sections outside the file.
        {"an AC1003 file with entities past its end", "ac1003_blank.dwg",
         [](std::string& b) { put32(b, 24, static_cast<std::int32_t>(b.size()) + 1); }, false, 0, 2, 186},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes;
        if (!readCorpusFile(c.file, &bytes)) GTEST_SKIP() << c.file;
        c.damage(bytes);
        if (c.restamp) restampHeader(bytes);
        TempDir dir;
        const std::string path = dir.write("damaged.dwg", bytes);
        EXPECT_EQ(checkFile(path, AD_DWG_CHECK_QUICK), c.checkError ? 1 : 0);
        EXPECT_EQ(adGlobals->errorCode, c.checkError);
        if (c.checkError == 186) {
            EXPECT_EQ(adGlobals->dwgCheckDetail, c.detail);
        }
        OpenedDwg dwg(path);
        EXPECT_EQ(dwg.opened(), c.openError ? 0 : 1);
        EXPECT_EQ(dwg.error(), c.openError);
        if (c.openError == 186) {
            EXPECT_EQ(adGlobals->dwgCheckDetail, c.detail);
        }
    }
}

#ifndef _WIN32
// What the twins' headers say, as NAME KEY VALUES... lines of the script.
std::map<std::string, std::vector<std::vector<std::string>>> headerTwins() {
    std::map<std::string, std::vector<std::vector<std::string>>> twins;
    for (const std::vector<std::string>& line : twinLines("dwg/dwg_header_twins.py", "fixed")) {
        std::istringstream split(line.empty() ? "" : line[0]);
        std::vector<std::string> words;
        for (std::string word; split >> word;) words.push_back(word);
        if (words.size() < 3) continue;
        twins[words[0]].push_back(std::vector<std::string>(words.begin() + 1, words.end()));
    }
    return twins;
}

TEST_F(R12FileTest, HeadersAgreeWithTheDxfTwins) {
    if (const std::string why = pythonOracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
    const auto twins = headerTwins();
    if (twins.empty()) GTEST_SKIP() << "no AC1002..AC1009 DWG with a DXF twin under " << dwgCorpusDir();
    for (const auto& [name, values] : twins) {
        SCOPED_TRACE(name);
        OpenedDwg dwg((dwgCorpusDir() / (name + ".dwg")).string());
        ASSERT_EQ(dwg.opened(), 1) << dwg.error();
        const AdHeaderVars& h = *dwg.get()->header;
        const std::map<std::string, const double*> points = {
            {"$EXTMIN", h.extmin}, {"$EXTMAX", h.extmax}, {"$LIMMIN", h.limmin}, {"$LIMMAX", h.limmax}};
        for (const std::vector<std::string>& v : values) {
            SCOPED_TRACE(v[0]);
            // The twins print six decimals.
            if (points.count(v[0])) {
                for (std::size_t i = 1; i < v.size(); ++i) EXPECT_NEAR(points.at(v[0])[i - 1], std::stod(v[i]), 1e-6);
            }
            if (v[0] == "$DIMSCALE") {
                EXPECT_NEAR(h.dimscale, std::stod(v[1]), 1e-9);
            }
            // The twins were written apart from the drawings, a moment later.
            if (v[0] == "$TDCREATE") {
                const double date = std::stod(v[1]);
                EXPECT_EQ(h.tdcreate.day, static_cast<std::int32_t>(std::floor(date)));
                EXPECT_NEAR(h.tdcreate.milliseconds, (date - std::floor(date)) * 86400000.0, 60000.0);
            }
            if (v[0] == "$HANDSEED") {
                AdHandle seed{};
                adHexToHandle(v[1].c_str(), &seed);
                EXPECT_EQ(adHandleCompare(&h.handseed, &seed), 0);
            }
        }
    }
}
#endif

TEST_F(R12FileTest, TheFullCheckFindsDamagedRecords) {
    const struct {
        const char* what;
        const char* file;
        std::function<void(std::string&)> damage;
        std::int32_t error;
        std::int16_t detail;
    } cases[] = {
        {"an entity byte", "ac1009_line.dwg",
         [](std::string& b) { b[static_cast<std::size_t>(get32(b, 20)) + 10] ^= 1; }, 187, 3},
        {"an entity of type 0", "ac1009_line.dwg",
         [](std::string& b) { b[static_cast<std::size_t>(get32(b, 20))] = 0; }, 187, 1},
        {"an entity of no length", "ac1009_line.dwg",
         [](std::string& b) { put16(b, static_cast<std::size_t>(get32(b, 20)) + 2, 0); }, 187, 2},
        {"an entity longer than its section", "ac1009_line.dwg",
         [](std::string& b) { put16(b, static_cast<std::size_t>(get32(b, 20)) + 2, 0x4000); }, 187, 2},
        {"a LAYER record byte", "ac1009_line.dwg", [](std::string& b) { b[recordAt(b, 54, 0) + 3] ^= 1; }, 189, 3},
        {"a viewport-entity header byte", "ac1009_aceb10_tables.dwg",
         [](std::string& b) { b[recordAt(b, 1695, 0) + 3] ^= 1; }, 197, 3},
        {"a block entity byte", "ac1009_insert.dwg",
         [](std::string& b) { b[static_cast<std::size_t>(get32(b, 28)) + 6] ^= 1; }, 198, 3},
        {"the trailer", "ac1009_line.dwg", [](std::string& b) { b[b.size() - 100] ^= 1; }, 200, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes;
        if (!readCorpusFile(c.file, &bytes)) GTEST_SKIP() << c.file;
        TempDir dir;
        EXPECT_EQ(checkFile(dir.write("sound.dwg", bytes), AD_DWG_CHECK_FULL), 0);
        c.damage(bytes);
        const std::string path = dir.write("damaged.dwg", bytes);
        EXPECT_EQ(checkFile(path, AD_DWG_CHECK_QUICK), 0);
        EXPECT_EQ(checkFile(path, AD_DWG_CHECK_FULL), 1);
        EXPECT_EQ(adGlobals->errorCode, c.error);
        EXPECT_EQ(adGlobals->dwgCheckDetail, c.detail);
    }
}

struct VariableCase {
    const char* what;
    const char* file;
    std::function<void(std::string&)> change;
    std::function<std::int32_t(const AdDrawing*)> value;
    std::int32_t expected;
};

TEST_F(R12FileTest, HeaderVariablesFollowTheirVersionAndFormatRules) {
    const auto none = [](std::string&) {};
    const auto treeDepth = [](const AdDrawing* d) { return std::int32_t{d->header->treedepth}; };
    const auto mirrText = [](const AdDrawing* d) { return std::int32_t{d->header->mirrtext}; };
    const auto worldView = [](const AdDrawing* d) { return std::int32_t{d->header->worldview}; };
    const auto userI1 = [](const AdDrawing* d) { return std::int32_t{d->header->useri[0]}; };
    const auto linetypeIndex = [](const AdDrawing*) {
        return std::int32_t{adGlobals->headerIndexes[AD_HEADER_INDEX_LINETYPE]};
    };
    const auto seedLow = [](const AdDrawing* d) { return d->seedFromFile ? std::int32_t{d->fileHandleSeed.b[7]} : -1; };
    // An AC1009 header changed in one word keeps a CRC that matches.
    const auto stamped16 = [](std::size_t at, std::int32_t value) {
        return [=](std::string& b) {
            put16(b, at, value);
            restampHeader(b);
        };
    };
    const auto asAc1002 = [](std::string& b, std::uint16_t format, std::int16_t userI1) {
        b[5] = '2';
        put16(b, 0x11, format);
        put16(b, 879, userI1);
    };
    const VariableCase cases[] = {
        {"AC1009 tree depth 0 reads 3020", "ac1009_blank.dwg", none, treeDepth, 3020},
        {"AC1009 tree depth 5 stays", "ac1009_blank.dwg", stamped16(344, 5), treeDepth, 5},
        {"MIRRTEXT 5 reads 0", "ac1009_blank.dwg", stamped16(1005, 5), mirrText, 0},
        {"MIRRTEXT 1 stays", "ac1009_blank.dwg", stamped16(1005, 1), mirrText, 1},
        {"AC1006 gives WORLDVIEW 1 whatever its format word", "ac1006_blank.dwg",
         [](std::string& b) {
             put16(b, 0x11, 150);
             put16(b, 1308, 0);
         },
         worldView, 1},
        {"AC1009 reads WORLDVIEW", "ac1009_blank.dwg", stamped16(1308, 0), worldView, 0},
        {"AC1002 format word 100 has no user values", "ac1003_blank.dwg", [&](std::string& b) { asAc1002(b, 100, 7); },
         userI1, 0},
        {"AC1002 format word 105 has them", "ac1003_blank.dwg", [&](std::string& b) { asAc1002(b, 105, 7); }, userI1,
         7},
        {"old BYLAYER linetype index 256", "ac1003_entities.dwg", none, linetypeIndex, AD_LINETYPE_INDEX_BYLAYER},
        {"old BYBLOCK linetype index 255", "ac1003_blank.dwg", [](std::string& b) { put16(b, 797, 255); },
         linetypeIndex, AD_LINETYPE_INDEX_BYBLOCK},
        {"AC1009 index 0x7FFF stays", "ac1009_entities_2d.dwg", none, linetypeIndex, AD_LINETYPE_INDEX_BYLAYER},
        {"handle seed with handles on", "ac1006_handseed.dwg", none, seedLow, 5},
    };
    for (const VariableCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes;
        if (!readCorpusFile(c.file, &bytes)) GTEST_SKIP() << c.file;
        c.change(bytes);
        TempDir dir;
        OpenedDwg dwg(dir.write("changed.dwg", bytes));
        ASSERT_EQ(dwg.opened(), 1) << dwg.error();
        EXPECT_EQ(c.value(dwg.get()), c.expected);
    }
}

}  // namespace
