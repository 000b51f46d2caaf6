// A fixture whose tests run over a zeroed global state with the init data
// embedded in the program loaded, without starting the whole toolkit.
#pragma once
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include "toolkit/db/scratch_state.h"

inline void setInitHooks(AdInitOpenHook open, AdInitGetcHook getc, AdInitReadHook read, AdInitSeekHook seek,
                         AdInitCloseHook close) {
    adSetInitOpenHook(open);
    adSetInitGetcHook(getc);
    adSetInitReadHook(read);
    adSetInitSeekHook(seek);
    adSetInitCloseHook(close);
}

class InitDataState : public testing::Test {
protected:
    void SetUp() override { setInitHooks(HostInitOpen, HostInitGetc, HostInitRead, HostInitSeek, HostInitClose); }
    void TearDown() override {
        adFreeCodePages();
        setInitHooks(nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    ScratchState state_;
};

class LoadedInitData : public InitDataState {
protected:
    void SetUp() override {
        InitDataState::SetUp();
        ASSERT_EQ(adLoadInitData(nullptr), 1);
    }
};
