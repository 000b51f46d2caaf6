// PNG reading and writing over libpng's simplified interface.
#include "tools/renderhost/png_file.h"

#include <png.h>

#include <cstring>

int adWritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba) {
    if (width <= 0 || height <= 0 || rgba.size() != static_cast<std::size_t>(width) * height * 4) return 0;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) ? 1 : 0;
}

int adReadPng(const std::string& path, int* width, int* height, std::vector<std::uint8_t>* rgba) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return 0;
    image.format = PNG_FORMAT_RGBA;
    rgba->assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgba->data(), 0, nullptr)) {
        png_image_free(&image);
        return 0;
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return 1;
}
