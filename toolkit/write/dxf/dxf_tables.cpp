// The TABLES section of the R12 layout: which tables and records each
// version has.
#include "toolkit/write/dxf/dxf_table_records.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/ad_internal.h"

#include <cstring>
#include <memory>

namespace {

bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, 8) == 0; }

}  // namespace

int adDxfWriteTables(AdDrawing* source, AdOutputDrawing* output, void*) {
    AdDxfTableWriter w(source, output);
    const std::int16_t v = output->version;
    if (!adDxfBeginSection(output, AdDxfKeywordTable[AD_KW_TABLES])) return 0;
    if (v >= AD_VERSION_AC1006) {
        w.begin("VPORT", adVportCount(source));
        adDxfEachRecord<AdVportRecord>(w, adVportRewind, adVportNext, [&](const AdVportRecord& r, std::int32_t i) { w.vport(r, i); });
        w.end();
    }
    adReportSaveProgress(5);

    // BYLAYER and BYBLOCK are no records of the table in this layout.
    const std::int32_t ltypes = adLtypeCount(source);
    w.begin("LTYPE", ltypes >= 2 ? ltypes - 2 : 0);
    adDxfEachRecord<AdLtypeRecord>(w, adLtypeRewind, adLtypeNext, [&](const AdLtypeRecord& r, std::int32_t i) {
        if (i >= ltypes - 2 || sameHandle(r.handle, source->byLayerLtype) || sameHandle(r.handle, source->byBlockLtype))
            return;
        w.ltype(r, i + 2);
    });
    w.end();
    adReportSaveProgress(10);

    w.begin("LAYER", adLayerCount(source));
    adDxfEachRecord<AdLayerRecord>(w, adLayerRewind, adLayerNext, [&](const AdLayerRecord& r, std::int32_t i) {
        char linetype[AD_TABLE_NAME_SIZE];
        std::int16_t number = 0;
        adDxfLtypeName(source, &r.linetype, linetype);
        adLtypeHandleToIndex(source, &r.linetype, &number);
        w.layer(r, i, linetype, number);
    });
    w.end();
    adReportSaveProgress(15);

    w.begin("STYLE", adStyleCount(source));
    adDxfEachRecord<AdStyleRecord>(w, adStyleRewind, adStyleNext, [&](const AdStyleRecord& r, std::int32_t i) { w.style(r, i); });
    w.end();
    adReportSaveProgress(20);

    w.begin("VIEW", 0);
    adDxfEachRecord<AdViewTableRecord>(w, adViewRewind, adViewNext, [&](const AdViewTableRecord& r, std::int32_t i) { w.view(r, i); });
    w.end();
    adReportSaveProgress(25);

    if (v >= AD_VERSION_AC1006) {
        w.begin("UCS", adUcsCount(source));
        adDxfEachRecord<AdUcsRecord>(w, adUcsRewind, adUcsNext, [&](const AdUcsRecord& r, std::int32_t i) { w.ucs(r, i); });
        w.end();
        adReportSaveProgress(30);
    }
    if (v == AD_VERSION_AC1009) {
        w.begin("APPID", adAppidCount(source));
        adDxfEachRecord<AdAppidRecord>(w, adAppidRewind, adAppidNext, [&](const AdAppidRecord& r, std::int32_t) { w.appid(r); });
        w.end();
        adReportSaveProgress(35);
        w.begin("DIMSTYLE", adDimStyleCount(source));
        adDxfEachRecord<AdDimStyleRecord>(w, adDimStyleRewind, adDimStyleNext,
                                     [&](const AdDimStyleRecord& r, std::int32_t i) { w.dimStyle(r, i); });
        w.end();
    }
    return w.ok && adDxfEndSection(output);
}
