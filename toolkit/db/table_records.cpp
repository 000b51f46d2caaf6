// Defaults of the symbol table records: what a new or freshly read record
// holds before the file or the caller fills it.
#include "toolkit/db/default_plot_style.h"
#include "toolkit/db/table_cursor.h"

#include <cstring>

namespace {

template <typename Record>
void clear(Record* record) {
    std::memset(static_cast<void*>(record), 0, sizeof *record);
}

void setPoint(double* point, double x, double y, double z) {
    point[0] = x;
    point[1] = y;
    point[2] = z;
}

// The fixed VPORT template; "*ACTIVE" built from it carries the header's view.
AdVportRecord vportTemplate() {
    AdVportRecord r;
    clear(&r);
    r.xrefIndex = -1;
    r.upperRight[0] = r.upperRight[1] = 1.0;
    r.snapSpacing[0] = r.snapSpacing[1] = 1.0;
    r.viewCentre[0] = 6.21;
    r.viewCentre[1] = 9.02;
    setPoint(r.viewDirection, 0.0, 0.0, 1.0);
    r.viewHeight = 18.04;
    r.circleZoom = 100;
    r.fastZoom = 1;
    r.ucsIcon = 1;
    r.aspectRatio = 0.688564;
    r.lensLength = 50.0;
    setPoint(r.ucsXAxis, 1.0, 0.0, 0.0);
    setPoint(r.ucsYAxis, 0.0, 1.0, 0.0);
    return r;
}

AdViewTableRecord viewTemplate() {
    AdViewTableRecord r;
    clear(&r);
    r.xrefIndex = -1;
    setPoint(r.direction, 0.0, 0.0, 1.0);
    r.height = 1.0;
    r.lensLength = 50.0;
    r.width = 1.0;
    setPoint(r.ucsXAxis, 1.0, 0.0, 0.0);
    setPoint(r.ucsYAxis, 0.0, 1.0, 0.0);
    return r;
}

AdDimStyleRecord dimStyleTemplate() {
    AdDimStyleRecord r;
    clear(&r);
    r.xrefIndex = -1;
    r.dimaltd = 2;
    r.dimaltf = 25.4;
    r.dimasz = 0.18;
    r.dimcen = 0.09;
    r.dimdli = 0.38;
    r.dimexe = 0.18;
    r.dimexo = 0.0625;
    r.dimgap = 0.09;
    r.dimlfac = 1.0;
    r.dimscale = 1.0;
    r.dimtfac = 1.0;
    r.dimtih = 1;
    r.dimtoh = 1;
    r.dimtxt = 0.18;
    r.dimalttd = 2;
    r.dimaltu = 2;
    r.dimdec = 4;
    r.dimtdec = 4;
    r.dimtolj = 1;
    r.dimunit = 2;
    r.dimdsep = '.';
    r.dimlwd = -2;
    r.dimlwe = -2;
    return r;
}

}  // namespace

void adDefaultLayerRecord(AdDrawing* drawing, AdLayerRecord* record) {
    clear(record);
    record->xrefIndex = -1;
    record->colour = 7;
    adTableFirstHandle(drawing, adLtypeTable, &record->linetype);
    record->drawing = drawing;
    record->drawingCopy = drawing;
    record->plotFlag = 1;
    record->lineweight = -3;
    adDefaultPlotStyle(drawing, &record->plotStyle);
}

void adDefaultLtypeRecord(AdLtypeRecord* record) {
    char name[AD_TABLE_NAME_SIZE];
    HostMemMove(name, record->name, sizeof name);
    clear(record);
    HostMemMove(record->name, name, sizeof name);
    record->xrefIndex = -1;
    record->alignment = 'A';
    record->flags = 64;
}

void adDefaultStyleRecord(AdStyleRecord* record) {
    clear(record);
    record->xrefIndex = -1;
    record->widthFactor = 1.0;
}

void adDefaultVportRecord(AdVportRecord* record) {
    static const AdVportRecord templateRecord = vportTemplate();
    *record = templateRecord;
}

void adDefaultViewRecord(AdViewTableRecord* record) {
    static const AdViewTableRecord templateRecord = viewTemplate();
    *record = templateRecord;
}

void adDefaultUcsRecord(AdUcsRecord* record) {
    clear(record);
    record->xrefIndex = -1;
    setPoint(record->xAxis, 1.0, 0.0, 0.0);
    setPoint(record->yAxis, 0.0, 1.0, 0.0);
}

void adDefaultAppidRecord(AdAppidRecord* record) {
    clear(record);
    record->xrefIndex = -1;
}

void adDefaultDimStyleRecord(AdDrawing* drawing, AdDimStyleRecord* record) {
    static const AdDimStyleRecord templateRecord = dimStyleTemplate();
    *record = templateRecord;
    adTableFirstHandle(drawing, adStyleTable, &record->dimtxsty);
}

void adDefaultBlockHeader(AdBlockHeader* record) {
    clear(record);
    record->loadState = -1;
}
