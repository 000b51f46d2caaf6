// Class-numbered entities of AC1012+ files: LWPOLYLINE vertices with short
// bulge and width lists, HATCH paths into the path store, IMAGE clips, the
// text classes, OLE2FRAME data, proxies (re-read as their class, ADPART
// SAT restored) and counts the data cannot hold.
#include "dwg_class_fixture.h"
#include "toolkit/db/host_fault.h"
#include "toolkit/db/dwg/dwg_read.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <string>

namespace {

class DwgClassEntitiesTest : public DwgClassFixture {};

// Vertices beyond the bulges read get 0, beyond the widths read the
// constant width; AC1015 codes every vertex after the first against the one
// before it.
TEST_F(DwgClassEntitiesTest, LwpolylineVerticesTakeBulgesAndWidthsInOrder) {
    for (std::int16_t version : {AD_VERSION_AC1014, AD_VERSION_AC1015}) {
        SCOPED_TRACE(version);
        begin(version);
        adBitWriteShort(0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x200);
        adBitWriteDouble(0.5);   // constant width
        adBitWriteDouble(2.0);   // elevation
        adBitWriteDouble(3.0);   // thickness
        write3D(0, 0, -2);       // extrusion
        adBitWriteLong(3);
        adBitWriteLong(1);
        adBitWriteLong(2);
        const double vertices[3][2] = {{1, 2}, {3, 2}, {5, 6}};
        for (int i = 0; i < 3; ++i) {
            if (version == AD_VERSION_AC1014 || i == 0) {
                adBitWriteRaw2D(vertices[i]);
            } else {
                adBitWriteDefDouble(vertices[i][0], vertices[i - 1][0]);
                adBitWriteDefDouble(vertices[i][1], vertices[i - 1][1]);
            }
        }
        adBitWriteDouble(0.25);
        for (double w : {0.1, 0.2, 0.3, 0.4}) adBitWriteDouble(w);
        finish();
        ASSERT_EQ(readClass(kLwpolyline), 1);
        const AdLwpolylineData& p = data_.lwpolyline;
        EXPECT_EQ(p.vertexCount, 3);
        EXPECT_EQ(p.flags, 0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x200);
        EXPECT_EQ(p.constantWidth, 0.5);
        EXPECT_EQ(p.elevation, 2.0);
        EXPECT_EQ(header_.thickness, 3.0);
        EXPECT_EQ(header_.extrusion[2], -1.0);
        EXPECT_EQ(Doubles(p.vertices),
                  (std::vector<double>{1, 2, 0.25, 0.1, 0.2, 3, 2, 0, 0.3, 0.4, 5, 6, 0, 0.5, 0.5}));
        adEntityFreeStores(drawing_.get(), &header_, &data_);
    }
}

TEST_F(DwgClassEntitiesTest, LwpolylineWithoutBulgesOrWidthsKeepsPointsOnly) {
    begin(AD_VERSION_AC1015);
    adBitWriteShort(0x200);
    adBitWriteLong(2);
    write2D(1, 1);
    adBitWriteDefDouble(4, 1);
    adBitWriteDefDouble(1, 1);
    finish();
    ASSERT_EQ(readClass(kLwpolyline), 1);
    EXPECT_EQ(Doubles(data_.lwpolyline.vertices), (std::vector<double>{1, 1, 4, 1}));
}

TEST_F(DwgClassEntitiesTest, HatchPathsPatternAndSeedsGoToTheirStores) {
    begin(AD_VERSION_AC1015);
    adBitWriteDouble(1.5);
    write3D(0, 0, 1);
    adBitWriteText("ANSI31");
    adBitWriteBit(0);  // not solid
    adBitWriteBit(1);  // associative
    adBitWriteLong(2);
    // A polyline path with bulges, one source boundary.
    adBitWriteLong(0x2);
    adBitWriteBit(1);
    adBitWriteBit(1);
    adBitWriteLong(2);
    write2D(0, 0);
    adBitWriteDouble(0.5);
    write2D(4, 0);
    adBitWriteDouble(0.0);
    adBitWriteLong(1);
    // An edge path of every edge type, derived, two source boundaries.
    adBitWriteLong(0x4);
    adBitWriteLong(4);
    adBitWriteByte(1);
    write2D(0, 0);
    write2D(1, 0);
    adBitWriteByte(2);
    write2D(1, 1);
    for (double v : {1.0, 0.0, 3.0}) adBitWriteDouble(v);
    adBitWriteBit(1);
    adBitWriteByte(3);
    write2D(2, 2);
    write2D(3, 2);
    for (double v : {0.5, 0.0, 6.0}) adBitWriteDouble(v);
    adBitWriteBit(0);
    adBitWriteByte(4);
    adBitWriteLong(3);
    adBitWriteBit(1);  // rational
    adBitWriteBit(0);
    adBitWriteLong(2);
    adBitWriteLong(1);
    adBitWriteDouble(0.0);
    adBitWriteDouble(1.0);
    write2D(7, 8);
    adBitWriteDouble(0.75);
    adBitWriteLong(2);
    adBitWriteShort(1);  // style
    adBitWriteShort(1);  // pattern type
    adBitWriteDouble(0.785);
    adBitWriteDouble(2.0);
    adBitWriteBit(1);
    adBitWriteShort(1);
    for (double v : {0.785, 0.0, 0.0, -0.1, 0.1}) adBitWriteDouble(v);
    adBitWriteShort(2);
    adBitWriteDouble(0.3);
    adBitWriteDouble(-0.2);
    adBitWriteDouble(0.05);  // pixel size
    adBitWriteLong(1);
    write2D(9, 9);
    finish({0x201, 0x202, 0x203});
    ASSERT_EQ(readClass(kHatch), 1);
    const AdHatchData& h = data_.hatch;
    EXPECT_EQ(h.elevation[2], 1.5);
    EXPECT_STREQ(h.patternName, "ANSI31");
    EXPECT_EQ(h.solidFill, 0);
    EXPECT_EQ(h.associative, 1);
    EXPECT_EQ(h.pathCount, 2);
    Layout paths;
    paths.put<std::int32_t>(0x2).put<std::int16_t>(1).put<std::int16_t>(1).put<std::int32_t>(2);
    paths.doubles({0, 0, 0.5, 4, 0, 0}).put<std::int32_t>(1);
    paths.put<std::int32_t>(0x4).put<std::int32_t>(4);
    paths.put<std::int16_t>(1).doubles({0, 0, 1, 0});
    paths.put<std::int16_t>(2).doubles({1, 1, 1, 0, 3}).put<std::int16_t>(1);
    paths.put<std::int16_t>(3).doubles({2, 2, 3, 2, 0.5, 0, 6}).put<std::int16_t>(0);
    paths.put<std::int16_t>(4).put<std::int32_t>(3).put<std::int16_t>(1).put<std::int16_t>(0);
    paths.put<std::int32_t>(2).put<std::int32_t>(1).doubles({0, 1, 7, 8, 0.75});
    paths.put<std::int32_t>(2);
    EXPECT_EQ(ReadAll(h.paths), paths.bytes);
    EXPECT_EQ(h.style, 1);
    EXPECT_EQ(h.patternType, 1);
    EXPECT_EQ(h.patternAngle, 0.785);
    EXPECT_EQ(h.patternScale, 2.0);
    EXPECT_EQ(h.doubleFlag, 1);
    EXPECT_EQ(h.patternLineCount, 1);
    EXPECT_EQ(ReadAll(h.patternLines),
              Layout().doubles({0.785, 0, 0, -0.1, 0.1}).put<std::int16_t>(2).doubles({0.3, -0.2}).bytes);
    EXPECT_EQ(h.pixelSize, 0.05);
    EXPECT_EQ(h.seedCount, 1);
    EXPECT_EQ(Doubles(h.seeds), (std::vector<double>{9, 9}));
    const std::vector<std::uint8_t> sources = ReadAll(h.further);
    ASSERT_EQ(sources.size(), 24u);
    for (std::size_t i = 0; i < 3; ++i) {
        AdHandle handle{};
        std::memcpy(handle.b, sources.data() + 8 * i, 8);
        EXPECT_EQ(valueOf(handle), 0x201 + i);
    }
}

TEST_F(DwgClassEntitiesTest, ImageClipIsARectangleOrAClosedPolygon) {
    const struct {
        const char* name;
        std::uint16_t type;
        std::int16_t boundary;
        std::vector<double> vertices;
        std::int32_t count;
        std::vector<double> stored;
    } cases[] = {
        {"rectangle", kImage, 1, {-0.5, -0.5, 9.5, 4.5}, 2, {}},
        {"polygon", kImage, 2, {0, 0, 5, 0, 5, 5}, 4, {0, 0, 5, 0, 5, 5, 0, 0}},
        {"wipeout polygon", kWipeout, 2, {1, 1, 2, 2, 3, 1}, 4, {1, 1, 2, 2, 3, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        begin(AD_VERSION_AC1015);
        writeImageHead(c.boundary);
        if (c.boundary != 1) adBitWriteLong(static_cast<std::int32_t>(c.vertices.size() / 2));
        for (std::size_t i = 0; i < c.vertices.size(); i += 2) write2D(c.vertices[i], c.vertices[i + 1]);
        finish({0x300, 0x301});
        ASSERT_EQ(readClass(c.type, StoreWith(Pattern(20))), 1);
        const AdImageData& image = data_.image;
        EXPECT_EQ(image.insertion[1], 2.0);
        EXPECT_EQ(image.size[0], 640.0);
        EXPECT_EQ(image.displayProperties, 7);
        EXPECT_EQ(image.clipping, 1);
        EXPECT_EQ(image.brightness, 50);
        EXPECT_EQ(image.contrast, 60);
        EXPECT_EQ(image.fade, 10);
        EXPECT_EQ(image.clipVertexCount, c.count);
        if (c.boundary == 1) {
            EXPECT_EQ((std::vector<double>{image.clipCorners[0][0], image.clipCorners[0][1], image.clipCorners[1][0],
                                           image.clipCorners[1][1]}),
                      c.vertices);
            EXPECT_EQ(image.clipVertices, nullptr);
        } else {
            EXPECT_EQ(Doubles(image.clipVertices), c.stored);
        }
        const bool isImage = c.type == kImage;
        EXPECT_EQ(valueOf(image.imageDef), isImage ? 0x300u : 0u);
        EXPECT_EQ(valueOf(image.imageDefReactor), isImage ? 0x301u : 0u);
        // The object's graphics: an IMAGE's pixel data, a WIPEOUT's drawing.
        EXPECT_EQ(ReadAll(image.pixels), Pattern(20));
        adEntityFreeStores(drawing_.get(), &header_, &data_);
    }
}

TEST_F(DwgClassEntitiesTest, ArcAlignedTextFieldsInFileOrder) {
    begin(AD_VERSION_AC1015);
    for (const char* number : {"2.5", "0.8", "0.1"}) adBitWriteText(number);
    adBitWriteText("Arcs");
    adBitWriteText("romans.shx");
    adBitWriteText("");
    adBitWriteText("ALONG THE ARC");
    for (const char* number : {"0.25", "0.5", "0.75"}) adBitWriteText(number);
    write3D(10, 20, 0);
    adBitWriteDouble(5.0);
    adBitWriteDouble(0.5);
    adBitWriteDouble(2.5);
    write3D(0, 0, 3);
    adBitWriteLong(42);
    for (std::int16_t v = 77; v <= 87; ++v) adBitWriteShort(v);
    finish({0x400});
    ASSERT_EQ(readClass(kArcText, StoreWith(Pattern(9))), 1);
    const AdArcAlignedTextData& a = data_.arcAlignedText;
    EXPECT_EQ(a.textHeight, 2.5);
    EXPECT_EQ(a.widthFactor, 0.8);
    EXPECT_EQ(a.characterSpacing, 0.1);
    EXPECT_STREQ(adGlobals->dxfNames[AD_DXF_NAME_TEXT_STYLE], "Arcs");
    EXPECT_STREQ(a.fontFile, "romans.shx");
    EXPECT_STREQ(a.text, "ALONG THE ARC");
    EXPECT_EQ(a.offset, 0.25);
    EXPECT_EQ(a.rightOffset, 0.5);
    EXPECT_EQ(a.leftOffset, 0.75);
    EXPECT_EQ(a.centre[1], 20.0);
    EXPECT_EQ(a.radius, 5.0);
    EXPECT_EQ(a.endAngle, 2.5);
    EXPECT_EQ(header_.extrusion[2], 3.0);  // kept as read
    EXPECT_EQ(a.colour, 42);
    // File order: groups 77, 78, 79, 74, 75, 76, 72, 70, 280, 73, 71.
    const std::int16_t by70[10] = {84, 87, 83, 86, 80, 81, 82, 77, 78, 79};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(a.values70[i], by70[i]) << "group " << 70 + i;
    EXPECT_EQ(a.value280, 85);
    EXPECT_EQ(valueOf(a.arc), 0x400u);
    EXPECT_EQ(ReadAll(a.graphics), Pattern(9));
}

TEST_F(DwgClassEntitiesTest, RtextFields) {
    begin(AD_VERSION_AC1014);
    write3D(1, 2, 3);
    write3D(0, 0, 2);
    adBitWriteDouble(0.5);
    adBitWriteDouble(0.3);
    adBitWriteShort(1);
    adBitWriteText("$(getvar, dwgname)");
    finish({0x500});
    ASSERT_EQ(readClass(kRtext), 1);
    const AdRtextData& r = data_.rtext;
    EXPECT_EQ(r.insertion[2], 3.0);
    EXPECT_EQ(header_.extrusion[2], 2.0);
    EXPECT_EQ(r.rotation, 0.5);
    EXPECT_EQ(r.height, 0.3);
    EXPECT_EQ(r.flags, 1);
    EXPECT_STREQ(r.text, "$(getvar, dwgname)");
    EXPECT_EQ(valueOf(r.style), 0x500u);
}

// The data goes to the store whole, past the first 4096-byte piece; the
// corners are the doubles at offsets 2 and 50.
TEST_F(DwgClassEntitiesTest, Ole2FrameDataAndCorners) {
    for (std::int16_t version : {AD_VERSION_AC1014, AD_VERSION_AC1015}) {
        SCOPED_TRACE(version);
        std::vector<std::uint8_t> bytes = Pattern(5000);
        const double upperLeft[3] = {1, 9, 0};
        const double lowerRight[3] = {8, 2, 0};
        std::memcpy(bytes.data() + 2, upperLeft, sizeof upperLeft);
        std::memcpy(bytes.data() + 50, lowerRight, sizeof lowerRight);
        begin(version);
        adBitWriteShort(2);
        if (version == AD_VERSION_AC1015) adBitWriteShort(1);
        adBitWriteLong(static_cast<std::int32_t>(bytes.size()));
        adBitWriteBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        if (version == AD_VERSION_AC1015) adBitWriteByte(0);
        finish();
        ASSERT_EQ(readClass(kOle2Frame, StoreWith(Pattern(5))), 1);
        const AdOle2FrameData& f = data_.ole2Frame;
        EXPECT_EQ(f.version, 2);
        EXPECT_EQ(f.dataLength, 5000);
        EXPECT_EQ(f.spareByte, version == AD_VERSION_AC1015 ? 0 : 1);
        EXPECT_EQ(f.upperLeft[1], 9.0);
        EXPECT_EQ(f.lowerRight[0], 8.0);
        EXPECT_EQ(ReadAll(f.data), bytes);
        adEntityFreeStores(drawing_.get(), &header_, &data_);
    }
}

// With its proxy bit clear, an AC1015 proxy whose class is one of the
// entity classes is read as that class.
TEST_F(DwgClassEntitiesTest, ProxyOfAKnownClassIsReadAsTheClass) {
    begin(AD_VERSION_AC1015);
    adBitWriteLong(kLwpolyline);
    adBitWriteLong(0);
    adBitWriteBit(0);
    adBitWriteShort(0);
    adBitWriteLong(1);
    write2D(3, 4);
    finish();
    ASSERT_EQ(readClass(AD_ENTITY_PROXY, StoreWith(Pattern(12))), 1);
    EXPECT_EQ(header_.type, kLwpolyline);
    EXPECT_EQ(data_.lwpolyline.vertexCount, 1);
    EXPECT_EQ(Doubles(data_.lwpolyline.vertices), (std::vector<double>{3, 4}));
}

TEST_F(DwgClassEntitiesTest, ProxyKeepsItsBitsGraphicsAndReferences) {
    const struct {
        const char* name;
        std::int16_t version;
        bool proxyBit;
        std::uint16_t type;
        std::int16_t applicationClass;
        std::int16_t format;
    } cases[] = {
        {"AC1015 flagged", AD_VERSION_AC1015, true, kOtherClass, 521, 1},
        {"AC1015 class becomes the type", AD_VERSION_AC1015, false, kOtherClass + 1, 530, 0},
        {"AC1014", AD_VERSION_AC1014, false, kOtherClass, 521, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        begin(c.version);
        if (c.version == AD_VERSION_AC1015) {
            adBitWriteLong(c.applicationClass);
            adBitWriteLong(33);
            adBitWriteBit(c.proxyBit);
        } else {
            adBitWriteLong(7);
            adBitWriteLong(c.applicationClass);
        }
        for (std::uint8_t b : {0xDE, 0xAD, 0xBE}) adBitWriteByte(b);
        adBitWriteBit(1);
        finish({}, {0x600, 0x601});
        ASSERT_EQ(readClass(c.type, StoreWith(Pattern(7))), 1);
        const AdProxyData& p = data_.proxy;
        EXPECT_EQ(header_.type, c.version == AD_VERSION_AC1015 && !c.proxyBit ? 530 : c.type);
        EXPECT_EQ(p.classId, 498);
        EXPECT_EQ(p.applicationClass, c.applicationClass);
        EXPECT_EQ(p.originalFormat, c.format);
        EXPECT_EQ(p.drawingFormat, c.version == AD_VERSION_AC1015 ? 33 : 0);
        EXPECT_EQ(p.dataBits, 25);
        EXPECT_EQ(ReadAll(p.data), (std::vector<std::uint8_t>{0xDE, 0xAD, 0xBE, 0x80}));
        EXPECT_EQ(ReadAll(p.graphics), Pattern(7));
        ASSERT_EQ(p.objectIdCount, 2);
        const std::vector<std::uint8_t> refs = ReadAll(p.objectIds);
        ASSERT_EQ(refs.size(), 18u);
        AdHandle second{};
        std::memcpy(second.b, refs.data() + 9, 8);
        EXPECT_EQ(valueOf(second), 0x601u);
        EXPECT_EQ(refs[17], 4);  // written as code 3, a hard owner
        adEntityFreeStores(drawing_.get(), &header_, &data_);
    }
}

// ADPART data: 14 bits not interpreted, then a block size and its coded
// bytes.
TEST_F(DwgClassEntitiesTest, AdpartProxyHasItsSatTextRestored) {
    const std::string line = "point $-1\r\n";
    begin(AD_VERSION_AC1015);
    adBitWriteLong(kAdpart);
    adBitWriteLong(0);
    adBitWriteBit(1);
    for (int i = 0; i < 14; ++i) adBitWriteBit(0);
    adBitWriteRawLong(static_cast<std::int32_t>(line.size()));
    for (char ch : line) {
        const auto c = static_cast<std::uint8_t>(ch);
        adBitWriteByte(c >= 33 && c <= 126 ? static_cast<std::uint8_t>(159 - c) : c);
    }
    finish();
    ASSERT_EQ(readClass(kAdpart), 1);
    const std::vector<std::uint8_t> text = ReadAll(data_.proxy.spareStore);
    EXPECT_EQ(std::string(text.begin(), text.end()), line);
}

// Counts the object's data cannot hold fail the entity with error 201 before
// anything is allocated for them; nothing the entity had built is left.
TEST_F(DwgClassEntitiesTest, CountsBeyondTheDataFailTheEntity) {
    const auto hatchHead = [] {
        adBitWriteDouble(0.0);
        write3D(0, 0, 1);
        adBitWriteText("");
        adBitWriteBit(1);
        adBitWriteBit(0);
    };
    const WrittenEntity cases[] = {
        {"spline knots", AD_ENTITY_SPLINE,
         [] {
             adBitWriteShort(1);
             adBitWriteShort(3);
             for (int i = 0; i < 3; ++i) adBitWriteBit(0);
             adBitWriteDouble(0);
             adBitWriteDouble(0);
             adBitWriteLong(30000);
             adBitWriteLong(0);
         }},
        {"spline fit points beyond int16", AD_ENTITY_SPLINE,
         [] { writeFitSplineHead(0x10000); }},
        {"sat block", AD_ENTITY_3DSOLID,
         [] {
             adBitWriteShort(64);
             adBitWriteDouble(1);
             adBitWriteLong(0x7FFFFFFF);
         }},
        {"lwpolyline vertices", kLwpolyline,
         [] {
             adBitWriteShort(0);
             adBitWriteLong(50000000);
         }},
        {"lwpolyline bulges", kLwpolyline,
         [] {
             adBitWriteShort(0x10);
             adBitWriteLong(1);
             adBitWriteLong(0x7FFFFFFF);
             write2D(0, 0);
         }},
        {"hatch paths", kHatch, [&] { hatchHead(); adBitWriteLong(1000000); }},
        {"hatch edges", kHatch,
         [&] {
             hatchHead();
             adBitWriteLong(1);
             adBitWriteLong(0);
             adBitWriteLong(100000);
         }},
        {"hatch spline knots", kHatch,
         [&] {
             hatchHead();
             adBitWriteLong(1);
             adBitWriteLong(0);
             adBitWriteLong(1);
             adBitWriteByte(4);
             adBitWriteLong(3);
             adBitWriteBit(0);
             adBitWriteBit(0);
             adBitWriteLong(40000000);
             adBitWriteLong(0);
         }},
        {"hatch edge type", kHatch,
         [&] {
             hatchHead();
             adBitWriteLong(1);
             adBitWriteLong(0);
             adBitWriteLong(1);
             adBitWriteByte(9);
         }},
        {"hatch seeds", kHatch,
         [&] {
             hatchHead();
             adBitWriteLong(0);
             adBitWriteShort(0);
             adBitWriteShort(1);
             adBitWriteLong(0x7FFFFFF);
         }},
        {"image clip", kImage,
         [] {
             writeImageHead(2);
             adBitWriteLong(0x1000000);
         }},
        {"ole2frame data", kOle2Frame,
         [] {
             adBitWriteShort(2);
             adBitWriteShort(1);
             adBitWriteLong(0x1000000);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        begin(AD_VERSION_AC1015);
        c.write();
        finish();
        adGlobals->errorCode = 0;
        EXPECT_EQ(readType(c.type), 0);
        EXPECT_EQ(adGlobals->errorCode, AD_ERR_DWG_OBJECT_CRC);
        AdStore* stores[AD_ENTITY_STORE_MAX] = {};
        EXPECT_EQ(adEntityOwnedStores(drawing_.get(), &header_, &data_, stores), 0);
    }
}

std::int32_t fatalCondition = 0;
int recordFatal(std::int32_t condition) {
    fatalCondition = condition;
    return 0;
}

// Each allocation that opens the read's first store failing in turn (the
// store, its stream, the stream's buffer, its block list): the entity fails
// with a memory error and the fatal-error hook called with 2, and keeps no
// store.
TEST_F(DwgClassEntitiesTest, EachFailedAllocationFailsTheEntityCleanly) {
    const WrittenEntity cases[] = {
        {"spline", AD_ENTITY_SPLINE,
         [] {
             writeFitSplineHead(3);
             for (double x : {0.0, 1.0, 0.0}) write3D(x, x * x, 1);
         }},
        {"sat", AD_ENTITY_3DSOLID,
         [] {
             adBitWriteShort(64);
             adBitWriteDouble(1);
             adBitWriteLong(3);
             adBitWriteBytes("\xcb\xcf\x0a", 3);
             adBitWriteLong(0);
             adBitWriteByte(7);
         }},
        {"lwpolyline", kLwpolyline,
         [] {
             adBitWriteShort(0x30);
             adBitWriteLong(2);
             adBitWriteLong(1);
             adBitWriteLong(1);
             write2D(0, 0);
             adBitWriteDefDouble(1, 0);
             adBitWriteDefDouble(1, 0);
             adBitWriteDouble(0.5);
             adBitWriteDouble(0.1);
             adBitWriteDouble(0.2);
         }},
        {"hatch", kHatch,
         [] {
             adBitWriteDouble(0.0);
             write3D(0, 0, 1);
             adBitWriteText("SOLID");
             adBitWriteBit(0);
             adBitWriteBit(0);
             adBitWriteLong(1);
             adBitWriteLong(0);
             adBitWriteLong(1);
             adBitWriteByte(1);
             write2D(0, 0);
             write2D(1, 1);
             adBitWriteLong(0);
             adBitWriteShort(0);
             adBitWriteShort(1);
             adBitWriteDouble(0);
             adBitWriteDouble(1);
             adBitWriteBit(0);
             adBitWriteShort(1);
             for (int i = 0; i < 5; ++i) adBitWriteDouble(0.5);
             adBitWriteShort(1);
             adBitWriteDouble(0.25);
             adBitWriteLong(1);
             write2D(0.5, 0.5);
         }},
        {"image", kImage,
         [] {
             writeImageHead(2);
             adBitWriteLong(2);
             write2D(0, 0);
             write2D(1, 0);
         }},
        {"ole2frame", kOle2Frame,
         [] {
             adBitWriteShort(2);
             adBitWriteShort(1);
             adBitWriteLong(4);
             adBitWriteBytes("OLE!", 4);
             adBitWriteByte(1);
         }},
        {"adpart", kAdpart,
         [] {
             adBitWriteLong(kAdpart);
             adBitWriteLong(0);
             adBitWriteBit(1);
             for (int i = 0; i < 14; ++i) adBitWriteBit(0);
             adBitWriteRawLong(3);
             adBitWriteBytes("\xcb\xcf\x0a", 3);
         }},
    };
    adGlobals->hooks.fatalError = recordFatal;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::int32_t n = 0; n < 4; ++n) {
            SCOPED_TRACE(n);
            begin(AD_VERSION_AC1015);
            c.write();
            finish();
            adGlobals->errorCode = 0;
            fatalCondition = 0;
            HostFailAllocationAfter(n);
            const int read = readType(c.type);
            HostFailAllocationAfter(-1);
            EXPECT_EQ(read, 0);
            const std::int32_t error = adGlobals->errorCode;
            EXPECT_TRUE(error == AD_ERR_STREAM_MEMORY || error == AD_ERR_LIST_MEMORY ||
                        error == AD_ERR_RECORD_MEMORY_APPEND)
                << error;
            EXPECT_EQ(fatalCondition, AD_FATAL_NO_MEMORY);
            AdStore* stores[AD_ENTITY_STORE_MAX] = {};
            EXPECT_EQ(adEntityOwnedStores(drawing_.get(), &header_, &data_, stores), 0);
        }
        begin(AD_VERSION_AC1015);
        c.write();
        finish();
        EXPECT_EQ(readType(c.type), 1);
        adEntityFreeStores(drawing_.get(), &header_, &data_);
    }
}

}  // namespace
