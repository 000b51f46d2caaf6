// Bit-coded data kept in a store (class entities and objects the DXF reader
// encoded) read back through the bit reader: the store becomes the current
// stream, refilled run by run, and the stream that was current before is put
// back when the read is over.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/ad_internal.h"

int adBitStoreReadOpen(AdBitStoreRead* read, AdStore* store) {
    *read = AdBitStoreRead{};
    if (!adGlobals || !store) return 0;
    AdStream* stream = adStreamOpenRead(store);
    if (!stream) return 0;
    AdBitStream& bs = read->stream;
    bs.bitMask = 0x100;
    bs.pieceCount = 1;
    bs.current = adBitReadBuffer();
    bs.stream = stream;
    bs.streamBytesLeft = adStoreSize(store);
    read->saved = adGlobals->bitStream;
    read->savedDrawing = adGlobals->bitDrawing;
    read->open = 1;
    adGlobals->bitStream = &bs;
    adGlobals->bitDrawing = nullptr;
    return 1;
}

void adBitStoreReadClose(AdBitStoreRead* read) {
    if (!read->open) return;
    adStreamCloseRead(read->stream.stream);
    read->stream.stream = nullptr;
    adGlobals->bitStream = read->saved;
    adGlobals->bitDrawing = read->savedDrawing;
    read->open = 0;
}
