// The steps that finish a load: names and indexes become handles, arrow
// blocks, the named object tree of old drawings, the header's multiline style,
// the universal date, and real DXF files loaded whole.
#include "toolkit/ad.h"
#include "toolkit/db/host_fault.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/db/load_stages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "handle_values.h"
#include "started_toolkit.h"

namespace {

bool same(const AdHandle& a, const AdHandle& b) { return adHandleCompare(&a, &b) == 0; }
bool isNull(const AdHandle& h) { return adHandleLength(&h) == 0; }

// A drawing with a few records in each table the header refers to.
class LoadCompletion : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        d = adCreateDrawing();
        ASSERT_NE(d, nullptr);
        d->header = static_cast<AdHeaderVars*>(HostAlloc(sizeof(AdHeaderVars)));
        ASSERT_NE(d->header, nullptr);
        std::memset(d->header, 0, sizeof(AdHeaderVars));
        const AdHandle seed = H(0x100);
        adSetHandleSeed(d, &seed);
        d->byBlockLtype = H(0x20);
        d->byLayerLtype = H(0x21);
        addLayer("0", 0x10);
        addLayer("Walls", 0x11);
        addLtype("CONTINUOUS", 0x22);
        addLtype("DASHED", 0x23);
        addStyle("Standard", 0x30);
        addStyle("Notes", 0x31);
        AdDimStyleRecord dimStyle;
        adDefaultDimStyleRecord(d, &dimStyle);
        std::strcpy(dimStyle.name, "ISO");
        dimStyle.handle = H(0x40);
        ASSERT_EQ(adTableInsert(d, adDimStyleTable, &dimStyle, AD_LIST_AT_END, nullptr), 1);
        AdUcsRecord ucs;
        adDefaultUcsRecord(&ucs);
        std::strcpy(ucs.name, "Front");
        ucs.handle = H(0x50);
        ASSERT_EQ(adTableInsert(d, adUcsTable, &ucs, AD_LIST_AT_END, nullptr), 1);
        for (std::int16_t& index : adGlobals->headerIndexes) index = 0;
        for (char* name : adGlobals->headerNames) name[0] = '\0';
    }
    void TearDown() override {
        HostFailAllocationAfter(-1);
        adCloseDrawing(d);
        StartedToolkit::TearDown();
    }
    void addLayer(const char* name, std::uint64_t handle) {
        AdLayerRecord r;
        adDefaultLayerRecord(d, &r);
        std::strcpy(r.name, name);
        r.handle = H(handle);
        ASSERT_EQ(adLayerAdd(d, &r), 1);
    }
    void addLtype(const char* name, std::uint64_t handle) {
        AdLtypeRecord r;
        adDefaultLtypeRecord(&r);
        std::strcpy(r.name, name);
        r.handle = H(handle);
        ASSERT_EQ(adLtypeAdd(d, &r), 1);
    }
    void addStyle(const char* name, std::uint64_t handle) {
        AdStyleRecord r;
        adDefaultStyleRecord(&r);
        std::strcpy(r.name, name);
        r.handle = H(handle);
        ASSERT_EQ(adTableInsert(d, adStyleTable, &r, AD_LIST_AT_END, nullptr), 1);
    }
    void addBlock(const char* name, std::uint64_t handle) {
        AdStoredBlock r{};
        adDefaultBlockHeader(&r.header);
        std::strcpy(r.header.name, name);
        r.header.handle = H(handle);
        ASSERT_EQ(adTableInsert(d, adBlockTable, &r, AD_LIST_AT_END, nullptr), 1);
        adMarkBlockNameIndexStale(d);
    }
    static void name(AdHeaderNameSlot slot, const char* text) {
        std::snprintf(adGlobals->headerNames[slot], AD_HEADER_NAME_SIZE, "%s", text);
    }
    std::vector<std::string> entries(const AdDictionaryData& data) {
        std::vector<std::string> names;
        AdStream* stream = data.entries ? adStreamOpenRead(data.entries) : nullptr;
        AdNameRecord entry{};
        for (std::int32_t i = 0; stream && i < data.entryCount && adStreamReadNameRecord(stream, &entry); ++i)
            names.emplace_back(entry.name);
        if (stream) adStreamCloseRead(stream);
        return names;
    }

    AdDrawing* d = nullptr;
};

// DXF headers name their records in any case; what is missing gives the
// null handle, except the current layer (made) and the linetype (BYBLOCK).
TEST_F(LoadCompletion, DxfNamesBecomeHandles) {
    d->dxf = 1;
    d->version = 7;
    name(AD_HEADER_NAME_CLAYER, "WALLS");
    name(AD_HEADER_NAME_CELTYPE, "dashed");
    name(AD_HEADER_NAME_DIMSTYLE, "iso");
    name(AD_HEADER_NAME_UCSNAME, "FRONT");
    name(AD_HEADER_NAME_PUCSNAME, "Top");
    name(AD_HEADER_NAME_TEXTSTYLE, "notes");
    AdHeaderVars* h = d->header;
    ASSERT_EQ(adResolveHeaderReferences(d, h), 1);
    EXPECT_TRUE(same(h->clayerHandle, H(0x11)));
    EXPECT_TRUE(same(h->celtypeHandle, H(0x23)));
    EXPECT_TRUE(same(h->dimstyleHandle, H(0x40)));
    EXPECT_TRUE(same(h->ucsnameHandle, H(0x50)));
    EXPECT_TRUE(isNull(h->pucsnameHandle));
    EXPECT_TRUE(same(h->textstyleHandle, H(0x31)));
    EXPECT_TRUE(same(h->dimtxstyHandle, H(0x30))) << "no DIMTXSTY means Standard";

    name(AD_HEADER_NAME_CLAYER, "Doors");
    name(AD_HEADER_NAME_CELTYPE, "NoSuchType");
    name(AD_HEADER_NAME_DIMSTYLE, "*UNNAMED");
    ASSERT_EQ(adResolveHeaderReferences(d, h), 1);
    AdHandle doors{};
    ASSERT_EQ(adLayerHandleByName(d, "Doors", &doors), 1) << "a missing current layer is made";
    EXPECT_TRUE(same(h->clayerHandle, doors));
    EXPECT_TRUE(same(h->celtypeHandle, d->byBlockLtype));
    EXPECT_TRUE(isNull(h->dimstyleHandle));
}

// Older DWG headers give table positions; 32767 and 32766 are the BYLAYER and
// BYBLOCK linetypes, -1 no record, and the text style serves dimensions too.
TEST_F(LoadCompletion, R12IndexesBecomeHandles) {
    d->version = 4;
    std::int16_t* ix = adGlobals->headerIndexes;
    ix[AD_HEADER_INDEX_LAYER] = 1;
    ix[AD_HEADER_INDEX_LINETYPE] = AD_LINETYPE_INDEX_BYLAYER;
    ix[AD_HEADER_INDEX_TEXTSTYLE] = 1;
    ix[AD_HEADER_INDEX_DIMSTYLE] = -1;
    ix[AD_HEADER_INDEX_UCS] = 0;
    ix[AD_HEADER_INDEX_PAPER_UCS] = 5;
    AdHeaderVars* h = d->header;
    ASSERT_EQ(adResolveHeaderReferences(d, h), 1);
    EXPECT_TRUE(same(h->clayerHandle, H(0x11)));
    EXPECT_TRUE(same(h->celtypeHandle, d->byLayerLtype));
    EXPECT_TRUE(same(h->textstyleHandle, H(0x31)));
    EXPECT_TRUE(same(h->dimtxstyHandle, H(0x31)));
    EXPECT_TRUE(isNull(h->dimstyleHandle));
    EXPECT_TRUE(same(h->ucsnameHandle, H(0x50)));
    EXPECT_TRUE(isNull(h->pucsnameHandle)) << "beyond the table";

    ix[AD_HEADER_INDEX_LINETYPE] = 1;
    ASSERT_EQ(adResolveHeaderReferences(d, h), 1);
    EXPECT_TRUE(same(h->celtypeHandle, H(0x23)));
}

// A standard arrow's block is "_NAME"; a block named as the header gives it
// is the fallback, and no name means no block.
TEST_F(LoadCompletion, ArrowBlocksPreferTheUnderscoredName) {
    d->dxf = 1;
    d->version = 4;
    addBlock("ARCHTICK", 0x60);
    addBlock("_ARCHTICK", 0x61);
    addBlock("MYARROW", 0x62);
    AdHeaderVars* h = d->header;
    std::strcpy(h->dimblk, "ARCHTICK");
    std::strcpy(h->dimblk1, "MyArrow");
    std::strcpy(h->dimblk2, "NONE_SUCH");
    adResolveHeaderReferences(d, h);
    EXPECT_TRUE(same(h->dimblkHandle, H(0x61)));
    EXPECT_TRUE(same(h->dimblk1Handle, H(0x62)));
    EXPECT_TRUE(isNull(h->dimblk2Handle));
    EXPECT_TRUE(isNull(h->dimldrblkHandle));
}

// The tree every later drawing has: the root names exactly ACAD_GROUP and
// ACAD_MLINESTYLE, the latter holds "Standard" with elements at +-0.5.
TEST_F(LoadCompletion, R12DrawingGetsTheNamedObjectTree) {
    d->version = 4;
    ASSERT_EQ(adCompleteR12Objects(d, d->header, nullptr), 1);
    EXPECT_EQ(adObjectCount(d), 4);
    AdObjectHeader header{};
    AdObjectData data;
    ASSERT_EQ(adObjectByHandle(d, &d->namedObjectDictionary, &header, &data), 1);
    EXPECT_EQ(header.type, AD_OBJECT_DICTIONARY);
    EXPECT_EQ(entries(data.dictionary), (std::vector<std::string>{"ACAD_GROUP", "ACAD_MLINESTYLE"}));
    AdHandle groups{}, styles{}, standard{};
    ASSERT_EQ(adDictionaryFindEntry(d, &d->namedObjectDictionary, "ACAD_GROUP", &groups), 1);
    ASSERT_EQ(adDictionaryFindEntry(d, &d->namedObjectDictionary, "ACAD_MLINESTYLE", &styles), 1);
    EXPECT_TRUE(same(groups, d->groupDictionary));
    EXPECT_TRUE(same(styles, d->mlineStyleDictionary));
    ASSERT_EQ(adObjectByHandle(d, &groups, &header, &data), 1);
    EXPECT_EQ(data.dictionary.entryCount, 0);
    ASSERT_EQ(header.reactorCount, 1);
    ASSERT_EQ(adDictionaryFindEntry(d, &styles, "Standard", &standard), 1);
    EXPECT_TRUE(same(d->header->cmlstyleHandle, standard));
    ASSERT_EQ(adObjectByHandle(d, &standard, &header, &data), 1);
    EXPECT_EQ(header.type, AD_OBJECT_MLINESTYLE);
    EXPECT_STREQ(data.mlineStyle.name, "Standard");
    ASSERT_EQ(data.mlineStyle.elementCount, 2);
    AdStream* stream = adStreamOpenRead(data.mlineStyle.elements);
    AdMlineElement element{};
    std::vector<double> offsets;
    for (int i = 0; i < 2 && adStreamRead(stream, &element, sizeof element); ++i) {
        offsets.push_back(element.offset);
        EXPECT_EQ(element.colour, 256);
        EXPECT_EQ(element.linetypeIndex, 32767);
    }
    adStreamCloseRead(stream);
    EXPECT_EQ(offsets, (std::vector<double>{0.5, -0.5}));
}

// The header's multiline style is found by name in any case, or made.
TEST_F(LoadCompletion, HeaderMlineStyleFoundOrMade) {
    d->dxf = 1;
    d->version = 7;
    AdHandle found{};
    ASSERT_EQ(adFindStandardMlineStyle(d, &found), 1);
    EXPECT_EQ(adObjectCount(d), 1) << "no style named: Standard is made";
    AdHandle again{};
    name(AD_HEADER_NAME_CMLSTYLE, "STANDARD");
    ASSERT_EQ(adFindStandardMlineStyle(d, &again), 1);
    EXPECT_TRUE(same(found, again));
    EXPECT_EQ(adObjectCount(d), 1);
}

// The conversion uses the local time zone: each test pins it.
void setZone(const char* tz) {
#ifdef _WIN32
    _putenv_s("TZ", tz);
    _tzset();
#else
    setenv("TZ", tz, 1);
    tzset();
#endif
}

class UniversalDate : public testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        saved = tz ? tz : "";
    }
    void TearDown() override { setZone(saved.c_str()); }
    std::string saved;
};

// Local 12:00 in UTC+2 (no daylight saving) is 10:00 universal; a date that
// is set is left alone.
TEST_F(UniversalDate, DerivedFromLocalTimeAndZone) {
    setZone("XXX-2");
    AdJulianDate local{};
    adDateToJulian(15, 3, 2001, 12, 0, 0, &local);
    AdJulianDate universal{};
    adDefaultUniversalDate(&local, &universal);
    AdJulianDate expected{};
    adDateToJulian(15, 3, 2001, 10, 0, 0, &expected);
    EXPECT_EQ(universal.day, expected.day);
    EXPECT_EQ(universal.milliseconds, expected.milliseconds);

    AdJulianDate kept = local;
    adDefaultUniversalDate(&local, &kept);
    EXPECT_EQ(kept.milliseconds, local.milliseconds);

    setZone("UTC");
    universal = AdJulianDate{};
    adDefaultUniversalDate(&local, &universal);
    EXPECT_EQ(universal.day, local.day);
    EXPECT_EQ(universal.milliseconds, local.milliseconds);
}

// Real files go through OBJECTS and every completion step.
// The DIMSTYLE completion of a DWG drawing before AC1015 (the fixture's
// style "ISO"), and of an AC1015 one, which keeps its values.
TEST_F(LoadCompletion, DwgDimFitSplitBeforeAc1015) {
    for (const auto& [version, fit, move] : {std::tuple{6, 3, 2}, std::tuple{7, 5, 0}}) {
        d->dxf = 0;
        d->version = static_cast<std::int16_t>(version);
        d->header->dimatfit = 5;
        d->header->dimtmove = 0;
        const AdHandle iso = H(0x40);
        AdDimStyleRecord style;
        ASSERT_EQ(adDimStyleByHandle(d, &iso, &style), 1);
        style.dimfit = 5;
        style.dimtmove = 0;
        ASSERT_EQ(adDimStyleUpdate(d, &style), 1);
        adLoadCompletion(d);
        EXPECT_EQ(d->header->dimatfit, fit) << version;
        EXPECT_EQ(d->header->dimtmove, move) << version;
        ASSERT_EQ(adDimStyleByHandle(d, &iso, &style), 1);
        EXPECT_EQ(style.dimfit, fit) << version;
        EXPECT_EQ(style.dimtmove, move) << version;
    }
}

TEST_F(LoadCompletion, RealDxfFilesLoadWhole) {
    const std::string root = VT_SHARED_DATA_DIR;
    if (!std::filesystem::exists(root + "/dxf/ac1015_example.dxf")) GTEST_SKIP() << "no real files in " << root;
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    // A release-12 file gets the four objects of the named-object tree.
    struct Case {
        const char* file;
        std::int32_t minObjects;
    };
    for (const Case& c : {Case{"/dxf/ac1009_example.dxf", 4}, Case{"/dxf/ac1015_example.dxf", 100},
                          Case{"/dxf/ac1015_images.dxf", 100}}) {
        AdDrawing* drawing = adOpenDrawing((root + c.file).c_str(), 1, 0);
        ASSERT_NE(drawing, nullptr) << c.file << " error " << adGlobals->errorCode;
        AdHeaderVars* h = drawing->header;
        EXPECT_FALSE(isNull(h->clayerHandle)) << c.file;
        EXPECT_GE(adObjectCount(drawing), c.minObjects) << c.file;
        EXPECT_FALSE(isNull(h->cmlstyleHandle)) << c.file;
        if (drawing->version == 7) {
            EXPECT_FALSE(isNull(drawing->plotStyleDictionary)) << c.file;
        }
        EXPECT_FALSE(h->tducreate.day == 0 && h->tducreate.milliseconds == 0) << c.file;
        adCloseDrawing(drawing);
    }
}

}  // namespace

namespace {

std::vector<std::string> rootEntries(AdDrawing* drawing) {
    std::vector<std::string> names;
    AdObjectHeader header{};
    AdObjectData data;
    if (!adObjectRewind(drawing) || !adObjectNext(drawing, &header, &data) || header.type != AD_OBJECT_DICTIONARY)
        return names;
    AdStream* stream = data.dictionary.entries ? adStreamOpenRead(data.dictionary.entries) : nullptr;
    AdNameRecord entry{};
    for (std::int32_t i = 0; stream && i < data.dictionary.entryCount && adStreamReadNameRecord(stream, &entry); ++i)
        names.emplace_back(entry.name);
    if (stream) adStreamCloseRead(stream);
    return names;
}

bool has(const std::vector<std::string>& names, const char* name) {
    for (const std::string& n : names)
        if (n == name) return true;
    return false;
}

// "Model" and "Layout1" in the layout dictionary, linked both ways with the
// model and paper space block records.
void expectNewLayouts(AdDrawing* d) {
    AdHandle model{}, layout1{};
    EXPECT_EQ(adDictionaryFindEntry(d, &d->layoutDictionary, "Model", &model), 1);
    EXPECT_EQ(adDictionaryFindEntry(d, &d->layoutDictionary, "Layout1", &layout1), 1);
    AdBlockHeader block{};
    EXPECT_EQ(adBlockByHandle(d, &d->modelSpaceBlock, &block), 1);
    EXPECT_TRUE(same(block.layout, model));
    EXPECT_EQ(adBlockByHandle(d, &d->paperSpaceBlock, &block), 1);
    EXPECT_TRUE(same(block.layout, layout1));
    AdObjectHeader header{};
    AdObjectData data;
    EXPECT_EQ(adObjectByHandle(d, &model, &header, &data), 1);
    EXPECT_NE(data.layout.plotSettings.layoutFlags & 1024, 0);
    EXPECT_TRUE(same(data.layout.paperSpaceBlock, d->modelSpaceBlock));
}

class R2000Upgrade : public StartedToolkit, public testing::WithParamInterface<const char*> {};

// An older file opened with the upgrade flag gains the AC1015 layouts and
// dictionaries, linked to the space blocks; opened without it, none.
TEST_P(R2000Upgrade, OnlyWithTheFlag) {
    const std::string path = std::string(VT_SHARED_DATA_DIR) + GetParam();
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no real file " << path;
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    AdDrawing* plain = adOpenDrawing(path.c_str(), 1, 0);
    ASSERT_NE(plain, nullptr) << adGlobals->errorCode;
    const std::vector<std::string> before = rootEntries(plain);
    EXPECT_FALSE(has(before, "ACAD_PLOTSTYLENAME"));
    EXPECT_TRUE(isNull(plain->plotStyleDictionary));
    adCloseDrawing(plain);

    AdDrawing* d = adOpenDrawing(path.c_str(), 1, 1);
    ASSERT_NE(d, nullptr) << adGlobals->errorCode;
    const std::vector<std::string> after = rootEntries(d);
    for (const char* entry : {"ACAD_LAYOUT", "ACAD_PLOTSETTINGS", "ACAD_PLOTSTYLENAME"})
        EXPECT_TRUE(has(after, entry)) << entry;
    for (const std::string& kept : before) EXPECT_TRUE(has(after, kept.c_str())) << kept;
    EXPECT_FALSE(isNull(d->plotStyleDictionary));
    // Layouts the file had already are kept as they are.
    if (!has(before, "ACAD_LAYOUT")) expectNewLayouts(d);
    adCloseDrawing(d);
}

INSTANTIATE_TEST_SUITE_P(OlderFiles, R2000Upgrade,
                         testing::Values("/dxf/ac1014_example.dxf", "/dxf/ac1009_example.dxf"));

}  // namespace
