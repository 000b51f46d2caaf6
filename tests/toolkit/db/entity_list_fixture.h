// A drawing with entity lists: three ordinary blocks, then *Model_Space and
// *Paper_Space over the drawing's model and paper space lists, a BYBLOCK
// linetype, a handle seed and a paper-space viewport list; with helpers to
// make entities, read lists back and make stores that own memory (so that a
// store left behind shows as a leak and one freed too early as a use after
// free).
#pragma once
#include "entity_fixture.h"

#include "toolkit/db/entity_list_steps.h"

#include <string>
#include <vector>

// A store holding one handle.
inline AdStore* handleStore(std::uint64_t value) {
    AdStore* store = adStoreCreate(64);
    AdStream* stream = adStreamOpenWrite(store);
    const AdHandle h = H(value);
    adStreamWriteHandle(stream, &h);
    adStreamCloseWrite(stream);
    return store;
}

class EntityListTest : public EntityTest {
protected:
    static constexpr std::uint64_t kBlocks[3] = {0x41, 0x42, 0x43};
    static constexpr std::uint64_t kModelBlock = 0x48;
    static constexpr std::uint64_t kPaperBlock = 0x49;
    static constexpr std::uint64_t kByBlock = 0x15;

    void SetUp() override {
        EntityTest::SetUp();
        d->byBlockLtype = H(kByBlock);
        const AdHandle seed = H(0x10000);
        adSetHandleSeed(d, &seed);
        for (int i = 0; i < 3; ++i) blockLists[i] = addBlock(("B" + std::to_string(i + 1)).c_str(), kBlocks[i]);
        d->modelSpace = addBlock("*Model_Space", kModelBlock);
        d->paperSpace = addBlock("*Paper_Space", kPaperBlock);
        d->modelSpaceBlock = H(kModelBlock);
        d->paperSpaceBlock = H(kPaperBlock);
    }
    void TearDown() override {
        adFreeDrawingEntityLists(d);
        EntityTest::TearDown();
    }

    AdRecordList* addBlock(const char* name, std::uint64_t handle, AdRecordList* list = nullptr) {
        AdBlockHeader r = block(name, handle);
        r.entities = list ? list : adListCreate();
        store(d->blocks, r, sizeof(AdStoredBlock));
        return r.entities;
    }

    struct Entity {
        AdEntityHeader header;
        AdEntityData data;
    };

    // An entity of the type at x: LINE start, CIRCLE centre, INSERT insertion
    // (of block), VIEWPORT centre (with the id).
    Entity make(std::uint16_t type, std::uint64_t handle, double x = 0, std::uint64_t blockHandle = 0,
                std::int16_t id = 2) {
        Entity e;
        e.header = defaultHeader(type, &e.data);
        e.header.handle = H(handle);
        switch (type) {
            case AD_ENTITY_LINE: e.data.line.start[0] = x; break;
            case AD_ENTITY_CIRCLE: e.data.circle.centre[0] = x; break;
            case AD_ENTITY_INSERT:
                e.data.insert.insertion[0] = x;
                e.data.insert.block = H(blockHandle);
                break;
            case AD_ENTITY_VIEWPORT:
                e.data.viewport.centre[0] = x;
                e.data.viewport.id = id;
                e.data.viewport.blockHandle = H(handle + 0x1000);
                break;
            default: break;
        }
        return e;
    }
    static double xOf(const Entity& e) {
        switch (e.header.type) {
            case AD_ENTITY_LINE: return e.data.line.start[0];
            case AD_ENTITY_CIRCLE: return e.data.circle.centre[0];
            case AD_ENTITY_INSERT: return e.data.insert.insertion[0];
            case AD_ENTITY_VIEWPORT: return e.data.viewport.centre[0];
            default: return 0;
        }
    }

    int add(AdRecordList* list, const Entity& e) { return adEntityAdd(d, list, &e.header, &e.data); }

    // The handles of a list in walk order.
    std::vector<std::uint64_t> handles(AdRecordList* list) {
        std::vector<std::uint64_t> result;
        Entity e;
        adEntityRewind(list);
        for (int guard = 0; guard < 100000 && adEntityNext(list, &e.header, &e.data); ++guard)
            result.push_back(V(e.header.handle));
        return result;
    }

    // The handles of a store of 8-byte handles.
    static std::vector<std::uint64_t> storedHandles(AdStore* store) {
        std::vector<std::uint64_t> result;
        AdStream* stream = store ? adStreamOpenRead(store) : nullptr;
        AdHandle h;
        while (stream && adStreamReadHandle(stream, &h)) result.push_back(V(h));
        if (stream) adStreamCloseRead(stream);
        return result;
    }
    std::vector<std::uint64_t> references(std::uint64_t blockHandle) {
        AdBlockHeader header;
        const AdHandle h = H(blockHandle);
        EXPECT_EQ(adBlockByHandle(d, &h, &header), 1);
        return storedHandles(header.insertReferences);
    }

    // The VIEWPORT handles of the paper-space viewport list, in order.
    std::vector<std::uint64_t> viewports() {
        std::vector<std::uint64_t> result;
        AdVportEntityHeader r;
        adListRewind(d->vportEntities);
        while (adListReadNext(d->vportEntities, &r, sizeof r)) result.push_back(V(r.entityHandle));
        return result;
    }

    AdRecordList* blockLists[3] = {};
};
