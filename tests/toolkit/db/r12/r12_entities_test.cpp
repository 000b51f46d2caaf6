// The entity records of fixed-record DWG files: the common part and the
// type data of each entity type, read from synthetic records.
#include <functional>
#include "toolkit/db/load_stages.h"

#include "r12_entity_fixture.h"

namespace {


using Check = std::function<void(const AdEntityHeader&, const AdEntityData&)>;

struct TypeCase {
    const char* what;
    std::int16_t version;
    int type;
    int flags;
    Bytes body;
    std::uint16_t storedType;
    Check check;
};

void expectPoint(const double* p, double x, double y, double z, const char* what) {
    EXPECT_EQ(p[0], x) << what;
    EXPECT_EQ(p[1], y) << what;
    EXPECT_EQ(p[2], z) << what;
}

const AdGlobalState::AdEntityIndexes& indexes() { return adGlobals->entityIndexes; }

class R12Types : public R12EntityTest {
protected:
    void run(const TypeCase& c) {
        SCOPED_TRACE(c.what);
        open(c.version, record(c.type, c.flags, c.body) + line1009(9));
        ASSERT_EQ(next(), 1);
        EXPECT_EQ(flag & AD_ENTITY_READ_SKIP, 0);
        EXPECT_EQ(header.type, c.storedType);
        c.check(header, *data);
        // The record is consumed whole: the next one is read from its start.
        ASSERT_EQ(next(), 1);
        EXPECT_EQ(header.type, AD_ENTITY_LINE);
        EXPECT_EQ(data->line.start[0], 9.0);
        HostClose(d->file);
        d->file = nullptr;
    }
};

TEST_F(R12Types, GeometryFollowsTheFlagsAndOptions) {
    const TypeCase cases[] = {
        {"AC1009 LINE carries its own z", AD_VERSION_AC1009, 1, 0, lead(0, 0).p2(1, 2).d(3).p2(4, 5).d(6), AD_ENTITY_LINE,
         [](const AdEntityHeader& h, const AdEntityData& e) {
             expectPoint(e.line.start, 1, 2, 3, "start");
             expectPoint(e.line.end, 4, 5, 6, "end");
             EXPECT_EQ(h.flags & AD_ENTITY_FLAG_EXTRUDED, 0);
         }},
        {"AC1009 LINE with flag 4 reads no elevation and no z", AD_VERSION_AC1009, 1, 0x04, lead(0, 0).p2(1, 2).p2(4, 5),
         AD_ENTITY_LINE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.line.start, 1, 2, 0, "start");
             expectPoint(e.line.end, 4, 5, 0, "end");
         }},
        {"AC1004 LINE lies at the elevation", AD_VERSION_AC1004, 1, 0x04, lead(0, 0).d(7).p2(1, 2).p2(4, 5), AD_ENTITY_LINE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.line.start, 1, 2, 7, "start");
             expectPoint(e.line.end, 4, 5, 7, "end");
         }},
        {"AC1009 LINE with an extrusion", AD_VERSION_AC1009, 1, 0x04, lead(0, 1).p2(1, 2).p2(4, 5).p3(0, 0, -1),
         AD_ENTITY_LINE,
         [](const AdEntityHeader& h, const AdEntityData&) {
             EXPECT_NE(h.flags & AD_ENTITY_FLAG_EXTRUDED, 0);
             expectPoint(h.extrusion, 0, 0, -1, "extrusion");
         }},
        {"AC1009 POINT with an x-axis angle", AD_VERSION_AC1009, 2, 0, lead(0, 2).p2(1, 2).d(3).d(0.5), AD_ENTITY_POINT,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.point.point, 1, 2, 3, "point");
             EXPECT_EQ(e.point.xAxisAngle, 0.5);
         }},
        {"CIRCLE with a negative radius gets 0", AD_VERSION_AC1009, 3, 0, lead(0, 0).p2(1, 2).d(-5), AD_ENTITY_CIRCLE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.circle.centre, 1, 2, 0, "centre");
             EXPECT_EQ(e.circle.radius, 0.0);
         }},
        {"ARC", AD_VERSION_AC1009, 8, 0x04, lead(0, 0).d(2).p2(1, 2).d(3).d(0.25).d(1.5), AD_ENTITY_ARC,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.arc.centre, 1, 2, 2, "centre");
             EXPECT_EQ(e.arc.radius, 3.0);
             EXPECT_EQ(e.arc.startAngle, 0.25);
             EXPECT_EQ(e.arc.endAngle, 1.5);
         }},
        {"SHAPE with every option", AD_VERSION_AC1009, 4, 0, lead(0, 0x0D).p2(1, 2).d(2.5).u8(200).d(0.5).u8(3).d(0.75).d(0.1),
         AD_ENTITY_SHAPE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             EXPECT_EQ(e.shape.size, 2.5);
             EXPECT_EQ(e.shape.shapeNumber, 200);
             EXPECT_EQ(e.shape.rotation, 0.5);
             EXPECT_EQ(indexes().textStyle, 3);
             EXPECT_EQ(e.shape.widthFactor, 0.75);
             EXPECT_EQ(e.shape.obliqueAngle, 0.1);
         }},
        {"SHAPE without options", AD_VERSION_AC1009, 4, 0, lead(0, 0).p2(1, 2).d(2.5).u8(7).u8(1), AD_ENTITY_SHAPE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             EXPECT_EQ(e.shape.shapeNumber, 7);
             EXPECT_EQ(e.shape.rotation, 0.0);
             EXPECT_EQ(e.shape.widthFactor, 1.0);
             EXPECT_EQ(e.shape.obliqueAngle, 0.0);
         }},
        {"TRACE corners lie at the elevation", AD_VERSION_AC1009, 9, 0x04,
         lead(0, 0).d(2).p2(0, 0).p2(1, 0).p2(0, 1).p2(1, 1), AD_ENTITY_TRACE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.trace.corners[0], 0, 0, 2, "corner 1");
             expectPoint(e.trace.corners[3], 1, 1, 2, "corner 4");
         }},
        {"SOLID", AD_VERSION_AC1006, 11, 0, lead(0, 0).p2(0, 0).p2(3, 0).p2(0, 3).p2(3, 3), AD_ENTITY_SOLID,
         [](const AdEntityHeader&, const AdEntityData& e) { expectPoint(e.trace.corners[1], 3, 0, 0, "corner 2"); }},
        {"AC1004 3DLINE is kept as a LINE with its optional z", AD_VERSION_AC1004, 21, 0, lead(0, 2).p2(1, 2).p2(3, 4).d(5),
         AD_ENTITY_LINE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.line.start, 1, 2, 0, "start");
             expectPoint(e.line.end, 3, 4, 5, "end");
         }},
        {"AC1009 3DLINE", AD_VERSION_AC1009, 21, 0, lead(0, 0).p2(1, 2).d(3).p2(4, 5).d(6), AD_ENTITY_LINE,
         [](const AdEntityHeader&, const AdEntityData& e) { expectPoint(e.line.end, 4, 5, 6, "end"); }},
        {"AC1002 3DLINE is a LINE with its data defaulted", AD_VERSION_AC1002, 21, 0, lead(0, 0).p2(1, 2).p2(3, 4),
         AD_ENTITY_LINE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.line.start, 0, 0, 0, "start");
             expectPoint(e.line.end, 0, 0, 0, "end");
         }},
        {"AC1004 3DFACE reads z for the corners its options name", AD_VERSION_AC1004, 22, 0,
         lead(0, 2).p2(1, 1).p2(2, 2).d(9).p2(3, 3).p2(4, 4), AD_ENTITY_3DFACE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.face.corners[0], 1, 1, 0, "corner 1");
             expectPoint(e.face.corners[1], 2, 2, 9, "corner 2");
             expectPoint(e.face.corners[3], 4, 4, 0, "corner 4");
             EXPECT_EQ(e.face.invisibleEdges, 0);
         }},
        {"AC1009 3DFACE with invisible edges", AD_VERSION_AC1009, 22, 0,
         lead(0, 1).p2(1, 1).d(1).p2(2, 2).d(2).p2(3, 3).d(3).p2(4, 4).d(4).i16(5), AD_ENTITY_3DFACE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.face.corners[2], 3, 3, 3, "corner 3");
             EXPECT_EQ(e.face.invisibleEdges, 5);
         }},
        {"AC1002 3DFACE is defaulted", AD_VERSION_AC1002, 22, 0, lead(0, 0).p2(1, 1).p2(2, 2).p2(3, 3).p2(4, 4),
         AD_ENTITY_3DFACE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             for (const double* corner : e.face.corners) expectPoint(corner, 0, 0, 0, "corner");
             EXPECT_EQ(e.face.invisibleEdges, 0);
         }},
        {"AC1009 VIEWPORT", AD_VERSION_AC1009, 24, 0, lead(0, 0).p3(1, 2, 3).d(4).d(5).i16(2), AD_ENTITY_VIEWPORT,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.viewport.centre, 1, 2, 3, "centre");
             EXPECT_EQ(e.viewport.width, 4.0);
             EXPECT_EQ(e.viewport.height, 5.0);
             EXPECT_EQ(e.viewport.id, 2);
             EXPECT_EQ(e.viewport.status, 0);
             EXPECT_EQ(e.viewport.lensLength, 50.0);
         }},
        {"AC1006 VIEWPORT keeps the defaults", AD_VERSION_AC1006, 24, 0, lead(0, 0).p3(1, 2, 3).d(4).d(5).i16(2),
         AD_ENTITY_VIEWPORT,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.viewport.centre, 0, 0, 0, "centre");
             EXPECT_EQ(e.viewport.id, 0);
             EXPECT_EQ(e.viewport.circleZoom, 100);
             expectPoint(e.viewport.viewDirection, 0, 0, 1, "view direction");
             EXPECT_EQ(e.viewport.frozenLayers, nullptr);
         }},
    };
    for (const TypeCase& c : cases) run(c);
}

TEST_F(R12Types, BlocksInsertsAndSequences) {
    const TypeCase cases[] = {
        {"AC1009 BLOCK with name and path", AD_VERSION_AC1009, 12, 0, lead(0, 7).p2(1, 2).d(99).text("x.dwg").text("B1"),
         AD_ENTITY_BLOCK,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.block.basePoint, 1, 2, 0, "base");
             EXPECT_STREQ(e.block.xrefPath, "x.dwg");
             EXPECT_STREQ(e.block.name, "B1");
         }},
        {"AC1006 BLOCK has no texts", AD_VERSION_AC1006, 12, 0, lead(-3, 1).p2(1, 2).d(99), AD_ENTITY_BLOCK,
         [](const AdEntityHeader&, const AdEntityData& e) {
             EXPECT_STREQ(e.block.name, "");
             EXPECT_STREQ(e.block.xrefPath, "");
             EXPECT_EQ(indexes().layer, 0);
         }},
        {"ENDBLK", AD_VERSION_AC1009, 13, 0, lead(0, 0), AD_ENTITY_ENDBLK, [](const AdEntityHeader&, const AdEntityData&) {}},
        {"SEQEND", AD_VERSION_AC1009, 17, 0, lead(0, 0).i32(0), AD_ENTITY_SEQEND,
         [](const AdEntityHeader&, const AdEntityData&) {}},
        {"INSERT with attributes and every option", AD_VERSION_AC1009, 14, 0x80,
         lead(0, 0xFF).i16(3).p2(1, 2).d(2).d(1e-13).d(0.5).d(4).i16(0).i16(2).d(1.5).d(2.5), AD_ENTITY_INSERT,
         [](const AdEntityHeader&, const AdEntityData& e) {
             EXPECT_EQ(indexes().block, 3);
             EXPECT_EQ(e.insert.attributesFollow, 128);
             expectPoint(e.insert.insertion, 1, 2, 0, "insertion");
             expectPoint(e.insert.scale, 2, 1, 4, "scale");
             EXPECT_EQ(e.insert.rotation, 0.5);
             EXPECT_EQ(e.insert.columnCount, 1);
             EXPECT_EQ(e.insert.rowCount, 2);
             EXPECT_EQ(e.insert.columnSpacing, 1.5);
             EXPECT_EQ(e.insert.rowSpacing, 2.5);
         }},
        {"plain INSERT", AD_VERSION_AC1004, 14, 0, lead(0, 0).i16(1).p2(1, 2), AD_ENTITY_INSERT,
         [](const AdEntityHeader&, const AdEntityData& e) {
             EXPECT_EQ(e.insert.attributesFollow, 0);
             expectPoint(e.insert.scale, 1, 1, 1, "scale");
             EXPECT_EQ(e.insert.rowCount, 1);
             EXPECT_EQ(e.insert.columnCount, 1);
         }},
        {"3D POLYLINE at an elevation drops its widths", AD_VERSION_AC1009, 19, 0x04,
         lead(0, 0x117).d(3).u8(8).d(1).d(2).i16(4).i16(6), AD_ENTITY_POLYLINE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             EXPECT_EQ(e.polyline.elevation, 3.0);
             EXPECT_EQ(e.polyline.flags, 8);
             EXPECT_EQ(e.polyline.startWidth, 0.0);
             EXPECT_EQ(e.polyline.endWidth, 0.0);
             EXPECT_EQ(e.polyline.meshMCount, 4);
             EXPECT_EQ(e.polyline.curveType, 6);
             EXPECT_EQ(e.polyline.meshNCount, 0);
         }},
        {"2D POLYLINE keeps its widths", AD_VERSION_AC1009, 19, 0, lead(0, 0x07).u8(1).d(1).d(2), AD_ENTITY_POLYLINE,
         [](const AdEntityHeader&, const AdEntityData& e) {
             EXPECT_EQ(e.polyline.flags, 1);
             EXPECT_EQ(e.polyline.startWidth, 1.0);
             EXPECT_EQ(e.polyline.endWidth, 2.0);
         }},
        {"AC1009 VERTEX face record", AD_VERSION_AC1009, 20, 0, lead(0, 0x40E8).u8(128).i16(1).i16(2).i16(-3),
         AD_ENTITY_VERTEX,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.vertex.point, 0, 0, 0, "point");
             EXPECT_EQ(e.vertex.flags, 128);
             EXPECT_EQ(e.vertex.faceIndexCount, 3);
             EXPECT_EQ(e.vertex.faceIndices[0], 1);
             EXPECT_EQ(e.vertex.faceIndices[1], 2);
             EXPECT_EQ(e.vertex.faceIndices[2], -3);
             EXPECT_EQ(e.vertex.faceIndices[3], 0);
         }},
        {"AC1006 VERTEX with width and bulge at the elevation", AD_VERSION_AC1006, 20, 0x04,
         lead(0, 0x05).d(5).p2(1, 2).d(0.5).d(0.25), AD_ENTITY_VERTEX,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.vertex.point, 1, 2, 5, "point");
             EXPECT_EQ(e.vertex.startWidth, 0.5);
             EXPECT_EQ(e.vertex.startWidthGiven, 1);
             EXPECT_EQ(e.vertex.endWidthGiven, 0);
             EXPECT_EQ(e.vertex.bulge, 0.25);
             EXPECT_EQ(e.vertex.faceIndexCount, 0);
         }},
    };
    for (const TypeCase& c : cases) run(c);
}

TEST_F(R12Types, TextsAndTheirOptions) {
    const TypeCase cases[] = {
        {"AC1009 TEXT with every option", AD_VERSION_AC1009, 7, 0,
         lead(0, 0x1FF).p2(1, 2).d(0.2).text("Hi").d(0.5).d(150).d(0.1).u8(2).u8(4).u8(1).p2(3, 4).p3(0, 0, -1).u8(3),
         AD_ENTITY_TEXT,
         [](const AdEntityHeader& h, const AdEntityData& e) {
             const AdTextFields& f = e.text.fields;
             expectPoint(e.text.insertion, 1, 2, 0, "insertion");
             EXPECT_EQ(f.height, 0.2);
             EXPECT_STREQ(e.text.text, "Hi");
             EXPECT_EQ(f.rotation, 0.5);
             EXPECT_EQ(f.widthFactor, 1.0);  // 150 is out of range
             EXPECT_EQ(f.obliqueAngle, 0.1);
             EXPECT_EQ(indexes().textStyle, 2);
             EXPECT_EQ(f.generation, 4);
             EXPECT_EQ(f.horizontalAlignment, 1);
             EXPECT_EQ(f.alignment[0], 3.0);
             EXPECT_EQ(f.alignment[1], 4.0);
             EXPECT_NE(h.flags & AD_ENTITY_FLAG_EXTRUDED, 0);
             EXPECT_EQ(f.verticalAlignment, 3);
         }},
        {"AC1004 TEXT reads no extrusion or vertical alignment", AD_VERSION_AC1004, 7, 0,
         lead(0, 0x183).p2(1, 2).d(0.2).text("Hi").d(0.5).d(0.8), AD_ENTITY_TEXT,
         [](const AdEntityHeader& h, const AdEntityData& e) {
             EXPECT_EQ(e.text.fields.widthFactor, 0.8);
             EXPECT_EQ(e.text.fields.verticalAlignment, 0);
             EXPECT_EQ(h.flags & AD_ENTITY_FLAG_EXTRUDED, 0);
             EXPECT_EQ(indexes().textStyle, 0);
         }},
        {"ATTDEF shifts the text options by one bit", AD_VERSION_AC1009, 15, 0,
         lead(0, 0x11).p2(1, 2).d(0.3).text("def").text("prompt?").text("TAG").u8(8).u8(12).u8(2), AD_ENTITY_ATTDEF,
         [](const AdEntityHeader&, const AdEntityData& e) {
             EXPECT_STREQ(e.attdef.defaultValue, "def");
             EXPECT_STREQ(e.attdef.prompt, "prompt?");
             EXPECT_STREQ(e.attdef.tag, "TAG");
             EXPECT_EQ(e.attdef.attributeFlags, 8);
             EXPECT_EQ(e.attdef.fieldLength, 12);
             EXPECT_EQ(indexes().textStyle, 2);
             EXPECT_EQ(e.attdef.fields.rotation, 0.0);
         }},
        {"ATTRIB", AD_VERSION_AC1009, 16, 0, lead(0, 0x04).p2(1, 2).d(0.3).text("value").text("TAG").u8(0).d(0.9),
         AD_ENTITY_ATTRIB,
         [](const AdEntityHeader&, const AdEntityData& e) {
             EXPECT_STREQ(e.attrib.value, "value");
             EXPECT_STREQ(e.attrib.tag, "TAG");
             EXPECT_EQ(e.attrib.fields.height, 0.3);
             EXPECT_EQ(e.attrib.fields.widthFactor, 0.9);
             EXPECT_EQ(e.attrib.fieldLength, 0);
         }},
    };
    for (const TypeCase& c : cases) run(c);
}

TEST_F(R12Types, Dimensions) {
    const TypeCase cases[] = {
        {"AC1009 DIMENSION", AD_VERSION_AC1009, 23, 0,
         lead(0, 0x0001 | 0x0002 | 0x0004 | 0x0008 | 0x0040 | 0x0100 | 0x0800 | 0x1000 | 0x8000)
             .i16(7)
             .p2(1, 2)
             .d(3)
             .p2(4, 5)
             .p2(6, 7)
             .u8(1)
             .text("12.5")
             .p2(8, 9)
             .d(10)
             .p2(11, 12)
             .d(0.5)
             .d(99)
             .d(0.75)
             .i16(2),
         AD_ENTITY_DIMENSION,
         [](const AdEntityHeader&, const AdEntityData& e) {
             const AdDimensionData& dim = e.dimension;
             EXPECT_EQ(indexes().block, 7);
             EXPECT_EQ(indexes().dimStyle, 2);
             expectPoint(dim.definitionPoint, 1, 2, 3, "point 10");
             expectPoint(dim.textMidpoint, 4, 5, 0, "point 11");
             EXPECT_EQ(dim.clonePointGiven, 1);
             expectPoint(dim.clonePoint, 6, 7, 0, "point 12");
             EXPECT_EQ(dim.dimensionType, 1);
             EXPECT_STREQ(dim.text, "12.5");
             expectPoint(dim.definitionPoints[1], 8, 9, 10, "point 13");
             expectPoint(dim.definitionPoints[2], 0, 0, 0, "point 14");
             expectPoint(dim.definitionPoints[0], 11, 12, 0, "point 16");
             EXPECT_EQ(dim.rotation, 0.5);
             EXPECT_EQ(dim.angle54, 0.75);
             EXPECT_EQ(dim.attachment, 5);
             EXPECT_DOUBLE_EQ(dim.lineSpacingFactor, 5.0 / 3.0);
         }},
        {"AC1004 DIMENSION has no z of its own", AD_VERSION_AC1004, 23, 0x04, lead(0, 0x08).d(2).i16(1).p2(1, 2).p2(4, 5).p2(8, 9),
         AD_ENTITY_DIMENSION,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.dimension.definitionPoint, 1, 2, 2, "point 10");
             expectPoint(e.dimension.textMidpoint, 4, 5, 2, "point 11");
             expectPoint(e.dimension.definitionPoints[1], 8, 9, 2, "point 13");
             EXPECT_EQ(indexes().dimStyle, -1);
         }},
        {"AC1002 DIMENSION is defaulted", AD_VERSION_AC1002, 23, 0, lead(0, 0x04).i16(7).p2(1, 2).p2(4, 5).text("x"),
         AD_ENTITY_DIMENSION,
         [](const AdEntityHeader&, const AdEntityData& e) {
             expectPoint(e.dimension.definitionPoint, 0, 0, 0, "point 10");
             expectPoint(e.dimension.textMidpoint, 0, 0, 0, "point 11");
             EXPECT_STREQ(e.dimension.text, "");
             EXPECT_EQ(e.dimension.clonePointGiven, 0);
             EXPECT_EQ(indexes().block, -1);
         }},
    };
    for (const TypeCase& c : cases) run(c);
}

struct CommonCase {
    const char* what;
    std::int16_t version;
    int flags;
    Bytes common;  // after the layer and options words
    Check check;
    std::uint8_t flag = 0;  // what the reader answers besides the entity
};

// The common fields, each case followed by the type data of a LINE that
// lies flat (or, before AC1006, at the elevation).
TEST_F(R12Types, CommonFields) {
    const CommonCase cases[] = {
        {"colour and an AC1004 linetype byte 255 for BYBLOCK", AD_VERSION_AC1004, 0x03, Bytes().u8(3).u8(255),
         [](const AdEntityHeader& h, const AdEntityData&) {
             EXPECT_EQ(h.color, 3);
             EXPECT_EQ(indexes().linetype, 0x7FFE);
             EXPECT_EQ(indexes().layer, 5);
         }},
        {"an AC1004 linetype byte below 255 is an index", AD_VERSION_AC1004, 0x02, Bytes().u8(4),
         [](const AdEntityHeader& h, const AdEntityData&) {
             EXPECT_EQ(h.color, 256);
             EXPECT_EQ(indexes().linetype, 4);
         }},
        {"AC1009 linetype is a word", AD_VERSION_AC1009, 0x02 | 0x04, Bytes().i16(300),
         [](const AdEntityHeader&, const AdEntityData&) { EXPECT_EQ(indexes().linetype, 300); }},
        {"no linetype is BYLAYER", AD_VERSION_AC1009, 0x04, Bytes(),
         [](const AdEntityHeader& h, const AdEntityData&) {
             EXPECT_EQ(indexes().linetype, 0x7FFF);
             EXPECT_EQ(h.thickness, 0.0);
             EXPECT_EQ(adHandleLength(&h.handle), 0);
         }},
        {"thickness, handle and the paper-space word", AD_VERSION_AC1009, 0x04 | 0x08 | 0x20 | 0x40,
         Bytes().u8(0x04).d(2.5).u8(2).u8(0x1A).u8(0x2B).i16(1),
         [](const AdEntityHeader& h, const AdEntityData& e) {
             EXPECT_EQ(h.thickness, 2.5);
             EXPECT_EQ(h.handle.b[6], 0x1A);
             EXPECT_EQ(h.handle.b[7], 0x2B);
             EXPECT_EQ(adHandleLength(&h.handle), 2);
             EXPECT_NE(h.flags & AD_ENTITY_FLAG_PAPER_SPACE, 0);
             expectPoint(e.line.start, 1, 2, 0, "start");
         }},
        {"an over-long handle keeps its last eight bytes", AD_VERSION_AC1006, 0x04 | 0x20,
         Bytes().u8(9).u8(0xEE).u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).u8(7).u8(8),
         [](const AdEntityHeader& h, const AdEntityData&) {
             EXPECT_EQ(h.handle.b[0], 1);
             EXPECT_EQ(h.handle.b[7], 8);
         }},
        {"no handle before AC1006", AD_VERSION_AC1004, 0x20, Bytes(),
         [](const AdEntityHeader& h, const AdEntityData& e) {
             EXPECT_EQ(adHandleLength(&h.handle), 0);
             expectPoint(e.line.start, 1, 2, 0, "start");
         }},
        {"extended data waits in the record buffer", AD_VERSION_AC1009, 0x04 | 0x40, Bytes().u8(0x02).i16(3).u8(70).u8(42).u8(0),
         [](const AdEntityHeader&, const AdEntityData& e) {
             EXPECT_EQ(adGlobals->xdataLength, 3);
             EXPECT_EQ(adGlobals->buffer32kA[0], 70);
             EXPECT_EQ(adGlobals->buffer32kA[1], 42);
             expectPoint(e.line.end, 4, 5, 0, "end");
         },
         AD_ENTITY_READ_XDATA},
    };
    for (const CommonCase& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes body = lead(5, 0);
        body.raw(c.common.str()).p2(1, 2).p2(4, 5);
        open(c.version, record(1, c.flags, body));
        ASSERT_EQ(next(), 1);
        EXPECT_EQ(flag, c.flag);
        c.check(header, *data);
        HostClose(d->file);
        d->file = nullptr;
    }
}

}  // namespace
