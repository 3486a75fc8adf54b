// Test support: a fixture that keeps the allocation failure hook of base/mem.h switched off
// outside the moments a test arms it, so one test's armed hook never reaches the next.
#pragma once

#include <gtest/gtest.h>

#include "base/mem.h"

class AllocationHookTest : public ::testing::Test {
  protected:
    void SetUp() override { mem_fail_after(-1); }
    void TearDown() override { mem_fail_after(-1); }
};
