// The entity readers of bit-coded DWG files: entity objects written with the
// bit writer and read back through the per-type readers, the walk along the
// entity chains, and every real AC1012 to AC1015 file loading whole.
#include "toolkit/db/bit_fixture.h"
#include "dwg_corpus.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/ad.h"
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kTurn = 2.0 * std::numbers::pi;

const AdHandle kOwn = handleOf(0x40);
const AdHandle kLayer = handleOf(0x10);
const AdHandle kByLayer = handleOf(0x14);
const AdHandle kByBlock = handleOf(0x15);
const AdHandle kContinuous = handleOf(0x16);
const AdHandle kBlockHeader = handleOf(0x1F);

// One entity object's fields written with the bit writer, then read by the
// type's reader from the read buffer, the way an object of the file is read.
class EntityBits : public BitFixture {
protected:
    void SetUp() override {
        BitFixture::SetUp();
        drawing_->byLayerLtype = kByLayer;
        drawing_->byBlockLtype = kByBlock;
        drawing_->continuousLtype = kContinuous;
        state_.get()->angleNormalisation = 1;
        std::memset(&data_, 0, sizeof data_);
        header_ = AdEntityHeader{};
        header_.handle = kOwn;
        header_.extrusion[2] = 1.0;
    }

    void TearDown() override {
        if (header_.reactors) adStoreFree(header_.reactors);
        BitFixture::TearDown();
    }

    // The shared handle references of an entity without links and without
    // reactors, whose linetype is BYLAYER: the extension dictionary and the
    // layer. They start at the data's bit size.
    void writeHandles() {
        handleBits_ = bitsWritten();
        const AdHandle none{};
        adBitWriteHandle(&none, 0x30);
        adBitWriteHandle(&kLayer, 0x50);
    }

    // The reader over what was written; the entity as the common data left it.
    void readBackObject(std::uint8_t linetypeFlags = 0) {
        const std::vector<std::uint8_t> bytes = writtenBytes();
        std::copy(bytes.begin(), bytes.end(), readBuffer_.begin());
        bits_ = AdBitStream{};
        bits_.current = readBuffer_.data();
        bits_.bytesLeft = static_cast<std::int32_t>(bytes.size());
        bits_.firstSizeWord = bits_.bytesLeft;
        bits_.bitMask = 0x100;
        bits_.pieceCount = 1;
        bits_.bitSize = handleBits_;
        state_.get()->bitStream = &bits_;
        AdGlobalState::AdDwgEntityRefs& refs = state_.get()->dwgEntity;
        refs = AdGlobalState::AdDwgEntityRefs{};
        refs.noLinks = 1;
        refs.linetypeByLayer = 1;
        refs.linetypeFlags = linetypeFlags;
        refs.plotStyleFlags = 1;
    }

    int read(AdDwgEntityReader reader, std::int16_t dwgType) {
        header_.type = static_cast<std::uint16_t>(dwgType);
        return reader(drawing_.get(), &header_, &data_);
    }

    AdEntityHeader header_{};
    AdEntityData data_;
    std::int32_t handleBits_ = 0;
};

void writeBD(double value) { adBitWriteDouble(value); }
void write3BD(double x, double y, double z) {
    const double p[3] = {x, y, z};
    adBitWrite3D(p);
}
void writeNormal() { write3BD(0.0, 0.0, 1.0); }
// The AC1015 forms of a default thickness and extrusion: one set bit each.
void writeDefaultThicknessExtrusion() {
    adBitWriteBit(1);
    adBitWriteBit(1);
}

struct ReaderCase {
    const char* name;
    std::int16_t version;
    std::int16_t dwgType;
    AdDwgEntityReader reader;
    std::function<void()> write;  // the fields before the handle references
    std::function<void()> writeOwn;  // the type's own handles
    std::function<void(const AdEntityHeader&, const AdEntityData&)> check;
};

void writeArc(double start, double end) {
    write3BD(1.0, 2.0, 0.0);
    writeBD(3.0);
    writeDefaultThicknessExtrusion();
    writeBD(start);
    writeBD(end);
}

void writeEllipse(double start, double end) {
    write3BD(0.0, 0.0, 0.0);
    write3BD(2.0, 0.0, 0.0);
    writeNormal();
    writeBD(0.5);
    writeBD(start);
    writeBD(end);
}

void writeInsertStart() { write3BD(5.0, 6.0, 0.0); }
void writeInsertEnd() {
    writeBD(0.0);  // rotation
    writeNormal();
    adBitWriteBit(0);  // no attributes
}

void writeBlockName(const char* name) { adBitWriteText(name); }

void writeVertex2D(double startWidth) {
    adBitWriteByte(0);
    write3BD(1.0, 2.0, 9.0);
    writeBD(startWidth);
    writeBD(0.0);  // bulge
    writeBD(0.0);  // tangent direction
}

void writeLinearDimension() {
    writeNormal();
    const double mid[2] = {4.0, 5.0};
    adBitWriteRaw2D(mid);
    writeBD(0.0);
    adBitWriteByte(1);
    adBitWriteText("");
    for (int i = 0; i < 6; ++i) writeBD(0.0);  // text rotation .. insert rotation
    const double clone[2] = {0.0, 0.0};
    adBitWriteRaw2D(clone);
    write3BD(1.0, 0.0, 0.0);
    write3BD(2.0, 0.0, 0.0);
    write3BD(3.0, 0.0, 0.0);
    writeBD(0.0);
    writeBD(0.0);
}

void noOwn() {}
void ownBlockHeader() { adBitWriteHandle(&kBlockHeader, 0x50); }
void ownDimHandles() {
    const AdHandle none{};
    adBitWriteHandle(&none, 0x50);
    adBitWriteHandle(&none, 0x50);
}

std::vector<ReaderCase> readerCases() {
    using H = const AdEntityHeader&;
    using D = const AdEntityData&;
    return {
        {"Ac1015LineZIsZero", AD_VERSION_AC1015, AD_DWG_LINE, adDwgReadLineEntity,
         [] {
             const double s[3] = {1.0, 2.0, 0.0};
             const double e[3] = {1.0, 7.0, 0.0};
             adBitWriteFlaggedPoints(s, e);
             writeDefaultThicknessExtrusion();
         },
         noOwn,
         [](H h, D d) {
             EXPECT_EQ(d.line.start[2], 0.0);
             EXPECT_EQ(d.line.end[2], 0.0);
             EXPECT_EQ(d.line.end[0], 1.0);
             EXPECT_EQ(d.line.end[1], 7.0);
             EXPECT_EQ(h.extrusion[2], 1.0);
         }},
        {"Ac1012LineNormalAlongZ", AD_VERSION_AC1012, AD_DWG_LINE, adDwgReadLineEntity,
         [] {
             write3BD(1.0, 2.0, 3.0);
             write3BD(4.0, 5.0, 6.0);
             writeBD(2.0);
             write3BD(0.0, 0.0, -3.0);
         },
         noOwn,
         [](H h, D d) {
             EXPECT_EQ(d.line.end[2], 6.0);
             EXPECT_EQ(h.thickness, 2.0);
             EXPECT_EQ(h.extrusion[2], -1.0);
         }},
        {"Ac1015InsertUniformScale", AD_VERSION_AC1015, AD_DWG_INSERT, adDwgReadInsertEntity,
         [] {
             writeInsertStart();
             adBitWriteCode(2);
             adBitWriteRawDouble(2.0);
             writeInsertEnd();
         },
         ownBlockHeader,
         [](H, D d) {
             for (double s : d.insert.scale) EXPECT_EQ(s, 2.0);
             EXPECT_EQ(valueOf(d.insert.block), 0x1Fu);
             EXPECT_EQ(d.insert.rowCount, 1);
             EXPECT_EQ(d.insert.columnCount, 1);
         }},
        {"Ac1014InsertZeroScale", AD_VERSION_AC1014, AD_DWG_INSERT, adDwgReadInsertEntity,
         [] {
             writeInsertStart();
             writeBD(0.0);
             writeBD(3.0);
             writeBD(4.0);
             writeInsertEnd();
         },
         ownBlockHeader,
         [](H, D d) {
             EXPECT_EQ(d.insert.scale[0], 1.0);
             EXPECT_EQ(d.insert.scale[1], 3.0);
             EXPECT_EQ(d.insert.scale[2], 4.0);
         }},
        {"Vertex2DNegativeWidth", AD_VERSION_AC1015, AD_DWG_VERTEX_2D, adDwgReadVertexEntity, [] { writeVertex2D(-0.5); },
         noOwn,
         [](H, D d) {
             EXPECT_EQ(d.vertex.startWidth, 0.5);
             EXPECT_EQ(d.vertex.endWidth, 0.5);
             EXPECT_EQ(d.vertex.point[2], 2.5) << "the polyline's elevation";
             EXPECT_EQ(d.vertex.startWidthGiven, 0);
             EXPECT_EQ(d.vertex.endWidthGiven, 1);
         }},
        {"BlockAnonymousNameCut", AD_VERSION_AC1015, AD_DWG_BLOCK, adDwgReadBlockEntity, [] { writeBlockName("*U12"); },
         noOwn, [](H, D d) { EXPECT_STREQ(d.block.name, "*U"); }},
        {"BlockPaperSpaceNameKept", AD_VERSION_AC1014, AD_DWG_BLOCK, adDwgReadBlockEntity,
         [] { writeBlockName("*Paper_Space7"); }, noOwn, [](H, D d) { EXPECT_STREQ(d.block.name, "*Paper_Space7"); }},
        {"ArcEndBelowStart", AD_VERSION_AC1015, AD_DWG_ARC, adDwgReadArcEntity, [] { writeArc(6.0, 0.5); }, noOwn,
         [](H, D d) { EXPECT_DOUBLE_EQ(d.arc.endAngle, 0.5 + kTurn); }},
        {"ArcHugeStartFinishes", AD_VERSION_AC1015, AD_DWG_ARC, adDwgReadArcEntity, [] { writeArc(1e18, 0.5); }, noOwn,
         [](H, D d) {
             EXPECT_TRUE(d.arc.endAngle >= d.arc.startAngle || d.arc.endAngle == 0.5);
             EXPECT_TRUE(std::isfinite(d.arc.endAngle));
         }},
        {"ArcBeyondBoundKept", AD_VERSION_AC1015, AD_DWG_ARC, adDwgReadArcEntity, [] { writeArc(1e21, 0.5); }, noOwn,
         [](H, D d) { EXPECT_EQ(d.arc.endAngle, 0.5); }},
        {"EllipseEndBelowStart", AD_VERSION_AC1015, AD_DWG_ELLIPSE, adDwgReadEllipseEntity, [] { writeEllipse(7.0, 1.0); },
         noOwn, [](H, D d) { EXPECT_DOUBLE_EQ(d.ellipse.endParameter, 1.0 + kTurn); }},
        {"EllipseHugeStartFinishes", AD_VERSION_AC1015, AD_DWG_ELLIPSE, adDwgReadEllipseEntity,
         [] { writeEllipse(1e300, 0.0); }, noOwn,
         [](H, D d) { EXPECT_TRUE(std::isfinite(d.ellipse.endParameter)); }},
        {"Ac1014TextThroughTheSharedGeometryWriter", AD_VERSION_AC1014, AD_DWG_TEXT, adDwgReadTextEntity,
         [] {
             writeBD(1.5);  // elevation
             const double insertion[2] = {3.0, 4.0};
             adBitWriteRaw2D(insertion);
             AdEntityHeader h{};
             h.extrusion[0] = 0.6;
             h.extrusion[2] = 0.8;
             h.thickness = 0.25;
             AdTextFields f{};
             f.alignment[0] = 7.0;
             f.alignment[1] = -2.0;
             f.obliqueAngle = 0.1;
             f.rotation = 1.0;
             f.height = 2.5;
             f.widthFactor = 0.75;
             adBitWriteTextGeometry(&h, &f);
             adBitWriteText("NOTE");
             adBitWriteShort(2);
             adBitWriteShort(1);
             adBitWriteShort(3);
         },
         ownBlockHeader,
         [](H h, D d) {
             const AdTextData& t = d.text;
             EXPECT_EQ(t.insertion[2], 1.5);
             EXPECT_EQ(t.fields.alignment[0], 7.0);
             EXPECT_EQ(t.fields.alignment[1], -2.0);
             EXPECT_DOUBLE_EQ(h.extrusion[0], 0.6);
             EXPECT_DOUBLE_EQ(h.extrusion[2], 0.8);
             EXPECT_EQ(h.thickness, 0.25);
             EXPECT_EQ(t.fields.obliqueAngle, 0.1);
             EXPECT_EQ(t.fields.rotation, 1.0);
             EXPECT_EQ(t.fields.height, 2.5);
             EXPECT_EQ(t.fields.widthFactor, 0.75);
             EXPECT_STREQ(t.text, "NOTE");
             EXPECT_EQ(t.fields.generation, 2);
             EXPECT_EQ(t.fields.horizontalAlignment, 1);
             EXPECT_EQ(t.fields.verticalAlignment, 3);
         }},
        {"Ac1015AttdefDefaultsAndCutTag", AD_VERSION_AC1015, AD_DWG_ATTDEF, adDwgReadAttdefEntity,
         [] {
             adBitWriteByte(0x7F);  // every field but the vertical alignment at its usual value
             const double insertion[2] = {3.0, 4.0};
             adBitWriteRaw2D(insertion);
             writeDefaultThicknessExtrusion();
             adBitWriteRawDouble(2.5);
             adBitWriteText("DEFAULT");
             adBitWriteShort(2);
             adBitWriteText(std::string(600, 'T').c_str());
             adBitWriteShort(7);
             adBitWriteByte(8);
             adBitWriteText("PROMPT");
         },
         ownBlockHeader,
         [](H, D d) {
             const AdAttdefData& a = d.attdef;
             EXPECT_EQ(a.insertion[0], 3.0);
             EXPECT_EQ(a.insertion[2], 0.0);
             EXPECT_EQ(a.fields.alignment[0], 0.0);
             EXPECT_EQ(a.fields.widthFactor, 1.0);
             EXPECT_EQ(a.fields.height, 2.5);
             EXPECT_EQ(a.fields.verticalAlignment, 2);
             EXPECT_STREQ(a.defaultValue, "DEFAULT");
             EXPECT_EQ(std::string(a.tag), std::string(AD_ATTRIBUTE_TEXT_SIZE - 1, 'T'));
             EXPECT_EQ(a.fieldLength, 7);
             EXPECT_EQ(a.attributeFlags, 8);
             EXPECT_STREQ(a.prompt, "PROMPT");
             EXPECT_EQ(valueOf(a.fields.style), 0x1Fu);
         }},
        {"Ac1014DimensionKeepsDefaults", AD_VERSION_AC1014, AD_DWG_DIM_LINEAR, adDwgReadDimensionEntity,
         writeLinearDimension, ownDimHandles,
         [](H, D d) {
             EXPECT_EQ(d.dimension.attachment, 5);
             EXPECT_EQ(d.dimension.lineSpacingStyle, 1);
             EXPECT_EQ(d.dimension.lineSpacingFactor, 1.6666666666666665);
             EXPECT_EQ(d.dimension.dimensionType, 0);
             EXPECT_EQ(d.dimension.definitionPoint[0], 3.0);
             EXPECT_EQ(d.dimension.definitionPoints[1][0], 1.0);
         }},
    };
}

class EntityReaders : public EntityBits, public testing::WithParamInterface<ReaderCase> {};

TEST_P(EntityReaders, ReadBack) {
    const ReaderCase& c = GetParam();
    drawing_->version = c.version;
    drawing_->dwgChains.elevation = 2.5;
    drawing_->dwgChains.startWidth = 0.5;
    drawing_->dwgChains.endWidth = 0.25;
    c.write();
    writeHandles();
    c.writeOwn();
    readBackObject();
    ASSERT_EQ(read(c.reader, c.dwgType), 1);
    EXPECT_EQ(bits_.failed, 0);
    EXPECT_EQ(valueOf(header_.layer), 0x10u);
    c.check(header_, data_);
}

INSTANTIATE_TEST_SUITE_P(Types, EntityReaders, testing::ValuesIn(readerCases()),
                         [](const testing::TestParamInfo<ReaderCase>& info) { return info.param.name; });

// AC1015 codes the common linetypes in two bits; only a linetype of its own
// takes a handle.
TEST_F(EntityBits, Ac1015LinetypeFlags) {
    struct Case {
        std::uint8_t flags;
        AdHandle expected;
    };
    const AdHandle own = handleOf(0x33);
    for (const Case& c : {Case{0, kByLayer}, Case{1, kByBlock}, Case{2, kContinuous}, Case{3, own}}) {
        SCOPED_TRACE(static_cast<int>(c.flags));
        drawing_->version = AD_VERSION_AC1015;
        ASSERT_EQ(adBitBufferReset(drawing_.get(), 0), 1);
        write3BD(1.0, 1.0, 1.0);
        writeDefaultThicknessExtrusion();
        writeBD(0.0);
        writeHandles();
        if (c.flags == 3) adBitWriteHandle(&own, 0x50);
        // A byte of padding, so that the reader is not at the data's end.
        adBitWriteByte(0);
        readBackObject(c.flags);
        header_.linetype = AdHandle{};
        ASSERT_EQ(read(adDwgReadPointEntity, AD_DWG_POINT), 1);
        EXPECT_EQ(valueOf(header_.linetype), valueOf(c.expected));
        EXPECT_EQ(valueOf(header_.layer), 0x10u);
    }
}

// A layer handle that the writer left out at the end of the data is not read.
TEST_F(EntityBits, Ac1015DataEndedLeavesLayerAndLinetype) {
    drawing_->version = AD_VERSION_AC1015;
    write3BD(1.0, 1.0, 1.0);
    writeDefaultThicknessExtrusion();
    writeBD(0.0);
    // The extension dictionary then ends the data with no bit to spare.
    while (bitsWritten() % 8 != 0) adBitWriteBit(0);
    handleBits_ = bitsWritten();
    const AdHandle none{};
    adBitWriteHandle(&none, 0x30);
    readBackObject(3);
    ASSERT_EQ(read(adDwgReadPointEntity, AD_DWG_POINT), 1);
    EXPECT_EQ(adHandleLength(&header_.layer), 0);
    EXPECT_EQ(valueOf(header_.linetype), valueOf(kByLayer));
}

// A stream that runs out inside the fields fails the read.
TEST_F(EntityBits, ShortObjectFails) {
    drawing_->version = AD_VERSION_AC1014;
    write3BD(1.0, 2.0, 3.0);
    readBackObject();
    EXPECT_EQ(read(adDwgReadLineEntity, AD_DWG_LINE), 0);
}

// The chain walk: (object type, handle, the entity's next link) and the
// handle that must be read after it. A POLYLINE (0x20) owns vertices 0x21
// and 0x22 and SEQEND 0x23; an INSERT (0x30) owns ATTRIB 0x31 and SEQEND 0x32.
struct Step {
    std::int16_t type;
    std::uint64_t handle;
    std::uint64_t link;
    std::uint64_t expected;
};

struct ChainCase {
    const char* name;
    bool inBlock;
    std::uint64_t chainLast;  // of the chain, or of the block
    std::vector<Step> steps;
};

constexpr std::uint64_t kEndblk = 0x90;
constexpr std::uint64_t kBlockFirst = 0x20;

std::vector<ChainCase> chainCases() {
    return {
        {"PolylineInChain", false, 0x50,
         {{AD_DWG_POLYLINE_2D, 0x20, 0x40, 0x21},
          {AD_DWG_VERTEX_2D, 0x21, 0x22, 0x22},
          {AD_DWG_VERTEX_2D, 0x22, 0x77, 0x23},
          {AD_DWG_SEQEND, 0x23, 0x78, 0x40},
          {AD_DWG_LINE, 0x40, 0x50, 0x50},
          {AD_DWG_LINE, 0x50, 0x60, 0}}},
        {"PolylineEndsChain", false, 0x20,
         {{AD_DWG_POLYLINE_2D, 0x20, 0x40, 0x21},
          {AD_DWG_VERTEX_2D, 0x21, 0x22, 0x22},
          {AD_DWG_VERTEX_2D, 0x22, 0x77, 0x23},
          {AD_DWG_SEQEND, 0x23, 0x78, 0}}},
        {"PolylineEndsBlock", true, 0x20,
         {{AD_DWG_BLOCK, 0x10, 0x11, kBlockFirst},
          {AD_DWG_POLYLINE_2D, 0x20, 0x40, 0x21},
          {AD_DWG_VERTEX_2D, 0x21, 0x22, 0x22},
          {AD_DWG_VERTEX_2D, 0x22, 0x77, 0x23},
          {AD_DWG_SEQEND, 0x23, 0x78, kEndblk}}},
        {"LineEndsBlock", true, 0x20,
         {{AD_DWG_BLOCK, 0x10, 0x11, kBlockFirst}, {AD_DWG_LINE, 0x20, 0x21, kEndblk}}},
        {"InsertWithAttributes", false, 0x60,
         {{AD_DWG_INSERT, 0x30, 0x60, 0x31},
          {AD_DWG_ATTRIB, 0x31, 0x99, 0x32},
          {AD_DWG_SEQEND, 0x32, 0x98, 0x60}}},
    };
}

class ChainWalk : public testing::TestWithParam<ChainCase> {
protected:
    ScratchState state_;
    std::unique_ptr<AdDrawing> drawing_ = std::make_unique<AdDrawing>();
};

TEST_P(ChainWalk, NextHandles) {
    const ChainCase& c = GetParam();
    AdDrawing::AdDwgChains& chains = drawing_->dwgChains;
    chains.inBlock = c.inBlock;
    if (c.inBlock) {
        chains.phase = 1;
        chains.blockFirst = handleOf(kBlockFirst);
        chains.blockLast = handleOf(c.chainLast);
        chains.blockEndblk = handleOf(kEndblk);
    } else {
        chains.firstChainLast = handleOf(c.chainLast);
    }
    for (const Step& s : c.steps) {
        SCOPED_TRACE(s.handle);
        AdGlobalState::AdDwgEntityRefs& refs = state_.get()->dwgEntity;
        refs = AdGlobalState::AdDwgEntityRefs{};
        refs.next = handleOf(s.link);
        AdEntityData data{};
        if (s.type == AD_DWG_POLYLINE_2D) {
            refs.firstSub = handleOf(0x21);
            refs.lastSub = handleOf(0x22);
            refs.seqend = handleOf(0x23);
        } else if (s.type == AD_DWG_INSERT) {
            data.insert.attributesFollow = 1;
            refs.firstSub = refs.lastSub = handleOf(0x31);
            refs.seqend = handleOf(0x32);
        }
        AdEntityHeader header{};
        header.type = static_cast<std::uint16_t>(s.type);
        header.handle = handleOf(s.handle);
        ASSERT_EQ(adDwgChainAfter(drawing_.get(), &header, &data), 1);
        EXPECT_EQ(valueOf(chains.next), s.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Chains, ChainWalk, testing::ValuesIn(chainCases()),
                         [](const testing::TestParamInfo<ChainCase>& info) { return info.param.name; });

// Hostile chains end with an error instead of running on: a link back to the
// entity itself, a chain longer than the object map, a handle the map lacks.
TEST(DwgEntityChain, HostileChainsEnd) {
    ScratchState state;
    auto drawing = std::make_unique<AdDrawing>();
    drawing->version = AD_VERSION_AC1015;
    AdEntityHeader header{};
    header.type = AD_DWG_LINE;
    header.handle = handleOf(0x44);
    state.get()->dwgEntity.next = handleOf(0x44);
    AdEntityData data{};
    EXPECT_EQ(adDwgChainAfter(drawing.get(), &header, &data), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_DWG_ENTITY_CHAIN);

    ASSERT_NE(adDwgBeginFile(drawing.get()), nullptr);
    AdEntityHeader out{};
    std::uint8_t flag = 0;
    for (std::int32_t count : {0, 5}) {
        SCOPED_TRACE(count);
        adDwgFileOf(drawing.get())->entryCount = count;
        drawing->dwgChains = AdDrawing::AdDwgChains{};
        drawing->dwgChains.next = handleOf(0x45);
        state.get()->errorCode = 0;
        EXPECT_EQ(adDwgEntityNext(drawing.get(), &out, &data, &flag), 0);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_DWG_ENTITY_CHAIN);
    }
    adDwgReleaseFile(drawing.get());
}

std::int32_t entityCount(AdDrawing* drawing) {
    std::int32_t n = adListCount(drawing->modelSpace) + adListCount(drawing->paperSpace);
    AdListRecord* node = adListFirst(drawing->blocks);
    for (std::int32_t i = adListCount(drawing->blocks); node && i > 0; --i, node = node->next) {
        AdStoredBlock block;
        std::memcpy(&block, adListRecordData(node), sizeof block);
        if (block.header.entities && block.header.entities != drawing->modelSpace &&
            block.header.entities != drawing->paperSpace)
            n += adListCount(block.header.entities);
    }
    return n;
}

class DwgCorpusLoad : public StartedToolkit {};

TEST_F(DwgCorpusLoad, EveryBitCodedFileLoadsItsEntities) {
    const std::vector<std::filesystem::path> files = bitCodedCorpus();
    if (files.empty()) GTEST_SKIP() << "no DWG files in " << dwgCorpusDir();
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        AdDrawing* drawing = adOpenDrawing(file.string().c_str(), 1, 0);
        ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
        EXPECT_EQ(adGlobals->errorCode, 0);
        EXPECT_GT(entityCount(drawing), 0);
        adCloseDrawing(drawing);
    }
}

}  // namespace
