// Test helpers: assert that a statement raises an rt::Error with a number,
// or catch the error a statement raises to look at it.
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

// The rt::Error that f raises; a failure of the test when it raises none.
template <class F>
rt::Error RaisedBy(F f) {
  try {
    f();
  } catch (const rt::Error& e) {
    return e;
  }
  ADD_FAILURE() << "no error raised";
  return rt::Error(0, "", "");
}
