#include "host/sqlite/faults.h"

#include "host/sqlite/errors.h"
#include "platform/error.h"
#include "platform/text.h"

namespace host::sqlite {

void Faults::Add(std::string_view object, std::string_view member, int32_t number, std::string description,
                 bool always) {
  faults_[{rt::UCase(object), rt::UCase(member)}] = Fault{number, std::move(description), always};
}

void Faults::CheckSlow(std::string_view object, std::string_view member) {
  const std::string m = rt::UCase(member);
  auto it = faults_.find({rt::UCase(object), m});
  if (it == faults_.end()) it = faults_.find({std::string(), m});
  if (it == faults_.end()) return;
  Fault f = it->second;
  if (!f.always) faults_.erase(it);
  throw rt::Error(f.number, kErrorSource, f.description.empty() ? ErrorText(f.number) : f.description);
}

}  // namespace host::sqlite
