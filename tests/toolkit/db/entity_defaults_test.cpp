// The values of a new entity: the header's defaults and each type's data.
#include "entity_fixture.h"

#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr std::uint64_t kStyle = 0x20;
constexpr std::uint64_t kDimStyle = 0x22;

class EntityDefaults : public EntityTest {
protected:
    void SetUp() override {
        EntityTest::SetUp();
        AdStyleRecord style;
        adDefaultStyleRecord(&style);
        style.handle = H(kStyle);
        store(d->styles, style);
        AdDimStyleRecord dimStyle;
        adDefaultDimStyleRecord(d, &dimStyle);
        dimStyle.handle = H(kDimStyle);
        store(d->dimStyles, dimStyle);
    }
};

TEST_F(EntityDefaults, HeaderKeepsTypeAndTakesTheDrawingsHandles) {
    adGlobals->entityElevation = 12.0;
    AdEntityHeader h;
    std::memset(&h, 0x5A, sizeof h);
    h.type = AD_ENTITY_CIRCLE;
    adEntityDefaults(d, &h, nullptr);
    EXPECT_EQ(h.type, AD_ENTITY_CIRCLE);
    EXPECT_EQ(V(h.handle), 0u);
    EXPECT_EQ(V(h.layer), kLayer);
    EXPECT_EQ(V(h.linetype), kByLayer);
    EXPECT_EQ(V(h.extensionDictionary), 0u);
    EXPECT_EQ(h.thickness, 0.0);
    EXPECT_EQ(h.color, 256);
    EXPECT_EQ(h.extrusion[0], 0.0);
    EXPECT_EQ(h.extrusion[1], 0.0);
    EXPECT_EQ(h.extrusion[2], 1.0);
    EXPECT_EQ(h.linetypeScale, 1.0);
    EXPECT_EQ(h.flags, 0);
    EXPECT_EQ(h.lineweight, -1);
    EXPECT_EQ(h.spareWord, 0u);
    EXPECT_EQ(h.xdata, nullptr);
    EXPECT_EQ(h.reactorCount, 0);
    EXPECT_EQ(h.reactors, nullptr);
    EXPECT_EQ(V(h.reservedHandle), 0u);
    EXPECT_EQ(V(h.plotStyle), 0u);
    EXPECT_EQ(adGlobals->entityElevation, 0.0);
}

TEST_F(EntityDefaults, EmptyLayerTableLeavesTheLayerNull) {
    adFreeLayerList(d);
    d->layers = adListCreate();
    AdEntityHeader h{};
    h.type = AD_ENTITY_LINE;
    adEntityDefaults(d, &h, nullptr);
    EXPECT_EQ(V(h.layer), 0u);
}

struct DataCase {
    const char* name;
    std::uint16_t type;
    void (*check)(const AdEntityData&);
};

class EntityDataDefaults : public EntityDefaults, public testing::WithParamInterface<DataCase> {};

TEST_P(EntityDataDefaults, FillTheTypesFields) {
    AdEntityData data;
    std::memset(&data, 0x5A, sizeof data);
    defaultHeader(GetParam().type, &data);
    GetParam().check(data);
}

constexpr double kTurn = 2.0 * std::numbers::pi;

void expectPoint(const double p[3], double x, double y, double z) {
    EXPECT_EQ(p[0], x);
    EXPECT_EQ(p[1], y);
    EXPECT_EQ(p[2], z);
}

void expectTextFields(const AdTextFields& f) {
    EXPECT_EQ(f.height, 1.0);
    EXPECT_EQ(f.widthFactor, 1.0);
    EXPECT_EQ(f.rotation, 0.0);
    EXPECT_EQ(f.generation, 0);
    EXPECT_EQ(V(f.style), kStyle);
}

INSTANTIATE_TEST_SUITE_P(
    Types, EntityDataDefaults,
    testing::Values(
        DataCase{"line", AD_ENTITY_LINE, [](const AdEntityData& d) { expectPoint(d.line.end, 0, 0, 0); }},
        DataCase{"circle", AD_ENTITY_CIRCLE, [](const AdEntityData& d) { EXPECT_EQ(d.circle.radius, 1.0); }},
        DataCase{"arc", AD_ENTITY_ARC,
                 [](const AdEntityData& d) {
                     EXPECT_EQ(d.arc.radius, 1.0);
                     EXPECT_EQ(d.arc.startAngle, 0.0);
                     EXPECT_EQ(d.arc.endAngle, kTurn);
                 }},
        DataCase{"shape", AD_ENTITY_SHAPE,
                 [](const AdEntityData& d) {
                     EXPECT_EQ(d.shape.size, 1.0);
                     EXPECT_EQ(d.shape.widthFactor, 1.0);
                     EXPECT_EQ(d.shape.shapeNumber, 0);
                 }},
        DataCase{"ellipse", AD_ENTITY_ELLIPSE,
                 [](const AdEntityData& d) {
                     EXPECT_EQ(d.ellipse.axisRatio, 1.0);
                     EXPECT_EQ(d.ellipse.endParameter, kTurn);
                 }},
        DataCase{"spline", AD_ENTITY_SPLINE,
                 [](const AdEntityData& d) {
                     EXPECT_EQ(d.spline.degree, 3);
                     EXPECT_EQ(d.spline.knotTolerance, 1e-6);
                     EXPECT_EQ(d.spline.controlPointTolerance, 1e-6);
                     EXPECT_EQ(d.spline.fitTolerance, 1e-6);
                     EXPECT_EQ(d.spline.points, nullptr);
                 }},
        DataCase{"text", AD_ENTITY_TEXT,
                 [](const AdEntityData& d) {
                     expectTextFields(d.text.fields);
                     EXPECT_STREQ(d.text.text, "");
                 }},
        DataCase{"attdef", AD_ENTITY_ATTDEF, [](const AdEntityData& d) { expectTextFields(d.attdef.fields); }},
        DataCase{"attrib", AD_ENTITY_ATTRIB, [](const AdEntityData& d) { expectTextFields(d.attrib.fields); }},
        DataCase{"solid", AD_ENTITY_SOLID,
                 [](const AdEntityData& d) {
                     expectPoint(d.trace.corners[0], 0, 0, 0);
                     expectPoint(d.trace.corners[1], 0, 1, 0);
                     expectPoint(d.trace.corners[2], 1, 0, 0);
                     expectPoint(d.trace.corners[3], 1, 1, 0);
                 }},
        DataCase{"insert", AD_ENTITY_INSERT,
                 [](const AdEntityData& d) {
                     expectPoint(d.insert.scale, 1, 1, 1);
                     EXPECT_EQ(d.insert.rowCount, 1);
                     EXPECT_EQ(d.insert.columnCount, 1);
                     EXPECT_EQ(V(d.insert.block), 0u);
                 }},
        DataCase{"dimension", AD_ENTITY_DIMENSION,
                 [](const AdEntityData& d) {
                     EXPECT_EQ(d.dimension.attachment, 5);
                     EXPECT_EQ(d.dimension.lineSpacingStyle, 1);
                     EXPECT_EQ(d.dimension.lineSpacingFactor, 1.0);
                 }},
        DataCase{"xline", AD_ENTITY_XLINE, [](const AdEntityData& d) { expectPoint(d.ray.direction, 1, 0, 0); }},
        DataCase{"mtext", AD_ENTITY_MTEXT,
                 [](const AdEntityData& d) {
                     expectPoint(d.mtext.xAxis, 1, 0, 0);
                     EXPECT_EQ(d.mtext.attachment, 1);
                     EXPECT_EQ(d.mtext.drawingDirection, 1);
                     EXPECT_EQ(d.mtext.lineSpacingStyle, 1);
                     EXPECT_EQ(d.mtext.lineSpacingFactor, 1.0);
                     EXPECT_EQ(V(d.mtext.style), kStyle);
                     EXPECT_EQ(d.mtext.longText, nullptr);
                 }},
        DataCase{"leader", AD_ENTITY_LEADER,
                 [](const AdEntityData& d) {
                     EXPECT_EQ(d.leader.arrowhead, 1);
                     EXPECT_EQ(d.leader.hooklineDirection, 1);
                     EXPECT_EQ(d.leader.hookline, 0);
                     EXPECT_EQ(d.leader.colour, 256);
                     expectPoint(d.leader.horizontalDirection, 1, 0, 0);
                     EXPECT_EQ(V(d.leader.dimStyle), kDimStyle);
                 }},
        DataCase{"tolerance", AD_ENTITY_TOLERANCE,
                 [](const AdEntityData& d) {
                     expectPoint(d.tolerance.xDirection, 1, 0, 0);
                     EXPECT_EQ(V(d.tolerance.dimStyle), kDimStyle);
                 }},
        DataCase{"mlineWithoutStyles", AD_ENTITY_MLINE,
                 [](const AdEntityData& d) {
                     EXPECT_EQ(d.mline.scale, 1.0);
                     EXPECT_EQ(V(d.mline.style), 0u);
                 }},
        DataCase{"ole2frame", 500, [](const AdEntityData& d) { EXPECT_EQ(d.ole2Frame.spareByte, 1); }},
        DataCase{"hatch", 501, [](const AdEntityData& d) { EXPECT_EQ(d.hatch.associative, 1); }},
        DataCase{"rtext", 504, [](const AdEntityData& d) { EXPECT_EQ(d.rtext.height, 0.2); }},
        DataCase{"proxy", 600, [](const AdEntityData& d) { EXPECT_EQ(d.proxy.data, nullptr); }}),
    [](const auto& info) { return std::string(info.param.name); });

// A creator sets the view direction; the defaults leave it alone.
TEST_F(EntityDefaults, ViewportKeepsItsViewDirection) {
    AdEntityData data;
    std::memset(&data, 0x5A, sizeof data);
    data.viewport.viewDirection[0] = 0.0;
    data.viewport.viewDirection[1] = -1.0;
    data.viewport.viewDirection[2] = 0.0;
    defaultHeader(AD_ENTITY_VIEWPORT, &data);
    const AdViewportData& v = data.viewport;
    expectPoint(v.viewDirection, 0, -1, 0);
    EXPECT_EQ(v.frozenLayers, nullptr);
    EXPECT_EQ(v.spareShort1, 1);
    EXPECT_EQ(v.spareShort2, -1);
    EXPECT_EQ(v.statusFlags, 0x8020);
    EXPECT_EQ(v.ucsIcon, 1);
    expectPoint(v.ucsXAxis, 1, 0, 0);
    expectPoint(v.ucsYAxis, 0, 1, 0);
    EXPECT_EQ(v.lensLength, 50.0);
    EXPECT_EQ(v.circleZoom, 100);
    EXPECT_EQ(v.snapSpacing[0], 0.5);
    EXPECT_EQ(v.gridSpacing[1], 0.5);
    EXPECT_EQ(v.twist, 0.0);
    EXPECT_STREQ(v.styleSheet, "");
}

TEST_F(EntityDefaults, MlineTakesTheFirstMultilineStyle) {
    d->objects = adListCreate();
    const std::pair<std::int16_t, std::uint64_t> objects[] = {
        {AD_OBJECT_DICTIONARY, 0x30}, {AD_OBJECT_MLINESTYLE, 0x31}, {AD_OBJECT_MLINESTYLE, 0x32}};
    for (const auto& [type, handle] : objects) {
        AdObjectHeader header{};
        header.type = type;
        AdObjectData object;
        ASSERT_EQ(adObjectDefaults(d, &header, &object), 1);
        header.handle = H(handle);
        ASSERT_EQ(adObjectAdd(d, &header, &object), 1);
    }
    AdEntityData data;
    defaultHeader(AD_ENTITY_MLINE, &data);
    EXPECT_EQ(V(data.mline.style), 0x31u);
    adFreeObjectList(d);
}

}  // namespace
