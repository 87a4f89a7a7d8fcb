// Reading a host persistent variable by its exact name.
#include "core/addon_error.h"
#include "core/globals.h"
#include "core/mod_kt.h"
#include "platform/object.h"
#include "platform/text.h"

namespace modKT {

namespace {

constexpr int32_t kNameLength = 30;

}  // namespace

std::string ReadPersistVarSetting(const std::string& name, const std::string& defaultValue) {
  std::string result;
  try {
    std::string key = rt::Left(name, kNameLength);
    auto vars = rt::Need(rt::Need(rt::Need(gDB)->ScriptEngine())->PersistVars());
    const int32_t count = vars->Count();
    for (int32_t i = 0; i < count; ++i) {
      auto var = rt::Need(vars->At(i));
      if (var->Name() == key) {
        result = rt::CStr(var->Value());
        return result;
      }
    }
    if (!defaultValue.empty()) PersistVarDefaultHook(key, defaultValue);
    result = defaultValue;
  } catch (...) {
    ReportError("modKT.ReadPersistVarSetting", rt::CurrentError());
  }
  return result;
}

void PersistVarDefaultHook(const std::string& /*name*/, const std::string& /*defaultValue*/) {}

}  // namespace modKT
