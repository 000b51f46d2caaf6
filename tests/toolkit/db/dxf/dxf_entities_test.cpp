// The DXF entity reader over small ENTITIES sections: each family read
// through the reader slot into the fields it fills, the names left for the
// loader, and the entities it must skip or bound.
#include "dxf_entity_fixture.h"
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <numbers>
#include <sstream>

namespace {
using Groups = std::initializer_list<std::pair<int, std::string>>;

struct EntityRead {
    AdEntityHeader header;
    AdEntityData data;
    std::uint8_t xdata;
    std::string layer, linetype, textStyle, block, dimStyle;
    double elevation;
};
using Entities = std::vector<EntityRead>;

struct EntityCase {
    const char* name;
    std::string body;
    std::function<void(const Entities&)> check;
};

std::string g(Groups groups) { return asciiGroups(groups); }

const double kPi = std::numbers::pi;

std::vector<EntityCase> entityCases() {
    return {
        {"LineTakesElevationAndLowColourByte",
         g({{0, "3DLINE"}, {5, "2F"}, {8, "WALLS"}, {6, "DASHED"}, {62, "-3"}, {38, "5"}, {10, "1"}, {20, "2"},
            {11, "3"}, {21, "4"}, {31, "7"}, {67, "1"}, {60, "1"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 1u);
             const auto& r = e[0];
             EXPECT_EQ(r.header.type, AD_ENTITY_LINE);
             EXPECT_EQ(r.header.handle.b[7], 0x2F);
             EXPECT_EQ(r.header.color, 253);
             EXPECT_EQ(r.header.flags, AD_ENTITY_FLAG_PAPER_SPACE | AD_ENTITY_FLAG_INVISIBLE);
             EXPECT_EQ(r.data.line.start[2], 5.0);
             EXPECT_EQ(r.data.line.end[2], 7.0);  // a later 31 wins over the elevation
             EXPECT_EQ(r.layer, "WALLS");
             EXPECT_EQ(r.linetype, "DASHED");
             EXPECT_EQ(r.elevation, 5.0);
         }},
        {"CircleWithExtrusionAndDefaults",
         g({{0, "CIRCLE"}, {10, "1"}, {20, "2"}, {30, "3"}, {40, "4"}, {210, "0"}, {220, "0"}, {230, "-1"},
            {0, "CIRCLE"}, {210, "0"}, {220, "0"}, {230, "1"}, {40, "1"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 2u);
             EXPECT_EQ(e[0].data.circle.radius, 4.0);
             EXPECT_EQ(e[0].data.circle.centre[2], 3.0);
             EXPECT_EQ(e[0].header.extrusion[2], -1.0);
             EXPECT_TRUE(e[0].header.flags & AD_ENTITY_FLAG_EXTRUDED);
             EXPECT_FALSE(e[1].header.flags & AD_ENTITY_FLAG_EXTRUDED);
             EXPECT_EQ(e[1].header.color, 256);
             EXPECT_EQ(e[1].layer, "0");
             EXPECT_EQ(e[1].linetype, "ByLayer");
         }},
        {"ArcAnglesInRadians", g({{0, "ARC"}, {40, "2"}, {50, "90"}, {51, "180"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 1u);
             EXPECT_DOUBLE_EQ(e[0].data.arc.startAngle, kPi / 2);
             EXPECT_DOUBLE_EQ(e[0].data.arc.endAngle, kPi);
         }},
        {"TextWithStyleName", g({{0, "TEXT"}, {1, "Hello"}, {7, "ROMANS"}, {40, "2.5"}, {72, "1"}, {11, "4"},
                                 {21, "5"}, {31, "6"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 1u);
             EXPECT_STREQ(e[0].data.text.text, "Hello");
             EXPECT_EQ(e[0].data.text.fields.widthFactor, 1.0);
             EXPECT_EQ(e[0].data.text.fields.height, 2.5);
             EXPECT_EQ(e[0].data.text.fields.horizontalAlignment, 1);
             EXPECT_EQ(e[0].data.text.fields.alignment[1], 5.0);
             EXPECT_EQ(e[0].textStyle, "ROMANS");
         }},
        {"MtextPiecesAndOverlongTextGoToTheLongStore",
         g({{0, "MTEXT"}, {3, "aaa"}, {3, "bbb"}, {1, "ccc"}, {50, "90"}, {40, "1"}, {0, "MTEXT"},
            {1, std::string(300, 'x')}, {0, "MTEXT"}, {1, "short"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 3u);
             const auto first = storeValues<char>(e[0].data.mtext.longText);
             EXPECT_EQ(std::string(first.begin(), first.end()), "aaabbbccc");
             EXPECT_EQ(e[0].data.mtext.text[0], '\0');
             EXPECT_NEAR(e[0].data.mtext.xAxis[1], 1.0, 1e-12);
             EXPECT_EQ(e[0].data.mtext.height, 1.0);
             EXPECT_EQ(storeValues<char>(e[1].data.mtext.longText).size(), 300u);
             EXPECT_STREQ(e[2].data.mtext.text, "short");
             EXPECT_EQ(e[2].data.mtext.longText, nullptr);
         }},
        {"LwpolylineKeepsBulgesOnlyWhenGiven",
         g({{0, "LWPOLYLINE"}, {90, "2"}, {70, "1"}, {38, "2"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "1"},
            {42, "0.5"}, {0, "LWPOLYLINE"}, {10, "0"}, {20, "1"}, {10, "2"}, {20, "3"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 2u);
             const auto& p = e[0].data.lwpolyline;
             EXPECT_EQ(e[0].header.type, 500);
             EXPECT_EQ(p.vertexCount, 2);
             EXPECT_EQ(p.flags, 0x200 | 0x10);
             EXPECT_EQ(p.elevation, 2.0);
             EXPECT_EQ(storeValues<double>(p.vertices), (std::vector<double>{0, 0, 0, 1, 1, 0.5}));
             EXPECT_EQ(storeValues<double>(e[1].data.lwpolyline.vertices), (std::vector<double>{0, 1, 2, 3}));
         }},
        {"PolylineVerticesAndFaceIndices",
         g({{0, "POLYLINE"}, {66, "1"}, {70, "64"}, {38, "3"}, {0, "VERTEX"}, {10, "1"}, {20, "2"}, {40, "0.5"},
            {0, "VERTEX"}, {70, "128"}, {71, "1"}, {72, "2"}, {73, "-3"}, {0, "SEQEND"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 4u);
             EXPECT_EQ(e[0].data.polyline.flags, 64);
             EXPECT_EQ(e[0].data.polyline.elevation, 3.0);
             EXPECT_EQ(e[1].data.vertex.point[1], 2.0);
             EXPECT_EQ(e[1].data.vertex.startWidthGiven, 1);
             EXPECT_EQ(e[1].data.vertex.endWidthGiven, 0);
             EXPECT_EQ(e[2].data.vertex.faceIndexCount, 3);
             EXPECT_EQ(e[2].data.vertex.faceIndices[2], -3);
             EXPECT_EQ(e[3].header.type, AD_ENTITY_SEQEND);
         }},
        {"InsertWithAttribute",
         g({{0, "INSERT"}, {66, "1"}, {2, "DOOR"}, {10, "5"}, {41, "2"}, {50, "45"}, {0, "ATTRIB"}, {2, "TAG"},
            {1, "VALUE"}, {7, "STANDARD"}, {70, "2"}, {0, "SEQEND"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 3u);
             const auto& i = e[0].data.insert;
             EXPECT_EQ(e[0].block, "DOOR");
             EXPECT_EQ(i.attributesFollow, 1);
             EXPECT_EQ(i.scale[0], 2.0);
             EXPECT_EQ(i.scale[1], 1.0);
             EXPECT_EQ(i.rowCount, 1);
             EXPECT_EQ(i.columnCount, 1);
             EXPECT_DOUBLE_EQ(i.rotation, kPi / 4);
             EXPECT_STREQ(e[1].data.attrib.tag, "TAG");
             EXPECT_STREQ(e[1].data.attrib.value, "VALUE");
             EXPECT_EQ(e[1].data.attrib.attributeFlags, 2);
             EXPECT_EQ(e[1].textStyle, "STANDARD");
         }},
        {"DimensionNamesAndClonePoint",
         g({{0, "DIMENSION"}, {2, "*D1"}, {3, "ISO"}, {1, "<>"}, {10, "1"}, {11, "2"}, {21, "3"}, {31, "4"},
            {12, "5"}, {22, "6"}, {70, "33"}, {13, "7"}, {16, "9"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 1u);
             const auto& d = e[0].data.dimension;
             EXPECT_EQ(e[0].block, "*D1");
             EXPECT_EQ(e[0].dimStyle, "ISO");
             EXPECT_STREQ(d.text, "<>");
             EXPECT_EQ(d.clonePointGiven, 1);
             EXPECT_EQ(d.clonePoint[1], 6.0);
             EXPECT_EQ(d.clonePoint[2], 4.0);
             EXPECT_EQ(d.definitionPoints[0][0], 9.0);
             EXPECT_EQ(d.definitionPoints[1][0], 7.0);
             EXPECT_EQ(d.dimensionType, 33);
         }},
        {"HatchPathsPatternAndSeeds",
         g({{0, "HATCH"}, {10, "0"}, {20, "0"}, {30, "1.5"}, {2, "ANSI31"}, {70, "0"}, {71, "0"}, {91, "2"},
            {92, "2"}, {72, "1"}, {73, "1"}, {93, "2"}, {10, "0"}, {20, "0"}, {42, "0.5"}, {10, "1"}, {20, "0"},
            {42, "0"}, {97, "0"}, {92, "1"}, {93, "2"}, {72, "1"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"},
            {72, "2"}, {10, "0"}, {20, "0"}, {40, "1"}, {50, "0"}, {51, "90"}, {73, "1"}, {97, "1"}, {330, "2A"},
            {75, "0"}, {76, "1"}, {52, "0"}, {41, "1"}, {78, "1"}, {53, "45"}, {43, "0"}, {44, "0"}, {45, "-1"},
            {46, "1"}, {79, "2"}, {49, "0.5"}, {49, "-0.25"}, {98, "1"}, {10, "3"}, {20, "4"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 1u);
             const auto& h = e[0].data.hatch;
             EXPECT_EQ(e[0].header.type, 501);
             EXPECT_STREQ(h.patternName, "ANSI31");
             EXPECT_EQ(h.elevation[2], 1.5);
             EXPECT_EQ(h.pathCount, 2);
             EXPECT_EQ(h.patternLineCount, 1);
             EXPECT_EQ(h.seedCount, 1);
             EXPECT_EQ(storeValues<double>(h.seeds), (std::vector<double>{3, 4}));
             EXPECT_EQ(storeValues<AdHandle>(h.further).size(), 1u);
             // flags, has-bulge, closed, count, 2 x 3 doubles, 0 sources;
             // flags, edges, line, arc, 1 source.
             const std::size_t size = 4 + 2 + 2 + 4 + 6 * 8 + 4 + 4 + 4 + 2 + 4 * 8 + 2 + 5 * 8 + 2 + 4;
             EXPECT_EQ(static_cast<std::size_t>(adStoreSize(h.paths)), size);
             EXPECT_EQ(static_cast<std::size_t>(adStoreSize(h.patternLines)), 5 * 8 + 2 + 2 * 8);
         }},
        {"SplineWeightsMakeItRational",
         g({{0, "SPLINE"}, {70, "8"}, {71, "1"}, {72, "4"}, {73, "2"}, {74, "0"}, {40, "0"}, {40, "0"}, {40, "1"},
            {40, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {41, "2"}, {10, "1"}, {20, "1"}, {30, "0"}, {41, "3"},
            {0, "SPLINE"}, {72, "2"}, {73, "2"}, {40, "0"}, {40, "1"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "2"},
            {0, "SPLINE"}, {73, "3"}, {10, "0"}, {20, "0"}, {41, "2"}, {10, "1"}, {20, "1"}, {10, "2"}, {20, "2"},
            {41, "5"},
            // Weights before the control points, as the groups are usually
            // ordered; a weight without a point of its own is dropped.
            {0, "SPLINE"}, {73, "2"}, {41, "2"}, {41, "4"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "1"},
            {0, "SPLINE"}, {73, "2"}, {41, "2"}, {41, "4"}, {41, "6"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "1"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 5u);
             for (int i : {3, 4}) {
                 EXPECT_EQ(e[i].data.spline.flags, 4);
                 EXPECT_EQ(e[i].data.spline.controlPointCount, 2);
                 EXPECT_EQ(storeValues<double>(e[i].data.spline.points),
                           (std::vector<double>{0, 0, 0, 2, 1, 1, 0, 4}));
             }
             EXPECT_EQ(e[0].data.spline.flags, 8 | 4);
             EXPECT_EQ(storeValues<double>(e[0].data.spline.points),
                       (std::vector<double>{0, 0, 1, 1, 0, 0, 0, 2, 1, 1, 0, 3}));
             EXPECT_EQ(e[1].data.spline.flags, 0);
             EXPECT_EQ(storeValues<double>(e[1].data.spline.points), (std::vector<double>{0, 1, 0, 0, 0, 1, 2, 0}));
             // A point without a weight where the first had one weighs 1.
             EXPECT_EQ(storeValues<double>(e[2].data.spline.points),
                       (std::vector<double>{0, 0, 0, 2, 1, 1, 0, 1, 2, 2, 0, 5}));
         }},
        {"SplineWithoutListCountsKeepsEveryValue",
         // No 72, 73 or 74 group: each list is as long as its groups run;
         // each weight stands before its own point.
         g({{0, "SPLINE"}, {70, "8"}, {71, "1"}, {40, "0"}, {40, "0"}, {40, "1"}, {40, "1"}, {41, "2"}, {10, "0"},
            {20, "0"}, {30, "0"}, {41, "3"}, {10, "1"}, {20, "2"}, {30, "0"}, {41, "4"}, {10, "2"}, {20, "2"},
            {30, "0"}, {11, "0"}, {21, "0"}, {31, "0"}, {11, "1"}, {21, "2"}, {31, "0"}, {0, "LINE"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 2u);
             const auto& s = e[0].data.spline;
             EXPECT_EQ(s.flags, 8 | 4);
             EXPECT_EQ(s.knotCount, 4);
             EXPECT_EQ(s.controlPointCount, 3);
             EXPECT_EQ(s.fitPointCount, 2);
             EXPECT_EQ(storeValues<double>(s.points), (std::vector<double>{0, 0, 1, 1, 0, 0, 0, 2, 1, 2, 0, 3, 2, 2,
                                                                           0, 4, 0, 0, 0, 1, 2, 0}));
         }},
        {"LeaderHookLineDropsTheVertexBeforeItsEnd",
         g({{0, "LEADER"}, {3, "DIM"}, {75, "1"}, {76, "4"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "1"}, {10, "2"},
            {20, "2"}, {10, "3"}, {20, "3"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 1u);
             EXPECT_EQ(e[0].data.leader.vertexCount, 3);
             EXPECT_EQ(storeValues<double>(e[0].data.leader.vertices),
                       (std::vector<double>{0, 0, 0, 1, 1, 0, 3, 3, 0}));
             EXPECT_EQ(e[0].dimStyle, "DIM");
         }},
        {"SolidSatTextIsMirroredAndItsSpacesAfterAGo",
         g({{0, "3DSOLID"}, {70, "1"}, {1, "^ bc"}, {3, "^  x"}, {1, " "}, {0, "LINE"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 2u);
             const auto text = storeValues<char>(e[0].data.sat.satText);
             // "^" mirrors to "A"; "b" 98 to 61 "="; "c" to "<"; "x" 120 to 39 "'".
             EXPECT_EQ(std::string(text.begin(), text.end()), "A=<\r\nA' \r\n");
         }},
        {"ImageWithRectangularClip",
         g({{0, "IMAGE"}, {10, "1"}, {20, "2"}, {30, "0"}, {11, "0.5"}, {21, "0"}, {31, "0"}, {12, "0"},
            {22, "0.5"}, {32, "0"}, {13, "640"}, {23, "480"}, {340, "3F"}, {70, "7"}, {280, "1"}, {281, "60"},
            {71, "1"}, {91, "2"}, {14, "-0.5"}, {24, "-0.5"}, {14, "639.5"}, {24, "479.5"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 1u);
             const auto& i = e[0].data.image;
             EXPECT_EQ(e[0].header.type, 502);
             EXPECT_EQ(i.size[1], 480.0);
             EXPECT_EQ(i.uVector[0], 0.5);
             EXPECT_EQ(i.imageDef.b[7], 0x3F);
             EXPECT_EQ(i.brightness, 60);
             EXPECT_EQ(i.clipBoundaryType, 1);
             EXPECT_EQ(i.clipCorners[1][0], 639.5);
             EXPECT_EQ(i.clipVertices, nullptr);
         }},
        {"ClassEntityIsKeptBitCoded",
         g({{0, "MYENTITY"}, {5, "40"}, {100, "AcDbEntity"}, {8, "L1"}, {100, "AcDbMine"}, {40, "1.5"},
            {10, "1"}, {20, "2"}, {30, "3"}, {70, "4"}, {110, "9"}, {330, "1F"}, {1, "text"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 1u);
             const auto& p = e[0].data.proxy;
             EXPECT_EQ(e[0].header.type, AD_ENTITY_PROXY);
             EXPECT_EQ(p.classId, 503);
             EXPECT_EQ(p.originalFormat, 1);
             EXPECT_EQ(p.objectIdCount, 1);
             const auto refs = storeValues<std::uint8_t>(p.objectIds);
             ASSERT_EQ(refs.size(), 9u);
             EXPECT_EQ(refs[7], 0x1F);
             EXPECT_EQ(refs[8], 1);
             ASSERT_NE(p.data, nullptr);
             EXPECT_GT(p.dataBits, 0);
             EXPECT_EQ(e[0].layer, "L1");
         }},
        {"ProxyEntityWithGraphicsAndReferences",
         g({{0, "ACAD_PROXY_ENTITY"}, {100, "AcDbEntity"}, {100, "AcDbProxyEntity"}, {90, "498"}, {91, "600"},
            {92, "4"}, {310, "01020304"}, {93, "16"}, {310, "ABCD"}, {330, "11"}, {340, "12"}, {94, "0"},
            {0, "LINE"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 2u);
             const auto& p = e[0].data.proxy;
             EXPECT_EQ(e[0].header.type, 600);
             EXPECT_EQ(p.dataBits, 16);
             EXPECT_EQ(storeValues<std::uint8_t>(p.graphics), (std::vector<std::uint8_t>{1, 2, 3, 4}));
             EXPECT_EQ(storeValues<std::uint8_t>(p.data), (std::vector<std::uint8_t>{0xAB, 0xCD}));
             EXPECT_EQ(p.objectIdCount, 2);
         }},
        {"UnknownNamesAreSkippedAndXdataFlagged",
         g({{0, "NOSUCHTHING"}, {8, "X"}, {10, "1"}, {0, "POINT"}, {10, "4"}, {1001, "APP"}, {1070, "3"},
            {0, "POINT"}, {10, "5"}}),
         [](const auto& e) {
             ASSERT_EQ(e.size(), 2u);
             EXPECT_EQ(e[0].header.type, AD_ENTITY_POINT);
             EXPECT_EQ(e[0].data.point.point[0], 4.0);
             EXPECT_EQ(e[0].xdata, 1);
             EXPECT_EQ(e[1].xdata, 0);
         }},
    };
}

// Reads every entity of the ENTITIES section through the DXF read-ops slot,
// hands them to check while the drawing is open, then frees their stores.
void readEntities(const TempDir& dir, const std::string& body, const std::string& version,
                  const std::function<void(const Entities&)>& check) {
    OpenedDxf dxf(dir.write("e.dxf", dxfDrawing(version, "ENTITIES", body)));
    ASSERT_EQ(dxf.open(), 1) << adGlobals->errorCode;
    registerClasses(dxf.get());
    adInstallDxfReadOps();
    ASSERT_EQ(adDxfEntitiesBegin(dxf.get()), 1);
    Entities entities;
    for (int guard = 0; guard < 100; ++guard) {
        EntityRead r{};
        if (!adGlobals->dxfReadOps->readEntity(dxf.get(), &r.header, &r.data, &r.xdata)) break;
        const auto& names = adGlobals->dxfNames;
        r.layer = names[AD_DXF_NAME_LAYER];
        r.linetype = names[AD_DXF_NAME_LINETYPE];
        r.textStyle = names[AD_DXF_NAME_TEXT_STYLE];
        r.block = names[AD_DXF_NAME_BLOCK];
        r.dimStyle = names[AD_DXF_NAME_DIMSTYLE];
        r.elevation = adGlobals->entityElevation;
        entities.push_back(r);
    }
    check(entities);
    for (EntityRead& r : entities) adEntityFreeStores(dxf.get(), &r.header, &r.data);
}

class DxfEntityFamilies : public DxfTest, public testing::WithParamInterface<EntityCase> {};

TEST_P(DxfEntityFamilies, ReadIntoTheirFields) { readEntities(dir_, GetParam().body, "AC1015", GetParam().check); }

INSTANTIATE_TEST_SUITE_P(Dxf, DxfEntityFamilies, testing::ValuesIn(entityCases()),
                         [](const testing::TestParamInfo<EntityCase>& info) { return info.param.name; });

using DxfEntityReader = DxfTest;

// Every release escapes a caret of the stored SAT text as "^ ": AC1012 and
// AC1014 files read as AC1015 files do, as their DWG twins hold the text.
TEST_F(DxfEntityReader, SatCaretEscapesUndoneInEveryRelease) {
    for (const char* version : {"AC1012", "AC1014"}) {
        readEntities(dir_, g({{0, "BODY"}, {1, "^ b"}}), version, [&](const Entities& e) {
            ASSERT_EQ(e.size(), 1u) << version;
            const auto text = storeValues<char>(e[0].data.sat.satText);
            EXPECT_EQ(std::string(text.begin(), text.end()), "A=\r\n") << version;
        });
    }
}

// A file that ends inside an entity ends it; the next call answers 0.
TEST_F(DxfEntityReader, EndOfFileInsideAnEntity) {
    OpenedDxf dxf(dir_.write("cut.dxf", dxfSection("HEADER", g({{9, "$ACADVER"}, {1, "AC1015"}})) +
                                            g({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {10, "1"}})));
    dxf.open();
    AdDrawing* d = dxf.get();
    d->dxfInBlock = 1;  // the pre-scan found no end of ENTITIES; read as a block would be
    ASSERT_EQ(adDxfSeek(d, d->dxfEntitiesStart), 1);
    AdEntityHeader h{};
    AdEntityData data{};
    std::uint8_t xdata = 0;
    EXPECT_EQ(adDxfEntityNext(d, &h, &data, &xdata), 1);
    EXPECT_EQ(data.line.start[0], 1.0);
    EXPECT_EQ(adDxfEntityNext(d, &h, &data, &xdata), 0);
}

// An MLINE whose vertex data breaks off has its vertex store made already:
// the load passes it over and notes it, frees the store with it (the
// sanitizer build's leak check is the judge), and reads the entities behind.
TEST_F(DxfEntityReader, AnEntityThatFailsHalfWayLeavesNothingBehind) {
    const std::string body = g({{0, "LINE"}, {8, "0"}, {10, "1"}, {11, "2"},
                                {0, "MLINE"}, {8, "0"}, {72, "2"}, {73, "1"}, {10, "0"}, {20, "0"}, {30, "0"},
                                {11, "0"}, {21, "0"}, {31, "0"}, {12, "1"}, {22, "0"}, {32, "0"},
                                {13, "0"}, {23, "1"}, {33, "0"}, {74, "x"},
                                {0, "CIRCLE"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "1"}});
    const std::string path = dir_.write("broken_mline.dxf", dxfDrawing("AC1015", "ENTITIES", body));
    adInstallDxfReadOps();
    AdDrawing* d = adOpenDrawing(path.c_str(), 1, 0);
    ASSERT_NE(d, nullptr) << adGlobals->errorCode;
    std::vector<std::uint16_t> types;
    auto h = std::make_unique<AdEntityHeader>();
    auto data = std::make_unique<AdEntityData>();
    adEntityRewind(d->modelSpace);
    while (adEntityNext(d->modelSpace, h.get(), data.get())) types.push_back(h->type);
    EXPECT_EQ(types, (std::vector<std::uint16_t>{AD_ENTITY_LINE, AD_ENTITY_CIRCLE}));
    ASSERT_EQ(d->loadErrorCount, 1);
    EXPECT_EQ(d->loadErrors[0].code, AD_ERR_DXF_GROUP_CODE);
    adCloseDrawing(d);
}

}  // namespace

namespace {
// Every DXF file of the shared data: its CLASSES registered as the load
// does, then every entity of ENTITIES read; each fixed type's count must be
// the one the data's manifest lists, and the OBJECTS section must be read
// to its end.
std::map<std::string, int> manifestCounts(const std::string& line) {
    std::map<std::string, int> counts;
    const std::size_t at = line.find("ENTITIES ");
    if (at == std::string::npos) return counts;
    std::istringstream words(line.substr(at + 9, line.find(';', at) - at - 9));
    std::string word;
    while (words >> word) {
        const std::size_t x = word.rfind('x');
        if (x != std::string::npos && adDxfEntityType(word.substr(0, x).c_str()) != 0)
            counts[word.substr(0, x)] = std::stoi(word.substr(x + 1));
    }
    return counts;
}

TEST_F(DxfEntityReader, RealFilesReadWhole) {
    const std::filesystem::path root(VT_SHARED_DATA_DIR);
    std::ifstream manifest(root / "MANIFEST.tsv");
    if (!manifest) GTEST_SKIP() << "no shared data";
    std::string line;
    int files = 0;
    while (std::getline(manifest, line)) {
        const std::string name = line.substr(0, line.find('\t'));
        if (name.rfind("dxf/", 0) != 0 || name.find(".dxf") == std::string::npos) continue;
        SCOPED_TRACE(name);
        OpenedDxf dxf((root / name).string());
        if (!dxf.open()) continue;  // files the pre-scan refuses are its own tests' concern
        AdDrawing* d = dxf.get();
        AdClassRecord record{};
        if (adDxfClassBegin(d))
            while (adDxfClassNext(d, &record))
                adClassNumSet(d, record.dxfName, adClassRegister(d, record.dxfName, record.className,
                                                                 record.applicationName, record.proxyFlags,
                                                                 record.isEntity, record.wasProxy));
        std::map<std::string, int> counts;
        ASSERT_EQ(adDxfEntitiesBegin(d), 1);
        AdEntityHeader h{};
        AdEntityData data{};
        std::uint8_t xdata = 0;
        for (int guard = 0; guard < 1000000 && adDxfEntityNext(d, &h, &data, &xdata); ++guard) {
            const char* type = adDxfEntityName(h.type);
            if (type && *type) ++counts[type];
            adEntityFreeStores(d, &h, &data);
        }
        std::map<std::string, int> expected = manifestCounts(line);
        for (auto& [type, count] : counts)
            if (!expected.count(type)) count = 0;
        // 3DLINE is read as LINE, which the manifest counts apart.
        counts.erase("LINE");
        expected.erase("LINE");
        std::erase_if(counts, [](const auto& entry) { return entry.second == 0; });
        EXPECT_EQ(counts, expected);
        if (d->dxfObjectsPosition > 0 && adDxfObjectsBegin(d)) {
            int objects = 0;
            for (std::int32_t kind = adDxfObjectKind(d); kind != 0 && kind != 34 && objects < 1000000;
                 kind = adDxfObjectKind(d), ++objects) {
                AdObjectHeader oh{};
                AdObjectData od{};
                const int read = kind == AD_OBJECT_DICTIONARY    ? adDxfDictionaryRead(d, &oh, &od, &xdata)
                                 : kind == AD_OBJECT_GROUP       ? adDxfGroupRead(d, &oh, &od, &xdata)
                                 : kind == AD_OBJECT_MLINESTYLE  ? adDxfMlineStyleRead(d, &oh, &od, &xdata)
                                                                 : adDxfClassObjectRead(d, &oh, &od, &xdata);
                if (read) adObjectFreeData(d, &oh, &od);
            }
            EXPECT_GT(objects, 0);
        }
        ++files;
    }
    EXPECT_GT(files, 10);
}
}  // namespace
