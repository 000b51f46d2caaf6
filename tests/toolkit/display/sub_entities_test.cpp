// Reading the entities that follow a POLYLINE or an INSERT: the layer-0
// substitution inside blocks, the sub-entity hook, and the walk to SEQEND.
#include "toolkit/display/render_state.h"

#include "toolkit/db/entity_fixture.h"

#include <vector>

namespace {

constexpr std::uint64_t kOtherLayer = 0x77;
constexpr std::uint64_t kInsertLayer = 0x99;

std::vector<std::uint16_t> seenTypes;
void recordSubEntity(AdEntityHeader* header, AdEntityData*, void*) { seenTypes.push_back(header->type); }

class SubEntities : public EntityTest {
protected:
    void SetUp() override {
        EntityTest::SetUp();
        ASSERT_EQ(adInitRender(), 1);
        state.layerZero = H(kLayer);
        state.insertLayer = H(kInsertLayer);
        d->display = &state;
        seenTypes.clear();
        adSetSubEntityHook(recordSubEntity);
    }
    void TearDown() override {
        adFreeEntityList(d, entities);
        adTermRender();
        EntityTest::TearDown();
    }
    void add(std::uint16_t type, std::uint64_t handle, std::uint64_t layer) {
        AdEntityData data{};
        AdEntityHeader header = defaultHeader(type, &data);
        header.handle = H(handle);
        header.layer = H(layer);
        ASSERT_EQ(adEntityAdd(d, entities, &header, &data), 1);
    }
    AdDisplayState state{};
};

}  // namespace

TEST_F(SubEntities, LayerZeroTakesTheInsertingLayerExceptOnAttributes) {
    add(AD_ENTITY_POINT, 0x100, kLayer);
    add(AD_ENTITY_ATTRIB, 0x101, kLayer);
    add(AD_ENTITY_LINE, 0x102, kOtherLayer);
    add(AD_ENTITY_SEQEND, 0x103, kLayer);
    const struct {
        std::int16_t substitute;
        std::uint64_t layers[4];
    } cases[] = {
        {1, {kInsertLayer, kLayer, kOtherLayer, kInsertLayer}},
        {0, {kLayer, kLayer, kOtherLayer, kLayer}},
    };
    for (const auto& c : cases) {
        adEntityRewind(entities);
        for (std::uint64_t layer : c.layers) {
            ASSERT_EQ(adNextSubEntity(d, entities, c.substitute), 1);
            EXPECT_EQ(V(adSubEntityHeader()->layer), layer) << c.substitute;
        }
        EXPECT_EQ(adNextSubEntity(d, entities, c.substitute), 0);
    }
    EXPECT_EQ(seenTypes.size(), 8u);
}

TEST_F(SubEntities, SkippingStopsAtTheSeqendOrAtTheEndOfTheList) {
    add(AD_ENTITY_ATTRIB, 0x100, kLayer);
    add(AD_ENTITY_ATTRIB, 0x101, kLayer);
    add(AD_ENTITY_SEQEND, 0x102, kLayer);
    add(AD_ENTITY_LINE, 0x103, kLayer);
    adEntityRewind(entities);
    EXPECT_EQ(adSkipToSeqend(d, entities), 1);
    EXPECT_EQ(seenTypes, (std::vector<std::uint16_t>{AD_ENTITY_SEQEND}));
    ASSERT_EQ(adNextSubEntity(d, entities, 0), 1);
    EXPECT_EQ(V(adSubEntityHeader()->handle), 0x103u);
    // No SEQEND follows: the walk ends with the list instead of running on.
    adEntityRewind(entities);
    adNextSubEntity(d, entities, 0);
    adNextSubEntity(d, entities, 0);
    adNextSubEntity(d, entities, 0);
    EXPECT_EQ(adSkipToSeqend(d, entities), 0);
}
