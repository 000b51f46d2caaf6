// Packing and unpacking entities: every type round-trips, default header
// fields are left out, handles shrink to their significant bytes, VERTEX
// short forms, texts cut to their fields, and damaged records refused.
#include "entity_fixture.h"

#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <tuple>

namespace {

struct TextSpan {
    std::size_t offset;
    std::size_t size;
};

struct TypeCase {
    const char* name;
    std::uint16_t type;
    std::size_t stored;  // the fixed part, which must come back byte for byte
    std::vector<TextSpan> texts;
    bool appended;  // the texts follow the fixed part
};

constexpr std::uint64_t kBlock = 0x40;

std::vector<TypeCase> typeCases() {
    constexpr std::uint16_t kOle2Frame = 500, kHatch = 501, kLwpolyline = 502, kImage = 503, kRtext = 504,
                            kArcText = 505, kWipeout = 506;
    return {
        {"LINE", AD_ENTITY_LINE, sizeof(AdLineData), {}, false},
        {"POINT", AD_ENTITY_POINT, sizeof(AdPointData), {}, false},
        {"CIRCLE", AD_ENTITY_CIRCLE, sizeof(AdCircleData), {}, false},
        {"SHAPE", AD_ENTITY_SHAPE, sizeof(AdShapeData), {}, false},
        {"ELLIPSE", AD_ENTITY_ELLIPSE, sizeof(AdEllipseData), {}, false},
        {"SPLINE", AD_ENTITY_SPLINE, sizeof(AdSplineData), {}, false},
        {"TEXT", AD_ENTITY_TEXT, 88, {{offsetof(AdTextData, text), AD_ENTITY_TEXT_SIZE}}, true},
        {"ARC", AD_ENTITY_ARC, sizeof(AdArcData), {}, false},
        {"TRACE", AD_ENTITY_TRACE, sizeof(AdTraceData), {}, false},
        {"REGION", AD_ENTITY_REGION, sizeof(AdSatData), {}, false},
        {"SOLID", AD_ENTITY_SOLID, sizeof(AdTraceData), {}, false},
        {"BLOCK",
         AD_ENTITY_BLOCK,
         1048,
         {{offsetof(AdBlockData, name), AD_ENTITY_NAME_SIZE}, {offsetof(AdBlockData, xrefPath), AD_ENTITY_NAME_SIZE}},
         false},
        {"ENDBLK", AD_ENTITY_ENDBLK, 0, {}, false},
        {"INSERT", AD_ENTITY_INSERT, sizeof(AdInsertData), {}, false},
        {"ATTDEF",
         AD_ENTITY_ATTDEF,
         96,
         {{offsetof(AdAttdefData, prompt), AD_ATTRIBUTE_TEXT_SIZE},
          {offsetof(AdAttdefData, tag), AD_ATTRIBUTE_TEXT_SIZE},
          {offsetof(AdAttdefData, defaultValue), AD_ATTRIBUTE_TEXT_SIZE}},
         true},
        {"ATTRIB",
         AD_ENTITY_ATTRIB,
         96,
         {{offsetof(AdAttribData, tag), AD_ATTRIBUTE_TEXT_SIZE}, {offsetof(AdAttribData, value), AD_ATTRIBUTE_VALUE_SIZE}},
         true},
        {"SEQEND", AD_ENTITY_SEQEND, 0, {}, false},
        {"POLYLINE", AD_ENTITY_POLYLINE, sizeof(AdPolylineData), {}, false},
        {"VERTEX", AD_ENTITY_VERTEX, sizeof(AdVertexData), {}, false},
        {"3DLINE", AD_ENTITY_3DLINE, sizeof(AdLineData), {}, false},
        {"3DFACE", AD_ENTITY_3DFACE, sizeof(AdFaceData), {}, false},
        {"DIMENSION", AD_ENTITY_DIMENSION, 272, {{offsetof(AdDimensionData, text), AD_DIMENSION_TEXT_SIZE}}, true},
        {"VIEWPORT", AD_ENTITY_VIEWPORT, 888, {{offsetof(AdViewportData, styleSheet), AD_ENTITY_NAME_SIZE}}, false},
        {"3DSOLID", AD_ENTITY_3DSOLID, sizeof(AdSatData), {}, false},
        {"RAY", AD_ENTITY_RAY, sizeof(AdRayData), {}, false},
        {"XLINE", AD_ENTITY_XLINE, sizeof(AdRayData), {}, false},
        {"MTEXT",
         AD_ENTITY_MTEXT,
         offsetof(AdMtextData, text),
         {{offsetof(AdMtextData, text), AD_MTEXT_INLINE_SIZE}},
         true},
        {"LEADER", AD_ENTITY_LEADER, sizeof(AdLeaderData), {}, false},
        {"TOLERANCE",
         AD_ENTITY_TOLERANCE,
         offsetof(AdToleranceData, text),
         {{offsetof(AdToleranceData, text), AD_TOLERANCE_TEXT_SIZE}},
         true},
        {"MLINE", AD_ENTITY_MLINE, sizeof(AdMlineData), {}, false},
        {"BODY", AD_ENTITY_BODY, sizeof(AdSatData), {}, false},
        {"OLE2FRAME", kOle2Frame, sizeof(AdOle2FrameData), {}, false},
        {"LWPOLYLINE", kLwpolyline, sizeof(AdLwpolylineData), {}, false},
        {"HATCH", kHatch, sizeof(AdHatchData), {{offsetof(AdHatchData, patternName), AD_ENTITY_NAME_SIZE}}, false},
        {"IMAGE", kImage, sizeof(AdImageData), {}, false},
        {"WIPEOUT", kWipeout, sizeof(AdImageData), {}, false},
        {"RTEXT", kRtext, sizeof(AdRtextData), {{offsetof(AdRtextData, text), AD_RTEXT_TEXT_SIZE}}, false},
        {"ARCALIGNEDTEXT",
         kArcText,
         sizeof(AdArcAlignedTextData),
         {{offsetof(AdArcAlignedTextData, text), AD_ARC_TEXT_SIZE},
          {offsetof(AdArcAlignedTextData, fontFile), AD_ENTITY_NAME_SIZE},
          {offsetof(AdArcAlignedTextData, bigFontFile), AD_ENTITY_NAME_SIZE}},
         false},
        {"PROXY498", AD_ENTITY_PROXY, sizeof(AdProxyData), {}, false},
        {"PROXY600", 600, sizeof(AdProxyData), {}, false},
        {"NO_DATA_18", 18, 0, {}, false},
        {"NO_DATA_300", 300, 0, {}, false},
    };
}

std::uint8_t* bytesOf(AdEntityData& data) { return reinterpret_cast<std::uint8_t*>(&data); }

// Non-default contents: every byte of the fixed part set, and a short text
// in every text field.
void fillPattern(const TypeCase& c, AdEntityData& data) {
    std::uint8_t* bytes = bytesOf(data);
    for (std::size_t i = 0; i < c.stored; ++i) bytes[i] = static_cast<std::uint8_t>((i * 37 + c.type) | 1);
    for (std::size_t t = 0; t < c.texts.size(); ++t) {
        std::memset(bytes + c.texts[t].offset, 0, c.texts[t].size);
        const std::string text = "text " + std::to_string(t) + " of " + c.name;
        std::memcpy(bytes + c.texts[t].offset, text.data(), text.size());
    }
}

struct StoreDummies {
    AdStore xdata{};
    AdStore reactors{};
};

// Every optional field away from its default.
void setOptionalFields(AdEntityHeader& h, StoreDummies& stores) {
    h.thickness = 2.5;
    h.color = 3;
    h.extrusion[0] = 0.6;
    h.extrusion[1] = 0.0;
    h.extrusion[2] = 0.8;
    h.flags = AD_ENTITY_FLAG_PAPER_SPACE | AD_ENTITY_FLAG_EXTRUDED | AD_ENTITY_FLAG_INVISIBLE |
              AD_ENTITY_FLAG_PLOT_STYLE_BYLAYER;
    h.xdata = &stores.xdata;
    h.linetypeScale = 0.5;
    h.spareWord = 0xDEADBEEF;
    h.reactorCount = 2;
    h.reactors = &stores.reactors;
    h.extensionDictionary = H(0xABCDEF);
    h.plotStyle = H(0x0102030405060708);
    h.lineweight = 25;
    h.layer = H(0x1F);
    h.linetype = H(0x2E3F);
}

void expectSameHeader(const AdEntityHeader& expected, const AdEntityHeader& actual) {
    EXPECT_EQ(actual.type, expected.type);
    EXPECT_EQ(V(actual.handle), V(expected.handle));
    EXPECT_EQ(V(actual.layer), V(expected.layer));
    EXPECT_EQ(V(actual.linetype), V(expected.linetype));
    EXPECT_EQ(V(actual.extensionDictionary), V(expected.extensionDictionary));
    EXPECT_EQ(actual.thickness, expected.thickness);
    EXPECT_EQ(actual.color, expected.color);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(actual.extrusion[i], expected.extrusion[i]);
    EXPECT_EQ(actual.linetypeScale, expected.linetypeScale);
    EXPECT_EQ(actual.flags, expected.flags);
    EXPECT_EQ(actual.lineweight, expected.lineweight);
    EXPECT_EQ(actual.spareWord, expected.spareWord);
    EXPECT_EQ(actual.xdata, expected.xdata);
    EXPECT_EQ(actual.reactorCount, expected.reactorCount);
    EXPECT_EQ(actual.reactors, expected.reactors);
    EXPECT_EQ(V(actual.reservedHandle), 0u);
    EXPECT_EQ(V(actual.plotStyle), V(expected.plotStyle));
}

class EntityRoundTrip : public EntityTest, public testing::WithParamInterface<std::tuple<TypeCase, bool>> {};

TEST_P(EntityRoundTrip, ComesBackAsPacked) {
    const auto& [c, nonDefault] = GetParam();
    store(d->blocks, block("B", kBlock), sizeof(AdStoredBlock));
    AdEntityData in;
    std::memset(&in, 0, sizeof in);
    AdEntityHeader h = defaultHeader(c.type, &in);
    StoreDummies stores;
    if (nonDefault) {
        setOptionalFields(h, stores);
        fillPattern(c, in);
    }
    if (c.type == AD_ENTITY_INSERT) in.insert.block = H(kBlock);
    h.handle = H(0x1234);

    AdListRecord* record = pack(h, in);
    ASSERT_NE(record, nullptr);
    const AdPackedEntity fixed = fixedPart(record);
    EXPECT_EQ(fixed.mask, nonDefault ? 0xFF : 0x00);
    EXPECT_EQ(fixed.mask2, nonDefault ? 0x01 : 0x00);
    std::size_t expectedSize = c.type == AD_ENTITY_VERTEX && !nonDefault ? 2 * sizeof(double) : c.stored;
    if (c.appended)
        for (const TextSpan& t : c.texts) expectedSize += std::strlen(reinterpret_cast<char*>(bytesOf(in) + t.offset)) + 1;
    EXPECT_EQ(dataSize(record), expectedSize);

    AdEntityHeader outHeader;
    AdEntityData out;
    std::memset(&out, 0, sizeof out);
    ASSERT_EQ(adUnpackEntityRecord(record, &outHeader, &out, nullptr, nullptr), 1);
    expectSameHeader(h, outHeader);
    EXPECT_EQ(std::memcmp(bytesOf(in), bytesOf(out), c.stored), 0);
    for (const TextSpan& t : c.texts)
        EXPECT_STREQ(reinterpret_cast<char*>(bytesOf(out) + t.offset), reinterpret_cast<char*>(bytesOf(in) + t.offset));
}

INSTANTIATE_TEST_SUITE_P(EveryType, EntityRoundTrip, testing::Combine(testing::ValuesIn(typeCases()), testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_set" : "_default");
                         });

class EntityPack : public EntityTest {
protected:
    AdEntityData line() {
        AdEntityData data;
        std::memset(&data, 0, sizeof data);
        data.line.end[0] = 1.0;
        return data;
    }
};

// Lineweight, the handle lengths byte, the handle bytes and the data size.
constexpr std::size_t kTail = 2 + 1 + 2;

TEST_F(EntityPack, DefaultLineCostsFixedPartTailHandlesAndData) {
    AdListRecord* record = pack(defaultHeader(AD_ENTITY_LINE), line());
    ASSERT_NE(record, nullptr);
    // 80 bytes plus the handle bytes where references take 4 bytes; the links
    // part follows the pointer size.
    EXPECT_EQ(sizeof(AdPackedEntity), AD_LIST_LINKS_SIZE + 15);
    EXPECT_EQ(optionalLength(record), kTail + 2);
    EXPECT_EQ(image(record).size(), AD_LIST_LINKS_SIZE + 68 + 2);
}

struct OptionalCase {
    const char* name;
    void (*set)(AdEntityHeader&, AdStore*);
    std::uint8_t mask;
    std::uint8_t mask2;
    std::size_t bytes;
};

class EntityOptionalField : public EntityPack, public testing::WithParamInterface<OptionalCase> {};

TEST_P(EntityOptionalField, IsStoredOnlyWhenNotDefault) {
    const OptionalCase& c = GetParam();
    AdStore dummy{};
    AdEntityHeader h = defaultHeader(AD_ENTITY_LINE);
    c.set(h, &dummy);
    AdListRecord* record = pack(h, line());
    ASSERT_NE(record, nullptr);
    const AdPackedEntity fixed = fixedPart(record);
    EXPECT_EQ(fixed.mask, c.mask);
    EXPECT_EQ(fixed.mask2, c.mask2);
    EXPECT_EQ(optionalLength(record), c.bytes + kTail + 2);
    AdEntityHeader out;
    AdEntityData data;
    ASSERT_EQ(adUnpackEntityRecord(record, &out, &data, nullptr, nullptr), 1);
    expectSameHeader(h, out);
}

INSTANTIATE_TEST_SUITE_P(
    EachField, EntityOptionalField,
    testing::Values(OptionalCase{"none", [](AdEntityHeader&, AdStore*) {}, 0, 0, 0},
                    OptionalCase{"thickness", [](AdEntityHeader& h, AdStore*) { h.thickness = -1.0; },
                                 AD_PACKED_THICKNESS, 0, 8},
                    OptionalCase{"color", [](AdEntityHeader& h, AdStore*) { h.color = 0; }, AD_PACKED_COLOR, 0, 2},
                    OptionalCase{"xdata", [](AdEntityHeader& h, AdStore* s) { h.xdata = s; }, AD_PACKED_XDATA, 0,
                                 sizeof(AdStore*)},
                    OptionalCase{"linetypeScale", [](AdEntityHeader& h, AdStore*) { h.linetypeScale = 2.0; },
                                 AD_PACKED_LINETYPE_SCALE, 0, 8},
                    OptionalCase{"spareWord", [](AdEntityHeader& h, AdStore*) { h.spareWord = 7; },
                                 AD_PACKED_SPARE_WORD, 0, 4},
                    OptionalCase{"reactors",
                                 [](AdEntityHeader& h, AdStore* s) {
                                     h.reactorCount = 3;
                                     h.reactors = s;
                                 },
                                 AD_PACKED_REACTORS, 0, 4 + sizeof(AdStore*)},
                    OptionalCase{"extensionDictionary",
                                 [](AdEntityHeader& h, AdStore*) { h.extensionDictionary = H(0x1A2B); },
                                 AD_PACKED_XDICTIONARY, 0, 1 + 2},
                    OptionalCase{"plotStyle", [](AdEntityHeader& h, AdStore*) { h.plotStyle = H(0x5); }, 0,
                                 AD_PACKED2_PLOT_STYLE, 1 + 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct ExtrusionCase {
    const char* name;
    double extrusion[3];
    bool flagged;
    bool stored;
};

class EntityExtrusion : public EntityPack, public testing::WithParamInterface<ExtrusionCase> {};

// A different extrusion without its flag is stored too (and comes back
// flagged): leaving it out would lose it without a word.
TEST_P(EntityExtrusion, IsStoredWhenFlaggedOrNotUp) {
    const ExtrusionCase& c = GetParam();
    AdEntityHeader h = defaultHeader(AD_ENTITY_LINE);
    std::memcpy(h.extrusion, c.extrusion, sizeof h.extrusion);
    if (c.flagged) h.flags |= AD_ENTITY_FLAG_EXTRUDED;
    AdListRecord* record = pack(h, line());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ((fixedPart(record).mask & AD_PACKED_EXTRUSION) != 0, c.stored);
    AdEntityHeader out;
    AdEntityData data;
    ASSERT_EQ(adUnpackEntityRecord(record, &out, &data, nullptr, nullptr), 1);
    EXPECT_EQ((out.flags & AD_ENTITY_FLAG_EXTRUDED) != 0, c.stored);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(out.extrusion[i], c.extrusion[i]);
}

INSTANTIATE_TEST_SUITE_P(FlagAndVector, EntityExtrusion,
                         testing::Values(ExtrusionCase{"upFlagged", {0, 0, 1}, true, true},
                                         ExtrusionCase{"upPlain", {0, 0, 1}, false, false},
                                         ExtrusionCase{"tiltedFlagged", {0, 1, 0}, true, true},
                                         ExtrusionCase{"tiltedPlain", {0, 1, 0}, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct HandleCase {
    std::uint64_t layer;
    std::uint64_t linetype;
    std::uint8_t lengths;
    std::vector<std::uint8_t> bytes;  // layer bytes, then linetype bytes
};

class EntityHandleLength : public EntityPack, public testing::WithParamInterface<HandleCase> {};

TEST_P(EntityHandleLength, KeepsOnlySignificantBytes) {
    const HandleCase& c = GetParam();
    AdEntityHeader h = defaultHeader(AD_ENTITY_LINE);
    h.layer = H(c.layer);
    h.linetype = H(c.linetype);
    AdListRecord* record = pack(h, line());
    ASSERT_NE(record, nullptr);
    const std::uint8_t* tail = optionalPart(record) + 2;  // after the lineweight
    EXPECT_EQ(tail[0], c.lengths);
    EXPECT_EQ(std::vector<std::uint8_t>(tail + 1, tail + 1 + c.bytes.size()), c.bytes);
    EXPECT_EQ(optionalLength(record), kTail + c.bytes.size());
    AdEntityHeader out;
    AdEntityData data;
    ASSERT_EQ(adUnpackEntityRecord(record, &out, &data, nullptr, nullptr), 1);
    EXPECT_EQ(V(out.layer), c.layer);
    EXPECT_EQ(V(out.linetype), c.linetype);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, EntityHandleLength,
    testing::Values(HandleCase{0, 0, 0x00, {}}, HandleCase{0x1F, 0, 0x10, {0x1F}},
                    HandleCase{0x0102, 0x7, 0x21, {0x01, 0x02, 0x07}},
                    HandleCase{0x8000000000000000, 0xFFFFFFFFFFFFFFFF, 0x88,
                               {0x80, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}));

struct VertexCase {
    const char* name;
    void (*set)(AdVertexData&);
    std::size_t size;
};

class EntityVertex : public EntityPack, public testing::WithParamInterface<VertexCase> {};

TEST_P(EntityVertex, ShortFormKeepsWhatIsNotZero) {
    const VertexCase& c = GetParam();
    AdEntityData in;
    std::memset(&in, 0, sizeof in);
    in.vertex.point[0] = 3.0;
    in.vertex.point[1] = 4.0;
    c.set(in.vertex);
    AdListRecord* record = pack(defaultHeader(AD_ENTITY_VERTEX), in);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(dataSize(record), c.size);

    AdEntityHeader h;
    AdEntityData out;
    std::memset(&out, 0xCD, sizeof out);
    ASSERT_EQ(adUnpackEntityRecord(record, &h, &out, nullptr, nullptr), 1);
    const AdVertexData& a = in.vertex;
    const AdVertexData& b = out.vertex;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(b.point[i], a.point[i]);
    EXPECT_EQ(b.flags, a.flags);
    EXPECT_EQ(b.startWidth, a.startWidth);
    EXPECT_EQ(b.endWidth, a.endWidth);
    EXPECT_EQ(b.startWidthGiven, a.startWidthGiven);
    EXPECT_EQ(b.endWidthGiven, a.endWidthGiven);
    EXPECT_EQ(b.bulge, a.bulge);
    EXPECT_EQ(b.tangentDirection, a.tangentDirection);
    EXPECT_EQ(b.faceIndexCount, a.faceIndexCount);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(b.faceIndices[i], a.faceIndices[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, EntityVertex,
    testing::Values(VertexCase{"xyOnly", [](AdVertexData&) {}, 16},
                    VertexCase{"withZ", [](AdVertexData& v) { v.point[2] = 1.5; }, 32},
                    VertexCase{"polylineVertex", [](AdVertexData& v) { v.flags = 32; }, 32},
                    VertexCase{"meshVertex", [](AdVertexData& v) { v.flags = 64; }, 88},
                    VertexCase{"faceRecord",
                               [](AdVertexData& v) {
                                   v.flags = 128;
                                   v.faceIndexCount = 3;
                                   v.faceIndices[0] = 1;
                                   v.faceIndices[1] = -2;
                                   v.faceIndices[2] = 3;
                               },
                               88},
                    VertexCase{"faceIndicesWithoutFlag",
                               [](AdVertexData& v) {
                                   v.faceIndexCount = 1;
                                   v.faceIndices[0] = 7;
                               },
                               88},
                    VertexCase{"bulge", [](AdVertexData& v) { v.bulge = 0.25; }, 88},
                    VertexCase{"tangent", [](AdVertexData& v) { v.tangentDirection = 1.0; }, 88},
                    VertexCase{"startWidth",
                               [](AdVertexData& v) {
                                   v.startWidth = 2.0;
                                   v.startWidthGiven = 1;
                               },
                               88},
                    VertexCase{"endWidth",
                               [](AdVertexData& v) {
                                   v.endWidth = 2.0;
                                   v.endWidthGiven = 1;
                               },
                               88}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntityPack, EmptyAttdefTextsStoreThreeTerminators) {
    AdEntityData in;
    AdEntityHeader h = defaultHeader(AD_ENTITY_ATTDEF, &in);
    AdListRecord* record = pack(h, in);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(dataSize(record), 96u + 3u);
    const std::vector<std::uint8_t> bytes = image(record);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 3, bytes.end()), std::vector<std::uint8_t>(3, 0));
}

struct LongTextCase {
    const char* name;
    std::uint16_t type;
    std::size_t offset;
    std::size_t size;
    std::size_t nextOffset;  // a text after it that must stay whole; 0 none
};

class EntityLongText : public EntityPack, public testing::WithParamInterface<LongTextCase> {};

TEST_P(EntityLongText, IsCutAtItsField) {
    const LongTextCase& c = GetParam();
    AdEntityData in;
    AdEntityHeader h = defaultHeader(c.type, &in);
    std::memset(bytesOf(in) + c.offset, 'x', c.size);
    if (c.nextOffset) std::strcpy(reinterpret_cast<char*>(bytesOf(in) + c.nextOffset), "next");
    AdListRecord* record = pack(h, in);
    ASSERT_NE(record, nullptr);
    AdEntityData out;
    std::memset(&out, 0xCD, sizeof out);
    ASSERT_EQ(adUnpackEntityRecord(record, &h, &out, nullptr, nullptr), 1);
    const char* text = reinterpret_cast<const char*>(bytesOf(out) + c.offset);
    EXPECT_EQ(std::string(text), std::string(c.size - 1, 'x'));
    if (c.nextOffset) {
        EXPECT_STREQ(reinterpret_cast<const char*>(bytesOf(out) + c.nextOffset), "next");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, EntityLongText,
    testing::Values(
        LongTextCase{"text", AD_ENTITY_TEXT, offsetof(AdTextData, text), AD_ENTITY_TEXT_SIZE, 0},
        LongTextCase{"attdefPrompt", AD_ENTITY_ATTDEF, offsetof(AdAttdefData, prompt), AD_ATTRIBUTE_TEXT_SIZE,
                     offsetof(AdAttdefData, tag)},
        LongTextCase{"attdefTag", AD_ENTITY_ATTDEF, offsetof(AdAttdefData, tag), AD_ATTRIBUTE_TEXT_SIZE,
                     offsetof(AdAttdefData, defaultValue)},
        LongTextCase{"attdefDefault", AD_ENTITY_ATTDEF, offsetof(AdAttdefData, defaultValue), AD_ATTRIBUTE_TEXT_SIZE, 0},
        LongTextCase{"attribTag", AD_ENTITY_ATTRIB, offsetof(AdAttribData, tag), AD_ATTRIBUTE_TEXT_SIZE,
                     offsetof(AdAttribData, value)},
        LongTextCase{"attribValue", AD_ENTITY_ATTRIB, offsetof(AdAttribData, value), AD_ATTRIBUTE_VALUE_SIZE, 0},
        LongTextCase{"dimension", AD_ENTITY_DIMENSION, offsetof(AdDimensionData, text), AD_DIMENSION_TEXT_SIZE, 0},
        LongTextCase{"mtext", AD_ENTITY_MTEXT, offsetof(AdMtextData, text), AD_MTEXT_INLINE_SIZE, 0},
        LongTextCase{"tolerance", AD_ENTITY_TOLERANCE, offsetof(AdToleranceData, text), AD_TOLERANCE_TEXT_SIZE, 0},
        LongTextCase{"blockName", AD_ENTITY_BLOCK, offsetof(AdBlockData, name), AD_ENTITY_NAME_SIZE,
                     offsetof(AdBlockData, xrefPath)},
        LongTextCase{"styleSheet", AD_ENTITY_VIEWPORT, offsetof(AdViewportData, styleSheet), AD_ENTITY_NAME_SIZE, 0},
        LongTextCase{"hatchPattern", 501, offsetof(AdHatchData, patternName), AD_ENTITY_NAME_SIZE, 0},
        LongTextCase{"rtext", 504, offsetof(AdRtextData, text), AD_RTEXT_TEXT_SIZE, 0},
        LongTextCase{"arcText", 505, offsetof(AdArcAlignedTextData, text), AD_ARC_TEXT_SIZE,
                     offsetof(AdArcAlignedTextData, fontFile)},
        LongTextCase{"arcBigFont", 505, offsetof(AdArcAlignedTextData, bigFontFile), AD_ENTITY_NAME_SIZE, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntityPack, ViewportMarkIsClearedOnUnpack) {
    AdEntityData in;
    std::memset(&in, 0, sizeof in);
    AdEntityHeader h = defaultHeader(AD_ENTITY_VIEWPORT, &in);
    in.viewport.unpackMark = 1;
    AdListRecord* record = pack(h, in);
    ASSERT_NE(record, nullptr);
    AdEntityData out;
    std::memset(&out, 0xCD, sizeof out);
    ASSERT_EQ(adUnpackEntityRecord(record, &h, &out, nullptr, nullptr), 1);
    EXPECT_EQ(out.viewport.unpackMark, 0);
}

TEST_F(EntityPack, UnpackTellsWhereTheDataLiesAndWhatFollows) {
    AdEntityData data = line();
    AdListRecord* first = pack(defaultHeader(AD_ENTITY_LINE), data);
    AdListRecord* second = pack(defaultHeader(AD_ENTITY_SEQEND), data);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    AdEntityHeader h;
    AdEntityData out;
    std::uint8_t* position = nullptr;
    AdListRecord* next = nullptr;
    ASSERT_EQ(adUnpackEntityRecord(first, &h, &out, &position, &next), 1);
    EXPECT_EQ(next, second);
    EXPECT_EQ(position, reinterpret_cast<std::uint8_t*>(first) + sizeof(AdPackedEntity) + optionalLength(first));
    EXPECT_EQ(std::memcmp(position, &data, sizeof(AdLineData)), 0);
    ASSERT_EQ(adUnpackEntityRecord(second, &h, &out, &position, &next), 1);
    EXPECT_EQ(next, nullptr);
}

TEST_F(EntityPack, RefusesMissingArguments) {
    AdEntityHeader h = defaultHeader(AD_ENTITY_LINE);
    AdEntityData data = line();
    EXPECT_EQ(adPackEntityRecord(nullptr, entities, &h, &data, AD_LIST_AT_END, nullptr), nullptr);
    EXPECT_EQ(adPackEntityRecord(d, nullptr, &h, &data, AD_LIST_AT_END, nullptr), nullptr);
    EXPECT_EQ(adPackEntityRecord(d, entities, nullptr, &data, AD_LIST_AT_END, nullptr), nullptr);
    EXPECT_EQ(adPackEntityRecord(d, entities, &h, nullptr, AD_LIST_AT_END, nullptr), nullptr);
    EXPECT_EQ(adListCount(entities), 0);
    h.type = AD_ENTITY_SEQEND;
    EXPECT_NE(adPackEntityRecord(d, entities, &h, nullptr, AD_LIST_AT_END, nullptr), nullptr);
    AdEntityHeader out;
    EXPECT_EQ(adUnpackEntityRecord(nullptr, &out, &data, nullptr, nullptr), 0);
}

// A damaged record: its stated lengths changed, the bytes cut or padded to
// what it then states, so that any read past them is an overread.
struct DamageCase {
    const char* name;
    std::uint16_t type;
    int optionalDelta;
    int dataDelta;
    int lengths;  // the handle lengths byte; -1 keeps it
};

class EntityDamaged : public EntityPack, public testing::WithParamInterface<DamageCase> {};

TEST_P(EntityDamaged, IsRefused) {
    const DamageCase& c = GetParam();
    AdEntityData in;
    AdEntityHeader h = defaultHeader(c.type, &in);
    if (c.type == AD_ENTITY_TEXT) std::strcpy(in.text.text, "abc");
    if (c.type == AD_ENTITY_ATTDEF) {
        std::strcpy(in.attdef.prompt, "p");
        std::strcpy(in.attdef.tag, "t");
        std::strcpy(in.attdef.defaultValue, "v");
    }
    if (c.type == AD_ENTITY_VERTEX) in.vertex.bulge = 1.0;
    AdListRecord* record = pack(h, in);
    ASSERT_NE(record, nullptr);
    std::vector<std::uint8_t> bytes = image(record);

    AdPackedEntity fixed;
    std::memcpy(&fixed, bytes.data(), sizeof fixed);
    std::uint8_t* optional = bytes.data() + sizeof fixed;
    std::uint16_t size;
    std::memcpy(&size, optional + fixed.optionalLength - 2, sizeof size);
    size = static_cast<std::uint16_t>(size + c.dataDelta);
    std::memcpy(optional + fixed.optionalLength - 2, &size, sizeof size);
    if (c.lengths >= 0) optional[2] = static_cast<std::uint8_t>(c.lengths);
    fixed.optionalLength = static_cast<std::uint16_t>(fixed.optionalLength + c.optionalDelta);
    std::memcpy(bytes.data(), &fixed, sizeof fixed);
    std::memcpy(&size, bytes.data() + sizeof fixed + fixed.optionalLength - 2, sizeof size);
    bytes.resize(sizeof fixed + fixed.optionalLength + size, 'z');

    adGlobals->errorCode = AD_OK;
    AdEntityHeader outHeader;
    AdEntityData out;
    EXPECT_EQ(adUnpackEntityRecord(reinterpret_cast<AdListRecord*>(bytes.data()), &outHeader, &out, nullptr, nullptr),
              0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_PACKED_ENTITY);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, EntityDamaged,
    testing::Values(DamageCase{"optionalPartShort", AD_ENTITY_LINE, -1, 0, -1},
                    DamageCase{"optionalPartLong", AD_ENTITY_LINE, 1, 0, -1},
                    DamageCase{"layerLengthNine", AD_ENTITY_LINE, 0, 0, 0x91},
                    DamageCase{"linetypeLengthNine", AD_ENTITY_LINE, 0, 0, 0x19},
                    DamageCase{"lineDataShort", AD_ENTITY_LINE, 0, -1, -1},
                    DamageCase{"lineDataLong", AD_ENTITY_LINE, 0, 1, -1},
                    DamageCase{"textWithoutTerminator", AD_ENTITY_TEXT, 0, -1, -1},
                    DamageCase{"textBytesAfterTerminator", AD_ENTITY_TEXT, 0, 1, -1},
                    DamageCase{"textShorterThanFixedPart", AD_ENTITY_TEXT, 0, -10, -1},
                    DamageCase{"attdefMissingLastText", AD_ENTITY_ATTDEF, 0, -2, -1},
                    DamageCase{"vertexBetweenForms", AD_ENTITY_VERTEX, 0, -8, -1},
                    DamageCase{"classDataSize", 501, 0, -8, -1},
                    DamageCase{"dataForTypeWithout", 300, 0, 8, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
