#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
  // Take the locale from the environment as a desktop program does, so a run
  // under a decimal-comma locale shows any number text that depends on it.
  std::setlocale(LC_ALL, "");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
