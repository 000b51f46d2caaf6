// The form every member of the JPEG-2000 family is read into and written
// from: a list of components (planes of integer samples of some precision,
// each possibly subsampled) with a colour space. The JPEG-2000 library
// decodes into this form; the PGX, PNM and Sun raster readers build it.
#pragma once

#include "imaging/raster_image.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct JasComponent {
    std::uint32_t width = 0, height = 0;
    // Position and sampling step on the reference grid (JPEG-2000 only).
    std::uint32_t x0 = 0, y0 = 0, dx = 1, dy = 1;
    std::uint32_t precision = 8;
    // The largest sample value: 2^precision - 1, or a PNM file's maximum.
    std::uint32_t maximum = 255;
    bool isSigned = false;
    bool isAlpha = false;
    // width x height samples, top row first: in `storage`, or borrowed from
    // the JPEG-2000 library's picture while that lives.
    const std::int32_t* samples = nullptr;
    std::vector<std::int32_t> storage;

    void Allocate(std::uint32_t w, std::uint32_t h, std::uint32_t bits, std::uint32_t maxValue);
};

enum class JasColourSpace { Unspecified, Grey, Srgb, Sycc, Other };

struct JasPicture {
    std::vector<JasComponent> components;
    JasColourSpace colourSpace = JasColourSpace::Unspecified;
    // Keeps the JPEG-2000 library's picture alive while components borrow its samples.
    std::shared_ptr<void> libraryImage;
};

// Total samples one decode may hold. A file names its size before any data,
// so every reader checks this (and the image limit) before it allocates.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr std::uint64_t kJasMaxSamples = std::uint64_t{1} << 22;
#else
constexpr std::uint64_t kJasMaxSamples = std::uint64_t{1} << 27;
#endif
bool JasSizeAllowed(std::uint64_t width, std::uint64_t height, std::uint64_t components);
constexpr char kJasTooLarge[] = "RASTER_MAX_MEMORY exceeded";

// The readers and writers of the family. A reader answers false for a
// stream it cannot read, with `error` set where it has more to say than that
// the data cannot be loaded; a writer answers false when it cannot write.
bool ReadJpeg2000(CRasterStream& stream, bool fileFormat, JasPicture& picture, std::string& error);
bool WriteJpeg2000(CRasterStream& stream, bool fileFormat, const JasPicture& picture, std::uint8_t quality);
bool ReadPgx(CRasterStream& stream, JasPicture& picture, std::string& error);
bool WritePgx(CRasterStream& stream, const JasPicture& picture);
bool ReadPnm(CRasterStream& stream, JasPicture& picture, std::string& error);
bool WritePnm(CRasterStream& stream, const JasPicture& picture);
bool ReadRas(CRasterStream& stream, JasPicture& picture, std::string& error);
bool WriteRas(CRasterStream& stream, const JasPicture& picture);

// The picture as an image (one frame of it when its components are not one
// colour picture), and an image as a picture of one grey or three colour
// components; false with the image's last-error text set.
bool JasPictureToImage(JasPicture& picture, CRasterImage& image, std::uint32_t formatId);
bool JasImageToPicture(const CRasterImage& image, JasPicture& picture);

// A sample scaled from its component's range to 0 ... 255.
std::uint8_t JasSampleByte(const JasComponent& component, std::int32_t sample);
