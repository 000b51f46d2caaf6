// The header-variable orders of AC1012/AC1014 and of AC1015 files. Runs that
// both orders share (the lead, the middle from $SPLINESEGS to $CMLSTYLE, the
// paper-space and model-space geometry) are written once.
#include "toolkit/db/dwg/dwg_header_order.h"
#include "toolkit/db/dwg/dwg_file.h"

#include <cstddef>

#define HV(kind, field) {kind, AD_DV_IN_HEADER, offsetof(AdHeaderVars, field), sizeof(AdHeaderVars::field)}
#define HV_AT(kind, field, i) \
    {kind, AD_DV_IN_HEADER, offsetof(AdHeaderVars, field) + (i) * sizeof(AdHeaderVars::field[0]), \
     sizeof(AdHeaderVars::field[0])}
#define HV_DATE(field)                                                                                       \
    {AD_DV_BL, AD_DV_IN_HEADER, offsetof(AdHeaderVars, field) + offsetof(AdJulianDate, day), 4},             \
        {AD_DV_BL, AD_DV_IN_HEADER, offsetof(AdHeaderVars, field) + offsetof(AdJulianDate, milliseconds), 4}
#define DR(field) {AD_DV_H, AD_DV_IN_DRAWING, offsetof(AdDrawing, field), sizeof(AdHandle)}
#define DR_CONTROL(i) {AD_DV_H, AD_DV_IN_DRAWING, offsetof(AdDrawing, tableControls) + (i) * sizeof(AdHandle), \
                       sizeof(AdHandle)}
#define SPECIAL(kind) {kind, AD_DV_NOWHERE, 0, 0}
#define SPAN(rows) {rows, static_cast<std::int32_t>(sizeof rows / sizeof rows[0])}

namespace {

const AdDwgVarRow kLead[] = {
    HV(AD_DV_BD, dwgHeaderDouble1), HV(AD_DV_BD, dwgHeaderDouble2), HV(AD_DV_BD, dwgHeaderDouble3),
    HV(AD_DV_BD, dwgHeaderDouble4), HV(AD_DV_T, dwgHeaderText1),    HV(AD_DV_T, dwgHeaderText2),
    HV(AD_DV_T, dwgHeaderText3),    HV(AD_DV_T, dwgHeaderText4),    HV(AD_DV_BL, dwgHeaderLong1),
    HV(AD_DV_BL, dwgHeaderLong2),
};

const AdDwgVarRow kViewportEntityHeader[] = {
    {AD_DV_H, AD_DV_IN_DWG_FILE, offsetof(AdDwgFile, vportEntityHeader), sizeof(AdHandle)},
};

const AdDwgVarRow kAc1012Short[] = {HV(AD_DV_BS, dwgHeaderShort1)};

const AdDwgVarRow kAc1012Switches[] = {
    HV(AD_DV_B, dimaso), HV(AD_DV_B, dimsho), SPECIAL(AD_DV_DROP_BIT), HV(AD_DV_B, plinegen),
    HV(AD_DV_B, orthomode), HV(AD_DV_B, regenmode), HV(AD_DV_B, fillmode), HV(AD_DV_B, qtextmode),
    HV(AD_DV_B, psltscale), HV(AD_DV_B, limcheck), HV(AD_DV_B, blipmode), HV(AD_DV_B, usrtimer),
    HV(AD_DV_B, skpoly), HV(AD_DV_B, angdir), HV(AD_DV_B, splframe), HV(AD_DV_B, attreq),
    HV(AD_DV_B, attdia), HV(AD_DV_B, mirrtext), HV(AD_DV_B, worldview), SPECIAL(AD_DV_DROP_BIT),
    HV(AD_DV_B, tilemode), HV(AD_DV_B, plimcheck), HV(AD_DV_B, visretain), HV(AD_DV_B, delobj),
    HV(AD_DV_B, dispsilh), HV(AD_DV_B, dwgHeaderFlag1),
    HV(AD_DV_BS, proxygraphics), HV(AD_DV_BS, dragmode), HV(AD_DV_BS, treedepth), HV(AD_DV_BS, lunits),
    HV(AD_DV_BS, luprec), HV(AD_DV_BS, aunits), HV(AD_DV_BS, auprec), HV(AD_DV_BS, osmode),
    HV(AD_DV_BS, attmode), HV(AD_DV_BS, coords), HV(AD_DV_BS, pdmode), HV(AD_DV_BS, pickstyle),
};

const AdDwgVarRow kAc1015Switches[] = {
    HV(AD_DV_B, dimaso), HV(AD_DV_B, dimsho), HV(AD_DV_B, plinegen), HV(AD_DV_B, orthomode),
    HV(AD_DV_B, regenmode), HV(AD_DV_B, fillmode), HV(AD_DV_B, qtextmode), HV(AD_DV_B, psltscale),
    HV(AD_DV_B, limcheck), HV(AD_DV_B, usrtimer), HV(AD_DV_B, skpoly), HV(AD_DV_B, angdir),
    HV(AD_DV_B, splframe), HV(AD_DV_B, mirrtext), HV(AD_DV_B, worldview), HV(AD_DV_B, tilemode),
    HV(AD_DV_B, plimcheck), HV(AD_DV_B, visretain), HV(AD_DV_B, dispsilh), HV(AD_DV_B, dwgHeaderFlag1),
    HV(AD_DV_BS, proxygraphics), HV(AD_DV_BS, treedepth), HV(AD_DV_BS, lunits), HV(AD_DV_BS, luprec),
    HV(AD_DV_BS, aunits), HV(AD_DV_BS, auprec), HV(AD_DV_BS, attmode), HV(AD_DV_BS, pdmode),
};

const AdDwgVarRow kUserIntegers[] = {
    HV_AT(AD_DV_BS, useri, 0), HV_AT(AD_DV_BS, useri, 1), HV_AT(AD_DV_BS, useri, 2), HV_AT(AD_DV_BS, useri, 3),
    HV_AT(AD_DV_BS, useri, 4),
};

// From $SPLINESEGS to the current table records, the same in every version.
const AdDwgVarRow kMiddle[] = {
    HV(AD_DV_BS, splinesegs), HV(AD_DV_BS, surfu), HV(AD_DV_BS, surfv), HV(AD_DV_BS, surftype),
    HV(AD_DV_BS, surftab1), HV(AD_DV_BS, surftab2), HV(AD_DV_BS, splinetype), HV(AD_DV_BS, shadedge),
    HV(AD_DV_BS, shadedif), HV(AD_DV_BS, unitmode), HV(AD_DV_BS, maxactvp), HV(AD_DV_BS, dwgHeaderShort2),
    HV(AD_DV_BS, cmljust), HV(AD_DV_BS, dwgHeaderShort3),
    HV(AD_DV_BD, ltscale), HV(AD_DV_BD, textsize), HV(AD_DV_BD, tracewid), HV(AD_DV_BD, sketchinc),
    HV(AD_DV_BD, filletrad), HV(AD_DV_BD, thickness), HV(AD_DV_BD, angbase), HV(AD_DV_BD, pdsize),
    HV(AD_DV_BD, plinewid),
    HV_AT(AD_DV_BD, userr, 0), HV_AT(AD_DV_BD, userr, 1), HV_AT(AD_DV_BD, userr, 2), HV_AT(AD_DV_BD, userr, 3),
    HV_AT(AD_DV_BD, userr, 4),
    HV(AD_DV_BD, chamfera), HV(AD_DV_BD, chamferb), HV(AD_DV_BD, chamferc), HV(AD_DV_BD, chamferd),
    HV(AD_DV_BD, dwgHeaderDouble5), HV(AD_DV_BD, cmlscale), HV(AD_DV_BD, celtscale),
    HV(AD_DV_T, menu),
    HV_DATE(tdcreate), HV_DATE(tdupdate), HV_DATE(tdindwg), HV_DATE(tdusrtimer),
    HV(AD_DV_BS, cecolor),
    SPECIAL(AD_DV_HANDSEED),
    HV(AD_DV_H, clayerHandle), HV(AD_DV_H, textstyleHandle), HV(AD_DV_H, celtypeHandle), HV(AD_DV_H, dimstyleHandle),
    HV(AD_DV_H, cmlstyleHandle),
};

const AdDwgVarRow kPaperSpace[] = {
    HV(AD_DV_3BD, pinsbase), HV(AD_DV_3BD, pextmin), HV(AD_DV_3BD, pextmax), HV(AD_DV_2RD, plimmin),
    HV(AD_DV_2RD, plimmax),  HV(AD_DV_BD, pelevation), HV(AD_DV_3BD, pucsorg), HV(AD_DV_3BD, pucsxdir),
    HV(AD_DV_3BD, pucsydir),
};

const AdDwgVarRow kModelSpace[] = {
    HV(AD_DV_3BD, insbase), HV(AD_DV_3BD, extmin),   HV(AD_DV_3BD, extmax),  HV(AD_DV_2RD, limmin),
    HV(AD_DV_2RD, limmax),  HV(AD_DV_BD, elevation), HV(AD_DV_3BD, ucsorg), HV(AD_DV_3BD, ucsxdir),
    HV(AD_DV_3BD, ucsydir),
};

const AdDwgVarRow kAc1012PaperUcs[] = {HV(AD_DV_H, pucsnameHandle)};
const AdDwgVarRow kAc1012ModelUcs[] = {HV(AD_DV_H, ucsnameHandle)};

const AdDwgVarRow kAc1012Dimensions[] = {
    HV(AD_DV_B, dimtol), HV(AD_DV_B, dimlim), HV(AD_DV_B, dimtih), HV(AD_DV_B, dimtoh),
    HV(AD_DV_B, dimse1), HV(AD_DV_B, dimse2), HV(AD_DV_B, dimalt), HV(AD_DV_B, dimtofl),
    HV(AD_DV_B, dimsah), HV(AD_DV_B, dimtix), HV(AD_DV_B, dimsoxd),
    HV(AD_DV_RC, dimaltd), HV(AD_DV_RC, dimzin),
    HV(AD_DV_B, dimsd1), HV(AD_DV_B, dimsd2),
    HV(AD_DV_RC, dimtolj), HV(AD_DV_RC, dimjust), HV(AD_DV_RC, dimatfit),
    HV(AD_DV_B, dimupt),
    HV(AD_DV_RC, dimtzin), HV(AD_DV_RC, dimaltz), HV(AD_DV_RC, dimalttz), HV(AD_DV_RC, dimtad),
    HV(AD_DV_BS, dimlunit), HV(AD_DV_BS, dimaunit), HV(AD_DV_BS, dimdec), HV(AD_DV_BS, dimtdec),
    HV(AD_DV_BS, dimaltu), HV(AD_DV_BS, dimalttd),
    HV(AD_DV_H, dimtxstyHandle),
    HV(AD_DV_BD, dimscale), HV(AD_DV_BD, dimasz), HV(AD_DV_BD, dimexo), HV(AD_DV_BD, dimdli),
    HV(AD_DV_BD, dimexe), HV(AD_DV_BD, dimrnd), HV(AD_DV_BD, dimdle), HV(AD_DV_BD, dimtp),
    HV(AD_DV_BD, dimtm), HV(AD_DV_BD, dimtxt), HV(AD_DV_BD, dimcen), HV(AD_DV_BD, dimtsz),
    HV(AD_DV_BD, dimaltf), HV(AD_DV_BD, dimlfac), HV(AD_DV_BD, dimtvp), HV(AD_DV_BD, dimtfac),
    HV(AD_DV_BD, dimgap),
    HV(AD_DV_T, dimpost), HV(AD_DV_T, dimapost), HV(AD_DV_T, dimblk), HV(AD_DV_T, dimblk1), HV(AD_DV_T, dimblk2),
    HV(AD_DV_BS, dimclrd), HV(AD_DV_BS, dimclre), HV(AD_DV_BS, dimclrt),
};

const AdDwgVarRow kControls[] = {
    DR_CONTROL(0), DR_CONTROL(1), DR_CONTROL(2), DR_CONTROL(3), DR_CONTROL(4),
    DR_CONTROL(5), DR_CONTROL(6), DR_CONTROL(7), DR_CONTROL(8), DR_CONTROL(9),
    DR(groupDictionary), DR(mlineStyleDictionary), DR(namedObjectDictionary),
};

const AdDwgVarRow kAc1012Tail[] = {
    DR(paperSpaceBlock), DR(modelSpaceBlock), DR(byLayerLtype), DR(byBlockLtype),
};

const AdDwgVarRow kAc1015PaperTail[] = {
    HV(AD_DV_H, pucsnameHandle), HV(AD_DV_H, pucsorthorefHandle), HV(AD_DV_BS, pucsorthoview),
    HV(AD_DV_H, pucsbaseHandle),
    HV(AD_DV_3BD, pucsorgtop), HV(AD_DV_3BD, pucsorgbottom), HV(AD_DV_3BD, pucsorgleft),
    HV(AD_DV_3BD, pucsorgright), HV(AD_DV_3BD, pucsorgfront), HV(AD_DV_3BD, pucsorgback),
};

const AdDwgVarRow kAc1015PaperScale[] = {HV(AD_DV_BD, psvpscale)};

const AdDwgVarRow kAc1015ModelTail[] = {
    HV(AD_DV_H, ucsnameHandle), HV(AD_DV_H, ucsorthorefHandle), HV(AD_DV_BS, ucsorthoview),
    HV(AD_DV_H, ucsbaseHandle),
    HV(AD_DV_3BD, ucsorgtop), HV(AD_DV_3BD, ucsorgbottom), HV(AD_DV_3BD, ucsorgleft),
    HV(AD_DV_3BD, ucsorgright), HV(AD_DV_3BD, ucsorgfront), HV(AD_DV_3BD, ucsorgback),
};

const AdDwgVarRow kAc1015Dimensions[] = {
    HV(AD_DV_T, dimpost), HV(AD_DV_T, dimapost),
    HV(AD_DV_BD, dimscale), HV(AD_DV_BD, dimasz), HV(AD_DV_BD, dimexo), HV(AD_DV_BD, dimdli),
    HV(AD_DV_BD, dimexe), HV(AD_DV_BD, dimrnd), HV(AD_DV_BD, dimdle), HV(AD_DV_BD, dimtp), HV(AD_DV_BD, dimtm),
    HV(AD_DV_B, dimtol), HV(AD_DV_B, dimlim), HV(AD_DV_B, dimtih), HV(AD_DV_B, dimtoh),
    HV(AD_DV_B, dimse1), HV(AD_DV_B, dimse2),
    HV(AD_DV_BS, dimtad), HV(AD_DV_BS, dimzin), HV(AD_DV_BS, dimazin),
    HV(AD_DV_BD, dimtxt), HV(AD_DV_BD, dimcen), HV(AD_DV_BD, dimtsz), HV(AD_DV_BD, dimaltf),
    HV(AD_DV_BD, dimlfac), HV(AD_DV_BD, dimtvp), HV(AD_DV_BD, dimtfac), HV(AD_DV_BD, dimgap),
    HV(AD_DV_BD, dimaltrnd),
    HV(AD_DV_B, dimalt), HV(AD_DV_BS, dimaltd),
    HV(AD_DV_B, dimtofl), HV(AD_DV_B, dimsah), HV(AD_DV_B, dimtix), HV(AD_DV_B, dimsoxd),
    HV(AD_DV_BS, dimclrd), HV(AD_DV_BS, dimclre), HV(AD_DV_BS, dimclrt), HV(AD_DV_BS, dimadec),
    HV(AD_DV_BS, dimdec), HV(AD_DV_BS, dimtdec), HV(AD_DV_BS, dimaltu), HV(AD_DV_BS, dimalttd),
    HV(AD_DV_BS, dimaunit), HV(AD_DV_BS, dimfrac), HV(AD_DV_BS, dimlunit), HV(AD_DV_BS, dimdsep),
    HV(AD_DV_BS, dimtmove),
    HV(AD_DV_BS, dimjust),
    HV(AD_DV_B, dimsd1), HV(AD_DV_B, dimsd2),
    HV(AD_DV_BS, dimtolj), HV(AD_DV_BS, dimtzin), HV(AD_DV_BS, dimaltz), HV(AD_DV_BS, dimalttz),
    HV(AD_DV_B, dimupt), HV(AD_DV_BS, dimatfit),
    HV(AD_DV_H, dimtxstyHandle),
    HV(AD_DV_H, dimldrblkHandle), HV(AD_DV_H, dimblkHandle), HV(AD_DV_H, dimblk1Handle), HV(AD_DV_H, dimblk2Handle),
    HV(AD_DV_BS, dimlwd), HV(AD_DV_BS, dimlwe),
};

const AdDwgVarRow kAc1015Tail[] = {
    HV(AD_DV_BS, dwgHeaderShort4), HV(AD_DV_BS, dwgHeaderShort5),
    HV(AD_DV_T, hyperlinkbase), HV(AD_DV_T, stylesheet),
    DR(layoutDictionary), DR(plotSettingsDictionary), DR(plotStyleDictionary),
    SPECIAL(AD_DV_FLAG_WORD),
    HV(AD_DV_BS, insunits), HV(AD_DV_BS, cepsntype),
    {AD_DV_CEPSNID, AD_DV_IN_HEADER, offsetof(AdHeaderVars, cepsnidHandle), sizeof(AdHandle)},
    HV(AD_DV_T, fingerprintguid), HV(AD_DV_T, versionguid),
    DR(paperSpaceBlock), DR(modelSpaceBlock), DR(byLayerLtype), DR(byBlockLtype), DR(continuousLtype),
};

}  // namespace

const AdDwgVarOrder adDwgHeaderOrderAc1012 = {{
    SPAN(kLead), SPAN(kAc1012Short), SPAN(kViewportEntityHeader), SPAN(kAc1012Switches), SPAN(kUserIntegers),
    SPAN(kMiddle), SPAN(kPaperSpace), SPAN(kAc1012PaperUcs),
    SPAN(kModelSpace), SPAN(kAc1012ModelUcs), SPAN(kAc1012Dimensions), SPAN(kControls), SPAN(kAc1012Tail),
}};

const AdDwgVarOrder adDwgHeaderOrderAc1015 = {{
    SPAN(kLead), SPAN(kViewportEntityHeader), SPAN(kAc1015Switches), SPAN(kUserIntegers), SPAN(kMiddle),
    SPAN(kAc1015PaperScale), SPAN(kPaperSpace), SPAN(kAc1015PaperTail), SPAN(kModelSpace), SPAN(kAc1015ModelTail),
    SPAN(kAc1015Dimensions), SPAN(kControls), SPAN(kAc1015Tail),
}};
