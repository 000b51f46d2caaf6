#include "imaging/tiff/tiff_report.h"

#include <cstdio>

#include <tiffio.h>

void CTiffReport::Route(TIFFOpenOptions* options, CTiffReport* report) {
    if (report) report->Cause[0] = '\0';
    TIFFOpenOptionsSetErrorHandlerExtR(options, KeepError, report);
    TIFFOpenOptionsSetWarningHandlerExtR(options, DropWarning, nullptr);
}

std::string CTiffReport::Explain(const char* message) const {
    return Cause[0] ? std::string(message) + ": " + Cause : std::string(message);
}

// A non-zero answer tells libtiff the message is handled, so its own
// handlers, which print, are not called.
int CTiffReport::KeepError(TIFF*, void* report, const char*, const char* format, va_list arguments) {
    auto* keeper = static_cast<CTiffReport*>(report);
    if (keeper && keeper->Cause[0] == '\0' && std::vsnprintf(keeper->Cause, sizeof keeper->Cause, format, arguments) < 0) {
        keeper->Cause[0] = '\0';
    }
    return 1;
}

int CTiffReport::DropWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }
