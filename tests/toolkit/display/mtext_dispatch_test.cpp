// MTEXT entities of a DXF drawing drawn whole through the dispatcher, in
// the built-in font: placed at their insertion points along their x
// directions, line under line.
#include "dispatch_fixture.h"

#include <algorithm>
#include <map>

namespace {

struct Box {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
};

class MTextDispatch : public Dispatch {
protected:
    // The box of each entity's output in drawing units, by handle.
    std::map<std::string, Box> boxes() {
        std::map<std::string, Box> out;
        Box* current = nullptr;
        std::istringstream in(draw());
        for (std::string word; in >> word;) {
            if (word == "entity") {
                std::string type, handle;
                in >> type >> handle;
                current = &out[handle];
            } else if ((word == "move" || word == "line") && current) {
                double device[2], world[3];
                in >> device[0] >> device[1];
                adDeviceToWorld(d, device, world);
                current->minX = std::min(current->minX, world[0]);
                current->maxX = std::max(current->maxX, world[0]);
                current->minY = std::min(current->minY, world[1]);
                current->maxY = std::max(current->maxY, world[1]);
            }
        }
        return out;
    }
};

TEST_F(MTextDispatch, TextsStandAtTheirInsertionPointsAlongTheirDirections) {
    ASSERT_TRUE(open("../mtext/mtext.dxf"));
    const auto boxes = this->boxes();
    ASSERT_EQ(boxes.size(), 2u);
    const Box& along = boxes.begin()->second;
    const Box& turned = std::next(boxes.begin())->second;
    // At (5, 25) along x: two lines going down, 2.5 high and 4.17 apart.
    EXPECT_GE(along.minX, 4.8);
    EXPECT_LE(along.maxX, 12.0);
    EXPECT_LE(along.maxY, 25.2);
    EXPECT_GE(along.minY, 17.5);
    EXPECT_GT(along.maxY - along.minY, 5.0);
    // At (20, 5) turned to the y axis: the lines go down the text's y, which
    // is the drawing's x.
    EXPECT_GE(turned.minX, 19.8);
    EXPECT_LE(turned.maxX, 27.5);
    EXPECT_GE(turned.minY, 4.8);
    EXPECT_LE(turned.maxY, 12.0);
    EXPECT_GT(turned.maxX - turned.minX, 5.0);
}

}  // namespace
