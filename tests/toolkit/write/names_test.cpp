// Symbol names for the fixed-record versions, and the budgets that external
// references leave their dependent names.
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "drawing_text.h"

#include <string>

namespace {
class Names : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDxfReadOps();
    }
    AdDrawing* open(const std::string& text) {
        const std::string path = dir_.write("names.dxf", text);
        AdDrawing* drawing = adOpenDrawing(path.c_str(), 1, 0);
        EXPECT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
        return drawing;
    }
    TempDir dir_;
};

const std::string k29(29, 'A');
const std::string k20(20, 'B');

TEST_F(Names, LegalNamesAreCutNumberedAndCleaned) {
    AdDrawing* drawing = open(r12Drawing({"0"}));
    ASSERT_NE(drawing, nullptr);
    struct Case {
        std::string name;
        std::int32_t number;
        std::int16_t limit;
        std::string legal;
    };
    const std::string thirty = "abcdefghijklmnopqrstuvwxyz0123";
    const Case cases[] = {
        {thirty, 7, 26, "ABCDEFGHIJKLMNOPQRSTUVWXY7"},
        {thirty, 123, 26, "ABCDEFGHIJKLMNOPQRSTUVW123"},
        {"Door (old)", 3, 26, "DOOR__OLD_"},
        {"[a] b", 0, 26, "_A__B"},
        {"short", 12345, 26, "SHORT"},
        {std::string(600, 'x'), 4, 26, std::string(25, 'X') + "4"},
        // A limit above the field still fits it.
        {std::string(40, 'y'), 9, 40, std::string(32, 'Y')},
    };
    for (const Case& c : cases) {
        char legal[AD_LEGAL_NAME_SIZE];
        EXPECT_EQ(adDwgLegalName(drawing, nullptr, c.name.c_str(), c.number, c.limit, legal), 1);
        EXPECT_EQ(std::string(legal), c.legal) << c.name;
    }
    adCloseDrawing(drawing);
}

TEST_F(Names, XrefBudgetsKeepTheSmallestAndCutTheReferencePart) {
    AdDrawing* drawing = open(r12Drawing({"0", "XREF1|" + k29, "XREF1|" + k20, "OTHER|walls", "plain"}));
    ASSERT_NE(drawing, nullptr);
    AdXrefBudgets budgets{};
    ASSERT_EQ(adBuildXrefNameBudgets(drawing, &budgets), 1);
    ASSERT_EQ(budgets.count, 1) << "OTHER names no block, plain no reference";
    EXPECT_EQ(adXrefNameBudget(&budgets, "xref1"), 4);
    EXPECT_EQ(adXrefNameBudget(&budgets, "OTHER"), 26);

    AdXrefBudgets one{};
    AdDrawing* single = open(r12Drawing({"0", "XREF1|" + k20}));
    ASSERT_EQ(adBuildXrefNameBudgets(single, &one), 1);
    EXPECT_EQ(adXrefNameBudget(&one, "XREF1"), 10);

    // Each half is legalised on its own: the reference part by its budget
    // and its block's position in the BLOCK table.
    char legal[AD_LEGAL_NAME_SIZE];
    adDwgLegalName(drawing, &budgets, "xref1|walls (2)", 5, 26, legal);
    EXPECT_STREQ(legal, "XRE0|WALLS__2_");
    adFreeXrefNameBudgets(&budgets);
    adFreeXrefNameBudgets(&one);
    adCloseDrawing(single);
    adCloseDrawing(drawing);
}
}  // namespace
