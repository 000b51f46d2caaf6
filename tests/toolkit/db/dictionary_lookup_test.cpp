// Lookups through dictionaries: space blocks, exact entry names, walks that
// stop at the stored entries, variables, spatial filters and plot styles,
// all leaving the object cursor where it was.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "handle_values.h"
#include "object_fixture.h"

namespace {

using Entries = std::vector<std::pair<const char*, std::uint64_t>>;

// A drawing whose objects are built with the object operations: the root
// dictionary first, then whatever a test adds.
class DictionaryLookup : public ObjectTest {
protected:
    void SetUp() override {
        ObjectTest::SetUp();
        registerObjectClasses();
    }

    static AdStore* entryStore(const Entries& entries) {
        AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* stream = adStreamOpenWrite(store);
        for (const auto& [name, handle] : entries) {
            AdNameRecord record{};
            std::strcpy(record.name, name);
            record.handle = H(handle);
            adStreamWriteNameRecord(stream, &record);
        }
        adStreamCloseWrite(stream);
        return store;
    }

    void add(std::int16_t type, std::uint64_t handle, const void* data) {
        const AdObjectHeader h = header(type, handle);
        ASSERT_EQ(adObjectAdd(d, &h, data), 1);
    }
    void addDictionary(std::uint64_t handle, const Entries& entries) {
        AdDictionaryData data{};
        data.entryCount = static_cast<std::int32_t>(entries.size());
        data.entries = entryStore(entries);
        add(AD_OBJECT_DICTIONARY, handle, &data);
    }
    void addDictionaryWithDefault(std::uint64_t handle, const Entries& entries) {
        AdDictionaryWithDefaultData data{};
        data.entryCount = static_cast<std::int32_t>(entries.size());
        data.entries = entryStore(entries);
        data.defaultEntry = entries.empty() ? AdHandle{} : H(entries.front().second);
        add(adClassNumDictionaryWithDefault(d), handle, &data);
    }
    void addVar(std::uint64_t handle, const char* value) {
        AdDictionaryVarData data{};
        std::strcpy(data.value, value);
        add(adClassNumDictionaryVar(d), handle, &data);
    }
    void addObject(std::int16_t type, std::uint64_t handle) {
        AdObjectData data = zeroData();
        add(type, handle, &data);
    }

    // The handle of the object the cursor stands on, null at the end.
    std::uint64_t cursorObject() {
        AdObjectHeader h;
        AdObjectData data;
        return adObjectNext(d, &h, &data) ? V(h.handle) : 0;
    }
};

TEST_F(DictionaryLookup, SpaceBlockHandleByWhich) {
    d->paperSpaceBlock = H(0x1E);
    d->modelSpaceBlock = H(0x1F);
    AdHandle h = H(0x99);
    EXPECT_EQ(adSpaceBlockHandle(d, &h, AD_SPACE_PAPER), 1);
    EXPECT_EQ(V(h), 0x1Eu);
    EXPECT_EQ(adSpaceBlockHandle(d, &h, AD_SPACE_MODEL), 1);
    EXPECT_EQ(V(h), 0x1Fu);
    EXPECT_EQ(adSpaceBlockHandle(d, &h, 2), 0);
    EXPECT_EQ(V(h), 0u);
    d->paperSpaceBlock = AdHandle{};
    h = H(0x99);
    EXPECT_EQ(adSpaceBlockHandle(d, &h, AD_SPACE_PAPER), 0);
    EXPECT_EQ(V(h), 0u);
}

struct FindCase {
    const char* name;
    std::uint64_t dictionary;
    const char* entry;
    std::uint64_t expected;  // 0: not found
};

class DictionaryFindEntry : public DictionaryLookup, public testing::WithParamInterface<FindCase> {};

TEST_P(DictionaryFindEntry, MatchesNamesExactlyInEitherKindOfDictionary) {
    addDictionary(0xC, {{"ACAD_GROUP", 0xD}, {"Alpha", 0x20}, {"ACAD_PLOTSTYLENAME", 0x30}});
    addDictionaryWithDefault(0x30, {{"Normal", 0x31}, {"Wide", 0x32}});
    addVar(0x40, "1");
    addDictionary(0x41, {});
    const FindCase& c = GetParam();
    const AdHandle dictionary = H(c.dictionary);
    AdHandle found = H(0x99);
    EXPECT_EQ(adDictionaryFindEntry(d, &dictionary, c.entry, &found), c.expected != 0);
    EXPECT_EQ(V(found), c.expected);
    EXPECT_EQ(adDictionaryFindEntry(d, &dictionary, c.entry, nullptr), c.expected != 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, DictionaryFindEntry,
                         testing::Values(FindCase{"First", 0xC, "ACAD_GROUP", 0xD},
                                         FindCase{"Last", 0xC, "ACAD_PLOTSTYLENAME", 0x30},
                                         FindCase{"WithDefault", 0x30, "Wide", 0x32},
                                         FindCase{"CaseDiffers", 0xC, "alpha", 0},
                                         FindCase{"Prefix", 0xC, "Alph", 0},
                                         FindCase{"Missing", 0xC, "Beta", 0},
                                         FindCase{"NotADictionary", 0x40, "Alpha", 0},
                                         FindCase{"NoEntries", 0x41, "Alpha", 0},
                                         FindCase{"UnknownHandle", 0x77, "Alpha", 0}),
                         [](const testing::TestParamInfo<FindCase>& info) { return info.param.name; });

// The entries the iterator hands out for a dictionary of the root, and the
// count the open answered.
using Walked = std::vector<std::pair<std::string, std::uint64_t>>;

struct Walk {
    std::int32_t count;
    Walked entries;
};

Walk walk(AdDrawing* d, const char* name) {
    AdDictionaryIterator it{};
    it.drawing = d;
    Walk result{adDictionaryOpen(name, &it), {}};
    // One more step than the count allows shows that the walk ends there.
    for (std::int32_t i = 0; i < result.count; ++i) {
        result.entries.emplace_back(adDictionaryEntryName(&it), V(adDictionaryEntryHandle(&it)));
        if (adDictionaryNext(&it) != (i + 1 < result.count)) break;
    }
    EXPECT_EQ(adDictionaryClose(&it), 1);
    return result;
}

TEST_F(DictionaryLookup, IteratorWalksEveryEntryOfADictionaryTheRootNames) {
    addDictionary(0xC, {{"ACAD_GROUP", 0xD}, {"ACAD_PLOTSTYLENAME", 0x30}, {"VAR", 0x40}, {"EMPTY", 0x41}});
    addDictionary(0xD, {{"G1", 0x50}, {"G2", 0x51}, {"G3", 0x52}});
    addDictionaryWithDefault(0x30, {{"Normal", 0x31}});
    addVar(0x40, "1");
    addDictionary(0x41, {});

    Walk groups = walk(d, "ACAD_GROUP");
    EXPECT_EQ(groups.count, 3);
    EXPECT_EQ(groups.entries, (Walked{{"G1", 0x50}, {"G2", 0x51}, {"G3", 0x52}}));
    Walk styles = walk(d, "ACAD_PLOTSTYLENAME");
    EXPECT_EQ(styles.count, 1);
    EXPECT_EQ(styles.entries, (Walked{{"Normal", 0x31}}));
    for (const char* none : {"acad_group", "VAR", "EMPTY", "MISSING"}) EXPECT_EQ(walk(d, none).count, 0) << none;
}

TEST_F(DictionaryLookup, WalksStopAtTheStoredEntriesWhenTheCountClaimsMore) {
    addDictionary(0xC, {{"LIST", 0x20}});
    AdDictionaryData data{};
    data.entryCount = 5;
    data.entries = entryStore({{"A", 0x21}, {"B", 0x22}});
    add(AD_OBJECT_DICTIONARY, 0x20, &data);

    Walk list = walk(d, "LIST");
    EXPECT_EQ(list.count, 5);
    EXPECT_EQ(list.entries, (Walked{{"A", 0x21}, {"B", 0x22}}));
    const AdHandle handle = H(0x20);
    EXPECT_EQ(adDictionaryFindEntry(d, &handle, "B", nullptr), 1);
    EXPECT_EQ(adDictionaryFindEntry(d, &handle, "C", nullptr), 0);
}

TEST_F(DictionaryLookup, IteratorWithoutObjectsOpensNothingAndClosesCleanly) {
    AdDictionaryIterator it{};
    it.drawing = d;
    EXPECT_EQ(adDictionaryOpen("ACAD_GROUP", &it), 0);
    EXPECT_EQ(adDictionaryNext(&it), 0);
    EXPECT_STREQ(adDictionaryEntryName(&it), "");
    EXPECT_EQ(adDictionaryClose(&it), 1);
    it.drawing = nullptr;
    EXPECT_EQ(adDictionaryOpen("ACAD_GROUP", &it), 0);
}

struct VarCase {
    const char* name;
    const char* lookedUp;
    std::int32_t expected;
};

class DictionaryVarInt : public DictionaryLookup, public testing::WithParamInterface<VarCase> {};

// Two dictionaries in object order; the first lists XCLIPFRAME under a
// name whose object is not a DICTIONARYVAR, so the second one's counts.
TEST_P(DictionaryVarInt, FindsTheValueAnyDictionaryListsIgnoringCase) {
    addDictionary(0xC, {{"XCLIPFRAME", 0x60}, {"NOTVAR", 0x60}});
    addObject(adClassNumPlaceholder(d), 0x60);
    addDictionary(0x10, {{"xclipframe", 0x61}, {"NEGATIVE", 0x62}, {"WORDS", 0x63}, {"HUGE", 0x64},
                         {"EMPTY", 0x65}, {"NOTVAR", 0x60}});
    addVar(0x61, "2");
    addVar(0x62, "-17");
    addVar(0x63, "two");
    addVar(0x64, "99999999999");
    addVar(0x65, "");
    const VarCase& c = GetParam();
    EXPECT_EQ(adDictionaryVarInt(d, c.lookedUp, -5), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DictionaryVarInt,
                         testing::Values(VarCase{"AfterANonVarEntry", "XCLIPFRAME", 2},
                                         VarCase{"Negative", "negative", -17},
                                         VarCase{"MissingName", "DIMASSOC", -5},
                                         VarCase{"NoVarObject", "NOTVAR", -5},
                                         VarCase{"NotDecimal", "WORDS", -5},
                                         VarCase{"OutOfRange", "HUGE", -5},
                                         VarCase{"EmptyText", "EMPTY", -5}),
                         [](const testing::TestParamInfo<VarCase>& info) { return info.param.name; });

TEST_F(DictionaryLookup, LookupsLeaveTheObjectCursorWhereItWas) {
    addDictionary(0xC, {{"ACAD_GROUP", 0xD}, {"XCLIPFRAME", 0x40}});
    addDictionary(0xD, {{"G1", 0x50}});
    addVar(0x40, "1");
    adObjectRewind(d);
    ASSERT_EQ(cursorObject(), 0xCu);  // the cursor now stands on 0xD
    EXPECT_EQ(adDictionaryVarInt(d, "XCLIPFRAME", 0), 1);
    EXPECT_EQ(walk(d, "ACAD_GROUP").count, 1);
    const AdHandle root = H(0xC);
    EXPECT_EQ(adDictionaryFindEntry(d, &root, "ACAD_GROUP", nullptr), 1);
    EXPECT_EQ(cursorObject(), 0xDu);
}

struct FilterCase {
    const char* name;
    std::uint64_t extensionDictionary;
    std::uint64_t expected;
};

class FindSpatialFilter : public DictionaryLookup, public testing::WithParamInterface<FilterCase> {};

// Extension dictionaries of a few block references, each leading towards
// a SPATIAL entry one way or another.
TEST_P(FindSpatialFilter, FollowsAcadFilterToTheSpatialFilterObject) {
    addDictionary(0xC, {});
    addDictionary(0x100, {{"ACAD_FILTER", 0x101}});
    addDictionary(0x101, {{"SPATIAL", 0x102}});
    addObject(adClassNumSpatialFilter(d), 0x102);
    addDictionary(0x110, {{"acad_filter", 0x101}});
    addDictionary(0x120, {{"ACAD_FILTER", 0x121}});
    addDictionary(0x121, {{"SPATIAL", 0x122}});
    addObject(adClassNumPlaceholder(d), 0x122);
    addDictionary(0x130, {{"ACAD_FILTER", 0x131}});
    addDictionaryWithDefault(0x131, {{"SPATIAL", 0x102}});
    addDictionary(0x140, {{"ACAD_FILTER", 0x141}});
    addDictionary(0x141, {});
    addDictionaryWithDefault(0x150, {{"ACAD_FILTER", 0x101}});

    const FilterCase& c = GetParam();
    AdEntityHeader entity{};
    entity.type = AD_ENTITY_INSERT;
    entity.extensionDictionary = H(c.extensionDictionary);
    AdHandle filter = H(0x99);
    EXPECT_EQ(adFindSpatialFilter(d, &entity, &filter), c.expected != 0);
    EXPECT_EQ(V(filter), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindSpatialFilter,
                         testing::Values(FilterCase{"Found", 0x100, 0x102},
                                         FilterCase{"NoExtensionDictionary", 0, 0},
                                         FilterCase{"FilterNameInOtherCase", 0x110, 0},
                                         FilterCase{"SpatialIsNotAFilter", 0x120, 0},
                                         FilterCase{"AcadFilterWithDefault", 0x130, 0},
                                         FilterCase{"AcadFilterEmpty", 0x140, 0},
                                         FilterCase{"ExtensionDictionaryWithDefault", 0x150, 0}),
                         [](const testing::TestParamInfo<FilterCase>& info) { return info.param.name; });

struct PlotStyleCase {
    const char* name;
    std::uint64_t expected;
};

class LayerDefaultPlotStyle : public DictionaryLookup, public testing::WithParamInterface<PlotStyleCase> {};

// Root dictionaries of several drawings, keyed by the case name.
TEST_P(LayerDefaultPlotStyle, IsTheNormalEntryOfThePlotStyleNameDictionary) {
    const std::string name = GetParam().name;
    if (name == "WithDefault") {
        addDictionary(0xC, {{"ACAD_GROUP", 0xD}, {"ACAD_PLOTSTYLENAME", 0xE}});
        addDictionaryWithDefault(0xE, {{"Heavy", 0xF}, {"Normal", 0x10}});
    } else if (name == "PlainDictionary") {
        addDictionary(0xC, {{"ACAD_PLOTSTYLENAME", 0xE}});
        addDictionary(0xE, {{"Normal", 0x10}});
    } else if (name == "NoNormal") {
        addDictionary(0xC, {{"ACAD_PLOTSTYLENAME", 0xE}});
        addDictionaryWithDefault(0xE, {{"normal", 0x10}});
    } else if (name == "NoPlotStyleDictionary") {
        addDictionary(0xC, {{"ACAD_GROUP", 0xD}});
        addDictionaryWithDefault(0xE, {{"Normal", 0x10}});
    } else if (name == "EntryIsNotADictionary") {
        addDictionary(0xC, {{"ACAD_PLOTSTYLENAME", 0x10}});
        addObject(adClassNumPlaceholder(d), 0x10);
    }
    AdLayerRecord layer;
    std::memset(&layer, 0xCD, sizeof layer);
    adDefaultLayerRecord(d, &layer);
    EXPECT_EQ(V(layer.plotStyle), GetParam().expected);
    EXPECT_EQ(layer.plotFlag, 1);
    EXPECT_EQ(layer.lineweight, -3);
}

INSTANTIATE_TEST_SUITE_P(Cases, LayerDefaultPlotStyle,
                         testing::Values(PlotStyleCase{"WithDefault", 0x10}, PlotStyleCase{"PlainDictionary", 0x10},
                                         PlotStyleCase{"NoNormal", 0}, PlotStyleCase{"NoPlotStyleDictionary", 0},
                                         PlotStyleCase{"EntryIsNotADictionary", 0},
                                         PlotStyleCase{"NoObjects", 0}),
                         [](const testing::TestParamInfo<PlotStyleCase>& info) { return info.param.name; });

}  // namespace
