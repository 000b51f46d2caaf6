// Dimension style overrides carried in an entity's extended data: the values
// they change, data of other applications ignored, unreadable styles and
// damaged data.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "handle_values.h"
#include "table_fixture.h"
#include "xdata_bytes.h"
#include "xdata_items.h"

namespace {

constexpr std::uint64_t kStyle = 0x30;
constexpr std::uint64_t kAcad = 0x12;
constexpr std::uint64_t kOtherApp = 0x13;
constexpr std::uint64_t kDimblk = 0x41, kDimblk1 = 0x42, kDimldrblk = 0x43;
constexpr std::uint64_t kDotBlock = 0x44, kCustomBlock = 0x45;

using Items = std::vector<AdXdataItem>;

// The "ACAD" DSTYLE list around the given pairs.
Items Dstyle(const Items& pairs, const char* name = "DSTYLE") {
    Items items = {Handle(1001, kAcad), Text(name), Brace('{')};
    items.insert(items.end(), pairs.begin(), pairs.end());
    items.push_back(Brace('}'));
    return items;
}

Items Join(Items a, const Items& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A drawing with one DIMSTYLE (scale 2, arrow size 0.25, gap 0.5, text
// above 1, line colour 3, arrow blocks kDimblk, kDimblk1, kDimldrblk), the
// applications ACAD and OTHER and the blocks _DOT and ARROWX.
class DimStyleOverridesTest : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        entity.type = AD_ENTITY_LEADER;
        addStyle(0);
        for (auto [name, handle] : {std::pair{"ACAD", kAcad}, std::pair{"OTHER", kOtherApp}}) {
            AdAppidRecord app;
            adDefaultAppidRecord(&app);
            std::strcpy(app.name, name);
            app.handle = H(handle);
            store(d->appids, app);
        }
        store(d->blocks, block("_DOT", kDotBlock), sizeof(AdStoredBlock));
        store(d->blocks, block("ARROWX", kCustomBlock), sizeof(AdStoredBlock));
    }
    void TearDown() override {
        if (entity.xdata) adStoreFree(entity.xdata);
        TableTest::TearDown();
    }

    void addStyle(std::uint8_t dimsah) {
        adDefaultDimStyleRecord(d, &style);
        std::strcpy(style.name, "LEADERS");
        style.handle = H(kStyle);
        style.dimscale = 2.0;
        style.dimasz = 0.25;
        style.dimgap = 0.5;
        style.dimtad = 1;
        style.dimclrd = 3;
        style.dimsah = dimsah;
        style.dimblk = H(kDimblk);
        style.dimblk1 = H(kDimblk1);
        style.dimldrblk = H(kDimldrblk);
        store(d->dimStyles, style);
    }
    void setDimsah(std::uint8_t dimsah) {
        style.dimsah = dimsah;
        ASSERT_EQ(adDimStyleUpdate(d, &style), 1);
    }

    // Gives the leader the items as its stored extended data, then the bytes.
    void giveXdata(Items items, const Bytes& tail = {}) {
        entity.xdata = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* stream = adStreamOpenWrite(entity.xdata);
        for (AdXdataItem& item : items) ASSERT_EQ(adXdataWriteItem(stream, &item), 1);
        if (!tail.empty()) adStreamWrite(stream, tail.data(), static_cast<std::int32_t>(tail.size()));
        adStreamCloseWrite(stream);
    }

    int overrides() {
        const AdHandle handle = H(kStyle);
        return adDimStyleOverrides(d, &entity, &settings, &handle);
    }

    AdDimStyleRecord style;
    AdEntityHeader entity{};
    AdDimStyleSettings settings;
};

struct OverrideCase {
    const char* name;
    std::int16_t version;
    std::uint8_t dimsah;
    Items xdata;  // empty: the leader has none
    AdDimStyleSettings expected;
};

class DimStyleOverrides : public DimStyleOverridesTest, public testing::WithParamInterface<OverrideCase> {};

TEST_P(DimStyleOverrides, StyleValuesChangedByTheAcadDstyleList) {
    const OverrideCase& c = GetParam();
    d->version = c.version;
    setDimsah(c.dimsah);
    if (!c.xdata.empty()) giveXdata(c.xdata);
    ASSERT_EQ(overrides(), 1);
    EXPECT_EQ(settings.scale, c.expected.scale);
    EXPECT_EQ(settings.arrowSize, c.expected.arrowSize);
    EXPECT_EQ(settings.gap, c.expected.gap);
    EXPECT_EQ(settings.textAbove, c.expected.textAbove);
    EXPECT_EQ(settings.arrowCode, c.expected.arrowCode);
    EXPECT_EQ(V(settings.arrowBlock), V(c.expected.arrowBlock));
    EXPECT_EQ(settings.lineColour, c.expected.lineColour);
}

// The style's own values with the given arrow block.
AdDimStyleSettings FromStyle(std::uint64_t arrowBlock) { return {2.0, 0.25, 0.5, 1, 0, H(arrowBlock), 3}; }
AdDimStyleSettings With(AdDimStyleSettings s, std::uint64_t arrowBlock, std::int16_t arrowCode) {
    s.arrowBlock = H(arrowBlock);
    s.arrowCode = arrowCode;
    return s;
}
AdDimStyleSettings Scaled(double scale, double arrowSize = 0.25) {
    AdDimStyleSettings s = FromStyle(kDimldrblk);
    s.scale = scale;
    s.arrowSize = arrowSize;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DimStyleOverrides,
    testing::Values(
        OverrideCase{"R2000LeaderBlock", AD_VERSION_AC1015, 0, {}, FromStyle(kDimldrblk)},
        OverrideCase{"OlderFileDimblk", AD_VERSION_AC1014, 0, {}, FromStyle(kDimblk)},
        OverrideCase{"DimsahDimblk1", AD_VERSION_AC1015, 1, {}, FromStyle(kDimblk1)},
        OverrideCase{"XdataOfAnotherKindOnly", AD_VERSION_AC1015, 0, {Handle(1001, kAcad), Text("OTHERSTYLE")}, FromStyle(kDimldrblk)},
        OverrideCase{"EveryValue",
                     AD_VERSION_AC1015,
                     0,
                     Dstyle({Int16(40), Real(1040, 3.5), Int16(41), Real(1040, 0.75), Int16(147), Real(1040, 0.125), Int16(77), Int16(0),
                             Int16(176), Int16(5)}),
                     {3.5, 0.75, 0.125, 0, 0, H(kDimldrblk), 5}},
        OverrideCase{"NameInAnyCase", AD_VERSION_AC1015, 0, Dstyle({Int16(40), Real(1040, 4.0)}, "dStyle"), Scaled(4.0)},
        OverrideCase{"OtherApplication",
                     AD_VERSION_AC1015,
                     0,
                     {Handle(1001, kOtherApp), Text("DSTYLE"), Brace('{'), Int16(40), Real(1040, 9.0), Brace('}')},
                     FromStyle(kDimldrblk)},
        OverrideCase{"AfterOtherApplication", AD_VERSION_AC1015, 0,
                     Join({Handle(1001, kOtherApp), Text("DSTYLE")}, Dstyle({Int16(40), Real(1040, 9.0)})), Scaled(9.0)},
        OverrideCase{"NoOpeningBrace", AD_VERSION_AC1015, 0, {Handle(1001, kAcad), Text("DSTYLE"), Int16(40), Real(1040, 9.0)},
                     FromStyle(kDimldrblk)},
        OverrideCase{"AfterClosingBrace", AD_VERSION_AC1015, 0, Join(Dstyle({}), {Int16(40), Real(1040, 9.0)}), FromStyle(kDimldrblk)},
        OverrideCase{"UnknownCodeSkipsItsValue", AD_VERSION_AC1015, 0,
                     Dstyle({Int16(999), Int16(40), Real(1040, 7.0), Int16(41), Real(1040, 0.75)}), Scaled(2.0, 0.75)},
        OverrideCase{"ValueOfTheWrongKind", AD_VERSION_AC1015, 0, Dstyle({Int16(40), Int16(9), Int16(41), Real(1040, 0.75)}),
                     Scaled(2.0, 0.75)},
        OverrideCase{"ArrowBlockByHandle", AD_VERSION_AC1015, 0, Dstyle({Int16(341), Handle(1005, kCustomBlock)}),
                     FromStyle(kCustomBlock)},
        OverrideCase{"ArrowBlockByName", AD_VERSION_AC1015, 0, Dstyle({Int16(5), Text("arrowx")}), FromStyle(kCustomBlock)},
        OverrideCase{"SecondArrowWithDimsahOverride", AD_VERSION_AC1015, 0, Dstyle({Int16(173), Int16(1), Int16(7), Text("_DOT")}),
                     With(FromStyle(kDimldrblk), kDotBlock, 3)},
        OverrideCase{"SecondArrowWithStyleDimsah", AD_VERSION_AC1015, 1, Dstyle({Int16(7), Text("_dot")}),
                     With(FromStyle(kDimblk1), kDotBlock, 3)},
        OverrideCase{"SecondArrowDimsahOverriddenOff", AD_VERSION_AC1015, 1,
                     Dstyle({Int16(173), Int16(0), Int16(343), Handle(1005, kCustomBlock)}), FromStyle(kDimblk1)},
        OverrideCase{"SecondArrowWithoutDimsah", AD_VERSION_AC1015, 0, Dstyle({Int16(344), Handle(1005, kCustomBlock)}),
                     FromStyle(kDimldrblk)},
        OverrideCase{"SecondArrowByHandle", AD_VERSION_AC1015, 0, Dstyle({Int16(173), Int16(1), Int16(344), Handle(1005, kCustomBlock)}),
                     FromStyle(kCustomBlock)},
        OverrideCase{"SecondArrowOfAnotherName", AD_VERSION_AC1015, 1, Dstyle({Int16(7), Text("ARROWX")}),
                     With(FromStyle(kDimblk1), kCustomBlock, 8)}),
    [](const testing::TestParamInfo<OverrideCase>& info) { return info.param.name; });

TEST_F(DimStyleOverridesTest, WithoutTheAcadApplicationTheXdataIsIgnored) {
    d->version = AD_VERSION_AC1015;
    giveXdata(Dstyle({Int16(40), Real(1040, 9.0)}));
    AdHandle acad = H(kAcad);
    AdListRecord* record = static_cast<AdListRecord*>(adHandleIndexFind(d, &acad));
    ASSERT_NE(record, nullptr);
    adListUnlink(d->appids, record);
    HostFree(record);
    adHandleIndexDelete(d, &acad);
    ASSERT_EQ(overrides(), 1);
    EXPECT_EQ(settings.scale, 2.0);
}

TEST_F(DimStyleOverridesTest, AnUnreadableStyleGivesTheDefaults) {
    const AdHandle unknown = H(0x77);
    ASSERT_EQ(adDimStyleOverrides(d, &entity, &settings, &unknown), 0);
    EXPECT_EQ(settings.scale, 1.0);
    EXPECT_EQ(settings.arrowSize, 0.09);
    EXPECT_EQ(settings.gap, 0.09);
    EXPECT_EQ(settings.textAbove, 0);
    EXPECT_EQ(settings.arrowCode, 0);
    EXPECT_EQ(V(settings.arrowBlock), 0u);
    EXPECT_EQ(settings.lineColour, 0);
}

// A value length that runs past the stored data is damage, not the end of
// the overrides: it is reported, with what was read before it kept.
TEST_F(DimStyleOverridesTest, DamagedXdataIsReported) {
    d->version = AD_VERSION_AC1015;
    giveXdata({Handle(1001, kAcad), Text("DSTYLE"), Brace('{'), Int16(40), Real(1040, 6.0), Int16(41)},
              Le16(1040) + Le16(200) + Le32(0) + Dbl(0.75));
    EXPECT_EQ(overrides(), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_XDATA_DAMAGED);
    EXPECT_EQ(settings.scale, 6.0);
    EXPECT_EQ(settings.arrowSize, 0.25);
}

}  // namespace
