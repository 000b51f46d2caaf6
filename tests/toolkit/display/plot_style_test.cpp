// Plot-style tables made here the way the files are laid out (a 60-byte
// head, then the zlib-compressed text): the header, the colour table, the
// style blocks and the custom line weights, the file errors, and line
// weights turned into device widths.
#include "render_fixture.h"

#include "toolkit/display/plot_style.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> tableFile(const std::string& text, bool zeroLengths = false) {
    uLongf packedLength = compressBound(static_cast<uLong>(text.size()));
    std::vector<std::uint8_t> packed(packedLength);
    compress(packed.data(), &packedLength, reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()));
    std::vector<std::uint8_t> file(60 + packedLength, 0);
    std::copy(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedLength), file.begin() + 60);
    const std::uint32_t lengths[2] = {zeroLengths ? 0u : static_cast<std::uint32_t>(text.size()),
                                      zeroLengths ? 0u : static_cast<std::uint32_t>(packedLength)};
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < 4; ++i) file[52 + 4 * k + i] = static_cast<std::uint8_t>(lengths[k] >> (8 * i));
    return file;
}

std::string style(const char* name, int lineWeight) {
    return std::string(" ") + name + "{\n  name=\"" + name + "\n  localized_name=\"" + name +
           "\n  color=-1006632961\n  lineweight=" + std::to_string(lineWeight) + "\n }\n";
}

// A colour-dependent table: colours 1 and 2 name styles, colour 3 a name
// no block has; custom widths at 0 (unlisted weights), 8 (weight 25), and
// a line at 27 that is ignored.
const std::string kColourTable = "description=\"Test pens\naci_table_available=TRUE\nscale_factor=1.0\n"
                                 "apply_factor=FALSE\ncustom_lineweight_display_units=0\n"
                                 "aci_table{\n 0=\"Color_1\n 1=\"Color_2\n 2=\"Nothing\n}\n"
                                 "plot_style{\n" +
                                 style("Color_1", 9) + style("Color_2", 0) +
                                 " 2{\n  color=5\n }\n"  // a block without a name is not kept
                                 "}\ncustom_lineweight_table{\n 0=0.01\n 8=0.8\n 27=9.0\n}\n";

class PlotStyles : public RenderTest {};

}  // namespace

TEST_F(PlotStyles, AColourDependentTable) {
    const std::vector<std::uint8_t> file = tableFile(kColourTable);
    AdPlotStyleTable* table = nullptr;
    ASSERT_EQ(adParsePlotStyleFile(file.data(), file.size(), &table), 1);
    EXPECT_EQ(table->aciTableAvailable, 1);
    EXPECT_EQ(table->applyFactor, 0);
    EXPECT_STREQ(table->description, "Test pens");
    EXPECT_DOUBLE_EQ(table->scaleFactor, 1.0);
    EXPECT_EQ(table->styleCount, 2);
    ASSERT_NE(table->colourStyles, nullptr);
    ASSERT_NE(table->colourStyles[0], nullptr);
    EXPECT_STREQ(table->colourStyles[0]->name, "Color_1");
    EXPECT_EQ(table->colourStyles[0]->colour, -1006632961);
    EXPECT_EQ(table->colourStyles[1], table->first->next);
    EXPECT_EQ(table->colourStyles[2], nullptr);  // names no style: left empty
    EXPECT_EQ(adPlotStyleLineWeight(table->colourStyles[0]->lineWeight), 25);
    EXPECT_DOUBLE_EQ(table->customLineWeights[0], 0.01);
    EXPECT_DOUBLE_EQ(table->customLineWeights[8], 0.8);
    AdPlotStyle* found = nullptr;
    EXPECT_EQ(adPlotStyleByHandle(AdHandle{}.b, table, &found), 1);
    EXPECT_EQ(found, nullptr);
    // With the table loaded, weight 25 (index 8) takes the custom width,
    // and an unlisted weight index 0's.
    show();
    displayState.plotStyles = table;
    double mm = 0.0;
    adLineWeightToMm(&drawing, 25, &mm);
    EXPECT_DOUBLE_EQ(mm, 0.8);
    adLineWeightToMm(&drawing, 17, &mm);
    EXPECT_DOUBLE_EQ(mm, 0.01);
    displayState.plotStyles = nullptr;
    adFreePlotStyleTable(table);
}

TEST_F(PlotStyles, UnusualTables) {
    const struct {
        const char* name;
        std::string text;
        std::int16_t styles;
        bool colourStyles;
        double width10;  // custom line weight at index 10
    } cases[] = {
        {"a named table", "description=\"Named\naci_table_available=FALSE\nplot_style{\n" + style("Normal", 0) +
                              style("Thick", 26) + "}\n",
         2, false, 0.0},
        {"no block with a name", "plot_style{\n 0{\n  color=1\n }\n}\n", 0, false, 0.0},
        {"the text ends inside the custom line weights", "plot_style{\n" + style("A", 0) +
                                                             "}\ncustom_lineweight_table{\n 10=0.35\n 11=0.4",
         1, false, 0.35},
        {"the text ends inside a style block", "plot_style{\n" + style("A", 0) + " B{\n  name=\"B", 2, false, 0.0},
    };
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> file = tableFile(c.text);
        AdPlotStyleTable* table = nullptr;
        ASSERT_EQ(adParsePlotStyleFile(file.data(), file.size(), &table), 1) << c.name;
        EXPECT_EQ(table->styleCount, c.styles) << c.name;
        EXPECT_EQ(table->colourStyles != nullptr, c.colourStyles) << c.name;
        EXPECT_DOUBLE_EQ(table->customLineWeights[10], c.width10) << c.name;
        adFreePlotStyleTable(table);
    }
}

TEST_F(PlotStyles, FilesThatAreRefused) {
    std::vector<std::uint8_t> corrupt = tableFile(kColourTable);
    corrupt[70] ^= 0xFF;
    std::vector<std::uint8_t> cut = tableFile(kColourTable);
    cut.resize(cut.size() - 10);
    const struct {
        const char* name;
        std::vector<std::uint8_t> file;
        std::int32_t error;
    } cases[] = {
        {"both lengths 0", tableFile(kColourTable, true), AD_ERR_PLOT_STYLE_EMPTY},
        {"shorter than its head", std::vector<std::uint8_t>(40, 0), AD_ERR_PLOT_STYLE_EMPTY},
        {"a body shorter than its length", cut, AD_ERR_PLOT_STYLE_SHORT},
        {"a body that does not inflate", corrupt, AD_ERR_PLOT_STYLE_INFLATE},
    };
    for (const auto& c : cases) {
        AdPlotStyleTable* table = nullptr;
        adSetError(0);
        EXPECT_EQ(adParsePlotStyleFile(c.file.data(), c.file.size(), &table), 0) << c.name;
        EXPECT_EQ(table, nullptr) << c.name;
        EXPECT_EQ(adGlobals->errorCode, c.error) << c.name;
    }
    AdPlotStyleTable* table = nullptr;
    EXPECT_EQ(adReadPlotStyleTable("no such file.ctb", &table), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_PLOT_STYLE_OPEN);
}

// Every allocation of a table read fails in turn: the read answers failure
// and leaves nothing allocated.
TEST_F(PlotStyles, RunningOutOfMemory) {
    const std::vector<std::uint8_t> file = tableFile(kColourTable);
    int failures = 0;
    for (std::int32_t n = 0; n < 12; ++n) {
        HostFailAllocationAfter(n);
        AdPlotStyleTable* table = nullptr;
        if (!adParsePlotStyleFile(file.data(), file.size(), &table)) {
            ++failures;
            EXPECT_EQ(table, nullptr);
        }
        HostFailAllocationAfter(-1);
        adFreePlotStyleTable(table);
    }
    EXPECT_GT(failures, 0);
}

// Without a table, model space with the default scale (-1) keeps
// millimetres: 211 is 2.11, truncated by the pen to 2; 25 gives 0.
TEST_F(PlotStyles, LineWeightsToDeviceWidths) {
    show();
    const struct {
        std::int16_t weight;
        double mm;
    } cases[] = {{211, 2.11}, {25, 0.25}, {0, 0.0}, {-1, 0.0}, {17, 0.0}, {5, 0.05}};
    for (const auto& c : cases) {
        double mm = -1.0;
        adLineWeightToMm(&drawing, c.weight, &mm);
        EXPECT_DOUBLE_EQ(mm, c.mm) << c.weight;
    }
    EXPECT_EQ(static_cast<std::int32_t>(adLineWeightToDevice(&drawing, 211)), 2);
    EXPECT_EQ(static_cast<std::int32_t>(adLineWeightToDevice(&drawing, 25)), 0);
    displayState.paperSpace = 1;
    displayState.viewports[0].scale = 25.4 * 4;  // four device units a millimetre on an inch sheet
    EXPECT_DOUBLE_EQ(adLineWeightToDevice(&drawing, 50), 2.0);
    const std::int16_t indexes[][2] = {{1, 0}, {9, 25}, {27, 211}, {28, 0}, {0, 0}};
    for (const auto& i : indexes) EXPECT_EQ(adPlotStyleLineWeight(i[0]), i[1]) << i[0];
}

// A colour-dependent drawing that names a named table ends with no table.
TEST_F(PlotStyles, AColourDependentDrawingRefusesANamedTable) {
    const std::string path = testing::TempDir() + "named.stb";
    const std::vector<std::uint8_t> file = tableFile("aci_table_available=FALSE\nplot_style{\n" + style("A", 3) + "}\n");
    {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
    }
    show();
    AdHeaderVars header{};
    header.pstylemode = 1;
    drawing.header = &header;
    AdLayoutData layout{};
    layout.plotSettings.layoutFlags = AD_PLOT_WITH_STYLES;
    std::snprintf(layout.plotSettings.styleSheet, sizeof layout.plotSettings.styleSheet, "%s", path.c_str());
    displayState.layout = &layout;
    EXPECT_EQ(adLoadPlotStyleTable(&drawing), 1);
    EXPECT_EQ(displayState.plotStyles, nullptr);
    layout.plotSettings.layoutFlags = 0;  // plotting without styles reads no table
    EXPECT_EQ(adLoadPlotStyleTable(&drawing), 0);
    displayState.layout = nullptr;
    drawing.header = nullptr;
    std::remove(path.c_str());
}
