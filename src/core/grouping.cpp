#include "core/grouping.h"

#include "platform/ordered_dict.h"

namespace kp {

GroupedOrder GroupedWriteOrder(const std::vector<std::string>& labels) {
  GroupedOrder order;
  const auto n = static_cast<int32_t>(labels.size());
  order.numberAt.resize(labels.size());
  order.groupAt.resize(labels.size());
  order.placeOf.reserve(labels.size());

  // Each label's ordinal by first occurrence, and the places of each group.
  rt::OrderedDict<std::string, int32_t> ordinals;
  std::vector<std::vector<int32_t>> members;
  for (int32_t p = 1; p <= n; ++p) {
    const std::string& label = labels[static_cast<size_t>(p - 1)];
    if (!ordinals.Exists(label)) {
      ordinals.Add(label, ordinals.Count() + 1);
      members.emplace_back();
    }
    const int32_t ordinal = ordinals.Item(label);
    members[static_cast<size_t>(ordinal - 1)].push_back(p);
    order.groupAt[static_cast<size_t>(p - 1)] = ordinal;
  }
  for (const std::vector<int32_t>& places : members) {
    for (int32_t p : places) {
      order.placeOf.push_back(p);
      order.numberAt[static_cast<size_t>(p - 1)] = static_cast<int32_t>(order.placeOf.size());
    }
  }
  return order;
}

}  // namespace kp
