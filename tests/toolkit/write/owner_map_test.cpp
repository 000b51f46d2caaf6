// The owner map: dictionary entries, pairs noted while writing, first pair wins.
#include "toolkit/db/started_toolkit.h"
#include "output_file.h"
#include "drawing_text.h"

namespace {
class OwnerMap : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDxfReadOps();
    }
};

AdHandle handle(std::uint8_t low) { return AdHandle{{0, 0, 0, 0, 0, 0, 0, low}}; }

TEST_F(OwnerMap, OwnersComeFromDictionariesAndNotedPairs) {
    const std::string path = std::string(VT_TEST_DATA_DIR) + "/write/round_trip_entry.dxf";
    AdDrawing* drawing = adOpenDrawing(path.c_str(), 1, 0);
    ASSERT_NE(drawing, nullptr);
    OutputFile file(7, AD_FORMAT_DXF_ASCII);
    const AdHandle entity = handle(0x20);
    const AdHandle xdict = handle(0x90);
    const AdHandle other = handle(0x91);
    ASSERT_EQ(adNoteOwnedHandle(file.get(), &entity, &xdict), 1);
    ASSERT_EQ(adNoteOwnedHandle(file.get(), &other, &xdict), 1);
    AdOwnerMap map{};
    ASSERT_EQ(adBuildOwnerMap(drawing, file.get(), &map), 1);
    EXPECT_EQ(file.get()->pendingOwners, nullptr);
    AdHandle owner{};
    const AdHandle d = handle(0x0D);
    const AdHandle f = handle(0x0F);
    const AdHandle c = handle(0x0C);
    EXPECT_EQ(adOwnerMapFind(&map, &d, &owner), 1);
    EXPECT_EQ(hex(owner), "C");
    EXPECT_EQ(adOwnerMapFind(&map, &f, &owner), 1);
    EXPECT_EQ(hex(owner), "E");
    EXPECT_EQ(adOwnerMapFind(&map, &xdict, &owner), 1);
    EXPECT_EQ(hex(owner), "20") << "the first pair of a child wins";
    EXPECT_EQ(adOwnerMapFind(&map, &c, &owner), 0) << "the root has no owner";
    EXPECT_EQ(hex(owner), "0");
    EXPECT_EQ(hex(map.groupDictionary), "D");
    adOwnerMapFree(&map);
    adCloseDrawing(drawing);
}
}  // namespace
