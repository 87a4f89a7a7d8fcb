#include "host/sqlite/steps.h"

#include <atomic>

namespace host::sqlite {

namespace {

std::atomic<StepHook> hook{nullptr};

}  // namespace

void SetStepHook(StepHook h) { hook.store(h); }

void ReachStep(const char* step) {
  if (const StepHook h = hook.load()) h(step);
}

}  // namespace host::sqlite
