// The DWG bit coding: the exact bits each writer puts out, and every writer's
// output read back by its reader at every bit offset.
#include "bit_fixture.h"
#include "toolkit/ad_internal.h"

#include <functional>
#include <limits>

namespace {

using BitEncodingTest = BitFixture;

struct Encoding {
    const char* name;
    std::function<int()> write;
    std::string bits;
};

TEST_F(BitEncodingTest, WritersPutOutTheShortestForm) {
    const AdHandle null{}, h12 = handleOf(0x12);
    const double upZ[3] = {0, 0, 1}, tilted[3] = {0, 1, 0};
    const std::string ones16(16, '1'), ones32(32, '1');
    const Encoding cases[] = {
        {"BS 0", [] { return adBitWriteShort(0); }, "10"},
        {"BS 256", [] { return adBitWriteShort(256); }, "11"},
        {"BS 255", [] { return adBitWriteShort(255); }, "01" + byteBits({0xFF})},
        {"BS 257", [] { return adBitWriteShort(257); }, "00" + byteBits({0x01, 0x01})},
        {"BS -1", [] { return adBitWriteShort(-1); }, "00" + ones16},
        {"BL 0", [] { return adBitWriteLong(0); }, "10"},
        {"BL 255", [] { return adBitWriteLong(255); }, "01" + byteBits({0xFF})},
        {"BL 256", [] { return adBitWriteLong(256); }, "00" + byteBits({0x00, 0x01, 0x00, 0x00})},
        {"BL -1", [] { return adBitWriteLong(-1); }, "00" + ones32},
        {"BD 0.0", [] { return adBitWriteDouble(0.0); }, "10"},
        {"BD 1.0", [] { return adBitWriteDouble(1.0); }, "01"},
        {"BD -0.0", [] { return adBitWriteDouble(-0.0); }, "00" + byteBits({0, 0, 0, 0, 0, 0, 0, 0x80})},
        {"BD 2.0", [] { return adBitWriteDouble(2.0); }, "00" + byteBits({0, 0, 0, 0, 0, 0, 0, 0x40})},
        {"DD default", [] { return adBitWriteDefDouble(2.5, 2.5); }, "00"},
        {"DD other", [] { return adBitWriteDefDouble(2.0, 2.5); }, "11" + byteBits({0, 0, 0, 0, 0, 0, 0, 0x40})},
        {"2RD", [] { const double p[2] = {1.0, 2.0}; return adBitWriteRaw2D(p); },
         byteBits({0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0x40})},
        {"2BD short forms", [] { const double p[2] = {0.0, 1.0}; return adBitWrite2BD(p); }, "10" "01"},
        {"2BD full", [] { const double p[2] = {2.0, 0.0}; return adBitWrite2BD(p); },
         "00" + byteBits({0, 0, 0, 0, 0, 0, 0, 0x40}) + "10"},
        {"thickness 0", [] { return adBitWriteThickness(0.0); }, "1"},
        {"thickness 1", [] { return adBitWriteThickness(1.0); }, "0" "01"},
        {"extrusion up", [&] { return adBitWriteExtrusion(upZ); }, "1"},
        {"extrusion tilted", [&] { return adBitWriteExtrusion(tilted); }, "0" "10" "01" "10"},
        {"optional z 0", [] { const double r[3] = {1.0, 1.0, 0.0}; return adBitWriteOptionalDouble(r); },
         "1" + byteBits({0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
        {"text", [] { return adBitWriteText("ab"); }, "01" + byteBits({2, 'a', 'b'})},
        {"null handle", [&] { return adBitWriteHandle(&null, 0x40); }, byteBits({0x40})},
        {"short handle", [&] { return adBitWriteHandle(&h12, 0x50); }, byteBits({0x51, 0x12})},
        {"handle ref", [] { const AdHandleEntry e{handleOf(0x1234), 4}; return adBitWriteHandleRef(&e); },
         byteBits({0x32, 0x12, 0x34})},
        {"handle ref of no kind", [] { const AdHandleEntry e{handleOf(7), 9}; return adBitWriteHandleRef(&e); },
         byteBits({0x01, 0x07})},
    };
    for (const Encoding& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(adBitBufferReset(drawing_.get(), 0), 1);
        EXPECT_EQ(c.write(), 1);
        EXPECT_EQ(writtenBits(), c.bits);
    }
}

struct RelCase {
    std::uint64_t ref, base;
    std::vector<std::uint8_t> bytes;
};

TEST_F(BitEncodingTest, RelativeHandlesTakeTheShortForm) {
    const RelCase cases[] = {
        {0x11, 0x10, {0x60}},               // base + 1
        {0x0F, 0x10, {0x80}},               // base - 1
        {0x1234, 0x10, {0xA2, 0x12, 0x24}},  // above: the difference
        {0x0F00, 0x1000, {0xC2, 0x01, 0x00}},  // below, by less than the reference
        {0x10, 0x1000, {0x41, 0x10}},       // below, by more: the reference itself
        {0, 0x1000, {0x40}},                // null from a base other than 1
        {0, 1, {0x80}},                     // null from base 1
        {0x10, 0x10, {0x51, 0x10}},         // the base itself keeps its value
        {0, 0, {0x50}},
    };
    for (const RelCase& c : cases) {
        SCOPED_TRACE(c.ref);
        ASSERT_EQ(adBitBufferReset(drawing_.get(), 0), 1);
        const AdHandle ref = handleOf(c.ref), base = handleOf(c.base);
        EXPECT_EQ(adBitWriteRelHandle(&ref, &base, 0x50), 1);
        EXPECT_EQ(writtenBytes(), c.bytes);
        readBack();
        AdHandle read{};
        EXPECT_EQ(adBitReadRelHandle(&base, &read), 1);
        EXPECT_EQ(valueOf(read), c.ref);
    }
}

// One field of the round trip: its writer and the check of its reader.
struct Field {
    std::string name;
    std::function<int()> write;
    std::function<void()> check;
};

void addFields(std::vector<Field>& fields) {
    for (std::int16_t v : {0, 1, 255, 256, 257, -1, 32767, -32768})
        fields.push_back({"BS " + std::to_string(v), [=] { return adBitWriteShort(v); },
                          [=] { EXPECT_EQ(adBitReadShort(), v); }});
    for (std::int32_t v : {0, 1, 255, 256, -1, std::numeric_limits<std::int32_t>::max(),
                           std::numeric_limits<std::int32_t>::min()}) {
        fields.push_back({"BL " + std::to_string(v), [=] { return adBitWriteLong(v); },
                          [=] { EXPECT_EQ(adBitReadLong(), v); }});
        fields.push_back({"RL " + std::to_string(v), [=] { return adBitWriteRawLong(v); },
                          [=] { EXPECT_EQ(adBitReadRawLong(), v); }});
    }
    for (std::uint8_t v : {0x00, 0x5A, 0xFF})
        fields.push_back({"RC " + std::to_string(v), [=] { return adBitWriteByte(v); },
                          [=] { EXPECT_EQ(adBitReadByte(), v); }});
    for (int v : {0, 1})
        fields.push_back({"B " + std::to_string(v), [=] { return adBitWriteBitFast(v); },
                          [=] { EXPECT_EQ(adBitReadBit(), v); }});
    for (double v : {0.0, 1.0, -0.0, 2.0, -1.5, 1e300, 3.141592653589793}) {
        fields.push_back({"BD " + std::to_string(v), [=] { return adBitWriteDouble(v); }, [=] {
                              double d = 7;
                              EXPECT_EQ(adBitReadDouble(&d), 1);
                              EXPECT_EQ(d, v);
                          }});
        fields.push_back({"RD " + std::to_string(v), [=] { return adBitWriteRawDouble(v); }, [=] {
                              double d = 7;
                              EXPECT_EQ(adBitReadRawDouble(&d), 1);
                              EXPECT_EQ(d, v);
                          }});
        for (double def : {v, 1.0, 0.5}) {
            fields.push_back({"DD " + std::to_string(v) + " against " + std::to_string(def),
                              [=] { return adBitWriteDefDouble(v, def); }, [=] {
                                  double d = 7;
                                  EXPECT_EQ(adBitReadDefDouble(&d, def), 1);
                                  EXPECT_EQ(d, v);
                              }});
        }
    }
    // Static: the checks run after this function has returned.
    static const double p[3] = {1.25, -0.0, 1e-3}, q[3] = {1.25, 7.5, 0.0}, flat[3] = {2.0, 3.0, 0.0};
    using WritePoint = int (*)(const double*);
    using ReadPoint = int (*)(double*);
    const struct {
        const char* name;
        WritePoint write;
        ReadPoint read;
        int size;
    } pointForms[] = {{"2RD", adBitWriteRaw2D, adBitReadRaw2D, 2},
                      {"point 2D", adBitWritePoint2D, adBitReadRaw2D, 2},
                      {"3BD", adBitWrite3D, adBitRead3D, 3},
                      {"optional double", adBitWriteOptionalDouble, adBitReadOptionalDouble, 3}};
    for (const auto& form : pointForms)
        for (const double* point : {p, q}) {
            fields.push_back({form.name, [=] { return form.write(point); }, [=] {
                                  double got[3] = {9, 9, 9};
                                  EXPECT_EQ(form.read(got), 1);
                                  for (int i = 0; i < form.size; ++i) EXPECT_EQ(got[i], point[i]);
                              }});
        }
    for (const double* start : {p, flat}) {
        fields.push_back({"DD point", [=] { return adBitWriteDefPoint3D(q, start); }, [=] {
                              double got[3];
                              EXPECT_EQ(adBitReadDefPoint3D(got, start), 1);
                              for (int i = 0; i < 3; ++i) EXPECT_EQ(got[i], q[i]);
                          }});
        fields.push_back({"flagged points", [=] { return adBitWriteFlaggedPoints(start, q); }, [=] {
                              double s[3], e[3];
                              EXPECT_EQ(adBitReadFlaggedPoints(s, e), 1);
                              for (int i = 0; i < 3; ++i) {
                                  EXPECT_EQ(s[i], start[i]);
                                  EXPECT_EQ(e[i], q[i]);
                              }
                          }});
    }
    for (const std::string& text : {std::string(), std::string("LAYER \xE4\xF6"), std::string(300, 'x')})
        fields.push_back({"text of " + std::to_string(text.size()), [=] { return adBitWriteText(text.c_str()); },
                          [=] {
                              char got[301];
                              EXPECT_EQ(adBitReadText(got, sizeof got), static_cast<std::int32_t>(text.size()));
                              EXPECT_EQ(std::string(got), text);
                          }});
    for (int length = 0; length <= 8; ++length) {
        const AdHandle h = handleOf(length == 0 ? 0 : (0x81ull << (8 * (length - 1))) | 0x7);
        for (std::uint8_t kind = 1; kind <= 4; ++kind)
            fields.push_back({"handle of " + std::to_string(length) + " kind " + std::to_string(kind),
                              [=] {
                                  const AdHandleEntry e{h, kind};
                                  return adBitWriteHandleRef(&e);
                              },
                              [=] {
                                  AdHandleEntry got{};
                                  EXPECT_EQ(adBitReadHandleRef(&got), length);
                                  EXPECT_EQ(valueOf(got.handle), valueOf(h));
                                  EXPECT_EQ(got.flag, kind);
                              }});
    }
    std::vector<std::uint8_t> run(300);
    for (std::size_t i = 0; i < run.size(); ++i) run[i] = static_cast<std::uint8_t>(i * 7 + 1);
    fields.push_back({"raw bytes", [=] { return adBitWriteBytes(run.data(), 300); }, [=] {
                          std::vector<std::uint8_t> got(300);
                          EXPECT_EQ(adBitReadBytes(got.data(), 300), 1);
                          EXPECT_EQ(got, run);
                      }});
}

TEST_F(BitEncodingTest, EveryWriterReadsBackAtEveryBitOffset) {
    std::vector<Field> fields;
    addFields(fields);
    for (int offset = 0; offset < 8; ++offset) {
        SCOPED_TRACE(offset);
        ASSERT_EQ(adBitBufferReset(drawing_.get(), 0), 1);
        for (int i = 0; i < offset; ++i) ASSERT_EQ(adBitWriteBit(1), 1);
        for (const Field& f : fields) ASSERT_EQ(f.write(), 1) << f.name;
        readBack();
        for (int i = 0; i < offset; ++i) ASSERT_EQ(adBitReadBit(), 1);
        for (const Field& f : fields) {
            SCOPED_TRACE(f.name);
            f.check();
        }
        EXPECT_EQ(bits_.failed, 0);
        // What is left is padding of the last byte at most.
        EXPECT_EQ(adBitReadByte(), 0);
        EXPECT_EQ(bits_.failed, 1);
    }
}

}  // namespace
