#include <gtest/gtest.h>

#include "test_processes.h"

int main(int argc, char** argv) {
  captivo::test::HoldRegistrationIfAsked(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
