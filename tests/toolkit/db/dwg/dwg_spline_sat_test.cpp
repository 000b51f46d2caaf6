// SPLINE, REGION, 3DSOLID and BODY entities of AC1012+ files: both spline
// scenarios with their point store and shape flags, the SAT text restored
// from its coded blocks and the data bits kept after it.
#include "dwg_class_fixture.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <string>

namespace {

class DwgSplineTest : public DwgClassFixture {};

TEST_F(DwgSplineTest, ControlPointScenarioKeepsKnotsPointsAndWeights) {
    for (std::int16_t version : {AD_VERSION_AC1014, AD_VERSION_AC1015}) {
        SCOPED_TRACE(version);
        begin(version);
        adBitWriteShort(1);
        adBitWriteShort(3);
        adBitWriteBit(1);  // rational
        adBitWriteBit(0);  // closed
        adBitWriteBit(1);  // periodic
        adBitWriteDouble(1e-7);
        adBitWriteDouble(1e-8);
        adBitWriteLong(2);
        adBitWriteLong(3);
        adBitWriteBit(1);
        adBitWriteDouble(0.0);
        adBitWriteDouble(1.0);
        const double points[3][4] = {{0, 0, 0, 1}, {1, 1, 0, 0.5}, {2, 0, 0, 1}};
        for (const auto& p : points) {
            adBitWrite3D(p);
            adBitWriteDouble(p[3]);
        }
        finish();
        ASSERT_EQ(readFixed(adDwgReadSpline, AD_ENTITY_SPLINE), 1);
        const AdSplineData& s = data_.spline;
        EXPECT_EQ(s.degree, 3);
        EXPECT_EQ(s.flags, 0x4 | 0x2 | 0x8);
        EXPECT_EQ(s.knotCount, 2);
        EXPECT_EQ(s.controlPointCount, 3);
        EXPECT_EQ(s.fitPointCount, 0);
        EXPECT_EQ(s.knotTolerance, 1e-7);
        EXPECT_EQ(s.controlPointTolerance, 1e-8);
        EXPECT_EQ(s.fitTolerance, 0.0);
        EXPECT_EQ(Doubles(s.points), (std::vector<double>{0, 1, 0, 0, 0, 1, 1, 1, 0, 0.5, 2, 0, 0, 1}));
        EXPECT_EQ(valueOf(header_.layer), kLayer);
        adEntityFreeStores(drawing_.get(), &header_, &data_);
    }
}

TEST_F(DwgSplineTest, FitPointScenarioTakesDegreeThreeAndClosesOnARepeatedPoint) {
    const struct {
        const char* name;
        std::vector<std::vector<double>> fits;
        std::int16_t flags;
    } cases[] = {
        {"open line", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, 0x18},
        {"closed planar", {{0, 0, 0}, {1, 1, 0}, {2, 0, 1}, {0, 0, 0}}, 0x1 | 0x8},
        {"one point", {{4, 4, 4}}, 0x18},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        begin(AD_VERSION_AC1015);
        writeFitSplineHead(static_cast<std::int32_t>(c.fits.size()));
        std::vector<double> expected;
        for (const auto& p : c.fits) {
            write3D(p[0], p[1], p[2]);
            expected.insert(expected.end(), p.begin(), p.end());
        }
        finish();
        ASSERT_EQ(readFixed(adDwgReadSpline, AD_ENTITY_SPLINE), 1);
        const AdSplineData& s = data_.spline;
        EXPECT_EQ(s.degree, 3);
        EXPECT_EQ(s.flags, c.flags);
        EXPECT_EQ(s.fitPointCount, static_cast<std::int16_t>(c.fits.size()));
        EXPECT_EQ(s.fitTolerance, 0.01);
        EXPECT_EQ(s.startTangent[0], 1.0);
        EXPECT_EQ(s.endTangent[1], 1.0);
        EXPECT_EQ(Doubles(s.points), expected);
        adEntityFreeStores(drawing_.get(), &header_, &data_);
    }
}

// The flags come from the fit points when there are any, else from the
// control points, whose weights are passed over.
TEST_F(DwgSplineTest, ShapeFlagsOfStoredPoints) {
    using Points = std::vector<std::vector<double>>;
    const struct {
        const char* name;
        bool rational;
        Points controls;
        Points fits;
        std::int16_t shape;
    } cases[] = {
        {"two points", false, {{0, 0, 0}, {5, 5, 5}}, {}, 0x18},
        {"no points", false, {}, {}, 0x18},
        {"collinear after a repeat", false, {{1, 1, 1}, {1, 1, 1}, {2, 2, 2}, {4, 4, 4}}, {}, 0x18},
        {"off the line below tolerance", false, {{0, 0, 0}, {1, 0, 0}, {2, 1e-13, 0}}, {}, 0x18},
        {"square", false, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {}, 0x8},
        {"plane away from the origin", false, {{0, 0, 5}, {1, 0, 5}, {0, 1, 5}, {3, 7, 5}}, {}, 0x8},
        {"corner of a cube", false, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {}, 0},
        {"weights passed over", true, {{0, 0, 0, 9}, {1, 0, 0, 3}, {2, 0, 0, 7}}, {}, 0x18},
        {"fit points decide", false, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 0, 0}, {1, 1, 1}, {3, 3, 3}}, 0x18},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AdSplineData s{};
        s.flags = static_cast<std::int16_t>((c.rational ? 0x4 : 0) | 0x18);
        s.knotCount = 2;
        s.controlPointCount = static_cast<std::int16_t>(c.controls.size());
        s.fitPointCount = static_cast<std::int16_t>(c.fits.size());
        Layout layout;
        layout.doubles({0.0, 1.0});
        for (const auto& p : c.controls)
            for (double v : p) layout.put(v);
        for (const auto& p : c.fits)
            for (double v : p) layout.put(v);
        s.points = StoreWith(layout.bytes);
        ASSERT_EQ(adSplineShapeFlags(&s), 1);
        EXPECT_EQ(s.flags, static_cast<std::int16_t>((c.rational ? 0x4 : 0) | c.shape));
        adStoreFree(s.points);
    }
}

class DwgSatTest : public DwgClassFixture {
protected:
    void writeBlock(const std::string& text) {
        adBitWriteLong(static_cast<std::int32_t>(text.size()));
        for (char ch : text) {
            const auto c = static_cast<std::uint8_t>(ch);
            adBitWriteByte(c >= 33 && c <= 126 ? static_cast<std::uint8_t>(159 - c) : c);
        }
    }
};

TEST_F(DwgSatTest, CodedBlocksBecomeSatTextAndTheRestIsKept) {
    const std::string header = "400 0 1 0\r\n";
    const std::string body = "body $-1 $1 $-1 $-1 #\r\n\tend\r\n" + std::string(700, 'x') + "\r\n";
    for (std::int16_t version : {AD_VERSION_AC1014, AD_VERSION_AC1015}) {
        SCOPED_TRACE(version);
        begin(version);
        adBitWriteShort(64);
        adBitWriteDouble(1.0);
        writeBlock(header);
        writeBlock(body);
        adBitWriteLong(0);
        for (char bit : std::string("10110011101")) adBitWriteBit(bit == '1');
        finish();
        ASSERT_EQ(readFixed(adDwgReadSatEntity, AD_ENTITY_3DSOLID), 1);
        const std::vector<std::uint8_t> text = ReadAll(data_.sat.satText);
        std::string expected = header + body;
        expected[header.size() + body.find('\t')] = ' ';
        EXPECT_EQ(std::string(text.begin(), text.end()), expected);
        EXPECT_EQ(ReadAll(data_.sat.satTail), Layout().put<std::uint8_t>(1).put<std::int32_t>(11).put<std::uint8_t>(0xB3).put<std::uint8_t>(0xA0).bytes);
        EXPECT_EQ(valueOf(header_.layer), kLayer);
        adEntityFreeStores(drawing_.get(), &header_, &data_);
    }
}

TEST_F(DwgSatTest, OtherVersionsKeepOnlyTheBits) {
    begin(AD_VERSION_AC1015);
    adBitWriteShort(1);
    adBitWriteByte(0x5A);
    finish();
    ASSERT_EQ(readFixed(adDwgReadSatEntity, AD_ENTITY_3DSOLID), 1);
    EXPECT_EQ(data_.sat.satText, nullptr);
    EXPECT_EQ(ReadAll(data_.sat.satTail), Layout().put<std::uint8_t>(0).put<std::int32_t>(8).put<std::uint8_t>(0x5A).bytes);
}

}  // namespace
