// The host's memory layer: overlapping moves copy as through a temporary
// buffer, and the fault injector fails the chosen allocation once.
#include "toolkit/ad.h"
#include "toolkit/db/host_fault.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct MoveCase {
    std::size_t destination;
    std::size_t source;
    std::size_t length;
};

class HostMemMoveCopies : public testing::TestWithParam<MoveCase> {};

// Lengths past 65,535 must move in full, overlapping or not.
TEST_P(HostMemMoveCopies, AsThroughATemporaryBuffer) {
    const MoveCase& c = GetParam();
    std::vector<std::uint8_t> bytes(80000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    std::vector<std::uint8_t> expected = bytes;
    const std::vector<std::uint8_t> temporary(bytes.begin() + c.source, bytes.begin() + c.source + c.length);
    std::copy(temporary.begin(), temporary.end(), expected.begin() + c.destination);

    EXPECT_EQ(HostMemMove(bytes.data() + c.destination, bytes.data() + c.source, c.length), 1);
    EXPECT_EQ(bytes, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostMemMoveCopies,
                         testing::Values(MoveCase{1, 0, 70000}, MoveCase{0, 1, 70000}, MoveCase{0, 9000, 65536},
                                         MoveCase{3, 0, 5}, MoveCase{0, 0, 0}));

TEST(HostFault, FailsTheChosenAllocationOnce) {
    HostFailAllocationAfter(2);
    void* first = HostAlloc(8);
    void* second = HostAlloc(8);
    void* third = HostAlloc(8);
    void* fourth = HostAlloc(8);
    HostFailAllocationAfter(-1);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(third, nullptr);
    EXPECT_NE(fourth, nullptr);
    for (void* block : {first, second, fourth}) EXPECT_EQ(HostFree(block), 1);
}

}  // namespace
