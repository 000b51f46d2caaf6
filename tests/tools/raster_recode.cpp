// raster_recode IN OUT FORMAT [STEP]: decodes IN, applies STEP when given
// (1, 4 or 8: reduction to that many bits per pixel without diffusion; left,
// right, half, flip, mirror, invert: that transform; option=N: N as the
// format's option word; quality=N: N as the JPEG and JPEG-2000 quality), and encodes the picture as format identifier FORMAT
// into OUT. For the encoder and transform checks
// of tests/tools/imginfo_real_files.py.
#include "imaging/raster_image.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool Apply(CRasterImage& image, const std::string& step, std::uint32_t formatId) {
    if (step.rfind("option=", 0) == 0) {
        return image.SetFormatOption(static_cast<std::uint32_t>(std::atoi(step.c_str() + 7)), formatId);
    }
    if (step.rfind("quality=", 0) == 0) {
        const int quality = std::atoi(step.c_str() + 8);
        if (quality < 1 || quality > 100) return false;
        image.SetJpegQuality(static_cast<unsigned char>(quality));
        return true;
    }
    if (step == "left") return image.RotateLeft90();
    if (step == "right") return image.RotateRight90();
    if (step == "half") return image.Rotate180();
    if (step == "flip") return image.FlipVertical();
    if (step == "mirror") return image.MirrorHorizontal();
    if (step == "invert") return image.Invert();
    return image.ReduceDepth(static_cast<std::uint32_t>(std::atoi(step.c_str())), false, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fputs("usage: raster_recode IN OUT FORMAT [BITS]\n", stderr);
        return 2;
    }
    CRasterImage image;
    if (!image.LoadFile(argv[1], kRasterUnknown)) {
        std::fprintf(stderr, "raster_recode: %s: %s\n", argv[1], image.GetLastErrorText());
        return 1;
    }
    const auto formatId = static_cast<std::uint32_t>(std::atoi(argv[3]));
    if (argc == 5 && !Apply(image, argv[4], formatId)) {
        std::fprintf(stderr, "raster_recode: %s: step %s failed\n", argv[1], argv[4]);
        return 1;
    }
    if (!image.SaveFile(argv[2], formatId)) {
        std::fprintf(stderr, "raster_recode: %s: %s\n", argv[2], image.GetLastErrorText());
        return 1;
    }
    return 0;
}
