// Signal preparation entry point.
#include "driver/prepare_signals.h"

namespace telmor {

void prepare_signals(RunRecord& record, ConsoleOutput& console) {
  prepare_signals_reference(record, console);
}

}  // namespace telmor
