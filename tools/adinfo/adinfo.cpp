// adinfo [--json] FILE...: what the drawing toolkit makes of each file.
// Exits 0 only when every file opened.
#include "toolkit/ad.h"
#include "tools/adinfo/drawing_summary.h"
#include "tools/adinfo/summary_output.h"

#include <cstdio>
#include <cstring>

namespace {
// The host's start-up: the embedded init data, the toolkit, both readers.
bool startToolkit() {
    HostUseEmbeddedInitData();
    std::int16_t error = 0;
    if (!adInitToolkit(nullptr, &error)) {
        std::fprintf(stderr, "adinfo: the drawing toolkit did not start: %s (error %d)\n", adErrorText(error), error);
        return false;
    }
    adSetAcceptPreRelease();
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    bool json = argc > 1 && std::strcmp(argv[1], "--json") == 0;
    int first = json ? 2 : 1;
    if (first >= argc) {
        std::fputs("usage: adinfo [--json] FILE...\n", stderr);
        return 2;
    }
    if (!startToolkit()) return 1;
    bool allOpened = true;
    for (int i = first; i < argc; ++i) {
        DrawingSummary summary = summarizeDrawing(argv[i]);
        allOpened = allOpened && summary.ok;
        if (json) printSummaryJson(summary, stdout);
        else printSummaryText(summary, stdout);
        std::fflush(stdout);
    }
    adTermToolkit();
    return allOpened ? 0 : 1;
}
