// A WIPEOUT's graphics, which are all it is drawn from, come back byte for
// byte from every bit-coded DWG and DXF file it is saved as.
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/store_bytes.h"
#include "toolkit/db/temp_dir.h"

#include <memory>
#include <string>
#include <vector>

namespace {

class WipeoutSave : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDwgReadOps();
        adInstallDxfReadOps();
    }
};

// The graphics of the drawing's one model-space WIPEOUT; empty when there is
// none or it has none.
std::vector<std::uint8_t> wipeoutGraphics(AdDrawing* drawing) {
    AdHandle model{};
    if (!adSpaceBlockHandle(drawing, &model, AD_SPACE_MODEL)) return {};
    AdRecordList* list = adBlockEntityList(drawing, &model);
    AdEntityHeader header{};
    auto data = std::make_unique<AdEntityData>();
    adEntityRewind(list);
    while (adEntityNext(list, &header, data.get()))
        if (adEntityKind(drawing, header.type) == AD_KIND_WIPEOUT)
            return data->image.pixels ? ReadAll(data->image.pixels) : std::vector<std::uint8_t>{};
    return {};
}

TEST_F(WipeoutSave, GraphicsComeBackFromEveryBitCodedFile) {
    AdDrawing* source =
        adOpenDrawing((std::string(VT_TEST_DATA_DIR) + "/display/proxy/wipeout.dxf").c_str(), 1, 0);
    ASSERT_NE(source, nullptr) << "error " << adGlobals->errorCode;
    const std::vector<std::uint8_t> graphics = wipeoutGraphics(source);
    ASSERT_EQ(graphics.size(), 152u) << "the fixture's colour and frame records";
    const struct {
        std::uint8_t format;
        std::int16_t version;
    } cases[] = {
        {AD_FORMAT_DWG, AD_VERSION_AC1012},       {AD_FORMAT_DWG, AD_VERSION_AC1014},
        {AD_FORMAT_DWG, AD_VERSION_AC1015},       {AD_FORMAT_DXF_ASCII, AD_VERSION_AC1014},
        {AD_FORMAT_DXF_ASCII, AD_VERSION_AC1015}, {AD_FORMAT_DXF_BINARY, AD_VERSION_AC1015},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE("format " + std::to_string(c.format) + " version " + std::to_string(c.version));
        const std::string path = (dir.path() / (c.format == AD_FORMAT_DWG ? "out.dwg" : "out.dxf")).string();
        ASSERT_EQ(adSaveDrawing(source, path.c_str(), c.format, c.version, 1, 6, 0, 1), 1)
            << "error " << adGlobals->errorCode;
        AdDrawing* back = adOpenDrawing(path.c_str(), 1, 0);
        ASSERT_NE(back, nullptr) << "error " << adGlobals->errorCode;
        EXPECT_EQ(wipeoutGraphics(back), graphics);
        adCloseDrawing(back);
    }
    adCloseDrawing(source);
}

}  // namespace
