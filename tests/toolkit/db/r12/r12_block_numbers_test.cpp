// Files before AC1012 name an INSERT's block by its number in the BLOCK
// table; the space records that the load appends take no number.
#include "r12_entity_fixture.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/r12/r12_read.h"

namespace {

#include <vector>

class R12BlockNumbers : public R12EntityTest {
protected:
    // Appends a block record the way the BLOCK stage stores one.
    AdHandle addBlock(const char* name, std::uint8_t low) {
        AdStoredBlock block{};
        adDefaultBlockHeader(&block.header);
        std::strcpy(block.header.name, name);
        block.header.handle.b[7] = low;
        block.header.entities = adListCreate();
        std::vector<std::uint8_t> image(AD_LIST_LINKS_SIZE + sizeof block);
        std::memcpy(image.data() + AD_LIST_LINKS_SIZE, &block, sizeof block);
        EXPECT_NE(adListInsertKeyed(&block.header.handle, d, image.data(), image.size(), d->blocks, AD_LIST_AT_END,
                                    nullptr),
                  nullptr);
        return block.header.handle;
    }
};

TEST_F(R12BlockNumbers, NumbersFollowTheTableAndLeaveTheSpacesOut) {
    const AdHandle seed{{0, 0, 0, 0, 0, 0, 0, 0x40}};
    adSetHandleSeed(d, &seed);
    const AdHandle first = addBlock("FIRST", 0x10);
    const AdHandle second = addBlock("SECOND", 0x11);
    AdSpaceBlock model{}, paper{};
    ASSERT_EQ(adAddSpaceBlocks(d, &model, &paper), 1);
    ASSERT_EQ(adBuildBlockNumberTable(d), 1);

    struct Case {
        std::int32_t number;
        int found;
        AdHandle handle;
    };
    const Case cases[] = {{0, 1, first}, {1, 1, second}, {2, 0, {}}, {-1, 0, {}}, {0x7FFF, 0, {}}};
    for (const Case& c : cases) {
        AdHandle handle{{9, 9, 9, 9, 9, 9, 9, 9}};
        EXPECT_EQ(adBlockHandleByNumber(d, c.number, &handle), c.found) << c.number;
        EXPECT_EQ(adHandleCompare(&handle, &c.handle), 0) << c.number;
    }
    adFreeBlockNumberTable(d);
    AdHandle handle{};
    EXPECT_EQ(adBlockHandleByNumber(d, 0, &handle), 0);
}

}  // namespace
