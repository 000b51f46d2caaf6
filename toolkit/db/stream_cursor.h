// Stream internals shared by the open, read, write and positioning routines.
#pragma once
#include "toolkit/ad.h"

// A stream over the store with its own block buffer and a copy of the store's
// header; null (error 210) when memory runs out. A reading stream's buffer
// holds a block or the whole store, whichever is less.
AdStream* adStreamCreate(AdStore* store, bool reading);
// Frees the buffer and the stream. A write stream first writes its header back
// so that the store learns its length and chain.
void adStreamRelease(AdStream* stream, bool writeBack);
// Copies the stream's store fields (chain and length) over the owning store.
void adStreamWriteBack(const AdStream* stream);
// Loads the block the stream reads next into its buffer.
int adStreamLoadBlock(AdStream* stream);
// Appends the first `bytes` bytes of the buffer to the chain as one block.
int adStreamFlushBlock(AdStream* stream, std::int16_t bytes);
// Reads a text of n bytes into a buffer of size + 1 bytes and terminates it;
// a length outside 0..size is stored data gone bad (fatal-error hook with 5).
int adStreamReadCountedText(AdStream* stream, std::int32_t n, char* buffer, std::int32_t size);
