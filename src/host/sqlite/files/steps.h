// Named steps of the stand-in's file handling (and of kelhost's, which
// uses the same hook), where a test may stop the process for a moment: a
// race with another process, such as a file moved to a database's name
// while it is being replaced, is tested at exactly the step where it
// matters, never after a guessed delay. Without a hook, reaching a step
// does nothing; only a test build of kelhost sets one.
#pragma once

#include <cstdint>

namespace host::sqlite {

// Called with the step's name each time a step is reached.
using StepHook = void (*)(const char* step);

// Sets the process's hook (null: none).
void SetStepHook(StepHook hook);

// Tells the hook, if there is one, that `step` is reached.
void ReachStep(const char* step);

// Makes every wait last a `divisor`th of its real length (1, the default:
// as long as it is): a connection's busy wait for another's lock, SQLite's
// sleeps between its retries (about 10 s in all for a log that a process
// that ended left), and a reader's wait for a log's index. Only a test
// build of kelhost sets it, as it sets the hook, so that tests of giving
// up are quick and do not race the machine's load; messages still name
// the real waits.
void SetWaitsDividedBy(int divisor);

// A wait of `real` (in any unit) as long as it lasts in this process.
int64_t ShortenedWait(int64_t real);

}  // namespace host::sqlite
