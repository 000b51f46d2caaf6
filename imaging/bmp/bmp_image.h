// BMP (format identifier 1) and ICO (identifier 6) pictures: the Windows
// layouts exactly, all fields little-endian.
#pragma once

#include "imaging/raster_image.h"

class CRasterImageBMP : public CRasterImage {
public:
    CRasterImageBMP() : CRasterImage(kRasterBmp) {}
    bool Decode(CRasterStream* stream);
    bool Encode(CRasterStream* stream);
};

class CRasterImageICO : public CRasterImage {
public:
    CRasterImageICO() : CRasterImage(kRasterIco) {}
    bool Decode(CRasterStream* stream);
    bool Encode(CRasterStream* stream);

private:
    bool ReadMask(CRasterStream* stream);
};

// Reads a bitmap information header of 12, 40, 64 or (with plain content)
// more bytes from the stream into the 40-byte form; `coreHeader` tells the
// 12-byte form, whose colour table has 3-byte entries.
bool ReadBitmapInfo(CRasterStream* stream, BITMAPINFOHEADER& header, bool* coreHeader);

// RLE8 (compression 1) and RLE4 (compression 2) pixel data into an indexed
// image of that depth; pixels beyond the picture are dropped.
void DecodeRle8(CRasterStream* stream, CRasterImage& image);
void DecodeRle4(CRasterStream* stream, CRasterImage& image);
