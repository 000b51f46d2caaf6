// Attribute records: the chain references, the colour attributes and the
// attributes that are read only to be skipped.
#include "sat_fixture.h"
#include "toolkit/solids/acis_attrib.h"
#include "toolkit/solids/acis_topology.h"

#include <algorithm>
#include <string>

namespace {

class AcisAttribTest : public SolidsTest {};

TEST_F(AcisAttribTest, ColourAttributesGiveTheirRgb) {
    const struct {
        const char* record;
        double r, g, b;
        std::int32_t index;
    } cases[] = {
        {"color-adesk-attrib $-1 $-1 $-1 $-1 1 #", 1, 0, 0, 1},
        {"color-adesk-attrib $-1 $-1 $-1 $-1 257 #", 1, 0, 0, 257},  // modulo 256
        {"color-adesk-attrib $-1 $-1 $-1 $-1 -4 #", 0, 0, 0, 0},     // negative becomes 0
        {"colour-tsl-attrib $-1 $-1 $-1 $-1 5 #", 0, 0, 1, 5},
        {"colour-tsl-attrib $-1 $-1 $-1 $-1 8 #", 152 / 255.0, 152 / 255.0, 152 / 255.0, 8},
        {"rgb_color-st-attrib $-1 $-1 $-1 $-1 0.25 0.5 0.75 #", 0.25, 0.5, 0.75, -1},
    };
    for (const auto& c : cases) {
        ParsedSat sat(satHeader(400) + c.record + "\nbody $-1 $-1 $-1 $-1 #\n");
        SCOPED_TRACE(c.record);
        auto* colour = sat.at<acis_ColorAttrib>(0);
        ASSERT_NE(colour, nullptr);
        EXPECT_DOUBLE_EQ(colour->rgb()[0], c.r);
        EXPECT_DOUBLE_EQ(colour->rgb()[1], c.g);
        EXPECT_DOUBLE_EQ(colour->rgb()[2], c.b);
        if (auto* indexed = dynamic_cast<acis_IndexedColorAttrib*>(colour)) {
            EXPECT_EQ(indexed->index(), c.index);
        }
    }
    EXPECT_EQ(err, "");
}

TEST_F(AcisAttribTest, PaletteFollowsItsHuePattern) {
    const struct {
        int index;
        std::uint8_t r, g, b;
    } cases[] = {
        {0, 0, 0, 0},        {1, 255, 0, 0},     {2, 255, 255, 0},   {7, 255, 255, 255}, {9, 192, 192, 192},
        {10, 255, 0, 0},     {11, 255, 128, 128}, {12, 166, 0, 0},   {13, 166, 83, 83},  {20, 255, 64, 0},
        {21, 255, 159, 128}, {30, 255, 128, 0},  {50, 255, 255, 0}, {90, 0, 255, 0},    {250, 84, 84, 84},
        {255, 255, 255, 255},
    };
    for (const auto& c : cases) {
        const auto rgb = acisPaletteEntry(c.index);
        EXPECT_EQ(rgb[0], c.r) << c.index;
        EXPECT_EQ(rgb[1], c.g) << c.index;
        EXPECT_EQ(rgb[2], c.b) << c.index;
    }
    // Every hue entry: the largest component is its level, the half form lies
    // halfway to the grey of that level.
    const int levels[5] = {255, 166, 128, 76, 38};
    for (int i = 10; i < 250; ++i) {
        const auto rgb = acisPaletteEntry(i);
        const int top = std::max({rgb[0], rgb[1], rgb[2]});
        EXPECT_EQ(top, levels[(i - 10) % 10 / 2]) << i;
        if ((i - 10) % 2) {
            EXPECT_GE(std::min({rgb[0], rgb[1], rgb[2]}), top / 2) << i;
        }
    }
}

TEST_F(AcisAttribTest, OtherAttributesAreIgnoredButKeepTheirReferences) {
    ParsedSat sat(satHeader(400) +
                  "body $1 $-1 $-1 $-1 #\n"
                  "persubent-acadSolidHistory-attrib $-1 $2 $-1 $0 1 1 1000000000 1004 { exactsur nullbs } #\n"
                  "color-adesk-attrib $-1 $-1 $1 $0 3 #\n"
                  "-7 rgb_color-st-attrib $-1 $-1 $-1 $5 0 0 0 #\n");
    ASSERT_EQ(sat.answer(), SAT_DONE);
    auto* body = sat.at<acis_Body>(0);
    auto* ignored = sat.at<acis_IgnoredAttrib>(1);
    auto* colour = sat.at<acis_AdeskColorAttrib>(2);
    ASSERT_TRUE(body && ignored && colour);
    EXPECT_STREQ(ignored->name(), "IGNORED-attrib");
    EXPECT_EQ(body->attribute(), ignored);
    EXPECT_EQ(ignored->next(), colour);
    EXPECT_EQ(ignored->owner(), body);
    EXPECT_EQ(colour->previous(), ignored);
    EXPECT_EQ(sat.parser().refMgr().count(), 1);  // the skipped definition still counts
    EXPECT_EQ(sat.at<acis_RgbColorAttrib>(7)->owner(), nullptr);  // record 5 never came
    EXPECT_EQ(err, "");
}

TEST_F(AcisAttribTest, KeywordsThatMerelyContainAttribAreSkippedRecords) {
    for (const char* keyword : {"attri", "attrib-x", "attrib"}) {
        ParsedSat sat(satHeader(400) + keyword + " $-1 $-1 $-1 $-1 #\nbody $-1 $-1 $-1 $-1 #\n");
        EXPECT_EQ(sat.at<acis_Attrib>(0) != nullptr, std::string(keyword) == "attrib") << keyword;
    }
}

TEST_F(AcisAttribTest, UnknownPointerFieldsChangeNothing) {
    ParsedSat sat(satHeader(400) + "body $-1 $-1 $-1 $-1 #\n");
    auto* body = sat.at<acis_Body>(0);
    diagnosticSwitches.referenceErrors = true;
    body->setPointerField(1234, body);
    EXPECT_EQ(body->attribute(), nullptr);
    EXPECT_EQ(body->lump, nullptr);
    EXPECT_EQ(err, "*** ERROR: Cannot setPointerField (1234)\n");
}

}  // namespace
