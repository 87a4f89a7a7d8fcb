// The grouped write order of a contract type's positions.
//
// Positions carry a grouping label. They are written (and numbered) group
// by group, the groups in the order in which their labels first occur in
// the list, and the positions of one group in their list order. Labels
// compare exactly: letter case counts, and the empty label is a group like
// any other. For the labels A, B, A, "", B the places 1, 3, 2, 5, 4 are
// written in that order, numbered 1 to 5; the group ordinals by place are
// 1, 2, 1, 3, 2.
//
// The editor's save of a type's positions and the save of a contract from a
// type adjusted in memory both number positions this way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kp {

struct GroupedOrder {
  // placeOf[r - 1]: the list place (from 1) of the position numbered r.
  std::vector<int32_t> placeOf;
  // numberAt[p - 1]: the running number (from 1) of the position at place p.
  std::vector<int32_t> numberAt;
  // groupAt[p - 1]: the ordinal (from 1) of the group of the position at
  // place p, by first occurrence.
  std::vector<int32_t> groupAt;
};

// The grouped order of positions whose labels, in list order, are `labels`.
GroupedOrder GroupedWriteOrder(const std::vector<std::string>& labels);

}  // namespace kp
