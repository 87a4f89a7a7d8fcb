// The fault switch: makes calls of a given member on a given table (or other
// host object) fail with a given error, once or every time. Tests use it to
// drive the add-on's failure paths (e.g. 0x80041096 on an Adressmerkmale
// insert).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace host::sqlite {

class Faults {
 public:
  // `object` is a table name, a host object name ("Users", "Settings", ...)
  // or "" for any; names match without regard to letter case.
  void Add(std::string_view object, std::string_view member, int32_t number, std::string description,
           bool always);
  void Clear() { faults_.clear(); }

  // Raises the armed fault of this call, if any; a one-time fault is used up.
  void Check(std::string_view object, std::string_view member) {
    if (!faults_.empty()) CheckSlow(object, member);
  }

 private:
  struct Fault {
    int32_t number;
    std::string description;
    bool always;
  };
  void CheckSlow(std::string_view object, std::string_view member);

  std::map<std::pair<std::string, std::string>, Fault> faults_;
};

}  // namespace host::sqlite
