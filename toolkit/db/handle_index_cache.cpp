// The 16-slot write-back cache of handle index nodes.
#include "toolkit/db/handle_index_node.h"

#include <climits>

namespace {

// A slot with no node is free whatever its count says, so a zero-initialised
// index needs no set-up.
std::int32_t effectiveUseCount(const AdIndexCacheSlot& slot) { return slot.node ? slot.useCount : -1; }

// A slot only ever holds a node that names it, so the hint answers alone.
AdIndexCacheSlot* slotHolding(AdHandleIndex* index, const AdIndexNode* node) {
    const int hint = node->slotHint - 1;
    if (hint >= 0 && hint < AD_INDEX_CACHE_SLOTS && index->cache[hint].node == node) return &index->cache[hint];
    return nullptr;
}

// The least used slot, the first on ties; free slots go before any used one.
// Counts saturate, so a slot is always found however long the drawing lives.
AdIndexCacheSlot* victimSlot(AdHandleIndex* index) {
    AdIndexCacheSlot* victim = &index->cache[0];
    for (AdIndexCacheSlot& slot : index->cache) {
        if (effectiveUseCount(slot) < effectiveUseCount(*victim)) victim = &slot;
    }
    return victim;
}

}  // namespace

const AdIndexNode* adIndexNodeView(AdHandleIndex* index, AdIndexNode* node) {
    AdIndexCacheSlot* slot = slotHolding(index, node);
    if (!slot) return node;
    if (slot->useCount < INT32_MAX) ++slot->useCount;
    return &slot->copy;
}

void adIndexNodeRead(AdHandleIndex* index, AdIndexNode* node, AdIndexNode* image) {
    HostMemMove(image, adIndexNodeView(index, node), sizeof *image);
}

namespace {
// The slot that holds the node, taken over from the least used one (written
// back first) when none does; counted as a write.
AdIndexCacheSlot* slotForWrite(AdHandleIndex* index, AdIndexNode* node, bool loadNode) {
    AdIndexCacheSlot* slot = slotHolding(index, node);
    if (!slot) {
        slot = victimSlot(index);
        if (slot->node) HostMemMove(slot->node, &slot->copy, sizeof slot->copy);
        if (loadNode) HostMemMove(&slot->copy, node, sizeof slot->copy);
        slot->node = node;
        node->slotHint = static_cast<std::int16_t>(slot - index->cache + 1);
    }
    slot->useCount = 0;
    return slot;
}
}  // namespace

void adIndexNodeWrite(AdHandleIndex* index, AdIndexNode* node, const AdIndexNode* image) {
    AdIndexCacheSlot* slot = slotForWrite(index, node, false);
    HostMemMove(&slot->copy, image, sizeof slot->copy);
}

AdIndexNode* adIndexNodeEdit(AdHandleIndex* index, AdIndexNode* node) { return &slotForWrite(index, node, true)->copy; }

void adIndexNodeFree(AdHandleIndex* index, AdIndexNode* node) {
    AdIndexCacheSlot* slot = slotHolding(index, node);
    if (slot) {
        slot->node = nullptr;
        slot->useCount = -1;
    }
    HostFree(node);
}
