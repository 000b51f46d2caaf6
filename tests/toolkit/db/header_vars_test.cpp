// Header variables: the descriptor tables and their lookups, the defaults a
// new header starts from, and values stored by type into the header block
// without touching anything else.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "toolkit/db/scratch_state.h"
#include "toolkit/ad_internal.h"

namespace {

const unsigned char* bytesOf(const AdHeaderVars& h) { return reinterpret_cast<const unsigned char*>(&h); }

// Bytes a descriptor's field covers; the USER types cover their whole array.
std::size_t widthOf(const AdHeaderVarDesc& d) {
    switch (d.type & 0xFF) {
        case AD_HV_BYTE: return 1;
        case AD_HV_INT16:
        case AD_HV_CODE_PAGE: return 2;
        case AD_HV_DOUBLE: return 8;
        case AD_HV_POINT2: return 16;
        case AD_HV_POINT3: return 24;
        case AD_HV_TEXT: return static_cast<std::size_t>(d.length);
        case AD_HV_DATE: return sizeof(AdJulianDate);
        case AD_HV_USERI: return 5 * sizeof(std::int16_t);
        case AD_HV_USERR: return 5 * sizeof(double);
        case AD_HV_HANDLE: return sizeof(AdHandle);
        default: return 0;
    }
}

// A numeric field read straight from the block, independent of the store.
std::vector<double> numbersAt(const AdHeaderVars& h, const char* name) {
    const AdHeaderVarDesc* d = adHeaderVarFind(name);
    EXPECT_NE(d, nullptr) << name;
    if (!d) return {};
    const unsigned char* p = bytesOf(h) + d->offset;
    std::vector<double> out;
    auto readDoubles = [&](std::size_t first, std::size_t count) {
        for (std::size_t i = first; i < first + count; ++i) {
            double v;
            std::memcpy(&v, p + 8 * i, 8);
            out.push_back(v);
        }
    };
    std::int16_t s;
    switch (d->type & 0xFF) {
        case AD_HV_BYTE: out.push_back(p[0]); break;
        case AD_HV_INT16:
        case AD_HV_CODE_PAGE:
            std::memcpy(&s, p, 2);
            out.push_back(s);
            break;
        case AD_HV_USERI:
            std::memcpy(&s, p + 2 * d->length, 2);
            out.push_back(s);
            break;
        case AD_HV_DOUBLE: readDoubles(0, 1); break;
        case AD_HV_POINT2: readDoubles(0, 2); break;
        case AD_HV_POINT3: readDoubles(0, 3); break;
        case AD_HV_USERR: readDoubles(static_cast<std::size_t>(d->length), 1); break;
        case AD_HV_DATE: {
            AdJulianDate date;
            std::memcpy(&date, p, sizeof date);
            out = {double(date.day), double(date.milliseconds)};
            break;
        }
        case AD_HV_HANDLE:
            for (int i = 0; i < 8; ++i) out.push_back(p[i]);
            break;
        default: ADD_FAILURE() << name << " is not numeric";
    }
    return out;
}

std::string textAt(const AdHeaderVars& h, const char* name) {
    const AdHeaderVarDesc* d = adHeaderVarFind(name);
    EXPECT_TRUE(d && (d->type & 0xFF) == AD_HV_TEXT) << name;
    if (!d) return {};
    const char* p = reinterpret_cast<const char*>(bytesOf(h) + d->offset);
    return std::string(p, std::find(p, p + d->length, '\0'));
}

struct Defaulted {
    ScratchState state;
    AdHeaderVars header;
    Defaulted() {
        std::memset(&header, 0xAB, sizeof header);  // a block that held another drawing
        adHeaderDefaults(&header);
    }
};

// ---------------------------------------------------------------------------
// Descriptor tables
// ---------------------------------------------------------------------------

void expectSortedUpperCase(const AdHeaderVarDesc* table, int count) {
    for (int i = 0; i < count; ++i) {
        std::string name = table[i].name;
        EXPECT_NE(name[0], '$') << name;
        EXPECT_EQ(name, [&] {
            std::string upper = name;
            std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
            return upper;
        }()) << name;
        if (i > 0) {
            EXPECT_LT(adStrCompareNoCase(table[i - 1].name, table[i].name), 0) << name;
        }
    }
}

TEST(HeaderVarDescs, TablesAreStrictlySortedUpperCaseNamesWithoutDollar) {
    expectSortedUpperCase(adHeaderVarDescs, AD_HEADER_VAR_COUNT);
    expectSortedUpperCase(adHeaderNameVarDescs, AD_HEADER_NAME_COUNT);
}

TEST(HeaderVarDescs, EveryRowIsFoundByItsNameInAnyCase) {
    auto check = [](const AdHeaderVarDesc* table, int count) {
        for (int i = 0; i < count; ++i) {
            std::string lower = table[i].name;
            std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
            EXPECT_EQ(adHeaderVarFind(table[i].name), &table[i]) << table[i].name;
            EXPECT_EQ(adHeaderVarFind(lower.c_str()), &table[i]) << lower;
        }
    };
    check(adHeaderVarDescs, AD_HEADER_VAR_COUNT);
    check(adHeaderNameVarDescs, AD_HEADER_NAME_COUNT);
}

TEST(HeaderVarDescs, LookupHitsAndMisses) {
    struct Case {
        const char* name;
        const char* found;  // the row's name, null for a miss
    };
    const std::string overlong(600, 'A');
    const Case cases[] = {
        {"DIMFIT", "DIMFIT"},       {"dimfit", "DIMFIT"},         {"DiMaTfIt", "DIMATFIT"},
        {"ENDCAPS", "ENDCAPS"},     {"TDUPDATE", "TDUPDATE"},     {"TDUSRTIMER", "TDUSRTIMER"},
        {"VIEWTWIST", "VIEWTWIST"}, {"USERR5", "USERR5"},         {"clayer", "CLAYER"},
        {"UCSORTHOREF", "UCSORTHOREF"},
        {"CYCLEKEEP", nullptr},     {"CYCLECURR", nullptr},       {"CEPSNID", nullptr},
        {"$ACADVER", nullptr},      {"ACADVERX", nullptr},        {"", nullptr},
        {"USERI0", nullptr},        {"USERI6", nullptr},          {"USERI%d", nullptr},
        {"A", nullptr},             {"ZZZZ", nullptr},            {overlong.c_str(), nullptr},
    };
    for (const Case& c : cases) {
        const AdHeaderVarDesc* d = adHeaderVarFind(c.name);
        if (c.found) {
            ASSERT_NE(d, nullptr) << c.name;
            EXPECT_STREQ(d->name, c.found);
        } else {
            EXPECT_EQ(d, nullptr) << c.name;
        }
    }
    EXPECT_EQ(adHeaderVarFind(nullptr), nullptr);
}

TEST(HeaderVarDescs, FieldsLieInsideTheBlockAndOverlapOnlyForSharedVariables) {
    // Variables that share one field, and the USER arrays whose rows address
    // one array by element.
    const std::set<std::set<std::string>> shared = {
        {"DIMATFIT", "DIMFIT"},
        {"DIMLUNIT", "DIMUNIT"},
        {"PROXYGRAPHICS", "SAVEIMAGES"},
        {"USERI1", "USERI2", "USERI3", "USERI4", "USERI5"},
        {"USERR1", "USERR2", "USERR3", "USERR4", "USERR5"},
    };
    std::map<std::int16_t, std::vector<const AdHeaderVarDesc*>> byOffset;
    for (const AdHeaderVarDesc& d : adHeaderVarDescs) {
        std::size_t width = widthOf(d);
        ASSERT_GT(width, 0u) << d.name;
        EXPECT_EQ(d.type & AD_HV_IN_GLOBALS, 0) << d.name;
        EXPECT_GE(d.offset, 0) << d.name;
        EXPECT_LE(d.offset + width, sizeof(AdHeaderVars)) << d.name;
        byOffset[d.offset].push_back(&d);
    }
    std::size_t previousEnd = 0;
    const char* previous = "";
    for (const auto& [offset, rows] : byOffset) {
        EXPECT_GE(static_cast<std::size_t>(offset), previousEnd) << rows[0]->name << " overlaps " << previous;
        if (rows.size() > 1) {
            std::set<std::string> names;
            for (const AdHeaderVarDesc* d : rows) {
                names.insert(d->name);
                EXPECT_EQ(d->type, rows[0]->type) << d->name;
            }
            EXPECT_TRUE(shared.count(names)) << rows[0]->name << " shares its field unexpectedly";
        }
        previousEnd = offset + widthOf(*rows[0]);
        previous = rows[0]->name;
    }
}

TEST(HeaderVarDescs, RowKindsMatchTheirVariables) {
    struct Case {
        const char* name;
        std::int16_t type;
        std::int32_t length;
    };
    const Case cases[] = {
        {"ACADVER", AD_HV_TEXT, 7},         {"DIMAPOST", AD_HV_TEXT, 16},
        {"DIMBLK1", AD_HV_TEXT, 32},        {"DIMLDRBLK", AD_HV_TEXT, 32},
        {"MENU", AD_HV_TEXT, 61},           {"HYPERLINKBASE", AD_HV_TEXT, 127},
        {"VERSIONGUID", AD_HV_TEXT, 39},    {"HANDSEED", AD_HV_HANDLE, 8},
        {"DWGCODEPAGE", AD_HV_CODE_PAGE, 0}, {"TDINDWG", AD_HV_DATE, 0},
        {"USERI1", AD_HV_USERI, 0},         {"USERI5", AD_HV_USERI, 4},
        {"USERR3", AD_HV_USERR, 2},         {"DIMTOLJ", AD_HV_BYTE, 0},
        {"DIMALTTD", AD_HV_INT16, 0},       {"PSVPSCALE", AD_HV_DOUBLE, 0},
        {"LIMMIN", AD_HV_POINT2, 0},        {"PUCSORGBACK", AD_HV_POINT3, 0},
    };
    for (const Case& c : cases) {
        const AdHeaderVarDesc* d = adHeaderVarFind(c.name);
        ASSERT_NE(d, nullptr) << c.name;
        EXPECT_EQ(d->type, c.type) << c.name;
        EXPECT_EQ(d->length, c.length) << c.name;
    }
    // The named-record variables address their own 512-byte slot.
    for (int i = 0; i < AD_HEADER_NAME_COUNT; ++i) {
        const AdHeaderVarDesc& d = adHeaderNameVarDescs[i];
        EXPECT_EQ(d.type, AD_HV_TEXT | AD_HV_IN_GLOBALS) << d.name;
        EXPECT_EQ(d.length, 512) << d.name;
        EXPECT_EQ(static_cast<std::size_t>(d.offset), offsetof(AdGlobalState, headerNames) + i * AD_HEADER_NAME_SIZE)
            << d.name;
    }
}

// ---------------------------------------------------------------------------
// Defaults
// ---------------------------------------------------------------------------

TEST(HeaderDefaults, NumericVariablesStartFromTheTemplate) {
    Defaulted d;
    struct Case {
        const char* name;
        std::vector<double> value;
    };
    const Case cases[] = {
        {"ACADMAINTVER", {0}},   {"ATTMODE", {1}},          {"CECOLOR", {256}},
        {"CELTSCALE", {1.0}},    {"DELOBJ", {1}},           {"DIMALTD", {2}},
        {"DIMALTF", {25.4}},     {"DIMASZ", {0.18}},        {"DIMEXO", {0.0625}},
        {"DIMDLI", {0.38}},      {"DIMFIT", {3}},           {"DIMATFIT", {3}},
        {"DIMUNIT", {2}},        {"DIMLUNIT", {2}},         {"DIMTOLJ", {1}},
        {"DIMTDEC", {4}},        {"DRAGMODE", {2}},         {"EXTNAMES", {1}},
        {"MAXACTVP", {16}},      {"PSTYLEMODE", {1}},       {"SHADEDGE", {3}},
        {"SHADEDIF", {70}},      {"SKETCHINC", {0.1}},      {"SPLINESEGS", {8}},
        {"SURFV", {6}},          {"TEXTSIZE", {0.2}},       {"TRACEWID", {0.05}},
        {"TREEDEPTH", {3020}},   {"VIEWSIZE", {9.158369}},  {"XEDIT", {1}},
        {"WORLDVIEW", {1}},      {"USERI3", {0}},           {"USERR5", {0.0}},
        {"PROXYGRAPHICS", {0}},  {"TDCREATE", {0, 0}},      {"TDUUPDATE", {0, 0}},
        {"EXTMIN", {1e20, 1e20, 1e20}},      {"EXTMAX", {-1e20, -1e20, -1e20}},
        {"PEXTMIN", {1e20, 1e20, 1e20}},     {"PLIMMAX", {12.0, 9.0}},
        {"PLIMMIN", {0.0, 0.0}},             {"SNAPUNIT", {1.0, 1.0}},
        {"UCSXDIR", {1.0, 0.0, 0.0}},        {"PUCSYDIR", {0.0, 1.0, 0.0}},
        {"VIEWCTR", {6.591288, 4.579184, 0.0}}, {"VIEWDIR", {0.0, 0.0, 1.0}},
        {"HANDSEED", {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(numbersAt(d.header, c.name), c.value) << c.name;
}

TEST(HeaderDefaults, TextVariablesStartFromTheTemplate) {
    Defaulted d;
    EXPECT_EQ(textAt(d.header, "ACADVER"), "AC1012");
    EXPECT_EQ(textAt(d.header, "MENU"), "acad");
    for (const char* name : {"DIMAPOST", "DIMPOST", "DIMBLK", "DIMBLK1", "DIMBLK2", "DIMLDRBLK", "FINGERPRINTGUID",
                             "VERSIONGUID", "HYPERLINKBASE", "STYLESHEET"}) {
        EXPECT_EQ(textAt(d.header, name), "") << name;
    }
}

TEST(HeaderDefaults, FieldsWithoutDescriptorsStartFromTheTemplate) {
    Defaulted d;
    const AdHeaderVars& h = d.header;
    EXPECT_EQ(h.dwgHeaderDouble1, 412148564080.0);
    EXPECT_EQ(h.dwgHeaderDouble5, 0.5);
    EXPECT_EQ(h.dwgHeaderDouble6, 50.0);
    EXPECT_EQ(h.dwgHeaderLong1, 24);
    EXPECT_EQ(h.dwgHeaderShort3, 50);
    EXPECT_EQ(h.dwgHeaderShort5, 70);
    EXPECT_EQ(h.dwgHeaderShort8, 5);
    EXPECT_EQ(h.dwgHeaderFlag2, 0);
    EXPECT_STREQ(h.dwgHeaderText4, "");
    EXPECT_STREQ(h.dwgHeaderUcsName, "");
    const AdHandle null{};
    EXPECT_EQ(std::memcmp(&h.dimblk2Handle, &null, sizeof null), 0);
    EXPECT_EQ(std::memcmp(&h.cepsnidHandle, &null, sizeof null), 0);
}

TEST(HeaderDefaults, CodePageIsTheToolkitsCurrentOne) {
    Defaulted d;
    EXPECT_EQ(numbersAt(d.header, "DWGCODEPAGE"), std::vector<double>{0});
    d.state.get()->currentCodePage = 29;
    EXPECT_EQ(adHeaderDefaults(&d.header), 1);
    EXPECT_EQ(d.header.dwgcodepage, 29);
    EXPECT_EQ(adHeaderDefaults(nullptr), 0);
}

// ---------------------------------------------------------------------------
// Storing DXF values
// ---------------------------------------------------------------------------

TEST(HeaderStore, ValuesAreStoredByType) {
    Defaulted d;
    d.state.get()->acceptPreRelease = 0;
    struct Case {
        const char* name;
        std::int16_t integer;
        double real;
        const char* text;
        std::vector<double> stored;
    };
    const Case cases[] = {
        {"DIMTOLJ", 0x1234, 0, nullptr, {0x34}},  // a byte keeps the low byte
        {"CECOLOR", -5, 0, nullptr, {-5}},
        {"LTSCALE", 0, 2.5, nullptr, {2.5}},
        {"TDCREATE", 0, 2451545.75, nullptr, {2451545, 64800000}},
        {"TDUPDATE", 0, -0.5, nullptr, {0, -43200000}},
        // Nine decimals, as DXF files give dates, read to the nearest
        // millisecond (truncated it would be one short).
        {"TDUCREATE", 0, 2459625.879596065, nullptr, {2459625, 75997100}},
        {"TDINDWG", 0, NAN, nullptr, {0, 0}},
        {"TDUSRTIMER", 0, 1e300, nullptr, {2147483647, 0}},
        {"USERI3", 7, 0, nullptr, {7}},
        {"USERR5", 0, 1.5, nullptr, {1.5}},
        {"HANDSEED", 0, 0, "1F", {0, 0, 0, 0, 0, 0, 0, 0x1F}},
        {"DWGCODEPAGE", 0, 0, "ANSI_1252", {30}},
        {"EXTMIN", 0, 4.0, nullptr, {4.0, 1e20, 1e20}},  // x only; y and z keep theirs
    };
    for (const Case& c : cases) {
        ASSERT_EQ(adHeaderStoreValue(&d.header, adHeaderVarFind(c.name), c.integer, c.real, c.text), 1) << c.name;
        EXPECT_EQ(numbersAt(d.header, c.name), c.stored) << c.name;
    }
    // The other elements of a USER array stay.
    EXPECT_EQ(numbersAt(d.header, "USERI2"), std::vector<double>{0});
    EXPECT_EQ(numbersAt(d.header, "USERR4"), std::vector<double>{0.0});
    ASSERT_EQ(adHeaderStoreValue(&d.header, adHeaderVarFind("DWGCODEPAGE"), 0, 0, "no such page"), 1);
    EXPECT_EQ(d.header.dwgcodepage, 0);
}

TEST(HeaderStore, SharedFieldsTakeTheLaterValue) {
    Defaulted d;
    const char* pairs[][2] = {{"DIMFIT", "DIMATFIT"}, {"DIMUNIT", "DIMLUNIT"}, {"SAVEIMAGES", "PROXYGRAPHICS"}};
    for (const auto& pair : pairs) {
        for (int first = 0; first < 2; ++first) {
            const char* earlier = pair[first];
            const char* later = pair[1 - first];
            adHeaderStoreValue(&d.header, adHeaderVarFind(earlier), 1, 0, nullptr);
            adHeaderStoreValue(&d.header, adHeaderVarFind(later), 4, 0, nullptr);
            EXPECT_EQ(numbersAt(d.header, earlier), std::vector<double>{4}) << earlier << " then " << later;
        }
    }
    EXPECT_EQ(d.header.dimatfit, 4);
    EXPECT_EQ(d.header.dimlunit, 4);
    EXPECT_EQ(d.header.proxygraphics, 4);
}

TEST(HeaderStore, PointCoordinatesFollowTheirAxes) {
    Defaulted d;
    const AdHeaderVarDesc* extmin = adHeaderVarFind("EXTMIN");
    const AdHeaderVarDesc* limmax = adHeaderVarFind("LIMMAX");
    adHeaderStoreValue(&d.header, extmin, 0, 1.0, nullptr);
    EXPECT_EQ(adHeaderStoreCoordinate(&d.header, extmin, 1, 2.0), 1);
    EXPECT_EQ(adHeaderStoreCoordinate(&d.header, extmin, 2, 3.0), 1);
    EXPECT_EQ(numbersAt(d.header, "EXTMIN"), (std::vector<double>{1.0, 2.0, 3.0}));
    adHeaderStoreValue(&d.header, limmax, 0, 5.0, nullptr);
    EXPECT_EQ(adHeaderStoreCoordinate(&d.header, limmax, 1, 6.0), 1);
    // A 2D point has no z, and no variable has a coordinate 3 or a negative one.
    const AdHeaderVars before = d.header;
    EXPECT_EQ(adHeaderStoreCoordinate(&d.header, limmax, 2, 7.0), 0);
    EXPECT_EQ(adHeaderStoreCoordinate(&d.header, extmin, 3, 7.0), 0);
    EXPECT_EQ(adHeaderStoreCoordinate(&d.header, extmin, -1, 7.0), 0);
    EXPECT_EQ(adHeaderStoreCoordinate(&d.header, adHeaderVarFind("LTSCALE"), 1, 7.0), 0);
    EXPECT_EQ(std::memcmp(&before, &d.header, sizeof before), 0);
    EXPECT_EQ(numbersAt(d.header, "LIMMAX"), (std::vector<double>{5.0, 6.0}));
}

TEST(HeaderStore, OverlongTextIsCutAndTouchesNothingElse) {
    const std::string overlong(1000, 'M');
    for (const AdHeaderVarDesc& desc : adHeaderVarDescs) {
        if (desc.type != AD_HV_TEXT) continue;
        Defaulted d;
        const AdHeaderVars before = d.header;
        ASSERT_EQ(adHeaderStoreValue(&d.header, &desc, 0, 0, overlong.c_str()), 1) << desc.name;
        EXPECT_EQ(textAt(d.header, desc.name), overlong.substr(0, static_cast<std::size_t>(desc.length - 1)))
            << desc.name;
        for (std::size_t i = 0; i < sizeof before; ++i) {
            if (i >= static_cast<std::size_t>(desc.offset) && i < desc.offset + static_cast<std::size_t>(desc.length))
                continue;
            ASSERT_EQ(bytesOf(before)[i], bytesOf(d.header)[i]) << desc.name << " wrote byte " << i;
        }
    }
}

TEST(HeaderStore, MenuKeepsSixtyCharacters) {
    Defaulted d;
    const std::string menu = std::string(60, 'x') + "TAIL";
    adHeaderStoreValue(&d.header, adHeaderVarFind("MENU"), 0, 0, menu.c_str());
    EXPECT_EQ(d.header.menu, std::string(60, 'x'));
}

TEST(HeaderStore, NamedRecordsGoToTheirGlobalSlots) {
    Defaulted d;
    AdGlobalState* g = d.state.get();
    const AdHeaderVars before = d.header;
    EXPECT_EQ(adHeaderStoreValue(&d.header, adHeaderVarFind("CLAYER"), 0, 0, "WALLS"), 1);
    EXPECT_STREQ(g->headerNames[AD_HEADER_NAME_CLAYER], "WALLS");
    const std::string overlong(600, 'L');
    EXPECT_EQ(adHeaderStoreValue(&d.header, adHeaderVarFind("CELTYPE"), 0, 0, overlong.c_str()), 1);
    EXPECT_EQ(std::string(g->headerNames[AD_HEADER_NAME_CELTYPE]), overlong.substr(0, 511));
    EXPECT_STREQ(g->headerNames[AD_HEADER_NAME_CLAYER], "WALLS");
    EXPECT_EQ(adHeaderStoreValue(&d.header, adHeaderVarFind("UCSORTHOREF"), 0, 0, "TOP"), 1);
    EXPECT_STREQ(g->headerNames[AD_HEADER_NAME_UCSORTHOREF], "TOP");
    EXPECT_EQ(std::memcmp(&before, &d.header, sizeof before), 0);
}

TEST(HeaderStore, RefusalsLeaveTheBlockAlone) {
    Defaulted d;
    const AdHeaderVars before = d.header;
    const AdHeaderVarDesc bogusType = {"X", 0, 11, 0};
    const AdHeaderVarDesc bogusIndex = {"USERI9", adHeaderVarFind("USERI1")->offset, AD_HV_USERI, 9};
    EXPECT_EQ(adHeaderStoreValue(&d.header, adHeaderVarFind("HANDSEED"), 0, 0, "12345678901234567"), 0);
    EXPECT_EQ(adHeaderStoreValue(&d.header, adHeaderVarFind("HANDSEED"), 0, 0, nullptr), 0);
    EXPECT_EQ(adHeaderStoreValue(&d.header, adHeaderVarFind("MENU"), 0, 0, nullptr), 0);
    EXPECT_EQ(adHeaderStoreValue(&d.header, &bogusType, 1, 1, "x"), 0);
    EXPECT_EQ(adHeaderStoreValue(&d.header, &bogusIndex, 1, 1, "x"), 0);
    EXPECT_EQ(adHeaderStoreValue(&d.header, nullptr, 1, 1, "x"), 0);
    EXPECT_EQ(adHeaderStoreValue(nullptr, adHeaderVarFind("LTSCALE"), 1, 1, "x"), 0);
    EXPECT_EQ(std::memcmp(&before, &d.header, sizeof before), 0);
}

TEST(HeaderStore, NameSlotsNeedAStartedToolkit) {
    AdGlobalState* saved = adGlobals;
    adGlobals = nullptr;
    AdHeaderVars header{};
    EXPECT_EQ(adHeaderStoreValue(&header, adHeaderVarFind("CLAYER"), 0, 0, "0"), 0);
    adGlobals = saved;
}

}  // namespace
