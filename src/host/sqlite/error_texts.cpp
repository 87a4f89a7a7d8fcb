// The stand-in's HostErrorTexts class, created by the add-on through the
// runtime's class registry. It answers with the stand-in's own text for its
// numbers, a run-time error's text, or a generic text.
#include "host/sqlite/error_texts.h"

#include <mutex>

#include "host/sqlite/errors.h"
#include "host/sqlite/objects.h"
#include "platform/object.h"

namespace host::sqlite {

namespace {

std::mutex g_mu;
std::weak_ptr<Core> g_core;  // whose fault switch the error texts obey

class ErrorTextsObject : public rt::Object, public HostErrorTexts {
 public:
  std::string Text(int32_t number) override {
    std::shared_ptr<Core> core;
    {
      std::lock_guard<std::mutex> lock(g_mu);
      core = g_core.lock();
    }
    if (core) core->faults.Check("ErrorTexts", "Text");
    return ErrorText(number);
  }
};

}  // namespace

void SetErrorTextsHost(const std::shared_ptr<Core>& core) {
  std::lock_guard<std::mutex> lock(g_mu);
  g_core = core;
}

void RegisterErrorTexts() {
  rt::RegisterClass(kErrorTextsClass, [] { return std::make_shared<ErrorTextsObject>(); });
}

}  // namespace host::sqlite
