// The TIFF format class (format identifier 7), over libtiff. Decode reads the
// page that the frame index names into 1, 4, 8 or 24 bits (with an alpha plane
// where the page has one) and reports the number of pages as the frame count.
// Encode writes one page; with append the page joins a multi-page file that
// later Encode calls on the same object continue.
#pragma once

#include "imaging/raster_image.h"
#include "imaging/tiff/tiff_report.h"

class CRasterImageTIF : public CRasterImage {
public:
    CRasterImageTIF() : CRasterImage(kRasterTiff), WriteHandle(nullptr), MultiPage(false), PagesWritten(0) {}
    ~CRasterImageTIF() override;

    bool Decode(CRasterStream* stream);
    bool Encode(CRasterStream* stream);
    bool Encode(CRasterStream* stream, bool append);
    bool EncodeBody(tiff* handle, bool multiPage, int page, int pageCount);

    tiff* WriteHandle;
    // What libtiff reported on the write handle.
    CTiffReport WriteReport;
    bool MultiPage;
    int PagesWritten;
};

// A libtiff handle over an image stream, under the name "TIFF IMAGE"; closing
// the handle leaves the stream to its owner. libtiff's errors on the handle go
// to `report`, which must outlive it (none: they are dropped); nothing is printed.
tiff* TiffOpenStream(CRasterStream* stream, const char* mode, CTiffReport* report = nullptr);
