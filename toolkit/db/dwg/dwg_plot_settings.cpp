// The plot settings that PLOTSETTINGS and LAYOUT objects begin with.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

int adDwgReadPlotSettings(AdPlotSettingsData* data) {
    adDwgReadCutText(data->pageSetupName, AD_OBJECT_NAME_SIZE);
    adDwgReadCutText(data->plotConfiguration, AD_OBJECT_NAME_SIZE);
    data->layoutFlags = adBitReadShort();
    for (double& margin : data->margins) adBitReadDouble(&margin);
    adBitReadDouble(&data->paperWidth);
    adBitReadDouble(&data->paperHeight);
    adDwgReadCutText(data->paperSize, AD_OBJECT_NAME_SIZE);
    adBitReadDouble(&data->origin[0]);
    adBitReadDouble(&data->origin[1]);
    data->paperUnits = adBitReadShort();
    data->rotation = adBitReadShort();
    data->plotType = adBitReadShort();
    for (double& corner : data->window) adBitReadDouble(&corner);
    adDwgReadCutText(data->plotViewName, AD_OBJECT_NAME_SIZE);
    adBitReadDouble(&data->scaleNumerator);
    adBitReadDouble(&data->scaleDenominator);
    adDwgReadCutText(data->styleSheet, AD_OBJECT_NAME_SIZE);
    data->scaleType = adBitReadShort();
    adBitReadDouble(&data->scaleFactor);
    adBitReadDouble(&data->imageOrigin[0]);
    adBitReadDouble(&data->imageOrigin[1]);
    return adBitUsable() ? 1 : 0;
}
