#include "host/sqlite/files/steps.h"

#include <atomic>

namespace host::sqlite {

namespace {

std::atomic<StepHook> hook{nullptr};
std::atomic<int> waitDivisor{1};

}  // namespace

void SetStepHook(StepHook h) { hook.store(h); }

void ReachStep(const char* step) {
  if (const StepHook h = hook.load()) h(step);
}

void SetWaitsDividedBy(int divisor) { waitDivisor.store(divisor > 1 ? divisor : 1); }

int64_t ShortenedWait(int64_t real) { return real / waitDivisor.load(); }

}  // namespace host::sqlite
