// The real fixed-record DWG files beside the repository load whole, with the
// objects every later drawing has.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/db/dwg/dwg_corpus.h"
#include "toolkit/db/started_toolkit.h"

namespace {

// Every AC1002 to AC1009 file, sorted; empty when the data is absent.
std::vector<std::filesystem::path> fixedRecordCorpus() {
    std::vector<std::filesystem::path> files;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(dwgCorpusDir(), ignored)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".dwg" && name.rfind("ac100", 0) == 0) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class R12Corpus : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDwgReadOps();
        adInstallDxfReadOps();
    }
};

TEST_F(R12Corpus, EveryFileLoadsWithTheNamedObjectTree) {
    const std::vector<std::filesystem::path> files = fixedRecordCorpus();
    if (files.empty()) GTEST_SKIP() << "no fixed-record DWG files in " << dwgCorpusDir();
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        AdDrawing* d = adOpenDrawing(file.string().c_str(), 1, 0);
        ASSERT_NE(d, nullptr) << "error " << adGlobals->errorCode << " in stage " << adGlobals->loadStage;
        EXPECT_EQ(adGlobals->errorCode, 0);
        EXPECT_EQ(d->loadErrorCount, 0);
        AdHandle groups{}, styles{}, standard{};
        EXPECT_EQ(adDictionaryFindEntry(d, &d->namedObjectDictionary, "ACAD_GROUP", &groups), 1);
        EXPECT_EQ(adDictionaryFindEntry(d, &d->namedObjectDictionary, "ACAD_MLINESTYLE", &styles), 1);
        EXPECT_EQ(adDictionaryFindEntry(d, &styles, "Standard", &standard), 1);
        EXPECT_EQ(adHandleCompare(&standard, &d->header->cmlstyleHandle), 0);
        // Every block reference finds its block by its number.
        AdEntityHeader header{};
        std::unique_ptr<AdEntityData> data(new AdEntityData);
        ASSERT_EQ(adEntityRewind(d->modelSpace), 1);
        while (adEntityNext(d->modelSpace, &header, data.get())) {
            const AdHandle* block = header.type == AD_ENTITY_INSERT      ? &data->insert.block
                                    : header.type == AD_ENTITY_DIMENSION ? &data->dimension.block
                                                                         : nullptr;
            if (block) {
                EXPECT_NE(adBlockEntityList(d, block), nullptr) << "type " << header.type;
            }
        }
        adCloseDrawing(d);
    }
}

// The sheet's viewport of a release-12 drawing takes its view out of its
// extended data, and its viewport-entity header finds it by number.
TEST_F(R12Corpus, PaperSpaceViewportIsConverted) {
    const std::filesystem::path file = dwgCorpusDir() / "ac1009_aceb10_tables.dwg";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "no " << file;
    AdDrawing* d = adOpenDrawing(file.string().c_str(), 1, 0);
    ASSERT_NE(d, nullptr) << "error " << adGlobals->errorCode;
    AdEntityHeader header{};
    std::unique_ptr<AdEntityData> data(new AdEntityData);
    int viewports = 0;
    ASSERT_EQ(adEntityRewind(d->paperSpace), 1);
    while (adEntityNext(d->paperSpace, &header, data.get())) {
        if (header.type != AD_ENTITY_VIEWPORT) continue;
        ++viewports;
        EXPECT_EQ(data->viewport.id, 1);
        EXPECT_EQ(data->viewport.viewHeight, data->viewport.height);
        EXPECT_NEAR(data->viewport.viewCentre[0], 28.566, 1e-3);
    }
    EXPECT_EQ(viewports, 1);
    // Its viewport-entity header stays with it after the conversion.
    ASSERT_EQ(adListCount(d->vportEntities), 1);
    AdVportEntityHeader record;
    std::memcpy(&record, adListRecordData(adListFirst(d->vportEntities)), sizeof record);
    EXPECT_EQ(record.number, 1);
    EXPECT_EQ(record.entityIndex, 1);
    adCloseDrawing(d);
}

}  // namespace
