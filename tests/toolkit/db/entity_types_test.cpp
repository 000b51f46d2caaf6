// Entity type codes: class types through the drawing's class numbers, proxies
// for every other code from 498 up, and the stored sizes of the fixed types.
#include "entity_fixture.h"

#include "toolkit/ad.h"

#include <gtest/gtest.h>

namespace {

struct KindCase {
    std::uint16_t type;
    AdEntityKind kind;
};

class EntityKindOf : public EntityTest, public testing::WithParamInterface<KindCase> {};

TEST_P(EntityKindOf, FollowsTheDrawingsClassNumbers) {
    d->classNumbers[AD_CLASS_XRECORD] = 507;  // an object class makes no entity type
    EXPECT_EQ(adEntityKind(d, GetParam().type), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, EntityKindOf,
    testing::Values(KindCase{AD_ENTITY_LINE, AD_KIND_FIXED}, KindCase{497, AD_KIND_FIXED},
                    KindCase{AD_ENTITY_PROXY, AD_KIND_PROXY}, KindCase{499, AD_KIND_PROXY},
                    KindCase{500, AD_KIND_OLE2FRAME}, KindCase{501, AD_KIND_HATCH},
                    KindCase{502, AD_KIND_LWPOLYLINE}, KindCase{503, AD_KIND_IMAGE}, KindCase{504, AD_KIND_RTEXT},
                    KindCase{505, AD_KIND_ARCALIGNEDTEXT}, KindCase{506, AD_KIND_WIPEOUT},
                    KindCase{507, AD_KIND_PROXY}, KindCase{0xFFFF, AD_KIND_PROXY}));

TEST_F(EntityTest, ClassNumbersOfAnotherDrawingMakeProxies) {
    EXPECT_EQ(adEntityKind(nullptr, 501), AD_KIND_PROXY);
    // An absent class (number 0) never matches, and 498 is a proxy even in a
    // drawing whose damaged slot names it.
    d->classNumbers[AD_CLASS_HATCH] = 0;
    d->classNumbers[AD_CLASS_IMAGE] = AD_ENTITY_PROXY;
    EXPECT_EQ(adEntityKind(d, 501), AD_KIND_PROXY);
    EXPECT_EQ(adEntityKind(d, AD_ENTITY_PROXY), AD_KIND_PROXY);
}

struct SizeCase {
    std::uint16_t type;
    std::int32_t size;
};

class EntityStoredSize : public EntityTest, public testing::WithParamInterface<SizeCase> {};

// The types without a store reference have the same sizes on every build.
TEST_P(EntityStoredSize, MatchesTheTable) { EXPECT_EQ(adEntityStoredSize(d, GetParam().type), GetParam().size); }

INSTANTIATE_TEST_SUITE_P(
    PointerFree, EntityStoredSize,
    testing::Values(SizeCase{0, 0}, SizeCase{AD_ENTITY_LINE, 48}, SizeCase{AD_ENTITY_POINT, 32},
                    SizeCase{AD_ENTITY_CIRCLE, 32}, SizeCase{AD_ENTITY_SHAPE, 72}, SizeCase{AD_ENTITY_ELLIPSE, 72},
                    SizeCase{AD_ENTITY_TEXT, 88}, SizeCase{AD_ENTITY_ARC, 48}, SizeCase{AD_ENTITY_TRACE, 96},
                    SizeCase{AD_ENTITY_SOLID, 96}, SizeCase{AD_ENTITY_BLOCK, 1048}, SizeCase{AD_ENTITY_ENDBLK, 0},
                    SizeCase{AD_ENTITY_INSERT, 96}, SizeCase{AD_ENTITY_ATTDEF, 96}, SizeCase{AD_ENTITY_ATTRIB, 96},
                    SizeCase{AD_ENTITY_SEQEND, 0}, SizeCase{18, 0}, SizeCase{AD_ENTITY_POLYLINE, 40},
                    SizeCase{AD_ENTITY_VERTEX, 88}, SizeCase{AD_ENTITY_3DLINE, 48}, SizeCase{AD_ENTITY_3DFACE, 104},
                    SizeCase{AD_ENTITY_DIMENSION, 272}, SizeCase{AD_ENTITY_VIEWPORT, 888},
                    SizeCase{AD_ENTITY_RAY, 48}, SizeCase{AD_ENTITY_XLINE, 48}, SizeCase{32, 0}, SizeCase{36, 0},
                    SizeCase{39, 0}, SizeCase{40, 0}, SizeCase{497, 0}));

TEST_F(EntityTest, ClassTypesTakeTheirOwnSizes) {
    EXPECT_EQ(adEntityStoredSize(d, 503), static_cast<std::int32_t>(sizeof(AdImageData)));
    EXPECT_EQ(adEntityStoredSize(d, 506), static_cast<std::int32_t>(sizeof(AdImageData)));
    EXPECT_EQ(adEntityStoredSize(d, 600), static_cast<std::int32_t>(sizeof(AdProxyData)));
    EXPECT_EQ(adEntityStoredSize(nullptr, 503), static_cast<std::int32_t>(sizeof(AdProxyData)));
}

}  // namespace
