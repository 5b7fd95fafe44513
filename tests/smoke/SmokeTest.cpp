#include <windows.h>
#include <gtest/gtest.h>
TEST(Smoke, AnsiCodePageIsBig5) { EXPECT_EQ(950u, GetACP()); }
