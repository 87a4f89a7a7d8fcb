// The lookup behind the stand-in's table, field and index names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/text.h"

namespace host::sqlite {

// Positions of names, found without regard to letter case (as
// rt::EqualsIgnoreCase compares) by one hash lookup that copies nothing.
class NameLookup {
 public:
  // False when the name is there already, in any letter case.
  bool Add(const std::string& name, int position) { return positions_.emplace(name, position).second; }
  int Find(std::string_view name) const {  // -1 if none
    const auto it = positions_.find(name);
    return it == positions_.end() ? -1 : it->second;
  }

 private:
  static unsigned char Upper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }
  // The case mapping keeps a name's length in bytes, and keeps ASCII bytes
  // ASCII and other bytes not; so names that compare equal have the same
  // length and the same upper-cased ASCII bytes at the same places.
  //
  // The length and a few upper-cased bytes from both ends and the middle
  // (other bytes count alike): enough to tell the names of one table apart.
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const {
      const size_t n = name.size();
      auto at = [name](size_t i) -> size_t {
        const auto c = static_cast<unsigned char>(name[i]);
        return c < 0x80 ? Upper(c) : 0x80;
      };
      size_t h = n;
      if (n > 0) h = ((h * 131 + at(0)) * 131 + at(n / 2)) * 131 + at(n - 1);
      if (n > 3) h = (h * 131 + at(1)) * 131 + at(n - 2);
      return h;
    }
  };
  // Names are mostly asked for as declared; other ASCII names are compared
  // here, the rest by the full case mapping.
  struct Equal {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
      if (a.size() != b.size()) return false;
      if (a == b) return true;
      for (size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if ((ca | cb) >= 0x80) return rt::EqualsIgnoreCase(a.substr(i), b.substr(i));
        if (Upper(ca) != Upper(cb)) return false;
      }
      return true;
    }
  };
  std::unordered_map<std::string, int, Hash, Equal> positions_;
};

}  // namespace host::sqlite
