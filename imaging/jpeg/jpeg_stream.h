// libjpeg over the image streams: a source and a destination manager with
// 4096-byte buffers, and an error exit that puts the library's message into
// the image's last-error text and returns to the caller's recovery point.
#pragma once

#include "imaging/raster_image.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

constexpr std::size_t kJpegStreamBufferSize = 4096;

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf recovery;
    CRasterImage* image;
};

struct JpegStreamSource {
    jpeg_source_mgr pub;
    CRasterStream* stream;
    boolean startOfFile;
    JOCTET buffer[kJpegStreamBufferSize];
};

struct JpegStreamDestination {
    jpeg_destination_mgr pub;
    CRasterStream* stream;
    JOCTET buffer[kJpegStreamBufferSize];
};

// Points `info` at the error manager, whose error exit fills image's last-error
// text and jumps to its recovery point. The caller sets that point with setjmp
// in a function where no object with a destructor is alive.
jpeg_error_mgr* JpegUseErrorManager(JpegErrorManager& manager, CRasterImage& image);
void JpegUseStreamSource(j_decompress_ptr info, JpegStreamSource& source, CRasterStream* stream);
void JpegUseStreamDestination(j_compress_ptr info, JpegStreamDestination& destination, CRasterStream* stream);
