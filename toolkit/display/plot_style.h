// Plot-style tables (.ctb colour-dependent, .stb named) and the layout plot
// settings that name them. Of a style only its line-weight index changes the
// drawing; the rest is kept as the file gives it. Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

constexpr std::size_t AD_PLOT_STYLE_TEXT_SIZE = 512;
constexpr int AD_PLOT_STYLE_COLOURS = 255;
constexpr int AD_CUSTOM_LINEWEIGHTS = 27;

// Layout plot flags.
constexpr std::int16_t AD_PLOT_WITH_STYLES = 0x20;
constexpr std::int16_t AD_PLOT_VIEWPORTS_FIRST = 0x200;

struct AdPlotStyle {
    char name[AD_PLOT_STYLE_TEXT_SIZE];
    char localizedName[AD_PLOT_STYLE_TEXT_SIZE];
    char description[AD_PLOT_STYLE_TEXT_SIZE];
    std::int32_t colour;
    std::int16_t colourPolicy;
    std::int16_t physicalPen;
    std::int16_t virtualPen;
    std::int16_t screen;
    double linePatternSize;
    std::int16_t linetype;
    std::uint8_t adaptiveLinetype;
    std::int16_t lineWeight;  // index 1..27; 0 none
    std::int16_t fillStyle;
    std::int16_t endStyle;
    std::int16_t joinStyle;
    AdHandle handle;  // of the named style, once resolved
    AdPlotStyle* next;
};

struct AdPlotStyleTable {
    std::uint8_t aciTableAvailable;
    std::uint8_t applyFactor;
    char description[AD_PLOT_STYLE_TEXT_SIZE];
    double scaleFactor;
    std::int16_t customLineWeightDisplayUnits;
    std::int16_t styleCount;
    AdPlotStyle* first;
    AdPlotStyle** colourStyles;  // entry k for colour k + 1; null without an aci_table
    double customLineWeights[AD_CUSTOM_LINEWEIGHTS];
};

int adReadPlotStyleTable(const char* path, AdPlotStyleTable** out);
// The same over the bytes of a table file.
int adParsePlotStyleFile(const std::uint8_t* bytes, std::size_t length, AdPlotStyleTable** out);
void adFreePlotStyleTable(AdPlotStyleTable* table);
int adPlotStyleByHandle(const std::uint8_t handle[8], const AdPlotStyleTable* table, AdPlotStyle** out);
int adPlotStyleByName(const char* name, const AdPlotStyleTable* table, AdPlotStyle** out);
int adPlotStyleByLocalizedName(const char* name, const AdPlotStyleTable* table, AdPlotStyle** out);

int adLoadLayoutPlotSettings(AdDrawing* drawing);
int adLoadPlotStyleTable(AdDrawing* drawing);
void adResolvePlotStyleNames(AdDrawing* drawing, AdPlotStyleTable* table);
int adLineWeightToMm(const AdDrawing* drawing, std::int16_t lineWeight, double* mm);
double adLineWeightToDevice(const AdDrawing* drawing, std::int16_t lineWeight);
// Hundredths of a millimetre of a style's line-weight index (1..27); 0
// for any other index.
std::int16_t adPlotStyleLineWeight(std::int16_t index);
