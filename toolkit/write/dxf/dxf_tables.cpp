// The TABLES section of the R12 layout: each table's header and records.
#include "toolkit/write/dxf/dxf_entities.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/ad_internal.h"

#include <cstring>
#include <memory>

namespace {

struct TableWriter : AdDxfGroupRun {
    AdDrawing* source;

    TableWriter(AdDrawing* drawing, AdOutputDrawing* out) : AdDxfGroupRun{out}, source(drawing) {}
    std::int16_t limit() const { return adGetNameLengthLimit(); }
    void name(const char* value, std::int32_t number) {
        if (ok) ok = adDxfWriteNameGroup(source, output, 2, value, number, limit());
    }
    void begin(const char* table, std::int32_t count) {
        text(0, AdDxfKeywordTable[AD_KW_TABLE]);
        text(2, table);
        shortGroup(70, static_cast<std::int16_t>(count));
    }
    void end() {
        if (ok) ok = adDxfEndTable(output);
    }

    void vport(const AdVportRecord& r, std::int32_t number) {
        text(0, "VPORT");
        name(r.name, number);
        shortGroup(70, r.flags);
        point2(10, r.lowerLeft);
        point2(11, r.upperRight);
        point2(12, r.viewCentre);
        point2(13, r.snapBase);
        point2(14, r.snapSpacing);
        point2(15, r.gridSpacing);
        point3(16, r.viewDirection);
        point3(17, r.viewTarget);
        real(40, r.viewHeight);
        real(41, r.aspectRatio);
        real(42, r.lensLength);
        real(43, r.frontClip);
        real(44, r.backClip);
        angle(50, r.snapAngle);
        angle(51, r.viewTwist);
        shortGroup(71, r.viewMode);
        shortGroup(72, r.circleZoom);
        shortGroup(73, r.fastZoom);
        shortGroup(74, r.ucsIcon);
        shortGroup(75, r.snapOn);
        shortGroup(76, r.gridOn);
        shortGroup(77, r.snapStyle);
        shortGroup(78, r.snapIsoPair);
    }

    void ltype(const AdLtypeRecord& r, std::int32_t number) {
        text(0, "LTYPE");
        name(r.name, number);
        shortGroup(70, r.flags);
        text(3, r.description);
        shortGroup(72, r.alignment);
        shortGroup(73, r.dashCount);
        real(40, r.patternLength);
        const int dashes = r.dashCount < 0 ? 0 : (r.dashCount > AD_LTYPE_DASH_COUNT ? AD_LTYPE_DASH_COUNT : r.dashCount);
        for (int i = 0; i < dashes; ++i) real(49, r.dashes[i].length);
    }

    void layer(const AdLayerRecord& r, std::int32_t number, const char* linetype, std::int32_t linetypeNumber) {
        text(0, "LAYER");
        name(r.name, number);
        shortGroup(70, r.flags);
        shortGroup(62, r.colour);
        if (ok) ok = adDxfWriteNameGroup(source, output, 6, linetype, linetypeNumber, limit());
    }

    void style(const AdStyleRecord& r, std::int32_t number) {
        text(0, "STYLE");
        name(r.name, number);
        shortGroup(70, r.flags);
        real(40, r.fixedHeight);
        real(41, r.widthFactor);
        angle(50, r.obliqueAngle);
        shortGroup(71, r.generationFlags);
        real(42, r.lastHeight);
        text(3, r.fontFile);
        text(4, r.bigFontFile);
    }

    void view(const AdViewTableRecord& r, std::int32_t number) {
        text(0, "VIEW");
        name(r.name, number);
        shortGroup(70, r.flags);
        real(40, r.height);
        point2(10, r.centre);
        real(41, r.width);
        point3(11, r.direction);
        if (output->version >= AD_VERSION_AC1006) {
            point3(12, r.target);
            real(42, r.lensLength);
            real(43, r.frontClip);
            real(44, r.backClip);
            angle(50, r.twist);
            shortGroup(71, r.viewMode);
        }
    }

    void ucs(const AdUcsRecord& r, std::int32_t number) {
        text(0, "UCS");
        name(r.name, number);
        shortGroup(70, r.flags);
        full3(10, r.origin);
        full3(11, r.xAxis);
        full3(12, r.yAxis);
    }

    void appid(const AdAppidRecord& r) {
        text(0, "APPID");
        text(2, r.name);
        shortGroup(70, r.flags);
    }

    void blockName(std::int16_t code, const AdHandle& handle) {
        char name[AD_TABLE_NAME_SIZE] = "";
        auto block = std::make_unique<AdBlockHeader>();
        if (adHandleLength(&handle) != 0 && adBlockByHandle(source, &handle, block.get()))
            std::memcpy(name, block->name, strnlen(block->name, sizeof name - 1));
        text(code, name);
    }

    void dimStyle(const AdDimStyleRecord& r, std::int32_t number) {
        text(0, "DIMSTYLE");
        name(r.name, number);
        shortGroup(70, r.flags);
        text(3, r.dimpost);
        text(4, r.dimapost);
        blockName(5, r.dimblk);
        blockName(6, r.dimblk1);
        blockName(7, r.dimblk2);
        const double reals1[] = {r.dimscale, r.dimasz, r.dimexo, r.dimdli, r.dimexe,
                                 r.dimrnd,   r.dimdle, r.dimtp,  r.dimtm};
        for (int i = 0; i < 9; ++i) real(static_cast<std::int16_t>(40 + i), reals1[i]);
        const std::int16_t flags1[] = {r.dimtol, r.dimlim, r.dimtih, r.dimtoh, r.dimse1, r.dimse2, r.dimtad, r.dimzin};
        for (int i = 0; i < 8; ++i) shortGroup(static_cast<std::int16_t>(71 + i), flags1[i]);
        const double reals2[] = {r.dimtxt, r.dimcen, r.dimtsz, r.dimaltf, r.dimlfac, r.dimtvp, r.dimtfac, r.dimgap};
        for (int i = 0; i < 8; ++i) real(static_cast<std::int16_t>(140 + i), reals2[i]);
        const std::int16_t flags2[] = {r.dimalt, r.dimaltd, r.dimtofl, r.dimsah, r.dimtix,
                                       r.dimsoxd, r.dimclrd, r.dimclre, r.dimclrt};
        for (int i = 0; i < 9; ++i) shortGroup(static_cast<std::int16_t>(170 + i), flags2[i]);
    }
};

bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, 8) == 0; }

template <typename Record, typename Rewind, typename Next, typename Write>
void eachRecord(TableWriter& w, Rewind rewind, Next next, Write write) {
    auto record = std::make_unique<Record>();
    std::int32_t position = 0;
    rewind(w.source);
    while (w.ok && next(w.source, record.get())) {
        if (!record->erased) write(*record, position);
        ++position;
    }
}
}  // namespace

int adDxfWriteTables(AdDrawing* source, AdOutputDrawing* output, void*) {
    TableWriter w(source, output);
    const std::int16_t v = output->version;
    if (!adDxfBeginSection(output, AdDxfKeywordTable[AD_KW_TABLES])) return 0;
    if (v >= AD_VERSION_AC1006) {
        w.begin("VPORT", adVportCount(source));
        eachRecord<AdVportRecord>(w, adVportRewind, adVportNext, [&](const AdVportRecord& r, std::int32_t i) { w.vport(r, i); });
        w.end();
    }
    adReportSaveProgress(5);

    // BYLAYER and BYBLOCK are no records of the table in this layout.
    const std::int32_t ltypes = adLtypeCount(source);
    w.begin("LTYPE", ltypes >= 2 ? ltypes - 2 : 0);
    eachRecord<AdLtypeRecord>(w, adLtypeRewind, adLtypeNext, [&](const AdLtypeRecord& r, std::int32_t i) {
        if (i >= ltypes - 2 || sameHandle(r.handle, source->byLayerLtype) || sameHandle(r.handle, source->byBlockLtype))
            return;
        w.ltype(r, i + 2);
    });
    w.end();
    adReportSaveProgress(10);

    w.begin("LAYER", adLayerCount(source));
    eachRecord<AdLayerRecord>(w, adLayerRewind, adLayerNext, [&](const AdLayerRecord& r, std::int32_t i) {
        char linetype[AD_TABLE_NAME_SIZE];
        std::int16_t number = 0;
        adDxfLtypeName(source, &r.linetype, linetype);
        adLtypeHandleToIndex(source, &r.linetype, &number);
        w.layer(r, i, linetype, number);
    });
    w.end();
    adReportSaveProgress(15);

    w.begin("STYLE", adStyleCount(source));
    eachRecord<AdStyleRecord>(w, adStyleRewind, adStyleNext, [&](const AdStyleRecord& r, std::int32_t i) { w.style(r, i); });
    w.end();
    adReportSaveProgress(20);

    w.begin("VIEW", 0);
    eachRecord<AdViewTableRecord>(w, adViewRewind, adViewNext, [&](const AdViewTableRecord& r, std::int32_t i) { w.view(r, i); });
    w.end();
    adReportSaveProgress(25);

    if (v >= AD_VERSION_AC1006) {
        w.begin("UCS", adUcsCount(source));
        eachRecord<AdUcsRecord>(w, adUcsRewind, adUcsNext, [&](const AdUcsRecord& r, std::int32_t i) { w.ucs(r, i); });
        w.end();
        adReportSaveProgress(30);
    }
    if (v == AD_VERSION_AC1009) {
        w.begin("APPID", adAppidCount(source));
        eachRecord<AdAppidRecord>(w, adAppidRewind, adAppidNext, [&](const AdAppidRecord& r, std::int32_t) { w.appid(r); });
        w.end();
        adReportSaveProgress(35);
        w.begin("DIMSTYLE", adDimStyleCount(source));
        eachRecord<AdDimStyleRecord>(w, adDimStyleRewind, adDimStyleNext,
                                     [&](const AdDimStyleRecord& r, std::int32_t i) { w.dimStyle(r, i); });
        w.end();
    }
    return w.ok && adDxfEndSection(output);
}
