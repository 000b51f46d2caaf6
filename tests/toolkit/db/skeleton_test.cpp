#include "toolkit/ad.h"
#include <gtest/gtest.h>
TEST(Skeleton, HandleIsEightBytes) { EXPECT_EQ(sizeof(AdHandle), 8u); }
