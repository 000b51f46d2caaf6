#include "imaging/tiff/tiff_image.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <tiffio.h>

namespace {

constexpr toff_t kSeekFailed = 0xFFFFFFFF;

CRasterStream* StreamOf(thandle_t handle) { return static_cast<CRasterStream*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
    return size <= 0 ? 0 : static_cast<tmsize_t>(StreamOf(handle)->Read(buffer, 1, static_cast<std::size_t>(size)));
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
    return size <= 0 ? 0 : static_cast<tmsize_t>(StreamOf(handle)->Write(buffer, 1, static_cast<std::size_t>(size)));
}

toff_t SeekProc(thandle_t handle, toff_t offset, int origin) {
    // The streams take long offsets; larger ones cannot be reached.
    const auto signedOffset = static_cast<std::int64_t>(offset);
    if (offset == kSeekFailed || signedOffset > LONG_MAX || signedOffset < LONG_MIN ||
        !StreamOf(handle)->Seek(static_cast<long>(signedOffset), origin)) {
        return kSeekFailed;
    }
    return origin == SEEK_SET ? offset : static_cast<toff_t>(StreamOf(handle)->Tell());
}

int CloseProc(thandle_t) { return 0; }

toff_t SizeProc(thandle_t handle) { return static_cast<toff_t>(StreamOf(handle)->Size()); }

// libtiff reads a mapped file as one block. The stream is copied into memory
// for it: reading tile by tile through the callbacks makes this libtiff refuse
// uncompressed tiles whose stored size exceeds the tile (its read buffer is
// rounded up), which a block read accepts. Without memory for the copy libtiff
// reads through the callbacks.
int MapProc(thandle_t handle, void** base, toff_t* size) {
    CRasterStream* stream = StreamOf(handle);
    const long length = stream->Size();
    if (length <= 0) return 0;
    void* block = std::malloc(static_cast<std::size_t>(length));
    if (!block) return 0;
    const long position = stream->Tell();
    const bool read = stream->Seek(0, SEEK_SET) &&
                      stream->Read(block, 1, static_cast<std::size_t>(length)) == static_cast<std::size_t>(length);
    stream->Seek(position, SEEK_SET);
    if (!read) {
        std::free(block);
        return 0;
    }
    *base = block;
    *size = static_cast<toff_t>(length);
    return 1;
}

void UnmapProc(thandle_t, void* base, toff_t) { std::free(base); }

// The handle keeps what it needs of its open options.
struct OptionsFree {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

}  // namespace

TIFF* TiffOpenStream(CRasterStream* stream, const char* mode, CTiffReport* report) {
    const std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    if (!options) return nullptr;
    CTiffReport::Route(options.get(), report);
    return TIFFClientOpenExt("TIFF IMAGE", mode, static_cast<thandle_t>(stream), ReadProc, WriteProc, SeekProc,
                             CloseProc, SizeProc, MapProc, UnmapProc, options.get());
}
