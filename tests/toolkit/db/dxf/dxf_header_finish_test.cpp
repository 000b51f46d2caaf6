// Finishing a DXF header: the version from its variable, pre-release files,
// the dimension unit's later form, index slots and the base angle in radians.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <numbers>

#include "toolkit/db/scratch_state.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {

// A drawing whose DXF HEADER section has just been read.
struct ReadHeader {
    ScratchState state;
    AdHeaderVars header;
    AdDrawing drawing{};
    explicit ReadHeader(const char* acadver) {
        adHeaderDefaults(&header);
        std::snprintf(header.acadver, sizeof header.acadver, "%s", acadver);
        drawing.header = &header;
        drawing.version = -1;
        state.get()->acceptPreRelease = 1;
    }
};

TEST(DxfHeaderFinish, VersionIsLoadedFromAcadver) {
    struct Case {
        const char* acadver;
        std::int16_t version;
        const char* finalAcadver;
        std::int16_t unknown;
    };
    const Case cases[] = {
        {"AC1015", 7, "AC1015", 0}, {"AC1009", 4, "AC1009", 0}, {"AC1002", 0, "AC1002", 0},
        {"AC2.1", 0, "AC1002", 0},  {"AC2.10", 0, "AC1002", 0}, {"AC1500", 7, "AC1500", 0},
        {"AC1013", 6, "AC1013", 0}, {"", 4, "AC1009", 1},       {"AC9999", 4, "AC1009", 1},
        {"ac1015", 4, "AC1009", 1}, {"AC2.", 4, "AC1009", 1},   {"AC101", 4, "AC1009", 1},
    };
    for (const Case& c : cases) {
        ReadHeader r(c.acadver);
        ASSERT_EQ(adDxfHeaderFinish(&r.drawing), 1) << c.acadver;
        EXPECT_EQ(r.drawing.version, c.version) << c.acadver;
        EXPECT_STREQ(r.header.acadver, c.finalAcadver) << c.acadver;
        EXPECT_EQ(r.drawing.unknownVersion, c.unknown) << c.acadver;
    }
}

TEST(DxfHeaderFinish, PreReleaseFilesFollowTheHostsAcceptance) {
    ReadHeader accepted("AC1013");
    ASSERT_EQ(adDxfHeaderFinish(&accepted.drawing), 1);
    EXPECT_EQ(accepted.state.get()->preReleaseSeen, 1);

    ReadHeader refused("AC1013");
    refused.state.get()->acceptPreRelease = 0;
    EXPECT_EQ(adDxfHeaderFinish(&refused.drawing), 0);
    EXPECT_EQ(refused.state.get()->errorCode, AD_ERR_PRE_RELEASE);
    EXPECT_EQ(refused.drawing.version, -1);

    // AC1500 is not a pre-release string that needs acceptance.
    ReadHeader later("AC1500");
    later.state.get()->acceptPreRelease = 0;
    EXPECT_EQ(adDxfHeaderFinish(&later.drawing), 1);
    EXPECT_EQ(later.state.get()->preReleaseSeen, 0);
}

TEST(DxfHeaderFinish, DimensionUnitTakesItsAc1015FormForAc1012AndAc1014) {
    struct Case {
        const char* acadver;
        std::int16_t unit;
        std::int16_t lunit;
        std::int16_t frac;  // 9 when left alone
    };
    const Case cases[] = {
        {"AC1012", 4, 4, 0}, {"AC1012", 5, 5, 0}, {"AC1014", 6, 4, 2}, {"AC1014", 7, 5, 2},
        {"AC1012", 8, 6, 0}, {"AC1014", 2, 2, 9}, {"AC1014", 9, 9, 9}, {"AC1015", 6, 6, 9},
        {"AC1009", 8, 8, 9}, {"AC1013", 7, 5, 2},
    };
    for (const Case& c : cases) {
        ReadHeader r(c.acadver);
        r.header.dimlunit = c.unit;
        r.header.dimfrac = 9;
        ASSERT_EQ(adDxfHeaderFinish(&r.drawing), 1);
        EXPECT_EQ(r.header.dimlunit, c.lunit) << c.acadver << " " << c.unit;
        EXPECT_EQ(r.header.dimfrac, c.frac) << c.acadver << " " << c.unit;
    }
}

TEST(DxfHeaderFinish, IndexSlotsKeepOnlyTheLinetypePseudoNames) {
    struct Case {
        const char* celtype;
        std::int16_t linetype;
    };
    const Case cases[] = {{"BYLAYER", 0x7FFF}, {"ByBlock", 0x7FFE}, {"DASHED", 0}, {"", 0}, {"BYLAYERS", 0}};
    for (const Case& c : cases) {
        ReadHeader r("AC1015");
        AdGlobalState* g = r.state.get();
        for (std::int16_t& slot : g->headerIndexes) slot = 5;  // left by an earlier load
        std::snprintf(g->headerNames[AD_HEADER_NAME_CELTYPE], AD_HEADER_NAME_SIZE, "%s", c.celtype);
        ASSERT_EQ(adDxfHeaderFinish(&r.drawing), 1);
        for (int i = 0; i < AD_HEADER_INDEX_COUNT; ++i) {
            EXPECT_EQ(g->headerIndexes[i], i == AD_HEADER_INDEX_LINETYPE ? c.linetype : 0) << c.celtype << " " << i;
        }
    }
}

TEST(DxfHeaderFinish, BaseAngleBecomesRadians) {
    ReadHeader r("AC1015");
    r.header.angbase = 90.0;
    ASSERT_EQ(adDxfHeaderFinish(&r.drawing), 1);
    EXPECT_DOUBLE_EQ(r.header.angbase, std::numbers::pi / 2);
}

TEST(DxfHeaderFinish, NeedsADrawingWithAHeader) {
    ReadHeader r("AC1015");
    EXPECT_EQ(adDxfHeaderFinish(nullptr), 0);
    r.drawing.header = nullptr;
    EXPECT_EQ(adDxfHeaderFinish(&r.drawing), 0);
}

}  // namespace
