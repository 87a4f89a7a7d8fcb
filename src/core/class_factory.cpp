#include "core/class_factory.h"

#include <string>

#include "core/ckt.h"
#include "core/records.h"
#include "platform/error.h"

namespace kelpaktor2 {
namespace {

constexpr std::string_view kPrefix = "kelPaktor2.";

struct CreatableClass {
  const char* name;  // without the prefix
  rt::ObjectPtr (*create)();
};

constexpr CreatableClass kClasses[] = {
    {"CKT", [] { return rt::ObjectPtr(std::make_shared<CKT>()); }},
    {"kt_CContractD", [] { return rt::ObjectPtr(std::make_shared<kt_CContractD>()); }},
    {"kt_CArticle", [] { return rt::ObjectPtr(std::make_shared<kt_CArticle>()); }},
};

// Registers the creatable classes while the library is loaded.
struct Registrar {
  Registrar() {
    for (const CreatableClass& c : kClasses) rt::RegisterClass(std::string(kPrefix) + c.name, c.create);
  }
  ~Registrar() {
    for (const CreatableClass& c : kClasses) rt::UnregisterClass(std::string(kPrefix) + c.name);
  }
};
const Registrar registrar;

}  // namespace

rt::ObjectPtr CreateInstance(std::string_view className) {
  std::string_view name = className;
  if (name.size() > kPrefix.size() && rt::NameEquals(name.substr(0, kPrefix.size()), kPrefix))
    name.remove_prefix(kPrefix.size());
  for (const CreatableClass& c : kClasses) {
    if (!rt::NameEquals(name, c.name)) continue;
    try {
      return c.create();
    } catch (...) {
      rt::RaiseRuntime(rt::errc::CannotCreateObject);
    }
  }
  rt::RaiseRuntime(rt::errc::CannotCreateObject);
}

}  // namespace kelpaktor2
