// adrender [--size WxH] [--space model|paper] [--window X1,Y1,X2,Y2]
//          [--out FILE.png] [--stream FILE.txt] DRAWING
// Opens a DWG or DXF file and draws it through the display engine: into a
// PNG through the raster host and/or into a text stream through the
// recording host. The view is the drawing's own zoomed to the extents of
// what it draws, or, with --window, a plan view that fits the world window
// into the picture. Exits 0 when the drawing opened and every output was
// written, 1 when not, 2 on a usage error.
#include "tools/renderhost/glyph_service.h"
#include "tools/renderhost/png_file.h"
#include "tools/renderhost/raster_host.h"
#include "tools/renderhost/recording_host.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

struct Options {
    int width = 800;
    int height = 600;
    bool paper = false;
    bool spaceGiven = false;
    bool window = false;
    double windowBox[4] = {0, 0, 0, 0};
    std::string png;
    std::string stream;
    std::string drawing;
};

int usage() {
    std::fputs("usage: adrender [--size WxH] [--space model|paper] [--window X1,Y1,X2,Y2] [--out FILE.png]\n"
               "                [--stream FILE.txt] DRAWING\n",
               stderr);
    return 2;
}

bool parseSize(const char* text, Options& options) {
    int width = 0, height = 0;
    char end = 0;
    if (std::sscanf(text, "%dx%d%c", &width, &height, &end) != 2) return false;
    // Larger canvases are refused rather than allocated.
    if (width < 1 || height < 1 || width > 16384 || height > 16384) return false;
    options.width = width;
    options.height = height;
    return true;
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(arg, "--size") == 0 && hasValue) {
            if (!parseSize(argv[++i], options)) return false;
        } else if (std::strcmp(arg, "--space") == 0 && hasValue) {
            const char* space = argv[++i];
            if (std::strcmp(space, "model") != 0 && std::strcmp(space, "paper") != 0) return false;
            options.paper = std::strcmp(space, "paper") == 0;
            options.spaceGiven = true;
        } else if (std::strcmp(arg, "--window") == 0 && hasValue) {
            double* b = options.windowBox;
            char end = 0;
            if (std::sscanf(argv[++i], "%lf,%lf,%lf,%lf%c", &b[0], &b[1], &b[2], &b[3], &end) != 4 || !(b[2] > b[0]) ||
                !(b[3] > b[1]))
                return false;
            options.window = true;
        } else if (std::strcmp(arg, "--out") == 0 && hasValue) {
            options.png = argv[++i];
        } else if (std::strcmp(arg, "--stream") == 0 && hasValue) {
            options.stream = argv[++i];
        } else if (arg[0] == '-' || !options.drawing.empty()) {
            return false;
        } else {
            options.drawing = arg;
        }
    }
    if (options.drawing.empty()) return false;
    if (options.png.empty() && options.stream.empty()) options.png = "adrender.png";
    return true;
}

// The host's start-up: the embedded init data, the toolkit, both readers, the
// render context and the TrueType glyphs.
bool start() {
    HostUseEmbeddedInitData();
    std::int16_t error = 0;
    if (!adInitToolkit(nullptr, &error)) {
        std::fprintf(stderr, "adrender: the drawing toolkit did not start (error %d)\n", error);
        return false;
    }
    adSetAcceptPreRelease();
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    if (!adInitRender()) {
        std::fputs("adrender: the display engine did not start\n", stderr);
        adTermToolkit();
        return false;
    }
    if (!hostStartGlyphs()) std::fputs("adrender: no TrueType glyphs: TrueType text is left out\n", stderr);
    return true;
}

void stop() {
    hostStopGlyphs();
    adTermRender();
    adTermToolkit();
}

// Shows the drawing and sets the view: the window given, or the drawing's
// own view zoomed to what a first draw put on the device.
bool showDrawing(AdDrawing* drawing, const Options& options, AdViewRecord& view) {
    if (options.spaceGiven && drawing->header) drawing->header->tilemode = options.paper ? 0 : 1;
    adSetDisplayCaching(0);
    const std::int32_t rect[4] = {0, 0, options.width - 1, options.height - 1};
    if (!adBeginDisplay(drawing, &view, rect, nullptr, nullptr)) return false;
    if (options.window) {
        const double* b = options.windowBox;
        view = AdViewRecord{};
        view.direction[2] = 1.0;
        view.up[1] = 1.0;
        view.target[0] = (b[0] + b[2]) / 2.0;
        view.target[1] = (b[1] + b[3]) / 2.0;
        const double aspect = static_cast<double>(rect[2]) / rect[3];
        view.width = std::max(b[2] - b[0], (b[3] - b[1]) * aspect);
        view.height = view.width / aspect;
        adMakeViewTransform(drawing, &view, rect, nullptr);
        return true;
    }
    adMakeViewTransform(drawing, &view, rect, nullptr);
    // Measuring needs no host: no output slot is set yet.
    adDrawDrawing(drawing);
    adZoomExtents(drawing, &view);
    adMakeViewTransform(drawing, &view, rect, nullptr);
    return true;
}

bool writeStream(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) return usage();
    if (!start()) return 1;
    AdDrawing* drawing = adOpenDrawing(options.drawing.c_str(), 1, 1);
    if (!drawing) {
        std::fprintf(stderr, "adrender: %s: cannot open (error %d)\n", options.drawing.c_str(), adGlobals->errorCode);
        stop();
        return 1;
    }
    AdViewRecord view{};
    bool ok = showDrawing(drawing, options, view);
    if (!ok) std::fprintf(stderr, "adrender: %s: the display did not start\n", options.drawing.c_str());
    if (ok && !options.png.empty()) {
        RasterHost raster(options.width, options.height);
        raster.install();
        raster.setUserData(drawing);
        adDrawDrawing(drawing);
        if (!adWritePng(options.png, raster.width(), raster.height(), raster.rgba())) {
            std::fprintf(stderr, "adrender: cannot write %s\n", options.png.c_str());
            ok = false;
        }
    }
    if (ok && !options.stream.empty()) {
        RecordingHost recorder;
        recorder.install();
        recorder.setUserData(drawing);
        adDrawDrawing(drawing);
        if (!writeStream(options.stream, recorder.stream())) {
            std::fprintf(stderr, "adrender: cannot write %s\n", options.stream.c_str());
            ok = false;
        }
    }
    adEndDisplay(drawing);
    adCloseDrawing(drawing);
    stop();
    return ok ? 0 : 1;
}
