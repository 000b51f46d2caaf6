// The dimension style a drawing without one gets: its values are the
// header's dimension variables.
#include "toolkit/db/dim_style_header.h"

#include "toolkit/db/table_cursor.h"

void adDimStyleFromHeader(AdDrawing* drawing, AdDimStyleRecord* record) {
    adDefaultDimStyleRecord(drawing, record);
    const AdHeaderVars* h = drawing->header;
    if (!h) return;
    record->dimadec = h->dimadec;
    record->dimalt = h->dimalt;
    record->dimaltd = h->dimaltd;
    record->dimaltf = h->dimaltf;
    record->dimaltrnd = h->dimaltrnd;
    record->dimalttd = h->dimalttd;
    record->dimalttz = h->dimalttz;
    record->dimaltu = h->dimaltu;
    record->dimaltz = h->dimaltz;
    adTableCopyText(record->dimapost, sizeof record->dimapost, h->dimapost);
    record->dimasz = h->dimasz;
    record->dimaunit = h->dimaunit;
    record->dimazin = h->dimazin;
    record->dimblk = h->dimblkHandle;
    record->dimblk1 = h->dimblk1Handle;
    record->dimblk2 = h->dimblk2Handle;
    record->dimcen = h->dimcen;
    record->dimclrd = h->dimclrd;
    record->dimclre = h->dimclre;
    record->dimclrt = h->dimclrt;
    record->dimdec = h->dimdec;
    record->dimdle = h->dimdle;
    record->dimdli = h->dimdli;
    record->dimdsep = h->dimdsep;
    record->dimexe = h->dimexe;
    record->dimexo = h->dimexo;
    record->dimfrac = h->dimfrac;
    record->dimgap = h->dimgap;
    record->dimjust = h->dimjust;
    record->dimldrblk = h->dimldrblkHandle;
    record->dimlfac = h->dimlfac;
    record->dimlim = h->dimlim;
    record->dimlwd = h->dimlwd;
    record->dimlwe = h->dimlwe;
    adTableCopyText(record->dimpost, sizeof record->dimpost, h->dimpost);
    record->dimrnd = h->dimrnd;
    record->dimsah = h->dimsah;
    record->dimscale = h->dimscale;
    record->dimsd1 = h->dimsd1;
    record->dimsd2 = h->dimsd2;
    record->dimse1 = h->dimse1;
    record->dimse2 = h->dimse2;
    record->dimsoxd = h->dimsoxd;
    record->dimtad = h->dimtad;
    record->dimtdec = h->dimtdec;
    record->dimtfac = h->dimtfac;
    record->dimtih = h->dimtih;
    record->dimtix = h->dimtix;
    record->dimtm = h->dimtm;
    record->dimtmove = h->dimtmove;
    record->dimtofl = h->dimtofl;
    record->dimtoh = h->dimtoh;
    record->dimtol = h->dimtol;
    record->dimtolj = h->dimtolj;
    record->dimtp = h->dimtp;
    record->dimtsz = h->dimtsz;
    record->dimtvp = h->dimtvp;
    record->dimtxt = h->dimtxt;
    record->dimtzin = h->dimtzin;
    record->dimupt = h->dimupt;
    record->dimzin = h->dimzin;
    record->dimunit = h->dimlunit;
}
