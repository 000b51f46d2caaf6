// The handle index tree: splits, borrows and merges that keep every record
// with its handle, duplicates and failed allocations that leave it as it was,
// agreement with a map under random operations, and its node cache.
#include "toolkit/ad.h"
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "toolkit/db/handle_index_node.h"
#include "toolkit/db/handle_values.h"
#include "toolkit/db/host_fault.h"
#include "toolkit/db/scratch_state.h"

namespace {

using Keys = std::vector<std::uint64_t>;

void* Rec(std::uint64_t n) { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(n)); }

std::int32_t lastFatalCondition = 0;
int RecordFatal(std::int32_t condition) {
    lastFatalCondition = condition;
    return 0;
}

class HandleIndex : public ::testing::Test {
protected:
    HandleIndex() {
        state.get()->hooks.fatalError = RecordFatal;
        lastFatalCondition = 0;
    }
    ~HandleIndex() override {
        HostFailAllocationAfter(-1);
        adHandleIndexFree(d.get());
    }

    int Insert(std::uint64_t n, std::uint64_t record) {
        const AdHandle h = H(n);
        return adHandleIndexInsert(d.get(), &h, Rec(record));
    }
    int Insert(std::uint64_t n) { return Insert(n, n); }
    int Delete(std::uint64_t n) {
        const AdHandle h = H(n);
        return adHandleIndexDelete(d.get(), &h);
    }
    void* Find(std::uint64_t n) {
        const AdHandle h = H(n);
        return adHandleIndexFind(d.get(), &h);
    }
    void InsertRange(std::uint64_t first, std::uint64_t last) {
        for (std::uint64_t n = first; n <= last; ++n) ASSERT_EQ(Insert(n), 1) << n;
    }

    AdIndexNode Read(AdIndexNode* node) {
        AdIndexNode image;
        adIndexNodeRead(&d->handleIndex, node, &image);
        return image;
    }
    Keys NodeKeys(AdIndexNode* node) {
        const AdIndexNode image = Read(node);
        Keys keys;
        for (int i = 0; i < image.count; ++i) keys.push_back(V(image.entries[i].handle));
        return keys;
    }
    AdIndexNode* Child(AdIndexNode* node, int i) { return Read(node).children[i]; }
    AdIndexNode* Root() { return d->handleIndex.root; }

    // Walks the whole tree through the cache: every node but the root holds
    // 11..22 entries, keys rise strictly and stay between their separators,
    // all leaves sit at one depth. Appends the keys in order.
    ::testing::AssertionResult Walk(AdIndexNode* node, int depth, bool root, const AdHandle* low,
                                    const AdHandle* high, int* leafDepth, Keys* keys) {
        const AdIndexNode image = Read(node);
        const int minimum = root ? 1 : AD_INDEX_MIN_ENTRIES;
        if (image.count < minimum || image.count > AD_INDEX_MAX_ENTRIES)
            return ::testing::AssertionFailure() << "node at depth " << depth << " holds " << image.count;
        const bool leaf = image.children[0] == nullptr;
        for (int i = 0; i <= image.count; ++i) {
            if ((image.children[i] == nullptr) != leaf)
                return ::testing::AssertionFailure() << "mixed leaf and inner children at depth " << depth;
        }
        if (leaf) {
            if (*leafDepth < 0) *leafDepth = depth;
            if (*leafDepth != depth) return ::testing::AssertionFailure() << "leaves at depths " << *leafDepth << ", " << depth;
        }
        for (int i = 0; i <= image.count; ++i) {
            const AdHandle* below = i == 0 ? low : &image.entries[i - 1].handle;
            const AdHandle* above = i == image.count ? high : &image.entries[i].handle;
            if (below && above && adHandleCompare(below, above) >= 0)
                return ::testing::AssertionFailure() << "keys out of order at depth " << depth;
            if (!leaf) {
                auto result = Walk(image.children[i], depth + 1, false, below, above, leafDepth, keys);
                if (!result) return result;
            }
            if (i < image.count) keys->push_back(V(image.entries[i].handle));
        }
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult Consistent(Keys* keys) {
        keys->clear();
        if (!Root()) return ::testing::AssertionSuccess();
        int leafDepth = -1;
        return Walk(Root(), 0, true, nullptr, nullptr, &leafDepth, keys);
    }
    Keys AllKeys() {
        Keys keys;
        EXPECT_TRUE(Consistent(&keys));
        return keys;
    }

    static Keys Range(std::uint64_t first, std::uint64_t last) {
        Keys keys;
        for (std::uint64_t n = first; n <= last; ++n) keys.push_back(n);
        return keys;
    }

    ScratchState state;
    std::unique_ptr<AdDrawing> d = std::make_unique<AdDrawing>();
};

TEST_F(HandleIndex, EmptyIndexFindsNothingAndDeletesNothing) {
    EXPECT_EQ(Find(1), nullptr);
    EXPECT_EQ(Delete(1), 4);
    EXPECT_EQ(Root(), nullptr);
}

TEST_F(HandleIndex, TwentyThreeAscendingInsertsSplitTheRootOnce) {
    InsertRange(1, 22);
    EXPECT_EQ(NodeKeys(Root()), Range(1, 22));
    EXPECT_EQ(Child(Root(), 0), nullptr);

    ASSERT_EQ(Insert(23), 1);
    EXPECT_EQ(NodeKeys(Root()), Keys{12});
    EXPECT_EQ(NodeKeys(Child(Root(), 0)), Range(1, 11));
    EXPECT_EQ(NodeKeys(Child(Root(), 1)), Range(13, 23));
    for (std::uint64_t n = 1; n <= 23; ++n) EXPECT_EQ(Find(n), Rec(n)) << n;
    EXPECT_EQ(Find(24), nullptr);
    EXPECT_EQ(V(state.get()->highestHandle), 23u);
}

TEST_F(HandleIndex, DuplicateAnswers2AndNamesTheHandle) {
    ASSERT_EQ(Insert(0x1234, 1), 1);
    EXPECT_EQ(Insert(0x1234, 2), 2);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_INDEX_DUPLICATE);
    EXPECT_EQ(V(state.get()->offendingHandle), 0x1234u);
    EXPECT_EQ(Find(0x1234), Rec(1));
}

TEST_F(HandleIndex, HighestHandleOnlyRises) {
    ASSERT_EQ(Insert(0x500), 1);
    ASSERT_EQ(Insert(0x20), 1);
    ASSERT_EQ(Delete(0x500), 1);
    EXPECT_EQ(V(state.get()->highestHandle), 0x500u);
}

TEST_F(HandleIndex, UnderflowBorrowsFromARightSiblingWith12) {
    InsertRange(1, 24);  // leaves 1..11 | 12 | 13..24
    ASSERT_EQ(Delete(1), 1);
    EXPECT_EQ(NodeKeys(Root()), Keys{13});
    EXPECT_EQ(NodeKeys(Child(Root(), 0)), Range(2, 12));
    EXPECT_EQ(NodeKeys(Child(Root(), 1)), Range(14, 24));
    EXPECT_EQ(Find(12), Rec(12));
    EXPECT_EQ(Find(13), Rec(13));
}

TEST_F(HandleIndex, UnderflowBorrowsFromALeftSiblingWith12) {
    InsertRange(101, 123);  // leaves 101..111 | 112 | 113..123
    ASSERT_EQ(Insert(100), 1);
    ASSERT_EQ(Delete(123), 1);
    EXPECT_EQ(NodeKeys(Root()), Keys{111});
    EXPECT_EQ(NodeKeys(Child(Root(), 0)), Range(100, 110));
    EXPECT_EQ(NodeKeys(Child(Root(), 1)), Range(112, 122));
}

TEST_F(HandleIndex, SiblingsOf11MergeAndTheParentLosesAnEntry) {
    InsertRange(1, 35);  // leaves 1..11 | 12 | 13..23 | 24 | 25..35
    ASSERT_EQ(NodeKeys(Root()), (Keys{12, 24}));
    AdIndexNode* first = Child(Root(), 0);
    AdIndexNode* middle = Child(Root(), 1);

    ASSERT_EQ(Delete(13), 1);
    EXPECT_EQ(NodeKeys(Root()), Keys{12});
    EXPECT_EQ(Child(Root(), 0), first);
    EXPECT_EQ(Child(Root(), 1), middle);
    Keys merged = Range(14, 35);
    EXPECT_EQ(NodeKeys(middle), merged);
    for (std::uint64_t n : merged) EXPECT_EQ(Find(n), Rec(n)) << n;
}

TEST_F(HandleIndex, TheLastChildMergesWithItsLeftSibling) {
    InsertRange(1, 23);
    ASSERT_EQ(Delete(23), 1);
    EXPECT_EQ(NodeKeys(Root()), Range(1, 22));
    EXPECT_EQ(Child(Root(), 0), nullptr);
}

TEST_F(HandleIndex, AnEmptiedRootGivesWayToItsOnlyChild) {
    InsertRange(1, 23);
    AdIndexNode* left = Child(Root(), 0);
    ASSERT_EQ(Delete(5), 1);
    EXPECT_EQ(Root(), left);
    Keys expected = Range(1, 23);
    expected.erase(expected.begin() + 4);
    EXPECT_EQ(NodeKeys(Root()), expected);
    EXPECT_EQ(AllKeys(), expected);
}

TEST_F(HandleIndex, DeletingAnInnerEntryKeepsRecordsWithTheirHandles) {
    InsertRange(1, 35);
    ASSERT_EQ(Delete(12), 1);  // a separator: its predecessor 11 takes its place
    EXPECT_EQ(Find(12), nullptr);
    Keys expected = Range(1, 35);
    expected.erase(expected.begin() + 11);
    EXPECT_EQ(AllKeys(), expected);
    for (std::uint64_t n : expected) EXPECT_EQ(Find(n), Rec(n)) << n;
    EXPECT_EQ(Delete(12), 4);
}

TEST_F(HandleIndex, DeletingEverythingEmptiesTheTree) {
    InsertRange(1, 300);
    for (std::uint64_t n = 300; n >= 1; --n) ASSERT_EQ(Delete(n), 1) << n;
    EXPECT_EQ(Root(), nullptr);
    ASSERT_EQ(Insert(7), 1);
    EXPECT_EQ(Find(7), Rec(7));
}

TEST_F(HandleIndex, AFailedNodeAllocationLeavesTheIndexAsItWas) {
    // 286 ascending handles leave a full root over a full rightmost leaf, so
    // the next insert needs three nodes: two halves and a new root.
    InsertRange(1, 286);
    ASSERT_EQ(Read(Root()).count, AD_INDEX_MAX_ENTRIES);
    const Keys before = AllKeys();
    int failures = 0;
    for (std::int32_t allowed = 0; allowed < 8; ++allowed) {
        HostFailAllocationAfter(allowed);
        state.get()->errorCode = 0;
        lastFatalCondition = 0;
        const int answer = Insert(287);
        HostFailAllocationAfter(-1);
        if (answer == 1) break;
        ++failures;
        EXPECT_EQ(answer, 0);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_INDEX_NODE_MEMORY);
        EXPECT_EQ(lastFatalCondition, AD_FATAL_NO_MEMORY);
        EXPECT_EQ(Find(287), nullptr);
        EXPECT_EQ(AllKeys(), before);
    }
    EXPECT_EQ(failures, 3);
    EXPECT_EQ(Find(287), Rec(287));
    EXPECT_EQ(Read(Root()).count, 1);
    EXPECT_EQ(AllKeys(), Range(1, 287));
}

TEST_F(HandleIndex, DeleteWithoutWorkMemoryAnswers5AndKeepsTheEntry) {
    InsertRange(1, 30);
    HostFailAllocationAfter(0);
    EXPECT_EQ(Delete(3), 5);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_INDEX_WORK_MEMORY);
    EXPECT_EQ(lastFatalCondition, AD_FATAL_NO_MEMORY);
    EXPECT_EQ(Find(3), Rec(3));
    EXPECT_EQ(AllKeys(), Range(1, 30));
}

// Random inserts, deletes and finds against std::map: the tree must answer
// the same and stay a valid B-tree while it grows and shrinks.
TEST_F(HandleIndex, AgreesWithAMapUnderRandomOperations) {
    std::mt19937_64 random(20240611);
    std::map<std::uint64_t, std::uint64_t> model;
    std::uint64_t highest = 0;
    constexpr int kOperations = 100000;
    for (int op = 0; op < kOperations; ++op) {
        // Spread small keys over all eight bytes so every byte position decides.
        const std::uint64_t key = (random() % 4000 + 1) * 0x9E3779B97F4A7C15ull;
        const std::uint64_t record = static_cast<std::uint64_t>(op) + 1;
        const unsigned roll = static_cast<unsigned>(random() % 100);
        const unsigned insertShare = op < kOperations / 2 ? 60 : 25;
        if (roll < insertShare) {
            const bool fresh = model.emplace(key, record).second;
            ASSERT_EQ(Insert(key, record), fresh ? 1 : 2) << "op " << op;
            if (fresh && key > highest) highest = key;
        } else if (roll < 85) {
            ASSERT_EQ(Delete(key), model.erase(key) ? 1 : 4) << "op " << op;
        } else {
            auto it = model.find(key);
            ASSERT_EQ(Find(key), it == model.end() ? nullptr : Rec(it->second)) << "op " << op;
        }
        if (op % 2500 == 0 || op == kOperations - 1) {
            Keys keys;
            ASSERT_TRUE(Consistent(&keys)) << "op " << op;
            Keys expected;
            for (const auto& [k, r] : model) expected.push_back(k);
            ASSERT_EQ(keys, expected) << "op " << op;
        }
    }
    for (const auto& [k, r] : model) ASSERT_EQ(Find(k), Rec(r));
    EXPECT_EQ(V(state.get()->highestHandle), highest);
    while (!model.empty()) {
        ASSERT_EQ(Delete(model.begin()->first), 1);
        model.erase(model.begin());
    }
    EXPECT_EQ(Root(), nullptr);
}

// The cache on its own, over nodes that are not part of any tree.
class HandleIndexCache : public ::testing::Test {
protected:
    static AdIndexNode Image(int tag) {
        AdIndexNode image{};
        image.count = static_cast<std::int16_t>(tag);
        return image;
    }
    void WriteAll(int count) {
        for (int i = 0; i < count; ++i) {
            const AdIndexNode image = Image(i + 1);
            adIndexNodeWrite(&index, &nodes[i], &image);
        }
    }
    int Tag(int i) {
        AdIndexNode image;
        adIndexNodeRead(&index, &nodes[i], &image);
        return image.count;
    }
    int SlotOf(int i) {
        for (int s = 0; s < AD_INDEX_CACHE_SLOTS; ++s) {
            if (index.cache[s].node == &nodes[i]) return s;
        }
        return -1;
    }

    AdHandleIndex index{};
    AdIndexNode nodes[AD_INDEX_CACHE_SLOTS + 1]{};
};

TEST_F(HandleIndexCache, WritesAreDeferredUntilTheLeastUsedSlotIsEvicted) {
    WriteAll(AD_INDEX_CACHE_SLOTS);
    for (int i = 0; i < AD_INDEX_CACHE_SLOTS; ++i) {
        EXPECT_EQ(nodes[i].count, 0) << i;  // memory still stale
        if (i != 5) {
            EXPECT_EQ(Tag(i), i + 1);
        }
    }
    const int victimSlot = SlotOf(5);

    const AdIndexNode image = Image(17);
    adIndexNodeWrite(&index, &nodes[16], &image);
    EXPECT_EQ(SlotOf(16), victimSlot);
    EXPECT_EQ(SlotOf(5), -1);
    EXPECT_EQ(nodes[5].count, 6);  // written back before the slot was reused
    EXPECT_EQ(Tag(5), 6);
    EXPECT_EQ(nodes[0].count, 0);
}

TEST_F(HandleIndexCache, SaturatedCountsStillYieldTheFirstSlot) {
    WriteAll(AD_INDEX_CACHE_SLOTS);
    for (AdIndexCacheSlot& slot : index.cache) slot.useCount = INT32_MAX;
    EXPECT_EQ(Tag(3), 4);
    EXPECT_EQ(index.cache[SlotOf(3)].useCount, INT32_MAX);

    const AdIndexNode image = Image(17);
    adIndexNodeWrite(&index, &nodes[16], &image);
    EXPECT_EQ(SlotOf(16), 0);
    EXPECT_EQ(nodes[0].count, 1);
}

TEST_F(HandleIndexCache, RewritingACachedNodeKeepsItsSlot) {
    WriteAll(3);
    const int slot = SlotOf(1);
    const AdIndexNode image = Image(42);
    adIndexNodeWrite(&index, &nodes[1], &image);
    EXPECT_EQ(SlotOf(1), slot);
    EXPECT_EQ(Tag(1), 42);
    EXPECT_EQ(nodes[1].count, 0);
}

}  // namespace
