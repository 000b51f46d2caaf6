// Entity lists: walking, finding, adding, replacing and deleting entities
// while the handle index, the blocks' INSERT reference stores and the
// paper-space viewport list follow every change.
#include "entity_list_fixture.h"

#include "toolkit/db/host_fault.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace {

using Handles = std::vector<std::uint64_t>;

class EntityLists : public EntityListTest {
protected:
    void TearDown() override {
        HostFailAllocationAfter(-1);
        EntityListTest::TearDown();
    }
    AdRecordList* b1() { return blockLists[0]; }
    // LINEs with the handles, in order.
    void lines(AdRecordList* list, const Handles& hs) {
        for (std::uint64_t h : hs) ASSERT_EQ(add(list, make(AD_ENTITY_LINE, h, static_cast<double>(h))), 1);
    }
};

TEST_F(EntityLists, WalkStopsAtTheEndAndLeavesNoCurrentRecord) {
    Entity e;
    EXPECT_EQ(adEntityRewind(nullptr), 0);
    ASSERT_EQ(adEntityRewind(b1()), 1);
    EXPECT_EQ(adEntityNext(b1(), &e.header, &e.data), 0);

    lines(b1(), {0x101, 0x102});
    adEntityRewind(b1());
    ASSERT_EQ(adEntityNext(b1(), &e.header, &e.data), 1);
    ASSERT_EQ(adEntityNext(b1(), &e.header, &e.data), 1);
    EXPECT_EQ(V(e.header.handle), 0x102u);
    EXPECT_EQ(e.data.line.start[0], 0x102);
    EXPECT_EQ(adListCurrent(b1()), nullptr);
    EXPECT_EQ(adEntityNext(b1(), &e.header, &e.data), 0);
}

TEST_F(EntityLists, ByHandleReadsOnlyEntitiesOfTheList) {
    lines(b1(), {0x101, 0x102, 0x103});
    lines(d->modelSpace, {0x201});
    Entity e;
    const AdHandle middle = H(0x102), elsewhere = H(0x201), unknown = H(0x999);
    ASSERT_EQ(adEntityByHandle(d, b1(), &middle, &e.header, &e.data), 1);
    EXPECT_EQ(V(e.header.handle), 0x102u);
    // The entity after it is current, so a walk goes on from there.
    ASSERT_EQ(adEntityNext(b1(), &e.header, &e.data), 1);
    EXPECT_EQ(V(e.header.handle), 0x103u);
    EXPECT_EQ(adEntityByHandle(d, b1(), &elsewhere, &e.header, &e.data), 0);
    EXPECT_EQ(adEntityByHandle(d, b1(), &unknown, &e.header, &e.data), 0);
}

TEST_F(EntityLists, BlockListAndCountByBlockHandle) {
    lines(blockLists[1], {0x101, 0x102});
    const AdHandle b2 = H(kBlocks[1]), none = H(0x777), line = H(0x101);
    EXPECT_EQ(adBlockEntityList(d, &b2), blockLists[1]);
    EXPECT_EQ(adGlobals->errorCode, 0);
    EXPECT_EQ(adBlockEntityCount(d, &b2), 2);
    EXPECT_EQ(adBlockEntityList(d, &none), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_NO_BLOCK_LIST);
    EXPECT_EQ(adBlockEntityList(d, &line), nullptr);  // an entity's handle names no block
    EXPECT_EQ(adBlockEntityCount(d, &none), 0);
}

TEST_F(EntityLists, AddAfterPlacesTheEntity) {
    struct Case {
        const char* what;
        bool given;
        std::uint64_t after;  // 1..3: the LINEs, 0: the null handle
        Handles expected;     // 0 stands for the new entity
    };
    const Case cases[] = {
        {"no handle", false, 0, {0, 1, 2, 3}},
        {"null handle", true, 0, {0, 1, 2, 3}},
        {"after the first", true, 1, {1, 0, 2, 3}},
        {"after the last", true, 3, {1, 2, 3, 0}},
    };
    std::uint64_t base = 0x1000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        base += 0x10;
        AdRecordList* list = blockLists[1];
        lines(list, {base + 1, base + 2, base + 3});
        const Entity e = make(AD_ENTITY_CIRCLE, base);
        const AdHandle after = H(c.after ? base + c.after : 0);
        ASSERT_EQ(adEntityAddAfter(d, list, &e.header, &e.data, c.given ? &after : nullptr), 1);
        Handles expected;
        for (std::uint64_t i : c.expected) expected.push_back(base + i);
        EXPECT_EQ(handles(list), expected);
        for (std::uint64_t h : expected) {
            const AdHandle handle = H(h);
            ASSERT_EQ(adEntityDelete(d, list, &handle, 1), 1);
        }
    }
    lines(b1(), {0x101});
    const Entity e = make(AD_ENTITY_CIRCLE, 0x901);
    const AdHandle unknown = H(0x555), elsewhere = H(base);
    EXPECT_EQ(adEntityAddAfter(d, b1(), &e.header, &e.data, &unknown), 0);
    EXPECT_EQ(adEntityAddAfter(d, b1(), &e.header, &e.data, &elsewhere), 0);
    EXPECT_EQ(handles(b1()), Handles{0x101});
}

TEST_F(EntityLists, DuplicateHandleFailsAndChangesNothing) {
    ASSERT_EQ(add(b1(), make(AD_ENTITY_INSERT, 0x101, 0, kBlocks[2])), 1);
    ASSERT_EQ(add(b1(), make(AD_ENTITY_LINE, 0x102)), 1);
    const AdHandle h = H(0x101);
    const void* indexed = adHandleIndexFind(d, &h);
    // An INSERT of another block under a handle in use: its reference must
    // not stay behind either.
    EXPECT_EQ(add(blockLists[1], make(AD_ENTITY_INSERT, 0x101, 0, kBlocks[0])), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_DUPLICATE_HANDLE);
    EXPECT_EQ(V(adGlobals->offendingHandle), 0x101u);
    EXPECT_EQ(adListCount(blockLists[1]), 0);
    EXPECT_EQ(references(kBlocks[0]), Handles{});
    EXPECT_EQ(references(kBlocks[2]), Handles{0x101});
    EXPECT_EQ(adHandleIndexFind(d, &h), indexed);
    EXPECT_EQ(handles(b1()), (Handles{0x101, 0x102}));
}

TEST_F(EntityLists, FailedAddUnderMemoryShortageLeavesNothingBehind) {
    ASSERT_EQ(add(d->paperSpace, make(AD_ENTITY_INSERT, 0x100, 0, kBlocks[0])), 1);
    int failures = 0;
    for (std::int32_t n = 0; n < 20; ++n) {
        const std::uint64_t handle = 0x200 + static_cast<std::uint64_t>(n);
        const Entity e = make(n % 2 ? AD_ENTITY_VIEWPORT : AD_ENTITY_INSERT, handle, 0, kBlocks[0]);
        const Handles before = handles(d->paperSpace);
        const Handles refs = references(kBlocks[0]);
        const Handles views = viewports();
        HostFailAllocationAfter(n % 4);
        const int added = add(d->paperSpace, e);
        HostFailAllocationAfter(-1);
        if (added) continue;
        ++failures;
        const AdHandle h = H(handle);
        EXPECT_EQ(adHandleIndexFind(d, &h), nullptr);
        EXPECT_EQ(handles(d->paperSpace), before);
        EXPECT_EQ(references(kBlocks[0]), refs);
        EXPECT_EQ(viewports(), views);
    }
    EXPECT_GT(failures, 0);
}

// A walk may replace each entity it reads: the update leaves the entity
// after the replaced one current.
TEST_F(EntityLists, UpdateKeepsThePlaceAndLetsAWalkGoOn) {
    lines(b1(), {0x101, 0x102, 0x103});
    Entity e;
    Handles walked;
    adEntityRewind(b1());
    while (adEntityNext(b1(), &e.header, &e.data)) {
        walked.push_back(V(e.header.handle));
        const Entity circle = make(AD_ENTITY_CIRCLE, V(e.header.handle), 7);
        ASSERT_EQ(adEntityUpdate(d, b1(), &circle.header.handle, &circle.header, &circle.data), 1);
    }
    EXPECT_EQ(walked, (Handles{0x101, 0x102, 0x103}));
    EXPECT_EQ(handles(b1()), walked);
    const AdHandle middle = H(0x102);
    ASSERT_EQ(adEntityByHandle(d, b1(), &middle, &e.header, &e.data), 1);
    EXPECT_EQ(e.header.type, AD_ENTITY_CIRCLE);
    EXPECT_EQ(e.data.circle.centre[0], 7);
}

TEST_F(EntityLists, UpdateErrors) {
    lines(b1(), {0x101});
    lines(d->modelSpace, {0x201});
    const Entity e = make(AD_ENTITY_LINE, 0x101);
    const AdHandle unknown = H(0x999), elsewhere = H(0x201);
    EXPECT_EQ(adEntityUpdate(d, nullptr, &e.header.handle, &e.header, &e.data), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_ENTITY_LIST_NULL);
    EXPECT_EQ(adEntityUpdate(d, b1(), &unknown, &e.header, &e.data), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_ENTITY_UNKNOWN);
    EXPECT_EQ(adEntityUpdate(d, b1(), &elsewhere, &e.header, &e.data), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_ENTITY_OTHER_LIST);
}

TEST_F(EntityLists, FailedUpdateLeavesTheOldEntityWithItsStores) {
    lines(b1(), {0x101, 0x102, 0x103});
    Entity old = make(AD_ENTITY_LINE, 0x102, 5);
    old.header.xdata = handleStore(0xAB);
    ASSERT_EQ(adEntityUpdate(d, b1(), &old.header.handle, &old.header, &old.data), 1);
    // An INSERT of a block the drawing does not have cannot be stored.
    const Entity bad = make(AD_ENTITY_INSERT, 0x102, 0, 0x777);
    EXPECT_EQ(adEntityUpdate(d, b1(), &bad.header.handle, &bad.header, &bad.data), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_ENTITY_PACK);
    EXPECT_EQ(handles(b1()), (Handles{0x101, 0x102, 0x103}));
    Entity e;
    ASSERT_EQ(adEntityByHandle(d, b1(), &old.header.handle, &e.header, &e.data), 1);
    EXPECT_EQ(e.data.line.start[0], 5);
    EXPECT_EQ(storedHandles(e.header.xdata), Handles{0xAB});
}

// A store the new entity holds is kept (reading it afterwards would be a use
// after free); any other store of the old entity goes (else a leak).
TEST_F(EntityLists, UpdateFreesOnlyTheStoresTheNewEntityDoesNotHold) {
    Entity hatch = make(kHatch, 0x101);
    hatch.header.xdata = handleStore(1);
    hatch.header.reactors = handleStore(2);
    hatch.data.hatch.paths = handleStore(3);
    hatch.data.hatch.patternLines = handleStore(4);
    hatch.data.hatch.further = handleStore(5);
    hatch.data.hatch.seeds = handleStore(6);
    ASSERT_EQ(add(b1(), hatch), 1);

    Entity same = hatch;
    same.data.hatch.seeds = handleStore(7);
    ASSERT_EQ(adEntityUpdate(d, b1(), &same.header.handle, &same.header, &same.data), 1);
    Entity e;
    ASSERT_EQ(adEntityByHandle(d, b1(), &same.header.handle, &e.header, &e.data), 1);
    EXPECT_EQ(storedHandles(e.data.hatch.paths), Handles{3});
    EXPECT_EQ(storedHandles(e.data.hatch.seeds), Handles{7});

    // Another type keeping only the header's xdata.
    Entity line = make(AD_ENTITY_LINE, 0x101);
    line.header.xdata = same.header.xdata;
    ASSERT_EQ(adEntityUpdate(d, b1(), &line.header.handle, &line.header, &line.data), 1);
    ASSERT_EQ(adEntityByHandle(d, b1(), &line.header.handle, &e.header, &e.data), 1);
    EXPECT_EQ(e.header.type, AD_ENTITY_LINE);
    EXPECT_EQ(storedHandles(e.header.xdata), Handles{1});
}

TEST_F(EntityLists, DeleteInsertRemovesExactlyItsReference) {
    for (std::uint64_t h : {0x101u, 0x102u, 0x103u, 0x104u})
        ASSERT_EQ(add(d->modelSpace, make(AD_ENTITY_INSERT, h, 0, kBlocks[1])), 1);
    Entity e;
    adEntityRewind(d->modelSpace);
    const AdHandle second = H(0x102);
    ASSERT_EQ(adEntityDelete(d, d->modelSpace, &second, 1), 1);
    EXPECT_EQ(references(kBlocks[1]), (Handles{0x101, 0x103, 0x104}));
    EXPECT_EQ(adHandleIndexFind(d, &second), nullptr);
    // The cursor stays on the entity that followed.
    ASSERT_EQ(adEntityNext(d->modelSpace, &e.header, &e.data), 1);
    EXPECT_EQ(V(e.header.handle), 0x103u);
    for (std::uint64_t h : {0x101u, 0x104u, 0x103u}) {
        const AdHandle handle = H(h);
        ASSERT_EQ(adEntityDelete(d, d->modelSpace, &handle, 1), 1);
    }
    EXPECT_EQ(references(kBlocks[1]), Handles{});
    EXPECT_EQ(adListCurrent(d->modelSpace), nullptr);
}

TEST_F(EntityLists, DeleteErrors) {
    lines(b1(), {0x101});
    const AdHandle unknown = H(0x999), line = H(0x101);
    EXPECT_EQ(adEntityDelete(d, nullptr, &line, 1), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_ENTITY_LIST_NULL);
    EXPECT_EQ(adEntityDelete(d, b1(), &unknown, 1), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_ENTITY_READ);
    EXPECT_EQ(adEntityDelete(d, d->modelSpace, &line, 1), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_ENTITY_READ);
    EXPECT_EQ(adListCount(b1()), 1);
}

TEST_F(EntityLists, PaperSpaceViewportsAreRegisteredSheetFirst) {
    ASSERT_EQ(add(d->paperSpace, make(AD_ENTITY_VIEWPORT, 0x101, 0, 0, 2)), 1);
    ASSERT_EQ(add(d->paperSpace, make(AD_ENTITY_VIEWPORT, 0x102, 0, 0, 3)), 1);
    ASSERT_EQ(add(d->paperSpace, make(AD_ENTITY_VIEWPORT, 0x103, 0, 0, 1)), 1);
    ASSERT_EQ(add(d->modelSpace, make(AD_ENTITY_VIEWPORT, 0x201, 0, 0, 1)), 1);
    EXPECT_EQ(viewports(), (Handles{0x103, 0x101, 0x102}));

    AdVportEntityHeader first;
    adListRewind(d->vportEntities);
    ASSERT_EQ(adListReadNext(d->vportEntities, &first, sizeof first), 1);
    const AdHandle sheet = H(0x103);
    EXPECT_EQ(first.entityRecord, adHandleIndexFind(d, &sheet));
    EXPECT_EQ(V(first.blockHandle), 0x1103u);

    const Entity moved = make(AD_ENTITY_VIEWPORT, 0x101, 0, 0, 1);
    ASSERT_EQ(adEntityUpdate(d, d->paperSpace, &moved.header.handle, &moved.header, &moved.data), 1);
    EXPECT_EQ(viewports(), (Handles{0x101, 0x103, 0x102}));
    ASSERT_EQ(adEntityDelete(d, d->paperSpace, &sheet, 1), 1);
    EXPECT_EQ(viewports(), (Handles{0x101, 0x102}));
}

TEST_F(EntityLists, ClassEntitiesMarkTheirClassUsed) {
    for (const char* name : {"HATCH", "IMAGE"}) {
        AdClassRecord c{};
        c.number = static_cast<std::int16_t>(std::string(name) == "HATCH" ? kHatch : kImage);
        std::strcpy(c.dxfName, name);
        c.proxyFlags = 0x8001;
        ASSERT_EQ(adClassAdd(d, &c), 1);
    }
    ASSERT_EQ(add(b1(), make(kHatch, 0x101)), 1);
    ASSERT_EQ(add(b1(), make(AD_ENTITY_LINE, 0x102)), 1);
    AdClassRecord c;
    ASSERT_EQ(adClassByName(d, "HATCH", &c), 1);
    EXPECT_EQ(c.proxyFlags, 0x0001);
    ASSERT_EQ(adClassByName(d, "IMAGE", &c), 1);
    EXPECT_EQ(c.proxyFlags, 0x8001);
}

// Each case sets every store field of the type; those the entity does not
// own the test frees itself, so freeing one of them shows as a double free
// and leaving an owned one as a leak.
TEST_F(EntityLists, FreeStoresFreesWhatTheTypeOwns) {
    struct Field {
        std::size_t offset;
        bool owned;
    };
    struct TypeCase {
        const char* what;
        std::uint16_t type;
        std::int32_t objectIdCount;
        std::vector<Field> fields;
    };
    const std::vector<TypeCase> cases = {
        {"SPLINE", AD_ENTITY_SPLINE, 0, {{offsetof(AdSplineData, points), true}}},
        {"3DSOLID", AD_ENTITY_3DSOLID, 0, {{offsetof(AdSatData, satText), true}, {offsetof(AdSatData, satTail), true}}},
        {"VIEWPORT", AD_ENTITY_VIEWPORT, 0, {{offsetof(AdViewportData, frozenLayers), true}}},
        {"MTEXT", AD_ENTITY_MTEXT, 0, {{offsetof(AdMtextData, longText), true}}},
        {"TOLERANCE", AD_ENTITY_TOLERANCE, 0, {{offsetof(AdToleranceData, store), true}}},
        {"IMAGE", kImage, 0,
         {{offsetof(AdImageData, clipVertices), true}, {offsetof(AdImageData, further), true},
          {offsetof(AdImageData, pixels), true}}},
        {"WIPEOUT", kWipeout, 0,
         {{offsetof(AdImageData, clipVertices), true}, {offsetof(AdImageData, further), true},
          {offsetof(AdImageData, pixels), true}}},
        {"proxy without ids", 600, 0,
         {{offsetof(AdProxyData, data), true}, {offsetof(AdProxyData, objectIds), false},
          {offsetof(AdProxyData, graphics), true}, {offsetof(AdProxyData, spareStore), true}}},
        {"proxy with ids", 600, 2, {{offsetof(AdProxyData, objectIds), true}}},
        {"LINE", AD_ENTITY_LINE, 0, {}},
    };
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(c.what);
        Entity e = make(c.type, 0x101);
        if (c.type == 600) e.data.proxy.objectIdCount = c.objectIdCount;
        e.header.xdata = handleStore(1);
        e.header.reactors = handleStore(2);
        auto* bytes = reinterpret_cast<std::uint8_t*>(&e.data);
        std::vector<AdStore*> notOwned;
        for (const Field& f : c.fields) {
            AdStore* s = handleStore(3);
            std::memcpy(bytes + f.offset, &s, sizeof s);
            if (!f.owned) notOwned.push_back(s);
        }
        EXPECT_EQ(adEntityFreeStores(d, &e.header, &e.data), 1);
        EXPECT_EQ(e.header.xdata, nullptr);
        EXPECT_EQ(e.header.reactors, nullptr);
        for (const Field& f : c.fields) {
            AdStore* s;
            std::memcpy(&s, bytes + f.offset, sizeof s);
            EXPECT_EQ(s == nullptr, f.owned);
        }
        for (AdStore* s : notOwned) adStoreFree(s);
    }
}

TEST_F(EntityLists, FreeEntityListEmptiesTheListAndKeepsTheHeader) {
    adFreeEntityList(d, nullptr);
    adFreeEntityList(d, b1());
    EXPECT_EQ(adListCount(b1()), 0);
    Entity e = make(AD_ENTITY_LINE, 0x101);
    e.header.xdata = handleStore(1);
    ASSERT_EQ(add(b1(), e), 1);
    lines(b1(), {0x102});
    adFreeEntityList(d, b1());
    EXPECT_EQ(adListCount(b1()), 0);
    EXPECT_EQ(adListFirst(b1()), nullptr);
    EXPECT_EQ(adListLast(b1()), nullptr);
    lines(b1(), {0x103});
    EXPECT_EQ(handles(b1()), Handles{0x103});
}

// Random adds, inserts, updates and deletes over the blocks and both spaces,
// checked against a plain model of every list, of the blocks' reference
// stores and of the viewport list. Entities carry xdata stores that hold
// their own handle, so a store freed too early, kept too long or given to the
// wrong entity shows.
class EntityListStress : public EntityListTest {
protected:
    struct Model {
        std::uint64_t handle;
        std::uint16_t type;
        double x;
        std::uint64_t block;
        std::int16_t id;
        bool xdata;
    };

    std::vector<AdRecordList*> lists() { return {blockLists[0], blockLists[1], blockLists[2], d->modelSpace, d->paperSpace}; }

    Entity build(const Model& m, AdStore* xdata) {
        Entity e = make(m.type, m.handle, m.x, m.block, m.id);
        e.header.xdata = xdata;
        return e;
    }

    void eraseOne(std::vector<std::uint64_t>& v, std::uint64_t h) {
        auto it = std::find(v.begin(), v.end(), h);
        ASSERT_NE(it, v.end());
        v.erase(it);
    }
    void forget(const Model& m, bool paper) {
        if (m.type == AD_ENTITY_INSERT) eraseOne(refs[m.block], m.handle);
        if (paper && m.type == AD_ENTITY_VIEWPORT) eraseOne(views, m.handle);
    }
    void remember(const Model& m, bool paper) {
        if (m.type == AD_ENTITY_INSERT) refs[m.block].push_back(m.handle);
        if (paper && m.type == AD_ENTITY_VIEWPORT) {
            if (m.id == 1)
                views.insert(views.begin(), m.handle);
            else
                views.push_back(m.handle);
        }
    }

    void check() {
        std::vector<AdRecordList*> all = lists();
        for (std::size_t l = 0; l < all.size(); ++l) {
            std::vector<Model>& expected = model[l];
            Entity e;
            adEntityRewind(all[l]);
            for (const Model& m : expected) {
                ASSERT_EQ(adEntityNext(all[l], &e.header, &e.data), 1);
                ASSERT_EQ(V(e.header.handle), m.handle);
                ASSERT_EQ(e.header.type, m.type);
                ASSERT_EQ(xOf(e), m.x);
                ASSERT_EQ(storedHandles(e.header.xdata), m.xdata ? Handles{m.handle} : Handles{});
                ASSERT_EQ(adHandleIndexFind(d, &e.header.handle) != nullptr, true);
            }
            ASSERT_EQ(adEntityNext(all[l], &e.header, &e.data), 0);
        }
        for (std::uint64_t b : kBlocks) ASSERT_EQ(references(b), refs[b]);
        ASSERT_EQ(viewports(), views);
        for (std::uint64_t h : deleted) {
            const AdHandle handle = H(h);
            ASSERT_EQ(adHandleIndexFind(d, &handle), nullptr);
        }
    }

    std::vector<Model> model[5];
    std::map<std::uint64_t, Handles> refs;
    Handles views;
    Handles deleted;
};

TEST_F(EntityListStress, RandomOperationsMatchTheModel) {
    std::mt19937 random(20240611);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const std::uint16_t types[] = {AD_ENTITY_LINE, AD_ENTITY_CIRCLE, AD_ENTITY_INSERT, AD_ENTITY_VIEWPORT};
    std::uint64_t next = 0x100;
    auto randomEntity = [&](std::uint64_t handle) {
        return Model{handle, types[pick(4)], static_cast<double>(pick(1000)), kBlocks[pick(3)],
                     static_cast<std::int16_t>(1 + pick(3)), pick(3) == 0};
    };
    std::vector<AdRecordList*> all = lists();
    for (int op = 0; op < 20000; ++op) {
        const std::size_t l = pick(all.size());
        AdRecordList* list = all[l];
        std::vector<Model>& m = model[l];
        const bool paper = list == d->paperSpace;
        const int kind = static_cast<int>(pick(100));
        if (m.empty() || kind < 30) {  // add, now and then under a handle in use
            if (!m.empty() && kind < 3) {
                const Entity dup = build(randomEntity(m[pick(m.size())].handle), nullptr);
                ASSERT_EQ(adEntityAdd(d, list, &dup.header, &dup.data), 0);
                ASSERT_EQ(adGlobals->errorCode, AD_ERR_DUPLICATE_HANDLE);
                continue;
            }
            const Model n = randomEntity(next++);
            const Entity e = build(n, n.xdata ? handleStore(n.handle) : nullptr);
            ASSERT_EQ(adEntityAdd(d, list, &e.header, &e.data), 1) << op;
            m.push_back(n);
            remember(n, paper);
        } else if (kind < 40) {  // add after an entity, or first
            const Model n = randomEntity(next++);
            const Entity e = build(n, n.xdata ? handleStore(n.handle) : nullptr);
            const bool first = pick(5) == 0;
            const std::size_t at = pick(m.size());
            const AdHandle after = H(m[at].handle);
            ASSERT_EQ(adEntityAddAfter(d, list, &e.header, &e.data, first ? nullptr : &after), 1) << op;
            m.insert(first ? m.begin() : m.begin() + static_cast<std::ptrdiff_t>(at + 1), n);
            remember(n, paper);
        } else if (kind < 70) {  // replace, keeping the old xdata store or not
            Model& old = m[pick(m.size())];
            Entity current;
            const AdHandle handle = H(old.handle);
            ASSERT_EQ(adEntityByHandle(d, list, &handle, &current.header, &current.data), 1);
            Model n = randomEntity(old.handle);
            AdStore* xdata = nullptr;
            if (old.xdata && pick(2) == 0) {
                xdata = current.header.xdata;
                n.xdata = true;
            } else if (n.xdata) {
                xdata = handleStore(n.handle);
            }
            const Entity e = build(n, xdata);
            ASSERT_EQ(adEntityUpdate(d, list, &handle, &e.header, &e.data), 1) << op;
            forget(old, paper);
            remember(n, paper);
            old = n;
        } else {  // delete
            const std::size_t at = pick(m.size());
            const AdHandle handle = H(m[at].handle);
            ASSERT_EQ(adEntityDelete(d, list, &handle, 1), 1) << op;
            forget(m[at], paper);
            deleted.push_back(m[at].handle);
            m.erase(m.begin() + static_cast<std::ptrdiff_t>(at));
        }
        if (op % 500 == 0) {
            ASSERT_NO_FATAL_FAILURE(check()) << op;
        }
    }
    ASSERT_NO_FATAL_FAILURE(check());
}

}  // namespace

namespace {

// Closing a drawing gives back every block's entity list, the model and
// paper space lists and every store their entities own; a leak fails the
// test program under the leak checker.
TEST(EntityListClose, ClosingADrawingWithEntitiesLeaksNothing) {
    ScratchState state;
    AdDrawing* drawing = adCreateDrawing();
    ASSERT_NE(drawing, nullptr);
    const AdHandle seed = H(0x100);
    adSetHandleSeed(drawing, &seed);
    drawing->modelSpace = adListCreate();
    drawing->paperSpace = adListCreate();
    AdRecordList* spaces[] = {drawing->modelSpace, drawing->paperSpace};
    const char* names[] = {"A", "B", "*Model_Space", "*Paper_Space"};
    AdHandle blocks[4];
    for (int i = 0; i < 4; ++i) {
        AdStoredBlock stored{};
        adDefaultBlockHeader(&stored.header);
        std::strcpy(stored.header.name, names[i]);
        stored.header.entities = i < 2 ? adListCreate() : spaces[i - 2];
        ASSERT_EQ(adNextHandle(drawing, &stored.header.handle), 1);
        blocks[i] = stored.header.handle;
        std::vector<std::uint8_t> image(AD_LIST_LINKS_SIZE + sizeof stored);
        std::memcpy(image.data() + AD_LIST_LINKS_SIZE, &stored, sizeof stored);
        ASSERT_NE(adListInsertKeyed(&stored.header.handle, drawing, image.data(), image.size(), drawing->blocks,
                                    AD_LIST_AT_END, nullptr),
                  nullptr);
    }
    for (const AdHandle& block : blocks) {
        AdRecordList* list = adBlockEntityList(drawing, &block);
        ASSERT_NE(list, nullptr);
        for (std::uint16_t type : {AD_ENTITY_LINE, AD_ENTITY_INSERT, AD_ENTITY_VIEWPORT, AD_ENTITY_SPLINE}) {
            AdEntityHeader header{};
            AdEntityData data;
            header.type = type;
            adEntityDefaults(drawing, &header, &data);
            ASSERT_EQ(adNextHandle(drawing, &header.handle), 1);
            header.xdata = handleStore(1);
            if (type == AD_ENTITY_INSERT) data.insert.block = blocks[0];
            if (type == AD_ENTITY_SPLINE) data.spline.points = handleStore(2);
            ASSERT_EQ(adEntityAdd(drawing, list, &header, &data), 1);
        }
    }
    EXPECT_EQ(adListCount(drawing->vportEntities), 1);
    EXPECT_EQ(adCloseDrawing(drawing), 1);
}

}  // namespace
