// Bit-coded proxy data read back for the DXF writer: a proxy entity's or
// proxy object's data store opened as the current bit stream, and read
// value by value. Every output is bounded by the capacity the caller gives.
// Internal to the toolkit.
#pragma once
#include "toolkit/ad.h"

// Opens the store as the current bit stream (162 for a null store); a
// stream left open by an earlier open is closed first.
int adProxyOpen(AdDrawing* drawing, AdStore* store);
// Closes it and puts back the bit stream that was current before.
int adProxyClose(AdDrawing* drawing);

// Each answers 1, or 0 once the data has run out (outputs are then zero).
// A text or byte run longer than the capacity is cut to it (a text keeps
// capacity - 1 characters and its terminator) and consumed whole.
int adDecodeText(char* buffer, std::int32_t capacity);
int adDecodeBytes(void* buffer, std::int32_t capacity, std::int16_t* length);
int adDecodeHandle(AdHandle* handle);
int adDecodeLong(std::int32_t* value);
int adDecodeShort(std::int16_t* value);
int adDecodeDouble(double* value);
int adDecodePoint3D(double point[3]);
