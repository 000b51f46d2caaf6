// What the display engine asks of the drawing database, called once each on
// a small real drawing (a leader, an image, a dimension style): each row
// names the service and says what a sound answer looks like.
#include "toolkit/db/started_toolkit.h"
#include "toolkit/ad_internal.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace {

const std::string kDrawing = std::string(VT_SHARED_DATA_DIR) + "/dwg/ac1014_leader_image.dwg";

class DatabaseServices : public StartedToolkit {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kDrawing)) GTEST_SKIP() << "no real drawing at " << kDrawing;
        StartedToolkit::SetUp();
        adInstallDwgReadOps();
        adInstallDxfReadOps();
        d = adOpenDrawing(kDrawing.c_str(), 1, 1);
        ASSERT_NE(d, nullptr) << "error " << adGlobals->errorCode;
    }
    void TearDown() override {
        if (d) adCloseDrawing(d);
        if (adGlobals) StartedToolkit::TearDown();
    }

    // The first entity of a type in model space, read into e and data.
    bool firstOfType(std::uint16_t type) {
        AdRecordList* list = adBlockEntityList(d, &d->modelSpaceBlock);
        adEntityRewind(list);
        while (adEntityNext(list, &e, &data))
            if (e.type == type) return true;
        return false;
    }

    AdDrawing* d = nullptr;
    AdEntityHeader e{};
    AdEntityData data{};
};

}  // namespace

TEST_F(DatabaseServices, EachServiceTheEngineUsesAnswersSoundly) {
    AdLayerRecord layer{};
    AdLtypeRecord ltype{};
    AdStyleRecord style{};
    AdBlockHeader block{};
    AdVportRecord vport{};
    AdAppidRecord appid{};
    AdDimStyleRecord dimStyle{};
    AdHandle handle{};
    AdHeaderVars* header = adDrawingHeaderData(d);
    const struct {
        const char* service;
        std::function<bool()> sound;
    } rows[] = {
        {"adDrawingVersion", [&] { return adDrawingVersion(d) == 6; }},
        {"adDrawingFileFormat", [&] { return adDrawingFileFormat(d) == 0; }},
        {"adDrawingHeaderData", [&] { return header && header->ltscale > 0; }},
        {"adIsTileMode", [&] { return adIsTileMode(d, 1) == 1; }},
        {"adSpaceBlockHandle", [&] { return adSpaceBlockHandle(d, &handle, AD_SPACE_MODEL) && adSpaceBlockHandle(d, &handle, 7) == 0; }},
        {"adLayerRewind/Next/Count", [&] { return adLayerRewind(d) && adLayerNext(d, &layer) && adLayerCount(d) >= 1; }},
        {"adLayerByHandle", [&] { AdLayerRecord again{}; return adLayerByHandle(d, &layer.handle, &again) && std::strcmp(again.name, layer.name) == 0; }},
        {"adLayerUpdate", [&] { return adLayerUpdate(d, &layer) == 1; }},
        {"adLtypeRewind/Next/Count", [&] { return adLtypeRewind(d) && adLtypeNext(d, &ltype) && adLtypeCount(d) >= 1; }},
        {"adLtypeByHandle", [&] { AdLtypeRecord again{}; return adLtypeByHandle(d, &ltype.handle, &again) == 1; }},
        {"adLtypeHandleByName", [&] { return adLtypeHandleByName(d, "CONTINUOUS", &handle) == 1; }},
        {"adStyleRewind/Next", [&] { return adStyleRewind(d) && adStyleNext(d, &style); }},
        {"adStyleHandleByName", [&] { return adStyleHandleByName(d, "standard", &handle) == 1; }},
        {"adStyleByHandle", [&] { AdStyleRecord again{}; return adStyleByHandle(d, &handle, &again) == 1; }},
        {"adDefaultStyleRecord", [&] { AdStyleRecord fresh; adDefaultStyleRecord(&fresh); return fresh.widthFactor == 1.0; }},
        {"adBlockRewind/Next", [&] { return adBlockRewind(d) && adBlockNext(d, &block); }},
        {"adBlockByHandle", [&] { AdBlockHeader again{}; return adBlockByHandle(d, &d->modelSpaceBlock, &again) == 1; }},
        {"adBlockHandleByName", [&] { return adBlockHandleByName(d, "*MODEL_SPACE", &handle) == 1; }},
        {"adBlockEntityList/Count", [&] { return adBlockEntityList(d, &d->modelSpaceBlock) && adBlockEntityCount(d, &d->modelSpaceBlock) > 0; }},
        {"adVportRewind/Next/Count", [&] { return adVportRewind(d) && adVportNext(d, &vport) && adVportCount(d) >= 1; }},
        {"adAppidRewind/Next/Count", [&] { return adAppidRewind(d) && adAppidNext(d, &appid) && adAppidCount(d) >= 1; }},
        {"adDimStyleRewind/Next/Count", [&] { return adDimStyleRewind(d) && adDimStyleNext(d, &dimStyle) && adDimStyleCount(d) >= 1; }},
        {"adDimStyleOverrides", [&] {
             AdDimStyleSettings settings{}, core{};
             if (!firstOfType(AD_ENTITY_LEADER)) return false;
             adDimStyleOverrides(d, &e, &core, &dimStyle.handle);
             return adDimStyleOverrides(d, &e, &dimStyle.handle, &settings) == 1 &&
                    settings.scale == core.scale && settings.arrowSize == core.arrowSize &&
                    std::memcmp(&settings.arrowBlock, &core.arrowBlock, sizeof(AdHandle)) == 0;
         }},
        {"adDimStyleOverrides without a style", [&] {
             AdDimStyleSettings settings{};
             const AdHandle none{};
             return adDimStyleOverrides(d, &e, &none, &settings) == 1 && settings.arrowSize == 0.09;
         }},
        {"adArrowheadIndex", [&] { std::int16_t code = -1; adArrowheadIndex("_Open90", &code); return code == 5; }},
        {"adEntityRewind/Next", [&] { return firstOfType(AD_ENTITY_LEADER); }},
        {"adEntityByHandle", [&] {
             AdEntityHeader again{};
             AdEntityData againData{};
             return adEntityByHandle(d, adBlockEntityList(d, &d->modelSpaceBlock), &e.handle, &again, &againData) &&
                    again.type == AD_ENTITY_LEADER;
         }},
        {"adEntityMove then adEntityAddAfter", [&] {
             AdRecordList* list = adBlockEntityList(d, &d->modelSpaceBlock);
             const std::int32_t count = adListCount(list);
             return adEntityMove(d, list, &e.handle, 0) && adListCount(list) == count - 1 &&
                    adEntityAddAfter(d, list, &e, &data, nullptr) && adListCount(list) == count;
         }},
        {"adEntityUpdate", [&] { return adEntityUpdate(d, adBlockEntityList(d, &d->modelSpaceBlock), &e.handle, &e, &data) == 1; }},
        {"adClassNumImage", [&] { return adClassNumImage(d) >= 500 && firstOfType(static_cast<std::uint16_t>(adClassNumImage(d))); }},
        {"adClassNumImageDef", [&] { return adClassNumImageDef(d) >= 500; }},
        {"adObjectRewind/Next", [&] { AdObjectHeader o{}; AdObjectData od; return adObjectRewind(d) && adObjectNext(d, &o, &od); }},
        {"adObjectByHandle", [&] { AdObjectHeader o{}; AdObjectData od; return adObjectByHandle(d, &d->namedObjectDictionary, &o, &od) == 1; }},
        {"adDictionaryVarInt", [&] { return adDictionaryVarInt(d, "NOSUCHVARIABLE", 42) == 42; }},
        {"adFindSpatialFilter (none here)", [&] {
             AdObjectHeader o{};
             AdSpatialFilterData filter{};
             return adFindSpatialFilter(d, &e, &o, &filter) == 0;
         }},
        {"adHandleIndexFind", [&] { return adHandleIndexFind(d, &e.handle) != nullptr; }},
        {"adStoreCreate/adStream*/adStreamPosition", [&] {
             AdStore* store = adStoreCreate(4096);
             AdStream* out = adStreamOpenWrite(store);
             const double p[3] = {1, 2, 3};
             adStreamWritePoint3D(out, p);
             adStreamCloseWrite(out);
             AdStream* in = adStreamOpenRead(store);
             double x = 0, q[2];
             const bool read = adStreamGetDouble(in, &x) == 1 && adStreamPosition(in) == 8 &&
                               adStreamReadPoint2D(in, q) && q[1] == 3 && adStreamSeek(in, 8) && adStreamPosition(in) == 8;
             adStreamCloseRead(in);
             const bool sized = adStoreSize(store) == 24;
             adStoreFree(store);
             return read && sized && x == 1;
         }},
        {"adListCreate/Count/Free", [&] { AdRecordList* list = adListCreate(); const bool empty = adListCount(list) == 0; adListFree(list); return empty && adListCount(nullptr) == 0; }},
        {"adLoadFont fallback", [&] {
             AdFont* simplex = adLoadFont(d, "gdt", AD_FONT_MASK_ANY, nullptr, nullptr, -1);
             return simplex && adLoadFont(d, "nosuchfont.shx", AD_FONT_MASK_ANY, simplex, nullptr, -1) == simplex;
         }},
        {"adFontFindShape", [&] {
             AdFont* font = adLoadFont(d, "gdt", AD_FONT_MASK_ANY, nullptr, nullptr, -1);
             return font && adFontFindShape(d, font, nullptr, 'A', 0) != nullptr;
         }},
        {"adIsLeadByte/adTextCharCount", [&] { return adIsLeadByte(38, 0x82) && adTextCharCount("a\\U+00B0b", 30) == 3; }},
        {"adStrUpper/adStrCompareNoCase", [&] { char t[] = "abc"; adStrUpper(t, 30); return std::strcmp(t, "ABC") == 0 && adStrCompareNoCase("Abc", "aBC") == 0; }},
        {"adVectorNormalize/Cross/Angle", [&] {
             double v[4] = {3, 4, 0, 0}, c[4];
             adVectorNormalize(v);
             const double a[3] = {1, 0, 0}, b[3] = {0, 2, 0}, dir[2] = {0, 1};
             adVectorCross(a, b, c);
             return v[0] == 0.6 && c[2] == 1 && c[3] == 1 && adVectorAngle(dir) > 1.57;
         }},
        {"adBulgeArcCenter", [&] {
             const double p[2] = {0, 0}, q[2] = {2, 0};
             double cx, cy, r;
             return adBulgeArcCenter(p, q, 3.141592653589793, &cx, &cy, &r) && std::fabs(cx - 1) < 1e-12 && std::fabs(r - 1) < 1e-12;
         }},
        {"adDefaultFileFinder", [&] { char path[16]; return adDefaultFileFinder("nosuchfile.dwg", path, sizeof path, nullptr) == 0; }},
    };
    for (const auto& row : rows) EXPECT_TRUE(row.sound()) << row.service;
}
