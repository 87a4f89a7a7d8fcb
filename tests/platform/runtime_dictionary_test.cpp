#include <string>

#include "platform/object.h"
#include "platform/ordered_dict.h"
#include "platform/runtime_expect.h"

namespace {

namespace errc = rt::errc;

TEST(RuntimeDictionary, KeepsInsertionOrderAndExactKeys) {
  rt::OrderedDict<std::string, int32_t> groups;
  groups.Add("B", 1);
  groups.Add("", 2);  // the empty label is a key like any other
  groups.Add("b", 3);  // differs only in case: a key of its own
  groups.Add("A", 4);
  EXPECT_EQ(groups.Count(), 4);
  EXPECT_EQ(groups.Keys(), (std::vector<std::string>{"B", "", "b", "A"}));
  EXPECT_EQ(groups.Items(), (std::vector<int32_t>{1, 2, 3, 4}));
  EXPECT_TRUE(groups.Exists(""));
  EXPECT_FALSE(groups.Exists("a"));
  EXPECT_EQ(groups.Item("b"), 3);
  EXPECT_RT_ERROR(groups.Add("B", 9), errc::DupKey);
  EXPECT_RT_ERROR(groups.Item("a"), errc::SubscriptRange);
  EXPECT_EQ(groups.Count(), 4);
}

TEST(RuntimeDictionary, SetItemReplacesInPlaceOrAppends) {
  rt::OrderedDict<int16_t, std::string> rows;
  rows.Add(5, "1");
  rows.Add(2, "2");
  rows.SetItem(5, rows.Item(5) + ";3");
  rows.SetItem(7, "4");
  EXPECT_EQ(rows.Keys(), (std::vector<int16_t>{5, 2, 7}));
  EXPECT_EQ(rows.Items(), (std::vector<std::string>{"1;3", "2", "4"}));
}

TEST(RuntimeDictionary, CollectionIsOneBasedAndKeyless) {
  rt::Collection c;
  c.Add(rt::Variant("a"));
  c.Add(rt::Variant("a"));
  c.Add(rt::Variant(int32_t{3}));
  EXPECT_EQ(c.Count(), 3);
  EXPECT_EQ(c.Item(1), rt::Variant("a"));
  EXPECT_EQ(c.Item(3), rt::Variant(int32_t{3}));
  EXPECT_RT_ERROR(c.Item(0), errc::SubscriptRange);
  EXPECT_RT_ERROR(c.Item(4), errc::SubscriptRange);
  c.Remove(1);
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Item(2), rt::Variant(int32_t{3}));
  EXPECT_RT_ERROR(c.Remove(3), errc::SubscriptRange);
  EXPECT_EQ(c.Get("count"), rt::Variant(int32_t{2}));
}

}  // namespace
