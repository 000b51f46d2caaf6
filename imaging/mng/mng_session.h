// What Decode and Encode share over libmng: the handle's start with the
// memory callbacks, and the stream callbacks that do nothing.
#pragma once

#include "imaging/mng/mng_image.h"

#include <libmng.h>

// A libmng handle with `canvas` as its user data, or null.
mng_handle StartMngHandle(MngCanvas& canvas);
MngCanvas& CanvasOf(mng_handle handle);

mng_bool MNG_DECL MngOpenStream(mng_handle);
mng_bool MNG_DECL MngCloseStream(mng_handle);
