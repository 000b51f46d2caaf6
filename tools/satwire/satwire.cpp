// Prints the wireframe of a SAT text file as the display engine gets it
// through adAcisRender: one "polyline" or "segments" line per primitive,
// then its vertices, one "x y z" line each.
//   satwire [--curves N] [--hint N] [--per-span N] file.sat
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "toolkit/solids/acis_request.h"

namespace {

struct Source {
    std::FILE* file;
};

std::int32_t readText(void* buffer, std::int32_t size, void* user) {
    auto* source = static_cast<Source*>(user);
    return static_cast<std::int32_t>(std::fread(buffer, 1, static_cast<std::size_t>(size), source->file));
}

void begin(std::int32_t mode, void*) { std::printf("%s\n", mode == 1 ? "segments" : "polyline"); }
void end(void*) { std::printf("end\n"); }
void vertex(double x, double y, double z, void*) { std::printf("%.17g %.17g %.17g\n", x, y, z); }

}  // namespace

int main(int argc, char** argv) {
    AdAcisRequest request{&readText, &begin, &end, &vertex, nullptr, 10, 4, 0, 0};
    int i = 1;
    for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
        const int value = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--curves") == 0)
            request.surfaceCurveCount = request.nurbsCurveCount = value;
        else if (std::strcmp(argv[i], "--hint") == 0)
            request.toleranceHint = value;
        else if (std::strcmp(argv[i], "--per-span") == 0)
            request.segmentsPerSpan = value;
    }
    if (i + 1 != argc) {
        std::fprintf(stderr, "usage: satwire [--curves N] [--hint N] [--per-span N] file.sat\n");
        return 2;
    }
    Source source{std::fopen(argv[i], "rb")};
    if (!source.file) {
        std::fprintf(stderr, "satwire: cannot open %s\n", argv[i]);
        return 1;
    }
    request.userData = &source;
    adAcisRender(&request);
    std::fclose(source.file);
    return 0;
}
