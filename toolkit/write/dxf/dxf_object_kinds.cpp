// The objects a drawing numbers by class, each with the groups of its kind;
// kinds an older version does not know are left out, and objects of classes
// no kind here stands for are written as proxy (or, in AC1012, zombie)
// objects.
#include "toolkit/write/dxf/dxf_objects.h"
#include "toolkit/ad_internal.h"

#include <cstring>
#include <memory>

namespace {
constexpr double kDayPerMillisecond = 1.1574074074074074e-8;
// An object kept from a class with this much data or less holds no groups.
constexpr std::int32_t kEmptyKeptBits = 68;

bool in(std::int16_t code, std::int16_t low, std::int16_t high) { return code >= low && code <= high; }

double timeStamp(const AdJulianDate& date) { return date.day + date.milliseconds * kDayPerMillisecond; }

void xrecordItem(AdDxfObjectGroups& g, AdGroupItem& item) {
    const std::int16_t code = item.code;
    item.value.text[sizeof item.value.text - 1] = '\0';
    if (in(code, 0, 9) || code == 100 || code == 102 || in(code, 300, 309) || in(code, 999, 1003) ||
        in(code, 1005, 1008)) {
        if (g.ok) g.ok = adDxfWriteEscapedGroup(g.output, code, item.value.text);
    } else if (in(code, 10, 19)) {
        // Always with its z: a reader takes the two groups after an x for y
        // and z, and a point without z would lose the next item.
        g.point3(code, item.value.reals);
    } else if (in(code, 1010, 1019)) {
        if (g.ok) g.ok = adDxfWritePointOptZ(g.output, code, item.value.reals);
    } else if (in(code, 40, 59) || in(code, 140, 147) || in(code, 1040, 1059)) {
        g.real(code, item.value.reals[0]);
    } else if (in(code, 60, 79) || in(code, 170, 175) || in(code, 1060, 1070)) {
        g.shortGroup(code, item.value.int16);
    } else if (in(code, 90, 99) || code == 1071) {
        g.longGroup(code, item.value.int32);
    } else if (in(code, 310, 319) || code == 1004) {
        const std::size_t length = item.binaryLength < AD_GROUP_VALUE_SIZE ? item.binaryLength : AD_GROUP_VALUE_SIZE;
        char hex[2 * AD_GROUP_VALUE_SIZE + 1];
        adBytesToHex(item.value.bytes, length, hex, sizeof hex);
        g.text(code, hex);
    } else if (in(code, 320, 369)) {
        g.handle(code, item.value.handle);
    }
}

void writeXrecord(AdDxfObjectGroups& g, const AdXrecordData& x) {
    g.head("XRECORD", "AcDbXrecord");
    if (g.version() == AD_VERSION_AC1015) g.shortGroup(280, x.cloning);
    AdStream* items = x.items ? adStreamOpenRead(x.items) : nullptr;
    auto item = std::make_unique<AdGroupItem>();
    while (g.ok && items && adStreamReadGroupItem(items, item.get())) xrecordItem(g, *item);
    if (items) adStreamCloseRead(items);
}

void writeDimAssoc(AdDxfObjectGroups& g, const AdDimAssocData& d) {
    g.head("DIMASSOC", "AcDbDimAssoc");
    g.handle(330, d.dimension);
    g.longGroup(90, d.associativity);
    g.shortGroup(70, d.transSpace);
    g.shortGroup(71, d.rotatedType);
    int count = adBitCount(d.associativity);
    for (const AdDimAssocReference& r : d.references) count += r.hasLastReference ? 1 : 0;
    if (count > AD_DIMASSOC_REFERENCE_COUNT) count = AD_DIMASSOC_REFERENCE_COUNT;
    for (int i = 0; i < count; ++i) {
        const AdDimAssocReference& r = d.references[i];
        char className[sizeof r.className];
        std::memcpy(className, r.className, sizeof className);
        className[sizeof className - 1] = '\0';
        g.text(1, className);
        g.shortGroup(72, r.snapType);
        if (adHandleLength(&r.mainObject) != 0) {
            g.handle(331, r.mainObject);
            g.shortGroup(73, static_cast<std::int16_t>(r.subentityType));
            g.longGroup(91, r.intersectionFlag);
            const int paths = r.pathCount < 0 ? 0 : (r.pathCount > AD_DIMASSOC_PATH_SIZE ? AD_DIMASSOC_PATH_SIZE : r.pathCount);
            for (int p = 0; p < paths; ++p) g.handle(301, r.path[p]);
        }
        g.real(40, r.parameter);
        g.point3(10, r.point);
        if ((r.snapType == 6 || r.snapType == 11) && adHandleLength(&r.intersectionObject) != 0) {
            g.handle(332, r.intersectionObject);
            g.shortGroup(74, static_cast<std::int16_t>(r.subentityValue));
            g.longGroup(92, r.intersectionValues[0]);
            if (adHandleLength(&r.intersectionHandle) != 0) g.handle(302, r.intersectionHandle);
        }
        g.shortGroup(75, r.hasLastReference);
    }
}

void writeLayerIndex(AdDxfObjectGroups& g, const AdLayerIndexData& d) {
    g.head("LAYER_INDEX", "AcDbIndex");
    g.real(40, timeStamp(d.timeStamp));
    g.text(100, "AcDbLayerIndex");
    AdStream* names = d.names ? adStreamOpenRead(d.names) : nullptr;
    AdStream* buffers = d.handles ? adStreamOpenRead(d.handles) : nullptr;
    for (std::int32_t i = 0; g.ok && names && buffers && i < d.entryCount; ++i) {
        std::int32_t entries = 0;
        std::int16_t length = 0;
        char name[AD_TABLE_NAME_SIZE] = "";
        AdHandle buffer{};
        if (!adStreamReadLong(names, &entries) || !adStreamReadShort(names, &length) || length < 0 ||
            length >= static_cast<std::int16_t>(sizeof name) || !adStreamRead(names, name, length) ||
            !adStreamReadHandle(buffers, &buffer))
            break;
        name[length] = '\0';
        g.text(8, name);
        g.handle(360, buffer);
        g.longGroup(90, entries);
    }
    if (names) adStreamCloseRead(names);
    if (buffers) adStreamCloseRead(buffers);
}

void writeSortents(AdDxfObjectGroups& g, const AdSortentsTableData& d) {
    g.head("SORTENTSTABLE", "AcDbSortentsTable");
    g.handle(330, d.block);
    AdStream* entities = d.entityHandles ? adStreamOpenRead(d.entityHandles) : nullptr;
    AdStream* sorts = d.sortHandles ? adStreamOpenRead(d.sortHandles) : nullptr;
    AdHandle entity{};
    AdHandle sort{};
    for (std::int32_t i = 0; g.ok && entities && sorts && i < d.count; ++i) {
        if (!adStreamReadHandle(entities, &entity) || !adStreamReadHandle(sorts, &sort)) break;
        g.handle(331, entity);
        g.handle(5, sort);
    }
    if (entities) adStreamCloseRead(entities);
    if (sorts) adStreamCloseRead(sorts);
}

void writeSpatialFilter(AdDxfObjectGroups& g, const AdSpatialFilterData& d) {
    g.head("SPATIAL_FILTER", "AcDbFilter");
    g.text(100, "AcDbSpatialFilter");
    const std::vector<double> points = adStoredDoubles(d.boundary, 2 * static_cast<std::int64_t>(d.pointCount));
    const auto count = static_cast<std::int16_t>(points.size() / 2);
    g.shortGroup(70, count);
    for (std::int16_t i = 0; i < count; ++i) g.point2(10, &points[2 * static_cast<std::size_t>(i)]);
    g.point3(210, d.normal);
    g.point3(11, d.origin);
    g.shortGroup(71, d.displayBoundary);
    g.shortGroup(72, d.frontClip);
    if (d.frontClip) g.real(40, d.frontDistance);
    g.shortGroup(73, d.backClip);
    if (d.backClip) g.real(41, d.backDistance);
    // Each 3 by 4 matrix row by row.
    for (const double* m : {d.inverseTransform, d.clipTransform})
        for (int i = 0; i < 12; ++i) g.real(40, m[(i % 4) * 3 + i / 4]);
}

void writeSpatialIndex(AdDxfObjectGroups& g, const AdSpatialIndexData& d) {
    g.head("SPATIAL_INDEX", "AcDbIndex");
    g.real(40, timeStamp(d.timeStamp));
    g.text(100, "AcDbSpatialIndex");
    for (double extent : d.extents) g.real(40, extent);
    g.longGroup(90, d.flag != 0 ? 1 : 0);
    if (d.flag == 0) return;
    // The index data is the drawing's own version's and only goes with it.
    if (g.version() != g.source->version) return;
    g.sizedChunks(d.remaining, d.remainingBits);
    g.text(1, "END ACDBSPATIALINDEX BINARY DATA");
}

void writePlotSettings(AdDxfObjectGroups& g, const AdPlotSettingsData& p) {
    g.text(1, p.pageSetupName);
    g.text(2, p.plotConfiguration);
    g.text(4, p.paperSize);
    g.text(6, p.plotViewName);
    const double reals[] = {p.margins[0], p.margins[1], p.margins[2], p.margins[3], p.paperWidth,
                            p.paperHeight, p.origin[0],  p.origin[1],  p.window[0],  p.window[1],
                            p.window[2],   p.window[3],  p.scaleNumerator, p.scaleDenominator};
    for (int i = 0; i < 10; ++i) g.real(static_cast<std::int16_t>(40 + i), reals[i]);
    for (int i = 0; i < 4; ++i) g.real(static_cast<std::int16_t>(140 + i), reals[10 + i]);
    g.shortGroup(70, p.layoutFlags);
    g.shortGroup(72, p.paperUnits);
    g.shortGroup(73, p.rotation);
    g.shortGroup(74, p.plotType);
    g.text(7, p.styleSheet);
    g.shortGroup(75, p.scaleType);
    g.real(147, p.scaleFactor);
    g.real(148, p.imageOrigin[0]);
    g.real(149, p.imageOrigin[1]);
}

void writeLayout(AdDxfObjectGroups& g, const AdLayoutData& l) {
    g.head("LAYOUT", "AcDbPlotSettings");
    writePlotSettings(g, l.plotSettings);
    g.text(100, "AcDbLayout");
    g.text(1, l.name);
    g.shortGroup(70, l.flags);
    g.shortGroup(71, l.tabOrder);
    g.point2(10, l.limitsMin);
    g.point2(11, l.limitsMax);
    g.point3(12, l.insertionBase);
    g.point3(14, l.extentsMin);
    g.point3(15, l.extentsMax);
    g.real(146, l.elevation);
    g.point3(13, l.ucsOrigin);
    g.point3(16, l.ucsXAxis);
    g.point3(17, l.ucsYAxis);
    g.shortGroup(76, l.orthographicType);
    g.handle(330, l.paperSpaceBlock);
    g.handle(331, l.lastActiveViewport);
    g.handle(345, l.namedUcs);
    g.handle(346, l.baseUcs);
}

void writeDictionaryWithDefault(AdDxfObjectGroups& g, const AdDictionaryWithDefaultData& d) {
    g.head("ACDBDICTIONARYWDFLT", "AcDbDictionary");
    g.shortGroup(281, d.cloning);
    AdStream* entries = d.entries && d.entryCount > 0 ? adStreamOpenRead(d.entries) : nullptr;
    auto entry = std::make_unique<AdNameRecord>();
    for (std::int32_t i = 0; g.ok && entries && i < d.entryCount && adStreamReadNameRecord(entries, entry.get()); ++i) {
        entry->name[sizeof entry->name - 1] = '\0';
        g.text(3, entry->name);
        g.handle(350, entry->handle);
    }
    if (entries) adStreamCloseRead(entries);
    g.text(100, "AcDbDictionaryWithDefault");
    g.handle(340, d.defaultEntry);
}

// The class record of a number (the object's type when the number is 0).
bool classOf(AdDrawing* source, std::int32_t number, AdClassRecord* record) {
    AdClassRecord r{};
    adClassRewind(source);
    while (adClassNext(source, &r))
        if (r.number == number) {
            *record = r;
            return true;
        }
    return false;
}

void writeKept(AdDxfObjectGroups& g, const AdProxyObjectData& p, const AdHandle& owner) {
    AdClassRecord record{};
    if (!classOf(g.source, p.classId, &record) || !record.dxfName[0]) {
        g.ok = 0;
        return;
    }
    g.text(0, record.dxfName);
    g.handle(5, g.header->handle);
    g.common();
    // The data's references are written where they stood among its groups;
    // the owner before them is the object's own.
    if (adHandleLength(&owner) != 0) g.handle(330, owner);
    if (p.dataBits > kEmptyKeptBits && g.ok) g.ok = adDxfWriteGroupData(g.output, p.data, p.references, p.referenceCount);
}

void writeProxy(AdDxfObjectGroups& g, const AdProxyObjectData& p, const AdHandle& owner) {
    if (g.version() == AD_VERSION_AC1012) {
        g.head("ACAD_ZOMBIE_OBJECT", "AcDbZombieObject");
        return;
    }
    g.text(0, "ACAD_PROXY_OBJECT");
    g.handle(5, g.header->handle);
    g.common();
    if (adHandleLength(&owner) != 0) g.handle(330, adDxfOwnerUnlessReferenced(owner, p.references, p.referenceCount));
    g.text(100, "AcDbProxyObject");
    g.longGroup(90, 499);
    g.longGroup(91, adDxfWrittenClassNumber(g.source, p.classId ? p.classId : g.header->type));
    if (g.version() == AD_VERSION_AC1015) {
        g.longGroup(95, p.instanceCount);
        g.shortGroup(70, p.formatFlag);
    }
    g.longGroup(93, p.dataBits);
    g.chunks(p.data);
    if (g.ok) g.ok = adDxfWriteHandleRefs(g.output, p.references, p.referenceCount);
    g.longGroup(94, 0);
}

enum class Since { All, Ac1014, Ac1015 };

struct Kind {
    std::int16_t (*number)(const AdDrawing*);
    Since since;
};
}  // namespace

int adDxfWriteObject(AdDrawing* source, AdOutputDrawing* output, const AdObjectHeader* header,
                     const AdObjectData* data, const AdHandle* owner) {
    const std::int16_t v = output->version;
    const std::int16_t type = header->type;
    auto is = [&](std::int16_t (*number)(const AdDrawing*)) { return number(source) != 0 && number(source) == type; };
    static constexpr Kind kKinds[] = {
        {adClassNumXrecord, Since::All},           {adClassNumDimAssoc, Since::All},
        {adClassNumIdBuffer, Since::Ac1014},       {adClassNumDictionaryVar, Since::Ac1014},
        {adClassNumImageDefReactor, Since::Ac1014}, {adClassNumImageDef, Since::Ac1014},
        {adClassNumLayerIndex, Since::Ac1014},     {adClassNumObjectPtr, Since::Ac1014},
        {adClassNumRasterVariables, Since::Ac1014}, {adClassNumSortentsTable, Since::Ac1014},
        {adClassNumSpatialFilter, Since::Ac1014},  {adClassNumSpatialIndex, Since::Ac1014},
        {adClassNumDictionaryWithDefault, Since::Ac1015}, {adClassNumPlaceholder, Since::Ac1015},
        {adClassNumLayout, Since::Ac1015},         {adClassNumPlotSettings, Since::Ac1015},
        {adClassNumVbaProject, Since::Ac1015},     {adClassNumWipeoutVariables, Since::Ac1015},
    };
    const Kind* kind = nullptr;
    for (const Kind& k : kKinds)
        if (is(k.number)) kind = &k;
    // Only the DXF reader keeps a class's data group-coded; a DWG file's
    // proxy objects carry the class's own bits.
    const bool kept = type == 499 && source->format != AD_FORMAT_DWG;
    if (kind && ((kind->since == Since::Ac1014 && v < AD_VERSION_AC1014) ||
                 (kind->since == Since::Ac1015 && v < AD_VERSION_AC1015)))
        return 1;
    if (kept && v < AD_VERSION_AC1014) return 1;
    adSetError(AD_ERR_DXF_OBJECT);
    AdDxfObjectGroups g(source, output, header);
    if (!kind) {
        if (kept) writeKept(g, data->proxy, *owner);
        else writeProxy(g, data->proxy, *owner);
    } else if (is(adClassNumXrecord)) {
        writeXrecord(g, data->xrecord);
    } else if (is(adClassNumDimAssoc)) {
        writeDimAssoc(g, data->dimAssoc);
    } else if (is(adClassNumIdBuffer)) {
        g.head("IDBUFFER", "AcDbIdBuffer");
        g.handles(330, data->idBuffer.handles, data->idBuffer.count);
    } else if (is(adClassNumDictionaryVar)) {
        g.head("DICTIONARYVAR", "DictionaryVariables");
        g.shortGroup(280, data->dictionaryVar.schema);
        char value[sizeof data->dictionaryVar.value];
        std::memcpy(value, data->dictionaryVar.value, sizeof value);
        value[sizeof value - 1] = '\0';
        g.text(1, value);
    } else if (is(adClassNumImageDefReactor)) {
        g.head("IMAGEDEF_REACTOR", "AcDbRasterImageDefReactor");
        g.longGroup(90, data->imageDefReactor.classVersion);
        g.handles(330, data->imageDefReactor.image, 1);
    } else if (is(adClassNumImageDef)) {
        const AdImageDefData& d = data->imageDef;
        g.head("IMAGEDEF", "AcDbRasterImageDef");
        g.longGroup(90, d.classVersion);
        char path[sizeof d.filePath];
        std::memcpy(path, d.filePath, sizeof path);
        path[sizeof path - 1] = '\0';
        g.text(1, path);
        g.point2(10, d.imageSize);
        g.point2(11, d.pixelSize);
        g.shortGroup(280, d.loaded);
        g.shortGroup(281, d.resolutionUnits);
    } else if (is(adClassNumLayerIndex)) {
        writeLayerIndex(g, data->layerIndex);
    } else if (is(adClassNumObjectPtr)) {
        g.head("OBJECT_PTR", "");
    } else if (is(adClassNumRasterVariables)) {
        const AdRasterVariablesData& d = data->rasterVariables;
        g.head("RASTERVARIABLES", "AcDbRasterVariables");
        g.longGroup(90, d.classVersion);
        g.shortGroup(70, d.displayFrame);
        g.shortGroup(71, d.displayQuality);
        g.shortGroup(72, d.units);
    } else if (is(adClassNumSortentsTable)) {
        writeSortents(g, data->sortentsTable);
    } else if (is(adClassNumSpatialFilter)) {
        writeSpatialFilter(g, data->spatialFilter);
    } else if (is(adClassNumSpatialIndex)) {
        writeSpatialIndex(g, data->spatialIndex);
    } else if (is(adClassNumDictionaryWithDefault)) {
        writeDictionaryWithDefault(g, data->dictionaryWithDefault);
    } else if (is(adClassNumPlaceholder)) {
        g.head("ACDBPLACEHOLDER", "");
    } else if (is(adClassNumLayout)) {
        writeLayout(g, data->layout);
    } else if (is(adClassNumPlotSettings)) {
        g.head("PLOTSETTINGS", "AcDbPlotSettings");
        writePlotSettings(g, data->plotSettings);
    } else if (is(adClassNumVbaProject)) {
        g.head("VBA_PROJECT", "AcDbVbaProject");
        g.sizedChunks(data->vbaProject.data, data->vbaProject.size);
    } else if (is(adClassNumWipeoutVariables)) {
        g.head("WIPEOUTVARIABLES", "AcDbWipeoutVariables");
        g.shortGroup(70, data->wipeoutVariables.displayFrame);
    }
    // Extended data closes every object: a reader takes what follows it
    // for more of it.
    g.xdata();
    if (g.ok) adSetError(AD_OK);
    return g.ok;
}
