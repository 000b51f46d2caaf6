// The phrase for each error code: the codes that a host or a tool is most
// likely to show, a code that two parts share, the per-table codes of the
// fixed-record check, and numbers outside the numbering.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ErrorText, GivesThePhraseOfEachCode) {
    const struct {
        std::int32_t code;
        const char* text;
    } cases[] = {
        {AD_OK, "no error"},
        {AD_ERR_FILE_OPEN, "the file could not be opened"},
        {AD_ERR_NOT_DRAWING, "not a DWG or DXF file"},
        {AD_ERR_UNSUPPORTED_VERSION, "unsupported DWG version"},
        {AD_ERR_DXF_NO_EOF, "the DXF file ends without 0 EOF"},
        {AD_STAGE_LTYPE, "stopped while loading the LTYPE table"},
        {AD_STAGE_COMPLETION, "stopped while completing the drawing"},
        {AD_ERR_DWG_TABLE_RECORD, "a damaged record in the DWG BLOCK table"},
        {AD_ERR_DWG_TABLE_RECORD + static_cast<std::int32_t>(AD_CONTROL_VPORT_ENTITY), "a damaged record in the DWG viewport-entity headers"},
        {AD_ERR_LAYOUT_VIEWPORT, "no room for a paper-space viewport"},
        {AD_ERR_R12_VPORT_CHAIN, "a broken chain of viewport-entity headers"},
        {AD_ERR_DWG_VPORT_HEADER, "a paper-space viewport without a viewport-entity header"},
        // The display engine's codes live in the same numbering.
        {AD_ERR_DISPLAY_STATE_MEMORY, "no memory for the display state"},
        {AD_ERR_PLOT_STYLE_MEMORY, "no memory for a plot-style table"},
        // A fatal-error condition is not an error code; nor is anything
        // outside the numbering.
        {AD_FATAL_BAD_FILE_DATA, "unknown error"},
        {-1, "unknown error"},
        {100000, "unknown error"},
    };
    for (const auto& c : cases) EXPECT_EQ(std::string(adErrorText(c.code)), c.text) << c.code;
}

}  // namespace
