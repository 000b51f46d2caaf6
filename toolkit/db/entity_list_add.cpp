// Adding entities to a list: the class record is marked used, the record
// packed and indexed, and a VIEWPORT of the current paper space registered.
#include "toolkit/db/entity_list_steps.h"

namespace {

// DXF names of the entity classes, in AdEntityKind order from OLE2FRAME.
const char* const kClassNames[AD_KIND_PROXY - 1] = {
    "OLE2FRAME", "LWPOLYLINE", "HATCH", "IMAGE", "WIPEOUT", "RTEXT", "ARCALIGNEDTEXT",
};

constexpr std::int32_t kClassUnused = 0x8000;

// Undoing a link must not hide why it failed.
void undoLink(AdDrawing* drawing, AdRecordList* list, AdListRecord* record, const AdEntityHeader* header,
              const AdEntityData* data) {
    const AdSavedError error = adSaveError();
    AdEntityHeader h = *header;
    AdEntityData d;
    if (data) d = *data;
    adEntityRemove(drawing, list, record, &h, data ? &d : nullptr, 0);
    adRestoreError(error);
}

}  // namespace

AdSavedError adSaveError() {
    return adGlobals ? AdSavedError{adGlobals->errorCode, adGlobals->offendingHandle} : AdSavedError{};
}

void adRestoreError(const AdSavedError& saved) {
    if (!adGlobals) return;
    adGlobals->errorCode = saved.code;
    adGlobals->offendingHandle = saved.handle;
}

// Once a class is marked, marking it again changes nothing until its record
// changes; loading a drawing adds thousands of entities of each class.
int adMarkEntityClassUsed(AdDrawing* drawing, const AdEntityHeader* header) {
    if (!drawing || !header) return 0;
    const AdEntityKind kind = adEntityKind(drawing, header->type);
    if (kind == AD_KIND_FIXED || kind == AD_KIND_PROXY) return 1;
    const auto bit = static_cast<std::uint16_t>(1u << kind);
    if (drawing->entityClassesMarked & bit) return 1;
    AdClassRecord record;
    if (!adClassByName(drawing, kClassNames[kind - AD_KIND_OLE2FRAME], &record)) return 1;
    record.proxyFlags &= ~kClassUnused;
    if (!adClassUpdate(drawing, &record)) return 0;
    drawing->entityClassesMarked |= bit;
    return 1;
}

AdListRecord* adEntityLink(AdDrawing* drawing, AdRecordList* list, const AdEntityHeader* header,
                           const AdEntityData* data, int position, AdListRecord* reference, std::int32_t packError,
                           std::int32_t viewportError) {
    if (!drawing || !list || !header) return nullptr;
    adMarkEntityClassUsed(drawing, header);
    AdListRecord* record = adPackEntityRecord(drawing, list, header, data, position, reference);
    if (!record) {
        if (packError) adSetError(packError);
        return nullptr;
    }
    const int entered = adHandleIndexInsert(drawing, &header->handle, record);
    if (entered != 1) {
        adSetError(entered == 2 ? AD_ERR_DUPLICATE_HANDLE : AD_ERR_INDEX_REFUSED);
        if (entered == 2 && adGlobals) adGlobals->offendingHandle = header->handle;
        undoLink(drawing, list, record, header, data);
        return nullptr;
    }
    if (list == drawing->paperSpace && header->type == AD_ENTITY_VIEWPORT && data &&
        !adAddPaperViewport(drawing, &header->handle, &data->viewport.blockHandle, record, data->viewport.id)) {
        if (viewportError) adSetError(viewportError);
        undoLink(drawing, list, record, header, data);
        return nullptr;
    }
    return record;
}

int adEntityAdd(AdDrawing* drawing, AdRecordList* list, const AdEntityHeader* header, const AdEntityData* data) {
    return adEntityLink(drawing, list, header, data, AD_LIST_AT_END, nullptr, 0, 0) != nullptr;
}

int adEntityAddAfter(AdDrawing* drawing, AdRecordList* list, const AdEntityHeader* header, const AdEntityData* data,
                     const AdHandle* after) {
    if (!after || adHandleLength(after) == 0)
        return adEntityLink(drawing, list, header, data, AD_LIST_AT_FRONT, nullptr, 0, 0) != nullptr;
    AdEntityHeader afterHeader;
    AdEntityData afterData;
    if (!adEntityByHandle(drawing, list, after, &afterHeader, &afterData)) return 0;
    // The read left the entity that follows it current.
    AdListRecord* following = adListCurrent(list);
    const int position = following ? AD_LIST_BEFORE_REFERENCE : AD_LIST_AT_END;
    return adEntityLink(drawing, list, header, data, position, following, 0, 0) != nullptr;
}
