// imginfo [--json] [--dump OUT.bmp] FILE...: what the image library makes of
// each raster file: format, size, depth, frames, or the error text. --dump
// (one FILE only) writes the decoded first frame as a 24-bit BMP, or a 32-bit
// one when the picture has transparency, for comparison with other tools.
// A file is tried as the format its extension names first, then as any.
// Exits 0 only when every file decoded.
#include "imaging/raster_image.h"
#include "tools/imginfo/picture_dump.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The format a file's extension names, so a refusal gives that format's reason.
std::uint32_t FormatOfExtension(const char* path) {
    static const struct {
        const char* extension;
        std::uint32_t formatId;
    } kExtensions[] = {{".bmp", kRasterBmp}, {".dib", kRasterBmp}, {".ico", kRasterIco}, {".cur", kRasterIco},
                       {".gif", kRasterGif}, {".jpg", kRasterJpeg}, {".jpeg", kRasterJpeg}, {".png", kRasterPng},
                       {".mng", kRasterMng}, {".tif", kRasterTiff}, {".tiff", kRasterTiff}, {".tga", kRasterTga},
                       {".pcx", kRasterPcx}, {".wbmp", kRasterWbmp}, {".wmf", kRasterWmf}, {".emf", kRasterWmf},
                       {".jp2", kRasterJp2}, {".j2k", kRasterJpc}, {".jpc", kRasterJpc}, {".pgx", kRasterPgx},
                       {".pnm", kRasterPnm}, {".ppm", kRasterPnm}, {".pgm", kRasterPnm}, {".pbm", kRasterPnm},
                       {".ras", kRasterRas}};
    const char* dot = std::strrchr(path, '.');
    if (!dot) return kRasterUnknown;
    std::string extension(dot);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& e : kExtensions) {
        if (extension == e.extension) return e.formatId;
    }
    return kRasterUnknown;
}

void PrintJsonString(const char* text) {
    std::putchar('"');
    for (const char* p = text; *p; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') std::printf("\\%c", c);
        else if (c < 0x20) std::printf("\\u%04x", c);
        else std::putchar(c);
    }
    std::putchar('"');
}

void PrintResult(const char* path, const CRasterImage& image, bool ok, bool json) {
    if (json) {
        std::fputs("{\"file\":", stdout);
        PrintJsonString(path);
        if (ok) {
            std::printf(",\"ok\":true,\"format\":\"%s\",\"width\":%lu,\"height\":%lu,\"bits\":%u,\"frames\":%ld,"
                        "\"alpha\":%s,\"transparent_index\":%d}\n",
                        RasterFormatName(image.GetFormatId()), image.GetWidth(), image.GetHeight(), image.GetBpp(),
                        image.GetNumFrames(), image.HasAlphaPlane() ? "true" : "false", image.GetTransparentIndex());
        } else {
            std::fputs(",\"ok\":false,\"error\":", stdout);
            PrintJsonString(image.GetLastErrorText());
            std::fputs("}\n", stdout);
        }
    } else if (ok) {
        std::printf("%s: %s %lux%lu, %u bits, %ld frame(s)%s\n", path, RasterFormatName(image.GetFormatId()),
                    image.GetWidth(), image.GetHeight(), image.GetBpp(), image.GetNumFrames(),
                    image.HasAlphaPlane() ? ", alpha" : "");
    } else {
        std::printf("%s: %s\n", path, image.GetLastErrorText());
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool json = false;
    const char* dump = nullptr;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) json = true;
        else if (std::strcmp(argv[i], "--dump") == 0 && i + 1 < argc) dump = argv[++i];
        else files.push_back(argv[i]);
    }
    if (files.empty() || (dump && files.size() != 1)) {
        std::fputs("usage: imginfo [--json] [--dump OUT.bmp] FILE...  (--dump takes one FILE)\n", stderr);
        return 2;
    }
    bool allDecoded = true;
    for (const char* path : files) {
        CRasterImage image;
        const bool ok = image.LoadFile(path, FormatOfExtension(path));
        allDecoded = allDecoded && ok;
        PrintResult(path, image, ok, json);
        std::fflush(stdout);
        if (ok && dump) {
            std::string error;
            if (!DumpPicture(image, dump, &error)) {
                std::fprintf(stderr, "imginfo: %s: %s\n", dump, error.c_str());
                return 1;
            }
        }
    }
    return allDecoded ? 0 : 1;
}
