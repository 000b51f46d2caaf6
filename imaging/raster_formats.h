// How the image object reaches its format classes. A codec folder under
// imaging/ names its class in its own CMakeLists.txt:
//
//     target_sources(vtimaging PRIVATE png_image.cpp)
//     vt_raster_format(4 CRasterImagePNG png_image.h)
//
// and the build generates the table below from those lines, so no shared
// source file lists the codecs. A format with no class in the table answers
// "not available".
#pragma once

#include "imaging/raster_image.h"

#include <concepts>
#include <cstdint>
#include <memory>
#include <type_traits>

struct RasterFormat {
    std::uint32_t formatId;
    std::unique_ptr<CRasterImage> (*make)();
    // Run the class's own Decode or Encode on an object that make built;
    // formatId reaches the classes that serve several identifiers.
    bool (*decode)(CRasterImage& image, CRasterStream* stream, std::uint32_t formatId);
    bool (*encode)(CRasterImage& image, CRasterStream* stream, std::uint32_t formatId);  // null: decode only
};

// A class's own Decode and Encode take the stream, and the identifier as well
// when one class serves several; a class without its own Encode decodes only.
template <class F>
concept RasterOwnsDecode = std::is_same_v<decltype(&F::Decode), bool (F::*)(CRasterStream*)>;
template <class F>
concept RasterOwnsDecodeById = std::is_same_v<decltype(&F::Decode), bool (F::*)(CRasterStream*, std::uint32_t)>;
// A call qualified by the class itself, so an Encode(CRasterStream*) among
// several overloads counts, while the image's own Encode (two arguments) does not.
template <class F>
concept RasterOwnsEncode = requires(F& format, CRasterStream* stream) {
    { format.F::Encode(stream) } -> std::same_as<bool>;
};
template <class F>
concept RasterOwnsEncodeById = std::is_same_v<decltype(&F::Encode), bool (F::*)(CRasterStream*, std::uint32_t)>;

template <class Format>
RasterFormat MakeRasterFormat(std::uint32_t formatId) {
    static_assert(RasterOwnsDecode<Format> || RasterOwnsDecodeById<Format>,
                  "a format class has its own Decode(CRasterStream*) or Decode(CRasterStream*, std::uint32_t)");
    RasterFormat format{formatId, [] { return std::unique_ptr<CRasterImage>(new Format()); }, nullptr, nullptr};
    format.decode = [](CRasterImage& image, CRasterStream* stream, std::uint32_t id) {
        auto& self = static_cast<Format&>(image);
        if constexpr (RasterOwnsDecodeById<Format>) return self.Decode(stream, id);
        else return (void)id, self.Decode(stream);
    };
    if constexpr (RasterOwnsEncodeById<Format>) {
        format.encode = [](CRasterImage& image, CRasterStream* stream, std::uint32_t id) {
            return static_cast<Format&>(image).Encode(stream, id);
        };
    } else if constexpr (RasterOwnsEncode<Format>) {
        format.encode = [](CRasterImage& image, CRasterStream* stream, std::uint32_t) {
            return static_cast<Format&>(image).Encode(stream);
        };
    }
    return format;
}

// The format class registered for an identifier, or null.
const RasterFormat* FindRasterFormat(std::uint32_t formatId);
