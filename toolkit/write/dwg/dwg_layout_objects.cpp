// LAYOUT objects and the plot settings that LAYOUT and PLOTSETTINGS share,
// in a bit-coded DWG file.
#include "toolkit/write/dwg/dwg_writer.h"

#include "toolkit/db/bit_stream_state.h"

int adDwgWritePlotSettingsData(const AdPlotSettingsData& d) {
    adBitWriteText(d.pageSetupName);
    adBitWriteText(d.plotConfiguration);
    adBitWriteShort(d.layoutFlags);
    for (double margin : d.margins) adBitWriteDouble(margin);
    adBitWriteDouble(d.paperWidth);
    adBitWriteDouble(d.paperHeight);
    adBitWriteText(d.paperSize);
    adBitWriteDouble(d.origin[0]);
    adBitWriteDouble(d.origin[1]);
    adBitWriteShort(d.paperUnits);
    adBitWriteShort(d.rotation);
    adBitWriteShort(d.plotType);
    for (double corner : d.window) adBitWriteDouble(corner);
    adBitWriteText(d.plotViewName);
    adBitWriteDouble(d.scaleNumerator);
    adBitWriteDouble(d.scaleDenominator);
    adBitWriteText(d.styleSheet);
    adBitWriteShort(d.scaleType);
    adBitWriteDouble(d.scaleFactor);
    adBitWriteDouble(d.imageOrigin[0]);
    adBitWriteDouble(d.imageOrigin[1]);
    return adBitUsable() ? 1 : 0;
}

int adDwgWriteLayout(AdDwgWriter* writer, const AdObjectHeader* header, const AdLayoutData& d,
                     const AdHandle* owner) {
    if (!adDwgWritePlotSettingsData(d.plotSettings)) return 0;
    adBitWriteText(d.name);
    adBitWriteShort(d.tabOrder);
    adBitWriteShort(d.flags);
    adBitWrite3D(d.ucsOrigin);
    adBitWriteRaw2D(d.limitsMin);
    adBitWriteRaw2D(d.limitsMax);
    adBitWrite3D(d.insertionBase);
    adBitWrite3D(d.ucsXAxis);
    adBitWrite3D(d.ucsYAxis);
    adBitWriteDouble(d.elevation);
    adBitWriteShort(d.orthographicType);
    adBitWrite3D(d.extentsMin);
    adBitWrite3D(d.extentsMax);
    if (!adDwgWriteObjectTail(writer, header, owner)) return 0;
    adBitWriteHandle(&d.paperSpaceBlock, AD_REF_SOFT_POINTER);
    adBitWriteHandle(&d.lastActiveViewport, AD_REF_SOFT_POINTER);
    adBitWriteHandle(&d.baseUcs, AD_REF_HARD_POINTER);
    adBitWriteHandle(&d.namedUcs, AD_REF_HARD_POINTER);
    return adDwgRecordEnd(writer, &header->handle);
}
