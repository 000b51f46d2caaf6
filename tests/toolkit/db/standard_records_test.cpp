// The records and classes every loaded drawing has, whatever its file held:
// each DWG and DXF file of the corpus in the versions the toolkit reads is
// loaded whole and looked at.
#include "started_toolkit.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class StandardRecordsTest : public StartedToolkit {};

// The corpus files of AC1003 to AC1015, both formats, sorted.
std::vector<std::filesystem::path> corpus() {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path data(VT_SHARED_DATA_DIR);
    for (const char* format : {"dwg", "dxf"}) {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(data / format, ignored)) {
            const std::string name = entry.path().filename().string();
            if (name.size() > 7 && name.rfind("ac10", 0) == 0 && name[6] == '_' && name.substr(4, 2) <= "15")
                files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

template <class Record>
bool hasNamed(AdDrawing* drawing, int (*rewind)(AdDrawing*), int (*next)(AdDrawing*, Record*), const char* name) {
    Record record{};
    rewind(drawing);
    while (next(drawing, &record))
        if (adStrCompareNoCase(record.name, name) == 0) return true;
    return false;
}

bool hasLtype(AdDrawing* d, const char* name) { return hasNamed<AdLtypeRecord>(d, adLtypeRewind, adLtypeNext, name); }
bool hasLayer(AdDrawing* d, const char* name) { return hasNamed<AdLayerRecord>(d, adLayerRewind, adLayerNext, name); }
bool hasVport(AdDrawing* d, const char* name) { return hasNamed<AdVportRecord>(d, adVportRewind, adVportNext, name); }
bool hasAppid(AdDrawing* d, const char* name) { return hasNamed<AdAppidRecord>(d, adAppidRewind, adAppidNext, name); }
bool hasStyle(AdDrawing* d, const char* name) { return hasNamed<AdStyleRecord>(d, adStyleRewind, adStyleNext, name); }
// A file's own dimension styles stand in for "Standard", which a drawing
// only gets when its file has none.
bool hasDimStyles(AdDrawing* d, const char*) { return adDimStyleCount(d) > 0; }
bool hasClass(AdDrawing* d, const char* name) {
    AdClassRecord record{};
    return adClassByName(d, name, &record) == 1;
}

TEST_F(StandardRecordsTest, EveryLoadedDrawingHasTheStandardRecordsAndClasses) {
    const std::vector<std::filesystem::path> files = corpus();
    if (files.empty()) GTEST_SKIP() << "no corpus under " << VT_SHARED_DATA_DIR;
    const struct {
        const char* kind;
        bool (*has)(AdDrawing*, const char*);
        const char* name;
    } standard[] = {
        {"LTYPE", hasLtype, "ByBlock"},
        {"LTYPE", hasLtype, "ByLayer"},
        {"LTYPE", hasLtype, "Continuous"},
        {"LAYER", hasLayer, "0"},
        {"VPORT", hasVport, "*ACTIVE"},
        {"APPID", hasAppid, "ACAD"},
        {"STYLE", hasStyle, "Standard"},
        {"DIMSTYLE", hasDimStyles, "any"},
        {"CLASS", hasClass, "LWPOLYLINE"},
        {"CLASS", hasClass, "IMAGE"},
        {"CLASS", hasClass, "OLE2FRAME"},
        {"CLASS", hasClass, "HATCH"},
        {"CLASS", hasClass, "DICTIONARYVAR"},
        {"CLASS", hasClass, "RASTERVARIABLES"},
        {"CLASS", hasClass, "IMAGEDEF"},
        {"CLASS", hasClass, "IMAGEDEF_REACTOR"},
        {"CLASS", hasClass, "IDBUFFER"},
        {"CLASS", hasClass, "SPATIAL_FILTER"},
        {"CLASS", hasClass, "XRECORD"},
        {"CLASS", hasClass, "SORTENTSTABLE"},
        {"CLASS", hasClass, "LAYER_INDEX"},
        {"CLASS", hasClass, "SPATIAL_INDEX"},
        {"CLASS", hasClass, "OBJECT_PTR"},
        {"CLASS", hasClass, "LAYOUT"},
        {"CLASS", hasClass, "PLOTSETTINGS"},
        {"CLASS", hasClass, "ACDBDICTIONARYWDFLT"},
        {"CLASS", hasClass, "ACDBPLACEHOLDER"},
        {"CLASS", hasClass, "VBA_PROJECT"},
        {"CLASS", hasClass, "WIPEOUT"},
        {"CLASS", hasClass, "WIPEOUTVARIABLES"},
        {"CLASS", hasClass, "RTEXT"},
        {"CLASS", hasClass, "ARCALIGNEDTEXT"},
    };
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.parent_path().filename().string() + "/" + file.filename().string());
        adClearError();
        AdDrawing* drawing = adOpenDrawing(file.string().c_str(), 1, 0);
        ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
        for (const auto& s : standard) EXPECT_TRUE(s.has(drawing, s.name)) << s.kind << " " << s.name;
        adCloseDrawing(drawing);
    }
}

}  // namespace
