// The steps that adding, replacing and deleting entities share, each keeping
// the handle index, the INSERT reference stores and the paper-space viewport
// list in step with the entity lists.
#pragma once
#include "toolkit/ad.h"

// The record of an entity of the list: null with 226 when the handle is not
// indexed, with 227 when its record lies in another list.
AdListRecord* adEntityRecordOf(AdDrawing* drawing, AdRecordList* list, const AdHandle* handle);

// Packs, indexes and registers one entity at the position (the positions of
// adListInsertNew). A failure sets packError or viewportError when they are
// non-zero (the codes of the failing step otherwise), undoes every step done
// and answers null.
AdListRecord* adEntityLink(AdDrawing* drawing, AdRecordList* list, const AdEntityHeader* header,
                           const AdEntityData* data, int position, AdListRecord* reference, std::int32_t packError,
                           std::int32_t viewportError);

// Takes one stored entity out of the index, its block's reference store and
// the viewport list, then unlinks and frees its record (its stores too when
// asked). 0, with nothing changed, when memory runs out for the new reference
// store or the index.
int adEntityRemove(AdDrawing* drawing, AdRecordList* list, AdListRecord* record, AdEntityHeader* header,
                   AdEntityData* data, int freeStores);

// The error code and offending handle, kept across an undo that may
// overwrite them.
struct AdSavedError {
    std::int32_t code;
    AdHandle handle;
};
AdSavedError adSaveError();
void adRestoreError(const AdSavedError& saved);

// Unlinks and frees the viewport list's record of the VIEWPORT with the handle.
void adRemovePaperViewport(AdDrawing* drawing, const AdHandle* handle);

// The most stores one entity owns.
constexpr int AD_ENTITY_STORE_MAX = 6;

// The stores an entity owns, non-null ones only, in the order they are freed:
// xdata, reactors, then those of its type. Answers their number.
int adEntityOwnedStores(AdDrawing* drawing, const AdEntityHeader* header, const AdEntityData* data,
                        AdStore* stores[AD_ENTITY_STORE_MAX]);
// Whether the data of the type (of the drawing's classes) has store fields.
bool adEntityTypeHasStores(const AdDrawing* drawing, std::uint16_t type);

// Empties and frees the entity lists of every block, the model space and the
// paper space, when a drawing goes.
void adFreeDrawingEntityLists(AdDrawing* drawing);
