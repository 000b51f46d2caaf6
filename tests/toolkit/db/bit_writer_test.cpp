// The bit writer's chunks, the in-memory encoder, graphics blocks and the
// stream helpers that move bytes between stores and the bit coding.
#include "bit_fixture.h"
#include "toolkit/ad_internal.h"
#include "toolkit/db/temp_dir.h"

#include <cstdio>
#include <string>

#include <cstring>

namespace {

using BitWriterTest = BitFixture;

std::vector<std::uint8_t> storeBytes(AdStore* store) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(adStoreSize(store)));
    AdStream* in = adStreamOpenRead(store);
    EXPECT_EQ(adStreamRead(in, bytes.data(), static_cast<std::int32_t>(bytes.size())), 1);
    adStreamCloseRead(in);
    return bytes;
}

// Sets the reader over a whole store, refilling from a stream on it.
AdStream* readStore(AdBitStream& bits, AdStore* store) {
    bits = AdBitStream{};
    bits.bitMask = 0x100;
    bits.stream = adStreamOpenRead(store);
    bits.streamBytesLeft = adStoreSize(store);
    adGlobals->bitStream = &bits;
    return bits.stream;
}

// A full buffer goes out only when a further bit needs room, so a record of
// exactly one chunk is counted as 0x20000 bits in the buffer.
TEST_F(BitWriterTest, FullChunkFlushesOnTheNextBit) {
    for (int extraBits : {0, 1}) {
        SCOPED_TRACE(extraBits);
        ASSERT_EQ(adEncodeBegin(drawing_.get()), 1);
        for (std::int32_t i = 0; i < AD_BIT_CHUNK_SIZE; ++i) ASSERT_EQ(adBitWriteByte(static_cast<std::uint8_t>(i)), 1);
        EXPECT_EQ(bits_.pieceIndex, 0);
        if (extraBits) {
            ASSERT_EQ(adBitWriteBit(1), 1);
        }
        EXPECT_EQ(bits_.pieceIndex, extraBits);
        std::int32_t bitCount = 0;
        AdStore* store = adEncodeEnd(drawing_.get(), &bitCount);
        ASSERT_NE(store, nullptr);
        EXPECT_EQ(bitCount, 0x20000 + extraBits);
        const std::vector<std::uint8_t> bytes = storeBytes(store);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(AD_BIT_CHUNK_SIZE + extraBits));
        EXPECT_EQ(bytes[0x3FFF], 0xFF);
        if (extraBits) {
            EXPECT_EQ(bytes[0x4000], 0x80);
        }
        adStoreFree(store);
    }
}

// Encoded records span several chunks and read back through a stream.
TEST_F(BitWriterTest, EncodedRecordReadsBack) {
    const AdHandle h = handleOf(0x2A5);
    const double point[3] = {1.5, -2.0, 1e10};
    std::vector<std::uint8_t> blob(40000);
    for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<std::uint8_t>(i % 251);

    ASSERT_EQ(adEncodeBegin(drawing_.get()), 1);
    EXPECT_EQ(adEncodeShort(7), 1);
    EXPECT_EQ(adEncodeText("ACAD_PROXY"), 1);
    EXPECT_EQ(adEncodeBytes(blob.data(), static_cast<std::int32_t>(blob.size())), 1);
    EXPECT_EQ(adEncodeHandle(&h), 1);
    EXPECT_EQ(adEncodeLong(-5), 1);
    EXPECT_EQ(adEncodeDouble(0.25), 1);
    EXPECT_EQ(adEncodePoint3D(point), 1);
    EXPECT_EQ(adEncodeBytes(blob.data(), 0x10000), 0);
    std::int32_t bitCount = 0;
    AdStore* store = adEncodeEnd(drawing_.get(), &bitCount);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ((bitCount + 7) / 8, adStoreSize(store));
    EXPECT_EQ(adEncodeEnd(drawing_.get(), &bitCount), nullptr);

    AdStream* in = readStore(bits_, store);
    EXPECT_EQ(adBitReadShort(), 7);
    char text[32];
    EXPECT_EQ(adBitReadText(text, sizeof text), 10);
    EXPECT_STREQ(text, "ACAD_PROXY");
    EXPECT_EQ(adBitReadShort(), static_cast<std::int16_t>(blob.size()));
    std::vector<std::uint8_t> got(blob.size());
    EXPECT_EQ(adBitReadBytes(got.data(), static_cast<std::int32_t>(got.size())), 1);
    EXPECT_EQ(got, blob);
    AdHandleEntry ref{};
    EXPECT_EQ(adBitReadHandleRef(&ref), 2);
    EXPECT_EQ(valueOf(ref.handle), 0x2A5u);
    EXPECT_EQ(ref.flag, 1);  // soft pointer
    EXPECT_EQ(adBitReadLong(), -5);
    double d = 0, p[3] = {};
    EXPECT_EQ(adBitReadDouble(&d), 1);
    EXPECT_EQ(d, 0.25);
    EXPECT_EQ(adBitRead3D(p), 1);
    EXPECT_EQ(std::memcmp(p, point, sizeof p), 0);
    EXPECT_EQ(bits_.failed, 0);
    adStreamCloseRead(in);
    adStoreFree(store);
}

// A record bound for a file keeps its full chunks in the chunk store.
TEST_F(BitWriterTest, ChunksOfAFileRecordGoToTheChunkStore) {
    ASSERT_EQ(adBitBufferReset(drawing_.get(), 96), 1);
    EXPECT_EQ(bits_.startOffset, 96);
    std::vector<std::uint8_t> record(AD_BIT_CHUNK_SIZE + 1);
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(i % 251 + 1);
    ASSERT_EQ(adBitWriteBytes(record.data(), static_cast<std::int32_t>(record.size())), 1);
    EXPECT_EQ(bits_.pieceIndex, 1);
    EXPECT_EQ(writeBuffer_[0], record.back());
    EXPECT_EQ(adBitChunkFlush(drawing_.get(), 1), 1);
    EXPECT_EQ(adBitChunkFlush(drawing_.get(), AD_BIT_CHUNK_SIZE + 1), 0);
    EXPECT_EQ(adBitChunkFlush(drawing_.get(), -1), 0);
    ASSERT_EQ(adStreamCloseWrite(bits_.chunkStream), 1);
    bits_.chunkStream = nullptr;
    EXPECT_EQ(storeBytes(bits_.chunkStore), record);
}

TEST_F(BitWriterTest, WriterNeedsADrawingStreamAndABuffer) {
    AdDrawing bare{};
    EXPECT_EQ(adBitBufferReset(&bare, 0), 0);
    EXPECT_EQ(adEncodeBegin(&bare), 0);
    state_.get()->buffer128kB = nullptr;
    EXPECT_EQ(adBitBufferReset(drawing_.get(), 0), 0);
}

std::vector<std::uint8_t> le32(std::int32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}

AdStore* storeOf(const std::vector<std::uint8_t>& bytes) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(store);
    adStreamWrite(out, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    adStreamCloseWrite(out);
    return store;
}

// Header places, then commands that each start with their own length.
std::vector<std::uint8_t> graphicsBlock(const std::vector<std::int32_t>& commandLengths, std::int32_t extra = 0) {
    std::vector<std::uint8_t> block = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    for (std::int32_t length : commandLengths) {
        const std::vector<std::uint8_t> head = le32(length);
        block.insert(block.end(), head.begin(), head.end());
        for (std::int32_t i = 4; i < length; ++i) block.push_back(static_cast<std::uint8_t>(i));
    }
    block.resize(block.size() + static_cast<std::size_t>(extra), 0x11);
    return block;
}

TEST_F(BitWriterTest, GraphicsBlockGetsItsHeaderRebuilt) {
    const std::vector<std::uint8_t> block = graphicsBlock({12, 4, 600});
    AdStore* store = storeOf(block);
    ASSERT_EQ(adBitWriteBit(1), 1);
    EXPECT_EQ(adBitCopyStore(store), 1);
    readBack();
    EXPECT_EQ(adBitReadBit(), 1);
    const std::int32_t size = static_cast<std::int32_t>(block.size());
    EXPECT_EQ(adBitReadRawLong(), size);
    EXPECT_EQ(adBitReadRawLong(), size);
    EXPECT_EQ(adBitReadRawLong(), 3);
    std::vector<std::uint8_t> body(block.size() - 8);
    EXPECT_EQ(adBitReadBytes(body.data(), static_cast<std::int32_t>(body.size())), 1);
    EXPECT_TRUE(std::equal(body.begin(), body.end(), block.begin() + 8));
    adStoreFree(store);
}

TEST_F(BitWriterTest, MalformedGraphicsBlocksAreRefused) {
    const std::vector<std::uint8_t> cases[] = {
        graphicsBlock({12, 0, 8}),  // a zero length would never advance
        graphicsBlock({12, 3}),
        graphicsBlock({12}, 2),      // a command head cut short
        graphicsBlock({12, 20}, -4),  // the last command runs past the end
        {1, 2, 3, 4},                 // no room for the header
        graphicsBlock({-8, 12}),
    };
    for (const auto& block : cases) {
        SCOPED_TRACE(block.size());
        AdStore* store = storeOf(block);
        ASSERT_EQ(adBitBufferReset(drawing_.get(), 0), 1);
        EXPECT_EQ(adBitCopyStore(store), -1);
        EXPECT_EQ(bitsWritten(), 0);
        adStoreFree(store);
    }
    EXPECT_EQ(adBitCopyStore(nullptr), -1);
}

TEST_F(BitWriterTest, StreamTakesBytesFromTheBitReader) {
    std::vector<std::uint8_t> data(1300);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 13);
    ASSERT_EQ(adBitWriteBit(0), 1);
    ASSERT_EQ(adBitWriteBytes(data.data(), static_cast<std::int32_t>(data.size())), 1);
    readBack();
    EXPECT_EQ(adBitReadBit(), 0);

    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(store);
    EXPECT_EQ(adStreamCopyFromBits(out, 1300), 1);
    EXPECT_EQ(adStreamCopyFromBits(out, 1), 0);  // only padding is left
    ASSERT_EQ(adStreamCloseWrite(out), 1);
    EXPECT_EQ(storeBytes(store), data);
    adStoreFree(store);

    state_.get()->errorCode = 0;
    EXPECT_EQ(adStreamCopyFromBits(nullptr, 4), 0);
    EXPECT_EQ(state_.get()->errorCode, AD_ERR_STREAM_WRITE_NULL);
}

TEST_F(BitWriterTest, MlineElementsAndPointsGoThroughStreams) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(store);
    AdMlineElement element{};
    element.colour = 5;
    element.linetypeIndex = 0x7FFF;
    std::memset(element.spare, 0xAA, sizeof element.spare);
    element.offset = -0.5;
    EXPECT_EQ(adStreamWriteMlineElement(out, &element), 1);
    const double point[2] = {3.0, 4.0};
    EXPECT_EQ(adStreamWritePoint2D(out, point), 1);
    ASSERT_EQ(adStreamCloseWrite(out), 1);

    const std::vector<std::uint8_t> bytes = storeBytes(store);
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 4, bytes.begin() + 8), std::vector<std::uint8_t>(4, 0));
    AdStream* in = adStreamOpenRead(store);
    AdMlineElement back{};
    EXPECT_EQ(adStreamRead(in, &back, 16), 1);
    EXPECT_EQ(back.colour, 5);
    EXPECT_EQ(back.linetypeIndex, 0x7FFF);
    EXPECT_EQ(back.offset, -0.5);
    double p[2] = {};
    EXPECT_EQ(adStreamReadPoint2D(in, p), 1);
    EXPECT_EQ(p[0], 3.0);
    EXPECT_EQ(p[1], 4.0);
    EXPECT_EQ(adStreamReadPoint2D(in, p), 0);
    adStreamCloseRead(in);
    adStoreFree(store);

    state_.get()->errorCode = 0;
    EXPECT_EQ(adStreamWriteMlineElement(nullptr, &element), 0);
    EXPECT_EQ(state_.get()->errorCode, AD_ERR_STREAM_WRITE_NULL);
    EXPECT_EQ(adStreamReadPoint2D(nullptr, p), 0);
}

// A record begun for the output starts at the file's position, in an
// empty buffer; without a file there is nowhere to begin.
TEST_F(BitWriterTest, BufferBeginTakesTheFilePosition) {
    TempDir dir;
    const std::string path = dir.write("out.bin", std::string(100, 'x'));
    AdDrawing* d = drawing_.get();
    EXPECT_EQ(adBitBufferBegin(d), 0);
    d->file = HostOpenRead(path.c_str());
    ASSERT_NE(d->file, nullptr);
    ASSERT_EQ(HostSeek(d->file, 37, SEEK_SET), 0);
    ASSERT_EQ(adBitBufferBegin(d), 1);
    EXPECT_EQ(bits_.startOffset, 37);
    EXPECT_EQ(bits_.pieceIndex, 0);
    EXPECT_EQ(bits_.bytesLeft, AD_BIT_CHUNK_SIZE);
    EXPECT_EQ(bits_.bitMask, 0x100);
    EXPECT_EQ(bits_.chunkStore, nullptr);
    HostClose(d->file);
    d->file = nullptr;
}

}  // namespace
