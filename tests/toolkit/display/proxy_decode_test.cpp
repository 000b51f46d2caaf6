// The bit-coded proxy data wrappers: values read back as the encoder wrote
// them, texts and byte runs cut to the caller's capacity and consumed whole,
// and failures once the data runs out.
#include "toolkit/db/bit_fixture.h"
#include "toolkit/display/proxy_decode.h"

#include <string>
#include <vector>

namespace {

using ProxyDecode = BitFixture;

TEST_F(ProxyDecode, ValuesWithinTheCallersCapacity) {
    const AdHandle handle = {{0, 0, 0, 0, 0, 0, 0x02, 0xA5}};
    const double point[3] = {1.5, -2.0, 1e10};
    const std::vector<std::uint8_t> blob = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_EQ(adEncodeBegin(drawing_.get()), 1);
    ASSERT_TRUE(adEncodeText("A long proxy text") && adEncodeBytes(blob.data(), 10) && adEncodeHandle(&handle) &&
                adEncodeLong(-5) && adEncodeShort(7) && adEncodeDouble(0.25) && adEncodePoint3D(point) &&
                adEncodeText("next"));
    std::int32_t bits = 0;
    AdStore* store = adEncodeEnd(drawing_.get(), &bits);
    ASSERT_NE(store, nullptr);

    AdBitStream* before = adGlobals->bitStream;
    ASSERT_EQ(adProxyOpen(drawing_.get(), store), 1);
    char text[8] = "xxxxxxx";
    EXPECT_EQ(adDecodeText(text, 7), 1);
    EXPECT_EQ(std::string(text), "A long") << "capacity 7 keeps 6 characters";
    std::uint8_t bytes[4] = {};
    std::int16_t length = 0;
    EXPECT_EQ(adDecodeBytes(bytes, 4, &length), 1);
    EXPECT_EQ(length, 10);
    EXPECT_EQ(bytes[3], 4);
    AdHandle h{};
    std::int32_t l = 0;
    std::int16_t s = 0;
    double d = 0.0, p[3] = {};
    EXPECT_EQ(adDecodeHandle(&h), 1);
    EXPECT_EQ(h.b[7], 0xA5);
    EXPECT_TRUE(adDecodeLong(&l) && l == -5);
    EXPECT_TRUE(adDecodeShort(&s) && s == 7);
    EXPECT_TRUE(adDecodeDouble(&d) && d == 0.25);
    EXPECT_TRUE(adDecodePoint3D(p) && p[2] == 1e10);
    char next[16];
    EXPECT_EQ(adDecodeText(next, sizeof next), 1);
    EXPECT_EQ(std::string(next), "next") << "the cut values were consumed whole";
    EXPECT_EQ(adDecodeLong(&l), 0) << "past the data";
    EXPECT_EQ(adProxyClose(drawing_.get()), 1);
    EXPECT_EQ(adGlobals->bitStream, before);
    adStoreFree(store);

    EXPECT_EQ(adProxyOpen(drawing_.get(), nullptr), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_STREAM_READ_NULL);
}

}  // namespace
