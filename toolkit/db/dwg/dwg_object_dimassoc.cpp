// DIMASSOC objects of AC1015 files: which geometry a dimension's points are
// tied to. Their paths are handles written as hexadecimal texts, and a text
// too long for a handle calls the fatal-error hook; while one object is read
// that hook only marks the object bad, so a damaged DIMASSOC costs the
// drawing that object and nothing more.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::uint8_t kSnapIntersection = 6;
constexpr std::uint8_t kSnapApparentIntersection = 11;
constexpr std::int32_t kHexTextSize = 17;  // 16 digits and the terminator

int markAborted(std::int32_t) {
    adGlobals->dimAssocAborted = 1;
    return 0;
}

// Installs the marking routine for its lifetime and puts back whatever was
// installed before, on every way out of the read.
class AbortHookScope {
public:
    AbortHookScope() : saved_(adGlobals->hooks.fatalError) {
        adGlobals->dimAssocAborted = 0;
        adGlobals->hooks.fatalError = markAborted;
    }
    ~AbortHookScope() { adGlobals->hooks.fatalError = saved_; }
    AbortHookScope(const AbortHookScope&) = delete;
    AbortHookScope& operator=(const AbortHookScope&) = delete;

private:
    AdFatalErrorHook saved_;
};

bool readable() { return !adGlobals->dimAssocAborted && adBitUsable() && adDwgBitsLeft() > 0; }

// One handle written as hexadecimal text; false when the object is bad.
bool readHexHandle(AdHandle* handle) {
    char text[kHexTextSize];
    adBitReadText(text, kHexTextSize);
    *handle = AdHandle{};
    if (!readable()) return false;
    adHexToHandle(text, handle);
    return true;
}

// The main object's path; handles beyond the record's room are read and dropped.
bool readPath(AdDimAssocReference* r) {
    const std::int32_t count = adBitReadLong();
    if (count < 0 || !readable()) return false;
    // Every handle text takes bits of the data, which bounds the walk.
    for (std::int32_t i = 0; i < count; ++i) {
        AdHandle handle{};
        if (!readHexHandle(&handle)) return false;
        if (r->pathCount < AD_DIMASSOC_PATH_SIZE) r->path[r->pathCount++] = handle;
    }
    return true;
}

bool readReference(AdDimAssocReference* r) {
    adDwgReadCutText(r->className, AD_OBJECT_NAME_SIZE);
    if (!readable()) return false;
    r->snapType = adBitReadByte();
    r->mainObjectFlag = adBitReadLong();
    if (r->mainObjectFlag) {
        r->subentityType = adBitReadLong();
        r->subentityValue = adBitReadLong();
        if (!readPath(r)) return false;
    }
    adBitReadDouble(&r->parameter);
    adBitRead3D(r->point);
    if (r->snapType == kSnapIntersection || r->snapType == kSnapApparentIntersection) {
        r->intersectionFlag = adBitReadLong();
        for (std::int32_t& value : r->intersectionValues) value = adBitReadLong();
        if (r->intersectionValues[2] != 0 && !readHexHandle(&r->intersectionHandle)) return false;
    }
    r->hasLastReference = static_cast<std::uint8_t>(adBitReadBit());
    return !adGlobals->dimAssocAborted && adBitUsable();
}

int readDimAssoc(AdDrawing* drawing, AdObjectHeader* header, AdDimAssocData* d) {
    d->associativity = adBitReadLong();
    d->transSpace = static_cast<std::uint8_t>(adBitReadBit());
    d->rotatedType = adBitReadByte();
    // References beyond the record's room are read into scratch and dropped;
    // their handles are then read and dropped too.
    std::int32_t droppedHandles = 0;
    AdDimAssocReference scratch{};
    // A last-point reference adds one more; each takes bits of the data.
    for (std::int32_t left = adBitCount(d->associativity); left > 0; --left) {
        const bool kept = d->referenceCount < AD_DIMASSOC_REFERENCE_COUNT;
        AdDimAssocReference* r = kept ? &d->references[d->referenceCount] : &scratch;
        if (!kept) scratch = AdDimAssocReference{};
        if (!readReference(r)) return 0;
        if (kept) ++d->referenceCount;
        else droppedHandles += (r->mainObjectFlag ? 1 : 0) + (r->intersectionFlag ? 1 : 0);
        if (r->hasLastReference) ++left;
    }
    if (!adDwgReadObjectHandles(drawing, header)) return 0;
    adBitReadRelHandle(&header->handle, &d->dimension);
    for (std::int16_t i = 0; i < d->referenceCount; ++i) {
        AdDimAssocReference& r = d->references[i];
        if (r.mainObjectFlag) adBitReadRelHandle(&header->handle, &r.mainObject);
        if (r.intersectionFlag) adBitReadRelHandle(&header->handle, &r.intersectionObject);
    }
    AdHandle dropped{};
    for (std::int32_t i = 0; i < droppedHandles && adBitUsable(); ++i) adBitReadRelHandle(&header->handle, &dropped);
    return !adGlobals->dimAssocAborted && adBitUsable() ? 1 : 0;
}
}  // namespace

int adDwgReadDimAssoc(AdDrawing* drawing, AdObjectHeader* header, void* data) {
    const AbortHookScope scope;
    return readDimAssoc(drawing, header, static_cast<AdDimAssocData*>(data));
}
