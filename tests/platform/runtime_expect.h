// Test helper: asserts that a statement raises an rt::Error with a number.
#pragma once

#include <gtest/gtest.h>

#include "platform/error.h"

#define EXPECT_RT_ERROR(statement, expectedNumber)                              \
  do {                                                                          \
    try {                                                                       \
      statement;                                                                \
      ADD_FAILURE() << "no error raised by " #statement;                        \
    } catch (const rt::Error& e) {                                              \
      EXPECT_EQ(e.number(), (expectedNumber)) << #statement << ": " << e.what(); \
    }                                                                           \
  } while (0)
