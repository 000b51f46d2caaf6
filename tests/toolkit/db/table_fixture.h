// A drawing with empty table lists and an empty handle index over a zeroed
// global state, for tests of the symbol tables.
#pragma once
#include "handle_values.h"
#include "scratch_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        d = drawing_.get();
        adHandleIndexReset(d);
        for (AdRecordList* AdDrawing::*list : lists()) d->*list = adListCreate();
    }
    void TearDown() override {
        adFreeLayerList(d);
        adFreeLtypeList(d);
        adFreeUcsList(d);
        adFreeViewList(d);
        adFreeVportList(d);
        adFreeVportEntityList(d);
        adFreeDimStyleList(d);
        adFreeAppidList(d);
        adFreeBlockList(d);
        adFreeStyleList(d);
        adFreeClassList(d);
        adFreeListHeaders(d);
        adFreeBlockNameIndex(d);
        adHandleIndexFree(d);
    }

    static std::vector<AdRecordList* AdDrawing::*> lists() {
        return {&AdDrawing::layers,    &AdDrawing::ltypes, &AdDrawing::ucss,   &AdDrawing::views,
                &AdDrawing::vports,    &AdDrawing::vportEntities, &AdDrawing::dimStyles,
                &AdDrawing::appids,    &AdDrawing::blocks, &AdDrawing::styles, &AdDrawing::classes};
    }

    // Stores a record the way the table loaders do: keyed and appended.
    template <typename Record>
    void store(AdRecordList* list, const Record& record, std::size_t storedSize = sizeof(Record)) {
        std::vector<std::uint8_t> image(AD_LIST_LINKS_SIZE + storedSize);
        std::memcpy(image.data() + AD_LIST_LINKS_SIZE, &record, sizeof record);
        ASSERT_NE(adListInsertKeyed(&record.handle, d, image.data(), image.size(), list, AD_LIST_AT_END, nullptr),
                  nullptr);
    }

    AdLayerRecord layer(const char* name, std::uint64_t handle) {
        AdLayerRecord r;
        adDefaultLayerRecord(d, &r);
        std::strcpy(r.name, name);
        r.handle = H(handle);
        return r;
    }
    AdLtypeRecord ltype(const char* name, std::uint64_t handle) {
        AdLtypeRecord r;
        std::strcpy(r.name, name);
        adDefaultLtypeRecord(&r);
        r.handle = H(handle);
        return r;
    }
    AdBlockHeader block(const char* name, std::uint64_t handle) {
        AdBlockHeader r;
        adDefaultBlockHeader(&r);
        std::strcpy(r.name, name);
        r.handle = H(handle);
        return r;
    }

    // The names of a table's records in list order, read through its cursor.
    template <typename Record, typename Rewind, typename Next>
    std::vector<std::string> names(Rewind rewind, Next next) {
        std::vector<std::string> result;
        rewind(d);
        Record r;
        while (next(d, &r)) result.emplace_back(r.name);
        return result;
    }
    std::vector<std::string> ltypeNames() { return names<AdLtypeRecord>(adLtypeRewind, adLtypeNext); }
    std::vector<std::string> blockNames() { return names<AdBlockHeader>(adBlockRewind, adBlockNext); }

    ScratchState state;
    std::unique_ptr<AdDrawing> drawing_ = std::make_unique<AdDrawing>();
    AdDrawing* d = nullptr;
};
