// Values of class entities that a save writes back: the reader must keep
// them, or a drawing read and saved again loses them (an OLE frame's last
// flag, the formats of a proxy's data).
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "dxf_groups.h"

namespace {

struct Case {
    const char* name;
    Groups entity;
    std::function<void(const AdEntityData&)> check;
};

using DxfWrittenBackValues = LoadingDxf;

TEST_F(DxfWrittenBackValues, ClassEntitiesKeepThem) {
    const Case cases[] = {
        {"OLE2FRAME flag 73",
         {{0, "OLE2FRAME"}, {5, "A0"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbOle2Frame"}, {70, "2"}, {10, "1"},
          {20, "2"}, {30, "0"}, {11, "3"}, {21, "1"}, {31, "0"}, {71, "2"}, {72, "0"}, {73, "1"}, {90, "2"},
          {310, "0102"}},
         [](const AdEntityData& d) { EXPECT_EQ(d.ole2Frame.spareByte, 1); }},
        {"proxy drawing format 95 and original format 70",
         {{0, "ACAD_PROXY_ENTITY"}, {5, "A0"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbProxyEntity"}, {90, "498"},
          {91, "500"}, {95, "14751864"}, {70, "1"}, {92, "0"}, {93, "0"}, {94, "0"}},
         [](const AdEntityData& d) {
             EXPECT_EQ(d.proxy.drawingFormat, 14751864);
             EXPECT_EQ(d.proxy.originalFormat, 1);
         }},
    };
    const std::string classes =
        g({{0, "CLASS"}, {1, "OLE2FRAME"}, {2, "AcDbOle2Frame"}, {3, "Test"}, {90, "0"}, {280, "0"}, {281, "1"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_.write(
            "values.dxf", section("HEADER", g({{9, "$ACADVER"}, {1, "AC1015"}, {9, "$HANDSEED"}, {5, "200"}})) +
                              section("CLASSES", classes) + section("ENTITIES", g(c.entity)) + g({{0, "EOF"}}));
        AdDrawing* d = adOpenDrawing(path.c_str(), 1, 0);
        ASSERT_NE(d, nullptr) << "error " << adGlobals->errorCode;
        auto header = std::make_unique<AdEntityHeader>();
        auto data = std::make_unique<AdEntityData>();
        ASSERT_EQ(adEntityRewind(d->modelSpace), 1);
        ASSERT_EQ(adEntityNext(d->modelSpace, header.get(), data.get()), 1);
        c.check(*data);
        adCloseDrawing(d);
    }
}

}  // namespace
