// Symbol table cursors: walking, lookups by handle and name, add and update
// round trips, refusals, cut names, layer switches and record defaults.
#include "table_fixture.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using TablesTest = TableTest;

TEST_F(TablesTest, CursorWalksRecordsInOrderAndStopsAtTheEnd) {
    AdLayerRecord r{};
    EXPECT_EQ(adLayerCount(d), 0);
    EXPECT_EQ(adLayerRewind(d), 1);
    EXPECT_EQ(adLayerNext(d, &r), 0);

    for (std::uint64_t h : {0x10, 0x11, 0x12}) {
        r = layer("L", h);
        ASSERT_EQ(adLayerAdd(d, &r), 1);
    }
    EXPECT_EQ(adLayerCount(d), 3);
    adLayerRewind(d);
    for (std::uint64_t h : {0x10, 0x11, 0x12}) {
        ASSERT_EQ(adLayerNext(d, &r), 1);
        EXPECT_EQ(V(r.handle), h);
    }
    EXPECT_EQ(adLayerNext(d, &r), 0);
    EXPECT_EQ(adLayerNext(d, &r), 0);
    adLayerRewind(d);
    ASSERT_EQ(adLayerNext(d, &r), 1);
    EXPECT_EQ(V(r.handle), 0x10u);
}

TEST_F(TablesTest, ByHandleReadsTheRecordAndLeavesTheFollowingOneCurrent) {
    for (std::uint64_t h : {0x20, 0x21, 0x22}) {
        AdLayerRecord r = layer(("L" + std::to_string(h)).c_str(), h);
        ASSERT_EQ(adLayerAdd(d, &r), 1);
    }
    AdLayerRecord r{};
    const AdHandle h21 = H(0x21);
    ASSERT_EQ(adLayerByHandle(d, &h21, &r), 1);
    EXPECT_STREQ(r.name, "L33");
    ASSERT_EQ(adLayerNext(d, &r), 1);
    EXPECT_EQ(V(r.handle), 0x22u);
}

TEST_F(TablesTest, ByHandleAndUpdateRefuseUnknownHandlesAndRecordsOfOtherTables) {
    AdLayerRecord l = layer("0", 0x30);
    AdLtypeRecord t = ltype("DASHED", 0x31);
    ASSERT_EQ(adLayerAdd(d, &l), 1);
    ASSERT_EQ(adLtypeAdd(d, &t), 1);

    AdLayerRecord r{};
    const AdHandle unknown = H(0x99), ofLtype = H(0x31);
    EXPECT_EQ(adLayerByHandle(d, &unknown, &r), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_UNKNOWN_HANDLE);
    EXPECT_EQ(adLayerByHandle(d, &ofLtype, &r), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_OTHER_TABLE);

    l.handle = unknown;
    EXPECT_EQ(adLayerUpdate(d, &l), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_UNKNOWN_HANDLE);
    l.handle = ofLtype;
    EXPECT_EQ(adLayerUpdate(d, &l), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_OTHER_TABLE);
    AdLtypeRecord stillLtype{};
    ASSERT_EQ(adLtypeByHandle(d, &ofLtype, &stillLtype), 1);
    EXPECT_STREQ(stillLtype.name, "DASHED");
}

TEST_F(TablesTest, HandleByNameIgnoresAsciiCaseAndKeepsTheCursor) {
    struct Case {
        const char* table;
        std::function<void(const char*, std::uint64_t)> put;
        std::function<int(const char*, AdHandle*)> find;
    };
    const Case cases[] = {
        {"LAYER", [&](const char* n, std::uint64_t h) { AdLayerRecord r = layer(n, h); adLayerAdd(d, &r); },
         [&](const char* n, AdHandle* h) { return adLayerHandleByName(d, n, h); }},
        {"LTYPE", [&](const char* n, std::uint64_t h) { AdLtypeRecord r = ltype(n, h); adLtypeAdd(d, &r); },
         [&](const char* n, AdHandle* h) { return adLtypeHandleByName(d, n, h); }},
        {"STYLE",
         [&](const char* n, std::uint64_t h) {
             AdStyleRecord r;
             adDefaultStyleRecord(&r);
             std::strcpy(r.name, n);
             r.handle = H(h);
             store(d->styles, r);
         },
         [&](const char* n, AdHandle* h) { return adStyleHandleByName(d, n, h); }},
        {"APPID",
         [&](const char* n, std::uint64_t h) {
             AdAppidRecord r;
             adDefaultAppidRecord(&r);
             std::strcpy(r.name, n);
             r.handle = H(h);
             store(d->appids, r);
         },
         [&](const char* n, AdHandle* h) { return adAppidHandleByName(d, n, h); }},
    };
    std::uint64_t next = 0x100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        c.put("Alpha", next);
        c.put("Beta", next + 1);
        AdHandle h = H(0xDEAD);
        ASSERT_EQ(c.find("bETA", &h), 1);
        EXPECT_EQ(V(h), next + 1);
        h = H(0xDEAD);
        EXPECT_EQ(c.find("Gamma", &h), 0);
        EXPECT_EQ(V(h), 0u);
        EXPECT_EQ(c.find("Alph", &h), 0);
        next += 0x10;
    }

    // The cursor stays on the second layer through a hit and a miss.
    AdLayerRecord r{};
    adLayerRewind(d);
    adLayerNext(d, &r);
    AdHandle h;
    adLayerHandleByName(d, "beta", &h);
    adLayerHandleByName(d, "missing", &h);
    ASSERT_EQ(adLayerNext(d, &r), 1);
    EXPECT_STREQ(r.name, "Beta");
}

TEST_F(TablesTest, UpdateRoundTripsForEveryUpdatableTable) {
    struct Case {
        const char* table;
        std::function<void()> put;                     // a record named "Before" with handle 0x40
        std::function<int(const char*)> rename;        // read by handle, rename, write back
        std::function<std::string()> nameByHandle;
    };
    const AdHandle h = H(0x40);
    auto roundTrip = [&](auto record, auto byHandle, auto update) {
        return std::function<int(const char*)>([=, this](const char* name) mutable {
            if (!byHandle(d, &h, &record)) return 0;
            std::strcpy(record.name, name);
            return update(d, &record);
        });
    };
    auto reader = [&](auto record, auto byHandle) {
        return std::function<std::string()>([=, this]() mutable {
            return byHandle(d, &h, &record) ? std::string(record.name) : std::string("<missing>");
        });
    };
    const Case cases[] = {
        {"LAYER", [&] { AdLayerRecord r = layer("Before", 0x40); ASSERT_EQ(adLayerAdd(d, &r), 1); },
         roundTrip(AdLayerRecord{}, adLayerByHandle, adLayerUpdate), reader(AdLayerRecord{}, adLayerByHandle)},
        {"LTYPE", [&] { AdLtypeRecord r = ltype("Before", 0x40); ASSERT_EQ(adLtypeAdd(d, &r), 1); },
         roundTrip(AdLtypeRecord{}, adLtypeByHandle, adLtypeUpdate), reader(AdLtypeRecord{}, adLtypeByHandle)},
        {"VPORT",
         [&] {
             AdVportRecord r;
             adDefaultVportRecord(&r);
             std::strcpy(r.name, "Before");
             r.handle = h;
             store(d->vports, r);
         },
         roundTrip(AdVportRecord{}, adVportByHandle, adVportUpdate), reader(AdVportRecord{}, adVportByHandle)},
        {"DIMSTYLE",
         [&] {
             AdDimStyleRecord r;
             adDefaultDimStyleRecord(d, &r);
             std::strcpy(r.name, "Before");
             r.handle = h;
             store(d->dimStyles, r);
         },
         roundTrip(AdDimStyleRecord{}, adDimStyleByHandle, adDimStyleUpdate),
         reader(AdDimStyleRecord{}, adDimStyleByHandle)},
        {"BLOCK",
         [&] {
             AdBlockHeader ms = block("*MODEL_SPACE", 0x41);
             store(d->blocks, ms, sizeof(AdStoredBlock));
             AdBlockHeader r = block("Before", 0x40);
             ASSERT_EQ(adBlockAdd(d, &r), 1);
         },
         roundTrip(AdBlockHeader{}, adBlockByHandle, adBlockUpdate), reader(AdBlockHeader{}, adBlockByHandle)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        TearDown();
        SetUp();
        c.put();
        EXPECT_EQ(c.nameByHandle(), "Before");
        ASSERT_EQ(c.rename("After"), 1);
        EXPECT_EQ(c.nameByHandle(), "After");
    }
}

TEST_F(TablesTest, AddRefusesADuplicateHandleAndLeavesTheTableAsItWas) {
    struct Case {
        const char* table;
        std::function<int(std::uint64_t)> add;
        std::function<std::int32_t()> count;
    };
    const Case cases[] = {
        {"LAYER", [&](std::uint64_t h) { AdLayerRecord r = layer("X", h); return adLayerAdd(d, &r); },
         [&] { return adLayerCount(d); }},
        {"LTYPE", [&](std::uint64_t h) { AdLtypeRecord r = ltype("X", h); return adLtypeAdd(d, &r); },
         [&] { return adLtypeCount(d); }},
        {"BLOCK", [&](std::uint64_t h) { AdBlockHeader r = block("X", h); return adBlockAdd(d, &r); },
         [&] { return adBlockCount(d); }},
    };
    AdBlockHeader ms = block("*MODEL_SPACE", 0x50);
    store(d->blocks, ms, sizeof(AdStoredBlock));
    std::uint64_t next = 0x60;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        ASSERT_EQ(c.add(next), 1);
        const std::int32_t before = c.count();
        state.get()->offendingHandle = AdHandle{};
        EXPECT_EQ(c.add(next), 0);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_DUPLICATE_HANDLE);
        EXPECT_EQ(V(state.get()->offendingHandle), next);
        EXPECT_EQ(c.count(), before);
        // A handle used by another table is a duplicate too.
        EXPECT_EQ(c.add(0x50), 0);
        next += 0x10;
    }
    AdLayerRecord nullHandle = layer("N", 0);
    EXPECT_EQ(adLayerAdd(d, &nullHandle), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_NULL_HANDLE_KEY);
}

TEST_F(TablesTest, OverlongTextsAreCutToTheirFields) {
    AdLayerRecord r = layer("", 0x70);
    std::memset(r.name, 'N', sizeof r.name);  // no terminator at all
    ASSERT_EQ(adLayerAdd(d, &r), 1);
    AdLayerRecord back{};
    const AdHandle h = H(0x70);
    ASSERT_EQ(adLayerByHandle(d, &h, &back), 1);
    EXPECT_EQ(std::string(back.name), std::string(AD_TABLE_NAME_SIZE - 1, 'N'));

    const std::string longName(2 * AD_TABLE_NAME_SIZE, 'N');
    AdHandle found;
    EXPECT_EQ(adLayerHandleByName(d, longName.c_str(), &found), 0);

    AdLtypeRecord t = ltype("T", 0x72);
    std::memset(t.description, 'D', sizeof t.description);
    std::memset(t.textArea, 'X', sizeof t.textArea);
    ASSERT_EQ(adLtypeAdd(d, &t), 1);
    std::memset(t.name, 'T', sizeof t.name);
    ASSERT_EQ(adLtypeUpdate(d, &t), 1);
    AdLtypeRecord tb{};
    const AdHandle th = H(0x72);
    ASSERT_EQ(adLtypeByHandle(d, &th, &tb), 1);
    EXPECT_EQ(std::strlen(tb.name), AD_TABLE_NAME_SIZE - 1);
    EXPECT_EQ(std::strlen(tb.description), AD_TABLE_NAME_SIZE - 1);
    EXPECT_EQ(tb.textArea[AD_LTYPE_TEXT_AREA_SIZE - 1], '\0');

    const std::string longClass(3 * AD_TABLE_NAME_SIZE, 'C');
    ASSERT_EQ(adClassRegister(d, longClass.c_str(), longClass.c_str(), longClass.c_str(), 0, 499, 0), 500);
    AdClassRecord c{};
    adClassRewind(d);
    ASSERT_EQ(adClassNext(d, &c), 1);
    EXPECT_EQ(std::strlen(c.dxfName), AD_TABLE_NAME_SIZE - 1);
    EXPECT_EQ(std::strlen(c.applicationName), AD_TABLE_NAME_SIZE - 1);
}

TEST_F(TablesTest, LayerSwitchesFollowColourSignAndFlagBits) {
    struct Case {
        std::int16_t colour;
        std::uint8_t on;
        std::int16_t expected;
    };
    const Case colours[] = {{5, 0, -5}, {-5, 0, -5}, {5, 1, 5}, {-5, 1, 5}, {-32768, 1, 32767}};
    AdLayerRecord r = layer("L", 0x80);
    ASSERT_EQ(adLayerAdd(d, &r), 1);
    const AdHandle h = H(0x80);
    for (const Case& c : colours) {
        SCOPED_TRACE(c.colour);
        r.colour = c.colour;
        ASSERT_EQ(adLayerUpdate(d, &r), 1);
        ASSERT_EQ(adLayerSetState(d, &h, c.on, 0, 0, 0), 1);
        AdLayerRecord back{};
        adLayerByHandle(d, &h, &back);
        EXPECT_EQ(back.colour, c.expected);
    }

    // 1 and 0xFF both mean "set"; 0 clears.
    ASSERT_EQ(adLayerSetState(d, &h, 0xFF, 1, 0xFF, 0), 1);
    std::uint8_t on = 9, frozen = 9, frozenInNew = 9, locked = 9;
    ASSERT_EQ(adLayerGetState(d, &h, &on, &frozen, &frozenInNew, &locked), 1);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(frozen, 1);
    EXPECT_EQ(frozenInNew, 1);
    EXPECT_EQ(locked, 0);
    ASSERT_EQ(adLayerSetState(d, &h, 0, 0, 0, 1), 1);
    ASSERT_EQ(adLayerGetState(d, &h, &on, &frozen, &frozenInNew, &locked), 1);
    EXPECT_EQ(on, 0);
    EXPECT_EQ(frozen, 0);
    EXPECT_EQ(frozenInNew, 0);
    EXPECT_EQ(locked, 1);

    AdLtypeRecord t = ltype("T", 0x81);
    adLtypeAdd(d, &t);
    const AdHandle notLayer = H(0x81), unknown = H(0x82);
    EXPECT_EQ(adLayerGetState(d, &notLayer, &on, &frozen, &frozenInNew, &locked), 0);
    EXPECT_EQ(adLayerSetState(d, &unknown, 1, 0, 0, 0), 0);
}

TEST_F(TablesTest, DefaultsFillTheDocumentedValues) {
    AdLayerRecord l;
    adDefaultLayerRecord(d, &l);
    EXPECT_EQ(l.xrefIndex, -1);
    EXPECT_EQ(l.colour, 7);
    EXPECT_EQ(V(l.linetype), 0u);  // no LTYPE record yet
    EXPECT_EQ(l.drawing, d);
    EXPECT_EQ(l.plotFlag, 1);
    EXPECT_EQ(l.lineweight, -3);
    AdLtypeRecord first = ltype("CONTINUOUS", 0x90);
    ASSERT_EQ(adLtypeAdd(d, &first), 1);
    adDefaultLayerRecord(d, &l);
    EXPECT_EQ(V(l.linetype), 0x90u);

    AdLtypeRecord t;
    std::strcpy(t.name, "KEEP");
    t.dashCount = 4;
    adDefaultLtypeRecord(&t);
    EXPECT_STREQ(t.name, "KEEP");
    EXPECT_EQ(t.dashCount, 0);
    EXPECT_EQ(t.alignment, 'A');
    EXPECT_EQ(t.flags, 64);
    EXPECT_EQ(t.description[0], '\0');

    AdVportRecord v;
    adDefaultVportRecord(&v);
    EXPECT_DOUBLE_EQ(v.upperRight[1], 1.0);
    EXPECT_DOUBLE_EQ(v.viewCentre[0], 6.21);
    EXPECT_DOUBLE_EQ(v.viewCentre[1], 9.02);
    EXPECT_DOUBLE_EQ(v.viewDirection[2], 1.0);
    EXPECT_DOUBLE_EQ(v.viewHeight, 18.04);
    EXPECT_DOUBLE_EQ(v.aspectRatio, 0.688564);
    EXPECT_EQ(v.circleZoom, 100);
    EXPECT_DOUBLE_EQ(v.ucsYAxis[1], 1.0);

    AdViewTableRecord w;
    adDefaultViewRecord(&w);
    EXPECT_DOUBLE_EQ(w.height, 1.0);
    EXPECT_DOUBLE_EQ(w.width, 1.0);
    EXPECT_DOUBLE_EQ(w.lensLength, 50.0);

    AdUcsRecord u;
    adDefaultUcsRecord(&u);
    EXPECT_DOUBLE_EQ(u.xAxis[0], 1.0);
    EXPECT_DOUBLE_EQ(u.yAxis[1], 1.0);

    AdStyleRecord s;
    adDefaultStyleRecord(&s);
    EXPECT_DOUBLE_EQ(s.widthFactor, 1.0);
    s.handle = H(0x91);
    store(d->styles, s);

    AdDimStyleRecord ds;
    adDefaultDimStyleRecord(d, &ds);
    EXPECT_DOUBLE_EQ(ds.dimaltf, 25.4);
    EXPECT_DOUBLE_EQ(ds.dimexo, 0.0625);
    EXPECT_EQ(ds.dimtih, 1);
    EXPECT_EQ(ds.dimdec, 4);
    EXPECT_EQ(ds.dimunit, 2);
    EXPECT_EQ(ds.dimdsep, 46);
    EXPECT_EQ(ds.dimlwe, -2);
    EXPECT_EQ(V(ds.dimtxsty), 0x91u);

    AdBlockHeader b;
    adDefaultBlockHeader(&b);
    EXPECT_EQ(b.loadState, -1);
    EXPECT_EQ(b.entities, nullptr);

    AdAppidRecord a;
    adDefaultAppidRecord(&a);
    EXPECT_EQ(a.xrefIndex, -1);
}
