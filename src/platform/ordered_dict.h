// A dictionary that keeps the order in which keys were added.
//
// Keys compare exactly (text keys case-sensitively). Add of a present key
// raises 457; reading a missing key raises 9. Keys() and Items() list the
// entries in insertion order, indexed from 0.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "platform/error.h"

namespace rt {

template <class K, class V>
class OrderedDict {
 public:
  void Add(const K& key, V item) {
    if (index_.count(key)) RaiseRuntime(errc::DupKey);
    index_.emplace(key, keys_.size());
    keys_.push_back(key);
    items_.push_back(std::move(item));
  }
  bool Exists(const K& key) const { return index_.count(key) != 0; }
  int32_t Count() const { return static_cast<int32_t>(keys_.size()); }

  const V& Item(const K& key) const {
    auto it = index_.find(key);
    if (it == index_.end()) RaiseRuntime(errc::SubscriptRange);
    return items_[it->second];
  }
  // Replaces the item of a key, or adds the key when it is missing.
  void SetItem(const K& key, V item) {
    auto it = index_.find(key);
    if (it == index_.end()) {
      Add(key, std::move(item));
    } else {
      items_[it->second] = std::move(item);
    }
  }

  const std::vector<K>& Keys() const { return keys_; }
  const std::vector<V>& Items() const { return items_; }

 private:
  std::map<K, size_t> index_;
  std::vector<K> keys_;
  std::vector<V> items_;
};

}  // namespace rt
