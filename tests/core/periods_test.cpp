#include <gtest/gtest.h>

#include "core/mod_kt.h"

namespace {

TEST(CorePeriods, NamesEveryOfferedPeriodAndNothingElse) {
  const std::pair<int32_t, const char*> named[] = {
      {1, "monatlich"},     {3, "vierteljährlich"}, {6, "halbjährlich"},  {12, "jährlich"},
      {24, "zweijährlich"}, {36, "dreijährlich"},   {48, "vierjährlich"}, {60, "fünfjährlich"},
      {2, "einmalig"},      {4, "einmalig"},        {5, "einmalig"},      {7, "einmalig"},
      {11, "einmalig"}};
  for (const auto& [months, text] : named) EXPECT_EQ(modKT::GetPeriodText(months), text) << months;
  for (int32_t months : {0, -1, 13, 23, 25, 59, 61, 120, INT32_MIN, INT32_MAX})
    EXPECT_EQ(modKT::GetPeriodText(months), "") << months;
}

}  // namespace
