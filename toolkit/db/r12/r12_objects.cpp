// Files before AC1012 have no objects: they get the named-object dictionary
// with its ACAD_GROUP and ACAD_MLINESTYLE dictionaries and the multiline
// style "Standard", as every later drawing has them.
#include "toolkit/db/completion_objects.h"
#include "toolkit/db/load_stages.h"

namespace {
enum Made { kRoot, kGroups, kStyles, kStandard, kMadeCount };

bool addDictionary(AdDrawing* drawing, const AdHandle& handle, const char* const* names, const AdHandle* entries,
                   std::int32_t count, const AdHandle* reactor) {
    AdObjectHeader header{};
    header.type = AD_OBJECT_DICTIONARY;
    header.handle = handle;
    AdDictionaryData data{};
    if (!adCompletionDictionaryData(names, entries, count, &data)) return false;
    return adCompletionAddObject(drawing, &header, &data, reactor) != 0;
}

bool build(AdDrawing* drawing, const AdHandle* made) {
    const char* const rootNames[] = {"ACAD_GROUP", "ACAD_MLINESTYLE"};
    const AdHandle rootEntries[] = {made[kGroups], made[kStyles]};
    const char* const styleNames[] = {"Standard"};
    return addDictionary(drawing, made[kRoot], rootNames, rootEntries, 2, nullptr) &&
           addDictionary(drawing, made[kGroups], nullptr, nullptr, 0, &made[kRoot]) &&
           addDictionary(drawing, made[kStyles], styleNames, &made[kStandard], 1, &made[kRoot]) &&
           adCompletionAddMlineStyle(drawing, "Standard", &made[kStandard], &made[kStyles]);
}
}  // namespace

int adCompleteR12Objects(AdDrawing* drawing, AdHeaderVars* header, const AdHandle* handles) {
    if (!drawing || !header) return 0;
    AdHandle made[kMadeCount];
    for (int i = 0; i < kMadeCount; ++i) {
        if (handles) made[i] = handles[i];
        else if (!adNextHandle(drawing, &made[i])) return 0;
    }
    if (!build(drawing, made)) {
        adFreeObjectList(drawing);
        return 0;
    }
    drawing->namedObjectDictionary = made[kRoot];
    drawing->groupDictionary = made[kGroups];
    drawing->mlineStyleDictionary = made[kStyles];
    header->cmlstyleHandle = made[kStandard];
    return 1;
}
