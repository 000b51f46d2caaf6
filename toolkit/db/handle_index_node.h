// Node access shared by the handle index operations. The node cache is
// write-back: a node's own memory may be stale while a slot holds it, so every
// read and write of a node goes through these.
#pragma once
#include "toolkit/db/handle_value.h"

// A tree of 2^64 handles whose non-root nodes hold 11 or more entries is at
// most 19 levels deep; anything deeper is a damaged tree, never walked.
constexpr int AD_INDEX_MAX_DEPTH = 20;

void adIndexNodeRead(AdHandleIndex* index, AdIndexNode* node, AdIndexNode* image);
// The node's current image without a copy, counted as a read; valid until the
// next write or free of any node.
const AdIndexNode* adIndexNodeView(AdHandleIndex* index, AdIndexNode* node);
void adIndexNodeWrite(AdHandleIndex* index, AdIndexNode* node, const AdIndexNode* image);
// The node's current image to change in place, as a write of it would leave
// it cached; valid until the next write or free of any node.
AdIndexNode* adIndexNodeEdit(AdHandleIndex* index, AdIndexNode* node);
// Frees the node's memory and forgets any cached copy of it.
void adIndexNodeFree(AdHandleIndex* index, AdIndexNode* node);

// The first entry not below handle, or the count when every entry is below it.
int adIndexNodeSearch(const AdIndexNode* image, std::uint64_t handle);
int adIndexNodeHolds(const AdIndexNode* image, int position, std::uint64_t handle);
inline bool adIndexNodeIsLeaf(const AdIndexNode* image) { return image->children[0] == nullptr; }
