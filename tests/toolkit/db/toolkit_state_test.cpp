// Starting and stopping the toolkit: failures at each step, its initial
// settings and hooks, calls made while stopped, drawing access and version
// strings.
#include "toolkit/ad.h"
#include "toolkit/db/host_fault.h"
#include "started_toolkit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// Fails each allocation of start-up in turn, until a start succeeds: every
// failure names its step, leaves the toolkit stopped and leaks nothing.
TEST(ToolkitStart, EachFailedAllocationNamesItsStep) {
    HostUseEmbeddedInitData();
    // State, work area, the two 128 KB buffers, the two 32 KB buffers; the
    // allocations of the init data follow, then those of the font manager.
    const std::vector<std::int16_t> firstSteps = {AD_ERR_STATE_MEMORY,   AD_ERR_WORK_AREA,    AD_ERR_BUFFER_128K_A,
                                                  AD_ERR_BUFFER_128K_B, AD_ERR_BUFFER_32K_A, AD_ERR_BUFFER_32K_B};
    std::int32_t fontFailures = 0;
    std::int32_t n = 0;
    for (; n < 1000; ++n) {
        HostFailAllocationAfter(n);
        std::int16_t error = -1;
        const int started = adInitToolkit(nullptr, &error);
        HostFailAllocationAfter(-1);
        if (started) {
            EXPECT_EQ(error, AD_OK);
            break;
        }
        EXPECT_EQ(adGlobals, nullptr) << "allocation " << n;
        if (n < static_cast<std::int32_t>(firstSteps.size())) {
            EXPECT_EQ(error, firstSteps[n]) << "allocation " << n;
        } else if (error == AD_ERR_FONT_MANAGER) {
            ++fontFailures;
        } else {
            EXPECT_EQ(error, AD_ERR_INIT_DATA_OPEN) << "allocation " << n;
            EXPECT_EQ(fontFailures, 0) << "the font manager starts after the init data";
        }
    }
    EXPECT_GT(n, static_cast<std::int32_t>(firstSteps.size()));
    EXPECT_GT(fontFailures, 0);
    ASSERT_NE(adGlobals, nullptr);
    adTermToolkit();
}

TEST(ToolkitStart, StopsOnceAndStartsAgain) {
    HostUseEmbeddedInitData();
    for (int cycle = 0; cycle < 2; ++cycle) {
        ASSERT_EQ(adInitToolkit(nullptr, nullptr), 1);
        AdGlobalState* running = adGlobals;
        EXPECT_EQ(adInitToolkit(nullptr, nullptr), 1);  // already started: nothing changes
        EXPECT_EQ(adGlobals, running);
        adTermToolkit();
        EXPECT_EQ(adGlobals, nullptr);
        adTermToolkit();
        EXPECT_EQ(adGlobals, nullptr);
    }
}

TEST(ToolkitStart, FailedInitDataLeavesTheToolkitStopped) {
    adSetInitOpenHook([](const char*) -> void* { return nullptr; });
    std::int16_t error = -1;
    EXPECT_EQ(adInitToolkit("absent", &error), 0);
    EXPECT_EQ(error, AD_ERR_INIT_DATA_OPEN);
    EXPECT_EQ(adGlobals, nullptr);
    HostUseEmbeddedInitData();
}

using ToolkitState = StartedToolkit;

TEST_F(ToolkitState, StartsWithTheDocumentedSettings) {
    const AdGlobalState& g = *adGlobals;
    EXPECT_EQ(g.errorCode, AD_OK);
    EXPECT_EQ(g.hooks.fileFinder, &adDefaultFindFile);
    EXPECT_EQ(g.hooks.fatalError, nullptr);
    EXPECT_EQ(g.hooks.loadProgress, nullptr);
    for (std::uint8_t* buffer : {g.workArea, g.buffer32kA, g.buffer32kB, g.buffer128kA, g.buffer128kB})
        EXPECT_NE(buffer, nullptr);
    EXPECT_EQ(g.outputBufferSize, 4096);
    EXPECT_DOUBLE_EQ(g.linearTolerance, 5e-7);
    EXPECT_DOUBLE_EQ(g.angularTolerance, 5e-7 * 3.14159265358979323846 / 180);
    EXPECT_EQ(g.precision, 6);
    EXPECT_STREQ(g.integerFormat, "%6d");
    EXPECT_STREQ(g.realFormat, "%.6f");
    EXPECT_STREQ(g.exponentFormat, "%.6lE");
    EXPECT_EQ(g.polylineConversion, 1);
    EXPECT_EQ(g.acceptPreRelease, 0);
    const AdHandle seed = {{0, 0, 0, 0, 0, 0, 0, 1}};
    EXPECT_EQ(std::memcmp(&g.handleSeedDefault, &seed, sizeof seed), 0);
    const AdHandle null = {};
    EXPECT_EQ(std::memcmp(&g.nullHandle, &null, sizeof null), 0);
    for (int type = 0; type < 32; ++type) EXPECT_EQ(g.entityTypeFilter[type], type == 24 ? 1 : 0) << type;
    EXPECT_EQ(adGetNameLengthLimit(), 26);
    EXPECT_EQ(adCurrentCodePage(), 0);
    EXPECT_EQ(g.angleNormalisation, 1);
    EXPECT_EQ(g.arrowheadNameCollection, 0);
    EXPECT_EQ(g.xdataCodePages, 0);
    EXPECT_DOUBLE_EQ(g.pfbFontScale, 0.5);
}

TEST_F(ToolkitState, FlowControlAndHooks) {
    adGlobals->errorCode = AD_ERR_FILE_OPEN;
    EXPECT_EQ(adClearError(), 1);
    EXPECT_EQ(adGlobals->errorCode, AD_OK);

    // The host stops a load from inside the progress hook.
    adGlobals->continueFlag = 1;
    adSetLoadProgressHook([](std::int32_t) { adClearContinueFlag(); });
    adGlobals->hooks.loadProgress(50);
    EXPECT_EQ(adGlobals->continueFlag, 0);

    adSetAcceptPreRelease();
    EXPECT_EQ(adGlobals->acceptPreRelease, 1);

    const AdFileFinderHook finder = [](char*, char*, void*) {};
    const AdFontNameHook fontName = [](void*) { return 1; };
    const AdProgressHook progress = [](std::int32_t) {};
    adSetFileFinderHook(finder);
    adSetFontNameHook(fontName);
    adSetSaveProgressHook(progress);
    EXPECT_EQ(adGlobals->hooks.fileFinder, finder);
    EXPECT_EQ(adGlobals->hooks.fontName, fontName);
    EXPECT_EQ(adGlobals->hooks.saveProgress, progress);
    adSetFileFinderHook(nullptr);
    adSetLoadProgressHook(nullptr);
    EXPECT_EQ(adGlobals->hooks.fileFinder, nullptr);
    EXPECT_EQ(adGlobals->hooks.loadProgress, nullptr);
}

TEST(ToolkitStopped, CallsDoNothingHarmful) {
    ASSERT_EQ(adGlobals, nullptr);
    EXPECT_EQ(adClearError(), 0);
    adClearContinueFlag();
    adSetAcceptPreRelease();
    adSetFileFinderHook(nullptr);
    EXPECT_EQ(adGetNameLengthLimit(), 0);
    EXPECT_EQ(adGlobals, nullptr);
}

struct TileModeCase {
    std::int16_t version;
    std::int16_t tileMode;
    int expected;
};

class DrawingTileMode : public testing::TestWithParam<TileModeCase> {};

TEST_P(DrawingTileMode, OldFilesAreAlwaysInModelSpace) {
    auto drawing = std::make_unique<AdDrawing>();
    drawing->version = GetParam().version;
    EXPECT_EQ(adIsTileMode(drawing.get(), GetParam().tileMode), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawingTileMode,
                         testing::Values(TileModeCase{3, 0, 1}, TileModeCase{4, 0, 0}, TileModeCase{4, 1, 1},
                                         TileModeCase{7, 0, 0}, TileModeCase{7, -1, 1}));

TEST(DrawingAccess, ReadsTheDrawingAndRefusesNull) {
    auto drawing = std::make_unique<AdDrawing>();
    std::strcpy(drawing->fileName, "plan.dwg");
    drawing->version = 6;
    drawing->format = 2;
    int host = 0;
    EXPECT_EQ(adDrawingVersion(drawing.get()), 6);
    EXPECT_EQ(adDrawingFileFormat(drawing.get()), 2);
    EXPECT_STREQ(adDrawingFileName(drawing.get()), "plan.dwg");
    EXPECT_EQ(adSetDrawingUserData(drawing.get(), &host), &host);
    EXPECT_EQ(drawing->userData, &host);

    EXPECT_EQ(adDrawingVersion(nullptr), -1);
    EXPECT_EQ(adDrawingFileFormat(nullptr), -1);
    EXPECT_EQ(adDrawingFileName(nullptr), nullptr);
    EXPECT_EQ(adDrawingHeaderData(nullptr), nullptr);
    EXPECT_EQ(adSetDrawingUserData(nullptr, &host), nullptr);
    EXPECT_EQ(adIsTileMode(nullptr, 1), 0);
}

TEST(Versions, ExactStringsOnly) {
    const char* const strings[] = {"AC1002", "AC1003", "AC1004", "AC1006", "AC1009", "AC1012", "AC1014", "AC1015"};
    for (int i = 0; i < AD_VERSION_COUNT; ++i) {
        EXPECT_EQ(adVersionIndex(strings[i]), i);
        EXPECT_STREQ(adVersionString(i), strings[i]);
    }
    for (const char* other : {"AC1013", "ac1015", "AC10150", "AC101", ""}) EXPECT_EQ(adVersionIndex(other), -1) << other;
    EXPECT_EQ(adVersionIndex(nullptr), -1);
    EXPECT_EQ(adVersionString(-1), nullptr);
    EXPECT_EQ(adVersionString(AD_VERSION_COUNT), nullptr);
}

}  // namespace
