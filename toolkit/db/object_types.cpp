// The object type table, the kind of a type code in a drawing, and the
// drawing's class numbers of the known classes.
#include "toolkit/db/object_kinds.h"

#include <cstddef>

// Data without stores keeps within the sizes these objects have always had;
// data with stores follows the pointer width.
static_assert(sizeof(AdDimAssocData) <= 5264);
static_assert(sizeof(AdDictionaryVarData) <= 258);
static_assert(sizeof(AdImageDefData) <= 560);
static_assert(sizeof(AdRasterVariablesData) <= 12);
static_assert(sizeof(AdPlaceholderData) <= 2);
static_assert(sizeof(AdLayoutData) <= 3456);
static_assert(sizeof(AdPlotSettingsData) <= 2712);
static_assert(sizeof(AdWipeoutVariablesData) <= 2);

namespace {

constexpr std::int32_t at(std::size_t offset) { return static_cast<std::int32_t>(offset); }

std::int16_t slot(const AdDrawing* drawing, std::int32_t classSlot) {
    return drawing ? drawing->classNumbers[classSlot] : 0;
}

constexpr AdObjectTextField dimAssocClassName(int reference) {
    return {offsetof(AdDimAssocData, references) + reference * sizeof(AdDimAssocReference) +
                offsetof(AdDimAssocReference, className),
            AD_OBJECT_NAME_SIZE};
}

constexpr AdObjectTextField kDimAssocTexts[] = {dimAssocClassName(0), dimAssocClassName(1), dimAssocClassName(2),
                                                dimAssocClassName(3), dimAssocClassName(4), {}};
constexpr AdObjectTextField kMlineStyleTexts[] = {{offsetof(AdMlineStyleData, name), AD_OBJECT_NAME_SIZE},
                                                  {offsetof(AdMlineStyleData, description), AD_OBJECT_SHORT_TEXT_SIZE},
                                                  {}};
constexpr AdObjectTextField kGroupTexts[] = {{offsetof(AdGroupData, description), AD_OBJECT_NAME_SIZE}, {}};
constexpr AdObjectTextField kDictionaryVarTexts[] = {{offsetof(AdDictionaryVarData, value), AD_OBJECT_SHORT_TEXT_SIZE},
                                                     {}};
constexpr AdObjectTextField kImageDefTexts[] = {{offsetof(AdImageDefData, filePath), AD_OBJECT_NAME_SIZE}, {}};

// A LAYOUT begins with its plot settings, so the plot-settings texts are the
// tail of the layout's list.
static_assert(offsetof(AdLayoutData, plotSettings) == 0);
constexpr AdObjectTextField kLayoutTexts[] = {
    {offsetof(AdLayoutData, name), AD_OBJECT_NAME_SIZE},
    {offsetof(AdPlotSettingsData, pageSetupName), AD_OBJECT_NAME_SIZE},
    {offsetof(AdPlotSettingsData, plotConfiguration), AD_OBJECT_NAME_SIZE},
    {offsetof(AdPlotSettingsData, paperSize), AD_OBJECT_NAME_SIZE},
    {offsetof(AdPlotSettingsData, plotViewName), AD_OBJECT_NAME_SIZE},
    {offsetof(AdPlotSettingsData, styleSheet), AD_OBJECT_NAME_SIZE},
    {},
};
constexpr const AdObjectTextField* kPlotSettingsTexts = kLayoutTexts + 1;

}  // namespace

// Rows in AdObjectKind order: fixed type, class slot, data size, owned
// stores, texts.
const AdObjectKindDesc adObjectKinds[AD_OBJECT_KIND_COUNT] = {
    {AD_OBJECT_DICTIONARY, -1, sizeof(AdDictionaryData), {at(offsetof(AdDictionaryData, entries)), -1}, nullptr},
    {AD_OBJECT_MLINESTYLE, -1, sizeof(AdMlineStyleData), {at(offsetof(AdMlineStyleData, elements)), -1},
     kMlineStyleTexts},
    {AD_OBJECT_GROUP, -1, sizeof(AdGroupData), {at(offsetof(AdGroupData, members)), -1}, kGroupTexts},
    {0, AD_CLASS_XRECORD, sizeof(AdXrecordData), {at(offsetof(AdXrecordData, items)), -1}, nullptr},
    {0, AD_CLASS_DIMASSOC, sizeof(AdDimAssocData), {-1, -1}, kDimAssocTexts},
    {0, AD_CLASS_IDBUFFER, sizeof(AdIdBufferData), {at(offsetof(AdIdBufferData, handles)), -1}, nullptr},
    {0, AD_CLASS_DICTIONARYVAR, sizeof(AdDictionaryVarData), {-1, -1}, kDictionaryVarTexts},
    {0, AD_CLASS_IMAGEDEF, sizeof(AdImageDefData), {-1, -1}, kImageDefTexts},
    {0, AD_CLASS_IMAGEDEF_REACTOR, sizeof(AdImageDefReactorData),
     {at(offsetof(AdImageDefReactorData, image)), -1}, nullptr},
    {0, AD_CLASS_LAYER_INDEX, sizeof(AdLayerIndexData),
     {at(offsetof(AdLayerIndexData, names)), at(offsetof(AdLayerIndexData, handles))}, nullptr},
    {0, AD_CLASS_OBJECT_PTR, sizeof(AdObjectPtrData), {at(offsetof(AdObjectPtrData, data)), -1}, nullptr},
    {0, AD_CLASS_RASTERVARIABLES, sizeof(AdRasterVariablesData), {-1, -1}, nullptr},
    {0, AD_CLASS_SORTENTSTABLE, sizeof(AdSortentsTableData),
     {at(offsetof(AdSortentsTableData, sortHandles)), at(offsetof(AdSortentsTableData, entityHandles))}, nullptr},
    {0, AD_CLASS_SPATIAL_FILTER, sizeof(AdSpatialFilterData),
     {at(offsetof(AdSpatialFilterData, boundary)), -1}, nullptr},
    {0, AD_CLASS_SPATIAL_INDEX, sizeof(AdSpatialIndexData),
     {at(offsetof(AdSpatialIndexData, bytes)), at(offsetof(AdSpatialIndexData, remaining))}, nullptr},
    {0, AD_CLASS_ACDBDICTIONARYWDFLT, sizeof(AdDictionaryWithDefaultData),
     {at(offsetof(AdDictionaryWithDefaultData, entries)), -1}, nullptr},
    {0, AD_CLASS_ACDBPLACEHOLDER, sizeof(AdPlaceholderData), {-1, -1}, nullptr},
    {0, AD_CLASS_LAYOUT, sizeof(AdLayoutData), {-1, -1}, kLayoutTexts},
    {0, AD_CLASS_PLOTSETTINGS, sizeof(AdPlotSettingsData), {-1, -1}, kPlotSettingsTexts},
    {0, AD_CLASS_VBA_PROJECT, sizeof(AdVbaProjectData), {at(offsetof(AdVbaProjectData, data)), -1}, nullptr},
    {0, AD_CLASS_WIPEOUTVARIABLES, sizeof(AdWipeoutVariablesData), {-1, -1}, nullptr},
    {0, -1, sizeof(AdProxyObjectData),
     {at(offsetof(AdProxyObjectData, data)), at(offsetof(AdProxyObjectData, references))}, nullptr},
};

AdObjectKind adObjectKindOf(const AdDrawing* drawing, std::int16_t type) {
    for (int kind = 0; kind < AD_OBJECT_KIND_PROXY; ++kind) {
        const AdObjectKindDesc& desc = adObjectKinds[kind];
        // An absent class keeps 0 in its slot, and 0 is no object's type.
        const std::int16_t code = desc.classSlot < 0 ? desc.fixedType : slot(drawing, desc.classSlot);
        if (code != 0 && code == type) return static_cast<AdObjectKind>(kind);
    }
    return AD_OBJECT_KIND_PROXY;
}

std::int16_t adClassNumOle2Frame(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_OLE2FRAME); }
std::int16_t adClassNumHatch(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_HATCH); }
std::int16_t adClassNumLwpolyline(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_LWPOLYLINE); }
std::int16_t adClassNumImage(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_IMAGE); }
std::int16_t adClassNumRText(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_RTEXT); }
std::int16_t adClassNumArcAlignedText(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_ARCALIGNEDTEXT); }
std::int16_t adClassNumWipeout(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_WIPEOUT); }
std::int16_t adClassNumXrecord(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_XRECORD); }
std::int16_t adClassNumIdBuffer(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_IDBUFFER); }
std::int16_t adClassNumDictionaryVar(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_DICTIONARYVAR); }
std::int16_t adClassNumImageDef(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_IMAGEDEF); }
std::int16_t adClassNumImageDefReactor(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_IMAGEDEF_REACTOR); }
std::int16_t adClassNumRasterVariables(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_RASTERVARIABLES); }
std::int16_t adClassNumSpatialFilter(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_SPATIAL_FILTER); }
std::int16_t adClassNumSortentsTable(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_SORTENTSTABLE); }
std::int16_t adClassNumLayerIndex(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_LAYER_INDEX); }
std::int16_t adClassNumSpatialIndex(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_SPATIAL_INDEX); }
std::int16_t adClassNumObjectPtr(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_OBJECT_PTR); }
std::int16_t adClassNumDictionaryWithDefault(const AdDrawing* drawing) {
    return slot(drawing, AD_CLASS_ACDBDICTIONARYWDFLT);
}
std::int16_t adClassNumPlaceholder(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_ACDBPLACEHOLDER); }
std::int16_t adClassNumLayout(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_LAYOUT); }
std::int16_t adClassNumVbaProject(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_VBA_PROJECT); }
std::int16_t adClassNumWipeoutVariables(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_WIPEOUTVARIABLES); }
std::int16_t adClassNumPlotSettings(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_PLOTSETTINGS); }
std::int16_t adClassNumDimAssoc(const AdDrawing* drawing) { return slot(drawing, AD_CLASS_DIMASSOC); }
