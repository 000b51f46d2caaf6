// Shared by the bit reader, the bit writer and the encoder: where the current
// stream and its buffers are, and how a stream is marked failed.
#pragma once
#include "toolkit/ad_internal.h"

inline AdBitStream* adBitCurrent() { return adGlobals ? adGlobals->bitStream : nullptr; }
inline std::uint8_t* adBitReadBuffer() { return adGlobals ? adGlobals->buffer128kA : nullptr; }
inline std::uint8_t* adBitWriteBuffer() { return adGlobals ? adGlobals->buffer128kB : nullptr; }

// True when there is a current stream and it has not failed.
inline bool adBitUsable() {
    const AdBitStream* bs = adBitCurrent();
    return bs && !bs->failed;
}

// Marks the current stream failed (when there is one); answers 0.
int adBitFail();
// Stored data that cannot be taken (an over-long handle or text): the
// fatal-error hook with 5, and the stream failed; answers 0.
int adBitBadData();

// The two-bit prefix of BS, BL, BD and DD, first bit high.
int adBitReadCode();
int adBitWriteCode(int code);

// The writer's result: 1, or -1 once the stream has failed.
inline int adBitWriterResult() { return adBitUsable() ? 1 : -1; }
