// TEXT, ATTDEF, ATTRIB and SHAPE through the dispatcher: which string each
// draws under ATTMODE 0, 1 and 2, a SHAPE from its shape file, and text
// realignment when the switch is on. Every entity of the fixtures has its
// own colour; the strokes are counted by colour.
#include "dispatch_fixture.h"

#include <cstdio>
#include <cstring>
#include <map>

namespace {

void testFontFinder(char* name, char* result, void*) {
    const char* base = std::strrchr(name, '\\');
    std::snprintf(result, AD_PATH_SIZE, "%s/fonts/%s", VT_TEST_DATA_DIR, base ? base + 1 : name);
}

class TextDispatch : public Dispatch {
protected:
    void SetUp() override {
        Dispatch::SetUp();
        adSetFileFinderHook(testFontFinder);
    }
    bool openText(int attmode) {
        const std::string name = "../text/text_attmode" + std::to_string(attmode) + ".dxf";
        return open(name.c_str());
    }
    // Lines drawn under each entity colour, and the first point each moved to.
    std::map<int, int> strokes(const std::string& stream, std::map<int, std::string>* firstMove = nullptr) {
        std::map<int, int> counts;
        std::istringstream in(stream);
        int colour = -1;
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("entity ", 0) == 0) colour = std::stoi(line.substr(line.rfind(' ') + 1));
            else if (line.rfind("line ", 0) == 0) ++counts[colour];
            else if (firstMove && line.rfind("move ", 0) == 0 && !firstMove->count(colour)) (*firstMove)[colour] = line;
        }
        return counts;
    }
};

TEST_F(TextDispatch, AttributeModesChooseTheStrings) {
    const struct {
        int attmode;
        int constantAttdef, visibleAttrib, invisibleAttrib;
    } cases[] = {{0, 0, 0, 0}, {1, 1, 3, 0}, {2, 1, 3, 1}};
    for (const auto& c : cases) {
        ASSERT_TRUE(openText(c.attmode));
        std::map<int, int> n = strokes(draw());
        EXPECT_EQ(n[1], 3) << "TEXT, ATTMODE " << c.attmode;
        EXPECT_EQ(n[4], 1) << "a top-level ATTDEF draws its tag, ATTMODE " << c.attmode;
        EXPECT_EQ(n[5], c.constantAttdef) << "a constant ATTDEF in a block, ATTMODE " << c.attmode;
        EXPECT_EQ(n[6], 0) << "an ATTDEF in a block that is not constant, ATTMODE " << c.attmode;
        EXPECT_EQ(n[7], c.visibleAttrib) << "a visible ATTRIB, ATTMODE " << c.attmode;
        EXPECT_EQ(n[8], c.invisibleAttrib) << "an invisible ATTRIB, ATTMODE " << c.attmode;
        EXPECT_EQ(n[9], 3) << "the SHAPE DEE, ATTMODE " << c.attmode;
        adEndDisplay(d);
        adCloseDrawing(d);
        d = nullptr;
    }
}

TEST_F(TextDispatch, RealignmentPlacesRightAlignedText) {
    ASSERT_TRUE(openText(1));
    std::map<int, std::string> first;
    strokes(draw(), &first);
    EXPECT_EQ(first[3], "move 200 20") << "drawn at its insertion point";
    adSetTextRealign(1);
    first.clear();
    strokes(draw(), &first);
    // D is 0.6 wide at height 1: it starts 0.6 before (28, 2).
    EXPECT_EQ(first[3], "move 274 20");
    EXPECT_EQ(first[1], "move 20 20") << "left-aligned text stays";
    adSetTextRealign(0);
}

}  // namespace
