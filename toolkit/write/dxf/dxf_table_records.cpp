// The groups of one table record, in the R12 layout and, from AC1012, with
// the common part and the groups the later versions add.
#include "toolkit/write/dxf/dxf_table_records.h"
#include "toolkit/ad_internal.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {
constexpr std::int32_t kPreviewChunk = 127;

int reactors(AdOutputDrawing* output, std::int32_t count, AdStore* store) {
    if (count <= 0) return 1;
    return adDxfWriteStringGroup(output, 102, "{ACAD_REACTORS") && adDxfWriteReactorHandles(output, store, count) &&
           adDxfWriteStringGroup(output, 102, "}");
}
}  // namespace

void AdDxfTableWriter::name(const char* value, std::int32_t number) {
    if (ok) ok = adDxfWriteNameGroup(source, output, 2, value, number, adGetNameLengthLimit());
}

void AdDxfTableWriter::begin(const char* table, std::int32_t count) {
    text(0, AdDxfKeywordTable[AD_KW_TABLE]);
    text(2, table);
    if (modern()) {
        handle(5, output->tableHandle);
        text(100, "AcDbSymbolTable");
    }
    shortGroup(70, static_cast<std::int16_t>(count));
    if (latest() && std::strcmp(table, "DIMSTYLE") == 0) {
        text(100, "AcDbDimStyleTable");
        shortGroup(71, 0);
    }
}

void AdDxfTableWriter::end() {
    if (ok) ok = adDxfEndTable(output);
}

void AdDxfTableWriter::head(const char* keyword, const AdHandle& own, std::int16_t handleCode,
                            const AdHandle& dictionary, std::int32_t reactorCount, AdStore* reactorStore,
                            const char* kind) {
    text(0, keyword);
    if (!modern()) return;
    handle(handleCode, own);
    if (adHandleLength(&dictionary) != 0) {
        text(102, "{ACAD_XDICTIONARY");
        handle(360, dictionary);
        text(102, "}");
    }
    if (ok) ok = reactors(output, reactorCount, reactorStore);
    text(100, "AcDbSymbolTableRecord");
    char marker[64];
    std::snprintf(marker, sizeof marker, "AcDb%sTableRecord", kind);
    text(100, marker);
}

void AdDxfTableWriter::ucsAxes(const double* origin, const double* xAxis, const double* yAxis) {
    full3(110, origin);
    full3(111, xAxis);
    full3(112, yAxis);
}

void AdDxfTableWriter::xdata(AdStore* store) {
    if (ok && modern()) ok = adDxfWriteXdataStore(source, output, store);
}

void AdDxfTableWriter::vport(const AdVportRecord& r, std::int32_t number) {
    head("VPORT", r.handle, 5, r.extensionDictionary, r.reactorCount, r.reactors, "Viewport");
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
    if (latest()) {
        shortGroup(281, r.renderMode);
        shortGroup(65, r.ucsPerViewport);
        ucsAxes(r.ucsOrigin, r.ucsXAxis, r.ucsYAxis);
        handle(345, r.namedUcs);
        handle(346, r.baseUcs);
        shortGroup(79, r.orthographicType);
        real(146, r.elevation);
    }
}

void AdDxfTableWriter::ltype(const AdLtypeRecord& r, std::int32_t number) {
    head("LTYPE", r.handle, 5, r.extensionDictionary, r.reactorCount, r.reactors, "Linetype");
    name(r.name, number);
    shortGroup(70, r.flags);
    text(3, r.description);
    shortGroup(72, r.alignment);
    shortGroup(73, r.dashCount);
    real(40, r.patternLength);
    const int dashes = r.dashCount < 0 ? 0 : (r.dashCount > AD_LTYPE_DASH_COUNT ? AD_LTYPE_DASH_COUNT : r.dashCount);
    for (int i = 0; i < dashes; ++i) {
        const AdLtypeDash& d = r.dashes[i];
        real(49, d.length);
        if (!modern()) continue;
        shortGroup(74, d.complexFlags);
        if (d.complexFlags == 0) continue;
        shortGroup(75, d.shapeNumber);
        handle(340, d.style);
        real(46, d.scale);
        angle(50, d.rotation);
        real(44, d.xOffset);
        real(45, d.yOffset);
        if (d.complexFlags & 2) {
            // The dash's text lies in the record's text area; an offset
            // outside it names no text.
            const int at = d.textPosition;
            const bool inside = at >= 0 && at < static_cast<int>(sizeof r.textArea);
            char dashText[sizeof r.textArea] = "";
            if (inside) std::memcpy(dashText, r.textArea + at, strnlen(r.textArea + at, sizeof r.textArea - at - 1));
            text(9, dashText);
        }
    }
}

void AdDxfTableWriter::layer(const AdLayerRecord& r, std::int32_t number, const char* linetype,
                             std::int32_t linetypeNumber) {
    head("LAYER", r.handle, 5, r.extensionDictionary, r.reactorCount, r.reactors, "Layer");
    name(r.name, number);
    shortGroup(70, r.flags);
    shortGroup(62, r.colour);
    if (ok) ok = adDxfWriteNameGroup(source, output, 6, linetype, linetypeNumber, adGetNameLengthLimit());
    if (latest()) {
        // The layer of definition points is never plotted.
        const bool defpoints = adStrCompareNoCase(r.name, "DefPoints") == 0;
        byteGroup(290, static_cast<std::int8_t>(defpoints ? 0 : r.plotFlag));
        shortGroup(370, r.lineweight);
        handle(390, r.plotStyle);
    }
}

void AdDxfTableWriter::style(const AdStyleRecord& r, std::int32_t number) {
    head("STYLE", r.handle, 5, r.extensionDictionary, r.reactorCount, r.reactors, "TextStyle");
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

void AdDxfTableWriter::view(const AdViewTableRecord& r, std::int32_t number) {
    head("VIEW", r.handle, 5, r.extensionDictionary, r.reactorCount, r.reactors, "View");
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
    if (latest()) {
        shortGroup(281, r.renderMode);
        shortGroup(72, r.ucsAssociated);
        ucsAxes(r.ucsOrigin, r.ucsXAxis, r.ucsYAxis);
        if (r.ucsAssociated == 1) {
            shortGroup(79, r.orthographicType);
            real(146, r.elevation);
            handle(345, r.namedUcs);
            handle(346, r.baseUcs);
        }
    }
}

void AdDxfTableWriter::ucs(const AdUcsRecord& r, std::int32_t number) {
    head("UCS", r.handle, 5, r.extensionDictionary, r.reactorCount, r.reactors, "UCS");
    name(r.name, number);
    shortGroup(70, r.flags);
    full3(10, r.origin);
    full3(11, r.xAxis);
    full3(12, r.yAxis);
    if (latest()) {
        shortGroup(79, r.value79);
        real(146, r.elevation);
        if (r.value79 != 0) handle(346, r.baseUcs);
        if (r.orthographicType != 0) {
            shortGroup(71, r.orthographicType);
            full3(13, r.orthographicOrigin);
        }
    }
}

void AdDxfTableWriter::appid(const AdAppidRecord& r) {
    head("APPID", r.handle, 5, r.extensionDictionary, r.reactorCount, r.reactors, "RegApp");
    text(2, r.name);
    shortGroup(70, r.flags);
}

void AdDxfTableWriter::dimStyle(const AdDimStyleRecord& r, std::int32_t number) {
    head("DIMSTYLE", r.handle, 105, r.extensionDictionary, r.reactorCount, r.reactors, "DimStyle");
    name(r.name, number);
    shortGroup(70, r.flags);
    text(3, r.dimpost);
    text(4, r.dimapost);
    auto blockName = [&](std::int16_t code, const AdHandle& block) {
        char blockText[AD_TABLE_NAME_SIZE] = "";
        auto header = std::make_unique<AdBlockHeader>();
        if (adHandleLength(&block) != 0 && adBlockByHandle(source, &block, header.get()))
            std::memcpy(blockText, header->name, strnlen(header->name, sizeof blockText - 1));
        text(code, blockText);
    };
    if (!latest()) {
        blockName(5, r.dimblk);
        blockName(6, r.dimblk1);
        blockName(7, r.dimblk2);
    }
    const double reals1[] = {r.dimscale, r.dimasz, r.dimexo, r.dimdli, r.dimexe, r.dimrnd, r.dimdle, r.dimtp, r.dimtm};
    for (int i = 0; i < 9; ++i) real(static_cast<std::int16_t>(40 + i), reals1[i]);
    const std::int16_t flags1[] = {r.dimtol, r.dimlim, r.dimtih, r.dimtoh, r.dimse1, r.dimse2, r.dimtad, r.dimzin};
    for (int i = 0; i < 8; ++i) shortGroup(static_cast<std::int16_t>(71 + i), flags1[i]);
    if (latest()) shortGroup(79, r.dimazin);
    const double reals2[] = {r.dimtxt, r.dimcen, r.dimtsz, r.dimaltf, r.dimlfac, r.dimtvp, r.dimtfac, r.dimgap};
    for (int i = 0; i < 8; ++i) real(static_cast<std::int16_t>(140 + i), reals2[i]);
    if (latest()) real(148, r.dimaltrnd);
    const std::int16_t flags2[] = {r.dimalt, r.dimaltd, r.dimtofl, r.dimsah, r.dimtix,
                                   r.dimsoxd, r.dimclrd, r.dimclre, r.dimclrt};
    for (int i = 0; i < 9; ++i) shortGroup(static_cast<std::int16_t>(170 + i), flags2[i]);
    if (latest()) shortGroup(179, r.dimadec);
    if (!modern()) return;
    if (!latest()) shortGroup(270, r.dimunit);
    const std::int16_t units[] = {r.dimdec, r.dimtdec, r.dimaltu, r.dimalttd, r.dimaunit};
    for (int i = 0; i < 5; ++i) shortGroup(static_cast<std::int16_t>(271 + i), units[i]);
    if (latest()) {
        const std::int16_t fractions[] = {r.dimfrac, r.dimunit, r.dimdsep, r.dimtmove};
        for (int i = 0; i < 4; ++i) shortGroup(static_cast<std::int16_t>(276 + i), fractions[i]);
    }
    const std::int16_t placing[] = {r.dimjust, r.dimsd1, r.dimsd2, r.dimtolj, r.dimtzin, r.dimaltz, r.dimalttz};
    for (int i = 0; i < 7; ++i) shortGroup(static_cast<std::int16_t>(280 + i), placing[i]);
    if (!latest()) shortGroup(287, static_cast<std::int16_t>((r.dimtmove & 0xFF) + r.dimfit));
    shortGroup(288, r.dimupt);
    handle(340, r.dimtxsty);
    if (latest()) {
        handle(341, r.dimldrblk);
        handle(342, r.dimblk);
        handle(343, r.dimblk1);
        handle(344, r.dimblk2);
        shortGroup(371, r.dimlwd);
        shortGroup(372, r.dimlwe);
    }
}

void AdDxfTableWriter::blockRecord(const AdBlockHeader& r, const char* recordName, std::int32_t number) {
    head("BLOCK_RECORD", r.handle, 5, r.extensionDictionary, 0, nullptr, "Block");
    name(recordName, number);
    if (latest()) handle(340, r.layout);
    if (r.preview && ok) ok = adDxfWriteBinaryChunks(output, r.preview, 310, kPreviewChunk);
    if (r.insertReferences) {
        text(102, "{BLKREFS");
        AdStream* in = adStreamOpenRead(r.insertReferences);
        AdHandle insert{};
        while (ok && in && adStreamReadHandle(in, &insert)) handle(331, insert);
        if (in) adStreamCloseRead(in);
        text(102, "}");
    }
    xdata(r.xdata);
}
