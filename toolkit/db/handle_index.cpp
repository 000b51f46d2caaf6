// The handle index: lookup, insertion and freeing of the B-tree.
#include "toolkit/db/handle_index_node.h"

#include <algorithm>

int adIndexNodeSearch(const AdIndexNode* image, std::uint64_t handle) {
    int low = 0;
    int high = image->count < 0 ? 0 : image->count < AD_INDEX_MAX_ENTRIES ? image->count : AD_INDEX_MAX_ENTRIES;
    // A loading drawing enters its handles mostly in ascending order, each
    // beyond every entry on its path: one comparison per level then.
    if (high == 0 || adHandleValue(&image->entries[high - 1].handle) < handle) return high;
    // Otherwise a binary search: a node holds up to 22 sorted entries, and
    // every lookup and insert searches one node per level.
    while (low < high) {
        const int middle = (low + high) / 2;
        if (adHandleValue(&image->entries[middle].handle) < handle) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

int adIndexNodeHolds(const AdIndexNode* image, int position, std::uint64_t handle) {
    return position < image->count && adHandleValue(&image->entries[position].handle) == handle;
}

void* adHandleIndexFind(AdDrawing* drawing, const AdHandle* handle) {
    if (!drawing) return nullptr;
    AdHandleIndex* index = &drawing->handleIndex;
    const std::uint64_t key = adHandleValue(handle);
    // A loading drawing enters its handles mostly in ascending order and asks
    // for each first, so most lookups are of a handle above all entered ones.
    if (key > index->highestKey) return nullptr;
    AdIndexNode* node = index->root;
    for (int depth = 0; node && depth < AD_INDEX_MAX_DEPTH; ++depth) {
        const AdIndexNode* image = adIndexNodeView(index, node);
        const int position = adIndexNodeSearch(image, key);
        if (adIndexNodeHolds(image, position, key)) return image->entries[position].record;
        node = image->children[position];
    }
    return nullptr;
}

namespace {

struct InsertPath {
    int depth;
    AdIndexNode* nodes[AD_INDEX_MAX_DEPTH];
    int positions[AD_INDEX_MAX_DEPTH];
};

// Walks down to the leaf where handle belongs. Answers 2 when it is present,
// 0 for a damaged tree deeper than any real one, else 1 with the number of
// new nodes the insert will take: one for each full node at the bottom of the
// path (each splits), and a new root when every node on the path is full.
int findInsertPath(AdHandleIndex* index, const AdHandle* handle, InsertPath* path, int* nodesNeeded) {
    const std::uint64_t key = adHandleValue(handle);
    AdIndexNode* node = index->root;
    int fullAtBottom = 0;
    path->depth = 0;
    while (node) {
        if (path->depth == AD_INDEX_MAX_DEPTH) return 0;
        const AdIndexNode* image = adIndexNodeView(index, node);
        const int position = adIndexNodeSearch(image, key);
        if (adIndexNodeHolds(image, position, key)) return 2;
        path->nodes[path->depth] = node;
        path->positions[path->depth] = position;
        ++path->depth;
        fullAtBottom = image->count == AD_INDEX_MAX_ENTRIES ? fullAtBottom + 1 : 0;
        node = image->children[position];
    }
    *nodesNeeded = fullAtBottom + (fullAtBottom == path->depth ? 1 : 0);
    return 1;
}

// Puts entry at position among count entries, and child to its right. The
// arrays must have room for one more of each.
void insertAt(AdIndexEntry* entries, AdIndexNode** children, int count, int position, const AdIndexEntry& entry,
              AdIndexNode* child) {
    for (int i = count; i > position; --i) {
        entries[i] = entries[i - 1];
        children[i + 1] = children[i];
    }
    entries[position] = entry;
    children[position + 1] = child;
}

// Splits a full node that must take one more entry: the first 11 of the 23
// stay, the 12th goes up in *entry, the last 11 move to right.
void split(AdIndexNode* image, int position, AdIndexEntry* entry, AdIndexNode** child, AdIndexNode* right) {
    AdIndexEntry entries[AD_INDEX_MAX_ENTRIES + 1];
    AdIndexNode* children[AD_INDEX_MAX_ENTRIES + 2];
    for (int i = 0; i < AD_INDEX_MAX_ENTRIES; ++i) entries[i] = image->entries[i];
    for (int i = 0; i <= AD_INDEX_MAX_ENTRIES; ++i) children[i] = image->children[i];
    insertAt(entries, children, AD_INDEX_MAX_ENTRIES, position, *entry, *child);

    constexpr int kKept = AD_INDEX_MIN_ENTRIES;
    *image = AdIndexNode{};
    *right = AdIndexNode{};
    image->count = kKept;
    right->count = kKept;
    for (int i = 0; i < kKept; ++i) {
        image->entries[i] = entries[i];
        right->entries[i] = entries[kKept + 1 + i];
    }
    for (int i = 0; i <= kKept; ++i) {
        image->children[i] = children[i];
        right->children[i] = children[kKept + 1 + i];
    }
    *entry = entries[kKept];
}

}  // namespace

int adHandleIndexInsert(AdDrawing* drawing, const AdHandle* handle, void* record) {
    if (!drawing) return 0;
    AdHandleIndex* index = &drawing->handleIndex;
    InsertPath path;
    int nodesNeeded = 0;
    const int found = findInsertPath(index, handle, &path, &nodesNeeded);
    if (found == 2) {
        if (adGlobals) adGlobals->offendingHandle = *handle;
        adSetError(AD_ERR_INDEX_DUPLICATE);
        return 2;
    }
    if (found == 0) {
        adFatalError(AD_FATAL_BAD_STORED_DATA);
        return 0;
    }

    // Every node the insert needs is had before anything changes, so a failed
    // allocation leaves the tree as it was.
    AdIndexNode* fresh[AD_INDEX_MAX_DEPTH + 1];
    for (int i = 0; i < nodesNeeded; ++i) {
        fresh[i] = static_cast<AdIndexNode*>(HostAlloc(sizeof(AdIndexNode)));
        if (!fresh[i]) {
            while (i > 0) HostFree(fresh[--i]);
            adNoMemory(AD_ERR_INDEX_NODE_MEMORY);
            return 0;
        }
        fresh[i]->slotHint = 0;
    }

    AdIndexEntry entry{*handle, record};
    AdIndexNode* child = nullptr;
    int used = 0;
    AdIndexNode image;
    int level = path.depth - 1;
    for (; level >= 0; --level) {
        AdIndexNode* node = path.nodes[level];
        if (adIndexNodeView(index, node)->count < AD_INDEX_MAX_ENTRIES) {
            // The common case changes one node where it lies, without copies.
            AdIndexNode* edited = adIndexNodeEdit(index, node);
            insertAt(edited->entries, edited->children, edited->count, path.positions[level], entry, child);
            ++edited->count;
            break;
        }
        adIndexNodeRead(index, node, &image);
        AdIndexNode right;
        split(&image, path.positions[level], &entry, &child, &right);
        adIndexNodeWrite(index, node, &image);
        adIndexNodeWrite(index, fresh[used], &right);
        child = fresh[used++];
    }
    if (level < 0) {
        image = AdIndexNode{};
        image.count = 1;
        image.entries[0] = entry;
        image.children[0] = index->root;
        image.children[1] = child;
        index->root = fresh[used];
        adIndexNodeWrite(index, index->root, &image);
    }

    index->highestKey = std::max(index->highestKey, adHandleValue(handle));
    if (adGlobals && adHandleCompare(handle, &adGlobals->highestHandle) > 0) adGlobals->highestHandle = *handle;
    return 1;
}

namespace {

void freeSubtree(AdHandleIndex* index, AdIndexNode* node, int depth) {
    if (!node || depth == AD_INDEX_MAX_DEPTH) return;
    AdIndexNode image;
    adIndexNodeRead(index, node, &image);
    for (int i = 0; i <= image.count; ++i) freeSubtree(index, image.children[i], depth + 1);
    adIndexNodeFree(index, node);
}

}  // namespace

void adHandleIndexFree(AdDrawing* drawing) {
    if (!drawing) return;
    freeSubtree(&drawing->handleIndex, drawing->handleIndex.root, 0);
    adHandleIndexReset(drawing);
}

void adHandleIndexReset(AdDrawing* drawing) {
    if (!drawing) return;
    drawing->handleIndex.root = nullptr;
    drawing->handleIndex.highestKey = 0;
    for (AdIndexCacheSlot& slot : drawing->handleIndex.cache) {
        slot.node = nullptr;
        slot.useCount = -1;
    }
}
