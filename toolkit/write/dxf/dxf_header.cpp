// The HEADER section: one fixed sequence of variables, each written only for
// the versions that have it.
#include "toolkit/write/dxf/dxf_entities.h"
#include "toolkit/ad_internal.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace {
enum Kind : std::uint8_t {
    SHORT,   // int16 field, group 70
    BYTE,    // uint8 field, group 70
    REAL,    // group 40
    ANGLE,   // group 50, degrees
    POINT2,  // 10, 20
    POINT3,  // 10, 20, 30
    FULL3,   // 10, 20, 30 at 16 decimals
    TEXT1,   // a text field, group 1 (or the row's code)
    BYTE_GROUP,  // uint8 field as a byte group of the row's code
    DATE9,
    DATE10,
    EMPTY2,  // group 2, empty
    SPECIAL, // written by name below
};

struct Row {
    const char* name;
    Kind kind;
    std::size_t offset;
    std::int8_t first;  // lowest version
    std::int8_t last;   // highest version
    std::int16_t code = 0;  // the value's group code where it is not the kind's
};

#define F(field) offsetof(AdHeaderVars, field)
constexpr std::int8_t A = 7;  // every version up to the last

const Row kRows[] = {
    {"$ACADVER", SPECIAL, 0, 0, A},
    {"$ACADMAINTVER", SPECIAL, 0, 6, A},
    {"$DWGCODEPAGE", SPECIAL, 0, 3, A},
    {"$INSBASE", SPECIAL, 0, 0, A},
    {"$EXTMIN", SPECIAL, F(extmin), 0, A},
    {"$EXTMAX", SPECIAL, F(extmax), 0, A},
    {"$LIMMIN", POINT2, F(limmin), 0, A},
    {"$LIMMAX", POINT2, F(limmax), 0, A},
    {"$VIEWCTR", POINT2, F(viewctr), 0, 3},
    {"$VIEWSIZE", REAL, F(viewsize), 0, 3},
    {"$SNAPMODE", SHORT, F(snapmode), 0, 3},
    {"$SNAPUNIT", POINT2, F(snapunit), 0, 3},
    {"$SNAPBASE", POINT2, F(snapbase), 0, 3},
    {"$SNAPANG", ANGLE, F(snapang), 0, 3},
    {"$SNAPSTYLE", SHORT, F(snapstyle), 0, 3},
    {"$SNAPISOPAIR", SHORT, F(snapisopair), 0, 3},
    {"$GRIDMODE", SHORT, F(gridmode), 0, 3},
    {"$GRIDUNIT", POINT2, F(gridunit), 0, 3},
    {"$ORTHOMODE", SHORT, F(orthomode), 0, A},
    {"$REGENMODE", SHORT, F(regenmode), 0, A},
    {"$FILLMODE", SHORT, F(fillmode), 0, A},
    {"$QTEXTMODE", SHORT, F(qtextmode), 0, A},
    {"$MIRRTEXT", SHORT, F(mirrtext), 3, A},
    {"$DRAGMODE", SHORT, F(dragmode), 0, 6},
    {"$LTSCALE", REAL, F(ltscale), 0, A},
    {"$OSMODE", SHORT, F(osmode), 0, 6},
    {"$ATTMODE", SHORT, F(attmode), 0, A},
    {"$TEXTSIZE", REAL, F(textsize), 0, A},
    {"$TRACEWID", REAL, F(tracewid), 0, A},
    {"$TEXTSTYLE", SPECIAL, 0, 0, A},
    {"$CLAYER", SPECIAL, 0, 0, A},
    {"$CELTYPE", SPECIAL, 0, 0, A},
    {"$CECOLOR", SPECIAL, 0, 0, A},
    {"$CELTSCALE", REAL, F(celtscale), 5, A},
    {"$DELOBJ", BYTE, F(delobj), 5, 6},
    {"$DISPSILH", BYTE, F(dispsilh), 5, A},
    {"$DIMSCALE", REAL, F(dimscale), 0, A},
    {"$DIMASZ", REAL, F(dimasz), 0, A},
    {"$DIMEXO", REAL, F(dimexo), 0, A},
    {"$DIMDLI", REAL, F(dimdli), 0, A},
    {"$DIMRND", REAL, F(dimrnd), 0, A},
    {"$DIMDLE", REAL, F(dimdle), 0, A},
    {"$DIMEXE", REAL, F(dimexe), 0, A},
    {"$DIMTP", REAL, F(dimtp), 0, A},
    {"$DIMTM", REAL, F(dimtm), 0, A},
    {"$DIMTXT", REAL, F(dimtxt), 0, A},
    {"$DIMCEN", REAL, F(dimcen), 0, A},
    {"$DIMTSZ", REAL, F(dimtsz), 0, A},
    {"$DIMTOL", BYTE, F(dimtol), 0, A},
    {"$DIMLIM", BYTE, F(dimlim), 0, A},
    {"$DIMTIH", BYTE, F(dimtih), 0, A},
    {"$DIMTOH", BYTE, F(dimtoh), 0, A},
    {"$DIMSE1", BYTE, F(dimse1), 0, A},
    {"$DIMSE2", BYTE, F(dimse2), 0, A},
    {"$DIMTAD", BYTE, F(dimtad), 0, A},
    {"$DIMZIN", BYTE, F(dimzin), 0, A},
    {"$DIMBLK", SPECIAL, F(dimblkHandle), 0, A},
    {"$DIMASO", BYTE, F(dimaso), 1, A},
    {"$DIMSHO", BYTE, F(dimsho), 1, A},
    {"$DIMPOST", TEXT1, F(dimpost), 1, A},
    {"$DIMAPOST", TEXT1, F(dimapost), 1, A},
    {"$DIMALT", BYTE, F(dimalt), 1, A},
    {"$DIMALTD", BYTE, F(dimaltd), 1, A},
    {"$DIMALTF", REAL, F(dimaltf), 1, A},
    {"$DIMLFAC", REAL, F(dimlfac), 1, A},
    {"$DIMTOFL", BYTE, F(dimtofl), 3, A},
    {"$DIMTVP", REAL, F(dimtvp), 3, A},
    {"$DIMTIX", BYTE, F(dimtix), 3, A},
    {"$DIMSOXD", BYTE, F(dimsoxd), 3, A},
    {"$DIMSAH", BYTE, F(dimsah), 3, A},
    {"$DIMBLK1", SPECIAL, F(dimblk1Handle), 3, A},
    {"$DIMBLK2", SPECIAL, F(dimblk2Handle), 3, A},
    {"$DIMSTYLE", SPECIAL, 0, 4, A},
    {"$DIMCLRD", SHORT, F(dimclrd), 4, A},
    {"$DIMCLRE", SHORT, F(dimclre), 4, A},
    {"$DIMCLRT", SHORT, F(dimclrt), 4, A},
    {"$DIMTFAC", REAL, F(dimtfac), 4, A},
    {"$DIMGAP", REAL, F(dimgap), 4, A},
    {"$DIMJUST", BYTE, F(dimjust), 5, A},
    {"$DIMSD1", BYTE, F(dimsd1), 5, A},
    {"$DIMSD2", BYTE, F(dimsd2), 5, A},
    {"$DIMTOLJ", BYTE, F(dimtolj), 5, A},
    {"$DIMTZIN", BYTE, F(dimtzin), 5, A},
    {"$DIMALTZ", BYTE, F(dimaltz), 5, A},
    {"$DIMALTTZ", BYTE, F(dimalttz), 5, A},
    {"$DIMFIT", SPECIAL, 0, 5, 6},
    {"$DIMUPT", BYTE, F(dimupt), 5, A},
    {"$DIMUNIT", SPECIAL, 0, 5, 6},
    {"$DIMDEC", SHORT, F(dimdec), 5, A},
    {"$DIMTDEC", SHORT, F(dimtdec), 5, A},
    {"$DIMALTU", SHORT, F(dimaltu), 5, A},
    {"$DIMALTTD", SHORT, F(dimalttd), 5, A},
    {"$DIMTXSTY", SPECIAL, 0, 5, A},
    {"$DIMAUNIT", SHORT, F(dimaunit), 5, A},
    {"$DIMADEC", SHORT, F(dimadec), 7, A},
    {"$DIMALTRND", REAL, F(dimaltrnd), 7, A},
    {"$DIMAZIN", SHORT, F(dimazin), 7, A},
    {"$DIMDSEP", SHORT, F(dimdsep), 7, A},
    {"$DIMATFIT", BYTE, F(dimatfit), 7, A},
    {"$DIMFRAC", SHORT, F(dimfrac), 7, A},
    {"$DIMLDRBLK", TEXT1, F(dimldrblk), 7, A},
    {"$DIMLUNIT", SHORT, F(dimlunit), 7, A},
    {"$DIMLWD", SHORT, F(dimlwd), 7, A},
    {"$DIMLWE", SHORT, F(dimlwe), 7, A},
    {"$DIMTMOVE", SHORT, F(dimtmove), 7, A},
    {"$LUNITS", SHORT, F(lunits), 0, A},
    {"$LUPREC", SHORT, F(luprec), 0, A},
    {"$AXISMODE", SHORT, F(axismode), 0, 4},
    {"$AXISUNIT", POINT2, F(axisunit), 0, 4},
    {"$SKETCHINC", REAL, F(sketchinc), 0, A},
    {"$FILLETRAD", REAL, F(filletrad), 0, A},
    {"$AUNITS", SHORT, F(aunits), 0, A},
    {"$AUPREC", SHORT, F(auprec), 0, A},
    {"$MENU", TEXT1, F(menu), 0, A},
    {"$ELEVATION", REAL, F(elevation), 0, A},
    {"$PELEVATION", REAL, F(pelevation), 4, A},
    {"$THICKNESS", REAL, F(thickness), 0, A},
    {"$VIEWDIR", POINT3, F(viewdir), 0, 2},
    {"$LIMCHECK", SHORT, F(limcheck), 0, A},
    {"$BLIPMODE", SHORT, F(blipmode), 0, 6},
    {"$CHAMFERA", REAL, F(chamfera), 0, A},
    {"$CHAMFERB", REAL, F(chamferb), 0, A},
    {"$CHAMFERC", REAL, F(chamferc), 5, A},
    {"$CHAMFERD", REAL, F(chamferd), 5, A},
    {"$FASTZOOM", SHORT, F(fastzoom), 0, 2},
    {"$SKPOLY", SHORT, F(skpoly), 0, A},
    {"$TDCREATE", DATE9, F(tdcreate), 0, A},
    {"$TDUCREATE", DATE9, F(tducreate), 7, A},
    {"$TDUPDATE", DATE9, F(tdupdate), 0, A},
    {"$TDUUPDATE", DATE9, F(tduupdate), 7, A},
    {"$TDINDWG", DATE10, F(tdindwg), 0, A},
    {"$TDUSRTIMER", DATE10, F(tdusrtimer), 0, A},
    {"$USRTIMER", SHORT, F(usrtimer), 0, A},
    {"$ANGBASE", ANGLE, F(angbase), 0, A},
    {"$ANGDIR", SHORT, F(angdir), 0, A},
    {"$PDMODE", SHORT, F(pdmode), 0, A},
    {"$PDSIZE", REAL, F(pdsize), 0, A},
    {"$PLINEWID", REAL, F(plinewid), 0, A},
    {"$COORDS", SHORT, F(coords), 0, 6},
    {"$SPLFRAME", SHORT, F(splframe), 2, A},
    {"$SPLINETYPE", SHORT, F(splinetype), 3, A},
    {"$SPLINESEGS", SHORT, F(splinesegs), 2, A},
    {"$ATTDIA", SHORT, F(attdia), 2, 6},
    {"$ATTREQ", SHORT, F(attreq), 2, 6},
    {"$HANDLING", SHORT, F(handling), 3, 6},
    {"$HANDSEED", SPECIAL, 0, 3, A},
    {"$SURFTAB1", SHORT, F(surftab1), 3, A},
    {"$SURFTAB2", SHORT, F(surftab2), 3, A},
    {"$SURFTYPE", SHORT, F(surftype), 3, A},
    {"$SURFU", SHORT, F(surfu), 3, A},
    {"$SURFV", SHORT, F(surfv), 3, A},
    {"$FLATLAND", SHORT, F(flatland), 3, 3},
    {"$UCSBASE", EMPTY2, 0, 7, A},
    {"$UCSNAME", SPECIAL, 0, 3, A},
    {"$UCSORG", FULL3, F(ucsorg), 3, A},
    {"$UCSXDIR", FULL3, F(ucsxdir), 3, A},
    {"$UCSYDIR", FULL3, F(ucsydir), 3, A},
    {"$UCSORTHOREF", EMPTY2, 0, 7, A},
    {"$UCSORTHOVIEW", SHORT, F(ucsorthoview), 7, A},
    {"$UCSORGTOP", FULL3, F(ucsorgtop), 7, A},
    {"$UCSORGBOTTOM", FULL3, F(ucsorgbottom), 7, A},
    {"$UCSORGLEFT", FULL3, F(ucsorgleft), 7, A},
    {"$UCSORGRIGHT", FULL3, F(ucsorgright), 7, A},
    {"$UCSORGFRONT", FULL3, F(ucsorgfront), 7, A},
    {"$UCSORGBACK", FULL3, F(ucsorgback), 7, A},
    {"$PUCSBASE", EMPTY2, 0, 7, A},
    {"$PUCSNAME", SPECIAL, 0, 4, A},
    {"$PUCSORG", FULL3, F(pucsorg), 4, A},
    {"$PUCSXDIR", FULL3, F(pucsxdir), 4, A},
    {"$PUCSYDIR", FULL3, F(pucsydir), 4, A},
    {"$PUCSORTHOREF", EMPTY2, 0, 7, A},
    {"$PUCSORTHOVIEW", SHORT, F(pucsorthoview), 7, A},
    {"$PUCSORGTOP", FULL3, F(pucsorgtop), 7, A},
    {"$PUCSORGBOTTOM", FULL3, F(pucsorgbottom), 7, A},
    {"$PUCSORGLEFT", FULL3, F(pucsorgleft), 7, A},
    {"$PUCSORGRIGHT", FULL3, F(pucsorgright), 7, A},
    {"$PUCSORGFRONT", FULL3, F(pucsorgfront), 7, A},
    {"$PUCSORGBACK", FULL3, F(pucsorgback), 7, A},
    {"$USERI", SPECIAL, 0, 0, A},
    {"$WORLDVIEW", SHORT, F(worldview), 3, A},
    {"$SHADEDGE", SHORT, F(shadedge), 4, A},
    {"$SHADEDIF", SHORT, F(shadedif), 4, A},
    {"$TILEMODE", SHORT, F(tilemode), 4, A},
    {"$MAXACTVP", SHORT, F(maxactvp), 4, A},
    {"$PINSBASE", POINT3, F(pinsbase), 4, A},
    {"$PLIMCHECK", SHORT, F(plimcheck), 4, A},
    {"$PEXTMIN", POINT3, F(pextmin), 4, A},
    {"$PEXTMAX", POINT3, F(pextmax), 4, A},
    {"$PLIMMIN", POINT2, F(plimmin), 4, A},
    {"$PLIMMAX", POINT2, F(plimmax), 4, A},
    {"$UNITMODE", SHORT, F(unitmode), 4, A},
    {"$VISRETAIN", SHORT, F(visretain), 4, A},
    {"$PLINEGEN", SPECIAL, F(plinegen), 4, A},
    {"$PSLTSCALE", SPECIAL, F(psltscale), 4, A},
    {"$TREEDEPTH", SPECIAL, F(treedepth), 4, A},
    {"$DWGCODEPAGE", SPECIAL, 1, 4, 4},
    {"$PICKSTYLE", BYTE, F(pickstyle), 5, 6},
    {"$CMLSTYLE", SPECIAL, 0, 5, A},
    {"$CMLJUST", SHORT, F(cmljust), 5, A},
    {"$CMLSCALE", REAL, F(cmlscale), 5, A},
    {"$PROXYGRAPHICS", BYTE, F(proxygraphics), 6, A},
    {"$MEASUREMENT", SHORT, F(measurement), 6, A},
    {"$SAVEIMAGES", BYTE, F(proxygraphics), 5, 5},
    {"$CELWEIGHT", SHORT, F(celweight), 7, A, 370},
    {"$ENDCAPS", BYTE, F(endcaps), 7, A, 280},
    {"$JOINSTYLE", BYTE, F(joinstyle), 7, A, 280},
    {"$LWDISPLAY", BYTE_GROUP, F(lwdisplay), 7, A, 290},
    {"$INSUNITS", SHORT, F(insunits), 7, A},
    {"$HYPERLINKBASE", TEXT1, F(hyperlinkbase), 7, A},
    {"$STYLESHEET", TEXT1, F(stylesheet), 7, A},
    {"$XEDIT", BYTE_GROUP, F(xedit), 7, A, 290},
    {"$CEPSNTYPE", SHORT, F(cepsntype), 7, A, 380},
    {"$PSTYLEMODE", BYTE_GROUP, F(pstylemode), 7, A, 290},
    {"$FINGERPRINTGUID", TEXT1, F(fingerprintguid), 7, A, 2},
    {"$VERSIONGUID", TEXT1, F(versionguid), 7, A, 2},
    {"$EXTNAMES", BYTE_GROUP, F(extnames), 7, A, 290},
    {"$PSVPSCALE", REAL, F(psvpscale), 7, A},
};
#undef F

// Names the header refers to by handle.
struct HeaderNames {
    char layer[AD_TABLE_NAME_SIZE];
    char linetype[AD_TABLE_NAME_SIZE];
    char dimStyle[AD_TABLE_NAME_SIZE];
    char ucs[AD_TABLE_NAME_SIZE];
    char paperUcs[AD_TABLE_NAME_SIZE];
    char textStyle[AD_TABLE_NAME_SIZE];
    char dimTextStyle[AD_TABLE_NAME_SIZE];
    char mlineStyle[AD_TABLE_NAME_SIZE];
};

int ucsName(AdDrawing* source, const AdHandle& handle, char* name, std::int32_t error) {
    name[0] = '\0';
    if (adHandleLength(&handle) == 0) return 1;
    auto record = std::make_unique<AdUcsRecord>();
    for (adUcsRewind(source); adUcsNext(source, record.get());) {
        if (std::memcmp(record->handle.b, handle.b, 8) == 0) {
            std::strncpy(name, record->name, AD_TABLE_NAME_SIZE - 1);
            name[AD_TABLE_NAME_SIZE - 1] = '\0';
            return 1;
        }
    }
    adSetError(error);
    return 0;
}

int resolveNames(AdDrawing* source, AdHeaderVars* h, HeaderNames* n, std::int16_t version) {
    if (!adDxfLayerName(source, &h->clayerHandle, n->layer)) {
        adSetError(AD_ERR_HEADER_LAYER);
        return 0;
    }
    adDxfLtypeName(source, &h->celtypeHandle, n->linetype);
    if (!adDxfDimStyleName(source, &h->dimstyleHandle, n->dimStyle)) {
        adSetError(AD_ERR_HEADER_DIMSTYLE);
        return 0;
    }
    if (!ucsName(source, h->ucsnameHandle, n->ucs, AD_ERR_HEADER_UCS) ||
        !ucsName(source, h->pucsnameHandle, n->paperUcs, AD_ERR_HEADER_PAPER_UCS))
        return 0;
    if (!adDxfStyleName(source, &h->textstyleHandle, n->textStyle)) {
        adSetError(AD_ERR_HEADER_TEXTSTYLE);
        return 0;
    }
    // Files before AC1012 know no text style of dimensions: an empty handle
    // names none.
    n->dimTextStyle[0] = '\0';
    if (adHandleLength(&h->dimtxstyHandle) != 0 && !adDxfStyleName(source, &h->dimtxstyHandle, n->dimTextStyle)) {
        adSetError(AD_ERR_HEADER_DIMTXSTY);
        return 0;
    }
    n->mlineStyle[0] = '\0';
    // Only the files that have multiline styles name the current one.
    if (version >= AD_VERSION_AC1012 && !adDxfMlineStyleName(source, &h->cmlstyleHandle, n->mlineStyle)) {
        adSetError(AD_ERR_HEADER_MLSTYLE);
        return 0;
    }
    return 1;
}

template <typename T>
T field(const AdHeaderVars* h, std::size_t offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<const std::uint8_t*>(h) + offset, sizeof value);
    return value;
}

const double* points(const AdHeaderVars* h, std::size_t offset) {
    return reinterpret_cast<const double*>(reinterpret_cast<const std::uint8_t*>(h) + offset);
}

struct HeaderWriter {
    AdDrawing* source;
    AdOutputDrawing* output;
    AdHeaderVars* h;
    const HeaderNames& names;
    std::int16_t v;
    std::int32_t extras;

    int nameVar(const char* var, std::int16_t code, const char* name, std::int32_t number) {
        return adDxfWriteStringGroup(output, 9, var) &&
               adDxfWriteNameGroup(source, output, code, name, number, adGetNameLengthLimit());
    }

    int blockVar(const char* var, const AdHandle& handle) {
        char name[AD_TABLE_NAME_SIZE] = "";
        std::int16_t number = 0;
        if (adHandleLength(&handle) != 0) {
            auto block = std::make_unique<AdBlockHeader>();
            if (adBlockByHandle(source, &handle, block.get())) {
                std::memcpy(name, block->name, strnlen(block->name, sizeof name - 1));
                adBlockHandleToIndex(source, &handle, &number);
            }
        }
        return nameVar(var, 1, name, number);
    }

    int codePage(bool upper) {
        char name[64] = "";
        const char* page = adCodePageName(h->dwgcodepage);
        std::strncpy(name, page ? page : "ANSI_1252", sizeof name - 1);
        if (upper) adStrUpper(name, 0);
        return adDxfWriteStringVar(output, "$DWGCODEPAGE", 3, name);
    }

    int special(const Row& row) {
        const std::string_view var = row.name;
        std::int16_t index = 0;
        if (var == "$ACADVER") return adDxfWriteStringVar(output, row.name, 1, adVersionString(v));
        if (var == "$ACADMAINTVER") return adDxfWriteShortVar(output, row.name, 70, v == 6 ? h->acadmaintver : 6);
        if (var == "$DWGCODEPAGE") {
            if (row.offset == 1) return extras ? codePage(false) : 1;
            return codePage(v >= 6);
        }
        if (var == "$INSBASE")
            return adDxfWriteStringGroup(output, 9, row.name) &&
                   adDxfWritePointGroups(output, 10, h->insbase, v >= 3 ? 3 : 2);
        if (var == "$EXTMIN" || var == "$EXTMAX")
            return adDxfWriteStringGroup(output, 9, row.name) &&
                   adDxfWritePointGroups(output, 10, points(h, row.offset), v >= 4 ? 3 : 2);
        if (var == "$TEXTSTYLE") {
            adStyleHandleToIndex(source, &h->textstyleHandle, &index);
            return nameVar(row.name, 7, names.textStyle, index);
        }
        if (var == "$CLAYER") {
            adLayerHandleToIndex(source, &h->clayerHandle, &index);
            return nameVar(row.name, 8, names.layer, index);
        }
        if (var == "$CELTYPE") {
            adLtypeHandleToIndex(source, &h->celtypeHandle, &index);
            return nameVar(row.name, 6, names.linetype, index);
        }
        if (var == "$CECOLOR") return adDxfWriteShortVar(output, row.name, 62, h->cecolor);
        if (var == "$DIMBLK" || var == "$DIMBLK1" || var == "$DIMBLK2")
            return blockVar(row.name, field<AdHandle>(h, row.offset));
        if (var == "$DIMSTYLE") {
            if (!adDimStyleHandleToIndex(source, &h->dimstyleHandle, &index)) return 0;
            return nameVar(row.name, 2, names.dimStyle, index);
        }
        if (var == "$DIMFIT")
            return adDxfWriteShortVar(output, row.name, 70, static_cast<std::int16_t>((h->dimtmove & 0xFF) + h->dimatfit));
        if (var == "$DIMUNIT") {
            if ((h->dimlunit == 4 || h->dimlunit == 5) && h->dimfrac == 2) h->dimlunit = static_cast<std::int16_t>(h->dimlunit + 2);
            else if (h->dimlunit == 6) h->dimlunit = 8;
            return adDxfWriteShortVar(output, row.name, 70, h->dimlunit);
        }
        if (var == "$DIMTXSTY") {
            adStyleHandleToIndex(source, &h->dimtxstyHandle, &index);
            return nameVar(row.name, 7, names.dimTextStyle, index);
        }
        if (var == "$HANDSEED") {
            output->nextHandle = h->handseed;
            return adDxfWriteStringGroup(output, 9, row.name) && adDxfWriteHandleGroup(output, 5, &output->nextHandle);
        }
        if (var == "$UCSNAME") {
            adUcsHandleToIndex(source, &h->ucsnameHandle, &index);
            return nameVar(row.name, 2, names.ucs, index);
        }
        if (var == "$PUCSNAME") return adDxfWriteStringVar(output, row.name, 2, names.paperUcs);
        if (var == "$USERI") {
            char name[16];
            for (int i = 0; i < 5; ++i) {
                std::snprintf(name, sizeof name, "$USERI%d", i + 1);
                if (!adDxfWriteShortVar(output, name, 70, h->useri[i])) return 0;
            }
            for (int i = 0; i < 5; ++i) {
                std::snprintf(name, sizeof name, "$USERR%d", i + 1);
                if (!adDxfWriteRealVar(output, name, h->userr[i])) return 0;
            }
            return 1;
        }
        if (var == "$PLINEGEN" || var == "$PSLTSCALE" || var == "$TREEDEPTH") {
            if (v == 4 && !extras) return 1;
            return adDxfWriteShortVar(output, row.name, 70, field<std::int16_t>(h, row.offset));
        }
        if (var == "$CMLSTYLE") return nameVar(row.name, 2, names.mlineStyle, 0);
        return 1;
    }

    static std::int16_t code(const Row& r, std::int16_t kindCode) { return r.code ? r.code : kindCode; }

    int row(const Row& r) {
        switch (r.kind) {
            case SHORT: return adDxfWriteShortVar(output, r.name, code(r, 70), field<std::int16_t>(h, r.offset));
            case BYTE: return adDxfWriteShortVar(output, r.name, code(r, 70), field<std::uint8_t>(h, r.offset));
            case BYTE_GROUP:
                return adDxfWriteByteVar(output, r.name, r.code, static_cast<std::int8_t>(field<std::uint8_t>(h, r.offset)));
            case REAL: return adDxfWriteRealVar(output, r.name, field<double>(h, r.offset));
            case ANGLE: return adDxfWriteAngleVar(output, r.name, field<double>(h, r.offset));
            case POINT2: return adDxfWritePoint2DVar(output, r.name, 10, points(h, r.offset));
            case POINT3: return adDxfWritePoint3DVar(output, r.name, 10, points(h, r.offset));
            case FULL3: return adDxfWriteFullPoint3DVar(output, r.name, 10, points(h, r.offset));
            case TEXT1: {
                const char* text = reinterpret_cast<const char*>(h) + r.offset;
                return adDxfWriteStringVar(output, r.name, code(r, 1), text);
            }
            case DATE9: return adDxfWriteDateVar(output, r.name, field<AdJulianDate>(h, r.offset), 9);
            case DATE10: return adDxfWriteDateVar(output, r.name, field<AdJulianDate>(h, r.offset), 10);
            case EMPTY2: return adDxfWriteStringVar(output, r.name, 2, "");
            case SPECIAL: return special(r);
        }
        return 0;
    }
};
}  // namespace

int adDxfWriteHeader(AdDrawing* source, AdOutputDrawing* output, std::int32_t extras) {
    AdHeaderVars* h = output->header;
    auto names = std::make_unique<HeaderNames>();
    if (!resolveNames(source, h, names.get(), output->version)) return 0;
    output->handlesFlag = h->handling != 0;
    const std::int16_t v = output->version;
    if (output->format == AD_FORMAT_DXF_BINARY && !adDxfWriteBinarySentinel(output)) return 0;
    if (!adDxfBeginSection(output, AdDxfKeywordTable[AD_KW_HEADER])) return 0;
    HeaderWriter writer{source, output, h, *names, v, extras};
    for (const Row& r : kRows) {
        if (v < r.first || v > r.last) continue;
        if (!writer.row(r)) return 0;
    }
    return adDxfEndSection(output);
}
