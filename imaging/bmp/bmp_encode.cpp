// BMP encoding: the file header, then the packed DIB as it stands.
#include "imaging/bmp/bmp_image.h"
#include "imaging/raster_bytes.h"

#include <cstring>

bool CRasterImageBMP::Encode(CRasterStream* stream) {
    if (CheckEncodeTarget(stream)) return false;
    // The block is shared with the caller's image: its header becomes the current one there too.
    std::memcpy(Dib, &Header, sizeof Header);
    std::uint8_t fileHeader[14] = {'B', 'M'};
    StoreLe32(fileHeader + 2, GetDIBSize() + 14);
    StoreLe32(fileHeader + 10, 14 + 40 + PaletteBytes());
    if (!WriteExactly(stream, fileHeader, sizeof fileHeader) || !WriteExactly(stream, Dib, GetDIBSize())) {
        SetLastError("BMP write failed");
        return false;
    }
    return true;
}
