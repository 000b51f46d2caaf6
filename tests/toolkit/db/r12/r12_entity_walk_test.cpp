// The walk over the entity lists of fixed-record DWG files: jumps between
// the sections, erased records, damaged records and the ends of a list.
#include <vector>
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dwg/dwg_read.h"
#include "toolkit/db/r12/r12_read.h"

#include "r12_entity_fixture.h"

namespace {

constexpr std::uint32_t kFromSection = 0x80000000u;

std::string circle(double r) { return record(3, 0, lead(0, 0).p2(0, 0).d(r)); }

class R12Walk : public R12EntityTest {
protected:
    // The x (LINE) or radius (CIRCLE) of each entity, 1000 + the type of
    // any other, until the walk answers 0; erased records are negative.
    std::vector<double> walk() {
        std::vector<double> seen;
        for (int i = 0; i < 20 && next(); ++i) {
            double value = 1000 + header.type;
            if (header.type == AD_ENTITY_LINE) value = data->line.start[0];
            if (header.type == AD_ENTITY_CIRCLE) value = data->circle.radius;
            seen.push_back(flag & AD_ENTITY_READ_SKIP ? -value : value);
        }
        return seen;
    }
};

struct JumpCase {
    const char* what;
    std::string entities;
    std::string extras;
    std::vector<double> seen;
    std::int32_t error;
};

TEST_F(R12Walk, JumpsAreFollowedOnlyToPlacesNotYetRead) {
    const std::int64_t afterJump = kLead + static_cast<std::int64_t>(line1009(1).size() + jumpRecord(0).size());
    const std::string sixteen(16, '\0');
    const JumpCase cases[] = {
        {"bit 31 jumps into the extras section and back", line1009(1) + jumpRecord(kFromSection | 0x10) + line1009(3),
         sixteen + circle(2) + jumpRecord(static_cast<std::uint32_t>(afterJump)), {1, 2, 3}, 0},
        {"a jump to itself", line1009(1) + jumpRecord(static_cast<std::uint32_t>(afterJump - 10)), "", {1},
         AD_ERR_DWG_ENTITY_CHAIN},
        {"a jump back to a record already read", line1009(1) + jumpRecord(kLead) + line1009(3), "", {1},
         AD_ERR_DWG_ENTITY_CHAIN},
        {"a jump past the end of the file", line1009(1) + jumpRecord(0x3FFFFFF), "", {1}, AD_ERR_DWG_ENTITY_CHAIN},
        {"a jump record too short for its address", line1009(1) + record(18, 0, Bytes()), "", {1},
         AD_ERR_DWG_ENTITY_CHAIN},
        {"a type without a record ends the list", line1009(1) + record(5, 0, lead(0, 0)) + line1009(3), "", {1}, 0},
        {"a record longer than the file ends the list", line1009(1) + line1009(2).substr(0, 20), "", {1}, 0},
        {"an erased record is handed back to be passed over", line1009(1) + std::string(1, '\x81') +
                                                                  line1009(2).substr(1) + line1009(3),
         "", {1, -2, 3}, 0},
    };
    for (const JumpCase& c : cases) {
        SCOPED_TRACE(c.what);
        open(AD_VERSION_AC1009, c.entities, "", c.extras);
        EXPECT_EQ(walk(), c.seen);
        EXPECT_EQ(adGlobals->errorCode, c.error);
        HostClose(d->file);
        d->file = nullptr;
    }
}

// A record whose flags announce more than it holds is passed over and noted;
// the walk goes on with the next record.
TEST_F(R12Walk, ShortRecordIsPassedOverAndNoted) {
    open(AD_VERSION_AC1009, line1009(1) + record(1, 0, lead(0, 0).p2(2, 0)) + line1009(3));
    EXPECT_EQ(walk(), (std::vector<double>{1, -2, 3}));
    ASSERT_EQ(d->loadErrorCount, 1);
    EXPECT_EQ(d->loadErrors[0].code, AD_ERR_R12_ENTITY_SHORT);
}

std::int32_t fatalSeen = 0;
int noteFatal(std::int32_t condition) {
    fatalSeen = condition;
    return 0;
}

// The cut text fills its field; the fields after it and the next record are
// read from where they are.
TEST_F(R12Walk, OverLongTextIsCutAndTheRecordStaysAligned) {
    const std::string longText(AD_ENTITY_TEXT_SIZE + 50, 'x');
    open(AD_VERSION_AC1009, record(7, 0, lead(0, 0x01).p2(1, 2).d(0.2).text(longText).d(0.5)) + line1009(3));
    adGlobals->hooks.fatalError = noteFatal;
    fatalSeen = 0;
    ASSERT_EQ(next(), 1);
    adGlobals->hooks.fatalError = nullptr;
    EXPECT_EQ(fatalSeen, AD_FATAL_BAD_STORED_DATA);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(std::string(data->text.text), longText.substr(0, AD_ENTITY_TEXT_SIZE - 1));
    EXPECT_EQ(data->text.fields.rotation, 0.5);
    ASSERT_EQ(next(), 1);
    EXPECT_EQ(data->line.start[0], 3.0);
}

// Inside a block, addresses count from the blocks section whatever bit 31
// says, and the list runs on past the entities section's end.
TEST_F(R12Walk, BlockListsJumpWithinTheBlocksSection) {
    const std::string before = line1009(1) + jumpRecord(0);
    const std::uint32_t target = static_cast<std::uint32_t>(before.size() + 16);
    const std::string blocks = line1009(1) + jumpRecord(kFromSection | target) + std::string(16, '\0') +
                               line1009(2) + record(13, 0, lead(0, 0));
    open(AD_VERSION_AC1009, line1009(9), blocks);
    d->dxfBlockOffset = 0;
    ASSERT_EQ(adR12BeginBlockEntities(d), 1);
    EXPECT_EQ(walk(), (std::vector<double>{1, 2, 1000 + AD_ENTITY_ENDBLK}));
    EXPECT_EQ(adGlobals->errorCode, 0);
}

// The entity-list reader drops what the walk marks erased and stores the rest.
TEST_F(R12Walk, ErasedRecordsAreLeftOutOfTheList) {
    AdReadOps ops{};
    ops.readEntity = adR12EntityNext;
    d->readOps = &ops;
    d->modelSpace = adListCreate();
    d->paperSpace = adListCreate();
    open(AD_VERSION_AC1009, std::string(1, '\x81') + line1009(1).substr(1) + circle(2));
    ASSERT_EQ(adReadEntityList(d, d->modelSpace, d->paperSpace, 1, 0), 1);
    ASSERT_EQ(adListCount(d->modelSpace), 1);
    ASSERT_EQ(adEntityRewind(d->modelSpace), 1);
    ASSERT_EQ(adEntityNext(d->modelSpace, &header, data.get()), 1);
    EXPECT_EQ(header.type, AD_ENTITY_CIRCLE);
    EXPECT_EQ(data->circle.radius, 2.0);
}

}  // namespace
