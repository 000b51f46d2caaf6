// The DWG open on real R13 to R2000 files: checks, the object map and the
// common start of every object, and how damaged, cut and foreign files fail.
#include "dwg_corpus.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/ad.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace {

int checkFile(const std::string& path, int mode) {
    HostFile* file = HostOpenRead(path.c_str());
    const int failed = adDwgCheckFile(file, mode);
    HostClose(file);
    return failed;
}

// Reads the start of the object with the handle; the caller does not know
// whether it is an entity, so both readings are tried.
std::int16_t readStartAt(AdDrawing* drawing, const AdHandle& handle, AdHandle* own, std::uint8_t* xdata = nullptr) {
    std::uint8_t flag = 0;
    if (!xdata) xdata = &flag;
    for (int isEntity : {0, 1}) {
        AdStore* graphics = nullptr;
        if (!adDwgSeekObject(drawing, &handle)) return 0;
        const std::int16_t type = adDwgReadObjectStart(drawing, own, xdata, isEntity, &graphics);
        if (graphics) adStoreFree(graphics);
        if (type != 0) return type;
    }
    return 0;
}

std::vector<AdHandle> mapHandles(AdDwgFile* dwg) {
    std::vector<AdHandle> handles;
    adStreamRewind(dwg->indexReader);
    AdHandle handle{};
    std::int32_t offset = 0;
    while (adDwgNextIndexEntry(dwg, &handle, &offset)) handles.push_back(handle);
    return handles;
}

class DwgFileTest : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        corpus_ = bitCodedCorpus();
        if (corpus_.empty()) GTEST_SKIP() << "no R13..R2000 DWG files under " << dwgCorpusDir();
    }
    std::vector<std::filesystem::path> corpus_;
};

TEST_F(DwgFileTest, EveryCorpusFilePassesTheChecksAndEveryMappedObjectIsReached) {
    std::int32_t withXdata = 0;
    for (const auto& path : corpus_) {
        SCOPED_TRACE(path.filename().string());
        EXPECT_EQ(checkFile(path.string(), AD_DWG_CHECK_QUICK), 0) << adGlobals->errorCode;
        EXPECT_EQ(checkFile(path.string(), AD_DWG_CHECK_FULL), 0) << adGlobals->errorCode;
        OpenedDwg dwg(path.string());
        ASSERT_EQ(dwg.opened(), 1) << "error " << dwg.error();
        const std::vector<AdHandle> handles = mapHandles(dwg.dwg());
        ASSERT_EQ(static_cast<std::int32_t>(handles.size()), dwg.dwg()->entryCount);
        ASSERT_GT(handles.size(), 10u);
        // Forward takes the sequential path, backward the sample search.
        for (bool backward : {false, true}) {
            for (std::size_t i = 0; i < handles.size(); ++i) {
                const AdHandle& handle = handles[backward ? handles.size() - 1 - i : i];
                AdHandle own{};
                std::uint8_t xdata = 0;
                ASSERT_NE(readStartAt(dwg.get(), handle, &own, &xdata), 0)
                    << "object " << i << (backward ? " backward" : "");
                ASSERT_EQ(adHandleCompare(&own, &handle), 0) << "object " << i;
                if (xdata && !backward) {
                    // The extended data left behind is whole: its reader walks it to the end.
                    ++withXdata;
                    AdXdataItem item{};
                    adSetError(AD_OK);
                    ASSERT_EQ(adXdataReadBegin(dwg.get()), 1);
                    std::int32_t items = 0;
                    while (adDwgReadXdataItem(dwg.get(), &item)) ++items;
                    EXPECT_GT(items, 0) << "object " << i;
                    EXPECT_EQ(adGlobals->errorCode, AD_OK) << "object " << i;
                }
            }
        }
        EXPECT_GT(dwg.get()->tableEntryCounts[AD_CONTROL_LAYER], 0);
        EXPECT_GE(dwg.get()->tableEntryCounts[AD_CONTROL_LTYPE], 2);
    }
    EXPECT_GT(withXdata, 0);
}

TEST_F(DwgFileTest, ReadsThePreviewPictures) {
    OpenedDwg dwg((dwgCorpusDir() / "ac1015_entities_2d.dwg").string());
    ASSERT_EQ(dwg.opened(), 1);
    ASSERT_TRUE(dwg.dwg()->previewFlags & AD_DWG_PREVIEW_BMP);
    // A device-independent bitmap begins with its 40-byte header size.
    AdStream* in = adStreamOpenRead(dwg.dwg()->previewBmp);
    std::int32_t headerSize = 0;
    ASSERT_TRUE(adStreamReadLong(in, &headerSize));
    adStreamCloseRead(in);
    EXPECT_EQ(headerSize, 40);
}

// A stale preview address must not cost the drawing: the pictures are
// dropped and the open goes on.
TEST_F(DwgFileTest, APreviewThatPointsOutsideTheFileIsDropped) {
    std::string bytes = fileBytes(dwgCorpusDir() / "ac1015_entities_2d.dwg");
    const std::int32_t preview = adDwgLittle32(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 0x0D);
    const std::int32_t far = 0x7FFFFFF0;
    struct Case {
        const char* name;
        std::size_t at;  // where the far offset is written
    };
    for (const Case& c : {Case{"table", 0x0D}, Case{"first picture", static_cast<std::size_t>(preview) + 16 + 5 + 1}}) {
        SCOPED_TRACE(c.name);
        std::string damaged = bytes;
        damaged.replace(c.at, 4, reinterpret_cast<const char*>(&far), 4);
        TempDir dir;
        OpenedDwg dwg(dir.write("preview.dwg", damaged));
        ASSERT_EQ(dwg.opened(), 1) << "error " << dwg.error();
        EXPECT_EQ(dwg.dwg()->previewFlags, 0);
        EXPECT_EQ(dwg.dwg()->previewBmp, nullptr);
    }
}

TEST_F(DwgFileTest, AHandleMissingFromTheMapFailsAndTheNextSeekSearchesAgain) {
    OpenedDwg dwg((dwgCorpusDir() / "ac1015_entities_2d.dwg").string());
    ASSERT_EQ(dwg.opened(), 1);
    const std::vector<AdHandle> handles = mapHandles(dwg.dwg());
    // The first gap between two mapped handles.
    std::size_t gap = 1;
    AdHandle absent{};
    for (; gap < handles.size(); ++gap) {
        absent = handles[gap - 1];
        adHandleIncrement(&absent);
        if (adHandleCompare(&absent, &handles[gap]) != 0) break;
    }
    ASSERT_LT(gap, handles.size());
    const AdHandle null{};
    AdHandle own{};
    EXPECT_NE(readStartAt(dwg.get(), handles[gap - 1], &own), 0);
    EXPECT_EQ(adDwgSeekObject(dwg.get(), &absent), 0);
    EXPECT_EQ(adDwgSeekObject(dwg.get(), &null), 0);
    ASSERT_NE(readStartAt(dwg.get(), handles[gap], &own), 0);
    EXPECT_EQ(adHandleCompare(&own, &handles[gap]), 0);
    ASSERT_NE(readStartAt(dwg.get(), handles[0], &own), 0);
    EXPECT_EQ(adHandleCompare(&own, &handles[0]), 0);
}

// Where a damaged byte goes, found in the intact file.
enum class Damage { Object, Classes, Header, ObjectMap };

std::int64_t damageOffset(const std::string& path, Damage where) {
    auto state = std::make_unique<AdDwgFile>();
    AdDwgFile* dwg = state.get();
    HostFile* file = HostOpenRead(path.c_str());
    std::int64_t offset = -1;
    if (adDwgReadFileHeader(file, dwg)) {
        switch (where) {
        case Damage::Classes: offset = dwg->sections[AD_DWG_SECTION_CLASSES].offset + 16 + 4 + 3; break;
        case Damage::Header: offset = dwg->sections[AD_DWG_SECTION_HEADER].offset + 16 + 4 + 3; break;
        case Damage::ObjectMap: offset = dwg->sections[AD_DWG_SECTION_OBJECT_MAP].offset + 5; break;
        case Damage::Object: {
            AdHandle handle{};
            std::int32_t object = 0;
            if (adDwgReadObjectMap(file, dwg, false) && adDwgNextIndexEntry(dwg, &handle, &object)) offset = object + 4;
            break;
        }
        }
    }
    HostClose(file);
    adDwgClearFileState(dwg);
    return offset;
}

TEST_F(DwgFileTest, AFlippedByteFailsTheFullCheckWithTheCrcOfItsSection) {
    struct Case {
        Damage where;
        std::int32_t error;
    };
    const Case cases[] = {
        {Damage::Object, AD_ERR_DWG_OBJECT_CRC},
        {Damage::Classes, AD_ERR_DWG_SECTION_CRC},
        {Damage::Header, AD_ERR_DWG_SECTION_CRC},
        {Damage::ObjectMap, AD_ERR_DWG_SECTION_CRC},
    };
    TempDir dir;
    for (const char* name : {"ac1012_example.dwg", "ac1014_small.dwg", "ac1015_entities_2d.dwg"}) {
        const std::string original = (dwgCorpusDir() / name).string();
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(name) + " damage " + std::to_string(static_cast<int>(c.where)));
            const std::int64_t offset = damageOffset(original, c.where);
            ASSERT_GT(offset, 0);
            std::string bytes = fileBytes(original);
            bytes[static_cast<std::size_t>(offset)] = static_cast<char>(bytes[static_cast<std::size_t>(offset)] ^ 0x5A);
            const std::string damaged = dir.write("damaged.dwg", bytes);
            EXPECT_EQ(checkFile(damaged, AD_DWG_CHECK_QUICK), 0);
            EXPECT_EQ(checkFile(damaged, AD_DWG_CHECK_FULL), 1);
            EXPECT_EQ(adGlobals->errorCode, c.error);
        }
    }
}

TEST_F(DwgFileTest, TheVersionLeadDecidesWhetherAndHowAFileOpens) {
    struct Case {
        const char* file;
        const char* lead;  // null: as it stands
        bool acceptPreRelease;
        int opened;
        std::int32_t error;
        std::int16_t version;
    };
    const Case cases[] = {
        {"ac1018_example.dwg", nullptr, false, 0, AD_ERR_UNSUPPORTED_VERSION, -1},
        {"ac1015_sample.dwg", "AC1016", false, 0, AD_ERR_UNSUPPORTED_VERSION, -1},
        {"ac1014_small.dwg", "AC1013", false, 0, AD_ERR_PRE_RELEASE, -1},
        {"ac1014_small.dwg", "AC1013", true, 1, AD_OK, 6},
        {"ac1015_sample.dwg", "AC1500", false, 1, AD_OK, 7},
        {"ac1012_example.dwg", nullptr, false, 1, AD_OK, 5},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " as " + (c.lead ? c.lead : "is"));
        std::string bytes = fileBytes(dwgCorpusDir() / c.file);
        if (c.lead) bytes.replace(0, 6, c.lead);
        adGlobals->acceptPreRelease = c.acceptPreRelease ? 1 : 0;
        OpenedDwg dwg(dir.write("lead.dwg", bytes));
        EXPECT_EQ(dwg.opened(), c.opened);
        EXPECT_EQ(dwg.error(), c.error);
        if (c.opened) {
            EXPECT_EQ(dwg.get()->version, c.version);
        }
    }
}

TEST_F(DwgFileTest, AFileCutAnywhereOpensOrFailsWithAReason) {
    constexpr int kCuts = 64;
    TempDir dir;
    for (const auto& path : corpus_) {
        const std::string bytes = fileBytes(path);
        for (int i = 0; i < kCuts; ++i) {
            const std::size_t length = bytes.size() * static_cast<std::size_t>(i) / kCuts;
            SCOPED_TRACE(path.filename().string() + " cut at " + std::to_string(length));
            const std::string cut = dir.write("cut.dwg", bytes.substr(0, length));
            // A cut beyond the last section the file uses loses nothing.
            OpenedDwg dwg(cut);
            EXPECT_EQ(dwg.opened() == 1, dwg.error() == AD_OK) << dwg.error();
            const int failed = checkFile(cut, AD_DWG_CHECK_FULL);
            EXPECT_EQ(failed == 0, adGlobals->errorCode == AD_OK) << adGlobals->errorCode;
            if (i < kCuts / 2) {
                // The open may get by without the preview, but half the file
                // never holds the whole drawing.
                AdDrawing* whole = adOpenDrawing(cut.c_str(), 1, 0);
                EXPECT_EQ(whole, nullptr);
                if (whole) adCloseDrawing(whole);
            }
        }
    }
}

}  // namespace
