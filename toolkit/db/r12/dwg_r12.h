// What the readers of fixed-record DWG files (AC1002 to AC1009) share: the
// cursor over a record read whole into the record buffer, and the fixed-record
// halves of the DWG reader operations.
#pragma once
#include "toolkit/ad.h"

// A fixed-size record being taken apart. A read that would pass the end
// takes nothing, gives zeros and sets overrun, so a caller checks once per
// record instead of per field.
struct AdR12Record {
    const std::uint8_t* at;
    const std::uint8_t* end;
    int overrun;
};
void adR12BeginRecord(AdR12Record* record, const std::uint8_t* bytes, std::int32_t length);
std::uint8_t adR12ReadByte(AdR12Record* record);
std::int16_t adR12ReadShort(AdR12Record* record);
std::int32_t adR12ReadLong(AdR12Record* record);
// Doubles under the range rule (zero exponent or all-ones exponent read 0.0).
double adR12ReadDouble(AdR12Record* record);
void adR12Read2D(AdR12Record* record, double out[2]);
void adR12Read3D(AdR12Record* record, double out[3]);
// A 16-bit length (negative counts as 0) and that many bytes into out,
// NUL-terminated. A text that does not fit in limit bytes with its NUL is cut
// to limit - 1 bytes, the cursor still passes all of it, the fatal-error hook
// hears condition 5 and the answer is 0; a text running past the record gives
// an empty field, the overrun mark and 0.
int adR12ReadString(AdR12Record* record, char* out, std::int32_t limit);
// A fixed-width text field of width bytes into out (size bytes), cut at its
// first NUL and at out's size; a field running past the record gives an
// empty text and the overrun mark.
void adR12ReadText(AdR12Record* record, std::int32_t width, char* out, std::int32_t size);

// Fixed-record halves of the DWG reader operations; the bit-coded
// operations hand over to them for versions before AC1012. The open fills
// AdDwgFile's section bounds (entitiesStart ... extrasEnd, each end within
// the file). The BLOCK record reader leaves the block's definition offset
// within the blocks section in drawing->dxfBlockOffset (top two flag bits
// masked off); the BLOCK loader keeps it with the block and puts it back
// there before beginBlockEntities begins the block's list.
int adR12BeginEntities(AdDrawing* drawing);
int adR12BeginBlockEntities(AdDrawing* drawing);
int adR12EntityNext(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, std::uint8_t* xdataFlag);
int adR12BeginVportEntities(AdDrawing* drawing);
int adR12NextVportEntity(AdDrawing* drawing, void* record);
