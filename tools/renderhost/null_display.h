// A display whose hooks draw nothing, for timing and fuzzing the text
// layouts: a started toolkit and render context, an empty drawing (its texts
// take the default font) and one viewport at ten device units per drawing
// unit, with an MTEXT as the current entity.
#pragma once
#include "toolkit/display/emit.h"

#include <cstdint>
#include <cstring>

struct NullDisplay {
    AdDrawing* drawing = nullptr;
    AdDisplayState state{};
    AdEntityHeader entity{};

    NullDisplay() {
        HostUseEmbeddedInitData();
        std::int16_t error = 0;
        adInitToolkit(nullptr, &error);
        adInitRender();
        adSetMoveToHook(nothing);
        adSetLineToHook(nothing);
        adSetGlyphSlots();
        drawing = adCreateDrawing();
        AdMatrix4 view = adIdentityMatrix;
        adMatrixScaleAxes(10.0, 10.0, 10.0, &view);
        state.viewports[0].full = view;
        state.viewports[0].scale = 10.0;
        const double rect[4] = {0, 0, 1000, 1000};
        std::memcpy(state.viewports[0].deviceRect, rect, sizeof rect);
        std::memcpy(state.viewports[0].clipRect, rect, sizeof rect);
        state.viewportCount = 1;
        state.activeViewports = ~std::uint64_t{0};
        state.owner = drawing;
        state.currentScale = 10.0;
        state.penColour = state.penWidth = -1;
        drawing->display = &state;
        entity.type = AD_ENTITY_MTEXT;
        entity.linetypeScale = 1.0;
        adDisplayGlobals->currentEntity = &entity;
    }
    ~NullDisplay() {
        adDisplayGlobals->currentEntity = nullptr;
        drawing->display = nullptr;
        adCloseDrawing(drawing);
        adTermRender();
        adTermToolkit();
    }
    NullDisplay(const NullDisplay&) = delete;
    NullDisplay& operator=(const NullDisplay&) = delete;

private:
    static void nothing(std::int32_t, std::int32_t, void*) {}
};
