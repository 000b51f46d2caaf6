// The header-variable block a drawing starts from, before any file is read;
// both readers begin here, so every variable a file leaves out keeps it.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <cstdio>

namespace {
void setPoint(double point[2], double x, double y) {
    point[0] = x;
    point[1] = y;
}

void setPoint(double point[3], double x, double y, double z) {
    point[0] = x;
    point[1] = y;
    point[2] = z;
}
}  // namespace

int adHeaderDefaults(AdHeaderVars* h) {
    if (!h) return 0;
    *h = AdHeaderVars{};
    std::snprintf(h->acadver, sizeof h->acadver, "%s", "AC1012");
    h->attmode = 1;
    h->attreq = 1;
    h->blipmode = 1;
    h->cecolor = AD_COLOR_BYLAYER;
    h->celtscale = 1.0;
    h->cmlscale = 1.0;
    h->delobj = 1;
    h->dimaltd = 2;
    h->dimaltf = 25.4;
    h->dimalttd = 2;
    h->dimaltu = 2;
    h->dimaso = 1;
    h->dimasz = 0.18;
    h->dimcen = 0.09;
    h->dimdec = 4;
    h->dimdli = 0.38;
    h->dimexe = 0.18;
    h->dimexo = 0.0625;
    h->dimatfit = 3;
    h->dimgap = 0.09;
    h->dimlfac = 1.0;
    h->dimscale = 1.0;
    h->dimsho = 1;
    h->dimtdec = 4;
    h->dimtfac = 1.0;
    h->dimtih = 1;
    h->dimtoh = 1;
    h->dimtolj = 1;
    h->dimtxt = 0.18;
    h->dimlunit = 2;
    h->dragmode = 2;
    setPoint(h->extmin, 1e+20, 1e+20, 1e+20);
    setPoint(h->extmax, -1e+20, -1e+20, -1e+20);
    h->extnames = 1;
    h->fastzoom = 1;
    h->fillmode = 1;
    h->handling = 1;
    h->ltscale = 1.0;
    h->lunits = 2;
    h->luprec = 4;
    h->maxactvp = 16;
    std::snprintf(h->menu, sizeof h->menu, "%s", "acad");
    h->mirrtext = 1;
    setPoint(h->pextmin, 1e+20, 1e+20, 1e+20);
    setPoint(h->pextmax, -1e+20, -1e+20, -1e+20);
    h->pickstyle = 1;
    setPoint(h->plimmax, 12.0, 9.0);
    h->plinegen = 1;
    h->pstylemode = 1;
    setPoint(h->pucsxdir, 1.0, 0.0, 0.0);
    setPoint(h->pucsydir, 0.0, 1.0, 0.0);
    h->regenmode = 1;
    h->shadedge = 3;
    h->shadedif = 70;
    h->sketchinc = 0.1;
    setPoint(h->snapunit, 1.0, 1.0);
    h->splinesegs = 8;
    h->splinetype = 6;
    h->surftab1 = 6;
    h->surftab2 = 6;
    h->surftype = 6;
    h->surfu = 6;
    h->surfv = 6;
    h->textsize = 0.2;
    h->tilemode = 1;
    h->tracewid = 0.05;
    h->treedepth = 3020;
    setPoint(h->ucsxdir, 1.0, 0.0, 0.0);
    setPoint(h->ucsydir, 0.0, 1.0, 0.0);
    h->usrtimer = 1;
    setPoint(h->viewctr, 6.591288, 4.579184, 0.0);
    h->viewsize = 9.158369;
    setPoint(h->viewdir, 0.0, 0.0, 1.0);
    h->worldview = 1;
    h->xedit = 1;
    h->dwgHeaderDouble1 = 412148564080.0;
    h->dwgHeaderDouble2 = 1.0;
    h->dwgHeaderDouble3 = 1.0;
    h->dwgHeaderDouble4 = 1.0;
    h->dwgHeaderDouble5 = 0.5;
    h->dwgHeaderDouble6 = 50.0;
    h->dwgHeaderLong1 = 24;
    h->dwgHeaderShort2 = 4;
    h->dwgHeaderShort3 = 50;
    h->dwgHeaderShort4 = 1;
    h->dwgHeaderShort5 = 70;
    h->dwgHeaderShort7 = 1;
    h->dwgHeaderShort8 = 5;
    h->dwgHeaderShort9 = 1;
    h->dwgcodepage = adCurrentCodePage();
    return 1;
}
