#include <gtest/gtest.h>
#include "settings/settingsSyntax.h"
TEST(Smoke, Builds) { EXPECT_EQ(kestro::findKeyword("MASS"), 11); }
