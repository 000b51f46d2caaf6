// The start-up data: built-in fonts whole, data read through the default
// hooks, unusable data and failed allocations that keep nothing, and code page
// maps read on first use, shared, or tried again later.
#include "toolkit/ad.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/db/host_fault.h"
#include "toolkit/db/init_data_blob.h"
#include "toolkit/db/loaded_init_data.h"
#include "toolkit/db/temp_dir.h"

namespace {

std::vector<std::uint8_t> embeddedBytes() { return {adInitDataBytes, adInitDataBytes + adInitDataLength}; }

// Offsets of the parts of the embedded data.
std::size_t bannerEnd() {
    return static_cast<std::size_t>(std::find(adInitDataBytes, adInitDataBytes + adInitDataLength, 0) - adInitDataBytes) + 1;
}
std::size_t simplexIndexStart() { return bannerEnd() + 4 * AD_CODE_PAGE_MAP_COUNT; }
std::size_t gdtIndexStart() { return simplexIndexStart() + 6 * AD_SIMPLEX_SHAPE_COUNT + AD_SIMPLEX_SHAPE_BYTES; }
std::size_t frontEnd() { return gdtIndexStart() + 6 * AD_GDT_SHAPE_COUNT + AD_GDT_SHAPE_BYTES; }
std::size_t mapOffsetAt(int map) { return bannerEnd() + 4 * static_cast<std::size_t>(map); }

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
std::uint32_t get32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// Init data held by the test, served by hooks that report the end of the data
// as EOF and count how often the data is opened.
struct MemoryData {
    std::vector<std::uint8_t> bytes;
    std::size_t position = 0;
    int opens = 0;
};
MemoryData* memory = nullptr;

void* memoryOpen(const char*) {
    ++memory->opens;
    memory->position = 0;
    return memory;
}
int memoryGetc(void*) { return memory->position < memory->bytes.size() ? memory->bytes[memory->position++] : EOF; }
std::size_t memoryRead(void* buffer, std::size_t itemSize, std::size_t count, void*) {
    std::size_t left = memory->bytes.size() - memory->position;
    std::size_t length = std::min(left, itemSize * count);
    std::memcpy(buffer, memory->bytes.data() + memory->position, length);
    memory->position += length;
    return length / itemSize;
}
int memorySeek(void*, std::int64_t offset, int origin) {
    if (origin != 0 || offset < 0 || static_cast<std::uint64_t>(offset) > memory->bytes.size()) return -1;
    memory->position = static_cast<std::size_t>(offset);
    return 0;
}
int memoryClose(void*) { return 0; }
void* failingOpen(const char*) { return nullptr; }

class InitDataInMemory : public InitDataState {
protected:
    void SetUp() override {
        data_.bytes = embeddedBytes();
        memory = &data_;
        setInitHooks(memoryOpen, memoryGetc, memoryRead, memorySeek, memoryClose);
    }
    void TearDown() override {
        InitDataState::TearDown();
        memory = nullptr;
    }
    void expectNothingLoaded() {
        EXPECT_EQ(state_.get()->simplexIndex, nullptr);
        EXPECT_EQ(state_.get()->simplexShapes, nullptr);
        EXPECT_EQ(state_.get()->gdtIndex, nullptr);
        EXPECT_EQ(state_.get()->gdtShapes, nullptr);
        EXPECT_EQ(state_.get()->initData, nullptr);
        EXPECT_EQ(adCodePageMap(30), -1);
    }
    MemoryData data_;
};

// Walks one SHX shape from its name to its closing 0, following the pen of
// horizontal text. Answers the offset after the shape, or 0 when a command
// runs past the end of the bytes or uses an unknown code.
struct Walk {
    std::size_t end = 0;
    int x = 0;
    int y = 0;
};

Walk walkShape(const std::uint8_t* bytes, std::size_t length, std::size_t at) {
    static const int stepX[16] = {2, 2, 2, 1, 0, -1, -2, -2, -2, -2, -2, -1, 0, 1, 2, 2};
    static const int stepY[16] = {0, 1, 2, 2, 2, 2, 2, 1, 0, -1, -2, -2, -2, -2, -2, -1};
    Walk walk;
    auto next = [&](int& value) {
        if (at >= length) return false;
        value = bytes[at++];
        return true;
    };
    int c = 1;
    while (c != 0)
        if (!next(c)) return walk;
    int x2 = 0;  // doubled, as half steps occur
    int y2 = 0;
    bool skip = false;
    for (;;) {
        if (!next(c)) return walk;
        if (c == 0) break;
        int dx = 0, dy = 0, moves = 0;
        if (c >= 16) {
            dx = stepX[c & 15] * (c >> 4);
            dy = stepY[c & 15] * (c >> 4);
            moves = 1;
        } else if (c == 8) {
            int a, b;
            if (!next(a) || !next(b)) return walk;
            dx = 2 * static_cast<std::int8_t>(a);
            dy = 2 * static_cast<std::int8_t>(b);
            moves = 1;
        } else if (c == 9) {
            for (;;) {
                int a, b;
                if (!next(a) || !next(b)) return walk;
                if (a == 0 && b == 0) break;
                dx += 2 * static_cast<std::int8_t>(a);
                dy += 2 * static_cast<std::int8_t>(b);
            }
            moves = 1;
        } else if (c == 14) {
            skip = true;
            continue;
        } else if (c != 1 && c != 2) {
            return walk;  // the built-in fonts use no other codes
        }
        if (moves && !skip) {
            x2 += dx;
            y2 += dy;
        }
        skip = false;
    }
    walk.end = at;
    walk.x = x2 / 2;
    walk.y = y2 / 2;
    return walk;
}

struct FontCase {
    const char* name;
    int count;
    std::uint32_t length;
    AdShapeIndexEntry* AdGlobalState::*index;
    std::uint8_t* AdGlobalState::*shapes;
};

const FontCase kFonts[] = {
    {"SIMPLEX", AD_SIMPLEX_SHAPE_COUNT, AD_SIMPLEX_SHAPE_BYTES, &AdGlobalState::simplexIndex,
     &AdGlobalState::simplexShapes},
    {"GDT", AD_GDT_SHAPE_COUNT, AD_GDT_SHAPE_BYTES, &AdGlobalState::gdtIndex, &AdGlobalState::gdtShapes},
};

}  // namespace

using InitDataLoad = LoadedInitData;

TEST_F(InitDataLoad, BuiltInFontsAreWholeShapeFilesWithEveryPrintableCharacter) {
    EXPECT_EQ(adGlobals->errorCode, AD_OK);
    for (const FontCase& font : kFonts) {
        SCOPED_TRACE(font.name);
        const AdShapeIndexEntry* index = adGlobals->*font.index;
        const std::uint8_t* shapes = adGlobals->*font.shapes;
        ASSERT_NE(index, nullptr);
        ASSERT_NE(shapes, nullptr);
        // Shape 0 holds the font's name, above, below and modes.
        ASSERT_EQ(index[0].number, 0);
        EXPECT_STREQ(reinterpret_cast<const char*>(shapes), font.name);
        EXPECT_EQ(shapes[std::strlen(font.name) + 1], 21);

        std::vector<int> numbers;
        for (int i = 0; i < font.count; ++i) {
            if (i > 0) {
                ASSERT_GT(index[i].number, index[i - 1].number) << "index not sorted";
            }
            std::size_t next = i + 1 < font.count ? index[i + 1].offset : font.length;
            numbers.push_back(index[i].number);
            if (index[i].number == 0) continue;
            Walk walk = walkShape(shapes, font.length, index[i].offset);
            EXPECT_EQ(walk.end, next) << "shape " << index[i].number << " does not end where the next begins";
            if (index[i].number == 10) {
                EXPECT_LT(walk.y, 0) << "line feed must move down";
            } else {
                EXPECT_GT(walk.x, 0) << "shape " << index[i].number << " does not advance";
                EXPECT_EQ(walk.y, 0) << "shape " << index[i].number << " does not end on the baseline";
            }
        }
        std::vector<int> wanted = {10, 256, 257, 258};
        for (int c = 32; c <= 126; ++c) wanted.push_back(c);
        for (int c : wanted)
            EXPECT_TRUE(std::binary_search(numbers.begin(), numbers.end(), c)) << "no shape " << c;
    }
}

TEST_F(InitDataInMemory, DefaultHooksReadTheDataFromAFile) {
    TempDir dir;
    std::string path = dir.write("init.dat", std::string(data_.bytes.begin(), data_.bytes.end()));
    setInitHooks(nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(adLoadInitData(path.c_str()), 1);
    EXPECT_EQ(std::memcmp(adGlobals->gdtShapes, adInitDataBytes + gdtIndexStart() + 6 * AD_GDT_SHAPE_COUNT,
                          AD_GDT_SHAPE_BYTES),
              0);
    std::uint32_t unicode = 0;
    EXPECT_EQ(adCodePageToUnicode(30, 0x80, &unicode), 1);
    EXPECT_EQ(unicode, 0x20ACu);
}

TEST_F(InitDataInMemory, UnusableDataFailsAndKeepsNothing) {
    using Mutation = std::function<void(std::vector<std::uint8_t>&)>;
    struct Case {
        const char* what;
        Mutation mutate;
        std::int32_t error;
    };
    const Case cases[] = {
        {"banner without NUL", [](auto& b) { b.assign({'i', 'n', 'i', 't', '\n', 'H'}); }, AD_ERR_INIT_DATA_BANNER},
        {"empty data", [](auto& b) { b.clear(); }, AD_ERR_INIT_DATA_BANNER},
        {"banner not ending in H", [](auto& b) { b[bannerEnd() - 2] = 'X'; }, AD_ERR_INIT_DATA_BANNER},
        {"ends after the banner", [](auto& b) { b.resize(bannerEnd()); }, AD_ERR_INIT_DATA_OPEN},
        {"ends inside the GDT shapes", [](auto& b) { b.resize(frontEnd() - 1); }, AD_ERR_INIT_DATA_OPEN},
        {"index points past the shapes", [](auto& b) { put32(b, simplexIndexStart() + 6 * 5 + 2, AD_SIMPLEX_SHAPE_BYTES); },
         AD_ERR_INIT_DATA_OPEN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        data_.bytes = embeddedBytes();
        c.mutate(data_.bytes);
        EXPECT_EQ(adLoadInitData("blob"), 0);
        EXPECT_EQ(adGlobals->errorCode, c.error);
        expectNothingLoaded();
    }
}

TEST_F(InitDataInMemory, DataThatCannotBeOpenedFails) {
    std::string longName(AD_INIT_DATA_NAME_SIZE, 'n');
    EXPECT_EQ(adLoadInitData(longName.c_str()), 0);
    EXPECT_EQ(data_.opens, 0) << "a cut name would open another file";
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_INIT_DATA_OPEN);

    adSetInitOpenHook(failingOpen);
    EXPECT_EQ(adLoadInitData("blob"), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_INIT_DATA_OPEN);
    expectNothingLoaded();
}

TEST_F(InitDataInMemory, EveryAllocationFailureFailsCleanly) {
    int failures = 0;
    for (std::int32_t n = 0; n < 10; ++n) {
        HostFailAllocationAfter(n);
        int loaded = adLoadInitData("blob");
        HostFailAllocationAfter(-1);
        if (loaded) break;
        ++failures;
        EXPECT_EQ(adGlobals->errorCode, AD_ERR_INIT_DATA_OPEN);
        expectNothingLoaded();
    }
    EXPECT_EQ(failures, 5);  // the state record, two indexes and two shape arrays
    EXPECT_NE(adGlobals->simplexShapes, nullptr);
}

TEST_F(InitDataInMemory, MapsAreReadOnFirstUseAndSharedBetweenPages) {
    ASSERT_EQ(adLoadInitData("blob"), 1);
    EXPECT_EQ(data_.opens, 1);
    EXPECT_EQ(adCodePageMap(0), 0);
    EXPECT_EQ(adCodePageMap(1), 1);
    EXPECT_EQ(data_.opens, 1) << "maps 0 and 1 need no data";
    EXPECT_EQ(adCodePageMap(22), 34);
    EXPECT_EQ(data_.opens, 2);
    EXPECT_EQ(adCodePageMap(38), 34);
    EXPECT_TRUE(adIsLeadByte(38, 0x81));
    EXPECT_EQ(data_.opens, 2) << "pages 22 and 38 share one map";
    EXPECT_EQ(adCodePageMap(26), -1);
    EXPECT_EQ(data_.opens, 2) << "an absent map is not looked for";
}

TEST_F(InitDataInMemory, AMapThatCannotBeReadLeavesItsPageUnavailable) {
    using Mutation = std::function<void(std::vector<std::uint8_t>&)>;
    struct Case {
        const char* what;
        Mutation mutate;
    };
    // Map 34 (pages 22 and 38) is a double-byte map.
    const Case cases[] = {
        {"offset past the end", [](auto& b) { put32(b, mapOffsetAt(34), static_cast<std::uint32_t>(b.size() + 1)); }},
        {"data ends inside the map", [](auto& b) { b.resize(get32(b, mapOffsetAt(34)) + 300); }},
        {"codes out of order",
         [](auto& b) {
             std::size_t codes = get32(b, mapOffsetAt(34)) + 258;
             std::swap(b[codes], b[codes + 2]);
             std::swap(b[codes + 1], b[codes + 3]);
         }},
        {"single-byte code among the pairs",
         [](auto& b) {
             std::size_t codes = get32(b, mapOffsetAt(34)) + 258;
             b[codes + 1] = 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        data_.bytes = embeddedBytes();
        c.mutate(data_.bytes);
        ASSERT_EQ(adLoadInitData("blob"), 1);
        std::uint32_t unicode = 0;
        EXPECT_EQ(adCodePageMap(22), -1);
        EXPECT_EQ(adCodePageToUnicode(38, 0x8140, &unicode), 0);
        EXPECT_EQ(unicode, 0x8140u);
        EXPECT_EQ(adIsLeadByte(38, 0x81), 0);
        EXPECT_EQ(adCodePageMap(30), 27) << "other maps stay usable";
        adFreeCodePages();
    }
}

TEST_F(InitDataInMemory, AMapWithoutMemoryIsTriedAgainLater) {
    ASSERT_EQ(adLoadInitData("blob"), 1);
    for (std::int32_t n = 0; n < 2; ++n) {
        HostFailAllocationAfter(n);
        EXPECT_EQ(adCodePageMap(22), -1);
        HostFailAllocationAfter(-1);
    }
    EXPECT_EQ(adCodePageMap(22), 34);
    std::uint32_t unicode = 0;
    EXPECT_EQ(adCodePageToUnicode(22, 0x8140, &unicode), 1);
    EXPECT_EQ(unicode, 0x3000u);
}

TEST(HostInitData, ReadsTheEmbeddedData) {
    void* handle = HostInitOpen("ignored");
    ASSERT_NE(handle, nullptr);
    std::vector<std::uint8_t> start(8);
    EXPECT_EQ(HostInitRead(start.data(), 2, 4, handle), 4u);
    EXPECT_EQ(std::memcmp(start.data(), adInitDataBytes, 8), 0);
    EXPECT_EQ(HostInitGetc(handle), adInitDataBytes[8]);

    // Near the end a read stops early and counts only whole items.
    ASSERT_EQ(HostInitSeek(handle, 3, 2), 0);
    std::uint8_t tail[8] = {};
    EXPECT_EQ(HostInitRead(tail, 2, 4, handle), 1u);
    EXPECT_EQ(std::memcmp(tail, adInitDataBytes + adInitDataLength - 3, 3), 0);
    EXPECT_EQ(HostInitGetc(handle), 0) << "past the end";
    EXPECT_EQ(HostInitRead(tail, 1, 1, handle), 0u);
    EXPECT_EQ(HostInitClose(handle), 1);
    EXPECT_EQ(HostInitGetc(handle), adInitDataBytes[0]) << "closing rewinds";
}

TEST(HostInitData, SeekOrigins) {
    const std::int64_t length = adInitDataLength;
    struct Case {
        std::int64_t offset;
        int origin;
        int result;
        std::int64_t position;  // where the next byte is read from
    };
    const Case cases[] = {
        {10, 0, 0, 10},       {5, 1, 0, 105},           {4, 2, 0, length - 4}, {7, 9, 0, 100},
        {-1, 0, -1, 100},     {length + 1, 0, -1, 100}, {-101, 1, -1, 100},    {-1, 2, -1, 100},
        {INT64_MAX, 1, -1, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offset << " origin " << c.origin);
        void* handle = HostInitOpen(nullptr);
        ASSERT_EQ(HostInitSeek(handle, 100, 0), 0);
        EXPECT_EQ(HostInitSeek(handle, c.offset, c.origin), c.result);
        EXPECT_EQ(HostInitGetc(handle), adInitDataBytes[c.position]);
        HostInitClose(handle);
    }
}
