// A handle is eight bytes, the size drawings store it in.
#include "toolkit/ad.h"
#include <gtest/gtest.h>
TEST(Skeleton, HandleIsEightBytes) { EXPECT_EQ(sizeof(AdHandle), 8u); }
