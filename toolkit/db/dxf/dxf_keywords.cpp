// The DXF vocabulary: one table of every keyword the DXF reader matches and
// the DXF writer emits, so that both spell each name the same way.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <cinttypes>
#include <cstring>

namespace {
constexpr std::uint16_t AD_DXF_ENTITY_TYPE_LAST = 35;

const char* const kRecordKindNames[AD_DXF_RECORD_KIND_COUNT] = {
    "LTYPE", "LAYER", "STYLE", "VIEW", "VPORT", "APPID", "DIMSTYLE", "UCS", "BLOCK", "BLOCK_RECORD", "MLINESTYLE", "CLASS",
};
}  // namespace

const char* const AdDxfKeywordTable[AD_KW_COUNT] = {
    // Entity types 1 to 35.
    "LINE", "POINT", "CIRCLE", "SHAPE", "ELLIPSE", "SPLINE", "TEXT", "ARC", "TRACE", "REGION", "SOLID", "BLOCK",
    "ENDBLK", "INSERT", "ATTDEF", "ATTRIB", "SEQEND", "", "POLYLINE", "VERTEX", "3DLINE", "3DFACE", "DIMENSION",
    "VIEWPORT", "3DSOLID", "RAY", "XLINE", "MTEXT", "LEADER", "TOLERANCE", "MLINE", "", "", "", "BODY",
    "HEADER",
    // Header variables in the order the writer emits them; the writer expands
    // "$USERI%d" and "$USERR%d" to five names each.
    "$ACADVER", "$ACADMAINTVER", "$INSBASE", "$EXTMIN", "$EXTMAX", "$LIMMIN", "$LIMMAX", "$VIEWCTR",
    "$VIEWSIZE", "$SNAPMODE", "$SNAPUNIT", "$SNAPBASE", "$SNAPANG", "$SNAPSTYLE", "$SNAPISOPAIR", "$GRIDMODE",
    "$GRIDUNIT", "$ORTHOMODE", "$REGENMODE", "$FILLMODE", "$QTEXTMODE", "$MIRRTEXT", "$DRAGMODE", "$LTSCALE",
    "$OSMODE", "$ATTMODE", "$TEXTSIZE", "$TRACEWID", "$TEXTSTYLE", "$CLAYER", "$CELTYPE", "$CECOLOR",
    "$DIMSCALE", "$DIMASZ", "$DIMEXO", "$DIMDLI", "$DIMRND", "$DIMDLE", "$DIMEXE", "$DIMTP", "$DIMTM",
    "$DIMTXT", "$DIMCEN", "$DIMTSZ", "$DIMTOL", "$DIMLIM", "$DIMTIH", "$DIMTOH", "$DIMSE1", "$DIMSE2",
    "$DIMTAD", "$DIMZIN", "$DIMBLK", "$DIMASO", "$DIMSHO", "$DIMPOST", "$DIMAPOST", "$DIMALT", "$DIMALTD",
    "$DIMALTF", "$DIMLFAC", "$DIMTOFL", "$DIMTVP", "$DIMTIX", "$DIMSOXD", "$DIMSAH", "$DIMBLK1", "$DIMBLK2",
    "$DIMSTYLE", "$DIMCLRD", "$DIMCLRE", "$DIMCLRT", "$DIMTFAC", "$DIMGAP", "$LUNITS", "$LUPREC", "$AXISMODE",
    "$AXISUNIT", "$SKETCHINC", "$FILLETRAD", "$AUNITS", "$AUPREC", "$MENU", "$ELEVATION", "$PELEVATION",
    "$THICKNESS", "$VIEWDIR", "$LIMCHECK", "$BLIPMODE", "$CHAMFERA", "$CHAMFERB", "$CHAMFERC", "$CHAMFERD",
    "$FASTZOOM", "$SKPOLY", "$TDCREATE", "$TDUPDATE", "$TDINDWG", "$TDUSRTIMER", "$USRTIMER", "$ANGBASE",
    "$ANGDIR", "$PDMODE", "$PDSIZE", "$PLINEWID", "$COORDS", "$SPLFRAME", "$SPLINETYPE", "$SPLINESEGS",
    "$ATTDIA", "$ATTREQ", "$HANDLING", "$HANDSEED", "$SURFTAB1", "$SURFTAB2", "$SURFTYPE", "$SURFU", "$SURFV",
    "$FLATLAND", "$UCSNAME", "$UCSORG", "$UCSXDIR", "$UCSYDIR", "$PUCSNAME", "$PUCSORG", "$PUCSXDIR",
    "$PUCSYDIR", "$USERI%d", "$USERR%d", "$WORLDVIEW", "$CYCLEKEEP", "$CYCLECURR", "$SHADEDGE", "$SHADEDIF",
    "$TILEMODE", "$MAXACTVP", "$PINSBASE", "$PLIMCHECK", "$PEXTMIN", "$PEXTMAX", "$PLIMMIN", "$PLIMMAX",
    "$UNITMODE", "$VISRETAIN", "$PLINEGEN", "$PSLTSCALE", "$TREEDEPTH", "$DWGCODEPAGE", "$PICKSTYLE",
    "$CMLSTYLE", "$CMLJUST", "$CMLSCALE", "$SAVEIMAGES", "$PROXYGRAPHICS", "$CELTSCALE", "$DELOBJ", "$DISPSILH",
    "$DIMJUST", "$DIMSD1", "$DIMSD2", "$DIMTOLJ", "$DIMTZIN", "$DIMALTZ", "$DIMALTTZ", "$DIMFIT", "$DIMUPT",
    "$DIMUNIT", "$DIMDEC", "$DIMTDEC", "$DIMALTU", "$DIMALTTD", "$DIMTXSTY", "$DIMAUNIT", "$MEASUREMENT",
    "$CELWEIGHT", "$CEPSNID", "$CEPSNTYPE", "$DIMADEC", "$DIMALTRND", "$DIMATFIT", "$DIMAZIN", "$DIMDSEP",
    "$DIMFRAC", "$DIMLDRBLK", "$DIMLUNIT", "$DIMLWD", "$DIMLWE", "$DIMTMOVE", "$ENDCAPS", "$EXTNAMES",
    "$FINGERPRINTGUID", "$HYPERLINKBASE", "$INSUNITS", "$JOINSTYLE", "$LWDISPLAY", "$PSTYLEMODE", "$PSVPSCALE",
    "$PUCSBASE", "$PUCSORGBACK", "$PUCSORGBOTTOM", "$PUCSORGFRONT", "$PUCSORGLEFT", "$PUCSORGRIGHT",
    "$PUCSORGTOP", "$PUCSORTHOREF", "$PUCSORTHOVIEW", "$STYLESHEET", "$TDUCREATE", "$TDUUPDATE", "$UCSBASE",
    "$UCSORGBACK", "$UCSORGBOTTOM", "$UCSORGFRONT", "$UCSORGLEFT", "$UCSORGRIGHT", "$UCSORGTOP", "$UCSORTHOREF",
    "$UCSORTHOVIEW", "$VERSIONGUID", "$XEDIT",
    "ENDSEC", "SECTION", "TABLES", "BLOCKS", "BLOCK_RECORD", "GROUP", "ENTITIES", "TABLE", "ENDTAB", "EOF",
    "LAYER", "UCS", "APPID", "DIMSTYLE", "VPORT", "LTYPE", "STYLE", "VIEW", "MLINESTYLE", "CLASS",
    "CLASSES", "OBJECTS", "DICTIONARY", "ACAD_ZOMBIE_OBJECT", "ACAD_PROXY_OBJECT",
    "XRECORD", "DIMASSOC", "IDBUFFER", "IMAGEDEF_REACTOR", "IMAGEDEF", "RASTERVARIABLES", "SORTENTSTABLE",
    "DICTIONARYVAR", "SPATIAL_FILTER", "SPATIAL_INDEX", "LAYER_INDEX", "OBJECT_PTR", "ACDBDICTIONARYWDFLT",
    "ACDBPLACEHOLDER", "LAYOUT", "PLOTSETTINGS", "VBA_PROJECT", "WIPEOUTVARIABLES",
    "%.9f", "%.10f",
    "Standard",
    "rb", "wb",
    // The 9-column integer is written from a std::int32_t, so its conversion
    // follows that type rather than long, whose width differs by platform.
    "d\r\n", "E\r\n", "0.0\r\n", "%s\r\n", "%9" PRId32 "\r\n", "%3d\r\n", "%c\r\n", "*UNNAMED\r\n",
};

const char* adDxfEntityName(std::uint16_t type) {
    if (type < 1 || type > AD_DXF_ENTITY_TYPE_LAST) return nullptr;
    return AdDxfKeywordTable[AD_KW_ENTITY_FIRST + type - 1];
}

std::uint16_t adDxfEntityType(const char* name) {
    if (!name || !*name) return 0;
    for (std::uint16_t type = 1; type <= AD_DXF_ENTITY_TYPE_LAST; ++type) {
        if (std::strcmp(name, adDxfEntityName(type)) == 0) return type;
    }
    return 0;
}

const char* adDxfRecordKindName(int kind) {
    return kind >= 0 && kind < AD_DXF_RECORD_KIND_COUNT ? kRecordKindNames[kind] : nullptr;
}

int adDxfRecordKind(const char* name) {
    if (!name) return -1;
    for (int kind = 0; kind < AD_DXF_RECORD_KIND_COUNT; ++kind) {
        if (std::strcmp(name, kRecordKindNames[kind]) == 0) return kind;
    }
    return -1;
}
