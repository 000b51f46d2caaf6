// The blocks being drawn, so that a block met again further down (A inserts
// B, B inserts A, or an arrowhead block whose leader names it again) is
// skipped instead of recursing without end. Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

#include <cstring>

struct AdActiveBlock {
    AdDisplayState* state;
    bool entered = false;

    AdActiveBlock(AdDisplayState* s, const AdHandle& block) : state(s) {
        if (state->blockDepth >= AD_BLOCK_DEPTH_LIMIT) return;
        for (std::int16_t i = 0; i < state->blockDepth; ++i)
            if (std::memcmp(state->activeBlocks[i].b, block.b, sizeof block.b) == 0) return;
        state->activeBlocks[state->blockDepth++] = block;
        entered = true;
    }
    ~AdActiveBlock() {
        if (entered) --state->blockDepth;
    }
    AdActiveBlock(const AdActiveBlock&) = delete;
    AdActiveBlock& operator=(const AdActiveBlock&) = delete;
};
