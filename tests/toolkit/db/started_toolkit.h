// A test fixture whose tests run with the toolkit started over the init data
// embedded in the program.
#pragma once
#include "toolkit/ad.h"

#include <gtest/gtest.h>

class StartedToolkit : public testing::Test {
protected:
    void SetUp() override {
        HostUseEmbeddedInitData();
        std::int16_t error = -1;
        ASSERT_EQ(adInitToolkit(nullptr, &error), 1) << "start-up error " << error;
    }
    void TearDown() override { adTermToolkit(); }
};
