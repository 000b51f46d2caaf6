// PCX pictures (format identifier 9): a 128-byte header, run-length coded
// scan lines of one to four planes, and for 8-bit single-plane files a
// 256-colour table at the end.
#pragma once

#include "imaging/raster_image.h"

#include <cstdint>
#include <vector>

class CRasterImagePCX : public CRasterImage {
public:
    CRasterImagePCX() : CRasterImage(kRasterPcx) {}
    // Under identifier 0 the header must hold a consistent PCX layout: its
    // weak signature would take other files for one.
    bool Decode(CRasterStream* stream, std::uint32_t formatId);
    bool Encode(CRasterStream* stream);
};

// Run-length coding of PCX data: runs of up to 63 equal bytes as 192 + count
// and the byte; single bytes below 192 as themselves.
class PcxRunWriter {
public:
    explicit PcxRunWriter(std::vector<std::uint8_t>& out) : Out(out) {}
    void Put(std::uint8_t value);
    // Ends the row's pending run, then adds the 0 pad byte when asked.
    void EndRow(bool pad);

private:
    void FlushRun();
    std::vector<std::uint8_t>& Out;
    int Last = -1;
    std::uint32_t Count = 0;
};

// Codes `length` bytes on their own (runs never cross the line's end).
void PcxEncodeLine(const std::uint8_t* bytes, std::size_t length, std::vector<std::uint8_t>& out);
