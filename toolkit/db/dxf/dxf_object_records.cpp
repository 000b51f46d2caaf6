// The class objects whose groups need more than a map: XRECORD, DIMASSOC,
// IDBUFFER, DICTIONARYVAR, IMAGEDEF_REACTOR, LAYER_INDEX, SORTENTSTABLE,
// SPATIAL_FILTER, SPATIAL_INDEX, ACDBDICTIONARYWDFLT and VBA_PROJECT.
#include "toolkit/db/dxf/dxf_object_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cctype>
#include <cstring>

namespace {
const std::int32_t kItemBytes = 255;  // a group item's binary value at most
const double kMillisecondsPerDay = 86400000.0;

bool inRange(std::int16_t code, std::int16_t low, std::int16_t high) { return code >= low && code <= high; }

bool writeItem(AdStream* stream, AdGroupItem& item) { return adStreamWriteGroupItem(stream, &item) != 0; }

// One XRECORD group as an item; codes without a stored item form (281 to
// 299 among them) are dropped, not written, as writing one would fail the
// whole record. A
// binary value longer than an item holds is split over several items of
// the same code.
bool xrecordItem(AdDxfObjectRead& read, AdStream* stream) {
    const AdDxfToken& t = adDxfToken();
    const std::int16_t code = t.code;
    AdGroupItem item{};
    item.code = code;
    if (inRange(code, 1, 9) || code == 102 || inRange(code, 300, 309)) {
        adDxfCopyText(item.value.text, sizeof item.value.text, t.text);
    } else if (inRange(code, 10, 19)) {
        item.value.reals[0] = t.real;
        for (int axis = 1; axis <= 2; ++axis) {
            if (!adDxfObjectGroup(read)) break;
            item.value.reals[axis] = adDxfToken().real;
        }
    } else if (inRange(code, 60, 79) || inRange(code, 170, 175)) {
        item.value.int16 = static_cast<std::int16_t>(adDxfTokenInteger());
    } else if (inRange(code, 90, 99)) {
        item.value.int32 = adDxfTokenInteger();
    } else if (inRange(code, 40, 59) || inRange(code, 140, 147)) {
        item.value.reals[0] = t.real;
    } else if (inRange(code, 320, 369)) {
        item.value.handle = t.handle;
    } else if (inRange(code, 310, 319)) {
        std::uint8_t bytes[AD_DXF_LINE_LIMIT / 2 + 1];
        std::int16_t count = 0;
        if (!adHexToBytes(t.text, bytes, sizeof bytes, &count)) return true;
        for (std::int32_t at = 0; at < count; at += kItemBytes) {
            const std::int32_t n = count - at < kItemBytes ? count - at : kItemBytes;
            item.binaryLength = static_cast<std::uint16_t>(n);
            std::memcpy(item.value.bytes, bytes + at, static_cast<std::size_t>(n));
            if (!writeItem(stream, item)) return false;
        }
        return true;
    } else {
        return true;
    }
    return writeItem(stream, item);
}

bool readXrecord(AdDxfObjectRead& read, AdXrecordData& d) {
    AdStream* stream = adDxfAppendTo(&d.items);
    if (!stream) return false;
    bool ok = true;
    while (ok && adDxfObjectGroup(read)) {
        if (adDxfToken().code == 280) d.cloning = static_cast<std::int16_t>(adDxfTokenInteger());
        else ok = xrecordItem(read, stream);
    }
    ok = adStreamCloseAppend(stream) && ok;
    d.dataBits = adStoreSize(d.items) * 8;
    return ok;
}

// Handles written as hexadecimal words, appended while the path has room.
void addPath(AdDimAssocReference& r, const char* text) {
    while (*text) {
        while (*text && !std::isxdigit(static_cast<unsigned char>(*text))) ++text;
        char word[17];
        std::size_t n = 0;
        while (std::isxdigit(static_cast<unsigned char>(*text))) {
            if (n < sizeof word - 1) word[n++] = *text;
            ++text;
        }
        word[n] = '\0';
        if (n > 0 && r.pathCount < AD_DIMASSOC_PATH_SIZE) adDxfParseHandle(word, &r.path[r.pathCount++]);
    }
}

void readDimAssoc(AdDxfObjectRead& read, AdDimAssocData& d) {
    AdDimAssocReference* r = nullptr;
    while (adDxfObjectGroup(read)) {
        const AdDxfToken& t = adDxfToken();
        const std::int32_t value = adDxfTokenInteger();
        if (t.code == 1) {
            // References beyond the record's room are passed over.
            r = d.referenceCount < AD_DIMASSOC_REFERENCE_COUNT ? &d.references[d.referenceCount++] : nullptr;
            if (r) adDxfCopyText(r->className, sizeof r->className, t.text);
            continue;
        }
        switch (t.code) {
            case 330: d.dimension = t.handle; continue;
            case 90: d.associativity = value; continue;
            case 70: d.transSpace = static_cast<std::uint8_t>(value); continue;
            case 71: d.rotatedType = static_cast<std::uint8_t>(value); continue;
            default: break;
        }
        if (!r) continue;
        switch (t.code) {
            case 72: r->snapType = static_cast<std::uint8_t>(value); break;
            case 73: r->subentityType = value; break;
            case 74: r->subentityValue = value; break;
            case 75: r->hasLastReference = static_cast<std::uint8_t>(value); break;
            case 40: r->parameter = t.real; break;
            case 10: r->point[0] = t.real; break;
            case 20: r->point[1] = t.real; break;
            case 30: r->point[2] = t.real; break;
            case 91: r->intersectionFlag = value; break;
            case 92: r->intersectionValues[0] = value; break;
            case 301: addPath(*r, t.text); break;
            case 302: adDxfParseHandle(t.text, &r->intersectionHandle); break;
            case 331: r->mainObject = t.handle; break;
            case 332: r->intersectionObject = t.handle; break;
            default: break;
        }
    }
}

void julianDate(double value, AdJulianDate* date) {
    date->day = static_cast<std::int32_t>(value);
    date->milliseconds = static_cast<std::int32_t>((value - date->day) * kMillisecondsPerDay);
}

bool readLayerIndex(AdDxfObjectRead& read, AdLayerIndexData& d) {
    bool ok = true;
    while (ok && adDxfObjectGroup(read)) {
        const AdDxfToken& t = adDxfToken();
        if (t.code == 40) julianDate(t.real, &d.timeStamp);
        if (t.code != 8) continue;
        char name[AD_TABLE_NAME_SIZE];
        adDxfCopyText(name, sizeof name, t.text);
        std::int32_t handles = 0;
        if (!adDxfObjectGroup(read) || !(ok = adDxfAppendHandle(&d.handles, &handles))) break;
        if (!adDxfObjectGroup(read)) break;
        const std::int32_t entries = adDxfTokenInteger();
        const auto length = static_cast<std::int16_t>(std::strlen(name));
        AdStream* stream = adDxfAppendTo(&d.names);
        ok = stream && adStreamWriteLong(stream, &entries) && adStreamWriteShort(stream, &length) &&
             adStreamWrite(stream, name, length);
        if (stream) ok = adStreamCloseAppend(stream) && ok;
        if (ok) ++d.entryCount;
    }
    return ok;
}

bool readSortents(AdDxfObjectRead& read, AdSortentsTableData& d) {
    bool ok = true;
    while (ok && adDxfObjectGroup(read)) {
        const std::int16_t code = adDxfToken().code;
        if (code == 330) d.block = adDxfToken().handle;
        if (code != 331) continue;
        std::int32_t entities = 0;
        std::int32_t sorts = 0;
        ok = adDxfAppendHandle(&d.entityHandles, &entities) && adDxfObjectGroup(read) &&
             adDxfAppendHandle(&d.sortHandles, &sorts);
        if (ok) ++d.count;
    }
    return ok;
}

bool nextReal(AdDxfObjectRead& read, double* value) {
    if (!adDxfObjectGroup(read)) return false;
    *value = adDxfToken().real;
    return true;
}

// Two 3 by 4 matrices, read row by row from the current real on and kept
// column by column.
void readTransforms(AdDxfObjectRead& read, AdSpatialFilterData& d) {
    double* matrices[2] = {d.inverseTransform, d.clipTransform};
    bool more = true;
    for (int m = 0; m < 2 && more; ++m)
        for (int i = 0; i < 12 && more; ++i) {
            double value = adDxfToken().real;
            if (m > 0 || i > 0) more = nextReal(read, &value);
            if (more) matrices[m][(i % 4) * 3 + i / 4] = value;
        }
}

bool readSpatialFilter(AdDxfObjectRead& read, AdSpatialFilterData& d) {
    d.normal[2] = 1.0;
    d.displayBoundary = 1;
    bool ok = true;
    bool transforms = false;
    while (ok && adDxfObjectGroup(read)) {
        const AdDxfToken& t = adDxfToken();
        switch (t.code) {
            case 70: d.pointCount = static_cast<std::int16_t>(adDxfTokenInteger()); break;
            case 10:
            case 20:
                if (AdStream* stream = adDxfAppendTo(&d.boundary)) {
                    ok = adStreamWriteDouble(stream, &t.real) != 0;
                    ok = adStreamCloseAppend(stream) && ok;
                } else {
                    ok = false;
                }
                break;
            case 11: d.origin[0] = t.real; break;
            case 21: d.origin[1] = t.real; break;
            case 31: d.origin[2] = t.real; break;
            case 210: d.normal[0] = t.real; break;
            case 220: d.normal[1] = t.real; break;
            case 230: d.normal[2] = t.real; break;
            case 71: d.displayBoundary = static_cast<std::int16_t>(adDxfTokenInteger()); break;
            case 72:
                d.frontClip = static_cast<std::int16_t>(adDxfTokenInteger());
                nextReal(read, &d.frontDistance);
                break;
            case 73:
                d.backClip = static_cast<std::int16_t>(adDxfTokenInteger());
                if (adDxfObjectGroup(read)) {
                    if (adDxfToken().code == 41) d.backDistance = adDxfToken().real;
                    else adDxfObjectBack(read);
                }
                break;
            case 40:
                if (!transforms) readTransforms(read, d);
                transforms = true;
                break;
            default: break;
        }
    }
    return ok;
}

bool readSpatialIndex(AdDxfObjectRead& read, AdSpatialIndexData& d) {
    if (!adDxfObjectGroup(read)) return true;
    julianDate(adDxfToken().real, &d.timeStamp);
    for (double& extent : d.extents)
        if (!nextReal(read, &extent)) return true;
    if (!adDxfObjectGroup(read)) return true;
    d.flag = adDxfTokenInteger();
    if (d.flag == 0) return true;
    while (adDxfObjectGroup(read)) {
        const std::int16_t code = adDxfToken().code;
        if (code == 90) d.remainingBits = adDxfTokenInteger();
        if (code == 310) return adDxfReadChunks(read.drawing, &d.remaining) != 0;
        if (code != 330 && code != 90) return adDxfObjectBack(read);
    }
    return true;
}

bool readDictionaryWithDefault(AdDxfObjectRead& read, AdDictionaryWithDefaultData& d) {
    bool ok = true;
    while (ok && adDxfObjectGroup(read)) {
        const AdDxfToken& t = adDxfToken();
        if (t.code == 3) ok = adDxfReadEntries(read, &d.entries, &d.entryCount);
        else if (t.code == 281) d.cloning = static_cast<std::int16_t>(adDxfTokenInteger());
        else if (t.code == 340) d.defaultEntry = t.handle;
    }
    return ok;
}

bool readVbaProject(AdDxfObjectRead& read, AdVbaProjectData& d) {
    while (adDxfObjectGroup(read)) {
        const std::int16_t code = adDxfToken().code;
        if (code == 90) d.size = adDxfTokenInteger();
        if (code == 310 && !d.data && !adDxfReadChunks(read.drawing, &d.data)) return false;
    }
    return true;
}

bool readIdBuffer(AdDxfObjectRead& read, AdIdBufferData& d) {
    bool ok = true;
    while (ok && adDxfObjectGroup(read))
        if (adDxfToken().code == 330) ok = adDxfAppendHandle(&d.handles, &d.count);
    return ok;
}

bool readDictionaryVar(AdDxfObjectRead& read, AdDictionaryVarData& d) {
    if (!adDxfObjectGroup(read)) return true;
    d.schema = static_cast<std::int16_t>(adDxfTokenInteger());
    if (adDxfObjectGroup(read)) adDxfCopyText(d.value, sizeof d.value, adDxfToken().text);
    return true;
}

bool readImageDefReactor(AdDxfObjectRead& read, AdImageDefReactorData& d) {
    if (!adDxfObjectGroup(read)) return true;
    d.classVersion = adDxfTokenInteger();
    std::int32_t count = 0;
    return !adDxfObjectGroup(read) || adDxfAppendHandle(&d.image, &count);
}
}  // namespace

bool adDxfReadSpecialObject(AdDxfObjectRead& read, const char* name, void* data, bool* handled) {
    auto& d = *static_cast<AdObjectData*>(data);
    *handled = true;
    if (std::strcmp(name, "XRECORD") == 0) return readXrecord(read, d.xrecord);
    if (std::strcmp(name, "DIMASSOC") == 0) {
        readDimAssoc(read, d.dimAssoc);
        return true;
    }
    if (std::strcmp(name, "IDBUFFER") == 0) return readIdBuffer(read, d.idBuffer);
    if (std::strcmp(name, "DICTIONARYVAR") == 0) return readDictionaryVar(read, d.dictionaryVar);
    if (std::strcmp(name, "IMAGEDEF_REACTOR") == 0) return readImageDefReactor(read, d.imageDefReactor);
    if (std::strcmp(name, "LAYER_INDEX") == 0) return readLayerIndex(read, d.layerIndex);
    if (std::strcmp(name, "SORTENTSTABLE") == 0) return readSortents(read, d.sortentsTable);
    if (std::strcmp(name, "SPATIAL_FILTER") == 0) return readSpatialFilter(read, d.spatialFilter);
    if (std::strcmp(name, "SPATIAL_INDEX") == 0) return readSpatialIndex(read, d.spatialIndex);
    if (std::strcmp(name, "ACDBDICTIONARYWDFLT") == 0) return readDictionaryWithDefault(read, d.dictionaryWithDefault);
    if (std::strcmp(name, "VBA_PROJECT") == 0) return readVbaProject(read, d.vbaProject);
    *handled = false;
    return true;
}
