// Positions of names found without regard to letter case: the lookup
// behind the properties of late-bound records and the host's table, field
// and index names.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
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
//
// Callers mostly pass the same few names from the same places (literals, or
// strings that live as long as a form), so a name's address is remembered
// with the entry it found: asked again at that address, the name costs one
// exact comparison with the entry's name. The comparison, not the address,
// decides, so a different name at a remembered address is simply looked up.
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
    const int32_t h = hints_.at[HintSlot(name.data())].load(std::memory_order_relaxed);
    if (h >= 0 && static_cast<size_t>(h) < entries_.size()) {
      const Entry& entry = entries_[static_cast<size_t>(h)];
      if (SameBytes(NameOf(entry), name)) return entry.position;
    }
    return FindAndRemember(name);
  }

 private:
  [[gnu::noinline]] int FindAndRemember(std::string_view name) const {
    const int32_t e = Search(name);
    if (e < 0) return -1;
    hints_.at[HintSlot(name.data())].store(e, std::memory_order_relaxed);
    return entries_[static_cast<size_t>(e)].position;
  }
  // The entry of the name, -1 if none.
  int32_t Search(std::string_view name) const {
    if (slots_.empty()) return -1;
    const size_t mask = slots_.size() - 1;
    for (size_t i = Slot(name);; i = (i + 1) & mask) {
      const int32_t e = slots_[i];
      if (e < 0) return -1;
      if (Equal(NameOf(entries_[static_cast<size_t>(e)]), name)) return e;
    }
  }

  static unsigned char Upper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }
  static uint64_t Load8(const char* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
  }
  static uint64_t Load4(const char* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  }
  // The first and the last (up to) eight bytes of a name, overlapping in a
  // short one; a name of less than four bytes in full.
  static void Ends(std::string_view name, uint64_t& first, uint64_t& last) {
    const char* p = name.data();
    const size_t n = name.size();
    if (n >= 8) {
      first = Load8(p);
      last = Load8(p + n - 8);
    } else if (n >= 4) {
      first = Load4(p);
      last = Load4(p + n - 4);
    } else {
      first = n == 0 ? 0
                     : uint64_t{static_cast<unsigned char>(p[0])} |
                           uint64_t{static_cast<unsigned char>(p[n / 2])} << 8 |
                           uint64_t{static_cast<unsigned char>(p[n - 1])} << 16;
      last = 0;
    }
  }
  // The case mapping keeps a name's length in bytes, and keeps ASCII bytes
  // ASCII and other bytes not; so names that compare equal have the same
  // length and the same upper-cased ASCII bytes at the same places. Each
  // byte of `x` as the hash sees it: an ASCII byte without its case bit
  // (the bit that tells a letter's cases apart), any other byte as 0x80.
  static uint64_t Fold(uint64_t x) {
    const uint64_t high = x & 0x8080808080808080u;
    const uint64_t other = (high >> 7) * 0xFF;
    return (x & ~other & 0xDFDFDFDFDFDFDFDFu) | high;
  }
  // The length and the first and last bytes, folded: enough to tell the
  // names of one table apart.
  static uint64_t Hash(std::string_view name) {
    uint64_t first, last;
    Ends(name, first, last);
    return (Fold(first) * 0x9E3779B97F4A7C15u) ^ (Fold(last) + name.size());
  }
  // The first slot to probe: the high bits of the hash times a large odd
  // number, which depend on all of its bits.
  size_t Slot(std::string_view name) const {
    return static_cast<size_t>((Hash(name) * 0xC2B2AE3D27D4EB4Fu) >> shift_);
  }
  // The same bytes, eight at a time.
  static bool SameBytes(std::string_view a, std::string_view b) {
    const size_t n = a.size();
    if (n != b.size()) return false;
    if (n >= 8) {
      size_t i = 0;
      while (i + 8 <= n && Load8(a.data() + i) == Load8(b.data() + i)) i += 8;
      return i + 8 > n && Load8(a.data() + n - 8) == Load8(b.data() + n - 8);
    }
    uint64_t af, al, bf, bl;
    Ends(a, af, al);
    Ends(b, bf, bl);
    return af == bf && al == bl;
  }
  // Names are mostly asked for as declared, which compares eight bytes at
  // a time; other ASCII names are compared here, the rest by the full case
  // mapping.
  static bool Equal(std::string_view a, std::string_view b) {
    const size_t n = a.size();
    if (n != b.size()) return false;
    if (SameBytes(a, b)) return true;
    for (size_t i = 0; i < n; ++i) {
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

  // The remembered entries, by a hash of a name's address. Relaxed atomics:
  // threads sharing a lookup may overwrite each other's hints, and any hint
  // read is checked, so a stale one only costs a search.
  static constexpr size_t kHints = 128;  // the top seven bits of the hash
  static size_t HintSlot(const char* p) {
    return static_cast<size_t>((reinterpret_cast<uintptr_t>(p) * 0x9E3779B97F4A7C15u) >> 57);
  }
  struct Hints {
    Hints() { Clear(); }
    Hints(const Hints&) { Clear(); }
    Hints& operator=(const Hints&) {
      Clear();
      return *this;
    }
    void Clear() {
      for (auto& s : at) s.store(-1, std::memory_order_relaxed);
    }
    std::array<std::atomic<int32_t>, kHints> at;
  };

  std::string text_;             // every name, one after the other
  std::vector<Entry> entries_;
  std::vector<int32_t> slots_;  // index into entries_, -1 for an empty slot
  int shift_ = 61;              // 64 - log2(slots_.size())
  mutable Hints hints_;
};

}  // namespace rt
