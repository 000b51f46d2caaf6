// Accessors the host uses to read what a drawing was opened as.
#include "toolkit/ad.h"

std::int16_t adDrawingVersion(const AdDrawing* drawing) { return drawing ? drawing->version : -1; }

int adDrawingFileFormat(const AdDrawing* drawing) { return drawing ? drawing->format : -1; }

const char* adDrawingFileName(const AdDrawing* drawing) { return drawing ? drawing->fileName : nullptr; }

AdHeaderVars* adDrawingHeaderData(const AdDrawing* drawing) { return drawing ? drawing->header : nullptr; }

// The pointer comes back to the host in the file-finder hook and every output
// callback.
void* adSetDrawingUserData(AdDrawing* drawing, void* userData) {
    if (!drawing) return nullptr;
    drawing->userData = userData;
    return userData;
}

// Files before version index 4 have no TILEMODE and are always in model space.
int adIsTileMode(const AdDrawing* drawing, std::int16_t tileMode) {
    if (!drawing) return 0;
    return drawing->version < AD_VERSION_AC1009 || tileMode != 0 ? 1 : 0;
}
