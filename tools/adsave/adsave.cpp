// adsave IN OUT --format dwg|dxf|dxb --version ACxxxx [--precision N]:
// opens a drawing and saves it through adSaveDrawing with the viewer's DXF
// settings (the precision may be changed). Exits 0 when the file was written.
#include "toolkit/ad.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
bool startToolkit() {
    HostUseEmbeddedInitData();
    std::int16_t error = 0;
    if (!adInitToolkit(nullptr, &error)) {
        std::fprintf(stderr, "adsave: the drawing toolkit did not start (error %d)\n", error);
        return false;
    }
    adSetAcceptPreRelease();
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    return true;
}

int usage() {
    std::fputs("usage: adsave IN OUT --format dwg|dxf|dxb --version AC1002..AC1015 [--precision N]\n", stderr);
    return 2;
}

// The format byte of a format name; -1 when unknown.
int formatByte(const char* name) {
    if (std::strcmp(name, "dwg") == 0) return 0;
    if (std::strcmp(name, "dxf") == 0) return 1;
    if (std::strcmp(name, "dxb") == 0) return 2;
    return -1;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const char* in = argv[1];
    const char* out = argv[2];
    int format = -1;
    int version = -1;
    int precision = 6;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--format") == 0) {
            format = formatByte(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--version") == 0) {
            version = adVersionIndex(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--precision") == 0) {
            precision = std::atoi(argv[i + 1]);
        } else {
            return usage();
        }
    }
    if (format < 0 || version < 0 || argc % 2 == 0) return usage();
    if (!startToolkit()) return 1;
    AdDrawing* drawing = adOpenDrawing(in, 1, 0);
    if (!drawing) {
        std::fprintf(stderr, "adsave: %s: cannot be read (error %d)\n", in, adGlobals->errorCode);
        adTermToolkit();
        return 1;
    }
    const int saved = adSaveDrawing(drawing, out, static_cast<std::uint8_t>(format), static_cast<std::int16_t>(version),
                                    1, precision, 0, 1);
    if (!saved) std::fprintf(stderr, "adsave: %s: not written (error %d)\n", out, adGlobals->errorCode);
    adCloseDrawing(drawing);
    adTermToolkit();
    return saved ? 0 : 1;
}
