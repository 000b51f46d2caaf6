// The record list: inserts, walks, the cursor, unlinked ranges and their
// reinsertion, misuse refused without change, and memory failures reported.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include "scratch_fixture.h"
#include "list_records.h"
#include "scratch_state.h"

namespace {

class RecordList : public ScratchFixture {};

enum class Insert { ChainFirst, After, Last, Before, BeforeCurrent, ChainAtNull };

struct InsertCase {
    const char* name;
    std::vector<int> start;
    Insert how;
    int position;  // index of the position record, and of the current record
    std::vector<int> expected;
    int currentValue;  // -1: no current record
};

class RecordListInsert : public RecordList, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(RecordListInsert, LinksTheChainAndKeepsTheCursor) {
    const InsertCase& c = GetParam();
    AdRecordList* list = adListCreate();
    for (int v : c.start) adListAppend(list, IntRecord(v));
    AdListRecord* at = Nth(list, c.position);
    adListSetCurrent(list, at);
    AdListRecord* chain = IntChain({7, 8, 9});
    std::int32_t n = 0;
    switch (c.how) {
        case Insert::ChainFirst: n = adListInsertChainFirst(list, chain); break;
        case Insert::After: n = adListInsertAfter(list, at, chain); break;
        case Insert::Last: n = adListInsertLast(list, chain); break;
        case Insert::Before: n = adListInsertBefore(list, at, chain); break;
        case Insert::BeforeCurrent: n = adListInsertBeforeCurrent(list, chain); break;
        case Insert::ChainAtNull: n = adListInsertChain(list, nullptr, chain); break;
    }
    EXPECT_EQ(n, 3);
    EXPECT_EQ(Values(list), c.expected);
    ASSERT_NE(adListCurrent(list), nullptr);
    EXPECT_EQ(IntOf(adListCurrent(list)), c.currentValue);
    adListFree(list);
}

INSTANTIATE_TEST_SUITE_P(
    Places, RecordListInsert,
    ::testing::Values(
        InsertCase{"IntoEmptyListFirstOfChainIsCurrent", {}, Insert::ChainAtNull, 0, {7, 8, 9}, 7},
        InsertCase{"AtTheFront", {1, 2, 3}, Insert::ChainFirst, 1, {7, 8, 9, 1, 2, 3}, 2},
        InsertCase{"AfterTheMiddle", {1, 2, 3}, Insert::After, 1, {1, 2, 7, 8, 9, 3}, 2},
        InsertCase{"AfterTheLast", {1, 2, 3}, Insert::After, 2, {1, 2, 3, 7, 8, 9}, 3},
        InsertCase{"AtTheEnd", {1, 2, 3}, Insert::Last, 0, {1, 2, 3, 7, 8, 9}, 1},
        InsertCase{"BeforeTheFirst", {1, 2, 3}, Insert::Before, 0, {7, 8, 9, 1, 2, 3}, 1},
        InsertCase{"BeforeTheLast", {1, 2, 3}, Insert::Before, 2, {1, 2, 7, 8, 9, 3}, 3},
        InsertCase{"BeforeTheCurrent", {1, 2, 3}, Insert::BeforeCurrent, 1, {1, 7, 8, 9, 2, 3}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordList, MisusedInsertsChangeNothing) {
    AdRecordList* list = IntList({1, 2});
    AdRecordList* other = IntList({5});
    AdListRecord* chain = IntChain({7});
    EXPECT_EQ(adListInsertChain(nullptr, nullptr, chain), -1);
    EXPECT_EQ(adListInsertAfter(list, adListFirst(other), chain), -2);
    EXPECT_EQ(adListInsertBefore(list, adListFirst(other), chain), -2);
    EXPECT_EQ(adListInsertLast(list, nullptr), 0);
    EXPECT_EQ(adListAppend(nullptr, chain), -1);
    EXPECT_EQ(adListAppend(list, nullptr), 0);
    adListSetCurrent(list, nullptr);
    EXPECT_EQ(adListInsertBeforeCurrent(list, chain), -1);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 2}));
    EXPECT_EQ(Values(other), (std::vector<int>{5}));
    FreeChain(chain);
    adListFree(list);
    adListFree(other);
}

TEST_F(RecordList, ReadNextWalksToTheEnd) {
    AdRecordList* list = IntList({4, 5});
    int value = 0;
    ASSERT_EQ(adListRewind(list), 1);
    ASSERT_EQ(adListReadNext(list, &value, sizeof value), 1);
    EXPECT_EQ(value, 4);
    ASSERT_EQ(adListReadNext(list, &value, sizeof value), 1);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(adListCurrent(list), nullptr);
    EXPECT_EQ(adListReadNext(list, &value, sizeof value), 0);
    adListFree(list);
}

TEST_F(RecordList, SetCurrentRefusesAForeignRecordAndAcceptsTheEnd) {
    AdRecordList* list = IntList({1, 2});
    AdRecordList* other = IntList({3});
    adListSetCurrent(list, Nth(list, 1));
    EXPECT_EQ(adListSetCurrent(list, adListFirst(other)), -1);
    EXPECT_EQ(adListCurrent(list), Nth(list, 1));
    EXPECT_EQ(adListSetCurrent(nullptr, nullptr), -1);
    EXPECT_EQ(adListSetCurrent(list, nullptr), 0);
    EXPECT_EQ(adListCurrent(list), nullptr);
    adListFree(list);
    adListFree(other);
}

struct UnlinkCase {
    const char* name;
    std::vector<int> start;
    int from;
    int to;
    int current;  // index of the current record before unlinking
    std::vector<int> remaining;
    std::vector<int> unlinked;
    int currentAfter;  // value of the current record after, -1 for none
};

class RecordListUnlink : public RecordList, public ::testing::WithParamInterface<UnlinkCase> {};

TEST_P(RecordListUnlink, JoinsTheNeighboursAndHandsBackAChain) {
    const UnlinkCase& c = GetParam();
    AdRecordList* list = adListCreate();
    for (int v : c.start) adListAppend(list, IntRecord(v));
    adListSetCurrent(list, Nth(list, c.current));
    AdListRecord* from = Nth(list, c.from);
    ASSERT_EQ(adListUnlinkRange(list, from, Nth(list, c.to)), from);
    EXPECT_EQ(Values(list), c.remaining);
    if (c.remaining.empty()) {
        EXPECT_EQ(adListFirst(list), nullptr);
        EXPECT_EQ(adListLast(list), nullptr);
    }
    EXPECT_EQ(adListCurrent(list) ? IntOf(adListCurrent(list)) : -1, c.currentAfter);

    // The unlinked records form a chain of their own that belongs to no list.
    std::vector<int> chain;
    EXPECT_EQ(from->previous, nullptr);
    for (AdListRecord* r = from; r; r = r->next) {
        EXPECT_EQ(r->list, nullptr);
        chain.push_back(IntOf(r));
    }
    EXPECT_EQ(chain, c.unlinked);
    FreeChain(from);
    adListFree(list);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, RecordListUnlink,
    ::testing::Values(UnlinkCase{"OnlyRecord", {1}, 0, 0, 0, {}, {1}, -1},
                      UnlinkCase{"Middle", {1, 2, 3}, 1, 1, 0, {1, 3}, {2}, 1},
                      UnlinkCase{"First", {1, 2, 3}, 0, 0, 2, {2, 3}, {1}, 3},
                      UnlinkCase{"Last", {1, 2, 3}, 2, 2, 0, {1, 2}, {3}, 1},
                      UnlinkCase{"LeadingRange", {1, 2, 3, 4}, 0, 1, 3, {3, 4}, {1, 2}, 4},
                      UnlinkCase{"Everything", {1, 2, 3}, 0, 2, 1, {}, {1, 2, 3}, -1},
                      UnlinkCase{"CurrentInsideMovesOn", {1, 2, 3, 4}, 1, 2, 2, {1, 4}, {2, 3}, 4},
                      UnlinkCase{"CurrentLastMovesToTheEnd", {1, 2, 3}, 2, 2, 2, {1, 2}, {3}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordList, UnlinkRefusesBadRanges) {
    AdRecordList* list = IntList({1, 2, 3});
    AdRecordList* other = IntList({9});
    AdRecordList* empty = adListCreate();
    EXPECT_EQ(adListUnlinkRange(list, Nth(list, 2), Nth(list, 0)), nullptr);  // end before start
    EXPECT_EQ(adListUnlinkRange(list, Nth(list, 0), adListFirst(other)), nullptr);
    EXPECT_EQ(adListUnlinkRange(list, nullptr, Nth(list, 0)), nullptr);
    EXPECT_EQ(adListUnlink(nullptr, Nth(list, 0)), nullptr);
    EXPECT_EQ(adListUnlinkLast(empty), nullptr);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 3}));
    adListFree(list);
    adListFree(other);
    adListFree(empty);
}

TEST_F(RecordList, UnlinkedRangeCanBeInsertedAgain) {
    AdRecordList* list = IntList({1, 2, 3, 4});
    AdListRecord* range = adListUnlinkRange(list, Nth(list, 1), Nth(list, 2));
    EXPECT_EQ(adListInsertLast(list, range), 2);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 4, 2, 3}));
    AdListRecord* last = adListUnlinkLast(list);
    EXPECT_EQ(IntOf(last), 3);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 4, 2}));
    HostFree(last);
    adListFree(list);
}

TEST_F(RecordList, InsertNewLinksByPosition) {
    AdRecordList* list = IntList({1, 2});
    AdListRecord* image = IntRecord(5);
    const std::size_t length = AD_LIST_LINKS_SIZE + sizeof(int);
    EXPECT_NE(adListInsertNew(image, length, list, AD_LIST_AT_FRONT, nullptr), nullptr);
    EXPECT_NE(adListInsertNew(image, length, list, AD_LIST_AT_END, nullptr), nullptr);
    EXPECT_NE(adListInsertNew(image, length, list, AD_LIST_BEFORE_REFERENCE, Nth(list, 2)), nullptr);
    EXPECT_EQ(Values(list), (std::vector<int>{5, 1, 5, 2, 5}));

    AdListRecord* loose = adListInsertNew(image, length, list, 7, nullptr);
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(loose->list, nullptr);
    EXPECT_EQ(IntOf(loose), 5);
    EXPECT_EQ(adListCount(list), 5);

    EXPECT_EQ(adListInsertNew(image, length, list, AD_LIST_BEFORE_REFERENCE, nullptr), nullptr);
    EXPECT_EQ(adListInsertNew(image, length, nullptr, AD_LIST_AT_END, nullptr), nullptr);
    EXPECT_EQ(adListInsertNew(image, AD_LIST_LINKS_SIZE - 1, list, AD_LIST_AT_END, nullptr), nullptr);
    EXPECT_EQ(adListCount(list), 5);
    HostFree(loose);
    HostFree(image);
    adListFree(list);
}

TEST_F(RecordList, AppendNewCopiesTheData) {
    AdRecordList* list = adListCreate();
    const int value = 42;
    AdListRecord* r = adListAppendNew(&value, sizeof value, list);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(Values(list), (std::vector<int>{42}));
    EXPECT_EQ(adListCurrent(list), r);
    adListFree(list);
}

TEST_F(RecordList, NoMemoryReportsTheCodeOfEachAllocation) {
    AdRecordList* list = IntList({1});
    AdListRecord* image = IntRecord(5);
    const int value = 3;
    struct Case {
        std::int32_t code;
        bool (*call)(AdRecordList*, AdListRecord*, const int*);
    };
    const Case cases[] = {
        {AD_ERR_LIST_MEMORY, [](AdRecordList*, AdListRecord*, const int*) { return adListCreate() == nullptr; }},
        {AD_ERR_RECORD_MEMORY_APPEND,
         [](AdRecordList* l, AdListRecord*, const int* v) { return adListAppendNew(v, sizeof *v, l) == nullptr; }},
        {AD_ERR_RECORD_MEMORY_INSERT,
         [](AdRecordList* l, AdListRecord* i, const int*) {
             return adListInsertNew(i, AD_LIST_LINKS_SIZE + sizeof(int), l, AD_LIST_AT_END, nullptr) == nullptr;
         }},
    };
    for (const Case& c : cases) {
        HostFailAllocationAfter(0);
        EXPECT_TRUE(c.call(list, image, &value));
        EXPECT_EQ(state.get()->errorCode, c.code);
    }
    EXPECT_EQ(fatal.conditions(), std::vector<std::int32_t>(3, AD_FATAL_NO_MEMORY));
    EXPECT_EQ(Values(list), (std::vector<int>{1}));
    HostFree(image);
    adListFree(list);
}

TEST_F(RecordList, FreeRecordsKeepsTheHeader) {
    AdRecordList* list = IntList({1, 2, 3});
    EXPECT_EQ(adListFreeRecords(list), 1);
    EXPECT_EQ(adListCount(list), 0);
    EXPECT_EQ(adListFirst(list), nullptr);
    EXPECT_EQ(adListCurrent(list), nullptr);
    EXPECT_EQ(adListLast(list), nullptr);
    EXPECT_EQ(adListAppend(list, IntRecord(4)), 1);
    EXPECT_EQ(Values(list), (std::vector<int>{4}));
    EXPECT_EQ(adListFree(list), 1);
    EXPECT_EQ(adListFree(nullptr), 0);
    EXPECT_EQ(adListFreeIfAny(nullptr), 1);
}

}  // namespace
