// What libtiff says about one handle, kept for the codec's error text rather
// than printed on the standard error stream of whatever program decodes (a
// file tried as every format would leave libtiff's complaint there). The
// first error is kept: it names the cause, and later ones mostly follow from
// it. Warnings are dropped: the page is still read, and a warning would pass
// for the reason of a failure it did not cause.
#pragma once

#include <cstdarg>
#include <string>

struct tiff;
struct TIFFOpenOptions;

class CTiffReport {
public:
    // Routes the errors of a handle opened with `options` to `report` (none:
    // dropped) and drops its warnings; the report starts empty.
    static void Route(TIFFOpenOptions* options, CTiffReport* report);

    // `message`, followed by the cause libtiff gave, if it gave one.
    std::string Explain(const char* message) const;

private:
    static int KeepError(tiff* handle, void* report, const char* module, const char* format, va_list arguments);
    static int DropWarning(tiff* handle, void* report, const char* module, const char* format, va_list arguments);

    char Cause[256] = "";
};
