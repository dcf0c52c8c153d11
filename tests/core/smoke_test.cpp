#include <gtest/gtest.h>
TEST(Smoke, Ok) {}
