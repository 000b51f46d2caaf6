// Between the family's component form and the image object. Colour comes
// from three components of one size and precision; components of other
// layouts are the image's frames, one grey picture each. Samples of other
// precisions than 1, 4 and 8 bits are scaled to 8 bits.
#include "imaging/jpeg2000/jas_picture.h"

#include <algorithm>
#include <cmath>

void JasComponent::Allocate(std::uint32_t w, std::uint32_t h, std::uint32_t bits, std::uint32_t maxValue) {
    width = w;
    height = h;
    precision = bits;
    maximum = maxValue;
    storage.assign(std::size_t{w} * h, 0);
    samples = storage.data();
}

bool JasSizeAllowed(std::uint64_t width, std::uint64_t height, std::uint64_t components) {
    return width > 0 && height > 0 && components > 0 && RasterWithinMemoryLimit(width, height, 24) &&
           width * height <= kJasMaxSamples / components;
}

std::uint8_t JasSampleByte(const JasComponent& component, std::int32_t sample) {
    std::int64_t value = sample;
    if (component.isSigned) value += std::int64_t{1} << (component.precision - 1);
    const std::int64_t maximum = component.maximum;
    value = std::clamp<std::int64_t>(value, 0, maximum);
    if (maximum == 255) return static_cast<std::uint8_t>(value);
    return static_cast<std::uint8_t>((value * 255 + maximum / 2) / maximum);
}

namespace {

constexpr std::size_t kMaxComponents = 64;

bool SameLayout(const JasComponent& a, const JasComponent& b) {
    return a.width == b.width && a.height == b.height && a.precision == b.precision;
}

// The first three components, YCbCr with the chroma possibly subsampled, as
// three full-size RGB components, with the conversion and nearest-sample
// upsampling of sYCC; an alpha component after them stays.
void ConvertFromYcc(JasPicture& picture) {
    const JasComponent& luma = picture.components[0];
    const std::uint32_t width = luma.width, height = luma.height;
    const std::int32_t offset = std::int32_t{1} << (luma.precision - 1);
    const std::int32_t top = static_cast<std::int32_t>(luma.maximum);
    JasComponent rgb[3];
    for (JasComponent& c : rgb) {
        c.Allocate(width, height, luma.precision, luma.maximum);
        c.dx = luma.dx;
        c.dy = luma.dy;
    }
    const JasComponent& cb = picture.components[1];
    const JasComponent& cr = picture.components[2];
    // The chroma sample covering a luma sample, on the reference grid.
    const auto chroma = [&](const JasComponent& c, std::uint32_t x, std::uint32_t y) {
        const std::uint64_t gx = (std::uint64_t{luma.x0} + x) * luma.dx, gy = (std::uint64_t{luma.y0} + y) * luma.dy;
        const std::uint64_t cx = std::min<std::uint64_t>(gx / c.dx - std::min<std::uint64_t>(gx / c.dx, c.x0), c.width - 1);
        const std::uint64_t cy = std::min<std::uint64_t>(gy / c.dy - std::min<std::uint64_t>(gy / c.dy, c.y0), c.height - 1);
        return c.samples[cy * c.width + cx] - offset;
    };
    const auto clamp = [top](int v) { return std::clamp(v, 0, top); };
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t at = std::size_t{y} * width + x;
            const int yv = luma.samples[at], b = chroma(cb, x, y), r = chroma(cr, x, y);
            rgb[0].storage[at] = clamp(yv + static_cast<int>(1.402f * static_cast<float>(r)));
            rgb[1].storage[at] = clamp(yv - static_cast<int>(0.344f * static_cast<float>(b) + 0.714f * static_cast<float>(r)));
            rgb[2].storage[at] = clamp(yv + static_cast<int>(1.772f * static_cast<float>(b)));
        }
    }
    for (int i = 0; i < 3; ++i) picture.components[i] = std::move(rgb[i]);
    picture.colourSpace = JasColourSpace::Srgb;
}

// Whether the first three components hold YCbCr: so declared, or
// (undeclared, as in a bare code stream) three components, a full-size first
// with subsampled others.
bool HoldsYcc(const JasPicture& picture) {
    const auto& c = picture.components;
    if (c.size() < 3 || c[0].isSigned) return false;
    if (picture.colourSpace == JasColourSpace::Sycc) return true;
    if (c.size() != 3) return false;
    return picture.colourSpace == JasColourSpace::Unspecified && c[0].dx == c[0].dy && c[1].dx != 1;
}

bool MakeColourImage(const JasPicture& picture, CRasterImage& image, std::uint32_t formatId, bool alpha) {
    const auto& c = picture.components;
    const std::uint32_t width = c[0].width, height = c[0].height;
    if (!image.Create(width, height, 24, formatId)) {
        image.SetLastError("Can't allocate memory");
        return false;
    }
    if (alpha) image.CreateAlphaPlane();
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* row = image.GetPixels(height - 1 - y);
        const std::size_t start = std::size_t{y} * width;
        for (std::uint32_t x = 0; x < width; ++x) {
            row[3 * x + 2] = JasSampleByte(c[0], c[0].samples[start + x]);
            row[3 * x + 1] = JasSampleByte(c[1], c[1].samples[start + x]);
            row[3 * x] = JasSampleByte(c[2], c[2].samples[start + x]);
            if (alpha) image.SetAlphaAt(x, height - 1 - y, JasSampleByte(c[3], c[3].samples[start + x]));
        }
    }
    return true;
}

bool MakeGreyImage(const JasComponent& c, CRasterImage& image, std::uint32_t formatId, const JasComponent* alpha) {
    // 1-bit and 4-bit samples index a grey ramp of their own depth as they
    // are; every other precision is scaled to the 8-bit ramp.
    const bool asIs = !c.isSigned && ((c.precision == 1 && c.maximum == 1) || (c.precision == 4 && c.maximum == 15));
    const std::uint32_t bits = asIs ? c.precision : 8;
    if (!image.Create(c.width, c.height, bits, formatId)) {
        image.SetLastError("Can't allocate memory");
        return false;
    }
    image.SetGreyRamp();
    if (alpha) image.CreateAlphaPlane();
    for (std::uint32_t y = 0; y < c.height; ++y) {
        const std::size_t start = std::size_t{y} * c.width;
        const std::uint32_t row = c.height - 1 - y;
        for (std::uint32_t x = 0; x < c.width; ++x) {
            const std::int32_t sample = c.samples[start + x];
            image.SetIndexAt(x, row, asIs ? static_cast<std::uint8_t>(sample) : JasSampleByte(c, sample));
            if (alpha) image.SetAlphaAt(x, row, JasSampleByte(*alpha, alpha->samples[start + x]));
        }
    }
    return true;
}

}  // namespace

bool JasPictureToImage(JasPicture& picture, CRasterImage& image, std::uint32_t formatId) {
    auto& c = picture.components;
    if (c.empty()) {
        image.SetLastError("error: cannot load image data");
        return false;
    }
    if (c.size() > kMaxComponents) {
        image.SetLastError("error: too much components");
        return false;
    }
    if (HoldsYcc(picture)) ConvertFromYcc(picture);
    // Colour: three components alike, with a fourth alike as alpha where the
    // file marks it so or declares a colour space of three components (as
    // other readers take it).
    const bool declared = picture.colourSpace == JasColourSpace::Srgb;
    const bool colour = (c.size() == 3 || (c.size() == 4 && (c[3].isAlpha || declared) && SameLayout(c[0], c[3]))) &&
                        SameLayout(c[0], c[1]) && SameLayout(c[0], c[2]);
    if (colour) {
        image.Info.FrameCount = 1;
        return MakeColourImage(picture, image, formatId, c.size() == 4);
    }
    // Grey with alpha likewise; a bare code stream's two components are frames.
    if (c.size() == 2 && (c[1].isAlpha || picture.colourSpace == JasColourSpace::Grey) &&
        c[0].width == c[1].width && c[0].height == c[1].height) {
        image.Info.FrameCount = 1;
        return MakeGreyImage(c[0], image, formatId, &c[1]);
    }
    // Otherwise every component is a frame of its own.
    const auto count = static_cast<std::int32_t>(c.size());
    const std::int32_t index = image.Info.FrameIndex;
    image.Info.FrameCount = count;
    if (index < 0 || index >= count) {
        image.SetLastError("wrong frame!");
        return false;
    }
    return MakeGreyImage(c[static_cast<std::size_t>(index)], image, formatId, nullptr);
}

bool JasImageToPicture(const CRasterImage& image, JasPicture& picture) {
    const bool grey = image.IsIndexed();
    const std::uint32_t width = image.GetWidth(), height = image.GetHeight();
    picture.components.resize(grey ? 1 : 3);
    for (JasComponent& c : picture.components) c.Allocate(width, height, 8, 255);
    picture.colourSpace = grey ? JasColourSpace::Grey : JasColourSpace::Srgb;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint32_t row = height - 1 - y;
        const std::size_t start = std::size_t{y} * width;
        for (std::uint32_t x = 0; x < width; ++x) {
            if (grey) {
                picture.components[0].storage[start + x] = image.GetIndexAt(x, row);
            } else {
                const RGBQUAD q = image.GetColorAt(x, row, false);
                picture.components[0].storage[start + x] = q.rgbRed;
                picture.components[1].storage[start + x] = q.rgbGreen;
                picture.components[2].storage[start + x] = q.rgbBlue;
            }
        }
    }
    return true;
}
