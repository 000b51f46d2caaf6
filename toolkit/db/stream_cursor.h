// Stream internals shared by the open, read, write and positioning routines.
#pragma once
#include "toolkit/ad.h"

// A stream over the store with its own buffer of `capacity` bytes (at most a
// block) and a copy of the store's header; null (error 210) when memory runs
// out.
AdStream* adStreamCreate(AdStore* store, std::int32_t capacity);
// Makes room in a write stream's buffer for `count` more bytes, up to a
// whole block; 0 (error 210) when memory runs out, the buffer kept.
int adStreamGrowBuffer(AdStream* stream, std::int32_t count);
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
