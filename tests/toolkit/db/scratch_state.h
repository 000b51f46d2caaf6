// A zeroed global state for tests of parts that need no start-up (stores,
// lists, the handle index); restores the previous state when it goes.
#pragma once
#include "toolkit/ad.h"

#include <memory>

class ScratchState {
public:
    ScratchState() : previous_(adGlobals), state_(std::make_unique<AdGlobalState>()) { adGlobals = state_.get(); }
    ~ScratchState() { adGlobals = previous_; }
    ScratchState(const ScratchState&) = delete;
    ScratchState& operator=(const ScratchState&) = delete;
    AdGlobalState* get() { return state_.get(); }

private:
    AdGlobalState* previous_;
    std::unique_ptr<AdGlobalState> state_;
};
