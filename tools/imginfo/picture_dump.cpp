#include "tools/imginfo/picture_dump.h"

#include "imaging/raster_bytes.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

bool IsTransparent(const CRasterImage& image, std::int64_t x, std::int64_t y) {
    if (image.HasAlphaPlane()) return image.GetAlphaAt(x, y) == 0;
    if (!image.HasTransparency()) return false;
    if (image.IsIndexed()) return image.GetIndexAt(x, y) == image.GetTransparentIndex();
    const RGBQUAD colour = image.GetColorAt(x, y, false), key = image.GetTransparentColor();
    return std::memcmp(&colour, &key, 3) == 0;
}

bool WriteWithAlpha(const CRasterImage& image, const char* path) {
    const std::uint32_t width = image.GetWidth(), height = image.GetHeight();
    std::vector<std::uint8_t> file(14 + 40);
    file[0] = 'B';
    file[1] = 'M';
    StoreLe32(&file[2], 54 + width * height * 4);
    StoreLe32(&file[10], 54);
    StoreLe32(&file[14], 40);
    StoreLe32(&file[18], width);
    StoreLe32(&file[22], height);
    StoreLe16(&file[26], 1);
    StoreLe16(&file[28], 32);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const RGBQUAD q = image.GetColorAt(x, y, false);
            const std::uint8_t alpha = IsTransparent(image, x, y) ? 0
                                       : image.HasAlphaPlane()    ? image.GetAlphaAt(x, y)
                                                                  : 255;
            file.insert(file.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, alpha});
        }
    }
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

bool DumpPicture(const CRasterImage& image, const char* path, std::string* error) {
    if (image.HasAlphaPlane() || image.HasTransparency()) {
        if (WriteWithAlpha(image, path)) return true;
        *error = "cannot write the file";
        return false;
    }
    CRasterImage rgb(image.GetWidth(), image.GetHeight(), 24, kRasterBmp);
    for (std::int64_t y = 0; y < static_cast<std::int64_t>(image.GetHeight()); ++y)
        for (std::int64_t x = 0; x < static_cast<std::int64_t>(image.GetWidth()); ++x)
            rgb.SetColorAt(x, y, image.GetColorAt(x, y, false), false);
    if (rgb.SaveFile(path, kRasterBmp)) return true;
    *error = rgb.GetLastErrorText()[0] ? rgb.GetLastErrorText() : "cannot write the file";
    return false;
}
