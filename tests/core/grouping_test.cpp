// The grouped write order of positions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/grouping.h"

namespace {

TEST(CoreGrouping, GroupsByFirstOccurrenceKeepingListOrderWithinAGroup) {
  using V = std::vector<int32_t>;
  const struct {
    std::vector<std::string> labels;
    V placeOf, numberAt, groupAt;
  } cases[] = {
      {{"A", "B", "A", "", "B"}, {1, 3, 2, 5, 4}, {1, 3, 2, 5, 4}, {1, 2, 1, 3, 2}},
      {{"", "", ""}, {1, 2, 3}, {1, 2, 3}, {1, 1, 1}},
      {{"X", "X"}, {1, 2}, {1, 2}, {1, 1}},
      {{"a", "A", "a"}, {1, 3, 2}, {1, 3, 2}, {1, 2, 1}},  // letter case makes two groups
      {{"B", "A", "C", "A", "B"}, {1, 5, 2, 4, 3}, {1, 3, 5, 4, 2}, {1, 2, 3, 2, 1}},
      {{}, {}, {}, {}},
  };
  for (const auto& c : cases) {
    const kp::GroupedOrder o = kp::GroupedWriteOrder(c.labels);
    EXPECT_EQ(o.placeOf, c.placeOf);
    EXPECT_EQ(o.numberAt, c.numberAt);
    EXPECT_EQ(o.groupAt, c.groupAt);
  }
}

}  // namespace
