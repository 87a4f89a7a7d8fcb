// Positions of names found without regard to letter case: the lookup
// behind the properties of late-bound records and the host's table, field
// and index names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace rt {

// Positions of names, found without regard to letter case (as
// EqualsIgnoreCase compares) in a small open-addressed table that copies
// nothing: a name asked for as declared costs a hash of a few bytes and one
// comparison, all in three small arrays. Every field put and every property
// read by name looks a name up.
class NameLookup {
 public:
  // False when the name is there already, in any letter case.
  bool Add(const std::string& name, int position) {
    if (Find(name) >= 0) return false;
    entries_.push_back({static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(name.size()), position});
    text_ += name;
    Rebuild();
    return true;
  }

  int Find(std::string_view name) const {  // -1 if none
    if (slots_.empty()) return -1;
    const size_t mask = slots_.size() - 1;
    for (size_t i = Slot(name);; i = (i + 1) & mask) {
      const int32_t e = slots_[i];
      if (e < 0) return -1;
      const Entry& entry = entries_[static_cast<size_t>(e)];
      if (Equal(NameOf(entry), name)) return entry.position;
    }
  }

 private:
  static unsigned char Upper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }
  // The case mapping keeps a name's length in bytes, and keeps ASCII bytes
  // ASCII and other bytes not; so names that compare equal have the same
  // length and the same upper-cased ASCII bytes at the same places.
  //
  // The length and a few bytes from both ends and the middle, ASCII bytes
  // without their case bit (the bit that tells a letter's cases apart;
  // other bytes count alike): enough to tell the names of one table apart.
  static size_t Hash(std::string_view name) {
    const size_t n = name.size();
    auto at = [name](size_t i) -> size_t {
      const auto c = static_cast<unsigned char>(name[i]);
      return c < 0x80 ? (c & 0xDF) : 0x80;
    };
    size_t h = n;
    if (n > 0) h = ((h * 131 + at(0)) * 131 + at(n / 2)) * 131 + at(n - 1);
    if (n > 3) h = (h * 131 + at(1)) * 131 + at(n - 2);
    return h;
  }
  // The first slot to probe: the high bits of the hash times a large odd
  // number, which depend on all of its bits.
  size_t Slot(std::string_view name) const {
    return static_cast<size_t>((uint64_t{Hash(name)} * 0x9E3779B97F4A7C15u) >> shift_);
  }
  // Names are mostly asked for as declared; other ASCII names are compared
  // here, the rest by the full case mapping.
  static bool Equal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;
    for (size_t i = 0; i < a.size(); ++i) {
      const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
      if ((ca | cb) >= 0x80) return EqualsIgnoreCase(a.substr(i), b.substr(i));
      if (Upper(ca) != Upper(cb)) return false;
    }
    return true;
  }
  // A table of at least four slots per name, so that probes stay short.
  void Rebuild() {
    size_t size = 8;
    shift_ = 61;
    while (size < entries_.size() * 4) {
      size *= 2;
      --shift_;
    }
    slots_.assign(size, -1);
    for (size_t e = 0; e < entries_.size(); ++e) {
      size_t i = Slot(NameOf(entries_[e]));
      while (slots_[i] >= 0) i = (i + 1) & (size - 1);
      slots_[i] = static_cast<int32_t>(e);
    }
  }

  // A name: where it lies in text_, and its position.
  struct Entry {
    uint32_t offset;
    uint32_t size;
    int position;
  };
  std::string_view NameOf(const Entry& e) const { return std::string_view(text_).substr(e.offset, e.size); }

  std::string text_;             // every name, one after the other
  std::vector<Entry> entries_;
  std::vector<int32_t> slots_;  // index into entries_, -1 for an empty slot
  int shift_ = 61;              // 64 - log2(slots_.size())
};

}  // namespace rt
