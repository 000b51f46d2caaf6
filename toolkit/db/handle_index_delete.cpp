// Deletion from the handle index, with borrowing, merging and root collapse.
#include "toolkit/db/handle_index_node.h"

namespace {

enum DeleteResult { kDamaged = 0, kRemoved = 1, kAbsent = 4, kUnderflow = 6 };

// Images of the work area, shared by every level of one delete: a level reads
// what it needs again after the level below returns.
enum WorkImage { kNode, kChild, kLeft, kRight, kLeaf, kWorkImages };

// Removes the entry at position and the child reference at childPosition,
// which is position or position + 1.
void removeAt(AdIndexNode* image, int position, int childPosition) {
    for (int i = position; i + 1 < image->count; ++i) image->entries[i] = image->entries[i + 1];
    for (int i = childPosition; i < image->count; ++i) image->children[i] = image->children[i + 1];
    image->children[image->count] = nullptr;
    --image->count;
}

// Moves the entry at position of an inner node down to the end of the
// rightmost leaf below its left child, and that leaf's last entry (its
// in-order predecessor) up in its place.
int swapWithPredecessor(AdHandleIndex* index, AdIndexNode* node, AdIndexNode* image, int position, AdIndexNode* leaf,
                        int depth) {
    AdIndexNode* leafNode = image->children[position];
    adIndexNodeRead(index, leafNode, leaf);
    while (!adIndexNodeIsLeaf(leaf)) {
        if (++depth == AD_INDEX_MAX_DEPTH) return 0;
        leafNode = leaf->children[leaf->count];
        adIndexNodeRead(index, leafNode, leaf);
    }
    const AdIndexEntry entry = image->entries[position];
    image->entries[position] = leaf->entries[leaf->count - 1];
    leaf->entries[leaf->count - 1] = entry;
    adIndexNodeWrite(index, leafNode, leaf);
    adIndexNodeWrite(index, node, image);
    return 1;
}

// Left node + separator + right node become the left node; the right node goes.
void merge(AdHandleIndex* index, AdIndexNode* parentNode, AdIndexNode* parent, int separator, AdIndexNode* leftNode,
           AdIndexNode* left, AdIndexNode* rightNode, const AdIndexNode* right) {
    left->entries[left->count] = parent->entries[separator];
    for (int i = 0; i < right->count; ++i) left->entries[left->count + 1 + i] = right->entries[i];
    for (int i = 0; i <= right->count; ++i) left->children[left->count + 1 + i] = right->children[i];
    left->count = static_cast<std::int16_t>(left->count + 1 + right->count);
    removeAt(parent, separator, separator + 1);
    adIndexNodeWrite(index, leftNode, left);
    adIndexNodeWrite(index, parentNode, parent);
    adIndexNodeFree(index, rightNode);
}

// Mends the child at position of parent, which holds one entry too few.
void repairChild(AdHandleIndex* index, AdIndexNode* parentNode, AdIndexNode* parent, int position,
                 AdIndexNode* work) {
    AdIndexNode* childNode = parent->children[position];
    AdIndexNode* leftNode = position > 0 ? parent->children[position - 1] : nullptr;
    AdIndexNode* rightNode = position < parent->count ? parent->children[position + 1] : nullptr;
    AdIndexNode* child = &work[kChild];
    AdIndexNode* left = &work[kLeft];
    AdIndexNode* right = &work[kRight];
    adIndexNodeRead(index, childNode, child);
    if (leftNode) adIndexNodeRead(index, leftNode, left);
    if (rightNode) adIndexNodeRead(index, rightNode, right);

    if (rightNode && right->count > AD_INDEX_MIN_ENTRIES) {
        child->entries[child->count] = parent->entries[position];
        child->children[child->count + 1] = right->children[0];
        ++child->count;
        parent->entries[position] = right->entries[0];
        removeAt(right, 0, 0);
        adIndexNodeWrite(index, rightNode, right);
    } else if (leftNode && left->count > AD_INDEX_MIN_ENTRIES) {
        for (int i = child->count; i > 0; --i) child->entries[i] = child->entries[i - 1];
        for (int i = child->count + 1; i > 0; --i) child->children[i] = child->children[i - 1];
        child->entries[0] = parent->entries[position - 1];
        child->children[0] = left->children[left->count];
        ++child->count;
        parent->entries[position - 1] = left->entries[left->count - 1];
        left->children[left->count] = nullptr;
        --left->count;
        adIndexNodeWrite(index, leftNode, left);
    } else {
        if (rightNode) {
            merge(index, parentNode, parent, position, childNode, child, rightNode, right);
        } else {
            merge(index, parentNode, parent, position - 1, leftNode, left, childNode, child);
        }
        return;
    }
    adIndexNodeWrite(index, childNode, child);
    adIndexNodeWrite(index, parentNode, parent);
}

int deleteFrom(AdHandleIndex* index, AdIndexNode* node, const AdHandle* handle, AdIndexNode* work, int depth) {
    if (!node) return kAbsent;
    if (depth == AD_INDEX_MAX_DEPTH) return kDamaged;
    AdIndexNode* image = &work[kNode];
    adIndexNodeRead(index, node, image);
    const std::uint64_t key = adHandleValue(handle);
    const int position = adIndexNodeSearch(image, key);
    const bool holds = adIndexNodeHolds(image, position, key);
    if (adIndexNodeIsLeaf(image)) {
        if (!holds) return kAbsent;
        removeAt(image, position, position + 1);
        adIndexNodeWrite(index, node, image);
        return image->count < AD_INDEX_MIN_ENTRIES ? kUnderflow : kRemoved;
    }
    if (holds && !swapWithPredecessor(index, node, image, position, &work[kLeaf], depth)) return kDamaged;

    const int result = deleteFrom(index, image->children[position], handle, work, depth + 1);
    if (result != kUnderflow) return result;
    adIndexNodeRead(index, node, image);
    repairChild(index, node, image, position, work);
    return image->count < AD_INDEX_MIN_ENTRIES ? kUnderflow : kRemoved;
}

}  // namespace

int adHandleIndexDelete(AdDrawing* drawing, const AdHandle* handle) {
    if (!drawing) return kAbsent;
    AdHandleIndex* index = &drawing->handleIndex;
    auto* work = static_cast<AdIndexNode*>(HostAlloc(kWorkImages * sizeof(AdIndexNode)));
    if (!work) {
        adNoMemory(AD_ERR_INDEX_WORK_MEMORY);
        return 5;
    }
    const int result = deleteFrom(index, index->root, handle, work, 0);
    if (result == kUnderflow) {
        // An emptied root gives way to its only child, or leaves the tree empty.
        adIndexNodeRead(index, index->root, &work[kNode]);
        if (work[kNode].count == 0) {
            AdIndexNode* oldRoot = index->root;
            index->root = work[kNode].children[0];
            adIndexNodeFree(index, oldRoot);
        }
    }
    HostFree(work);
    if (result == kDamaged) {
        adFatalError(AD_FATAL_BAD_STORED_DATA);
        return 0;
    }
    return result == kAbsent ? 4 : 1;
}
