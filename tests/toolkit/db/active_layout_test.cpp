// Switching the active layout: the outgoing paper space becomes a block
// again, the incoming layout enters paper space with its viewports numbered
// and registered, and the two block records trade places and names.
#include "entity_list_fixture.h"

#include <gtest/gtest.h>

namespace {

using Handles = std::vector<std::uint64_t>;

constexpr std::uint64_t kLayoutBlock = 0x4A;
constexpr std::int32_t kNotNumbered = 1 << 17;

class ActiveLayout : public EntityListTest {
protected:
    void SetUp() override {
        EntityListTest::SetUp();
        d->header = header.get();
        AdBlockHeader layout = block("*Paper_Space0", kLayoutBlock);
        layout.entities = layoutList = adListCreate();
        ASSERT_EQ(adBlockAdd(d, &layout), 1);

        // The active sheet: its viewport and a line, in paper space.
        paper(make(AD_ENTITY_VIEWPORT, 0x301, 0, 0, 1), 1);
        paper(make(AD_ENTITY_LINE, 0x302), 0);

        // The other layout as a file keeps it: framed by BLOCK and ENDBLK.
        Entity blockEntity = make(AD_ENTITY_BLOCK, 0x401);
        std::strcpy(blockEntity.data.block.name, "*Paper_Space0");
        ASSERT_EQ(add(layoutList, blockEntity), 1);
        ASSERT_EQ(add(layoutList, make(AD_ENTITY_VIEWPORT, 0x402, 0, 0, 0)), 1);
        ASSERT_EQ(add(layoutList, make(AD_ENTITY_LINE, 0x403)), 1);
        Entity fixed = make(AD_ENTITY_VIEWPORT, 0x404, 0, 0, 9);
        fixed.data.viewport.statusFlags |= kNotNumbered;
        ASSERT_EQ(add(layoutList, fixed), 1);
        ASSERT_EQ(add(layoutList, make(AD_ENTITY_VIEWPORT, 0x405, 0, 0, 0)), 1);
        ASSERT_EQ(add(layoutList, make(AD_ENTITY_ENDBLK, 0x406)), 1);
    }
    void TearDown() override {
        d->header = nullptr;
        EntityListTest::TearDown();
    }

    void paper(Entity e, std::int16_t status) {
        e.header.flags |= AD_ENTITY_FLAG_PAPER_SPACE;
        if (e.header.type == AD_ENTITY_VIEWPORT) e.data.viewport.status = status;
        ASSERT_EQ(add(d->paperSpace, e), 1);
    }

    std::vector<Entity> entities(AdRecordList* list) {
        std::vector<Entity> result;
        Entity e;
        adEntityRewind(list);
        while (adEntityNext(list, &e.header, &e.data)) result.push_back(e);
        return result;
    }
    std::vector<std::string> blockOrder() {
        std::vector<std::string> result;
        AdBlockHeader b;
        adBlockRewind(d);
        while (adBlockNext(d, &b)) result.push_back(b.name + (":" + std::to_string(V(b.handle))));
        return result;
    }

    std::unique_ptr<AdHeaderVars> header = std::make_unique<AdHeaderVars>();
    AdRecordList* layoutList = nullptr;
};

TEST_F(ActiveLayout, SwitchingMovesPaperSpaceToTheChosenLayout) {
    AdRecordList* sheet = d->paperSpace;
    d->cachedViewport = H(0x301);
    const AdHandle chosen = H(kLayoutBlock);
    ASSERT_EQ(adSetActiveLayout(d, &chosen), 1);

    EXPECT_EQ(V(d->paperSpaceBlock), kLayoutBlock);
    EXPECT_EQ(d->paperSpace, layoutList);
    EXPECT_EQ(V(d->cachedViewport), 0u);

    // The incoming layout: unframed, in paper space, free viewports numbered.
    const std::vector<Entity> incoming = entities(layoutList);
    ASSERT_EQ(incoming.size(), 4u);
    const Handles expectedHandles = {0x402, 0x403, 0x404, 0x405};
    const std::int16_t expectedIds[] = {1, 0, 9, 2};
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(V(incoming[i].header.handle), expectedHandles[i]);
        EXPECT_TRUE(incoming[i].header.flags & AD_ENTITY_FLAG_PAPER_SPACE);
        if (incoming[i].header.type != AD_ENTITY_VIEWPORT) continue;
        EXPECT_EQ(incoming[i].data.viewport.id, expectedIds[i]);
        EXPECT_EQ(incoming[i].data.viewport.status, i == 2 ? 0 : expectedIds[i]);
    }
    EXPECT_EQ(viewports(), (Handles{0x402, 0x404, 0x405}));
    for (std::uint64_t h : {0x401u, 0x406u}) {
        const AdHandle gone = H(h);
        EXPECT_EQ(adHandleIndexFind(d, &gone), nullptr);
    }

    // The outgoing sheet: framed as a block of its name, out of paper space.
    const std::vector<Entity> outgoing = entities(sheet);
    ASSERT_EQ(outgoing.size(), 4u);
    EXPECT_EQ(outgoing.front().header.type, AD_ENTITY_BLOCK);
    EXPECT_STREQ(outgoing.front().data.block.name, "*Paper_Space");
    EXPECT_EQ(outgoing.back().header.type, AD_ENTITY_ENDBLK);
    EXPECT_EQ(V(outgoing[1].header.handle), 0x301u);
    for (const Entity& e : outgoing) EXPECT_FALSE(e.header.flags & AD_ENTITY_FLAG_PAPER_SPACE);

    // The chosen record goes last as *Paper_Space; the outgoing one takes its
    // place and its name.
    EXPECT_EQ(blockOrder(), (std::vector<std::string>{"B1:65", "B2:66", "B3:67", "*Paper_Space0:73",
                                                      "*Model_Space:72", "*Paper_Space:74"}));
    AdHandle byName;
    ASSERT_EQ(adBlockHandleByName(d, "*Paper_Space", &byName), 1);
    EXPECT_EQ(V(byName), kLayoutBlock);

    // And back again.
    const AdHandle former = H(kPaperBlock);
    ASSERT_EQ(adSetActiveLayout(d, &former), 1);
    EXPECT_EQ(d->paperSpace, sheet);
    EXPECT_EQ(blockOrder(), (std::vector<std::string>{"B1:65", "B2:66", "B3:67", "*Paper_Space0:74",
                                                      "*Model_Space:72", "*Paper_Space:73"}));
    EXPECT_EQ(handles(sheet), (Handles{0x301, 0x302}));
    EXPECT_EQ(viewports(), Handles{0x301});
    EXPECT_EQ(handles(layoutList).size(), 6u);
}

TEST_F(ActiveLayout, ModelSpaceActiveLayoutAndOtherBlocks) {
    const Handles before = handles(d->paperSpace);
    const std::vector<std::string> order = blockOrder();
    struct Case {
        const char* what;
        std::uint64_t block;
        int result;
        std::int16_t tilemode;
    };
    const Case cases[] = {
        {"the active layout", kPaperBlock, 1, 0},
        {"an ordinary block", kBlocks[0], 0, 0},
        {"no block", 0x999, 0, 0},
        {"model space", kModelBlock, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const AdHandle h = H(c.block);
        EXPECT_EQ(adSetActiveLayout(d, &h), c.result);
        EXPECT_EQ(header->tilemode, c.tilemode);
        EXPECT_EQ(V(d->paperSpaceBlock), kPaperBlock);
        EXPECT_EQ(handles(d->paperSpace), before);
        EXPECT_EQ(blockOrder(), order);
    }
}

}  // namespace
