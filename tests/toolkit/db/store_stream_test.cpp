// Store streams: block boundaries, appends, seeks, typed values, patches,
// streams used in the wrong direction, and memory failures that keep what was
// buffered.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstring>

#include "scratch_fixture.h"
#include "handle_values.h"
#include "scratch_state.h"
#include "store_bytes.h"

namespace {

class StoreStream : public ScratchFixture {};

struct BoundaryCase {
    std::int16_t blockSize;
    std::size_t bytes;
    std::int32_t blocks;
};

class StoreStreamBoundary : public StoreStream, public ::testing::WithParamInterface<BoundaryCase> {};

TEST_P(StoreStreamBoundary, FullBlocksAndAShortLastBlockReadBackInOrder) {
    const BoundaryCase c = GetParam();
    const auto bytes = Pattern(c.bytes);
    AdStore* store = adStoreCreate(c.blockSize);
    AdStream* s = adStreamOpenWrite(store);
    // Bytes one at a time for the first part, so both write paths cross blocks.
    const std::size_t single = c.bytes / 3;
    for (std::size_t i = 0; i < single; ++i) ASSERT_EQ(adStreamWriteByte(s, bytes[i]), 1);
    ASSERT_EQ(adStreamWrite(s, bytes.data() + single, static_cast<std::int32_t>(c.bytes - single)), 1);
    EXPECT_EQ(adStreamLength(s), static_cast<std::int32_t>(c.bytes));
    ASSERT_EQ(adStreamCloseWrite(s), 1);

    EXPECT_EQ(adStoreSize(store), static_cast<std::int32_t>(c.bytes));
    EXPECT_EQ(adListCount(store->chain), c.blocks);
    s = adStreamOpenRead(store);
    std::vector<std::uint8_t> back(c.bytes);
    for (std::size_t i = 0; i < single; ++i) ASSERT_EQ(adStreamReadByte(s, &back[i]), 1);
    if (c.bytes > single) {
        ASSERT_EQ(adStreamRead(s, back.data() + single, static_cast<std::int32_t>(c.bytes - single)), 1);
    }
    EXPECT_EQ(back, bytes);
    std::uint8_t extra = 0;
    EXPECT_EQ(adStreamReadByte(s, &extra), 0);
    adStreamCloseRead(s);
    adStoreFree(store);
}

INSTANTIATE_TEST_SUITE_P(Blocks, StoreStreamBoundary,
                         ::testing::Values(BoundaryCase{4096, 4096, 1}, BoundaryCase{4096, 4097, 2},
                                           BoundaryCase{4096, 0, 0}, BoundaryCase{128, 129, 2},
                                           BoundaryCase{128, 384, 3}, BoundaryCase{128, 1000, 8}));

struct AppendCase {
    std::int16_t blockSize;
    std::size_t first;
    std::size_t second;
};

class StoreStreamAppend : public StoreStream, public ::testing::WithParamInterface<AppendCase> {};

TEST_P(StoreStreamAppend, ContinuesAfterTheLastStoredByte) {
    const AppendCase c = GetParam();
    const auto first = Pattern(c.first, 1);
    const auto second = Pattern(c.second, 9);
    AdStore* store = StoreWith(first, c.blockSize);
    AdStream* s = adStreamOpenAppend(store);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(adStreamLength(s), static_cast<std::int32_t>(c.first));
    ASSERT_TRUE(WriteAll(s, second));
    ASSERT_EQ(adStreamCloseAppend(s), 1);

    auto expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(adStoreSize(store), static_cast<std::int32_t>(expected.size()));
    EXPECT_EQ(ReadAll(store), expected);
    adStoreFree(store);
}

INSTANTIATE_TEST_SUITE_P(Sizes, StoreStreamAppend,
                         ::testing::Values(AppendCase{4096, 5000, 4000}, AppendCase{4096, 4096, 1},
                                           AppendCase{4096, 0, 10}, AppendCase{128, 300, 500},
                                           AppendCase{128, 256, 0}));

TEST_F(StoreStream, AppendToANeverWrittenStoreWritesAfresh) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    ASSERT_EQ(store->chain, nullptr);
    AdStream* s = adStreamOpenAppend(store);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(WriteAll(s, Pattern(10)));
    ASSERT_EQ(adStreamCloseAppend(s), 1);
    EXPECT_EQ(ReadAll(store), Pattern(10));
    adStoreFree(store);
}

TEST_F(StoreStream, WritingAgainReplacesTheContents) {
    AdStore* store = StoreWith(Pattern(9000));
    AdStream* s = adStreamOpenWrite(store);
    EXPECT_EQ(adStoreSize(store), 0);
    ASSERT_TRUE(WriteAll(s, Pattern(5, 40)));
    ASSERT_EQ(adStreamCloseWrite(s), 1);
    EXPECT_EQ(ReadAll(store), Pattern(5, 40));
    EXPECT_EQ(adListCount(store->chain), 1);
    adStoreFree(store);
}

TEST_F(StoreStream, AShortReadConsumesNothing) {
    AdStore* store = StoreWith(Pattern(9));
    AdStream* s = adStreamOpenRead(store);
    std::uint8_t buffer[10] = {};
    EXPECT_EQ(adStreamRead(s, buffer, 10), 0);
    EXPECT_EQ(adStreamTell(s), 0);
    ASSERT_EQ(adStreamRead(s, buffer, 9), 1);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 9), Pattern(9));
    EXPECT_EQ(adStreamRead(s, buffer, 1), 0);
    adStreamCloseRead(s);
    adStoreFree(store);
}

struct SeekCase {
    const char* name;
    std::int32_t readFirst;  // bytes read before seeking
    std::int32_t target;
    int result;
};

class StoreStreamSeek : public StoreStream, public ::testing::WithParamInterface<SeekCase> {};

TEST_P(StoreStreamSeek, LandsOnTheTargetByte) {
    const SeekCase c = GetParam();
    const auto bytes = Pattern(300);
    AdStore* store = StoreWith(bytes, 128);
    AdStream* s = adStreamOpenRead(store);
    std::vector<std::uint8_t> skipped(static_cast<std::size_t>(c.readFirst) + 1);
    ASSERT_EQ(adStreamRead(s, skipped.data(), c.readFirst), 1);

    ASSERT_EQ(adStreamSeek(s, c.target), c.result);
    if (c.result == 1) {
        EXPECT_EQ(adStreamTell(s), c.target);
        std::uint8_t byte = 0;
        if (c.target < 300) {
            ASSERT_EQ(adStreamReadByte(s, &byte), 1);
            EXPECT_EQ(byte, bytes[static_cast<std::size_t>(c.target)]);
            std::vector<std::uint8_t> rest(static_cast<std::size_t>(299 - c.target));
            ASSERT_EQ(adStreamRead(s, rest.data(), static_cast<std::int32_t>(rest.size())), 1);
            EXPECT_TRUE(std::equal(rest.begin(), rest.end(), bytes.begin() + c.target + 1));
        }
        EXPECT_EQ(adStreamReadByte(s, &byte), 0);
    } else {
        EXPECT_EQ(adStreamTell(s), c.readFirst);
    }
    adStreamCloseRead(s);
    adStoreFree(store);
}

INSTANTIATE_TEST_SUITE_P(Paths, StoreStreamSeek,
                         ::testing::Values(SeekCase{"ForwardInLoadedBlock", 10, 100, 1},
                                           SeekCase{"BackInLoadedBlock", 200, 130, 1},
                                           SeekCase{"BackToAnEarlierBlock", 200, 5, 1},
                                           SeekCase{"ForwardToALaterBlock", 10, 290, 1},
                                           SeekCase{"FromAnEmptyBuffer", 128, 127, 1},
                                           SeekCase{"ToABlockStart", 0, 256, 1},
                                           SeekCase{"ToTheLength", 10, 300, 1},
                                           SeekCase{"BeyondTheLength", 10, 301, 0},
                                           SeekCase{"Negative", 10, -1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoreStream, TellAndUnreadStepBackOverTheLastByte) {
    AdStore* store = StoreWith(Pattern(200), 128);
    AdStream* s = adStreamOpenRead(store);
    EXPECT_EQ(adStreamUnreadByte(s, 0x55), 0);  // nothing before the first byte
    std::uint8_t buffer[3];
    ASSERT_EQ(adStreamRead(s, buffer, 3), 1);
    EXPECT_EQ(adStreamTell(s), 3);
    ASSERT_EQ(adStreamUnreadByte(s, 0x55), 1);
    EXPECT_EQ(adStreamTell(s), 2);
    std::uint8_t byte = 0;
    ASSERT_EQ(adStreamReadByte(s, &byte), 1);
    EXPECT_EQ(byte, 0x55);

    // At the start of a freshly loaded block there is no byte to step back over.
    ASSERT_EQ(adStreamSeek(s, 128), 1);
    EXPECT_EQ(adStreamUnreadByte(s, 0x66), 0);
    EXPECT_EQ(adStreamTell(s), 128);
    adStreamCloseRead(s);
    adStoreFree(store);
}

TEST_F(StoreStream, InterleavedReadStreamsEachSeeTheirOwnBytes) {
    const auto bytes = Pattern(1000);
    AdStore* store = StoreWith(bytes, 128);
    AdStream* a = adStreamOpenRead(store);
    AdStream* b = adStreamOpenRead(store);
    ASSERT_EQ(adStreamSeek(b, 500), 1);
    std::vector<std::uint8_t> fromA(400), fromB(400);
    for (std::size_t i = 0; i < 400; i += 100) {
        ASSERT_EQ(adStreamRead(a, fromA.data() + i, 100), 1);
        ASSERT_EQ(adStreamRead(b, fromB.data() + i, 100), 1);
    }
    EXPECT_TRUE(std::equal(fromA.begin(), fromA.end(), bytes.begin()));
    EXPECT_TRUE(std::equal(fromB.begin(), fromB.end(), bytes.begin() + 500));
    adStreamCloseRead(a);
    adStreamCloseRead(b);
    adStoreFree(store);
}

TEST_F(StoreStream, TypedValuesRoundTrip) {
    AdStore* store = adStoreCreate(128);
    AdStream* w = adStreamOpenWrite(store);
    const std::int16_t shortValue = -1234;
    const std::int32_t longValue = -5;
    const double point2[2] = {1.5, -2.5};
    const double point3[3] = {3.0, 4.0, 5.0};
    const AdHandle handle = H(0x1234567890ABCDEFull);
    AdNameRecord name{};
    std::strcpy(name.name, "LAYER-0");
    name.handle = H(0x2A);
    ASSERT_EQ(adStreamWriteShort(w, &shortValue), 1);
    ASSERT_EQ(adStreamPutLong(w, longValue), 1);
    ASSERT_EQ(adStreamPutDouble(w, 0.25), 1);
    ASSERT_EQ(adStreamWritePoint2D(w, point2), 1);
    ASSERT_EQ(adStreamPutPoint3D(w, 3.0, 4.0, 5.0), 1);
    ASSERT_EQ(adStreamWriteHandle(w, &handle), 1);
    ASSERT_EQ(adStreamWriteByte(w, 1), 1);  // with the handle: a handle-list entry
    ASSERT_EQ(adStreamWriteNameRecord(w, &name), 1);
    ASSERT_EQ(adStreamWriteString(w, "text"), 1);
    ASSERT_EQ(adStreamWriteString(w, ""), 1);
    ASSERT_EQ(adStreamCloseWrite(w), 1);
    EXPECT_EQ(adStoreSize(store), 2 + 4 + 8 + 16 + 24 + 9 + 520 + 6 + 2);

    AdStream* r = adStreamOpenRead(store);
    std::int16_t s16 = 0;
    std::intptr_t slot = 0;
    double d = 0, p2[3] = {}, p3[3] = {};
    AdHandleEntry entry{};
    AdNameRecord nameBack{};
    char text[8];
    ASSERT_EQ(adStreamGetShort(r, &s16), 1);
    EXPECT_EQ(s16, shortValue);
    ASSERT_EQ(adStreamGetLong(r, &slot), 1);
    EXPECT_EQ(slot, -5);
    ASSERT_EQ(adStreamGetDouble(r, &d), 1);
    EXPECT_EQ(d, 0.25);
    ASSERT_EQ(adStreamGetDoubles(r, p2, 2), 1);
    EXPECT_EQ(p2[0], 1.5);
    EXPECT_EQ(p2[1], -2.5);
    ASSERT_EQ(adStreamReadPoint3D(r, p3), 1);
    EXPECT_EQ(0, std::memcmp(p3, point3, sizeof p3));
    ASSERT_EQ(adStreamReadHandleEntry(r, &entry), 1);
    EXPECT_EQ(V(entry.handle), V(handle));
    EXPECT_EQ(entry.flag, 1);
    ASSERT_EQ(adStreamReadNameRecord(r, &nameBack), 1);
    EXPECT_STREQ(nameBack.name, "LAYER-0");
    EXPECT_EQ(V(nameBack.handle), 0x2Au);
    ASSERT_EQ(adStreamReadString(r, text, 4), 1);
    EXPECT_STREQ(text, "text");
    ASSERT_EQ(adStreamReadString(r, text, 4), 1);
    EXPECT_STREQ(text, "");

    // At the end the get family leaves zeros and answers 0.
    d = 9.0;
    s16 = 9;
    EXPECT_EQ(adStreamGetDouble(r, &d), 0);
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(adStreamGetShort(r, &s16), 0);
    EXPECT_EQ(s16, 0);
    EXPECT_EQ(adStreamGetPoint3D(r, p3), 0);
    EXPECT_EQ(p3[0] + p3[1] + p3[2], 0.0);
    adStreamCloseRead(r);
    adStoreFree(store);
}

TEST_F(StoreStream, AStringLongerThanTheBufferIsRefused) {
    AdStore* store = adStoreCreate(128);
    AdStream* w = adStreamOpenWrite(store);
    adStreamWriteString(w, "HELLO");
    adStreamCloseWrite(w);
    AdStream* r = adStreamOpenRead(store);
    char text[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(adStreamReadString(r, text, 4), 0);
    EXPECT_EQ(fatal.conditions(), std::vector<std::int32_t>{AD_FATAL_BAD_STORED_DATA});
    EXPECT_EQ(text[0], 'x');
    adStreamCloseRead(r);
    adStoreFree(store);
}

TEST_F(StoreStream, NullStreamsSetTheReadOrWriteCode) {
    AdHandle handle{};
    AdNameRecord name{};
    AdHandleEntry entry{};
    AdGroupItem item{};
    struct Case {
        int (*call)(AdHandle*, AdNameRecord*, AdHandleEntry*, AdGroupItem*);
        std::int32_t code;
    };
    const Case cases[] = {
        {[](AdHandle* h, AdNameRecord*, AdHandleEntry*, AdGroupItem*) { return adStreamReadHandle(nullptr, h); },
         AD_ERR_STREAM_READ_NULL},
        {[](AdHandle*, AdNameRecord* n, AdHandleEntry*, AdGroupItem*) { return adStreamReadNameRecord(nullptr, n); },
         AD_ERR_STREAM_READ_NULL},
        {[](AdHandle*, AdNameRecord*, AdHandleEntry* e, AdGroupItem*) { return adStreamReadHandleEntry(nullptr, e); },
         AD_ERR_STREAM_READ_NULL},
        {[](AdHandle*, AdNameRecord*, AdHandleEntry*, AdGroupItem* g) { return adStreamReadGroupItem(nullptr, g); },
         AD_ERR_STREAM_READ_NULL},
        {[](AdHandle* h, AdNameRecord*, AdHandleEntry*, AdGroupItem*) { return adStreamWriteHandle(nullptr, h); },
         AD_ERR_STREAM_WRITE_NULL},
        {[](AdHandle*, AdNameRecord* n, AdHandleEntry*, AdGroupItem*) { return adStreamWriteNameRecord(nullptr, n); },
         AD_ERR_STREAM_WRITE_NULL},
        {[](AdHandle*, AdNameRecord*, AdHandleEntry*, AdGroupItem* g) { return adStreamWriteGroupItem(nullptr, g); },
         AD_ERR_STREAM_WRITE_NULL},
    };
    for (const Case& c : cases) {
        state.get()->errorCode = 0;
        EXPECT_EQ(c.call(&handle, &name, &entry, &item), 0);
        EXPECT_EQ(state.get()->errorCode, c.code);
    }
}

TEST_F(StoreStream, PatchOverwritesOnlyBytesInTheChain) {
    auto bytes = Pattern(300);
    AdStore* store = StoreWith(bytes, 128);
    const auto patch = Pattern(20, 77);
    ASSERT_EQ(adStorePatch(store, 120, patch.data(), 20), 1);  // across a block boundary
    std::copy(patch.begin(), patch.end(), bytes.begin() + 120);
    EXPECT_EQ(ReadAll(store), bytes);

    EXPECT_EQ(adStorePatch(store, 290, patch.data(), 11), 0);
    EXPECT_EQ(adStorePatch(store, -1, patch.data(), 2), 0);
    EXPECT_EQ(adStorePatch(store, 0, patch.data(), -1), 0);
    EXPECT_EQ(ReadAll(store), bytes);
    EXPECT_EQ(adStoreSize(store), 300);

    // Bytes still in an open write stream's buffer are not in the chain yet.
    AdStream* s = adStreamOpenAppend(store);
    EXPECT_EQ(adStorePatch(store, 299, patch.data(), 1), 0);
    adStreamCloseAppend(s);
    adStoreFree(store);
}

TEST_F(StoreStream, ReadAndWriteStreamsRefuseTheOtherDirection) {
    AdStore* store = StoreWith(Pattern(10));
    AdStream* r = adStreamOpenRead(store);
    EXPECT_EQ(adStreamWriteByte(r, 1), 0);
    EXPECT_EQ(adStreamWrite(r, "ab", 2), 0);
    adStreamCloseRead(r);
    AdStream* w = adStreamOpenAppend(store);
    EXPECT_EQ(adStreamRewind(w), 0);
    EXPECT_EQ(adStreamSeek(w, 0), 0);
    adStreamCloseAppend(w);
    EXPECT_EQ(ReadAll(store), Pattern(10));
    adStoreFree(store);
}

TEST_F(StoreStream, NoMemoryForAStoreCallsTheHookAndKeepsTheCode) {
    state.get()->errorCode = 77;
    HostFailAllocationAfter(0);
    EXPECT_EQ(adStoreCreate(AD_STORE_BLOCK_SIZE), nullptr);
    EXPECT_EQ(state.get()->errorCode, 77);
    EXPECT_EQ(fatal.conditions(), std::vector<std::int32_t>{AD_FATAL_NO_MEMORY});
}

TEST_F(StoreStream, NoMemoryForAStreamOrItsBufferFailsEveryOpen) {
    AdStream* (*const opens[])(AdStore*) = {adStreamOpenRead, adStreamOpenWrite, adStreamOpenAppend};
    for (auto open : opens) {
        for (std::int32_t n = 0; n < 2; ++n) {
            AdStore* store = StoreWith(Pattern(5000));
            state.get()->errorCode = 0;
            HostFailAllocationAfter(n);
            EXPECT_EQ(open(store), nullptr);
            EXPECT_EQ(state.get()->errorCode, AD_ERR_STREAM_MEMORY);
            HostFailAllocationAfter(-1);
            EXPECT_EQ(ReadAll(store), Pattern(5000));
            adStoreFree(store);
        }
    }
    EXPECT_EQ(fatal.conditions(), std::vector<std::int32_t>(6, AD_FATAL_NO_MEMORY));
}

TEST_F(StoreStream, AFailedBlockStoreKeepsTheBufferedBytes) {
    const auto bytes = Pattern(4200);
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* s = adStreamOpenWrite(store);
    // The buffer grows to a block, which fills but cannot be stored: the rest
    // is not taken.
    HostFailAllocationAfter(1);
    EXPECT_EQ(adStreamWrite(s, bytes.data(), 4200), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_RECORD_MEMORY_APPEND);
    EXPECT_EQ(adStreamLength(s), 4096);
    ASSERT_EQ(adStreamWrite(s, bytes.data() + 4096, 104), 1);

    // Closing fails while the last block cannot be stored; the stream is
    // released all the same and the store keeps the full block.
    HostFailAllocationAfter(0);
    EXPECT_EQ(adStreamCloseWrite(s), 0);
    HostFailAllocationAfter(-1);
    EXPECT_EQ(ReadAll(store), std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4096));
    adStoreFree(store);
}

// The buffer of a write stream grows with the bytes written: a growth that
// finds no memory takes no byte, keeps those written, and a later write
// carries on.
TEST_F(StoreStream, AFailedBufferGrowthTakesNothingAndKeepsTheBytesWritten) {
    const auto bytes = Pattern(3000);
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* s = adStreamOpenWrite(store);
    ASSERT_EQ(adStreamWrite(s, bytes.data(), 100), 1);
    HostFailAllocationAfter(0);
    EXPECT_EQ(adStreamWrite(s, bytes.data() + 100, 2900), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_STREAM_MEMORY);
    EXPECT_EQ(adStreamLength(s), 100);
    ASSERT_EQ(adStreamWrite(s, bytes.data() + 100, 2900), 1);
    ASSERT_EQ(adStreamCloseWrite(s), 1);
    EXPECT_EQ(ReadAll(store), bytes);
    adStoreFree(store);
}

}  // namespace
