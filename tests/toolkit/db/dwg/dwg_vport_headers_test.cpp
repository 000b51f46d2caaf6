// The viewport-entity headers of the real bit-coded DWG files, read through
// the DWG reader table as the header stage reads them.
#include "dwg_corpus.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/ad.h"
#include "toolkit/db/dwg/dwg_read.h"
#include "toolkit/db/load_stages.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

class DwgVportHeadersTest : public StartedToolkit {};

constexpr std::int16_t kViewportEntity = 34;

std::uint64_t key(const AdHandle& h) {
    std::uint64_t v = 0;
    for (std::uint8_t b : h.b) v = (v << 8) | b;
    return v;
}

// The type of the entity the handle names; 0 when it is not there.
std::int16_t entityType(AdDrawing* drawing, const AdHandle& handle) {
    AdHandle own{};
    std::uint8_t xdataFlag = 0;
    AdStore* graphics = nullptr;
    if (!adDwgSeekObject(drawing, &handle)) return 0;
    const std::int16_t type = adDwgReadObjectStart(drawing, &own, &xdataFlag, 1, &graphics);
    if (graphics) adStoreFree(graphics);
    return type;
}

// Each header names its VIEWPORT; its number is its place in the chain from
// the header variables' current header, 0 for the table's first record and
// for headers that are off.
TEST_F(DwgVportHeadersTest, NumbersFollowTheChainFromTheCurrentHeader) {
    std::int32_t files = 0;
    for (const std::filesystem::path& path : bitCodedCorpus()) {
        SCOPED_TRACE(path.filename().string());
        OpenedDwg dwg(path.string());
        ASSERT_EQ(dwg.opened(), 1) << dwg.error();
        AdDrawing* d = dwg.get();
        const std::int32_t count = d->tableEntryCounts[AD_CONTROL_VPORT_ENTITY];
        if (count == 0) continue;
        ++files;
        adInstallDwgReadOps();
        d->readOps = adGlobals->dwgReadOps;
        ASSERT_EQ(d->readOps->beginVportEntities(d), 1);
        std::vector<AdVportEntityHeader> headers(static_cast<std::size_t>(count));
        for (AdVportEntityHeader& h : headers) ASSERT_EQ(d->readOps->nextVportEntity(d, &h), 1);
        std::map<std::uint64_t, std::int16_t> place;
        std::map<std::uint64_t, AdHandle> next;
        for (const AdVportEntityHeader& h : headers) next[key(h.handle)] = h.nextHeader;
        AdHandle at = dwg.dwg()->vportEntityHeader;
        for (std::int16_t i = 1; i <= 16 && adHandleLength(&at) > 0 && !place.count(key(at)); ++i) {
            place[key(at)] = i;
            at = next.count(key(at)) ? next[key(at)] : AdHandle{};
        }
        ASSERT_FALSE(place.empty());
        EXPECT_EQ(headers[0].number, 0);
        for (std::size_t i = 1; i < headers.size(); ++i) {
            const AdVportEntityHeader& h = headers[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(h.erased, 0);
            if (h.flags == 0) {
                EXPECT_EQ(h.number, 0);
                continue;
            }
            EXPECT_EQ(h.number, place.count(key(h.handle)) ? place[key(h.handle)] : -1);
            EXPECT_EQ(entityType(d, h.viewportEntity), kViewportEntity);
        }
    }
    if (files == 0) GTEST_SKIP() << "no R13..R2000 DWG file with viewport-entity headers under " << dwgCorpusDir();
}

}  // namespace
