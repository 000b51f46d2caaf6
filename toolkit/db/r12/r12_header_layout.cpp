// Where the header variables of fixed-header files lie: each at its own
// offset, with the first version that stores it.
#include "toolkit/db/r12/r12_header_layout.h"

namespace {
constexpr AdR12HeaderKind kShort = AD_R12_HV_SHORT;
constexpr AdR12HeaderKind kByte = AD_R12_HV_BYTE;
constexpr AdR12HeaderKind kByteShort = AD_R12_HV_BYTE_SHORT;
constexpr AdR12HeaderKind kDoubles = AD_R12_HV_DOUBLES;
constexpr AdR12HeaderKind kText = AD_R12_HV_TEXT;
constexpr AdR12HeaderKind kDate = AD_R12_HV_DATE;
constexpr AdR12HeaderKind kIndex = AD_R12_HV_INDEX;
using Row = AdR12HeaderRow;

#define AD_HV(member) offsetof(AdHeaderVars, member), sizeof(AdHeaderVars::member)
#define AD_SLOT(slot) static_cast<std::size_t>(slot), 0

constexpr std::int16_t k02 = AD_VERSION_AC1002;
constexpr std::int16_t k03 = AD_VERSION_AC1003;
constexpr std::int16_t k04 = AD_VERSION_AC1004;
constexpr std::int16_t k06 = AD_VERSION_AC1006;
constexpr std::int16_t k09 = AD_VERSION_AC1009;

const Row kRows[] = {
    {94, kDoubles, 3, AD_HV(insbase), k02},
    {118, kShort, 1, AD_HV(plinegen), k09},
    {120, kDoubles, 3, AD_HV(extmin), k02},
    {144, kDoubles, 3, AD_HV(extmax), k02},
    {168, kDoubles, 2, AD_HV(limmin), k02},
    {184, kDoubles, 2, AD_HV(limmax), k02},
    {200, kDoubles, 3, AD_HV(viewctr), k02},
    {224, kDoubles, 1, AD_HV(viewsize), k02},
    {232, kShort, 1, AD_HV(snapmode), k02},
    {234, kDoubles, 2, AD_HV(snapunit), k02},
    {250, kDoubles, 2, AD_HV(snapbase), k02},
    {266, kDoubles, 1, AD_HV(snapang), k02},
    {274, kShort, 1, AD_HV(snapstyle), k02},
    {276, kShort, 1, AD_HV(snapisopair), k02},
    {278, kShort, 1, AD_HV(gridmode), k02},
    {280, kDoubles, 2, AD_HV(gridunit), k02},
    {296, kShort, 1, AD_HV(orthomode), k02},
    {298, kShort, 1, AD_HV(regenmode), k02},
    {300, kShort, 1, AD_HV(fillmode), k02},
    {302, kShort, 1, AD_HV(qtextmode), k02},
    {304, kShort, 1, AD_HV(dragmode), k02},
    {306, kDoubles, 1, AD_HV(ltscale), k02},
    {314, kDoubles, 1, AD_HV(textsize), k02},
    {322, kDoubles, 1, AD_HV(tracewid), k02},
    {330, kIndex, 1, AD_SLOT(AD_HEADER_INDEX_LAYER), k02},
    {342, kByteShort, 1, AD_HV(psltscale), k09},
    {344, kShort, 1, AD_HV(treedepth), k09},
    {356, kShort, 1, AD_HV(lunits), k02},
    {358, kShort, 1, AD_HV(luprec), k02},
    {360, kShort, 1, AD_HV(axismode), k02},
    {362, kDoubles, 2, AD_HV(axisunit), k02},
    {378, kDoubles, 1, AD_HV(sketchinc), k02},
    {386, kDoubles, 1, AD_HV(filletrad), k02},
    {394, kShort, 1, AD_HV(aunits), k02},
    {396, kShort, 1, AD_HV(auprec), k02},
    {398, kIndex, 1, AD_SLOT(AD_HEADER_INDEX_TEXTSTYLE), k02},
    {400, kShort, 1, AD_HV(osmode), k02},
    {402, kShort, 1, AD_HV(attmode), k02},
    {419, kDoubles, 1, AD_HV(dimscale), k02},
    {427, kDoubles, 1, AD_HV(dimasz), k02},
    {435, kDoubles, 1, AD_HV(dimexo), k02},
    {443, kDoubles, 1, AD_HV(dimdli), k02},
    {451, kDoubles, 1, AD_HV(dimexe), k02},
    {459, kDoubles, 1, AD_HV(dimtp), k02},
    {467, kDoubles, 1, AD_HV(dimtm), k02},
    {475, kDoubles, 1, AD_HV(dimtxt), k02},
    {483, kDoubles, 1, AD_HV(dimcen), k02},
    {491, kDoubles, 1, AD_HV(dimtsz), k02},
    {499, kByte, 1, AD_HV(dimtol), k02},
    {500, kByte, 1, AD_HV(dimlim), k02},
    {501, kByte, 1, AD_HV(dimtih), k02},
    {502, kByte, 1, AD_HV(dimtoh), k02},
    {503, kByte, 1, AD_HV(dimse1), k02},
    {504, kByte, 1, AD_HV(dimse2), k02},
    {505, kByte, 1, AD_HV(dimtad), k02},
    {506, kShort, 1, AD_HV(limcheck), k02},
    {553, kDoubles, 1, AD_HV(elevation), k02},
    {561, kDoubles, 1, AD_HV(thickness), k02},
    {569, kDoubles, 3, AD_HV(viewdir), k02},
    {739, kShort, 1, AD_HV(blipmode), k02},
    {741, kByte, 1, AD_HV(dimzin), k02},
    {742, kDoubles, 1, AD_HV(dimrnd), k02},
    {750, kDoubles, 1, AD_HV(dimdle), k02},
    {758, kText, 31, AD_HV(dimblk), k02},
    {793, kShort, 1, AD_HV(coords), k02},
    {795, kShort, 1, AD_HV(cecolor), k02},
    {797, kIndex, 1, AD_SLOT(AD_HEADER_INDEX_LINETYPE), k02},
    {799, kDate, 1, AD_HV(tdcreate), k02},
    {807, kDate, 1, AD_HV(tdupdate), k02},
    {815, kDate, 1, AD_HV(tdindwg), k02},
    {823, kDate, 1, AD_HV(tdusrtimer), k02},
    {831, kShort, 1, AD_HV(usrtimer), k02},
    {833, kShort, 1, AD_HV(fastzoom), k02},
    {835, kShort, 1, AD_HV(skpoly), k02},
    {851, kDoubles, 1, AD_HV(angbase), k02},
    {859, kShort, 1, AD_HV(angdir), k02},
    {861, kShort, 1, AD_HV(pdmode), k02},
    {863, kDoubles, 1, AD_HV(pdsize), k02},
    {871, kDoubles, 1, AD_HV(plinewid), k02},
    {929, kByte, 1, AD_HV(dimalt), k03},
    {930, kByte, 1, AD_HV(dimaltd), k03},
    {931, kByte, 1, AD_HV(dimaso), k03},
    {932, kByte, 1, AD_HV(dimsho), k03},
    {933, kText, 16, AD_HV(dimpost), k03},
    {949, kText, 16, AD_HV(dimapost), k03},
    {965, kDoubles, 1, AD_HV(dimaltf), k03},
    {973, kDoubles, 1, AD_HV(dimlfac), k03},
    {981, kShort, 1, AD_HV(splinesegs), k04},
    {983, kShort, 1, AD_HV(splframe), k04},
    {985, kShort, 1, AD_HV(attreq), k04},
    {987, kShort, 1, AD_HV(attdia), k04},
    {989, kDoubles, 1, AD_HV(chamfera), k04},
    {997, kDoubles, 1, AD_HV(chamferb), k04},
    {1017, kShort, 1, AD_HV(dwgcodepage), k09},
    {1019, kDoubles, 3, AD_HV(ucsorg), k06},
    {1043, kDoubles, 3, AD_HV(ucsxdir), k06},
    {1067, kDoubles, 3, AD_HV(ucsydir), k06},
    {1091, kDoubles, 3, AD_HV(dwgHeaderPoint1), k06},
    {1115, kDoubles, 1, AD_HV(dwgHeaderDouble6), k06},
    {1123, kDoubles, 1, AD_HV(viewtwist), k06},
    {1131, kDoubles, 1, AD_HV(dwgHeaderDouble7), k06},
    {1139, kDoubles, 1, AD_HV(dwgHeaderDouble8), k06},
    {1147, kShort, 1, AD_HV(dwgHeaderShort6), k06},
    {1149, kByte, 1, AD_HV(dimtofl), k06},
    {1150, kText, 32, AD_HV(dimblk1), k06},
    {1183, kText, 32, AD_HV(dimblk2), k06},
    {1216, kByte, 1, AD_HV(dimsah), k06},
    {1217, kByte, 1, AD_HV(dimtix), k06},
    {1218, kByte, 1, AD_HV(dimsoxd), k06},
    {1219, kDoubles, 1, AD_HV(dimtvp), k06},
    {1227, kText, 32, AD_HV(dwgHeaderUcsName), k06},
    {1260, kShort, 1, AD_HV(handling), k06},
    {1270, kShort, 1, AD_HV(surfu), k06},
    {1272, kShort, 1, AD_HV(surfv), k06},
    {1274, kShort, 1, AD_HV(surftype), k06},
    {1276, kShort, 1, AD_HV(surftab1), k06},
    {1278, kShort, 1, AD_HV(surftab2), k06},
    {1290, kShort, 1, AD_HV(flatland), k06},
    {1292, kShort, 1, AD_HV(splinetype), k06},
    {1294, kShort, 1, AD_HV(dwgHeaderShort7), k06},
    {1296, kIndex, 1, AD_SLOT(AD_HEADER_INDEX_UCS), k06},
    {1310, kShort, 1, AD_HV(dwgHeaderShort8), k09},
    {1312, kShort, 1, AD_HV(dwgHeaderShort9), k09},
    {1324, kIndex, 1, AD_SLOT(AD_HEADER_INDEX_DIMSTYLE), k09},
    {1329, kShort, 1, AD_HV(dimclrd), k09},
    {1331, kShort, 1, AD_HV(dimclre), k09},
    {1333, kShort, 1, AD_HV(dimclrt), k09},
    {1335, kShort, 1, AD_HV(shadedge), k09},
    {1337, kShort, 1, AD_HV(shadedif), k09},
    {1341, kShort, 1, AD_HV(unitmode), k09},
    {1503, kDoubles, 1, AD_HV(dimtfac), k09},
    {1511, kDoubles, 3, AD_HV(pucsorg), k09},
    {1535, kDoubles, 3, AD_HV(pucsxdir), k09},
    {1559, kDoubles, 3, AD_HV(pucsydir), k09},
    {1583, kIndex, 1, AD_SLOT(AD_HEADER_INDEX_PAPER_UCS), k09},
    {1585, kShort, 1, AD_HV(tilemode), k09},
    {1587, kShort, 1, AD_HV(plimcheck), k09},
    {1591, kDoubles, 3, AD_HV(pextmin), k09},
    {1615, kDoubles, 3, AD_HV(pextmax), k09},
    {1639, kDoubles, 2, AD_HV(plimmin), k09},
    {1655, kDoubles, 2, AD_HV(plimmax), k09},
    {1671, kDoubles, 3, AD_HV(pinsbase), k09},
    {1705, kShort, 1, AD_HV(maxactvp), k09},
    {1707, kDoubles, 1, AD_HV(dimgap), k09},
    {1715, kDoubles, 1, AD_HV(pelevation), k09},
};

#undef AD_HV
#undef AD_SLOT
}  // namespace

AdR12HeaderRows adR12HeaderRows() { return {kRows, sizeof kRows / sizeof kRows[0]}; }

std::int32_t adR12HeaderRowWidth(const AdR12HeaderRow& row) {
    switch (row.kind) {
    case AD_R12_HV_SHORT:
    case AD_R12_HV_INDEX: return 2;
    case AD_R12_HV_BYTE:
    case AD_R12_HV_BYTE_SHORT: return 1;
    case AD_R12_HV_DOUBLES: return 8 * row.count;
    case AD_R12_HV_DATE: return 8;
    default: return row.count;
    }
}

