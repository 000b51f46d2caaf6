// Whatever the readers accept, the writers must handle: a fuzzed drawing (DWG
// or DXF) is opened and saved by every writer of the save entry, DWG at each
// version and DXF in ASCII and binary form, to a temporary file.
#include "fuzz/fuzz_drawing.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace {
struct Save {
    std::uint8_t format;
    std::int16_t version;
};

constexpr Save kSaves[] = {
    {AD_FORMAT_DWG, AD_VERSION_AC1002}, {AD_FORMAT_DWG, AD_VERSION_AC1003}, {AD_FORMAT_DWG, AD_VERSION_AC1004},
    {AD_FORMAT_DWG, AD_VERSION_AC1006}, {AD_FORMAT_DWG, AD_VERSION_AC1009}, {AD_FORMAT_DWG, AD_VERSION_AC1012},
    {AD_FORMAT_DWG, AD_VERSION_AC1014}, {AD_FORMAT_DWG, AD_VERSION_AC1015}, {AD_FORMAT_DXF_ASCII, AD_VERSION_AC1009},
    {AD_FORMAT_DXF_BINARY, AD_VERSION_AC1009}, {AD_FORMAT_DXF_ASCII, AD_VERSION_AC1015},
};

const std::string& outputPath() {
    struct TempFile {
        std::string path;
        ~TempFile() { std::remove(path.c_str()); }
    };
    static const TempFile file{(FuzzFileFolder() / ("vt_fuzz_save_" + std::to_string(getpid()) + ".out")).string()};
    return file.path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzStartToolkit();
    adClearError();
    AdDrawing* drawing = adOpenDrawing(FuzzInputFile(data, size).c_str(), 1, 0);
    if (!drawing) return 0;
    // The settings the viewer saves with; a refused save is an answer too.
    for (const Save& save : kSaves) adSaveDrawing(drawing, outputPath().c_str(), save.format, save.version, 1, 16, 0, 1);
    adCloseDrawing(drawing);
    return 0;
}
