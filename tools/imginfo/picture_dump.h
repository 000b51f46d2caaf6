// Writes a decoded picture as a plain BMP that any tool reads alike.
#pragma once

#include "imaging/raster_image.h"

#include <string>

// 24 bits through the image library's own BMP encoder; 32 bits (blue, green,
// red, alpha; transparent pixels alpha 0) when the picture has an alpha
// plane or a transparent colour or index.
bool DumpPicture(const CRasterImage& image, const char* path, std::string* error);
