// The DXF writer of AC1012..AC1015 on small drawings: the sections of the
// layout, light-weight polylines per version, class entries, MTEXT pieces,
// kept group data and write failures that must fail the record.
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/db/host_file.h"
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/write/dxf/dxf_entity_groups.h"
#include "toolkit/write/dxf/dxf_objects.h"
#include "toolkit/write/dxf/dxf_table_records.h"
#include "drawing_text.h"
#include "output_file.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {
class DxfR13Writer : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDxfReadOps();
        // A closed 2D POLYLINE with linetype generation, which the reader
        // makes an LWPOLYLINE.
        const std::string polyline = dxfGroups({{0, "POLYLINE"}, {8, "0"}, {66, "1"}, {70, "129"}, {0, "VERTEX"}, {8, "0"},
                                                {10, "0"}, {20, "0"}, {0, "VERTEX"}, {8, "0"}, {10, "1"}, {20, "0"},
                                                {0, "VERTEX"}, {8, "0"}, {10, "1"}, {20, "1"}, {0, "SEQEND"}, {8, "0"}});
        drawing_ = adOpenDrawing(dir_.write("in.dxf", r12Drawing({"0"}, polyline)).c_str(), 1, 0);
        ASSERT_NE(drawing_, nullptr) << "error " << adGlobals->errorCode;
    }
    void TearDown() override {
        if (drawing_) adCloseDrawing(drawing_);
        StartedToolkit::TearDown();
    }
    std::string save(std::int16_t version, std::uint8_t format = AD_FORMAT_DXF_ASCII) {
        const std::string path = (dir_.path() / "out.dxf").string();
        EXPECT_EQ(adSaveDrawing(drawing_, path.c_str(), format, version, 1, 6, 0, 1), 1)
            << "error " << adGlobals->errorCode;
        std::ifstream in(path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    TempDir dir_;
    AdDrawing* drawing_ = nullptr;
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(DxfR13Writer, EachVersionHasTheSectionsAndPolylinesOfItsLayout) {
    struct Case {
        std::int16_t version;
        const char* maintenance;  // $ACADMAINTVER's line, null when absent
        bool lightweight;
    };
    const Case cases[] = {{5, nullptr, false}, {6, "$ACADMAINTVER\r\n 70\r\n", true}, {7, "$ACADMAINTVER\r\n 70\r\n     6\r\n", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(adVersionString(c.version));
        const std::string text = save(c.version);
        for (const char* section : {"CLASSES", "TABLES", "BLOCKS", "ENTITIES", "OBJECTS"})
            EXPECT_TRUE(has(text, std::string("  2\r\n") + section + "\r\n")) << section;
        EXPECT_TRUE(has(text, "  2\r\nBLOCK_RECORD\r\n  5\r\n"));
        EXPECT_EQ(has(text, "$ACADMAINTVER"), c.maintenance != nullptr);
        if (c.maintenance) {
            EXPECT_TRUE(has(text, c.maintenance));
        }
        // Closed with linetype generation: 70 129, and only 10/20 per vertex.
        EXPECT_EQ(has(text, "AcDbPolyline\r\n 90\r\n        3\r\n 70\r\n   129\r\n 10\r\n0.0\r\n 20\r\n0.0\r\n 10\r\n1.0\r\n"),
                  c.lightweight);
        EXPECT_EQ(has(text, "  0\r\nVERTEX\r\n"), !c.lightweight);
        EXPECT_TRUE(has(text, "  0\r\nEOF\r\n"));
    }
    const std::string binary = save(7, AD_FORMAT_DXF_BINARY);
    EXPECT_EQ(binary.substr(22, 10), std::string("\0\0SECTION\0", 10)) << "group codes are two bytes";
}

TEST_F(DxfR13Writer, OlderClassEntriesCarryTheNamesTheirVersionsKnew) {
    struct Case {
        const char* dxfName;
        bool older;
        const char* application;
        const char* flags;
    };
    const Case cases[] = {
        {"WIPEOUT", true, "WipeOut|AutoCAD Express Tool|", "      127"},
        {"LAYOUT", true, "\"AutoCAD 2000\"", "        1"},
        {"IMAGEDEF_REACTOR", true, "ISM", "        1"},
        {"MYCLASS", true, "MyApp", "       42"},
        {"WIPEOUT", false, "MyApp", "       42"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dxfName);
        OutputFile file(c.older ? 6 : 7, AD_FORMAT_DXF_ASCII);
        adDxfSetNumberFormat(file.get(), 1, 6, 0);
        AdClassRecord record{};
        std::snprintf(record.dxfName, sizeof record.dxfName, "%s", c.dxfName);
        std::snprintf(record.className, sizeof record.className, "AcDbThing");
        std::snprintf(record.applicationName, sizeof record.applicationName, "MyApp");
        record.proxyFlags = 42;
        record.isEntity = AD_ENTITY_PROXY;
        ASSERT_EQ(c.older ? adDxfWriteClassR13(file.get(), &record) : adDxfWriteClass(file.get(), &record), 1);
        const std::string text = file.bytes();
        EXPECT_TRUE(has(text, std::string("  3\r\n") + c.application)) << text;
        EXPECT_TRUE(has(text, std::string(" 90\r\n") + c.flags + "\r\n")) << text;
        EXPECT_TRUE(has(text, "281\r\n     1\r\n")) << "an entity class";
    }
}


TEST_F(DxfR13Writer, MtextPiecesStayWithinTheirBufferAndKeepDoubleByteCharacters) {
    struct Case {
        std::size_t length;
        int codePage;
        std::size_t leadAt;  // a lead byte here; past the text: none
        std::vector<std::pair<int, std::size_t>> pieces;
    };
    // A double-byte code page of the built-in tables and one of its lead bytes.
    int doubleByte = 0;
    int lead = 0;
    for (int page = 0; page < AD_CODE_PAGE_COUNT && !lead; ++page)
        for (int byte = 0x81; byte < 0xFF && !lead; ++byte)
            if (adIsLeadByte(page, byte)) {
                doubleByte = page;
                lead = byte;
            }
    ASSERT_NE(lead, 0) << "no double-byte code page";
    const Case cases[] = {
        {600, 0, 1000, {{3, 249}, {3, 249}, {1, 102}}},
        {249, 0, 1000, {{1, 249}}},
        // The lead byte at 248 would have its second byte in the next piece.
        {300, doubleByte, 248, {{3, 248}, {1, 52}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        std::string text(c.length, 'a');
        if (c.leadAt < c.length) text[c.leadAt] = static_cast<char>(lead);
        OutputFile file(7, AD_FORMAT_DXF_ASCII);
        adDxfSetNumberFormat(file.get(), 1, 6, 0);
        ASSERT_EQ(adDxfWriteMtextText(file.get(), text.data(), text.size(), c.codePage), 1);
        const auto groups = groupsOf(file.bytes());
        ASSERT_EQ(groups.size(), c.pieces.size());
        for (std::size_t i = 0; i < groups.size(); ++i) {
            EXPECT_EQ(groups[i].first, c.pieces[i].first);
            EXPECT_EQ(groups[i].second.size(), c.pieces[i].second);
        }
    }
    // An inline text longer than the piece buffer is cut to it, not written
    // past it.
    const std::string inline600(600, 'b');
    OutputFile file(7, AD_FORMAT_DXF_ASCII);
    adDxfSetNumberFormat(file.get(), 1, 6, 0);
    ASSERT_EQ(adDxfWriteMtextPiece(file.get(), inline600.data(), inline600.size(), false), 1);
    const auto groups = groupsOf(file.bytes());
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].second, std::string(511, 'b'));
}

TEST_F(DxfR13Writer, KeptGroupDataLeavesOutChunksLongerThanItsBlock) {
    ASSERT_TRUE(adDxfEncodeStart(drawing_));
    const std::vector<std::uint8_t> small(3, 0xAB);
    const std::vector<std::uint8_t> huge(3000, 0xCD);
    ASSERT_TRUE(adEncodeShort(310) && adEncodeBytes(small.data(), 3));
    ASSERT_TRUE(adEncodeShort(310) && adEncodeBytes(huge.data(), 3000));
    ASSERT_TRUE(adEncodeShort(1) && adEncodeText("after"));
    ASSERT_TRUE(adEncodeShort(290) && adEncodeShort(1));
    ASSERT_TRUE(adEncodeShort(0));
    std::int32_t bits = 0;
    AdStore* data = adEncodeEnd(drawing_, &bits);
    ASSERT_NE(data, nullptr);
    OutputFile file(7, AD_FORMAT_DXF_ASCII);
    adDxfSetNumberFormat(file.get(), 1, 6, 0);
    EXPECT_EQ(adDxfWriteGroupData(file.get(), data, nullptr, 0), 1);
    adStoreFree(data);
    const std::string text = file.bytes();
    EXPECT_EQ(text, "310\r\nABABAB\r\n  1\r\nafter\r\n290\r\n     1\r\n");
}

#ifndef _WIN32
// Files of this process may grow to a few bytes only while it lives: a
// record's first groups are written, a later one fails.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, signal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*signal_)(int) = nullptr;
};

AdOutputDrawing* unbufferedOutput(const std::string& path) {
    AdOutputDrawing* output = adOpenOutputDrawing(path.c_str(), 7, AD_FORMAT_DXF_ASCII);
    if (output) {
        std::setvbuf(output->file->file, nullptr, _IONBF, 0);
        adDxfSetNumberFormat(output, 1, 6, 0);
    }
    return output;
}
#endif

TEST_F(DxfR13Writer, MultilineStylesAndLightweightPolylinesFailOnAFailedWrite) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a device that refuses writes";
#else
    AdObjectHeader header{};
    header.handle = AdHandle{{0, 0, 0, 0, 0, 0, 0, 0x40}};
    auto style = std::make_unique<AdMlineStyleData>();
    std::snprintf(style->name, sizeof style->name, "STANDARD");
    std::snprintf(style->description, sizeof style->description, "%s", std::string(200, 'd').c_str());
    const FileSizeLimit limit(64);
    AdOutputDrawing* output = unbufferedOutput((dir_.path() / "style.dxf").string());
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(adDxfWriteMlineStyle(drawing_, output, &header, style.get(), 0), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_WRITE);
    adCloseOutputDrawing(output);

    auto entity = std::make_unique<AdEntityHeader>();
    auto data = std::make_unique<AdEntityData>();
    entity->type = static_cast<std::uint16_t>(adClassNumLwpolyline(drawing_));
    ASSERT_GT(entity->type, 0);
    AdStore* vertices = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(vertices);
    const double vertex[3] = {1.0, 2.0, 0.5};
    for (int i = 0; i < 50; ++i) adStreamWrite(out, vertex, sizeof vertex);
    adStreamCloseWrite(out);
    data->lwpolyline = AdLwpolylineData{50, 16, 0.0, 0.0, vertices};
    output = unbufferedOutput((dir_.path() / "polyline.dxf").string());
    ASSERT_NE(output, nullptr);
    auto context = std::make_unique<AdDxfEntityContext>();
    context->source = drawing_;
    context->output = output;
    EXPECT_EQ(adDxfWriteClassEntity(context.get(), entity.get(), data.get()), 0);
    adStoreFree(vertices);
    adCloseOutputDrawing(output);
#endif
}

// Objects and entities of classes the reader does not know keep their
// groups; their references must come back where they stood, after the
// owner, not all dropped or moved behind the data.
TEST_F(DxfR13Writer, KeptClassRecordsWriteTheirReferencesInPlace) {
    const auto cls = [](const char* name, const char* entity) {
        return dxfGroups({{0, "CLASS"}, {1, name}, {2, "AcDbKept"}, {3, "Test"}, {90, "0"}, {280, "0"}, {281, entity}});
    };
    const std::vector<std::pair<int, std::string>> object = {
        {0, "KEPTOBJ"}, {5, "A0"},  {330, "C"},  {100, "AcDbKept"}, {90, "1"},  {330, "C"},
        {360, "B0"},    {90, "2"},  {340, "B0"}, {1, "text"},       {350, "C"}};
    const std::vector<std::pair<int, std::string>> entity = {
        {0, "KEPTENT"}, {5, "B0"},     {100, "AcDbEntity"}, {8, "0"},   {100, "AcDbKept"},
        {90, "3"},      {340, "A0"},   {40, "2.5"},         {330, "A0"}};
    const std::string text =
        dxfGroups({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"}, {9, "$HANDSEED"}, {5, "200"},
                   {0, "ENDSEC"}, {0, "SECTION"}, {2, "CLASSES"}}) +
        cls("KEPTOBJ", "0") + cls("KEPTENT", "1") +
        dxfGroups({{0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}}) + dxfGroups(entity) +
        dxfGroups({{0, "ENDSEC"}, {0, "SECTION"}, {2, "OBJECTS"}, {0, "DICTIONARY"}, {5, "C"}, {330, "0"},
                   {100, "AcDbDictionary"}, {3, "KEPT"}, {350, "A0"}}) +
        dxfGroups(object) + dxfGroups({{0, "ENDSEC"}, {0, "EOF"}});
    AdDrawing* source = adOpenDrawing(dir_.write("kept.dxf", text).c_str(), 1, 0);
    ASSERT_NE(source, nullptr) << "error " << adGlobals->errorCode;
    std::swap(source, drawing_);
    const auto groups = groupsOf(save(AD_VERSION_AC1015));
    std::swap(source, drawing_);
    adCloseDrawing(source);
    // The record that starts with the name, up to the next 0 group, without
    // the common groups that the writer adds.
    const auto record = [&](const char* name) {
        std::vector<std::pair<int, std::string>> run;
        auto at = std::find(groups.begin(), groups.end(), std::pair<int, std::string>{0, name});
        for (; at != groups.end() && (run.empty() || at->first != 0); ++at)
            if (at->first != 67 && at->first != 410 && at->first != 8 && at->first != 102)
                run.push_back({at->first, at->second.substr(at->second.find_first_not_of(' '))});
        return run;
    };
    EXPECT_EQ(record("KEPTOBJ"), object);
    auto expectedEntity = entity;
    expectedEntity.erase(expectedEntity.begin() + 3);  // layer "0" left out with the common groups
    EXPECT_EQ(record("KEPTENT"), expectedEntity);
}

// Each table's count is the number of its records in the file; the
// BLOCK_RECORD table's counts the two spaces' records too.
TEST_F(DxfR13Writer, TableCountsAreTheRecordsWritten) {
    for (std::int16_t version = AD_VERSION_AC1012; version <= AD_VERSION_AC1015; ++version) {
        SCOPED_TRACE(adVersionString(version));
        const auto groups = groupsOf(save(version));
        int tables = 0;
        for (std::size_t i = 0; i + 1 < groups.size(); ++i) {
            if (groups[i] != std::pair<int, std::string>{0, "TABLE"}) continue;
            const std::string table = groups[i + 1].second;
            int count = -1;
            int records = 0;
            for (std::size_t j = i + 2; j < groups.size() && groups[j] != std::pair<int, std::string>{0, "ENDTAB"}; ++j) {
                if (count < 0 && groups[j].first == 70) count = std::stoi(groups[j].second);
                if (groups[j] == std::pair<int, std::string>{0, table}) ++records;
            }
            EXPECT_EQ(count, records) << table;
            ++tables;
        }
        EXPECT_EQ(tables, 9);
    }
}

TEST_F(DxfR13Writer, DictionariesOfOlderVersionsLoseTheLaterEntries) {
    AdDrawing* source = drawing_;
    AdObjectHeader header{};
    header.handle = source->namedObjectDictionary;
    ASSERT_NE(adHandleLength(&header.handle), 0);
    // A root dictionary with a later entry, a lower-case one and block
    // references.
    const char* names[] = {"ACAD_LAYOUT", "acad_group", "ACAD_BLKREFS"};
    AdStore* entries = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(entries);
    for (int i = 0; i < 3; ++i) {
        AdNameRecord record{};
        std::snprintf(record.name, sizeof record.name, "%s", names[i]);
        record.handle = AdHandle{{0, 0, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(0x50 + i)}};
        adStreamWrite(out, &record, sizeof record);
    }
    adStreamCloseWrite(out);
    AdDictionaryData data{3, entries, 1, 1};
    struct Case {
        std::int16_t version;
        const char* expected;
    };
    const Case cases[] = {
        {6, "  3\r\nACAD_GROUP\r\n350\r\n51\r\n  3\r\nACAD_BLKREFS\r\n360\r\n52\r\n"},
        {5, "  3\r\nACAD_GROUP\r\n350\r\n51\r\n  3\r\nACAD_BLKREFS\r\n350\r\n52\r\n"},
        {7, "280\r\n     1\r\n281\r\n     1\r\n  3\r\nACAD_LAYOUT\r\n350\r\n50\r\n  3\r\nacad_group\r\n350\r\n51\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(adVersionString(c.version));
        OutputFile file(c.version, AD_FORMAT_DXF_ASCII);
        adDxfSetNumberFormat(file.get(), 1, 6, 0);
        ASSERT_EQ(adDxfWriteDictionary(source, file.get(), &header, &data), 1);
        const std::string text = file.bytes();
        EXPECT_TRUE(has(text, c.expected)) << text;
        EXPECT_EQ(has(text, "ACAD_LAYOUT"), c.version == 7);
    }
    adStoreFree(entries);
}
}  // namespace
