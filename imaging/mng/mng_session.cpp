// The MNG class's lifetime and the libmng callbacks its Decode and Encode share.
#include "imaging/mng/mng_session.h"

#include <cstdlib>

namespace {

// libmng sizes blocks from chunk fields; a hostile stream could ask for
// gigabytes. No picture within the image size limit needs a larger block.
constexpr mng_size_t kMngBlockLimit = 256u * 1024 * 1024;

mng_ptr MNG_DECL MngAllocate(mng_size_t length) {
    return length > kMngBlockLimit ? nullptr : std::calloc(length ? length : 1, 1);
}

void MNG_DECL MngFree(mng_ptr block, mng_size_t) { std::free(block); }

}  // namespace

mng_handle StartMngHandle(MngCanvas& canvas) {
    return mng_initialize(&canvas, MngAllocate, MngFree, MNG_NULL);
}

MngCanvas& CanvasOf(mng_handle handle) { return *static_cast<MngCanvas*>(mng_get_userdata(handle)); }

mng_bool MNG_DECL MngOpenStream(mng_handle) { return MNG_TRUE; }
mng_bool MNG_DECL MngCloseStream(mng_handle) { return MNG_TRUE; }

CRasterImageMNG::CRasterImageMNG() : CRasterImage(kRasterMng) { Canvas.backgroundIndex = -1; }

CRasterImageMNG::~CRasterImageMNG() {
    std::free(Canvas.pixels);
    if (Handle) {
        mng_handle handle = static_cast<mng_handle>(Handle);
        mng_cleanup(&handle);
    }
}
