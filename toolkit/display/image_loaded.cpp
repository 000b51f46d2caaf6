// The image files a display has loaded, one per IMAGE entity: a file is
// loaded at the entity's first draw and kept until the top-level display
// ends, so a redraw after a zoom or a pan does not load it again, and a
// display-list cache that names a host's picture never outlives it.
#include "toolkit/display/emit.h"
#include "toolkit/display/image.h"
#include "toolkit/display/view.h"

#include <cstring>

AdLoadedImage* adLoadedImage(AdDrawing* drawing, const AdHandle& entity) {
    const AdDisplayState* state = adTopState(drawing);
    for (std::int32_t i = 0; i < state->loadedImageCount; ++i) {
        AdLoadedImage& image = state->loadedImages[i];
        if (image.drawing == drawing && std::memcmp(&image.entity, &entity, sizeof entity) == 0) return &image;
    }
    return nullptr;
}

int adKeepLoadedImage(AdDrawing* drawing, const AdLoadedImage& image) {
    AdDisplayState* state = adTopState(drawing);
    const std::size_t count = static_cast<std::size_t>(state->loadedImageCount);
    auto* grown = static_cast<AdLoadedImage*>(HostAlloc((count + 1) * sizeof(AdLoadedImage)));
    if (!grown) {
        adNoMemory(AD_ERR_DISPLAY_STATE_MEMORY);
        return 0;
    }
    if (count > 0) std::memcpy(grown, state->loadedImages, count * sizeof(AdLoadedImage));
    grown[count] = image;
    if (state->loadedImages) HostFree(state->loadedImages);
    state->loadedImages = grown;
    state->loadedImageCount = static_cast<std::int32_t>(count + 1);
    return 1;
}

void adFreeLoadedImages(AdDisplayState* state) {
    for (std::int32_t i = 0; i < state->loadedImageCount; ++i) {
        AdLoadedImage& image = state->loadedImages[i];
        if (image.bytes) adStoreFree(image.bytes);
        if (!image.frame) continue;
        if (adDisplayGlobals && adDisplayGlobals->imageRelease)
            adDisplayGlobals->imageRelease(image.frame, state->owner ? state->owner->userData : nullptr);
        if (image.frame->boundary) HostFree(image.frame->boundary);
        HostFree(image.frame);
    }
    if (state->loadedImages) HostFree(state->loadedImages);
    state->loadedImages = nullptr;
    state->loadedImageCount = 0;
}
