// Named steps of the stand-in's file handling (and of kelhost's, which
// uses the same hook), where a test may stop the process for a moment: a
// race with another process, such as a file moved to a database's name
// while it is being replaced, is tested at exactly the step where it
// matters, never after a guessed delay. Without a hook, reaching a step
// does nothing; only a test build of kelhost sets one.
#pragma once

namespace host::sqlite {

// Called with the step's name each time a step is reached.
using StepHook = void (*)(const char* step);

// Sets the process's hook (null: none).
void SetStepHook(StepHook hook);

// Tells the hook, if there is one, that `step` is reached.
void ReachStep(const char* step);

}  // namespace host::sqlite
