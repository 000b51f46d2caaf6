// A zeroed global state whose fatal-error hook records the conditions it is
// handed, with allocation-failure injection switched off after each test.
#pragma once
#include "toolkit/db/host_fault.h"

#include <gtest/gtest.h>

#include <vector>

#include "scratch_state.h"

class FatalRecorder {
public:
    explicit FatalRecorder(AdGlobalState* state) {
        seen().clear();
        state->hooks.fatalError = &FatalRecorder::hook;
    }
    const std::vector<std::int32_t>& conditions() const { return seen(); }

private:
    static std::vector<std::int32_t>& seen() {
        static std::vector<std::int32_t> conditions;
        return conditions;
    }
    static int hook(std::int32_t condition) {
        seen().push_back(condition);
        return 0;
    }
};

class ScratchFixture : public ::testing::Test {
protected:
    ~ScratchFixture() override { HostFailAllocationAfter(-1); }
    ScratchState state;
    FatalRecorder fatal{state.get()};
};
