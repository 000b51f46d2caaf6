// Release-12 viewports take their view out of the "ACAD" "MVIEW" extended
// data after the load.
#include <cstring>
#include "toolkit/db/load_stages.h"
#include "toolkit/db/r12/r12_read.h"
#include <vector>

#include "r12_entity_fixture.h"

namespace {

AdHandle H(std::uint8_t low) {
    AdHandle h{};
    h.b[7] = low;
    return h;
}

AdXdataItem item(std::int16_t code) {
    AdXdataItem i{};
    i.code = code;
    return i;
}
AdXdataItem text(std::int16_t code, const char* t) {
    AdXdataItem i = item(code);
    std::strcpy(i.value.text, t);
    return i;
}
AdXdataItem handle(std::int16_t code, const AdHandle& h) {
    AdXdataItem i = item(code);
    i.value.handle = h;
    return i;
}
AdXdataItem real(double v) {
    AdXdataItem i = item(1040);
    i.value.real = v;
    return i;
}
AdXdataItem word(std::int16_t v) {
    AdXdataItem i = item(1070);
    i.value.int16 = v;
    return i;
}
AdXdataItem point(double x, double y, double z) {
    AdXdataItem i = item(1010);
    i.value.point[0] = x;
    i.value.point[1] = y;
    i.value.point[2] = z;
    return i;
}

constexpr std::uint8_t kHidden = 0x21;
constexpr std::uint8_t kOtherApp = 0x30;

// The group as a release-12 viewport carries it: target (1, 2, 3), a
// direction with a speck of noise in x, reals 10 to 16, words view mode 1,
// circle zoom 500, fast zoom 1, icon 3, snap 1, grid 0, isometric style 1,
// pair 2, reals 20 to 26, hidden plot 1, frozen layers HIDDEN and one that
// is gone; then a word of another application.
std::vector<AdXdataItem> mview(const AdHandle& acad, bool complete) {
    std::vector<AdXdataItem> items = {handle(1001, acad), text(1000, "MVIEW"), text(1002, "{"), word(16),
                                      point(1, 2, 3), point(1e-14, 0, 1)};
    for (int i = 10; i <= 16; ++i) items.push_back(real(i));
    for (std::int16_t w : {1, 500, 1, 3, 1, 0, 1, 2}) items.push_back(word(w));
    for (int i = 20; i <= 26; ++i) items.push_back(real(i));
    if (!complete) items.pop_back();
    items.push_back(word(1));
    items.push_back(text(1002, "{"));
    items.push_back(handle(1003, H(kHidden)));
    items.push_back(handle(1003, AdHandle{}));
    items.push_back(text(1002, "}"));
    items.push_back(text(1002, "}"));
    items.push_back(handle(1001, H(kOtherApp)));
    items.push_back(word(42));
    return items;
}

AdStore* xdataStore(std::vector<AdXdataItem> items) {
    AdStore* store = adStoreCreate(4096);
    AdStream* out = adStreamOpenWrite(store);
    for (AdXdataItem& i : items) adXdataWriteItem(out, &i);
    adStreamCloseWrite(out);
    return store;
}

std::vector<std::int16_t> codes(AdStore* store) {
    std::vector<std::int16_t> result;
    if (!store) return result;
    AdStream* in = adStreamOpenRead(store);
    AdXdataItem i;
    while (adXdataReadItem(in, &i)) result.push_back(i.code);
    adStreamCloseRead(in);
    return result;
}

class R12Viewports : public R12EntityTest {
protected:
    void SetUp() override {
        R12EntityTest::SetUp();
        const AdHandle seed = H(0x40);
        adSetHandleSeed(d, &seed);
        ASSERT_EQ(adAddAcadAppid(d), 1);
        ASSERT_EQ(adAppidHandleByName(d, "ACAD", &acad), 1);
        AdLayerRecord layer;
        adDefaultLayerRecord(d, &layer);
        std::strcpy(layer.name, "HIDDEN");
        layer.handle = H(kHidden);
        ASSERT_EQ(adLayerAdd(d, &layer), 1);
        AdSpaceBlock model{}, paper{};
        std::strcpy(model.name, "*Model_Space");
        std::strcpy(paper.name, "*Paper_Space");
        ASSERT_EQ(adAddSpaceBlocks(d, &model, &paper), 1);
    }

    AdHandle addViewport(std::uint8_t id, AdStore* xdata) {
        AdEntityHeader h{};
        h.type = AD_ENTITY_VIEWPORT;
        adEntityDefaults(d, &h, data.get());
        h.flags |= AD_ENTITY_FLAG_PAPER_SPACE;
        h.xdata = xdata;
        adNextHandle(d, &h.handle);
        data->viewport.id = id;
        EXPECT_EQ(adEntityAdd(d, d->paperSpace, &h, data.get()), 1);
        return h.handle;
    }

    void read(const AdHandle& h) { ASSERT_EQ(adEntityByHandle(d, d->paperSpace, &h, &header, data.get()), 1); }

    AdHandle acad{};
};

TEST_F(R12Viewports, GroupMovesIntoTheFieldsAndLeavesTheExtendedData) {
    const AdHandle first = addViewport(2, xdataStore(mview(acad, true)));
    const AdHandle broken = addViewport(3, xdataStore(mview(acad, false)));
    const AdHandle last = addViewport(4, xdataStore(mview(acad, true)));
    // What a viewport-entity header gave the first viewport's list record.
    AdListRecord* record = adListFirst(d->vportEntities);
    ASSERT_NE(record, nullptr);
    std::strcpy(reinterpret_cast<AdVportEntityHeader*>(adListRecordData(record))->name, "VP2");
    EXPECT_EQ(adConvertR12Viewports(d), 0);
    ASSERT_EQ(adListCount(d->vportEntities), 3);
    AdVportEntityHeader viewport{};
    for (AdListRecord* r = adListFirst(d->vportEntities); r; r = r->next) {
        std::memcpy(&viewport, adListRecordData(r), sizeof viewport);
        if (adHandleCompare(&viewport.entityHandle, &first) == 0) break;
    }
    EXPECT_STREQ(viewport.name, "VP2");

    // The broken group stops neither the viewport after it nor the load.
    for (const AdHandle& h : {first, last}) {
        read(h);
        const AdViewportData& v = data->viewport;
        EXPECT_EQ(v.viewTarget[2], 3.0);
        EXPECT_EQ(v.viewDirection[0], 0.0);
        EXPECT_EQ(v.viewDirection[2], 1.0);
        EXPECT_EQ(v.twist, 10.0);
        EXPECT_EQ(v.viewCentre[1], 13.0);
        EXPECT_EQ(v.lensLength, 14.0);
        EXPECT_EQ(v.backClip, 16.0);
        EXPECT_EQ(v.circleZoom, 500);
        EXPECT_EQ(v.snapAngle, 20.0);
        EXPECT_EQ(v.snapBase[1], 22.0);
        EXPECT_EQ(v.gridSpacing[1], 26.0);
        // View mode 1, icon on at the origin, fast zoom, snap, isometric,
        // pair right, hidden in plot; the always-set bit stays.
        EXPECT_EQ(v.statusFlags, 0x8000 | 0x01 | 0x20 | 0x40 | 0x80 | 0x100 | 0x400 | 0x800 | 0x2000);
        ASSERT_EQ(v.frozenLayerCount, 1);
        AdHandle frozen{};
        AdStream* in = adStreamOpenRead(v.frozenLayers);
        adStreamRead(in, frozen.b, sizeof frozen.b);
        adStreamCloseRead(in);
        EXPECT_EQ(frozen.b[7], kHidden);
        EXPECT_EQ(codes(header.xdata), (std::vector<std::int16_t>{1001, 1070}));
    }
    read(broken);
    EXPECT_EQ(data->viewport.circleZoom, 100);
    EXPECT_EQ(codes(header.xdata).size(), mview(acad, false).size());
}

}  // namespace
